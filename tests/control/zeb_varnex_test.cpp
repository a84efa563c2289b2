#include "control/zeb_varnex.h"

#include "control/board.h"

#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/variant.h"
#include "schedule/grid_component.h"
#include "schedule/schedule_ids.h"
#include "tests/support/documents.h"
#include "tests/support/error_of.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_site.h"
#include "tools/document_generator.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

namespace varnex::testing {
namespace {

using platform::Variant;
namespace errors = platform::errors;

// The control on the real grid model, as the screen and the scripted host build it.
class Control : public ::testing::Test {
 protected:
  void Load(const QString& text) {
    Variant wohxml = Variant::Bstr(text).ByRef();
    control.PopulateWorkOrder(wohxml);
  }
  void Load(const QList<OrderRow>& rows) { Load(WorkOrders(rows)); }
  void SetHorizon(const char* from, const char* to) {
    Variant hdrxml =
        Variant::Bstr(Header(QString::fromLatin1(from), QString::fromLatin1(to))).ByRef();
    control.TimeSet(hdrxml);
  }
  void Event(platform::DispId id, std::vector<Variant> args) {
    control.GridEvents().OnEvent(id, args);
  }
  void Press(std::int16_t button) {
    std::array<Variant, 2> args = {Variant::I2(button), Variant::I2(0)};
    control.ToolbarEvents().OnEvent(schedule::toolbar_events::kButtonPressed, args);
  }
  qsizetype Fills() const {
    return std::count_if(site.lines.begin(), site.lines.end(),
                         [](const QString& l) { return l.startsWith(QLatin1String("fill ")); });
  }
  QStringList TakeMessages() { return std::exchange(site.messages, {}); }
  // Every cell and bar of every line, one line of text each, to compare a board before and
  // after a step.
  QStringList Plan() const {
    QStringList plan;
    for (int line = 1; line <= model.lineCount(); ++line) {
      QStringList parts;
      for (int column = 1; column <= 10; ++column) parts << model.cellText(line, column);
      for (int b = 1; b <= model.barCount(line); ++b) {
        const grid::Bar* bar = model.bar(line, b);
        parts << QStringLiteral("bar %1 %2:%3-%4:%5 #%6 %7%8")
                     .arg(bar->index)
                     .arg(bar->start.day)
                     .arg(bar->start.minute)
                     .arg(bar->end.day)
                     .arg(bar->end.minute)
                     .arg(bar->colour)
                     .arg(bar->hasText ? QStringLiteral("text ") : QString(), bar->text);
      }
      plan << parts.join(u'|');
    }
    return plan;
  }

