// GDI values: colours, points and rectangles, fonts, pens, brushes and
// bitmaps as the drawing code of both programs uses them, over Qt's types.
// Rectangles are exclusive at right and bottom, colours are 0x00BBGGRR.
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/resourcebundle.h"

// ---- colours ---------------------------------------------------------------

using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
  return static_cast<int>((c >> 16) & 0xFF);
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

namespace fw {
inline QColor ToQColor(COLORREF c) {
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF FromQColor(const QColor& c) {
  return RGB(c.red(), c.green(), c.blue());
}
}  // namespace fw

// ---- points, sizes, rectangles ---------------------------------------------

struct CSize {
  int cx = 0, cy = 0;
  constexpr CSize() = default;
  constexpr CSize(int x, int y) : cx(x), cy(y) {}
  friend constexpr bool operator==(const CSize&, const CSize&) = default;
  QSize ToQt() const { return QSize(cx, cy); }
};

struct CPoint {
  int x = 0, y = 0;
  constexpr CPoint() = default;
  constexpr CPoint(int px, int py) : x(px), y(py) {}
  CPoint(const QPoint& p) : x(p.x()), y(p.y()) {}
  friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
  constexpr CPoint operator+(const CSize& s) const { return {x + s.cx, y + s.cy}; }
  constexpr CPoint operator-(const CSize& s) const { return {x - s.cx, y - s.cy}; }
  constexpr CSize operator-(const CPoint& p) const { return {x - p.x, y - p.y}; }
  constexpr void Offset(int dx, int dy) { x += dx, y += dy; }
  QPoint ToQt() const { return QPoint(x, y); }
};

struct CRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr CRect() = default;
  constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(CPoint tl, CSize s)
      : left(tl.x), top(tl.y), right(tl.x + s.cx), bottom(tl.y + s.cy) {}
  constexpr CRect(CPoint tl, CPoint br) : left(tl.x), top(tl.y), right(br.x), bottom(br.y) {}
  // A QRect's right() is inclusive; ours is not.
  static CRect FromQt(const QRect& r) {
    return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
  }
  QRect ToQt() const { return QRect(left, top, right - left, bottom - top); }

  friend constexpr bool operator==(const CRect&, const CRect&) = default;
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr CSize Size() const { return {Width(), Height()}; }
  constexpr CPoint TopLeft() const { return {left, top}; }
  constexpr CPoint BottomRight() const { return {right, bottom}; }
  constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
  constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
  constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  constexpr bool PtInRect(CPoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  constexpr void SetRectEmpty() { left = top = right = bottom = 0; }
  constexpr void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
  constexpr void OffsetRect(CPoint p) { OffsetRect(p.x, p.y); }
  constexpr void OffsetRect(CSize s) { OffsetRect(s.cx, s.cy); }
  constexpr void InflateRect(int dx, int dy) { left -= dx, right += dx, top -= dy, bottom += dy; }
  constexpr void InflateRect(int l, int t, int r, int b) {
    left -= l, top -= t, right += r, bottom += b;
  }
  constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  constexpr void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
  constexpr void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  // Empty result (all zero) when the two do not overlap, as GDI answers.
  constexpr bool IntersectRect(const CRect& a, const CRect& b) {
    CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom));
    if (r.IsRectEmpty()) {
      SetRectEmpty();
      return false;
    }
    *this = r;
    return true;
  }
  constexpr bool UnionRect(const CRect& a, const CRect& b) {
    if (a.IsRectEmpty()) {
      *this = b;
    } else if (b.IsRectEmpty()) {
      *this = a;
    } else {
      *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom));
    }
    return !IsRectEmpty();
  }
  constexpr CRect operator&(const CRect& o) const {
    CRect r;
    r.IntersectRect(*this, o);
    return r;
  }
};

using POINT = CPoint;
using SIZE = CSize;
using RECT = CRect;

// ---- system colours and metrics (a fixed classic table, settable in tests) --

inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_COUNT = 31;

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXSIZE = 30;
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_CXMENUCHECK = 71;
inline constexpr int SM_CYMENUCHECK = 72;
inline constexpr int SM_METRIC_COUNT = 100;

COLORREF GetSysColor(int index);
int GetSystemMetrics(int index);

namespace fw {
// Tests (and a theme switch) may change the table; Reset restores the classic values.
void SetSysColor(int index, COLORREF colour);
void SetSystemMetric(int index, int value);
void ResetSystemTables();
}  // namespace fw

// ---- fonts -------------------------------------------------------------------

inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_THIN = 100;
inline constexpr int FW_LIGHT = 300;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_MEDIUM = 500;
inline constexpr int FW_SEMIBOLD = 600;
inline constexpr int FW_BOLD = 700;
inline constexpr int FW_HEAVY = 900;
inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t SYMBOL_CHARSET = 2;
constexpr int LF_FACESIZE = 32;

