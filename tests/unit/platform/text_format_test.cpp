#include <gtest/gtest.h>

#include <limits>

#include "platform/fields.h"
#include "platform/format.h"
#include "platform/text.h"

namespace fw {
namespace {

TEST(Text, Cp1252AndUtf8) {
  EXPECT_EQ(DecodeTextBytes("caf\xE9 \x80 \x9D"), "café € \xEF\xBF\xBD");
  EXPECT_EQ(DecodeTextBytes("café"), "café");
  EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBFx"), "x");
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));      // cut short
  std::string out;
  EXPECT_TRUE(Utf8ToCp1252("Grüße €", out));
  EXPECT_EQ(out,
            "Gr\xFC\xDF"
            "e \x80");
  EXPECT_FALSE(Utf8ToCp1252("日本", out));
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(AtoI(" -12x"), -12);
  EXPECT_EQ(AtoI("99999999999999999999"), LLONG_MAX);
  EXPECT_TRUE(EqualsNoCase("ÄrGER", "ärger"));
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
}

TEST(Format, MatchingSpecifiersFormatLikePrintf) {
  EXPECT_EQ(FormatText("Port %d of %s: %5.2f%%", 3, "ring", 1.5), "Port 3 of ring:  1.50%");
  EXPECT_EQ(FormatText("%02X:%02x", 0xABu, 10), "AB:0a");
  EXPECT_EQ(FormatText("%lu bytes, %I64d", 5ul, -7LL), "5 bytes, -7");
  EXPECT_EQ(FormatText("%*d|%-*s|", 4, 7, 3, "a"), "   7|a  |");
  EXPECT_EQ(FormatText("%c%c", 'o', 'k'), "ok");
  EXPECT_EQ(FormatText("no specifiers"), "no specifiers");
  EXPECT_EQ(FormatText("%s", std::string("x\0y", 3)).size(), 3u);
}

TEST(Format, MismatchesAreMarkedNeverFormatted) {
  // Too few arguments, wrong kinds, surplus arguments and broken specifiers
  // all give the text back with the offending place marked.
  EXPECT_EQ(FormatText("Port %d of %s", 3), "Port %d of [!%s]");
  EXPECT_EQ(FormatText("Name %s", 42), "Name [!%s]");
  EXPECT_EQ(FormatText("Count %d", "text"), "Count [!%d]");
  EXPECT_EQ(FormatText("Value %f", 3), "Value [!%f]");
  EXPECT_EQ(FormatText("Done", 1), "Done[!]");
  EXPECT_EQ(FormatText("Bad %y here", 1), "Bad [!%y] here");
  EXPECT_EQ(FormatText("Trailing %", 1), "Trailing [!%]");
  EXPECT_EQ(FormatText("%n", 1), "[!%n]");
  EXPECT_EQ(FormatText("%*d", "w", 1), "[!%*d]");
  EXPECT_TRUE(CheckFormat("%d %s", {FormatArg(1), FormatArg("a")}).empty());
  EXPECT_FALSE(CheckFormat("%d", {}).empty());
}

TEST(Format, HugeWidthsAndPrecisionsAreRefused) {
  // A damaged translation must not make the program allocate gigabytes.
  EXPECT_EQ(FormatText("[%777777777d]", 1), "[[!%777777777d]]");
  EXPECT_EQ(FormatText("%.99999999999999999999f", 1.0), "[!%.99999999999999999999f]");
  EXPECT_EQ(FormatText("%*d", 100000, 1), "[!%*d]");
  EXPECT_EQ(FormatText("%.*f", 5000u, 1.0), "[!%.*f]");
  // The most negative width was negated into undefined behaviour before.
  EXPECT_EQ(FormatText("%*d", std::numeric_limits<long long>::min(), 1), "[!%*d]");
  EXPECT_EQ(FormatText("%*d|", -3, 7), "7  |");
  EXPECT_EQ(FormatText("%1024d", 1).size(), 1024u);
}

TEST(DelimitedField, SplitsTrimsAndQuotes) {
  struct Case {
    const char* text;
    int field, maxlen;
    const char* want;
  } cases[] = {
      {"a, b ,c", 2, 10, "b"},
      {"`x,y`,z", 1, 10, "x,y"},
      {"`x,y`,z", 2, 10, "z"},
      {"a,b", 4, 10, ""},
      {"abcdef", 1, 3, "abc"},
      {"abc", 0, 10, ""},
      {"abc", -1, 10, ""},
      {"", 1, 10, ""},
      {",,x", 3, 10, "x"},
      {"a,,c", 2, 10, ""},
      {"  \t\x01 lead,x", 1, 10, "lead"},
      {"a b ,c", 1, 10, "a b"},
      {"  abcdef", 1, 3, "abc"},  // skipped blanks do not count against the limit
      {"in`side,still`,next", 1, 20, "inside,still"},
      {"open`quote,never,closed", 2, 20, ""},
      {"crlf line\r", 1, 20, "crlf line"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetDelimitedField(c.text, ',', c.field, c.maxlen), c.want)
        << c.text << " field " << c.field;
}

TEST(DelimitedField, KeepsNonAsciiLettersAndCutsOnCharacterBoundaries) {
  EXPECT_EQ(GetDelimitedField("Überlauf,x", ',', 1, 10), "Überlauf");
  EXPECT_EQ(GetDelimitedField("ÄÖÜ", ',', 1, 2), "ÄÖ");
  EXPECT_EQ(GetDelimitedField("é€", ',', 1, 1), "é");
  EXPECT_EQ(GetDelimitedField("x\t;y", ';', 2, 5), "y");
  // A sequence cut short at the end of the text is taken as it stands, never read past.
  std::string cut = "ab\xE2\x82";
  EXPECT_EQ(GetDelimitedField(cut, ',', 1, 10), cut);
}

}  // namespace
}  // namespace fw
