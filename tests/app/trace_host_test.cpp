#include "app/trace_host.h"

#include "tests/support/documents.h"
#include "tests/support/qt_printers.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <gtest/gtest.h>

namespace varnex::testing {
namespace {

struct TraceRun {
  int exitCode = -1;
  QStringList lines;
};

QString Command(const QJsonObject& command) {
  return QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact));
}

TraceRun RunScript(const QStringList& script, qsizetype elide = 0) {
  QByteArray bytes = script.join(QLatin1Char('\n')).toUtf8();
  QBuffer input(&bytes);
  input.open(QIODevice::ReadOnly);
  QString output;
  QTextStream out(&output);
  TraceRun run;
  run.exitCode = app::RunTrace(input, out, elide);
  run.lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  return run;
}

QJsonObject Parse(const QString& line) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
  return doc.object();
}

QString File(const char* name) {
  return QStringLiteral(VARNEX_EXAMPLES_DIR "/") + QLatin1String(name);
}

const QString kCreation = QStringLiteral(
    "{\"caption\":{\"name\":\"lblCancel\",\"text\":\"X\"}}\n"
    "{\"caption\":{\"name\":\"lblReschOut\",\"text\":\">>\"}}\n"
    "{\"caption\":{\"name\":\"lblReschIn\",\"text\":\"<<\"}}\n"
    "{\"caption\":{\"name\":\"lblAmend\",\"text\":\"\u00e2\"}}");

