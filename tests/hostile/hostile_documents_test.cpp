// Documents built to hurt: each goes through the control on the grid model, as a host would hand
// it over, and must end in a clear box, in bounded time and memory, with the grid holding only
// what the control's own steps had done by then.
#include "app/document_file.h"
#include "control/board.h"
#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "platform/variant.h"
#include "tests/support/process_memory.h"
#include "tests/support/recording_site.h"
#include "tools/document_generator.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARNEX_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VARNEX_UNDER_ASAN 1
#endif

namespace varnex::testing {
namespace {

using platform::Variant;

// The high-water mark of this process's resident memory in MiB; -1 where the system does not
// tell.
qint64 PeakMemoryMiB() {
  const std::int64_t kib = PeakResidentKiB();
  return kib > 0 ? kib / 1024 : -1;
}

tools::GeneratorOptions Orders(int count) {
  tools::GeneratorOptions options;
  options.orders = count;
  options.seed = 11;
  return options;
}

// The control on the grid model with a horizon set and three orders loaded, so that a refused
// document can be seen to leave the grid as it was.
class Hostile : public ::testing::Test {
 protected:
  Hostile() {
    Variant header = Variant::Bstr(tools::GenerateHeader(Orders(3)));
    control.TimeSet(header);
    Load(tools::GenerateWorkOrders(Orders(3)));
    EXPECT_EQ(model.lineCount(), 3);
    site.lines.clear();
    site.messages.clear();
  }

  void Load(const QString& text) {
    Variant wohxml = Variant::Bstr(text).ByRef();
    control.PopulateWorkOrder(wohxml);
  }

  // The grid still shows the three orders loaded first, untouched.
  void ExpectGridAsBefore() {
    EXPECT_EQ(model.lineCount(), 3);
    EXPECT_EQ(model.totalBarCount(), 3);
    EXPECT_EQ(model.cellText(1, 1), QStringLiteral("WO100000"));
    EXPECT_FALSE(site.lines.join(QLatin1Char('\n')).contains(QLatin1String("fill ")));
  }

  bool AnyCellContains(const QString& needle) const {
    for (int line = 1; line <= model.lineCount(); ++line) {
      for (int column = 1; column <= model.columnCount(); ++column) {
        if (model.cellText(line, column).contains(needle)) return true;
      }
    }
    return false;
  }

