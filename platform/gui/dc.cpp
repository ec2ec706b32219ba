#include "platform/gui/dc.h"

#include <QPaintDevice>
#include <QTransform>
#include <cmath>
#include <numbers>

#include "platform/gui/qtstring.h"

namespace {

constexpr int kFar = 1 << 20;  // "everything" for clip arithmetic

// Removes mnemonic markers: "&&" is a literal ampersand, "&x" shows x. The
// position of the first marked character in the result goes to *mnemonic
// (-1 when there is none), for the underline.
QString StripPrefix(const QString& s, qsizetype* mnemonic = nullptr) {
  QString out;
  out.reserve(s.size());
  if (mnemonic) *mnemonic = -1;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('&')) {
      if (i + 1 < s.size() && s[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      } else if (mnemonic && *mnemonic < 0 && i + 1 < s.size()) {
        *mnemonic = out.size();
      }
      continue;
    }
    out += s[i];
  }
  return out;
}

QString ExpandTabs(const QString& s) {
  QString out;
  for (QChar c : s) {
    if (c == QLatin1Char('\t')) {
      do out += QLatin1Char(' ');
      while (out.size() % 8 != 0);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

CDC::CDC() {
  // Controls select their window font before drawing; start from the same
  // dialog font so text measured before any selection is not surprising.
  m_defaultFont = *static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT));
  m_font = &m_defaultFont;
  m_qfont = m_defaultFont.font();
  (void)m_pen.CreatePen(PS_SOLID, 1, 0);  // nothing to fail
  m_brush.CreateSolidBrush(RGB(255, 255, 255));
}

CDC::CDC(QPainter* painter) : CDC() {
  QImage* img = nullptr;
  if (painter && painter->device() && painter->device()->devType() == QInternal::Image)
    img = static_cast<QImage*>(painter->device());
  Begin(painter, img);
}

CDC::~CDC() {
  End();
}

void CDC::DeleteDC() {
  End();
  m_bitmap = nullptr;
}

void CDC::Begin(QPainter* painter, QImage* image) {
  m_painter = painter;
  m_image = image;
  if (!m_painter || !m_painter->isActive()) return;
  m_painter->save();
  m_painter->setRenderHint(QPainter::Antialiasing, false);
  m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  m_painter->setRenderHint(QPainter::TextAntialiasing, true);
  m_painter->setTransform(QTransform::fromTranslate(m_origin.x, m_origin.y));
  m_painter->setFont(m_qfont);
  ApplyClip();
}

void CDC::End() {
  if (m_painter && m_painter->isActive()) m_painter->restore();
  if (m_ownPainter) {
    m_ownPainter->end();
    m_ownPainter.reset();
  }
  m_painter = nullptr;
  m_image = nullptr;
}

// ---- objects -------------------------------------------------------------------

CPen* CDC::SelectObject(CPen* pen) {
  CPen* old = m_penSel;
  if (pen) {
    m_pen = *pen;
    m_penSel = pen;
  }
  return old ? old : static_cast<CPen*>(GetStockObject(BLACK_PEN));
}

CBrush* CDC::SelectObject(CBrush* brush) {
  CBrush* old = m_brushSel;
  if (brush) {
    m_brush = *brush;
    m_brushSel = brush;
  }
  return old ? old : static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
}

CFont* CDC::SelectObject(CFont* font) {
  CFont* old = m_fontSel ? m_fontSel : &m_defaultFont;
  if (font && font->IsValid()) {
    m_fontSel = font;
    m_font = font;
    m_qfont = font->font();
    if (IsDrawing()) m_painter->setFont(m_qfont);
  }
  return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  CBitmap* old = m_bitmap;
  if (!bitmap || !bitmap->IsValid()) return old;
  End();
  m_bitmap = bitmap;
  if (bitmap->image().format() == QImage::Format_Mono)
    bitmap->image() = bitmap->image().convertToFormat(QImage::Format_RGB32);
  m_ownPainter = std::make_unique<QPainter>(&bitmap->image());
  Begin(m_ownPainter.get(), &bitmap->image());
  return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (auto* p = dynamic_cast<CPen*>(object)) return SelectObject(p);
  if (auto* b = dynamic_cast<CBrush*>(object)) return SelectObject(b);
  if (auto* f = dynamic_cast<CFont*>(object)) return SelectObject(f);
  if (auto* bm = dynamic_cast<CBitmap*>(object)) return SelectObject(bm);
  return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) {
  return SelectObject(GetStockObject(index));
}

// ---- attributes ----------------------------------------------------------------

COLORREF CDC::SetTextColor(COLORREF c) {
  return std::exchange(m_textColour, c);
}
COLORREF CDC::SetBkColor(COLORREF c) {
  return std::exchange(m_bkColour, c);
}
int CDC::SetBkMode(int mode) {
  return std::exchange(m_bkMode, mode == TRANSPARENT ? TRANSPARENT : OPAQUE);
}
unsigned CDC::SetTextAlign(unsigned align) {
  return std::exchange(m_textAlign, align);
}
int CDC::SetROP2(int mode) {
  return std::exchange(m_rop2, mode);
}
int CDC::SetStretchBltMode(int mode) {
  return std::exchange(m_stretchMode, mode);
}

CPoint CDC::SetViewportOrg(int x, int y) {
  CPoint old = m_origin;
  m_origin = CPoint(x, y);
  if (IsDrawing()) {
    m_painter->setTransform(QTransform::fromTranslate(x, y));
    ApplyClip();
  }
  return old;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  return SetViewportOrg(m_origin.x + dx, m_origin.y + dy);
}

CPoint CDC::SetBrushOrg(int x, int y) {
  return std::exchange(m_brushOrg, CPoint(x, y));
}

int CDC::GetDeviceCaps(int index) const {
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case BITSPIXEL: return 32;
    case HORZRES: return m_image ? m_image->width() : GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return m_image ? m_image->height() : GetSystemMetrics(SM_CYSCREEN);
    default: return 0;
  }
}

