#include "schedule/view_setup.h"

#include "platform/automation_error.h"
#include "schedule/schedule_ids.h"
#include "tests/support/error_of.h"
#include "tests/support/recording_dispatch.h"

#include <gtest/gtest.h>

namespace varnex::schedule {
namespace {

using platform::Date;
using testing::ErrorOf;
using testing::RecordingDispatch;

QString Trace(const RecordingDispatch& grid) {
  return grid.lines.join(QLatin1Char('\n'));
}

// The twenty settings with the horizon's two day numbers in the middle.
QString GridSteps(int start, int end) {
  return QStringLiteral(
             "put 80 = BOOL true\n"
             "put 33 = I4 0\n"
             "put 25 = I4 1\n"
             "put 29 = I2 0\n"
             "put 30 = I2 0\n"
             "put 43 = BSTR \"M ,Y\"\n"
             "put 41 = BSTR \"Sun;Mon;Tue;Wed;Thu;Fri;Sat;\"\n"
             "put 82 = I2 65\n"
             "put 92 = BOOL true\n"
             "put 31 = I4 %1\n"
             "put 32 = I4 %2\n"
             "put 81 = I2 3\n"
             "put 48 = BOOL false\n"
             "put 33 = I4 0\n"
             "put 49 = I2 6\n"
             "put 40 = I2 5\n"
             "put 28 = I2 230\n"
             "put 51 = BOOL true\n"
             "put 149 = I4 0\n"
             "put 147 = BOOL true")
      .arg(start)
      .arg(end);
}

TEST(SchedTitleSet, AssignsTheTitleAndChangesTheFontObjectReadAnewEachTime) {
  RecordingDispatch grid;
  grid.AnswerFont(grid_ids::kTitleFont);

  SchedTitleSet(grid);

  EXPECT_EQ(Trace(grid).toStdString(),
            "put 13 = I4 2\n"
            "put 11 = I4 2\n"
            "put 10 = BSTR \"Verdana\"\n"
            "put 9 = I4 8388608\n"
            "get 10 -> FONT\n"
            "font Size = I2 10\n"
            "get 10 -> FONT\n"
            "font Bold = BOOL true\n"
            "put 4 = I2 155");
}

TEST(SchedGridSet, AssignsTwentySettingsWithTheHorizonInTheMiddle) {
  RecordingDispatch grid;
  // A time of day on the horizon does not change its day number.
  SchedGridSet(grid, Date::FromParts(2024, 1, 1, 18), Date::FromParts(2024, 12, 31));
  EXPECT_EQ(Trace(grid).toStdString(), GridSteps(45290, 45655).toStdString());

  // Before any TimeSet both members hold the zero date.
  grid.lines.clear();
  SchedGridSet(grid, Date{}, Date{});
  EXPECT_EQ(Trace(grid).toStdString(), GridSteps(-2, -2).toStdString());

  // An end before the start is passed on unchanged.
  grid.lines.clear();
  SchedGridSet(grid, Date::FromParts(2024, 12, 31), Date::FromParts(2024, 1, 1));
  EXPECT_EQ(Trace(grid).toStdString(), GridSteps(45655, 45290).toStdString());
}

TEST(ViewSetUp, StopsAtTheFirstRefusedAssignmentAndPassesItsError) {
  RecordingDispatch title;
  title.AnswerFont(grid_ids::kTitleFont);
  title.FailNext(grid_ids::kTitleBorder, platform::errors::kInvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { SchedTitleSet(title); }), platform::errors::kInvalidPropertyValue);
  EXPECT_EQ(Trace(title).toStdString(), "put 13 = I4 2\nput 11 = I4 2 !! 380");

  // A font property that hands back no font object.
  RecordingDispatch noFont;
  EXPECT_EQ(ErrorOf([&] { SchedTitleSet(noFont); }), platform::errors::kObjectRequired);
  EXPECT_FALSE(noFont.lines.contains(QStringLiteral("put 4 = I2 155")));

  RecordingDispatch grid;
  grid.FailNext(grid_ids::kHorizonStart, 5, QStringLiteral("no such day"));
  EXPECT_EQ(ErrorOf([&] { SchedGridSet(grid, Date{}, Date{}); }), 5);
  EXPECT_EQ(grid.lines.size(), 10);
  EXPECT_EQ(grid.lines.last().toStdString(), "put 31 = I4 -2 !! 5");
}

}  // namespace
}  // namespace varnex::schedule
