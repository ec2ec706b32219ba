#include "grid/gridcellvalue.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

#include "platform/gui/gdi.h"
#include "platform/text.h"

namespace fw {

GridLocale GridLocale::English() {
  return GridLocale{};
}

GridLocale GridLocale::German() {
  GridLocale l;
  l.decimal = ",";
  l.thousand = ".";
  l.currency = "\xE2\x82\xAC";  // euro sign
  l.qtName = "de_DE";
  return l;
}

GridLocale GridLocale::French() {
  GridLocale l;
  l.decimal = ",";
  l.thousand = "\xE2\x80\xAF";  // narrow no-break space
  l.currency = "\xE2\x82\xAC";
  l.qtName = "fr_FR";
  return l;
}

GridLocale GridLocale::FromSystem() {
  QLocale q = QLocale::system();
  GridLocale l;
  l.decimal = q.decimalPoint().toStdString();
  l.thousand = q.groupSeparator().toStdString();
  l.currency = q.currencySymbol(QLocale::CurrencySymbol).toStdString();
  l.qtName = q.name().toStdString();
  l.leadingZero = 1;
  l.negativeOrder = 1;
  if (l.decimal.empty()) l.decimal = ".";
  return l;
}

namespace {
GridLocale& LocaleSlot() {
  static GridLocale loc = GridLocale::FromSystem();
  return loc;
}
}  // namespace

const GridLocale& CurrentGridLocale() {
  return LocaleSlot();
}
void SetGridLocale(const GridLocale& loc) {
  LocaleSlot() = loc;
}

bool FormatLocaleNumber(std::string_view plain, int digits, const GridLocale& loc,
                        std::string& out) {
  if (digits < 0 || digits > 9) return false;
  bool negative = false;
  if (!plain.empty() && plain.front() == '-') {
    negative = true;
    plain.remove_prefix(1);
  }
  std::string_view intPart = plain, fracPart;
  if (auto dot = plain.find('.'); dot != std::string_view::npos) {
    intPart = plain.substr(0, dot);
    fracPart = plain.substr(dot + 1);
  }
  auto allDigits = [](std::string_view s) {
    for (char c : s)
      if (c < '0' || c > '9') return false;
    return true;
  };
  if (!allDigits(intPart) || !allDigits(fracPart)) return false;
  // Round the fraction to the wanted digits, carrying into the integer part.
  std::string ip(intPart), fp(fracPart);
  bool roundUp = fp.size() > static_cast<std::size_t>(digits) && fp[digits] >= '5';
  fp.resize(digits, '0');
  if (roundUp) {
    int i = static_cast<int>(fp.size()) - 1;
    for (; i >= 0; --i) {
      if (fp[i] == '9') {
        fp[i] = '0';
      } else {
        ++fp[i];
        break;
      }
    }
    if (i < 0) {
      int j = static_cast<int>(ip.size()) - 1;
      for (; j >= 0; --j) {
        if (ip[j] == '9') {
          ip[j] = '0';
        } else {
          ++ip[j];
          break;
        }
      }
      if (j < 0) ip.insert(ip.begin(), '1');
    }
  }
  std::size_t nz = ip.find_first_not_of('0');
  ip = nz == std::string::npos ? std::string() : ip.substr(nz);
  if (ip.empty() && loc.leadingZero) ip = "0";
  std::string grouped;
  for (std::size_t i = 0; i < ip.size(); ++i) {
    if (i > 0 && (ip.size() - i) % 3 == 0) grouped += loc.thousand;
    grouped += ip[i];
  }
  std::string body = grouped;
  if (digits > 0) body += loc.decimal + fp;
  bool isZero = ip.find_first_not_of('0') == std::string::npos &&
                fp.find_first_not_of('0') == std::string::npos;
  if (!negative || isZero) {
    out = body;
    return true;
  }
  switch (loc.negativeOrder) {
    case 0: out = "(" + body + ")"; break;
    case 2: out = "- " + body; break;
    case 3: out = body + "-"; break;
    case 4: out = body + " -"; break;
    default: out = "-" + body; break;
  }
  return true;
}

namespace {

std::string Normalise(std::string_view text, const GridLocale& loc) {
  std::string s(text);
  auto removeAll = [&s](const std::string& what) {
    if (what.empty()) return;
    for (std::size_t p; (p = s.find(what)) != std::string::npos;) s.erase(p, what.size());
  };
  removeAll(loc.thousand);
  // Qt reports a plain no-break space for some locales where users type a
  // narrow one (or the other way round): both group digits alike.
  if (loc.thousand == "\xE2\x80\xAF" || loc.thousand == "\xC2\xA0") {
    removeAll("\xE2\x80\xAF");
    removeAll("\xC2\xA0");
  }
  removeAll(loc.currency);
  if (!loc.decimal.empty() && loc.decimal != ".") {
    for (std::size_t p = 0; (p = s.find(loc.decimal, p)) != std::string::npos; ++p)
      s.replace(p, loc.decimal.size(), ".");
  }
  return s;
}

// strtod-like prefix parse on a normalised text; `used` gets the bytes consumed.
bool ParsePrefix(const std::string& s, double& out, std::size_t& used) {
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) return false;
  double v = 0;
  auto r = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::general);
  if (r.ec == std::errc::invalid_argument) return false;
  if (r.ec == std::errc::result_out_of_range) v = HUGE_VAL;  // like strtod's overflow
  out = negative ? -v : v;
  used = static_cast<std::size_t>(r.ptr - s.data());
  return true;
}

}  // namespace