// ---- clipping ------------------------------------------------------------------

void CDC::ApplyClip() {
  if (!IsDrawing()) return;
  if (m_clip.on)
    m_painter->setClipRegion(m_clip.region.translated(-m_origin.x, -m_origin.y));
  else
    m_painter->setClipping(false);
}

int CDC::SaveDC() {
  m_saved.push_back(Saved{m_pen, m_brush, m_font, m_penSel, m_brushSel, m_fontSel, m_qfont,
                          m_textColour, m_bkColour, m_bkMode, m_textAlign, m_rop2, m_origin,
                          m_current, m_clip});
  return static_cast<int>(m_saved.size());
}

bool CDC::RestoreDC(int level) {
  if (level < 0) level = static_cast<int>(m_saved.size()) + 1 + level;
  if (level < 1 || level > static_cast<int>(m_saved.size())) return false;
  Saved s = m_saved[static_cast<std::size_t>(level - 1)];
  m_saved.resize(static_cast<std::size_t>(level - 1));
  m_pen = s.pen;
  m_brush = s.brush;
  m_font = s.font;
  m_penSel = s.penSel;
  m_brushSel = s.brushSel;
  m_fontSel = s.fontSel;
  m_qfont = s.qfont;
  m_textColour = s.text;
  m_bkColour = s.bk;
  m_bkMode = s.bkMode;
  m_textAlign = s.align;
  m_rop2 = s.rop2;
  m_current = s.current;
  m_clip = s.clip;
  if (IsDrawing()) m_painter->setFont(m_qfont);
  SetViewportOrg(s.origin.x, s.origin.y);
  ApplyClip();
  return true;
}

int CDC::IntersectClipRect(const CRect& r) {
  QRect dev = r.ToQt().translated(m_origin.x, m_origin.y);
  m_clip.region = m_clip.on ? m_clip.region.intersected(dev) : QRegion(dev);
  m_clip.on = true;
  ApplyClip();
  return m_clip.region.isEmpty() ? 1 : 2;
}

int CDC::ExcludeClipRect(const CRect& r) {
  QRect dev = r.ToQt().translated(m_origin.x, m_origin.y);
  QRegion base = m_clip.on ? m_clip.region : QRegion(QRect(-kFar, -kFar, 2 * kFar, 2 * kFar));
  m_clip.region = base.subtracted(dev);
  m_clip.on = true;
  ApplyClip();
  return m_clip.region.isEmpty() ? 1 : 2;
}

