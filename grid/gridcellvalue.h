// The value object for one grid cell. Every property is optional: the property
// word says which ones the cell carries, and copying merges only those, so a
// column default, a stored cell and a style cell can be layered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CFont;
class CPen;
class CBitmap;
class CGridCellValue;

namespace fw {

using GridColor = std::uint32_t;  // 0x00BBGGRR

// Number and date conventions of the user's locale. Kept as explicit data so
// formatting never depends on the C library's locale (Qt sets it from the
// environment, and a German decimal comma would break the zero trimming).
struct GridLocale {
  std::string decimal = ".";
  std::string thousand = ",";
  std::string currency = "$";
  int leadingZero = 1;           // 0 ".5", 1 "0.5"
  int negativeOrder = 1;         // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
  std::string qtName = "en_US";  // for date parsing

  static GridLocale English();
  static GridLocale German();
  static GridLocale French();
  static GridLocale FromSystem();
};

const GridLocale& CurrentGridLocale();
void SetGridLocale(const GridLocale& loc);  // tests and locale changes

// Formats a plain number text ("-1234.5", ".5", "10") with grouping by 3 and
// `digits` decimals. False when the text is not a plain number.
bool FormatLocaleNumber(std::string_view plain, int digits, const GridLocale& loc,
                        std::string& out);

// Days since 1899-12-30 (the classic OLE date) from a text in the locale's
// short or long date/time forms or ISO form. False when nothing parses.
bool ParseLocaleDate(std::string_view text, const GridLocale& loc, double& out);
// Currency text to a value rounded to 1/10000. False unless the whole text is a number.
bool ParseLocaleCurrency(std::string_view text, const GridLocale& loc, double& out);

// System colours the cell falls back to. Classic values, settable by tests.
enum GridSysColorIndex {
  kGridColorWindow = 5,
  kGridColorWindowText = 8,
  kGridColorHighlight = 13,
  kGridColorHighlightText = 14,
};
GridColor GridSysColor(int index);

}  // namespace fw

// Leading blanks skipped, trailing garbage ignored, 0 when no number.
double ParseLocaleNumber(std::string_view text);
double ParseLocaleNumber(std::string_view text, const fw::GridLocale& loc);

// The grid calls this with every fetched cell that carries a hook.
class CGridCellHook {
 public:
  virtual ~CGridCellHook() = default;
  virtual void AdjustCell(CGridCellValue& cell) = 0;
};

namespace GridProp {
enum : std::uint32_t {
  Value = 0x1,
  Mask = 0x2,
  Label = 0x4,
  DataType = 0x8,
  Param = 0x10,
  CellType = 0x20,
  TypeStyle = 0x40,
  TextColor = 0x80,
  BackColor = 0x100,
  HiTextColor = 0x200,
  HiBackColor = 0x400,
  Border = 0x800,
  BorderPen = 0x1000,
  Font = 0x2000,
  Bitmap = 0x4000,
  Alignment = 0x8000,
  ExtraData = 0x10000,
  Join = 0x20000,
  Hook = 0x200000,
  StyleCell = 0x800000,
  ReadOnly = 0x01000000,
  Decimals = 0x02000000,
  NoLocale = 0x04000000,
  Default = 0x8788,
};
}

enum GridDataType { kGridText = 1, kGridNumber = 2, kGridDateTime = 4, kGridCurrency = 5 };

enum GridAlign : std::uint32_t {
  kAlignLeft = 1,
  kAlignRight = 2,
  kAlignCenter = 4,
  kAlignTop = 8,
  kAlignBottom = 0x10,
  kAlignVCenter = 0x20,
};

class CGridCellValue {
 public:
  CGridCellValue() { GridCellClear(); }
  CGridCellValue(const CGridCellValue& other) { GridCellCopyFrom(other); }
  CGridCellValue& operator=(const CGridCellValue& other) {
    GridCellCopyFrom(other);
    return *this;
  }
  virtual ~CGridCellValue() = default;

  void GridCellClear();
  void GridCellInitDefaults();

  static void GridCellCopyProperties(const CGridCellValue& source, CGridCellValue& target);
  void GridCellCopyTo(CGridCellValue& target) const;
  void GridCellCopyFrom(const CGridCellValue& source);
  void GridCellMergeTo(CGridCellValue& target) const;
  void GridCellMergeFrom(const CGridCellValue& source);