// Same member order and sizes as the Windows structure: callers compare the
// leading 32-bit members and copy face names with the fixed size.
struct LOGFONT {
  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRIC {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmWeight = 0;
  std::uint8_t tmItalic = 0;
  std::uint8_t tmUnderlined = 0;
};

namespace fw {
// LOGFONT -> QFont: a positive height is the character cell height (ascent +
// descent), a negative one the character (em) height in pixels; 0 is the
// default size. Weights below 100 are normal. Face names not installed fall
// back through fontconfig ("Arial" resolves to a metric-compatible face).
QFont FontFromLogFont(const LOGFONT& lf);
// The dialog font every window starts with (8-point sans serif).
LOGFONT DefaultGuiLogFont();
void SetFaceName(LOGFONT& lf, const std::string& face);
}  // namespace fw

// ---- GDI objects -------------------------------------------------------------

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

class CGdiObject {
 public:
  virtual ~CGdiObject() = default;
  bool IsValid() const { return m_valid; }
  explicit operator bool() const { return m_valid; }
  const void* GetSafeHandle() const { return m_valid ? this : nullptr; }
  void DeleteObject() { m_valid = false; }

 protected:
  bool m_valid = false;
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF colour) { (void)CreatePen(style, width, colour); }
  [[nodiscard]] bool CreatePen(int style, int width, COLORREF colour);
  int style() const { return m_style; }
  int width() const { return m_width; }
  COLORREF colour() const { return m_colour; }

 private:
  int m_style = PS_SOLID;
  int m_width = 1;
  COLORREF m_colour = 0;
};

class CBitmap;

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  bool CreateSolidBrush(COLORREF colour);
  bool CreateSysColorBrush(int index) { return CreateSolidBrush(GetSysColor(index)); }
  // An 8x8 pattern from a bitmap; a one-bit bitmap paints its colour table.
  bool CreatePatternBrush(const CBitmap* bitmap);
  // A brush that paints nothing (the hollow stock brush).
  bool CreateNullBrush();
  bool IsNull() const { return m_null; }
  bool IsPattern() const { return !m_pattern.isNull(); }
  COLORREF colour() const { return m_colour; }
  QBrush ToQt() const;

 private:
  COLORREF m_colour = 0;
  bool m_null = false;
  QImage m_pattern;
};

// A device-dependent bitmap: a QImage (32-bit RGB) or a one-bit image with
// a two-entry colour table (black for 0 and white for 1 unless set).
class CBitmap : public CGdiObject {
 public:
  // Bits as CreateBitmap takes them: rows padded to 16 bits, most
  // significant bit first. Only 1 and 32 bits per pixel are accepted.
  bool CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                    const void* bits);
  bool CreateCompatibleBitmap(int width, int height);
  bool FromImage(const QImage& image);
  // The bundle's BITMAP of that id; false when there is none.
  [[nodiscard]] bool LoadBitmap(unsigned id);
  void SetMonoColours(COLORREF zero, COLORREF one);
  CSize GetSize() const { return CSize(m_image.width(), m_image.height()); }
  QImage& image() { return m_image; }
  const QImage& image() const { return m_image; }

 private:
  QImage m_image;
};

class CFont : public CGdiObject {
 public:
  [[nodiscard]] bool CreateFontIndirect(const LOGFONT* lf);
  // Height in tenths of a point at 96 pixels per inch.
  bool CreatePointFont(int pointSizeTenths, const std::string& face);
  bool CreatePointFontIndirect(const LOGFONT* lf);
  int GetLogFont(LOGFONT* out) const;
  const QFont& font() const { return m_font; }
  const LOGFONT& logFont() const { return m_lf; }

 private:
  LOGFONT m_lf{};
  QFont m_font;
};

// A stand-in for an icon handle: an ARGB image; HICON is a pointer to it.
struct CIconImage {
  QImage image;
  CPoint hotSpot;
};
using HICON = const CIconImage*;

namespace fw {
// Icons by resource id. The programs register the images of their bundle;
// tests register their own. The registry owns the images for the whole run.
void RegisterIcon(int id, const QImage& image);
// A registered icon, else the bundle's ICON of that id; nullptr when neither.
HICON LoadIconResource(int id);
// The picture an ICON, BITMAP or CURSOR statement of the bundle names; a null
// image when there is none. hotSpot (cursors) may be null.
QImage LoadImageResource(ImageKind kind, unsigned id, CPoint* hotSpot);
}  // namespace fw

// Stock objects. The returned objects live for the whole program.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEFAULT_GUI_FONT = 17;
CGdiObject* GetStockObject(int index);
// A solid brush of a system colour, kept in step with the table.
CBrush* GetSysColorBrush(int index);