int CDC::SelectClipRect(const CRect* r) {
  if (!r) {
    m_clip = Clip{};
  } else {
    m_clip.on = true;
    m_clip.region = QRegion(r->ToQt().translated(m_origin.x, m_origin.y));
  }
  ApplyClip();
  return 2;
}

int CDC::GetClipBox(CRect* r) const {
  if (!r) return 0;
  QRect box;
  if (m_clip.on) {
    box = m_clip.region.boundingRect();
  } else if (m_painter && m_painter->device()) {
    box = QRect(0, 0, m_painter->device()->width(), m_painter->device()->height());
  } else if (m_image) {
    box = m_image->rect();
  }
  if (m_image || (m_painter && m_painter->device())) {
    QRect dev = m_image ? m_image->rect()
                        : QRect(0, 0, m_painter->device()->width(), m_painter->device()->height());
    box = box.intersected(dev);
  }
  *r = CRect::FromQt(box.translated(-m_origin.x, -m_origin.y));
  return r->IsRectEmpty() ? 1 : 2;
}

bool CDC::RectVisible(const CRect& r) const {
  CRect box;
  GetClipBox(&box);
  CRect inter;
  return inter.IntersectRect(box, r);
}

// ---- lines and shapes --------------------------------------------------------------

QPen CDC::CosmeticPen() const {
  QPen p(fw::ToQColor(m_pen.colour()));
  p.setWidth(0);
  p.setCosmetic(true);
  return p;
}

