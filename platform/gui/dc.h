// A device context over QPainter that keeps GDI's pixel conventions, so the
// drawing code of the grid and the controls reads as it is described:
// rectangles exclude their right and bottom edges, LineTo leaves out its end
// pixel, pens are cosmetic and nothing is antialiased, text is positioned at
// the top of its cell, DrawText takes the DT_* flags.
#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/gdi.h"

inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x200;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_EDITCONTROL = 0x2000;
inline constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;
inline constexpr unsigned DT_WORD_ELLIPSIS = 0x40000;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

inline constexpr unsigned TA_LEFT = 0;
inline constexpr unsigned TA_UPDATECP = 1;
inline constexpr unsigned TA_RIGHT = 2;
inline constexpr unsigned TA_CENTER = 6;
inline constexpr unsigned TA_TOP = 0;
inline constexpr unsigned TA_BOTTOM = 8;
inline constexpr unsigned TA_BASELINE = 24;

inline constexpr unsigned ETO_OPAQUE = 0x2;
inline constexpr unsigned ETO_CLIPPED = 0x4;

// Raster operations for BitBlt/PatBlt.
inline constexpr unsigned SRCCOPY = 0x00CC0020;
inline constexpr unsigned SRCPAINT = 0x00EE0086;
inline constexpr unsigned SRCAND = 0x008800C6;
inline constexpr unsigned SRCINVERT = 0x00660046;
inline constexpr unsigned PATCOPY = 0x00F00021;
inline constexpr unsigned PATINVERT = 0x005A0049;
inline constexpr unsigned DSTINVERT = 0x00550009;
inline constexpr unsigned BLACKNESS = 0x00000042;
inline constexpr unsigned WHITENESS = 0x00FF0062;

inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_WHITE = 16;

// DrawEdge
inline constexpr unsigned BDR_RAISEDOUTER = 0x1;
inline constexpr unsigned BDR_SUNKENOUTER = 0x2;
inline constexpr unsigned BDR_RAISEDINNER = 0x4;
inline constexpr unsigned BDR_SUNKENINNER = 0x8;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr unsigned BF_LEFT = 0x1;
inline constexpr unsigned BF_TOP = 0x2;
inline constexpr unsigned BF_RIGHT = 0x4;
inline constexpr unsigned BF_BOTTOM = 0x8;
inline constexpr unsigned BF_RECT = 0xF;
inline constexpr unsigned BF_MIDDLE = 0x800;
inline constexpr unsigned BF_FLAT = 0x4000;
inline constexpr unsigned BF_MONO = 0x8000;
inline constexpr unsigned BF_ADJUST = 0x2000;

inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int BITSPIXEL = 12;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr unsigned DI_NORMAL = 3;

class CDC {
 public:
  // A DC drawing through a painter owned by someone else (a paint event).
  explicit CDC(QPainter* painter);
  // A DC with no surface yet: select a CBitmap into it (memory DC).
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // A memory DC: draws into the bitmap selected with SelectObject(CBitmap*).
  bool CreateCompatibleDC(CDC* = nullptr) { return true; }
  void DeleteDC();

  QPainter* painter() { return m_painter; }
  bool IsDrawing() const { return m_painter && m_painter->isActive(); }

  // Objects. Each returns the previous object of its kind; selected objects
  // are copied, so the caller may delete them afterwards as GDI allows.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectObject(CGdiObject* object);
  CGdiObject* SelectStockObject(int index);
  const CFont* GetCurrentFont() const { return m_font; }

  // Attributes
  COLORREF SetTextColor(COLORREF c);
  COLORREF GetTextColor() const { return m_textColour; }
  COLORREF SetBkColor(COLORREF c);
  COLORREF GetBkColor() const { return m_bkColour; }
  int SetBkMode(int mode);
  int GetBkMode() const { return m_bkMode; }
  unsigned SetTextAlign(unsigned align);
  unsigned GetTextAlign() const { return m_textAlign; }
  int SetROP2(int mode);
  int SetStretchBltMode(int mode);
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(CPoint p) { return SetViewportOrg(p.x, p.y); }
  CPoint OffsetViewportOrg(int dx, int dy);
  CPoint GetViewportOrg() const { return m_origin; }
  CPoint SetBrushOrg(int x, int y);
  int GetDeviceCaps(int index) const;

  // Clipping (in logical coordinates). SaveDC returns a level; RestoreDC(-1)
  // pops the last one, RestoreDC(n) returns to level n.
  int SaveDC();
  [[nodiscard]] bool RestoreDC(int level);
  int IntersectClipRect(const CRect& r);
  int IntersectClipRect(int l, int t, int r, int b) { return IntersectClipRect(CRect(l, t, r, b)); }
  int ExcludeClipRect(const CRect& r);
  int SelectClipRect(const CRect* r);  // nullptr removes the clip
  int GetClipBox(CRect* r) const;
  bool RectVisible(const CRect& r) const;