bool ParseLocaleCurrency(std::string_view text, const GridLocale& loc, double& out) {
  std::string s = Normalise(text, loc);
  double v = 0;
  std::size_t used = 0;
  if (!ParsePrefix(s, v, used)) return false;
  while (used < s.size() && IsSpace(s[used])) ++used;
  if (used != s.size() || !std::isfinite(v)) return false;
  // The value is held as a whole count of 1/10000 like a 64-bit currency.
  double scaled = std::round(v * 10000.0);
  if (std::fabs(scaled) > 9.2e18) return false;
  out = static_cast<double>(static_cast<long long>(scaled)) / 10000.0;
  return true;
}

bool ParseLocaleDate(std::string_view text, const GridLocale& loc, double& out) {
  QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
  if (t.isEmpty()) return false;
  QLocale q(QString::fromStdString(loc.qtName));
  QDateTime dt;
  for (auto fmt : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
    dt = q.toDateTime(t, fmt);
    if (dt.isValid()) break;
    QDate d = q.toDate(t, fmt);
    if (d.isValid()) {
      dt = QDateTime(d, QTime(0, 0));
      break;
    }
  }
  if (!dt.isValid()) {
    // Users type four-digit years where the short form has two.
    QString fmt = q.dateFormat(QLocale::ShortFormat);
    if (!fmt.contains(QLatin1String("yyyy")))
      fmt.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QDate d = q.toDate(t, fmt);
    if (d.isValid()) dt = QDateTime(d, QTime(0, 0));
  }
  if (!dt.isValid()) dt = QDateTime::fromString(t, Qt::ISODate);
  if (!dt.isValid()) {
    QDate d = QDate::fromString(t, Qt::ISODate);
    if (d.isValid()) dt = QDateTime(d, QTime(0, 0));
  }
  if (!dt.isValid()) {
    for (auto fmt : {QLocale::ShortFormat, QLocale::LongFormat}) {
      QTime tm = q.toTime(t, fmt);
      if (tm.isValid()) {
        out = tm.msecsSinceStartOfDay() / 86400000.0;
        return true;
      }
    }
    return false;
  }
  static const QDate kEpoch(1899, 12, 30);
  double days = static_cast<double>(kEpoch.daysTo(dt.date()));
  double frac = dt.time().msecsSinceStartOfDay() / 86400000.0;
  // Before the epoch the fraction counts away from zero, as OLE dates do.
  out = days < 0 ? days - frac : days + frac;
  return true;
}

GridColor GridSysColor(int index) {
  return ::GetSysColor(index);
}

}  // namespace fw

double ParseLocaleNumber(std::string_view text, const fw::GridLocale& loc) {
  std::string s = fw::Normalise(text, loc);
  double v = 0;
  std::size_t used = 0;
  return fw::ParsePrefix(s, v, used) ? v : 0.0;
}

double ParseLocaleNumber(std::string_view text) {
  return ParseLocaleNumber(text, fw::CurrentGridLocale());
}

using namespace GridProp;

void CGridCellValue::GridCellInitDefaults() {
  m_flags = GridProp::Default;
  m_text.clear();
  m_label.clear();
  m_mask.clear();
  m_number = 0;
  m_dataType = kGridText;
  m_readOnly = 0;
  m_param = -1;
  m_decimals = 0;
  m_textColor = fw::GridSysColor(fw::kGridColorWindowText);
  m_backColor = fw::GridSysColor(fw::kGridColorWindow);
  m_hiTextColor = fw::GridSysColor(fw::kGridColorHighlightText);
  m_hiBackColor = fw::GridSysColor(fw::kGridColorHighlight);
  m_align = kAlignLeft;
  m_hook = nullptr;
  m_style = nullptr;
}