// Bresenham, pixel by pixel, so the end pixel can be left out as GDI does
// and the dot pattern of styled pens runs along the line. A solid line
// across or down the pixel grid is the same pixels as a rectangle one pixel
// thick, which fills far faster: the grids' borders are such lines.
void CDC::PlotLine(int x0, int y0, int x1, int y1, bool lastPixel) {
  if (!IsDrawing() || m_pen.style() == PS_NULL || !m_pen.IsValid()) return;
  if (m_pen.width() > 1) {
    QPen p(fw::ToQColor(m_pen.colour()), m_pen.width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    m_painter->setPen(p);
    m_painter->drawLine(x0, y0, x1, y1);
    return;
  }
  int on = 1, off = 0;
  if (m_pen.style() == PS_DOT) on = 3, off = 3;
  if (m_pen.style() == PS_DASH) on = 18, off = 6;
  if (m_pen.style() == PS_DASHDOT) on = 9, off = 6;
  if (off == 0 && (x0 == x1 || y0 == y1) && PixelExact()) {
    // From the start pixel towards the end one, which is left out unless asked for.
    auto span = [lastPixel](int from, int to, int& low, int& high) {
      const int last = lastPixel || from == to ? to : (to > from ? to - 1 : to + 1);
      low = std::min(from, last);
      high = std::max(from, last);
      return lastPixel || from != to;
    };
    int left, right, top, bottom;
    if (span(x0, x1, left, right) | span(y0, y1, top, bottom))
      m_painter->fillRect(QRect(QPoint(left, top), QPoint(right, bottom)),
                          fw::ToQColor(m_pen.colour()));
    return;
  }
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  QPolygon points;
  int step = 0;
  int x = x0, y = y0;
  for (;;) {
    bool atEnd = x == x1 && y == y1;
    if (atEnd && !lastPixel) break;
    if (off == 0 || step % (on + off) < on) points << QPoint(x, y);
    ++step;
    if (atEnd) break;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
  m_painter->setPen(CosmeticPen());
  m_painter->setBrush(Qt::NoBrush);
  m_painter->drawPoints(points);
}

// Whether a filled rectangle covers exactly the pixels the points on its
// edge would: no scaling, whole-pixel offsets, no smoothing, plain copying.
bool CDC::PixelExact() const {
  const QTransform& t = m_painter->transform();
  return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
         t.dy() == std::floor(t.dy()) && !m_painter->testRenderHint(QPainter::Antialiasing) &&
         m_painter->compositionMode() == QPainter::CompositionMode_SourceOver;
}

namespace {
struct RopScope {
  QPainter* p;
  RopScope(QPainter* painter, int rop) : p(painter) {
    if (!p) return;
    switch (rop) {
      case R2_NOT: p->setCompositionMode(QPainter::RasterOp_NotDestination); break;
      case R2_XORPEN: p->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
      default: p->setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    }
  }
  ~RopScope() {
    if (p) p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
};
}  // namespace

CPoint CDC::MoveTo(int x, int y) {
  return std::exchange(m_current, CPoint(x, y));
}

bool CDC::LineTo(int x, int y) {
  RopScope rop(IsDrawing() ? m_painter : nullptr, m_rop2);
  PlotLine(m_current.x, m_current.y, x, y, false);
  m_current = CPoint(x, y);
  return true;
}

bool CDC::Polyline(const CPoint* points, int count) {
  if (!points || count < 2) return false;
  RopScope rop(IsDrawing() ? m_painter : nullptr, m_rop2);
  for (int i = 1; i < count; ++i)
    PlotLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, false);
  return true;
}

bool CDC::Polygon(const CPoint* points, int count) {
  if (!points || count < 2 || !IsDrawing()) return false;
  QPolygon poly;
  for (int i = 0; i < count; ++i) poly << points[i].ToQt();
  RopScope rop(m_painter, m_rop2);
  m_painter->setPen(Qt::NoPen);
  m_painter->setBrush(m_brush.ToQt());
  m_painter->setBrushOrigin(m_brushOrg.x - m_origin.x, m_brushOrg.y - m_origin.y);
  m_painter->drawPolygon(poly, Qt::OddEvenFill);
  for (int i = 0; i < count; ++i) {
    const CPoint& a = points[i];
    const CPoint& b = points[(i + 1) % count];
    PlotLine(a.x, a.y, b.x, b.y, false);
  }
  return true;
}

void CDC::FillQt(const QRect& r, const QBrush& brush) {
  if (!IsDrawing() || r.isEmpty() || brush.style() == Qt::NoBrush) return;
  m_painter->setBrushOrigin(m_brushOrg.x - m_origin.x, m_brushOrg.y - m_origin.y);
  m_painter->fillRect(r, brush);
}

bool CDC::Rectangle(int l, int t, int r, int b) {
  if (!IsDrawing()) return false;
  CRect rc(l, t, r, b);
  rc.NormalizeRect();
  RopScope rop(m_painter, m_rop2);
  bool pen = m_pen.IsValid() && m_pen.style() != PS_NULL;
  if (!pen) {
    // Without a pen GDI fills one pixel less at the right and bottom.
    FillQt(QRect(rc.left, rc.top, rc.Width() - 1, rc.Height() - 1), m_brush.ToQt());
    return true;
  }
  int w = std::max(1, m_pen.width());
  FillQt(QRect(rc.left + w, rc.top + w, rc.Width() - 2 * w, rc.Height() - 2 * w), m_brush.ToQt());
  QBrush edge(fw::ToQColor(m_pen.colour()));
  if (m_pen.style() == PS_SOLID || m_pen.style() == PS_INSIDEFRAME || w > 1) {
    FillQt(QRect(rc.left, rc.top, rc.Width(), w), edge);
    FillQt(QRect(rc.left, rc.bottom - w, rc.Width(), w), edge);
    FillQt(QRect(rc.left, rc.top + w, w, rc.Height() - 2 * w), edge);
    FillQt(QRect(rc.right - w, rc.top + w, w, rc.Height() - 2 * w), edge);
  } else {
    CPoint pts[5] = {{rc.left, rc.top},
                     {rc.right - 1, rc.top},
                     {rc.right - 1, rc.bottom - 1},
                     {rc.left, rc.bottom - 1},
                     {rc.left, rc.top}};
    for (int i = 1; i < 5; ++i) PlotLine(pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y, false);
  }
  return true;
}

bool CDC::Ellipse(int l, int t, int r, int b) {
  if (!IsDrawing()) return false;
  RopScope rop(m_painter, m_rop2);
  bool pen = m_pen.IsValid() && m_pen.style() != PS_NULL;
  m_painter->setPen(pen ? CosmeticPen() : QPen(Qt::NoPen));
  m_painter->setBrush(m_brush.ToQt());
  m_painter->drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
  return true;
}

bool CDC::Arc(const CRect& r, CPoint start, CPoint end) {
  if (!IsDrawing() || m_pen.style() == PS_NULL) return false;
  double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
  auto angle = [&](CPoint p) {
    double a = std::atan2(-(p.y - cy), p.x - cx) * 180.0 / std::numbers::pi;
    return a < 0 ? a + 360.0 : a;
  };
  double a0 = angle(start), a1 = angle(end);
  double span = a1 - a0;
  if (span <= 0) span += 360.0;
  RopScope rop(m_painter, m_rop2);
  m_painter->setPen(CosmeticPen());
  m_painter->setBrush(Qt::NoBrush);
  m_painter->drawArc(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1),
                     static_cast<int>(std::lround(a0 * 16)),
                     static_cast<int>(std::lround(span * 16)));
  return true;
}

void CDC::FillRect(const CRect& r, const CBrush* brush) {
  if (!brush) return;
  CRect rc = r;
  rc.NormalizeRect();
  FillQt(rc.ToQt(), brush->ToQt());
}

void CDC::FillSolidRect(const CRect& r, COLORREF colour) {
  CRect rc = r;
  rc.NormalizeRect();
  FillQt(rc.ToQt(), QBrush(fw::ToQColor(colour)));
  m_bkColour = colour;  // as the original helper does, through SetBkColor
}

void CDC::FrameRect(const CRect& r, const CBrush* brush) {
  if (!brush || r.IsRectEmpty()) return;
  QBrush b = brush->ToQt();
  FillQt(QRect(r.left, r.top, r.Width(), 1), b);
  FillQt(QRect(r.left, r.bottom - 1, r.Width(), 1), b);
  FillQt(QRect(r.left, r.top + 1, 1, r.Height() - 2), b);
  FillQt(QRect(r.right - 1, r.top + 1, 1, r.Height() - 2), b);
}

void CDC::InvertRect(const CRect& r) {
  if (!IsDrawing() || r.IsRectEmpty()) return;
  m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
  m_painter->fillRect(r.ToQt(), Qt::black);
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void CDC::Draw3dRect(const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
  int x = r.left, y = r.top, cx = r.Width(), cy = r.Height();
  COLORREF keep = m_bkColour;
  FillSolidRect(CRect(x, y, x + cx - 1, y + 1), topLeft);
  FillSolidRect(CRect(x, y, x + 1, y + cy - 1), topLeft);
  FillSolidRect(CRect(x + cx - 1, y, x + cx, y + cy), bottomRight);
  FillSolidRect(CRect(x, y + cy - 1, x + cx, y + cy), bottomRight);
  m_bkColour = keep;
}

bool CDC::DrawEdge(CRect* rect, unsigned edge, unsigned flags) {
  if (!rect) return false;
  CRect r = *rect;
  struct Level {
    unsigned raised, sunken;
    int ltRaised, rbRaised, ltSunken, rbSunken;
  };
  const Level levels[2] = {
      {BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNSHADOW,
       COLOR_BTNHIGHLIGHT},
      {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW,
       COLOR_3DLIGHT},
  };
  COLORREF keep = m_bkColour;
  for (const Level& lv : levels) {
    bool raised = edge & lv.raised, sunken = edge & lv.sunken;
    if (!raised && !sunken) continue;
    COLORREF lt = GetSysColor(raised ? lv.ltRaised : lv.ltSunken);
    COLORREF rb = GetSysColor(raised ? lv.rbRaised : lv.rbSunken);
    if (flags & BF_MONO)
      lt = rb = GetSysColor(&lv == &levels[0] ? COLOR_WINDOWFRAME : COLOR_WINDOW);
    else if (flags & BF_FLAT)
      lt = rb = GetSysColor(&lv == &levels[0] ? COLOR_BTNSHADOW : COLOR_BTNFACE);
    if (flags & BF_TOP) FillSolidRect(CRect(r.left, r.top, r.right, r.top + 1), lt);
    if (flags & BF_LEFT) FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom), lt);
    if (flags & BF_BOTTOM) FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), rb);
    if (flags & BF_RIGHT) FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), rb);
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_BOTTOM) --r.bottom;
    if (flags & BF_RIGHT) --r.right;
  }
  if (flags & BF_MIDDLE) FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
  m_bkColour = keep;
  if (flags & BF_ADJUST) *rect = r;
  return true;
}