  void GridCellSetText(std::string_view text);
  void GridCellSetNumber(double value);
  // Null when the cell has no value. Formats numbers, so it is not const.
  const std::string* GridCellGetText();
  // The text, or "" when the cell has none.
  std::string GridCellTextOrEmpty() {
    const std::string* t = GridCellGetText();
    return t ? *t : std::string();
  }
  int GridCellGetTextLength() const;
  double GridCellGetNumber() const;
  void GridCellSetDataType(int type);
  int GridCellGetDataType() const;

  void GridCellSetLabel(std::string_view text);
  const std::string* GridCellGetLabel() const;
  int GridCellGetLabel(std::string& out) const;
  void GridCellSetMask(std::string_view mask);
  const std::string* GridCellGetMask() const;

  void GridCellSetTextColor(fw::GridColor c);
  fw::GridColor GridCellGetTextColor() const;
  void GridCellSetBackColor(fw::GridColor c);
  fw::GridColor GridCellGetBackColorOrDefault() const;
  void GridCellSetHighlightTextColor(fw::GridColor c);
  fw::GridColor GridCellGetHighlightTextColor() const;
  void GridCellSetHighlightBackColor(fw::GridColor c);
  fw::GridColor GridCellGetHighlightBackColor() const;

  void GridCellSetAlignment(std::uint32_t align);
  std::uint32_t GridCellGetAlignment() const;
  void GridCellSetBorder(std::uint32_t border);
  std::uint32_t GridCellGetBorder() const;
  void GridCellSetBorderPen(CPen* pen);
  CPen* GridCellGetBorderPen() const;
  void GridCellSetFont(CFont* font);
  CFont* GridCellGetFont() const;
  void GridCellSetBitmap(CBitmap* bitmap);
  CBitmap* GridCellGetBitmap() const;
  void GridCellSetCellType(int index);
  int GridCellGetCellType() const;
  void GridCellSetTypeStyle(std::int32_t style);
  std::int32_t GridCellGetTypeStyle() const;
  void GridCellSetParam(std::int32_t param);
  std::int32_t GridCellGetParam() const { return m_param; }
  void GridCellSetReadOnly(bool readOnly);
  int GridCellGetReadOnly() const;
  void GridCellSetDecimals(int places);
  int GridCellGetDecimals() const;
  void GridCellSetMergeInfo(int origin, int column, int row);
  int GridCellGetMergeInfo(int& origin, int& column, int& row) const;
  void GridCellSetHook(CGridCellHook* hook);
  CGridCellHook* GridCellGetHook() const;
  void GridCellSetStyleCell(const CGridCellValue* style);
  const CGridCellValue* GridCellGetStyleCell() const;

  void GridCellSetExtraData(const void* data, std::size_t size);
  const unsigned char* GridCellGetExtraData() const {
    return m_extra.empty() ? nullptr : m_extra.data();
  }
  std::size_t GridCellGetExtraSize() const { return m_extra.size(); }
  void GridCellFreeExtraData();

  int GridCellHasFlag(std::uint32_t mask) const { return (m_flags & mask) ? 1 : 0; }
  std::uint32_t GridCellGetFlags() const { return m_flags; }
  void GridCellSetFlags(std::uint32_t flags) { m_flags = flags; }

 private:
  std::uint32_t m_flags = GridProp::Default;
  CGridCellHook* m_hook = nullptr;
  const CGridCellValue* m_style = nullptr;
  double m_number = 0.0;
  std::string m_text;
  std::string m_label;
  std::string m_mask;
  int m_dataType = kGridText;
  int m_readOnly = 0;
  std::int32_t m_param = -1;
  int m_decimals = 0;
  int m_cellType = -1;
  std::int32_t m_typeStyle = -1;
  fw::GridColor m_textColor = 0;
  fw::GridColor m_backColor = 0;
  fw::GridColor m_hiTextColor = 0;
  fw::GridColor m_hiBackColor = 0;
  std::uint32_t m_border = 0;
  CPen* m_pen = nullptr;
  CFont* m_font = nullptr;
  CBitmap* m_bitmap = nullptr;
  std::uint32_t m_align = kAlignLeft;
  std::vector<unsigned char> m_extra;
  int m_joinOrigin = 0;
  int m_joinCol = -1;
  int m_joinRow = -1;
};