  RecordingSite site;
  control::Board board{site};
  grid::ScheduleModel& model = board.Model();
  grid::ScheduleSettings& settings = board.Settings();
  schedule::GridComponent& component = board.Grid();
  control::Zeb_Varnex& control = board.Control();
};

const QList<OrderRow> kThreeOrders = {Order(QStringLiteral("WO1")), Order(QStringLiteral("WO2")),
                                      Order(QStringLiteral("WO3"))};

TEST_F(Control, CreationSetsTheFinalMarkerCaptionsAndNothingElse) {
  EXPECT_EQ(site.lines.join(QLatin1Char('\n')).toStdString(),
            "caption lblCancel = X\n"
            "caption lblReschOut = >>\n"
            "caption lblReschIn = <<\n"
            "caption lblAmend = \u00e2");
  EXPECT_EQ(model.lineCount(), 0);
}

TEST_F(Control, ShowsEachOrderInTheTenColumnsOfTheDesign) {
  // Caption, width and style code of each column as the board's design stores them, and the
  // cell that an order fills.
  struct Column {
    const char* caption;
    int width;
    int style;
    const char* cell;
  };
  const Column kColumns[] = {
      {"Order", 155, 2, "WO1"},           {"ItemCode", 80, 2, "IT-1"},
      {"Variant", 100, 2, "STD"},         {"Item Desc", 200, 2, "Bearing"},
      {"Order Qty", 100, 2, "10"},        {"Order Category", 200, 3, "MRP Order"},
      {"Supplier", 200, 3, "Baxter"},     {"new_qty", 100, 1, "12"},
      {"new_date", 100, 2, "2024-02-01"}, {"Action Message", 200, 2, "orders to reschedule out"},
  };
  Load({Order()});
  ASSERT_EQ(model.columnCount(), 10);
  for (int column = 1; column <= 10; ++column) {
    const Column& c = kColumns[column - 1];
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(model.columnCaption(column), QString::fromLatin1(c.caption));
    EXPECT_EQ(model.columnWidth(column), c.width);
    EXPECT_EQ(static_cast<int>(model.columnStyle(column)), c.style);
    EXPECT_EQ(model.cellText(1, column), QString::fromLatin1(c.cell));
  }
}

TEST_F(Control, MembersCalledByDispidWorkAsTheDirectCalls) {
  std::array<Variant, 1> none;
  EXPECT_EQ(control.Call(control::control_ids::kOrderOut, std::span<Variant>(none.data(), 0)),
            Variant::Bstr(QString()));

  std::array<Variant, 1> header = {
      Variant::Bstr(Header(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"))).ByRef()};
  control.Call(control::control_ids::kTimeSet, header);
  EXPECT_TRUE(header[0].AsBstr().contains(QLatin1String("Kestrel &amp; Sons")));
  EXPECT_EQ(settings.horizonStart(), 45290);
  EXPECT_EQ(settings.horizonEnd(), 45655);

  std::array<Variant, 1> orders = {Variant::Bstr(WorkOrders(kThreeOrders)).ByRef()};
  control.Call(control::control_ids::kPopulateWorkOrder, orders);
  EXPECT_EQ(model.lineCount(), 3);
  component.RaiseLinePicked(2);
  EXPECT_EQ(control.Call(control::control_ids::kOrderOut, std::span<Variant>(none.data(), 0)),
            Variant::Bstr(QStringLiteral("WO2")));
  EXPECT_TRUE(site.messages.isEmpty());

  // A host that gets the call wrong hears so from the boundary.
  EXPECT_EQ(ErrorOf([&] { control.Call(control::control_ids::kOrderOut, header); }),
            errors::kWrongArgumentCount);
  EXPECT_EQ(ErrorOf([&] { control.Call(0x6003000B, header); }), errors::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { control.Get(control::control_ids::kTimeSet); }), errors::kNotSupported);
  // Script hosts read a member without arguments as a property.
  EXPECT_EQ(control.Get(control::control_ids::kOrderOut), Variant::Bstr(QStringLiteral("WO2")));
}

TEST_F(Control, TextMembersWriteTheEscapedTextBackOnlyIntoAVariable) {
  const QString header = Header(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"));
  const QString orders =
      WorkOrders({With(Order(QStringLiteral("WO1")), "itemdesc", QStringLiteral("Nut & bolt's")),
                  Order(QStringLiteral("WO2"))});

  // A QString variable takes the by-reference members and receives the escaped text.
  QString headerText = header;
  QString orderText = orders;
  control.TimeSet(headerText);
  control.PopulateWorkOrder(orderText);
  EXPECT_TRUE(headerText.contains(QLatin1String("Kestrel &amp; Sons")));
  EXPECT_TRUE(orderText.contains(QLatin1String("Nut &amp; bolt&apos;s")));
  EXPECT_EQ(settings.horizonStart(), 45290);
  ASSERT_EQ(model.lineCount(), 2);
  EXPECT_EQ(model.cellText(1, 4).toStdString(), "Nut & bolt's");

  // Literals, temporaries and constants load the same and are left as they were given.
  model.clearLines();
  settings.setHorizonStart(0);
  control.TimeSet(std::as_const(header));
  control.PopulateWorkOrder(QString(orders));
  EXPECT_EQ(settings.horizonStart(), 45290);
  ASSERT_EQ(model.lineCount(), 2);
  EXPECT_EQ(model.cellText(1, 4).toStdString(), "Nut & bolt's");
  EXPECT_EQ(site.BoxText(QStringLiteral("Box2")), orderText);
  control.PopulateWorkOrder(QStringLiteral("<workorders><wo docuemntno=\"W\"/></workorders>"));
  EXPECT_EQ(TakeMessages(),
            QStringList({QStringLiteral("3265 Item cannot be found in the collection corresponding "
                                        "to the requested name or ordinal.")}));
}

TEST_F(Control, ShowsOneBoxForAFailingCallAndKeepsWhatWasDoneBefore) {
  Load({Order(QStringLiteral("WO1")),
        With(Order(QStringLiteral("WO2")), "daysfrom", QStringLiteral("abc"))});
  EXPECT_EQ(TakeMessages(), QStringList({QStringLiteral("13 Type mismatch")}));
  EXPECT_TRUE(site.lines.last().startsWith(QLatin1String("msgbox Kestrova: 13 ")));
  // The order that cannot be shown is found before any line is added: the legend keeps its
  // design fills beside an empty grid.
  EXPECT_EQ(model.lineCount(), 0);
  EXPECT_EQ(Fills(), 0);

  // A null document fails before its text box is written or the grid is touched.
  const qsizetype before = site.lines.size();
  Variant null = Variant::Null().ByRef();
  control.PopulateWorkOrder(null);
  control.TimeSet(null);
  EXPECT_EQ(TakeMessages(), QStringList({QStringLiteral("94 Invalid use of Null"),
                                         QStringLiteral("94 Invalid use of Null")}));
  EXPECT_EQ(site.lines.size(), before + 2);
  EXPECT_EQ(model.lineCount(), 0);
  EXPECT_EQ(settings.horizonStart(), -2);
  EXPECT_EQ(site.details.mid(site.details.size() - 2),
            QStringList({QStringLiteral("PopulateWorkOrder, work-order document: a null value "
                                        "instead of text"),
                         QStringLiteral("TimeSet, header document: a null value instead of "
                                        "text")}));

  // A document that does not parse shows the parser's reason alone, naming the document; the
  // detail says where, with the text around it.
  Load(QStringLiteral("<workorders>"));
  ASSERT_EQ(site.messages.size(), 1);
  EXPECT_EQ(site.messages.last().toStdString(),
            "The work-order document ends before its elements are closed, at line 1, column 13.");
  EXPECT_EQ(site.details.last().toStdString(),
            "work-order document, line 1, column 13, near \"<workorders>\"");
}

TEST_F(Control, ColoursEachBarByItsStateAndPaintsTheLegendLast) {
  QList<OrderRow> orders;
  for (const char* status : {"D", "E", "F", "G", "X"}) {
    orders << With(Order(), "Status", QString::fromLatin1(status));
  }
  Load(orders);
  ASSERT_EQ(model.lineCount(), 5);
  std::vector<std::uint32_t> colours;
  for (int line = 1; line <= 5; ++line) colours.push_back(model.bar(line, 1)->colour);
  // The four legend colours, then grey (170,170,170) for any other state.
  EXPECT_EQ(colours, (std::vector<std::uint32_t>{16757738, 11468799, 16756318, 7001344, 11184810}));
  EXPECT_EQ(site.lines.mid(site.lines.size() - 4).join(QLatin1Char('\n')).toStdString(),
            "fill ctPushSuggested = 16757738\n"
            "fill ctPushAccepted = 11468799\n"
            "fill ctPushFirm = 16756318\n"
            "fill ctPushRelease = 7001344");
}

TEST_F(Control, EveryLoadAssignsTheStoredHorizonAgain) {
  // Before any TimeSet the horizon is the zero date.
  settings.setHorizonStart(100);
  Load(kThreeOrders);
  EXPECT_EQ(settings.horizonStart(), -2);
  EXPECT_EQ(settings.horizonEnd(), -2);

  SetHorizon("2024-01-01T18:00:00", "2024-02-29");
  settings.setHorizonStart(100);
  settings.setHorizonEnd(100);
  Load(kThreeOrders);
  EXPECT_EQ(settings.horizonStart(), 45290);
  EXPECT_EQ(settings.horizonEnd(), 45349);
  EXPECT_TRUE(site.messages.isEmpty());
}

TEST_F(Control, ReloadShowsOnlyTheNewOrdersEachBarOnItsOwnLine) {
  Load(kThreeOrders);
  Load({With(Order(QStringLiteral("WO7")), "daysfrom", QStringLiteral("86400")),
        Order(QStringLiteral("WO8"))});
  ASSERT_EQ(model.lineCount(), 2);
  EXPECT_EQ(model.cellText(1, 1).toStdString(), "WO7");
  EXPECT_EQ(model.cellText(2, 1).toStdString(), "WO8");
  ASSERT_EQ(model.barCount(1), 1);
  EXPECT_EQ(model.barCount(2), 1);
  EXPECT_EQ(model.bar(1, 1)->start, (grid::TimePoint{29220, 0}));
  EXPECT_EQ(model.bar(2, 1)->start, (grid::TimePoint{29219, 0}));

  // Loads that cannot build their order table leave the grid as it was.
  Load(QStringLiteral("<workorders><wo a='1'/></workorders>"));
  OrderRow longer = Order(QStringLiteral("WO9"));
  longer.append({QStringLiteral("extra"), QStringLiteral("x")});
  Load({Order(QStringLiteral("WO9")), longer});
  Load(QStringLiteral("<workorders>") + Element(Order()) + QStringLiteral("stray</workorders>"));
  Load(QStringLiteral("<workorders/>"));
  EXPECT_EQ(TakeMessages().size(), 4);
  // Nor do tables that lack a column the load reads: no line is emptied or added, and no bar
  // lands on the earlier load's lines.
  for (const char* missing : {"alt_resource", "daysfrom", "daysto", "Status"}) {
    Load({Without(Order(QStringLiteral("WO9")), missing), Order(QStringLiteral("WO9"))});
    EXPECT_EQ(TakeMessages(),
              QStringList({QStringLiteral("3265 Item cannot be found in the collection "
                                          "corresponding to the requested name or ordinal.")}))
        << missing;
  }
  EXPECT_EQ(model.lineCount(), 2);
  EXPECT_EQ(model.cellText(1, 1).toStdString(), "WO7");
  EXPECT_EQ(model.barCount(1), 1);
  EXPECT_EQ(model.barCount(2), 1);
}

TEST_F(Control, AReloadThatFailsOnAnyOrderKeepsEveryCellAndBarOfThePlan) {
  tools::GeneratorOptions options;
  options.orders = 300;
  Load(tools::GenerateWorkOrders(options));
  ASSERT_EQ(model.lineCount(), 300);
  const QStringList plan = Plan();
  const qsizetype fills = Fills();
  OrderRow last = Order(QStringLiteral("WO300"));
  last.removeLast();  // the row ends before its Status: it loads
  const struct {
    OrderRow bad;
    const char* text;
    const char* detail;
  } cases[] = {
      {Order(QStringLiteral("WO300")).mid(0, 10), "13 Type mismatch",
       "PopulateWorkOrder, work-order document, row 300, order \"WO300\", column 12 (daysto): "
       "no value (the row ends before it)"},
      {With(Order(QStringLiteral("WO300")), "daysto", QStringLiteral("12 May")), "13 Type mismatch",
       "PopulateWorkOrder, work-order document, row 300, order \"WO300\", column 12 (daysto): "
       "\"12 May\""},
      {With(Order(QStringLiteral("WO300")), "daysfrom", QStringLiteral("-2147483649")),
       "6 Overflow",
       "PopulateWorkOrder, work-order document, row 300, order \"WO300\", column 11 "
       "(daysfrom): \"-2147483649\""},
  };
  for (const auto& c : cases) {
    QList<OrderRow> rows(299, Order(QStringLiteral("WO")));
    rows << c.bad;
    site.details.clear();
    Load(rows);
    EXPECT_EQ(TakeMessages(), QStringList{QString::fromUtf8(c.text)}) << c.detail;
    EXPECT_EQ(site.details, QStringList{QString::fromUtf8(c.detail)});
    EXPECT_EQ(Plan(), plan) << c.detail;
    EXPECT_EQ(Fills(), fills) << c.detail;
  }
  // A row that ends before a field the line shows still loads, as before.
  QList<OrderRow> rows(299, Order(QStringLiteral("WO")));
  rows << last;
  Load(rows);
  EXPECT_EQ(TakeMessages(), QStringList());
  EXPECT_EQ(model.lineCount(), 300);
}

TEST_F(Control, NotesValuesThatShowOtherwiseThanWrittenOncePerLoad) {
  Load({Order(QStringLiteral("WO1")),
        With(Order(QStringLiteral("WO2")), "itemdesc", QStringLiteral("Nut &amp; bolt")),
        With(With(Order(QStringLiteral("WO3")), "custnameml", QStringLiteral("Baxter; Sons")),
             "item_code", QStringLiteral("IT&#10;")),
        With(Order(QStringLiteral("WO4")), "alt_resource", QStringLiteral("D;"))});
  EXPECT_EQ(TakeMessages(), QStringList());
  EXPECT_EQ(site.notes,
            QStringList{QStringLiteral(
                "Work-order document: 2 values hold entity or character references, shown as "
                "written: row 2, itemdesc; row 3, item_code. 3 values hold a \";\", which moves "
                "the cells after it one column to the right: row 2, itemdesc; row 3, item_code; "
                "row 3, custnameml.")});
  // The values load as written: the line's text splits at each ";".
  EXPECT_EQ(model.cellText(2, 4).toStdString(), "Nut &amp");
  site.notes.clear();
  Load(kThreeOrders);
  EXPECT_EQ(site.notes, QStringList());
}

TEST_F(Control, OrderOutReturnsTheLatestPickAcrossReloads) {
  EXPECT_EQ(control.OrderOut(), QString());
  Load({Order(QStringLiteral("WO1")), Order(QStringLiteral("WO2")), Order(QString())});
  component.RaiseLinePicked(1);
  component.RaiseLinePicked(2);
  EXPECT_EQ(control.OrderOut().toStdString(), "WO2");
  // The event's second value plays no part.
  Event(schedule::grid_events::kLinePicked, {Variant::I2(1), Variant::Null()});
  EXPECT_EQ(control.OrderOut().toStdString(), "WO1");

  // Neither a reload nor a new horizon forgets the pick.
  Load({Order(QStringLiteral("WO5"))});
  SetHorizon("2024-01-01", "2024-12-31");
  EXPECT_EQ(control.OrderOut().toStdString(), "WO1");

  // A pick of a line the grid does not have keeps the last pick and shows one box.
  component.RaiseLinePicked(4);
  EXPECT_EQ(TakeMessages(), QStringList({QStringLiteral("9 The grid has no line 4 (it holds 1)")}));
  EXPECT_EQ(control.OrderOut().toStdString(), "WO1");

  // A line whose order number is empty.
  Load({Order(QStringLiteral("WO1")), Order(QString())});
  component.RaiseLinePicked(2);
  EXPECT_EQ(control.OrderOut(), QString());
  EXPECT_TRUE(site.messages.isEmpty());
}

TEST_F(Control, HoverSetsTheSummaryOfALineAsTheGridsTooltip) {
  Load({Order(),
        With(With(With(With(With(Order(), "itemdesc", QString()), "alt_resource", QString()),
                       "chk_sc_wo", QString()),
                  "allflag", QString()),
             "allmethod", QString())});
  site.lines.clear();
  component.RaiseHover(1, 1);
  component.RaiseHover(2, 5);
  component.RaiseHover(1, 0);
  EXPECT_EQ(site.lines.join(QLatin1Char('\n')).toStdString(),
            "tooltip \"Bearing / orders to reschedule out / MRP Order / 12 / 2024-02-01\"\n"
            "tooltip \" /  /  /  / \"\n"
            "tooltip \"\"");

  // A line that does not exist: one box, and the tooltip stays.
  site.lines.clear();
  component.RaiseHover(9, 1);
  EXPECT_EQ(site.lines, QStringList({QStringLiteral(
                            "msgbox Kestrova: 9 The grid has no line 9 (it holds 2)")}));
}

TEST_F(Control, BarActivationWithTheFlagTrueFocusesThatBar) {
  Load(kThreeOrders);
  std::vector<std::pair<int, int>> focused;
  component.SetBarFocusHandler([&focused](int line, int bar) { focused.emplace_back(line, bar); });
  // The fourth value plays no part.
  Event(schedule::grid_events::kBarActivated,
        {Variant::I2(2), Variant::I2(1), Variant::I2(-1), Variant::Null()});
  Event(schedule::grid_events::kBarActivated,
        {Variant::I2(3), Variant::I2(1), Variant::I2(0), Variant::Null()});
  Event(schedule::grid_events::kBarActivated, {Variant::I2(3), Variant::I2(1), Variant::I2(1)});
  EXPECT_EQ(focused, (std::vector<std::pair<int, int>>{{2, 1}}));
  EXPECT_TRUE(site.messages.isEmpty());

  // A bar the grid does not have.
  component.RaiseBarActivated(1, 5, -1);
  EXPECT_EQ(TakeMessages(), QStringList({QStringLiteral("9 Line 1 has no bar 5")}));
}

TEST_F(Control, ZoomButtonsStepTheGridsZoomAcrossTheSixteenBitRange) {
  Load(kThreeOrders);
  for (std::int16_t button : {1, 2, 3, 6}) Press(button);
  EXPECT_EQ(settings.zoom(), 230);
  Press(5);
  EXPECT_EQ(settings.zoom(), 280);
  Press(4);
  Press(4);
  EXPECT_EQ(settings.zoom(), 180);

  // The control writes every step, below zero too, without a box.
  std::vector<int> zooms;
  for (int i = 0; i < 5; ++i) {
    Press(4);
    zooms.push_back(settings.zoom());
  }
  EXPECT_EQ(zooms, (std::vector<int>{130, 80, 30, -20, -70}));
  EXPECT_EQ(TakeMessages(), QStringList());

  // A reload starts again from 230.
  Load(kThreeOrders);
  EXPECT_EQ(settings.zoom(), 230);

  // A step past 16 bits overflows before anything is written, at either end.
  for (const int zoom : {32720, -32720}) {
    settings.setZoom(zoom);
    Press(zoom > 0 ? 5 : 4);
    EXPECT_EQ(TakeMessages(), QStringList({QStringLiteral("6 Overflow")}));
    EXPECT_EQ(settings.zoom(), zoom);
  }
}

TEST_F(Control, ZoomThatTheGridHoldsBeyondSixteenBitsOverflowsInsteadOfWrapping) {
  settings.setZoom(40000);
  Press(4);
  Press(5);
  EXPECT_EQ(TakeMessages(),
            QStringList({QStringLiteral("6 Overflow"), QStringLiteral("6 Overflow")}));
  EXPECT_EQ(settings.zoom(), 40000);
}

// The grid as the control sees it, keeping the text of each line that the control adds.
class RowTexts final : public platform::Dispatch {
 public:
  explicit RowTexts(platform::Dispatch& grid) : mGrid(grid) {}
  Variant Invoke(platform::DispId id, platform::InvokeKind kind, std::span<Variant> args,
                 const Variant& value) override {
    if (id == schedule::grid_ids::kClearList) texts.clear();
    if (id == schedule::grid_ids::kAddRow) texts << platform::ToBstr(args[0]);
    return mGrid.Invoke(id, kind, args, value);
  }
  QStringList texts;

 private:
  platform::Dispatch& mGrid;
};

TEST(LargeLoad, KeepsEveryCellOfEveryLineThroughAReload) {
  RecordingSite site(RecordingSite::Lines::Dropped);
  RowTexts* rows = nullptr;
  control::Board board(site, [&rows](platform::Dispatch& grid) {
    auto wrapped = std::make_unique<RowTexts>(grid);
    rows = wrapped.get();
    return wrapped;
  });
  const grid::ScheduleModel& model = board.Model();
  for (const std::uint64_t seed : {1u, 2u}) {
    tools::GeneratorOptions options;
    options.orders = 32766;
    options.seed = seed;
    Variant wohxml = Variant::Bstr(tools::GenerateWorkOrders(options));
    board.Control().PopulateWorkOrder(wohxml);
    ASSERT_TRUE(site.messages.isEmpty()) << site.messages.join(u'\n').toStdString();
    ASSERT_EQ(model.lineCount(), 32766);
    ASSERT_EQ(rows->texts.size(), 32766);
    for (int line = 1; line <= model.lineCount(); ++line) {
      const QStringList fields = rows->texts[line - 1].split(u';');
      ASSERT_EQ(fields.size(), 10) << "line " << line;
      for (int column = 1; column <= 10; ++column) {
        if (model.cellView(line, column) != fields[column - 1]) {
          FAIL() << "seed " << seed << ", line " << line << ", column " << column;
        }
      }
      ASSERT_EQ(model.barCount(line), 1) << "line " << line;
    }
  }
}

}  // namespace
}  // namespace varnex::testing