void CDC::DrawFocusRect(const CRect& r) {
  if (!IsDrawing() || r.IsRectEmpty()) return;
  // Every other pixel of the frame, chosen by device parity so that two
  // frames that touch keep one dotted rhythm; inverted so a second call erases.
  QPolygon pts;
  auto add = [&](int x, int y) {
    if (((x + m_origin.x) + (y + m_origin.y)) % 2 == 0) pts << QPoint(x, y);
  };
  for (int x = r.left; x < r.right; ++x) {
    add(x, r.top);
    if (r.bottom - 1 > r.top) add(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    add(r.left, y);
    if (r.right - 1 > r.left) add(r.right - 1, y);
  }
  m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
  m_painter->setPen(QPen(Qt::black, 0));
  m_painter->drawPoints(pts);
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
  if (!IsDrawing()) return CLR_INVALID;
  m_painter->fillRect(QRect(x, y, 1, 1), fw::ToQColor(colour));
  return colour;
}

COLORREF CDC::GetPixel(int x, int y) const {
  if (!m_image) return CLR_INVALID;
  QPoint p(x + m_origin.x, y + m_origin.y);
  if (!m_image->rect().contains(p)) return CLR_INVALID;
  return fw::FromQColor(QColor(m_image->pixel(p)));
}

// ---- blocks -----------------------------------------------------------------------

bool CDC::PatBlt(int x, int y, int w, int h, unsigned rop) {
  if (!IsDrawing()) return false;
  QRect r = CRect(x, y, x + w, y + h).ToQt().normalized();
  switch (rop) {
    case BLACKNESS: FillQt(r, QBrush(Qt::black)); break;
    case WHITENESS: FillQt(r, QBrush(Qt::white)); break;
    case DSTINVERT: InvertRect(CRect::FromQt(r)); break;
    case PATINVERT:
      m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      FillQt(r, m_brush.ToQt());
      m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
      break;
    default: FillQt(r, m_brush.ToQt()); break;
  }
  return true;
}

bool CDC::BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, unsigned rop) {
  return StretchBlt(x, y, w, h, src, sx, sy, w, h, rop);
}