void CGridCellValue::GridCellClear() {
  GridCellInitDefaults();
  m_cellType = -1;
  m_typeStyle = -1;
  m_border = 0;
  m_pen = nullptr;
  m_font = nullptr;
  m_bitmap = nullptr;
  m_joinOrigin = 0;
  m_joinCol = -1;
  m_joinRow = -1;
  m_extra.clear();
  m_extra.shrink_to_fit();
}

void CGridCellValue::GridCellCopyProperties(const CGridCellValue& s, CGridCellValue& t) {
  // Copying a cell onto itself changes nothing; the early return also keeps
  // the extra-data copy from reading the block it is about to free.
  if (&s == &t) return;
  const std::uint32_t f = s.m_flags;
  t.m_flags |= f;
  if (f & Value) {
    t.m_text = s.m_text;
    t.m_number = s.m_number;
  }
  if (f & Mask) t.m_mask = s.m_mask;
  if (f & Label) t.m_label = s.m_label;
  if (f & Hook) t.m_hook = s.m_hook;
  if (f & StyleCell) t.m_style = s.m_style;
  if (f & DataType) t.m_dataType = s.m_dataType;
  if (f & Param) t.m_param = s.m_param;
  if (f & CellType) t.m_cellType = s.m_cellType;
  if (f & TypeStyle) t.m_typeStyle = s.m_typeStyle;
  if (f & TextColor) t.m_textColor = s.m_textColor;
  if (f & BackColor) t.m_backColor = s.m_backColor;
  if (f & HiTextColor) t.m_hiTextColor = s.m_hiTextColor;
  if (f & HiBackColor) t.m_hiBackColor = s.m_hiBackColor;
  if (f & Border) t.m_border = s.m_border;
  if (f & BorderPen) t.m_pen = s.m_pen;
  if (f & Font) t.m_font = s.m_font;
  if (f & Bitmap) t.m_bitmap = s.m_bitmap;
  if (f & Alignment) t.m_align = s.m_align;
  if (f & ExtraData) {
    t.m_extra.clear();
    try {
      t.m_extra = s.m_extra;
    } catch (const std::bad_alloc&) {
      t.m_extra.clear();  // the target ends without a block; the copy goes on
    }
  }
  if (f & Join) {
    t.m_joinOrigin = s.m_joinOrigin;
    t.m_joinCol = s.m_joinCol;
    t.m_joinRow = s.m_joinRow;
  }
  if (f & Decimals) t.m_decimals = s.m_decimals;
  if (f & ReadOnly) t.m_readOnly = s.m_readOnly;
}

void CGridCellValue::GridCellCopyTo(CGridCellValue& target) const {
  if (&target == this) return;
  target.m_flags = m_flags;
  GridCellCopyProperties(*this, target);
}

void CGridCellValue::GridCellCopyFrom(const CGridCellValue& source) {
  if (&source == this) return;
  m_flags = source.m_flags;
  GridCellCopyProperties(source, *this);
}

void CGridCellValue::GridCellMergeTo(CGridCellValue& target) const {
  GridCellCopyProperties(*this, target);
}
void CGridCellValue::GridCellMergeFrom(const CGridCellValue& source) {
  GridCellCopyProperties(source, *this);
}

void CGridCellValue::GridCellSetText(std::string_view text) {
  m_text.assign(text);
  m_dataType = kGridText;
  if (!text.empty())
    m_flags |= Value | DataType;
  else
    m_flags &= ~Value;
}

void CGridCellValue::GridCellSetNumber(double value) {
  m_text.clear();
  m_number = value;
  m_dataType = kGridNumber;
  m_flags |= Value | DataType;
}

namespace {

std::string PrintFixed(double v, int precision) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
  if (r.ec != std::errc()) {
    r = std::to_chars(buf, buf + sizeof buf, v);  // huge values: shortest form
    if (r.ec != std::errc()) return "0";
  }
  return std::string(buf, r.ptr);
}

}  // namespace

