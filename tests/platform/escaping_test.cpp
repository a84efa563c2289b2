#include "platform/escaping.h"

#include <gtest/gtest.h>

namespace varnex::platform {
namespace {

// The escaping as plainly as it can be written, to hold the fast paths against.
QString PlainEscape(QStringView text) {
  QString out;
  out.reserve(text.size() * 6);
  for (const QChar c : text) {
    if (c == u'&') {
      out += QStringLiteral("&amp;");
    } else if (c == u'\'') {
      out += QStringLiteral("&apos;");
    } else {
      out += c;
    }
  }
  return out;
}

// Escapes through both entry points and checks each against the plain escaping.
void ExpectEscapedPlainly(const QString& text) {
  const std::string expected = PlainEscape(text).toStdString();
  ASSERT_EQ(EscapeDocument(QStringView(text)).toStdString(), expected);
  ASSERT_EQ(EscapeDocument(text).toStdString(), expected);
}

// A text of `length` units with no special characters: letters, one non-ASCII character and
// a surrogate pair, so that every unit differs from its neighbours.
QString Filler(int length) {
  QString text;
  for (int i = 0; i < length; ++i) {
    text += i % 11 == 5 ? QChar(0x00e9) : QChar(static_cast<char16_t>(u'a' + i % 26));
  }
  if (length >= 2) {
    text[length / 2 - 1] = QChar::highSurrogate(0x1F600);
    text[length / 2] = QChar::lowSurrogate(0x1F600);
  }
  return text;
}

TEST(EscapeDocument, EscapesAmpersandsThenApostrophes) {
  const struct {
    const char* what;
    const char16_t* text;
    const char16_t* escaped;
  } kCases[] = {
      {"an ampersand", u"Nuts & Bolts", u"Nuts &amp; Bolts"},
      {"an apostrophe", u"O'Neil", u"O&apos;Neil"},
      {"an existing reference, escaped once more", u"&amp;", u"&amp;amp;"},
      {"the ampersands of &apos; are not escaped again", u"'&'", u"&apos;&amp;&apos;"},
      {"markup: single-quoted attributes no longer parse", u"<r a='1'/>", u"<r a=&apos;1&apos;/>"},
      {"nothing", u"", u""},
      {"nothing to escape", u"plain", u"plain"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(EscapeDocument(QStringView(c.text)), QString::fromUtf16(c.escaped)) << c.what;
  }
  // A text with nothing to escape comes back shared.
  const QString plain = Filler(100);
  EXPECT_EQ(EscapeDocument(plain).constData(), plain.constData());
}

TEST(EscapeDocument, EscapesEveryPositionOfTextsLongerThanABlock) {
  for (int length = 1; length <= 40; ++length) {
    const QString filler = Filler(length);
    for (int first = 0; first < length; ++first) {
      for (const QChar special : {QChar(u'&'), QChar(u'\'')}) {
        QString one = filler;
        one[first] = special;
        ExpectEscapedPlainly(one);
        // Every pair, either kind at each place, adjacent ones among them.
        for (int second = first + 1; second < length; ++second) {
          for (const QChar other : {QChar(u'&'), QChar(u'\'')}) {
            QString two = one;
            two[second] = other;
            ExpectEscapedPlainly(two);
          }
        }
      }
    }
  }
}

TEST(EscapeDocument, CountsLongRunsOfSpecialCharacters) {
  // Runs longer than the counters of the vector path hold before they are added up.
  constexpr int kLength = 0x7FFF * 8 + 13;
  for (const char16_t* pattern : {u"&", u"'", u"&'", u"a&b'c"}) {
    QString text;
    const QString unit = QString::fromUtf16(pattern);
    while (text.size() < kLength) text += unit;
    ExpectEscapedPlainly(text);
  }
}

TEST(StripBlanks, StripsOnlySpaceCharacters) {
  EXPECT_EQ(StripBlanks(u"  <a/>  "), u"<a/>");
  EXPECT_EQ(StripBlanks(u"\n <a/>\t"), u"\n <a/>\t");
  EXPECT_EQ(StripBlanks(u"    "), u"");
}

}  // namespace
}  // namespace varnex::platform