bool CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                     unsigned rop) {
  if (!IsDrawing()) return false;
  if (rop == BLACKNESS || rop == WHITENESS || rop == DSTINVERT || rop == PATCOPY ||
      rop == PATINVERT)
    return PatBlt(x, y, w, h, rop);
  if (!src || !src->m_image || w == 0 || h == 0) return false;
  // Copy the source first: it may be this very surface.
  QImage part = src->m_image->copy(sx + src->m_origin.x, sy + src->m_origin.y, sw, sh);
  switch (rop) {
    case SRCINVERT: m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case SRCAND: m_painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case SRCPAINT: m_painter->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    default: m_painter->setCompositionMode(QPainter::CompositionMode_Source); break;
  }
  m_painter->drawImage(QRect(x, y, w, h).normalized(), part);
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  return true;
}

void CDC::DrawImage(int x, int y, const QImage& image, int w, int h) {
  if (!IsDrawing() || image.isNull()) return;
  if (w < 0 || h < 0)
    m_painter->drawImage(QPoint(x, y), image);
  else
    m_painter->drawImage(QRect(x, y, w, h), image);
}

bool CDC::DrawIcon(int x, int y, HICON icon) {
  if (!icon) return false;
  DrawImage(x, y, icon->image);
  return true;
}

bool CDC::DrawIconEx(int x, int y, HICON icon, int w, int h) {
  if (!icon) return false;
  DrawImage(x, y, icon->image, w > 0 ? w : icon->image.width(), h > 0 ? h : icon->image.height());
  return true;
}

bool CDC::DrawIconDisabled(int x, int y, HICON icon) {
  if (!icon || icon->image.isNull() || !IsDrawing()) return false;
  // Embossed: the shape once in highlight, offset, once in shadow.
  QImage mask = icon->image.convertToFormat(QImage::Format_ARGB32);
  auto tinted = [&](COLORREF c) {
    QImage out = mask;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(out.rect(), fw::ToQColor(c));
    return out;
  };
  m_painter->drawImage(QPoint(x + 1, y + 1), tinted(GetSysColor(COLOR_BTNHIGHLIGHT)));
  m_painter->drawImage(QPoint(x, y), tinted(GetSysColor(COLOR_BTNSHADOW)));
  return true;
}

// ---- text ---------------------------------------------------------------------------

