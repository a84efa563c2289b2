#pragma once

// A deterministic planning run for the grid's tests and benchmarks: orders over a few months
// with every state colour and every mark.

#include "grid/schedule_geometry.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <random>

namespace varnex::grid::demo {

// State colours as 0x00BBGGRR.
inline constexpr std::uint32_t kSuggested = 0x00FFB3EA;
inline constexpr std::uint32_t kAccepted = 0x00AEFFFF;
inline constexpr std::uint32_t kFirmed = 0x00FFAE5E;
inline constexpr std::uint32_t kReleased = 0x006AD500;
inline constexpr std::uint32_t kOther = 0x00AAAAAA;

/// The horizon the demo orders fall in: 6 January to 27 April 2025.
inline std::int32_t firstDay() {
  return dayOfDate(QDate(2025, 1, 6));
}
inline std::int32_t lastDay() {
  return dayOfDate(QDate(2025, 4, 27));
}

/// Ten columns for the demo orders, with every column style.
inline QList<ColumnSpec> columns() {
  return {{QStringLiteral("Order"), 155, ColumnStyle::LeftAligned},
          {QStringLiteral("Item"), 80, ColumnStyle::LeftAligned},
          {QStringLiteral("Variant"), 100, ColumnStyle::LeftAligned},
          {QStringLiteral("Description"), 200, ColumnStyle::LeftAligned},
          {QStringLiteral("Quantity"), 100, ColumnStyle::LeftAligned},
          {QStringLiteral("Category"), 200, ColumnStyle::LeftElidedMiddle},
          {QStringLiteral("Supplier"), 200, ColumnStyle::LeftElidedMiddle},
          {QStringLiteral("New quantity"), 100, ColumnStyle::RightAligned},
          {QStringLiteral("New date"), 100, ColumnStyle::LeftAligned},
          {QStringLiteral("Action"), 200, ColumnStyle::LeftAligned}};
}

/// The row text of demo order number i (0-based).
inline QString rowText(int i, std::minstd_rand& random) {
  static const std::array<const char16_t*, 8> descriptions{
      u"Hex bolt M8x40 zinc plated", u"Bearing housing, cast", u"Hydraulic hose 1/2\" 2m",
      u"Control board rev C",        u"Gear shaft 42 teeth",   u"Gasket set, high temperature",
      u"Steel sheet 2mm S235",       u"Motor flange adapter"};
  static const std::array<const char16_t*, 4> categories{u"Purchased parts",
                                                         u"Manufactured assemblies",
                                                         u"Subcontracted machining",
                                                         u"Raw material"};
  static const std::array<const char16_t*, 6> suppliers{
      u"Nordic Fasteners AB", u"Bergmann Industrietechnik GmbH", u"Castwell Foundry Ltd",
      u"In-house production", u"Precision Gear Works Inc.",      u"Alpen Hydraulik AG"};
  static const std::array<const char16_t*, 5> actions{u"Reschedule out", u"Reschedule in",
                                                      u"Review quantity", u"Cancel", u""};
  const int qty = int(random() % 40 + 1) * 25;
  const int action = int(random() % actions.size());
  const int newQty = action == 2 ? qty + int(random() % 8) * 25 : qty;
  const QDate newDate = dateOfDay(firstDay() + int(random() % 100));
  return QStringLiteral("WO-%1;%2;%3;%4;%5;%6;%7;%8;%9;%10")
      .arg(250001 + i)
      .arg(QStringLiteral("IT-%1").arg(4000 + int(random() % 900)),
           i % 3 == 0 ? QStringLiteral("STD") : QStringLiteral("V%1").arg(i % 7),
           QString::fromUtf16(descriptions[random() % descriptions.size()]), QString::number(qty),
           QString::fromUtf16(categories[random() % categories.size()]),
           QString::fromUtf16(suppliers[random() % suppliers.size()]), QString::number(newQty),
           newDate.toString(QStringLiteral("yyyy-MM-dd")), QString::fromUtf16(actions[action]));
}

/// Appends `lines` demo orders, each with one coloured, marked bar inside the horizon, and
/// sets the horizon.
inline void fill(ScheduleModel& model, ScheduleSettings& settings, int lines, unsigned seed = 7) {
  static const std::array<std::uint32_t, 5> colours{kSuggested, kAccepted, kFirmed, kReleased,
                                                    kOther};
  // The mark follows the action message; orders without one carry the plain mark or none.
  static const std::array<const char16_t*, 5> marks{u">>", u"<<", u"?", u"X", u"\u00E2"};
  std::minstd_rand random(seed);
  if (model.columnCount() == 0)
    model.setColumns(columns());
  settings.setHorizonStart(firstDay());
  settings.setHorizonEnd(lastDay());
  const int span = lastDay() - firstDay();
  for (int i = 0; i < lines; ++i) {
    const int line = model.appendLine(rowText(i, random));
    const int length = 1 + int(random() % 24);
    const int start = firstDay() + int(random() % std::uint32_t(span - length));
    const int bar = model.addBar(line, {start, int(random() % 3) * 480},
                                 {start + length, int(random() % 3) * 480});
    model.setBarColour(line, bar, colours[std::size_t(i) % colours.size()]);
    const QString action = model.cellText(line, 10);
    std::size_t mark = action == u"Reschedule out"    ? 0
                       : action == u"Reschedule in"   ? 1
                       : action == u"Review quantity" ? 2
                       : action == u"Cancel"          ? 3
                                                      : 4;
    if (mark < 4 || random() % 2 == 0)
      model.setBarText(line, bar, QString::fromUtf16(marks[mark]));
  }
}

}  // namespace varnex::grid::demo