  RecordingSite site;
  control::Board board{site};
  grid::ScheduleModel& model = board.Model();
  control::Zeb_Varnex& control = board.Control();
};

QString Units(std::initializer_list<char16_t> units) {
  return QString(reinterpret_cast<const QChar*>(units.begin()),
                 static_cast<qsizetype>(units.size()));
}

// One generated order with `extra` placed just before the row's end.
QString OneOrderWith(const QString& extra) {
  QString doc = tools::GenerateWorkOrders(Orders(1));
  const qsizetype end = doc.indexOf(QLatin1String("/>"));
  return doc.left(end) + extra + doc.mid(end);
}

TEST_F(Hostile, RefusesEveryDocumentTypeDeclarationWithoutReadingOrFetchingAnything) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString secret = dir.filePath(QStringLiteral("secret.txt"));
  {
    QFile file(secret);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("LEAKED-SECRET");
  }
  const QString url = QStringLiteral("file://") + secret;
  const QString row = QStringLiteral("<wo docuemntno=\"&x;\"/>");
  const QString laughs = [] {
    QString entities = QStringLiteral("<!ENTITY l0 \"lol\">");
    for (int level = 1; level <= 10; ++level) {
      entities += QStringLiteral("<!ENTITY l%1 \"").arg(level);
      for (int i = 0; i < 10; ++i) entities += QStringLiteral("&l%1;").arg(level - 1);
      entities += QStringLiteral("\">");
    }
    return QStringLiteral("<!DOCTYPE w [") + entities +
           QStringLiteral("]><w><wo docuemntno=\"&l10;\"/></w>");
  }();
  const struct {
    const char* name;
    QString document;
  } cases[] = {
      {"external entity",
       QStringLiteral("<!DOCTYPE w [<!ENTITY x SYSTEM \"%1\">]><w>%2</w>").arg(url, row)},
      {"external entity by public id",
       QStringLiteral(
           "<!DOCTYPE w [<!ENTITY x PUBLIC \"-//X//Y\" \"http://127.0.0.1:9/x\">]><w>%1</w>")
           .arg(row)},
      {"external parameter entity",
       QStringLiteral("<!DOCTYPE w [<!ENTITY % p SYSTEM \"%1\"> %p;]><w>%2</w>").arg(url, row)},
      {"external DTD", QStringLiteral("<!DOCTYPE w SYSTEM \"%1\"><w>%2</w>").arg(url, row)},
      {"billion laughs", laughs},
      {"declaration after a blank line", QStringLiteral("\n<!DOCTYPE w><w/>")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    site.messages.clear();
    Load(c.document);
    ASSERT_EQ(site.messages.size(), 1);
    EXPECT_TRUE(site.messages[0].startsWith(
        QLatin1String("The work-order document holds a document type declaration")))
        << site.messages[0].toStdString();
    EXPECT_FALSE(AnyCellContains(QStringLiteral("LEAKED")));
    EXPECT_FALSE(AnyCellContains(QStringLiteral("lollol")));
    ExpectGridAsBefore();
  }

  // The header call refuses them the same way and keeps its horizon.
  const std::int32_t start = board.Settings().horizonStart();
  Variant header = Variant::Bstr(QStringLiteral("<!DOCTYPE h SYSTEM \"%1\"><h/>").arg(url));
  site.messages.clear();
  control.TimeSet(header);
  ASSERT_EQ(site.messages.size(), 1);
  EXPECT_TRUE(site.messages[0].contains(QLatin1String("DOCTYPE")));
  EXPECT_EQ(board.Settings().horizonStart(), start);
}

TEST_F(Hostile, LoadsARowNestedAHundredThousandLevelsDeep) {
  constexpr int kDepth = 100000;
  QString nested;
  nested.reserve(kDepth * 8);
  for (int i = 0; i < kDepth; ++i) nested += QStringLiteral("<n>");
  for (int i = 0; i < kDepth; ++i) nested += QStringLiteral("</n>");
  QString doc = tools::GenerateWorkOrders(Orders(1));
  const qsizetype end = doc.indexOf(QLatin1String("/>"));
  doc = doc.left(end) + QLatin1Char('>') + nested + QStringLiteral("</wo>") + doc.mid(end + 2);

  Load(doc);
  // Content inside a row is checked and otherwise ignored: the one order loads.
  EXPECT_TRUE(site.messages.isEmpty()) << site.messages.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(model.lineCount(), 1);
  EXPECT_EQ(model.cellText(1, 1), QStringLiteral("WO100000"));

  // The same depth left open is a parse error, not a crash.
  Load(QStringLiteral("<w>") + nested.left(kDepth * 3));
  ASSERT_EQ(site.messages.size(), 1);
  EXPECT_TRUE(site.messages[0].startsWith(
      QLatin1String("The work-order document ends before its elements are closed")))
      << site.messages[0].toStdString();
  EXPECT_EQ(model.lineCount(), 1);
}

TEST_F(Hostile, TakesAMillionAttributesInTheFirstRowAndRefusesThemInALaterOne) {
  constexpr int kAttributes = 1000000;
  QString extra;
  extra.reserve(kAttributes * 12);
  for (int i = 13; i < kAttributes; ++i) {
    extra += QStringLiteral(" x");
    extra += QString::number(i);
    extra += QStringLiteral("=\"1\"");
  }

#ifndef VARNEX_UNDER_ASAN
  // As the first row it gives the order table a million columns; the thirteen that the load
  // reads are among them, so the order loads.
  Load(OneOrderWith(extra));
  EXPECT_TRUE(site.messages.isEmpty()) << site.messages.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(model.lineCount(), 1);
  EXPECT_EQ(model.totalBarCount(), 1);
#endif

  // As a later row it has attributes that no column takes: the call stops before the grid is
  // touched.
  QString doc = tools::GenerateWorkOrders(Orders(2));
  const qsizetype secondEnd = doc.lastIndexOf(QLatin1String("/>"));
  doc = doc.left(secondEnd) + extra + doc.mid(secondEnd);
  site.messages.clear();
  Load(doc);
  ASSERT_EQ(site.messages.size(), 1);
  EXPECT_TRUE(site.messages[0].startsWith(QLatin1String("3265 ")))
      << site.messages[0].toStdString();
#ifdef VARNEX_UNDER_ASAN
  ExpectGridAsBefore();
#else
  EXPECT_EQ(model.lineCount(), 1);
#endif
}

TEST_F(Hostile, LoadsAnAttributeValueOfFiftyMegabytes) {
#ifdef VARNEX_UNDER_ASAN
  constexpr qsizetype kLength = qsizetype{4}
                                << 20;  // the same path at a size the sanitizers manage
#else
  constexpr qsizetype kLength = qsizetype{50} << 20;
#endif
  QString doc = tools::GenerateWorkOrders(Orders(1));
  static const QRegularExpression kQuantity(QStringLiteral("order_quantity=\"([0-9]+)\""));
  const QString quantity = kQuantity.match(doc).captured(1);
  ASSERT_FALSE(quantity.isEmpty());
  static const QRegularExpression kDescription(QStringLiteral("itemdesc=\"[^\"]*\""));
  doc.replace(kDescription, QStringLiteral("itemdesc=\"") + QString(kLength, QLatin1Char('x')) +
                                QLatin1Char('"'));

  ResetPeakResident();
  const qint64 before = PeakMemoryMiB();
  Load(doc);
  // The document's text is 100 MiB as UTF-16; the load holds a few copies of it at most.
  if (before >= 0) EXPECT_LT(PeakMemoryMiB() - before, 8 * (kLength >> 20) * 2 + 64);
  EXPECT_TRUE(site.messages.isEmpty()) << site.messages.join(QLatin1Char('\n')).toStdString();
  ASSERT_EQ(model.lineCount(), 1);
  EXPECT_EQ(model.cellText(1, 4).size(), kLength);
  EXPECT_EQ(model.cellText(1, 5), quantity);  // the fields after it stay in place
  EXPECT_EQ(model.totalBarCount(), 1);
}

TEST_F(Hostile, InvalidUtf8BecomesBrokenCharactersThatTheControlRefuses) {
  // Given: bytes that are not UTF-8, each kept as the unpaired surrogate U+DC00 + byte.
  const struct {
    const char* name;
    QByteArray bytes;
    QString decoded;
  } cases[] = {
      {"stray continuation byte", QByteArray("a\x80z"), Units({u'a', 0xDC80, u'z'})},
      {"overlong NUL", QByteArray("\xC0\x80"), Units({0xDCC0, 0xDC80})},
      {"encoded surrogate", QByteArray("\xED\xA0\x80"), Units({0xDCED, 0xDCA0, 0xDC80})},
      {"beyond U+10FFFF", QByteArray("\xF4\x90\x80\x80"), Units({0xDCF4, 0xDC90, 0xDC80, 0xDC80})},
      {"byte never used", QByteArray("\xFF"), Units({0xDCFF})},
      {"cut at the end", QByteArray("\xE2\x82"), Units({0xDCE2, 0xDC82})},
      {"valid around it", QByteArray("\xC3\xA9\xFE\xF0\x9F\x98\x80"),
       Units({0x00E9, 0xDCFE, 0xD83D, 0xDE00})},
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(app::DecodeUtf8Escaped(c.bytes), c.decoded);

    // When: such bytes stand in an order's description in a document file.
    const QString path = dir.filePath(QString::fromLatin1(c.name));
    {
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      QString doc = tools::GenerateWorkOrders(Orders(1));
      const QByteArray utf8 = doc.toUtf8();
      const qsizetype at = utf8.indexOf("itemdesc=\"") + 10;
      file.write(utf8.left(at) + c.bytes + utf8.mid(at));
    }
    QString error;
    const std::optional<QString> text = app::ReadDocumentFile(path, &error);
    ASSERT_TRUE(text.has_value()) << error.toStdString();
    ASSERT_TRUE(text->contains(c.decoded));

    // Then: the control refuses the document with the place of the first broken character.
    site.messages.clear();
    Load(*text);
    ASSERT_EQ(site.messages.size(), 1);
    EXPECT_TRUE(site.messages[0].startsWith(
        QLatin1String("The work-order document is not text: it holds a broken character")))
        << site.messages[0].toStdString();
    EXPECT_TRUE(site.messages[0].contains(QLatin1String("at line 3, column")))
        << site.messages[0].toStdString();
    ExpectGridAsBefore();
  }
}

// A file is read a megabyte at a time: every character that a piece cuts, of two, three or
// four bytes and at each place of the cut, and a cut sequence at the file's end, read as the
// whole bytes decode.
TEST(DocumentFile, ReadsAFileInPiecesAsItsWholeBytesDecode) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const QByteArray character :
       {QByteArray("\xC3\xA9"), QByteArray("\xE2\x82\xAC"), QByteArray("\xF0\x9F\x98\x80")}) {
    for (int shift = 0; shift < character.size(); ++shift) {
      QByteArray bytes(shift, 'x');
      while (bytes.size() < (qsizetype{3} << 20)) bytes += character;
      bytes += character.left(character.size() - 1);
      const QString path = dir.filePath(QStringLiteral("pieces"));
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(bytes);
      file.close();
      QString error;
      const std::optional<QString> text = app::ReadDocumentFile(path, &error);
      ASSERT_TRUE(text.has_value()) << error.toStdString();
      EXPECT_TRUE(*text == app::DecodeUtf8Escaped(bytes))
          << character.toHex().toStdString() << " shifted by " << shift;
    }
  }
}