CSize CDC::GetTextExtent(const std::string& text) const {
  QFontMetrics fm(m_qfont);
  return CSize(fm.horizontalAdvance(fw::ToQ(text)), fm.height());
}

int CDC::GetTextHeight() const {
  return QFontMetrics(m_qfont).height();
}

bool CDC::GetTextMetrics(TEXTMETRIC* tm) const {
  if (!tm) return false;
  QFontMetrics fm(m_qfont);
  QFontInfo info(m_qfont);
  *tm = TEXTMETRIC{};
  tm->tmHeight = fm.height();
  tm->tmAscent = fm.ascent();
  tm->tmDescent = fm.descent();
  tm->tmInternalLeading = std::max(0, fm.height() - info.pixelSize());
  tm->tmExternalLeading = std::max(0, fm.leading());
  tm->tmAveCharWidth = fm.averageCharWidth();
  tm->tmMaxCharWidth = fm.maxWidth();
  tm->tmWeight = m_font ? std::max<int>(m_font->logFont().lfWeight, FW_NORMAL) : FW_NORMAL;
  tm->tmItalic = m_qfont.italic();
  tm->tmUnderlined = m_qfont.underline();
  return true;
}

// One line of text whose cell's top-left is (x, topY).
void CDC::DrawTextLine(int x, int topY, const QString& line, const CRect* clip) {
  QFontMetrics fm(m_qfont);
  if (m_bkMode == OPAQUE) {
    QRect cell(x, topY, fm.horizontalAdvance(line), fm.height());
    if (clip) cell = cell.intersected(clip->ToQt());
    m_painter->fillRect(cell, fw::ToQColor(m_bkColour));
  }
  m_painter->setPen(fw::ToQColor(m_textColour));
  m_painter->drawText(QPoint(x, topY + fm.ascent()), line);
}

bool CDC::TextOut(int x, int y, const std::string& text) {
  return ExtTextOut(x, y, 0, nullptr, text);
}

bool CDC::ExtTextOut(int x, int y, unsigned options, const CRect* rect, const std::string& text) {
  if (!IsDrawing()) return false;
  if (rect && (options & ETO_OPAQUE)) m_painter->fillRect(rect->ToQt(), fw::ToQColor(m_bkColour));
  if (text.empty()) return true;
  QString s = fw::ToQ(text);
  QFontMetrics fm(m_qfont);
  if (m_textAlign & TA_UPDATECP) x = m_current.x, y = m_current.y;
  // Left-aligned text without a current position to move needs no measure.
  const bool measure = (m_textAlign & (TA_CENTER | TA_RIGHT | TA_UPDATECP)) != 0;
  const int width = measure ? fm.horizontalAdvance(s) : 0;
  int dx = 0;
  if ((m_textAlign & TA_CENTER) == TA_CENTER)
    dx = -width / 2;
  else if (m_textAlign & TA_RIGHT)
    dx = -width;
  int dy = 0;  // from the reference point to the cell top
  if ((m_textAlign & TA_BASELINE) == TA_BASELINE)
    dy = -fm.ascent();
  else if (m_textAlign & TA_BOTTOM)
    dy = -fm.height();
  bool clipped = rect && (options & ETO_CLIPPED);
  m_painter->save();
  if (clipped)
    m_painter->setClipRect(rect->ToQt(), m_clip.on ? Qt::IntersectClip : Qt::ReplaceClip);
  int escapement = m_font ? m_font->logFont().lfEscapement : 0;
  if (escapement != 0) {
    // Rotated about the reference point, counter-clockwise in tenths of a degree.
    m_painter->translate(x, y);
    m_painter->rotate(-escapement / 10.0);
    DrawTextLine(dx, dy, s, nullptr);
  } else {
    DrawTextLine(x + dx, y + dy, s, clipped ? rect : nullptr);
  }
  m_painter->restore();
  if (m_textAlign & TA_UPDATECP) m_current.x += width;
  return true;
}

