#include <gtest/gtest.h>

#include <cmath>

#include "grid/gridcellvalue.h"

namespace {

class LocaleGuard {
 public:
  explicit LocaleGuard(const fw::GridLocale& l) : m_saved(fw::CurrentGridLocale()) {
    fw::SetGridLocale(l);
  }
  ~LocaleGuard() { fw::SetGridLocale(m_saved); }

 private:
  fw::GridLocale m_saved;
};

std::string Text(CGridCellValue& c) {
  const std::string* t = c.GridCellGetText();
  return t ? *t : "<null>";
}

std::string Fmt(double v, int decimals = -1) {
  CGridCellValue c;
  c.GridCellSetNumber(v);
  if (decimals >= 0) c.GridCellSetDecimals(decimals);
  return Text(c);
}

TEST(GridCell, FreshCellHasOnlyDefaults) {
  CGridCellValue c;
  EXPECT_EQ(c.GridCellGetFlags(), 0x8788u);
  EXPECT_EQ(c.GridCellGetText(), nullptr);
  EXPECT_EQ(c.GridCellGetTextLength(), 0);
  EXPECT_EQ(c.GridCellGetNumber(), 0.0);
  EXPECT_EQ(c.GridCellGetDataType(), 1);
  EXPECT_EQ(c.GridCellGetAlignment() & 0xFFFF, 1u);
  EXPECT_EQ(c.GridCellGetCellType(), 0);
  EXPECT_EQ(c.GridCellGetTypeStyle(), 0);
  EXPECT_EQ(c.GridCellGetBackColorOrDefault(), fw::GridSysColor(fw::kGridColorWindow));
  EXPECT_EQ(c.GridCellGetTextColor(), fw::GridSysColor(fw::kGridColorWindowText));
  int o = 7, col = 7, row = 7;
  EXPECT_EQ(c.GridCellGetMergeInfo(o, col, row), 1);
  EXPECT_EQ(o, 7);  // outputs untouched when no join is set
  EXPECT_EQ(c.GridCellGetLabel(), nullptr);
  std::string label = "keep";
  EXPECT_EQ(c.GridCellGetLabel(label), 1);
  EXPECT_EQ(label, "keep");
}

TEST(GridCell, EmptyTextIsNoValueAndDoesNotEraseOnMerge) {
  CGridCellValue target;
  target.GridCellSetText("kept");
  CGridCellValue empty;
  empty.GridCellSetText("");
  EXPECT_FALSE(empty.GridCellHasFlag(GridProp::Value));
  EXPECT_EQ(empty.GridCellGetNumber(), 0.0);
  target.GridCellMergeFrom(empty);
  EXPECT_EQ(Text(target), "kept");
}

// Each property bit copies its own members and nothing else.
TEST(GridCell, CopyAndMergeEveryPropertyBit) {
  CGridCellHook* hook = reinterpret_cast<CGridCellHook*>(0x10);
  CGridCellValue styleCell;
  CPen* pen = reinterpret_cast<CPen*>(0x20);
  CFont* font = reinterpret_cast<CFont*>(0x30);
  CBitmap* bmp = reinterpret_cast<CBitmap*>(0x40);
  CGridCellValue full;
  full.GridCellSetText("abc");
  full.GridCellSetMask("##");
  full.GridCellSetLabel("lbl");
  full.GridCellSetHook(hook);
  full.GridCellSetStyleCell(&styleCell);
  full.GridCellSetParam(42);
  full.GridCellSetCellType(3);
  full.GridCellSetTypeStyle(0x40);
  full.GridCellSetTextColor(0x010203);
  full.GridCellSetBackColor(0x040506);
  full.GridCellSetHighlightTextColor(0x070809);
  full.GridCellSetHighlightBackColor(0x0A0B0C);
  full.GridCellSetBorder(0x2000);
  full.GridCellSetBorderPen(pen);
  full.GridCellSetFont(font);
  full.GridCellSetBitmap(bmp);
  full.GridCellSetAlignment(0x24);
  const unsigned char bytes[] = {1, 2, 3};
  full.GridCellSetExtraData(bytes, 3);
  full.GridCellSetMergeInfo(1, 2, 3);
  full.GridCellSetDecimals(2);
  full.GridCellSetReadOnly(true);

  for (int bit = 0; bit < 32; ++bit) {
    const std::uint32_t mask = 1u << bit;
    CGridCellValue src;
    src.GridCellCopyFrom(full);
    src.GridCellSetFlags(mask);  // the source offers just this property
    CGridCellValue dst;
    dst.GridCellSetFlags(0);
    src.GridCellMergeTo(dst);
    EXPECT_EQ(dst.GridCellGetFlags(), mask) << bit;
    dst.GridCellSetFlags(0xFFFFFFFF);  // read back every member
    const bool v = mask == GridProp::Value;
    EXPECT_EQ(dst.GridCellGetTextLength(), v ? 3 : 0) << bit;
    EXPECT_EQ(*dst.GridCellGetMask(), mask == GridProp::Mask ? "##" : "") << bit;
    EXPECT_EQ(*dst.GridCellGetLabel(), mask == GridProp::Label ? "lbl" : "") << bit;
    EXPECT_EQ(dst.GridCellGetHook(), mask == GridProp::Hook ? hook : nullptr) << bit;
    EXPECT_EQ(dst.GridCellGetStyleCell(), mask == GridProp::StyleCell ? &styleCell : nullptr)
        << bit;
    EXPECT_EQ(dst.GridCellGetParam(), mask == GridProp::Param ? 42 : -1) << bit;
    EXPECT_EQ(dst.GridCellGetCellType(), mask == GridProp::CellType ? 3 : 0) << bit;
    EXPECT_EQ(dst.GridCellGetTypeStyle(), mask == GridProp::TypeStyle ? 0x40 : 0) << bit;
    EXPECT_EQ(dst.GridCellGetTextColor() == 0x010203u, mask == GridProp::TextColor) << bit;
    EXPECT_EQ(dst.GridCellGetBackColorOrDefault() == 0x040506u, mask == GridProp::BackColor) << bit;
    EXPECT_EQ(dst.GridCellGetHighlightTextColor() == 0x070809u, mask == GridProp::HiTextColor)
        << bit;
    EXPECT_EQ(dst.GridCellGetHighlightBackColor() == 0x0A0B0Cu, mask == GridProp::HiBackColor)
        << bit;
    EXPECT_EQ(dst.GridCellGetBorder() & 0xFFFF, mask == GridProp::Border ? 0x2000u : 0u) << bit;
    EXPECT_EQ(dst.GridCellGetBorderPen(), mask == GridProp::BorderPen ? pen : nullptr) << bit;
    EXPECT_EQ(dst.GridCellGetFont(), mask == GridProp::Font ? font : nullptr) << bit;
    EXPECT_EQ(dst.GridCellGetBitmap(), mask == GridProp::Bitmap ? bmp : nullptr) << bit;
    EXPECT_EQ(dst.GridCellGetAlignment() & 0xFFFF, mask == GridProp::Alignment ? 0x24u : 1u) << bit;
    EXPECT_EQ(dst.GridCellGetExtraSize(), mask == GridProp::ExtraData ? 3u : 0u) << bit;
    int o = 0, c = 0, r = 0;
    dst.GridCellGetMergeInfo(o, c, r);
    EXPECT_EQ(o == 1 && c == 2 && r == 3, mask == GridProp::Join) << bit;
    EXPECT_EQ(dst.GridCellGetDecimals(), mask == GridProp::Decimals ? 2 : 0) << bit;
    EXPECT_EQ(dst.GridCellGetReadOnly(), mask == GridProp::ReadOnly ? 1 : 0) << bit;
  }
}

TEST(GridCell, CopyReplacesWordMergeKeepsTarget) {
  CGridCellValue target;
  target.GridCellSetText("text");
  target.GridCellSetBackColor(0x111111);
  CGridCellValue colourOnly;
  colourOnly.GridCellSetFlags(0);
  colourOnly.GridCellSetBackColor(0x222222);
  target.GridCellMergeFrom(colourOnly);
  EXPECT_EQ(Text(target), "text");
  EXPECT_EQ(target.GridCellGetBackColorOrDefault(), 0x222222u);

  CGridCellValue exact;
  exact.GridCellCopyFrom(colourOnly);
  EXPECT_EQ(exact.GridCellGetFlags(), GridProp::BackColor);
  EXPECT_EQ(exact.GridCellGetText(), nullptr);
}

TEST(GridCell, ExtraDataCopyRules) {
  const unsigned char a[] = {9, 8, 7, 6};
  CGridCellValue withBlock;
  withBlock.GridCellSetExtraData(a, 4);
  // A source without bit 0x10000 leaves the block but the word loses the bit.
  CGridCellValue plain;
  withBlock.GridCellCopyFrom(plain);
  EXPECT_FALSE(withBlock.GridCellHasFlag(GridProp::ExtraData));
  EXPECT_EQ(withBlock.GridCellGetExtraSize(), 4u);

  CGridCellValue src;
  const unsigned char b[] = {1, 2};
  src.GridCellSetExtraData(b, 2);
  withBlock.GridCellCopyFrom(src);
  ASSERT_EQ(withBlock.GridCellGetExtraSize(), 2u);
  EXPECT_EQ(withBlock.GridCellGetExtraData()[1], 2);

  // Copying a cell onto itself keeps its block intact.
  withBlock.GridCellCopyFrom(withBlock);
  CGridCellValue::GridCellCopyProperties(withBlock, withBlock);
  withBlock.GridCellMergeFrom(withBlock);
  ASSERT_EQ(withBlock.GridCellGetExtraSize(), 2u);
  EXPECT_EQ(withBlock.GridCellGetExtraData()[0], 1);

  withBlock.GridCellFreeExtraData();
  EXPECT_EQ(withBlock.GridCellGetExtraSize(), 0u);
  EXPECT_FALSE(withBlock.GridCellHasFlag(GridProp::ExtraData));
}

TEST(GridCell, ClearAndInitDefaultsDiffer) {
  CGridCellValue c;
  c.GridCellSetCellType(2);
  c.GridCellSetBorder(5);
  c.GridCellSetText("x");
  c.GridCellSetMergeInfo(1, 1, 1);
  c.GridCellInitDefaults();
  EXPECT_EQ(c.GridCellGetFlags(), 0x8788u);
  c.GridCellSetFlags(0xFFFFFFFF);
  EXPECT_EQ(c.GridCellGetCellType(), 2);  // left alone
  EXPECT_EQ(c.GridCellGetTextLength(), 0);
  c.GridCellClear();
  c.GridCellSetFlags(0xFFFFFFFF);
  EXPECT_EQ(c.GridCellGetCellType(), 0);
  EXPECT_EQ(c.GridCellGetBorder() & 0xFFFF, 0u);
}

TEST(GridCell, AlignmentAndBorderCarryUpperFlagBits) {
  CGridCellValue c;
  c.GridCellSetReadOnly(true);
  c.GridCellSetAlignment(0x22);
  EXPECT_EQ(c.GridCellGetAlignment(), (c.GridCellGetFlags() & 0xFFFF0000u) | 0x22u);
  EXPECT_EQ(c.GridCellGetBorder(), c.GridCellGetFlags() & 0xFFFF0000u);
  c.GridCellSetBitmap(nullptr);
  EXPECT_FALSE(c.GridCellHasFlag(GridProp::Bitmap));
}

TEST(GridCellNumber, EnglishFormatting) {
  LocaleGuard g(fw::GridLocale::English());
  EXPECT_EQ(Fmt(2.0), "2");
  EXPECT_EQ(Fmt(2.0, 2), "2.00");
  EXPECT_EQ(Fmt(1234.5), "1,234.5");
  EXPECT_EQ(Fmt(0.5), "0.5");
  EXPECT_EQ(Fmt(0.0), "0");
  EXPECT_EQ(Fmt(-0.25), "-0.25");
  EXPECT_EQ(Fmt(10), "10");
  EXPECT_EQ(Fmt(-1234567.126, 2), "-1,234,567.13");
  EXPECT_EQ(Fmt(0.1234567), "0.123457");  // six decimals like %lf
  EXPECT_EQ(Fmt(999.996, 2), "1,000.00");
}

TEST(GridCellNumber, GermanAndFrenchFormatting) {
  {
    LocaleGuard g(fw::GridLocale::German());
    EXPECT_EQ(Fmt(2.0), "2");
    EXPECT_EQ(Fmt(1234.5), "1.234,5");
    EXPECT_EQ(Fmt(2.0, 2), "2,00");
    EXPECT_EQ(Fmt(0.5), "0,5");
    EXPECT_EQ(Fmt(-1000000), "-1.000.000");
  }
  {
    LocaleGuard g(fw::GridLocale::French());
    EXPECT_EQ(Fmt(1234.5),
              "1\xE2\x80\xAF"
              "234,5");
    EXPECT_EQ(Fmt(3.26, 1), "3,3");
  }
}

TEST(GridCellNumber, NoLocaleFlagAndNegativeOrders) {
  LocaleGuard g(fw::GridLocale::German());
  CGridCellValue c;
  c.GridCellSetNumber(1234.5);
  c.GridCellSetFlags(c.GridCellGetFlags() | GridProp::NoLocale);
  EXPECT_EQ(Text(c), "1234.5");  // what an editor shows: the plain number
  fw::GridLocale l = fw::GridLocale::English();
  std::string out;
  const char* expected[] = {"(1.5)", "-1.5", "- 1.5", "1.5-", "1.5 -"};
  for (int order = 0; order < 5; ++order) {
    l.negativeOrder = order;
    ASSERT_TRUE(fw::FormatLocaleNumber("-1.5", 1, l, out));
    EXPECT_EQ(out, expected[order]);
  }
  l.leadingZero = 0;
  ASSERT_TRUE(fw::FormatLocaleNumber(".5", 1, l, out));
  EXPECT_EQ(out, ".5");
  EXPECT_FALSE(fw::FormatLocaleNumber("inf", 0, l, out));
}

TEST(GridCellNumber, ParsingInEachLocale) {
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("1,234.5", fw::GridLocale::English()), 1234.5);
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("$12.5abc", fw::GridLocale::English()), 12.5);
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("  -3", fw::GridLocale::English()), -3);
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("abc", fw::GridLocale::English()), 0);
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("1.234,5", fw::GridLocale::German()), 1234.5);
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("12,34 \xE2\x82\xAC", fw::GridLocale::German()), 12.34);
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("1\xC2\xA0"
                                     "234,5",
                                     fw::GridLocale::French()),
                   1234.5);
  EXPECT_DOUBLE_EQ(ParseLocaleNumber("", fw::GridLocale::French()), 0);
}