TEST(Trace, ShowsTheExampleRunStepByStep) {
  const TraceRun run = RunScript({
      Command({{QStringLiteral("call"), QStringLiteral("TimeSet")},
               {QStringLiteral("file"), File("header.xml")}}),
      Command({{QStringLiteral("call"), QStringLiteral("PopulateWorkOrder")},
               {QStringLiteral("file"), File("workorders.xml")}}),
  });
  ASSERT_EQ(run.exitCode, 0);
  ASSERT_GT(run.lines.size(), 40);
  EXPECT_EQ(run.lines.mid(0, 4).join(QLatin1Char('\n')), kCreation);

  // TimeSet: the escaped copy, the horizon, and the caller's variant escaped in place.
  EXPECT_TRUE(
      run.lines[4].startsWith(QLatin1String("{\"box\":{\"name\":\"Box1\",\"text\":\"<?xml")));
  EXPECT_EQ(run.lines[5].toStdString(),
            R"({"grid":{"dispid":31,"op":"put","args":[],"value":{"t":"I4","v":45661}}})");
  EXPECT_EQ(run.lines[6].toStdString(),
            R"({"grid":{"dispid":32,"op":"put","args":[],"value":{"t":"I4","v":45780}}})");
  const QJsonObject timeSet = Parse(run.lines[7])[QLatin1String("return")].toObject();
  EXPECT_EQ(timeSet[QLatin1String("call")].toString().toStdString(), "TimeSet");
  EXPECT_TRUE(timeSet[QLatin1String("arg")][QLatin1String("v")].toString().contains(
      QLatin1String("Kestrel &amp; Sons")));
  EXPECT_TRUE(timeSet[QLatin1String("arg")][QLatin1String("ref")].toBool());

  // PopulateWorkOrder: the title steps with the font read twice, the twenty grid steps with
  // the horizon again, then the list emptied.
  EXPECT_TRUE(run.lines[8].startsWith(QLatin1String("{\"box\":{\"name\":\"Box2\"")));
  EXPECT_EQ(run.lines.mid(9, 9).join(QLatin1Char('\n')).toStdString(),
            R"({"grid":{"dispid":13,"op":"put","args":[],"value":{"t":"I4","v":2}}}
{"grid":{"dispid":11,"op":"put","args":[],"value":{"t":"I4","v":2}}}
{"grid":{"dispid":10,"op":"put","args":[],"value":{"t":"BSTR","v":"Verdana"}}}
{"grid":{"dispid":9,"op":"put","args":[],"value":{"t":"I4","v":8388608}}}
{"grid":{"dispid":10,"op":"get","args":[],"result":{"t":"FONT","v":{"name":"Verdana","size":12,"bold":false}}}}
{"font":{"dispid":10,"prop":"Size","value":{"t":"I2","v":10}}}
{"grid":{"dispid":10,"op":"get","args":[],"result":{"t":"FONT","v":{"name":"Verdana","size":10,"bold":false}}}}
{"font":{"dispid":10,"prop":"Bold","value":{"t":"BOOL","v":true}}}
{"grid":{"dispid":4,"op":"put","args":[],"value":{"t":"I2","v":155}}})");
  QList<int> setUp;
  QList<int> horizon;
  for (const QString& line : run.lines.mid(18, 20)) {
    const QJsonObject op = Parse(line)[QLatin1String("grid")].toObject();
    EXPECT_EQ(op[QLatin1String("op")].toString().toStdString(), "put");
    setUp << op[QLatin1String("dispid")].toInt();
    if (setUp.last() == 31 || setUp.last() == 32)
      horizon << op[QLatin1String("value")][QLatin1String("v")].toInt();
  }
  EXPECT_EQ(setUp, (QList<int>{80, 33, 25, 29, 30, 43, 41, 82, 92,  31,
                               32, 81, 48, 33, 49, 40, 28, 51, 149, 147}));
  EXPECT_EQ(horizon, (QList<int>{45661, 45780}));
  EXPECT_EQ(run.lines[38].toStdString(), R"({"grid":{"dispid":900,"op":"call","args":[]}})");

  // Every order: its line, its bar, and the bar's settings, on its own row number.
  EXPECT_EQ(Parse(
                run.lines[39])[QLatin1String("grid")][QLatin1String("args")][0][QLatin1String("v")]
                .toString()
                .toStdString(),
            "WO100000;IT-4126;RH;Gearbox housing machined;20;MRP Order;Tanaka Seiki K.K.;;;accept "
            "suggested orders");
  qsizetype at = 39;
  int marks = 0;
  for (int row = 1; row <= 300; ++row) {
    SCOPED_TRACE(row);
    QList<int> ids;
    for (; at < run.lines.size(); ++at) {
      const QJsonObject op = Parse(run.lines[at])[QLatin1String("grid")].toObject();
      if (op.isEmpty() || (!ids.isEmpty() && op[QLatin1String("dispid")].toInt() == 163)) break;
      ids << op[QLatin1String("dispid")].toInt();
      if (ids.last() == 164 || ids.last() == 217) {
        EXPECT_EQ(op[QLatin1String("args")][0].toObject(),
                  (QJsonObject{{QStringLiteral("t"), QStringLiteral("I2")},
                               {QStringLiteral("v"), row},
                               {QStringLiteral("ref"), true}}));
      }
    }
    if (ids.contains(229)) {
      ++marks;
      ids.removeOne(229);
      ASSERT_EQ(ids.indexOf(217), 5);
    }
    ASSERT_EQ(ids, (QList<int>{163, 164, 216, 83, 230, 217, 276}));
  }
  EXPECT_EQ(marks, 300 - 29 - 27);  // actions A to G carry a mark

  // Then the legend and the return.
  ASSERT_EQ(run.lines.size(), at + 5);
  EXPECT_EQ(run.lines.mid(at, 4).join(QLatin1Char('\n')).toStdString(),
            R"({"fill":{"name":"ctPushSuggested","colour":16757738}}
{"fill":{"name":"ctPushAccepted","colour":11468799}}
{"fill":{"name":"ctPushFirm","colour":16756318}}
{"fill":{"name":"ctPushRelease","colour":7001344}})");
  EXPECT_TRUE(run.lines.last().startsWith(
      QLatin1String("{\"return\":{\"call\":\"PopulateWorkOrder\",\"arg\":{\"t\":\"BSTR\"")));
}