int CDC::DrawText(const std::string& text, CRect* rect, unsigned format) {
  if (!rect) return 0;
  QFontMetrics fm(m_qfont);
  QString s = fw::ToQ(text);
  qsizetype mnemonic = -1;
  if (!(format & DT_NOPREFIX)) s = StripPrefix(s, &mnemonic);
  const QString unwrapped = s;
  if (format & DT_EXPANDTABS) s = ExpandTabs(s);
  const int width = rect->Width();
  const int lineHeight =
      fm.height() + ((format & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);

  QStringList paragraphs;
  if (format & DT_SINGLELINE) {
    s.remove(QLatin1Char('\r'));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    paragraphs << s;
  } else {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    paragraphs = s.split(QLatin1Char('\n'));
    if (paragraphs.size() > 1 && paragraphs.back().isEmpty()) paragraphs.removeLast();
  }

  QStringList lines;
  bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
  for (const QString& para : paragraphs) {
    if (!wrap) {
      lines << para;
      continue;
    }
    // Greedy breaking at blanks; a word wider than the rectangle keeps its
    // own line (and is cut only with DT_EDITCONTROL).
    QString line;
    qsizetype i = 0;
    bool any = false;
    while (i < para.size()) {
      qsizetype j = i;
      while (j < para.size() && para[j] != QLatin1Char(' ')) ++j;
      qsizetype k = j;
      while (k < para.size() && para[k] == QLatin1Char(' ')) ++k;
      QString word = para.mid(i, j - i);
      QString candidate = line + word;
      if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width) {
        lines << line.trimmed();
        line.clear();
        candidate = word;
      }
      if ((format & DT_EDITCONTROL) && fm.horizontalAdvance(candidate) > width && width > 0) {
        QString part;
        for (QChar c : candidate) {
          if (!part.isEmpty() && fm.horizontalAdvance(part + c) > width) {
            lines << part;
            part.clear();
          }
          part += c;
        }
        candidate = part;
      }
      line = candidate + para.mid(j, k - j);
      any = true;
      i = k;
    }
    if (any || para.isEmpty()) {
      while (line.endsWith(QLatin1Char(' '))) line.chop(1);
      lines << line;
    }
  }

  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
    Qt::TextElideMode mode = (format & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
    for (QString& l : lines)
      if (fm.horizontalAdvance(l) > width) l = fm.elidedText(l, mode, std::max(0, width));
  }

  int total = static_cast<int>(lines.size()) * lineHeight;
  int maxWidth = 0;
  for (const QString& l : lines) maxWidth = std::max(maxWidth, fm.horizontalAdvance(l));

  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      y = rect->top + (rect->Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      y = rect->bottom - lineHeight;
  }

  if (format & DT_CALCRECT) {
    rect->right = rect->left + maxWidth;
    rect->bottom = rect->top + total;
    return total;
  }
  if (!IsDrawing()) return y - rect->top + total;

  m_painter->save();
  if (!(format & DT_NOCLIP))
    m_painter->setClipRect(rect->ToQt(), m_clip.on ? Qt::IntersectClip : Qt::ReplaceClip);
  for (const QString& l : lines) {
    int w = fm.horizontalAdvance(l);
    int x = rect->left;
    if (format & DT_CENTER)
      x = rect->left + (width - w) / 2;
    else if (format & DT_RIGHT)
      x = rect->right - w;
    DrawTextLine(x, y, l, (format & DT_NOCLIP) ? nullptr : rect);
    // The marked letter is underlined where the line shows the text as it
    // came (one line, not elided), as a menu item's or a button's label.
    if (mnemonic >= 0 && lines.size() == 1 && l == unwrapped && mnemonic < l.size()) {
      const int ux = x + fm.horizontalAdvance(l.left(mnemonic));
      const int uw = fm.horizontalAdvance(l.mid(mnemonic, 1));
      const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
      m_painter->fillRect(QRect(ux, uy, std::max(1, uw), std::max(1, fm.lineWidth())),
                          fw::ToQColor(m_textColour));
    }
    y += lineHeight;
  }
  m_painter->restore();
  return y - rect->top;
}

// ---- image DC -----------------------------------------------------------------------

CImageDC::CImageDC(int width, int height, COLORREF fill)
    : m_surface(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
  m_surface.fill(fw::ToQColor(fill));
  m_ownPainter = std::make_unique<QPainter>(&m_surface);
  Begin(m_ownPainter.get(), &m_surface);
}

CImageDC::~CImageDC() {
  End();
}

const QImage& CImageDC::Snapshot() {
  // The raster engine writes straight into the image; reading is safe.
  return m_surface;
}