TEST_F(Hostile, RefusesADocumentThatIsNotTextAndSaysWhatItHolds) {
  const struct {
    QString units;
    const char* holds;  // nullptr: the document loads
  } cases[] = {
      {QString(QChar(0)), "U+0000"},
      {QString(QChar(0x1F)), "U+001F"},
      {QString(QChar(0xFFFE)), "U+FFFE"},
      {QString(QChar(0xFFFF)), "U+FFFF"},
      {QString(QChar(0xD83D)) + u'x', "a broken character (the unpaired surrogate U+D83D)"},
      {QString(QChar(0xDE00)), "a broken character (the unpaired surrogate U+DE00)"},
      {QStringLiteral("\t\U0001F600\u00e9"), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.holds ? c.holds : "text");
    site.messages.clear();
    QString doc = tools::GenerateWorkOrders(Orders(1));
    const qsizetype at = doc.indexOf(QLatin1String("itemdesc=\"")) + 10;
    doc.insert(at, c.units);
    Load(doc);
    if (!c.holds) {
      EXPECT_TRUE(site.messages.isEmpty()) << site.messages.join(u'\n').toStdString();
      continue;
    }
    ASSERT_EQ(site.messages.size(), 1);
    const qsizetype lineStart = doc.lastIndexOf(u'\n', at) + 1;
    EXPECT_EQ(site.messages[0].toStdString(),
              QStringLiteral("The work-order document is not text: it holds %1 at line 3, "
                             "column %2.")
                  .arg(QLatin1String(c.holds))
                  .arg(at - lineStart + 1)
                  .toStdString());
    ExpectGridAsBefore();
  }

  // Nor does a reference smuggle one in: the escaping makes it literal text, and a note says
  // that references are shown as written.
  site.messages.clear();
  Load(OneOrderWith(QStringLiteral(" nul=\"&#0;\"")));
  EXPECT_TRUE(site.messages.isEmpty()) << site.messages.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(model.lineCount(), 1);
  EXPECT_FALSE(AnyCellContains(QString(QChar(0))));
  EXPECT_EQ(site.notes.value(0).toStdString(),
            "Work-order document: 1 value holds entity or character references, shown as "
            "written: row 1, nul.");
}

TEST_F(Hostile, ShowsTheFirst32767OfFortyThousandOrdersThenOverflows) {
  Load(tools::GenerateWorkOrders(Orders(40000)));
  ASSERT_EQ(site.messages.size(), 1);
  EXPECT_EQ(site.messages[0], QStringLiteral("6 Overflow"));
  EXPECT_EQ(model.lineCount(), 32767);
  EXPECT_EQ(model.totalBarCount(), 32767);
  EXPECT_EQ(model.barCount(32767), 1);
  EXPECT_EQ(model.cellText(32767, 1), QStringLiteral("WO%1").arg(100000 + 32766));
  // The legend is painted only by a load that runs to its end.
  EXPECT_FALSE(site.lines.join(QLatin1Char('\n')).contains(QLatin1String("fill ")));
}

}  // namespace
}  // namespace varnex::testing