  // Lines and shapes
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
  bool LineTo(int x, int y);
  bool LineTo(CPoint p) { return LineTo(p.x, p.y); }
  CPoint GetCurrentPosition() const { return m_current; }
  bool Polyline(const CPoint* points, int count);
  bool Polygon(const CPoint* points, int count);
  bool Rectangle(int l, int t, int r, int b);
  bool Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
  bool Ellipse(int l, int t, int r, int b);
  bool Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
  // Counter-clockwise from the radial through start to the one through end.
  bool Arc(const CRect& r, CPoint start, CPoint end);
  void FillRect(const CRect& r, const CBrush* brush);
  void FillSolidRect(const CRect& r, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    FillSolidRect(CRect(x, y, x + cx, y + cy), colour);
  }
  void FrameRect(const CRect& r, const CBrush* brush);
  void InvertRect(const CRect& r);
  void Draw3dRect(const CRect& r, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(CRect(x, y, x + cx, y + cy), topLeft, bottomRight);
  }
  bool DrawEdge(CRect* r, unsigned edge, unsigned flags);
  // Dotted XOR frame: drawing it twice leaves the surface as it was.
  void DrawFocusRect(const CRect& r);
  COLORREF SetPixel(int x, int y, COLORREF colour);
  COLORREF SetPixel(CPoint p, COLORREF colour) { return SetPixel(p.x, p.y, colour); }
  // Reads back only from image surfaces; CLR_INVALID otherwise.
  COLORREF GetPixel(int x, int y) const;

  // Blocks
  bool PatBlt(int x, int y, int w, int h, unsigned rop);
  bool BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, unsigned rop);
  bool StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                  unsigned rop);
  // Draws an image at its size, or stretched when a size is given.
  void DrawImage(int x, int y, const QImage& image, int w = -1, int h = -1);
  bool DrawIcon(int x, int y, HICON icon);
  bool DrawIcon(CPoint p, HICON icon) { return DrawIcon(p.x, p.y, icon); }
  bool DrawIconEx(int x, int y, HICON icon, int w, int h);
  // An icon drawn greyed out (the disabled look of buttons and menus).
  bool DrawIconDisabled(int x, int y, HICON icon);

  // Text
  bool TextOut(int x, int y, const std::string& text);
  bool ExtTextOut(int x, int y, unsigned options, const CRect* rect, const std::string& text);
  // Returns the height of the text; with DT_CALCRECT only measures and sets
  // the rectangle's right and bottom.
  int DrawText(const std::string& text, CRect* rect, unsigned format);
  int DrawText(const std::string& text, CRect& rect, unsigned format) {
    return DrawText(text, &rect, format);
  }
  CSize GetTextExtent(const std::string& text) const;
  // The height GetTextExtent gives, without measuring a text.
  int GetTextHeight() const;
  CSize GetOutputTextExtent(const std::string& text) const { return GetTextExtent(text); }
  bool GetTextMetrics(TEXTMETRIC* tm) const;
  QFontMetrics FontMetrics() const { return QFontMetrics(m_qfont); }
  const QFont& CurrentQFont() const { return m_qfont; }

  // The surface this DC draws on when it is an image (memory DC, image DC).
  QImage* image() const { return m_image; }

 protected:
  void Begin(QPainter* painter, QImage* image);
  void End();
  // Fill without pen, in device pixels after the origin shift.
  void FillQt(const QRect& r, const QBrush& brush);
  void ApplyClip();
  QPen CosmeticPen() const;
  void PlotLine(int x0, int y0, int x1, int y1, bool lastPixel);
  bool PixelExact() const;
  void DrawTextLine(int x, int topY, const QString& line, const CRect* clip);

  QPainter* m_painter = nullptr;
  std::unique_ptr<QPainter> m_ownPainter;
  QImage* m_image = nullptr;
  CBitmap* m_bitmap = nullptr;

  CPen m_pen;
  CBrush m_brush;
  CFont* m_font = nullptr;
  CPen* m_penSel = nullptr;
  CBrush* m_brushSel = nullptr;
  CFont* m_fontSel = nullptr;
  QFont m_qfont;
  COLORREF m_textColour = 0;
  COLORREF m_bkColour = RGB(255, 255, 255);
  int m_bkMode = OPAQUE;
  unsigned m_textAlign = TA_LEFT | TA_TOP;
  int m_rop2 = R2_COPYPEN;
  int m_stretchMode = COLORONCOLOR;
  CPoint m_origin;
  CPoint m_brushOrg;
  CPoint m_current;

  struct Clip {
    bool on = false;
    QRegion region;  // device coordinates
  };
  Clip m_clip;
  struct Saved {
    CPen pen;
    CBrush brush;
    CFont* font;
    CPen* penSel;
    CBrush* brushSel;
    CFont* fontSel;
    QFont qfont;
    COLORREF text, bk;
    int bkMode;
    unsigned align;
    int rop2;
    CPoint origin, current;
    Clip clip;
  };
  std::vector<Saved> m_saved;
  CFont m_defaultFont;
};

// A DC over a QImage of its own (32-bit RGB), for off-screen work and tests.
class CImageDC : public CDC {
 public:
  CImageDC(int width, int height, COLORREF fill = RGB(255, 255, 255));
  ~CImageDC() override;
  QImage& surface() { return m_surface; }
  // Ends painting so the image can be read, then resumes.
  const QImage& Snapshot();

 private:
  QImage m_surface;
};