const std::string* CGridCellValue::GridCellGetText() {
  if (!(m_flags & Value)) return nullptr;
  if (GridCellGetDataType() != kGridNumber) return &m_text;
  m_text.clear();
  const bool fixed = (m_flags & Decimals) != 0;
  int places = fixed ? std::clamp(m_decimals, 0, 30) : 6;
  std::string s = PrintFixed(m_number, places);
  if (!fixed) {
    std::size_t lead = s.find_first_not_of('0');
    s.erase(0, lead == std::string::npos ? s.size() : lead);
    if (s.find('.') != std::string::npos) {
      std::size_t trail = s.find_last_not_of('0');
      s.erase(trail == std::string::npos ? 0 : trail + 1);
    }
  }
  if (!(m_flags & NoLocale)) {
    const fw::GridLocale& loc = fw::CurrentGridLocale();
    int digits = 0;
    if (fixed)
      digits = places;
    else if (auto dot = s.rfind('.'); dot != std::string::npos)
      digits = static_cast<int>(s.size() - dot - 1);
    std::string formatted;
    if (fw::FormatLocaleNumber(s, digits, loc, formatted) && formatted.size() < 256) {
      s = formatted;
    } else if (auto dot = s.find('.'); dot != std::string::npos) {
      s.replace(dot, 1, loc.decimal);
    }
  }
  if (!s.empty() && s.back() == '.') {
    std::size_t trail = s.find_last_not_of('.');
    s.erase(trail == std::string::npos ? 0 : trail + 1);
  }
  if (s.empty()) s = "0";
  m_text = s;
  return &m_text;
}

int CGridCellValue::GridCellGetTextLength() const {
  return (m_flags & Value) ? static_cast<int>(m_text.size()) : 0;
}

double CGridCellValue::GridCellGetNumber() const {
  if (!(m_flags & Value)) return 0.0;
  switch (GridCellGetDataType()) {
    case kGridNumber:
    case kGridDateTime:
    case kGridCurrency: return m_number;
    default: return ParseLocaleNumber(m_text);
  }
}

int CGridCellValue::GridCellGetDataType() const {
  return (m_flags & DataType) ? m_dataType : kGridText;
}

void CGridCellValue::GridCellSetDataType(int type) {
  if ((m_flags & DataType) && m_dataType == type) return;
  const int old = GridCellGetDataType();
  const bool hasValue = (m_flags & Value) != 0;
  const fw::GridLocale& loc = fw::CurrentGridLocale();
  switch (type) {
    case kGridNumber:
      if (hasValue) {
        std::string text = old == kGridNumber ? GridCellTextOrEmpty() : m_text;
        m_number = ParseLocaleNumber(text, loc);
        m_text.clear();
      }
      break;
    case kGridDateTime:
      if (hasValue) {
        double d = 0;
        // An unreadable date keeps the text and holds 0 rather than a stale number.
        m_number = fw::ParseLocaleDate(m_text, loc, d) ? d : 0.0;
      }
      break;
    case kGridCurrency:
      if (old == kGridNumber) {
        m_text = PrintFixed(m_number, 2);
      } else {
        double v = 0;
        m_number = fw::ParseLocaleCurrency(m_text, loc, v) ? v : 0.0;
      }
      break;
    default: break;
  }
  m_dataType = type;
  m_flags |= DataType;
}

void CGridCellValue::GridCellSetLabel(std::string_view text) {
  m_label.assign(text);
  m_flags |= Label;
}
const std::string* CGridCellValue::GridCellGetLabel() const {
  return (m_flags & Label) ? &m_label : nullptr;
}
int CGridCellValue::GridCellGetLabel(std::string& out) const {
  if (!(m_flags & Label)) return 1;
  out = m_label;
  return 0;
}
void CGridCellValue::GridCellSetMask(std::string_view mask) {
  m_mask.assign(mask);
  m_flags |= Mask;
}
const std::string* CGridCellValue::GridCellGetMask() const {
  return (m_flags & Mask) ? &m_mask : nullptr;
}

void CGridCellValue::GridCellSetTextColor(fw::GridColor c) {
  m_textColor = c;
  m_flags |= TextColor;
}
fw::GridColor CGridCellValue::GridCellGetTextColor() const {
  return (m_flags & TextColor) ? m_textColor : fw::GridSysColor(fw::kGridColorWindowText);
}
void CGridCellValue::GridCellSetBackColor(fw::GridColor c) {
  m_backColor = c;
  m_flags |= BackColor;
}
fw::GridColor CGridCellValue::GridCellGetBackColorOrDefault() const {
  return (m_flags & BackColor) ? m_backColor : fw::GridSysColor(fw::kGridColorWindow);
}
void CGridCellValue::GridCellSetHighlightTextColor(fw::GridColor c) {
  m_hiTextColor = c;
  m_flags |= HiTextColor;
}
fw::GridColor CGridCellValue::GridCellGetHighlightTextColor() const {
  return (m_flags & HiTextColor) ? m_hiTextColor : fw::GridSysColor(fw::kGridColorHighlightText);
}
void CGridCellValue::GridCellSetHighlightBackColor(fw::GridColor c) {
  m_hiBackColor = c;
  m_flags |= HiBackColor;
}
fw::GridColor CGridCellValue::GridCellGetHighlightBackColor() const {
  return (m_flags & HiBackColor) ? m_hiBackColor : fw::GridSysColor(fw::kGridColorHighlight);
}