TEST(Trace, AnswersEventsAndQueriesWithTheGridsState) {
  const TraceRun run = RunScript({
      Command({{QStringLiteral("call"), QStringLiteral("TimeSet")},
               {QStringLiteral("arg"),
                Header(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"))}}),
      Command({{QStringLiteral("call"), QStringLiteral("PopulateWorkOrder")},
               {QStringLiteral("arg"), WorkOrders({Order()})}}),
      QString(),
      QStringLiteral(R"({"event":"grid","id":3,"args":[1,0]})"),
      QStringLiteral(R"({"event":"grid","id":16,"args":[1,1]})"),
      QStringLiteral(R"({"event":"toolbar","args":[5,0]})"),
      QStringLiteral(R"({"call":"OrderOut"})"),
      QStringLiteral(R"({"query":"grid"})"),
  });
  ASSERT_EQ(run.exitCode, 0);
  const qsizetype pick = run.lines.indexOf(QStringLiteral(
      R"({"grid":{"dispid":236,"op":"call","args":[{"t":"I2","v":1,"ref":true},{"t":"I2","v":1}],"result":{"t":"BSTR","v":"WO1"}}})"));
  ASSERT_GT(pick, 0);
  EXPECT_EQ(
      run.lines.mid(pick + 6).join(QLatin1Char('\n')).toStdString(),
      R"({"tooltip":"Bearing / orders to reschedule out / MRP Order / 12 / 2024-02-01"}
{"grid":{"dispid":28,"op":"get","args":[],"result":{"t":"I2","v":230}}}
{"grid":{"dispid":28,"op":"put","args":[],"value":{"t":"I2","v":280}}}
{"return":{"call":"OrderOut","value":{"t":"BSTR","v":"WO1"}}}
{"state":{"rows":[{"cells":["WO1","IT-1","STD","Bearing","10","MRP Order","Baxter","12","2024-02-01","orders to reschedule out"],)"
      R"("bars":[{"index":1,"start":[29219,0],"end":[29219,1439],"colour":16757738,"text":">>",)"
      R"("props":{"216":{"t":"I2","v":0},"230":{"t":"I2","v":2},"276":{"t":"BOOL","v":true}}}]}],)"
      R"("zoom":280,"horizon":[45290,45655],"tooltip":"Bearing / orders to reschedule out / MRP Order / 12 / 2024-02-01"}})");
}

TEST(Trace, InjectedFailuresResultsAndValuesReachTheControlThroughTheGrid) {
  const QString load = Command({{QStringLiteral("call"), QStringLiteral("PopulateWorkOrder")},
                                {QStringLiteral("arg"), WorkOrders({Order()})}});
  const TraceRun run = RunScript({
      QStringLiteral(R"({"inject":"fail","dispid":163,"error":7,"description":"No room"})"),
      load,
      QStringLiteral(R"({"inject":"result","dispid":164,"value":40000})"),
      load,
      QStringLiteral(R"({"inject":"set","dispid":28,"value":32720})"),
      QStringLiteral(R"({"event":"toolbar","args":[5,0]})"),
      QStringLiteral(R"({"inject":"result","dispid":28,"value":-32720})"),
      QStringLiteral(R"({"event":"toolbar","args":[4,0]})"),
      QStringLiteral(R"({"inject":"set","dispid":28,"value":-5})"),
      QStringLiteral(R"({"query":"grid"})"),
  });
  ASSERT_EQ(run.exitCode, 0);
  QStringList seen;
  for (const QString& line : run.lines) {
    if (line.contains(QLatin1String("\"dispid\":163")) ||
        line.contains(QLatin1String("\"dispid\":164")) ||
        line.contains(QLatin1String("\"dispid\":28,")) ||
        line.startsWith(QLatin1String("{\"msgbox\"")) ||
        line.startsWith(QLatin1String("{\"error\""))) {
      seen << line;
    }
  }
  EXPECT_EQ(seen.join(QLatin1Char('\n')).toStdString(),
            R"({"grid":{"dispid":28,"op":"put","args":[],"value":{"t":"I2","v":230}}}
{"grid":{"dispid":163,"op":"call","args":[{"t":"BSTR","v":"WO1;IT-1;STD;Bearing;10;MRP Order;Baxter;12;2024-02-01;orders to reschedule out"}]}}
{"msgbox":{"title":"Kestrova","text":"7 No room","buttons":"OK","detail":"PopulateWorkOrder, work-order document, row 1, order \"WO1\", the grid's call of DISPID 163 (\"WO1;IT-1;STD;Bearing;10;MRP Order;Baxter;12;2024-02-01;order…\" (79 characters)) failed"}}
{"grid":{"dispid":28,"op":"put","args":[],"value":{"t":"I2","v":230}}}
{"grid":{"dispid":163,"op":"call","args":[{"t":"BSTR","v":"WO1;IT-1;STD;Bearing;10;MRP Order;Baxter;12;2024-02-01;orders to reschedule out"}]}}
{"grid":{"dispid":164,"op":"call","args":[{"t":"I2","v":1,"ref":true},{"t":"I4","v":0},{"t":"I4","v":1439},{"t":"I4","v":29219},{"t":"I4","v":29219}],"result":{"t":"I4","v":40000}}}
{"msgbox":{"title":"Kestrova","text":"6 Overflow","buttons":"OK","detail":"PopulateWorkOrder, work-order document, row 1, order \"WO1\", the bar index 40000 that the grid returned is no 16-bit value"}}
{"grid":{"dispid":28,"op":"get","args":[],"result":{"t":"I2","v":32720}}}
{"msgbox":{"title":"Kestrova","text":"6 Overflow","buttons":"OK","detail":"toolbar button 5, the zoom value 32720 + 50 passes 32767, the limit of the zoom value"}}
{"grid":{"dispid":28,"op":"get","args":[],"result":{"t":"I4","v":-32720}}}
{"msgbox":{"title":"Kestrova","text":"6 Overflow","buttons":"OK","detail":"toolbar button 4, the zoom value -32720 - 50 passes -32768, the limit of the zoom value"}})");
  EXPECT_TRUE(run.lines.last().contains(QLatin1String("\"zoom\":-5,")));
  EXPECT_EQ(run.lines.filter(QLatin1String("{\"fill\"")).size(), 0);
}

TEST(Trace, ReportsCommandsItCannotUnderstandAndGoesOn) {
  const TraceRun run = RunScript({
      QStringLiteral("not json"),
      QStringLiteral("[1,2]"),
      QStringLiteral(R"({"call":"Refresh"})"),
      QStringLiteral(R"({"event":"grid","args":[1,0]})"),
      QStringLiteral(R"({"inject":"fail"})"),
      QStringLiteral(R"({"call":"TimeSet","file":"/no/such/header.xml"})"),
      QStringLiteral(R"({"call":"TimeSet","arg":null})"),
      QStringLiteral(R"({"call":"PopulateWorkOrder"})"),
      QStringLiteral(R"({"call":"OrderOut"})"),
  });
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.lines.size(), 4 + 12);
  for (int i = 4; i < 9; ++i)
    EXPECT_TRUE(run.lines[i].startsWith(QLatin1String("{\"error\":")))
        << run.lines[i].toStdString();
  EXPECT_TRUE(run.lines[9].contains(QLatin1String("/no/such/header.xml")));
  EXPECT_EQ(
      run.lines.mid(10, 2).join(QLatin1Char('\n')).toStdString(),
      R"({"msgbox":{"title":"Kestrova","text":"94 Invalid use of Null","buttons":"OK","detail":"TimeSet, header document: a null value instead of text"}}
{"return":{"call":"TimeSet","arg":{"t":"NULL","v":null,"ref":true}}})");
  // An empty argument parses as no document at all.
  EXPECT_EQ(run.lines[12].toStdString(), R"({"box":{"name":"Box2","text":""}})");
  EXPECT_TRUE(run.lines[13].startsWith(QLatin1String(
      R"({"msgbox":{"title":"Kestrova","text":"The work-order document has no root element)")));
  EXPECT_EQ(run.lines[14].toStdString(),
            R"({"return":{"call":"PopulateWorkOrder","arg":{"t":"BSTR","v":"","ref":true}}})");
  EXPECT_EQ(run.lines[15].toStdString(),
            R"({"return":{"call":"OrderOut","value":{"t":"BSTR","v":""}}})");
}

TEST(Trace, ElidesLongTextsToTheirStartAndTheirWholeLength) {
  const QString loadBadOrders = QStringLiteral(R"({"call":"PopulateWorkOrder","arg":"abcdefgh"})");
  const QString boxWhole = QStringLiteral(R"({"box":{"name":"Box2","text":"abcdefgh"}})");
  const QString returnWhole = QStringLiteral(
      R"({"return":{"call":"PopulateWorkOrder","arg":{"t":"BSTR","v":"abcdefgh","ref":true}}})");
  const QStringList hoverOnOneOrder = {
      Command({{QStringLiteral("call"), QStringLiteral("TimeSet")},
               {QStringLiteral("arg"),
                Header(QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"))}}),
      Command({{QStringLiteral("call"), QStringLiteral("PopulateWorkOrder")},
               {QStringLiteral("arg"), WorkOrders({Order()})}}),
      QStringLiteral(R"({"event":"grid","id":16,"args":[1,1]})"),
      QStringLiteral(R"({"query":"grid"})"),
  };
  struct Case {
    const char* name;
    qsizetype elide;
    QStringList script;
    QStringList expected;  // lines that must appear in the output, in this order
  };
  const QList<Case> cases = {
      {"a BSTR argument and the box that keeps it",
       4,
       {loadBadOrders},
       {QStringLiteral(R"({"box":{"name":"Box2","text":"abcd","text_length":8}})"),
        QStringLiteral(
            R"({"return":{"call":"PopulateWorkOrder","arg":{"t":"BSTR","v":"abcd","length":8,"ref":true}}})")}},
      {"a message box's text, its title being shorter",
       10,
       {QStringLiteral(R"({"call":"TimeSet","arg":null})")},
       {QStringLiteral(
            R"({"msgbox":{"title":"Kestrova","text":"94 Invalid","text_length":22,"buttons":"OK","detail":"TimeSet, h","detail_length":54}})"),
        QStringLiteral(R"({"return":{"call":"TimeSet","arg":{"t":"NULL","v":null,"ref":true}}})")}},
      {"a grid argument, a tooltip and the state's tooltip; cells and a font name of N stay whole",
       7,
       hoverOnOneOrder,
       {QStringLiteral(
            R"({"grid":{"dispid":10,"op":"get","args":[],"result":{"t":"FONT","v":{"name":"Verdana","size":12,"bold":false}}}})"),
        QStringLiteral(
            R"({"grid":{"dispid":163,"op":"call","args":[{"t":"BSTR","v":"WO1;IT-","length":79}]}})"),
        QStringLiteral(R"({"tooltip":"Bearing","tooltip_length":64})"),
        QStringLiteral(
            R"({"state":{"rows":[{"cells":["WO1","IT-1","STD","Bearing","10","MRP Order","Baxter","12","2024-02-01","orders to reschedule out"],)"
            R"("bars":[{"index":1,"start":[29219,0],"end":[29219,1439],"colour":16757738,"text":">>",)"
            R"("props":{"216":{"t":"I2","v":0},"230":{"t":"I2","v":2},"276":{"t":"BOOL","v":true}}}]}],)"
            R"("zoom":230,"horizon":[45290,45655],"tooltip":"Bearing","tooltip_length":64}})")}},
      {"a caption",
       1,
       {},
       {QStringLiteral(R"({"caption":{"name":"lblCancel","text":"X"}})"),
        QStringLiteral(R"({"caption":{"name":"lblReschOut","text":">","text_length":2}})")}},
      {"a text of exactly N", 8, {loadBadOrders}, {boxWhole, returnWhole}},
      {"a surrogate pair at the cut is left out whole",
       3,
       {QStringLiteral(R"({"call":"PopulateWorkOrder","arg":"ab\ud83d\ude00cd"})")},
       {QStringLiteral(
           R"({"return":{"call":"PopulateWorkOrder","arg":{"t":"BSTR","v":"ab","length":6,"ref":true}}})")}},
      {"a surrogate pair before the cut is kept whole",
       4,
       {QStringLiteral(R"({"call":"PopulateWorkOrder","arg":"ab\ud83d\ude00cd"})")},
       {QStringLiteral(
           R"({"return":{"call":"PopulateWorkOrder","arg":{"t":"BSTR","v":"ab\ud83d\ude00","length":6,"ref":true}}})")}},
      {"no option", 0, {loadBadOrders}, {boxWhole, returnWhole}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TraceRun run = RunScript(c.script, c.elide);
    ASSERT_EQ(run.exitCode, 0);
    for (const QString& line : run.lines) Parse(line);
    qsizetype at = 0;
    for (const QString& line : c.expected) {
      const qsizetype found = run.lines.indexOf(line, at);
      ASSERT_GE(found, 0) << "missing: " << line.toStdString() << "\nin:\n"
                          << run.lines.join(QLatin1Char('\n')).toStdString();
      at = found + 1;
    }
  }
}

}  // namespace
}  // namespace varnex::testing