TEST(GridCellConvert, TextToNumberAndBack) {
  LocaleGuard g(fw::GridLocale::German());
  CGridCellValue c;
  c.GridCellSetText("1.234,5");
  c.GridCellSetDataType(kGridNumber);
  EXPECT_DOUBLE_EQ(c.GridCellGetNumber(), 1234.5);
  EXPECT_EQ(Text(c), "1.234,5");
  // Converting a number to a number again reformats and reparses: no drift.
  c.GridCellSetFlags(c.GridCellGetFlags() & ~GridProp::DataType);
  c.GridCellSetDataType(kGridNumber);
  EXPECT_DOUBLE_EQ(c.GridCellGetNumber(), 1234.5);
  // No value: the type changes but nothing is parsed.
  CGridCellValue empty;
  empty.GridCellSetDataType(kGridNumber);
  EXPECT_EQ(empty.GridCellGetDataType(), kGridNumber);
  EXPECT_EQ(empty.GridCellGetText(), nullptr);
}

TEST(GridCellConvert, CurrencyKeepsFractionsAndFailsToZero) {
  LocaleGuard g(fw::GridLocale::German());
  CGridCellValue c;
  c.GridCellSetText("12,34");
  c.GridCellSetDataType(kGridCurrency);
  EXPECT_DOUBLE_EQ(c.GridCellGetNumber(), 12.34);
  CGridCellValue bad;
  bad.GridCellSetNumber(99);
  bad.GridCellSetDataType(kGridText);
  bad.GridCellSetText("not money");
  bad.GridCellSetDataType(kGridCurrency);
  EXPECT_EQ(bad.GridCellGetNumber(), 0.0);
  EXPECT_EQ(Text(bad), "not money");
  CGridCellValue fromNumber;
  fromNumber.GridCellSetNumber(3.14159);
  fromNumber.GridCellSetDataType(kGridCurrency);
  EXPECT_EQ(Text(fromNumber), "3.14");
  EXPECT_DOUBLE_EQ(fromNumber.GridCellGetNumber(), 3.14159);
}

TEST(GridCellConvert, DatesParseInTheLocaleOrFailToZero) {
  LocaleGuard g(fw::GridLocale::English());
  CGridCellValue c;
  c.GridCellSetText("2000-01-01");
  c.GridCellSetDataType(kGridDateTime);
  EXPECT_DOUBLE_EQ(c.GridCellGetNumber(), 36526.0);
  CGridCellValue noon;
  noon.GridCellSetText("1899-12-31T12:00:00");
  noon.GridCellSetDataType(kGridDateTime);
  EXPECT_DOUBLE_EQ(noon.GridCellGetNumber(), 1.5);
  CGridCellValue bad;
  bad.GridCellSetNumber(5);
  bad.GridCellSetText("someday");
  bad.GridCellSetDataType(kGridDateTime);
  EXPECT_EQ(bad.GridCellGetNumber(), 0.0);
  EXPECT_EQ(Text(bad), "someday");
  double d = 0;
  EXPECT_TRUE(fw::ParseLocaleDate("24.12.2020", fw::GridLocale::German(), d));
  EXPECT_DOUBLE_EQ(d, 44189.0);
}

}  // namespace