void CGridCellValue::GridCellSetAlignment(std::uint32_t align) {
  m_align = align & 0xFFFF;
  m_flags |= Alignment;
}
std::uint32_t CGridCellValue::GridCellGetAlignment() const {
  return (m_flags & 0xFFFF0000u) | ((m_flags & Alignment) ? (m_align & 0xFFFF) : 0);
}
void CGridCellValue::GridCellSetBorder(std::uint32_t border) {
  m_border = border & 0xFFFF;
  m_flags |= Border;
}
std::uint32_t CGridCellValue::GridCellGetBorder() const {
  return (m_flags & 0xFFFF0000u) | ((m_flags & Border) ? (m_border & 0xFFFF) : 0);
}
void CGridCellValue::GridCellSetBorderPen(CPen* pen) {
  m_pen = pen;
  m_flags |= BorderPen;
}
CPen* CGridCellValue::GridCellGetBorderPen() const {
  return (m_flags & BorderPen) ? m_pen : nullptr;
}
void CGridCellValue::GridCellSetFont(CFont* font) {
  m_font = font;
  m_flags |= Font;
}
CFont* CGridCellValue::GridCellGetFont() const {
  return (m_flags & Font) ? m_font : nullptr;
}
void CGridCellValue::GridCellSetBitmap(CBitmap* bitmap) {
  m_bitmap = bitmap;
  if (bitmap)
    m_flags |= Bitmap;
  else
    m_flags &= ~Bitmap;
}
CBitmap* CGridCellValue::GridCellGetBitmap() const {
  return (m_flags & Bitmap) ? m_bitmap : nullptr;
}
void CGridCellValue::GridCellSetCellType(int index) {
  m_cellType = index;
  m_flags |= CellType;
}
int CGridCellValue::GridCellGetCellType() const {
  return ((m_flags & CellType) && m_cellType >= 0) ? m_cellType : 0;
}
void CGridCellValue::GridCellSetTypeStyle(std::int32_t style) {
  m_typeStyle = style;
  m_flags |= TypeStyle;
}
std::int32_t CGridCellValue::GridCellGetTypeStyle() const {
  return ((m_flags & TypeStyle) && m_typeStyle != -1) ? m_typeStyle : 0;
}
void CGridCellValue::GridCellSetParam(std::int32_t param) {
  m_param = param;
  m_flags |= Param;
}
void CGridCellValue::GridCellSetReadOnly(bool readOnly) {
  m_readOnly = readOnly ? 1 : 0;
  m_flags |= ReadOnly;
}
int CGridCellValue::GridCellGetReadOnly() const {
  return (m_flags & ReadOnly) ? m_readOnly : 0;
}
void CGridCellValue::GridCellSetDecimals(int places) {
  m_decimals = places;
  m_flags |= Decimals;
}
int CGridCellValue::GridCellGetDecimals() const {
  return (m_flags & Decimals) ? m_decimals : 0;
}
void CGridCellValue::GridCellSetMergeInfo(int origin, int column, int row) {
  m_joinOrigin = origin;
  m_joinCol = column;
  m_joinRow = row;
  m_flags |= Join;
}
int CGridCellValue::GridCellGetMergeInfo(int& origin, int& column, int& row) const {
  if (!(m_flags & Join)) return 1;
  origin = m_joinOrigin;
  column = m_joinCol;
  row = m_joinRow;
  return 0;
}
void CGridCellValue::GridCellSetHook(CGridCellHook* hook) {
  m_hook = hook;
  m_flags |= Hook;
}
CGridCellHook* CGridCellValue::GridCellGetHook() const {
  return (m_flags & Hook) ? m_hook : nullptr;
}
void CGridCellValue::GridCellSetStyleCell(const CGridCellValue* style) {
  m_style = style;
  m_flags |= StyleCell;
}
const CGridCellValue* CGridCellValue::GridCellGetStyleCell() const {
  return (m_flags & StyleCell) ? m_style : nullptr;
}

void CGridCellValue::GridCellSetExtraData(const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::vector<unsigned char> copy(p, p + (p ? size : 0));
  m_extra.swap(copy);
  m_flags |= ExtraData;
}
void CGridCellValue::GridCellFreeExtraData() {
  m_flags &= ~ExtraData;
  m_extra.clear();
  m_extra.shrink_to_fit();
}
