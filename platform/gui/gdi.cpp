#include "platform/gui/gdi.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/gui/qtstring.h"

namespace {

// The classic 3-D scheme: what the drawing code's colour choices were made for.
constexpr std::array<COLORREF, COLOR_COUNT> kClassicColours = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3-D dark shadow
    RGB(212, 208, 200),  // 3-D light
    RGB(0, 0, 0),        // tool tip text
    RGB(255, 255, 225),  // tool tip background
    RGB(181, 181, 181),  // (unused slot)
    RGB(0, 0, 128),      // hot-tracked item
    RGB(166, 202, 240),  // gradient of the active caption
    RGB(192, 192, 192),  // gradient of the inactive caption
    RGB(10, 36, 106),    // menu highlight
    RGB(212, 208, 200),  // menu bar
};

struct Tables {
  std::mutex mutex;
  std::array<COLORREF, COLOR_COUNT> colours = kClassicColours;
  std::array<int, SM_METRIC_COUNT> metrics{};
  std::array<bool, SM_METRIC_COUNT> metricSet{};
  std::array<std::unique_ptr<CBrush>, COLOR_COUNT> brushes;
};

Tables& tables() {
  static Tables t;
  return t;
}

int ClassicMetric(int index) {
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN: {
      QSize size(1024, 768);
      if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = app->primaryScreen()) size = s->size();
      }
      bool x = index == SM_CXSCREEN || index == SM_CXFULLSCREEN;
      return x ? size.width() : size.height();
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    default: return 0;
  }
}

// Dialog faces of the original platform have no counterpart here; every one
// of them resolves to the same sans-serif face.
QString MapFace(const char* face) {
  std::string f(face, strnlen(face, LF_FACESIZE));
  if (f.empty() || f == "MS Shell Dlg" || f == "MS Shell Dlg 2" || f == "MS Sans Serif" ||
      f == "System" || f == "Tahoma")
    return QStringLiteral("Arial");
  return fw::ToQ(f);
}

}  // namespace

COLORREF GetSysColor(int index) {
  if (index < 0 || index >= COLOR_COUNT) return 0;
  std::lock_guard lock(tables().mutex);
  return tables().colours[static_cast<std::size_t>(index)];
}

int GetSystemMetrics(int index) {
  if (index < 0 || index >= SM_METRIC_COUNT) return 0;
  {
    std::lock_guard lock(tables().mutex);
    if (tables().metricSet[static_cast<std::size_t>(index)])
      return tables().metrics[static_cast<std::size_t>(index)];
  }
  return ClassicMetric(index);
}

CBrush* GetSysColorBrush(int index) {
  if (index < 0 || index >= COLOR_COUNT) index = COLOR_WINDOW;
  Tables& t = tables();
  std::lock_guard lock(t.mutex);
  auto& b = t.brushes[static_cast<std::size_t>(index)];
  if (!b) b = std::make_unique<CBrush>();
  b->CreateSolidBrush(t.colours[static_cast<std::size_t>(index)]);
  return b.get();
}

namespace fw {

void SetSysColor(int index, COLORREF colour) {
  if (index < 0 || index >= COLOR_COUNT) return;
  std::lock_guard lock(tables().mutex);
  tables().colours[static_cast<std::size_t>(index)] = colour;
}

void SetSystemMetric(int index, int value) {
  if (index < 0 || index >= SM_METRIC_COUNT) return;
  std::lock_guard lock(tables().mutex);
  tables().metrics[static_cast<std::size_t>(index)] = value;
  tables().metricSet[static_cast<std::size_t>(index)] = true;
}

void ResetSystemTables() {
  std::lock_guard lock(tables().mutex);
  tables().colours = kClassicColours;
  tables().metricSet.fill(false);
}

void SetFaceName(LOGFONT& lf, const std::string& face) {
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  std::memcpy(lf.lfFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
}

LOGFONT DefaultGuiLogFont() {
  LOGFONT lf;
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  SetFaceName(lf, "MS Shell Dlg");
  return lf;
}

QFont FontFromLogFont(const LOGFONT& lf) {
  QFont f(MapFace(lf.lfFaceName));
  f.setKerning(false);  // text widths add up glyph by glyph, as measured
  f.setStyleHint(QFont::SansSerif);
  int weight = lf.lfWeight < 100 ? FW_NORMAL : std::min(lf.lfWeight, 900);
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setItalic(lf.lfItalic != 0);
  f.setUnderline(lf.lfUnderline != 0);
  f.setStrikeOut(lf.lfStrikeOut != 0);
  if (lf.lfHeight < 0) {
    f.setPixelSize(std::max(1, -lf.lfHeight));
  } else if (lf.lfHeight > 0) {
    // A cell height: find the em size whose ascent + descent matches it.
    int want = lf.lfHeight;
    int px = want;
    for (int i = 0; i < 4; ++i) {
      f.setPixelSize(std::max(1, px));
      int cell = QFontMetrics(f).height();
      if (cell == want || cell <= 0) break;
      int next = std::max(1, px * want / cell);
      if (next == px) next += cell < want ? 1 : -1;
      px = std::max(1, next);
    }
    f.setPixelSize(std::max(1, px));
    if (QFontMetrics(f).height() > want && px > 1) f.setPixelSize(px - 1);
  } else {
    f.setPixelSize(12);
  }
  if (lf.lfWidth > 0) {
    int avg = QFontMetrics(f).averageCharWidth();
    if (avg > 0) f.setStretch(std::clamp(lf.lfWidth * 100 / avg, 1, 4000));
  }
  return f;
}

}  // namespace fw

// ---- objects -----------------------------------------------------------------

bool CPen::CreatePen(int style, int width, COLORREF colour) {
  m_style = style;
  m_width = std::max(width, 0);
  m_colour = colour;
  m_valid = true;
  return true;
}

bool CBrush::CreateSolidBrush(COLORREF colour) {
  m_colour = colour;
  m_null = false;
  m_pattern = QImage();
  m_valid = true;
  return true;
}

bool CBrush::CreateNullBrush() {
  m_null = true;
  m_pattern = QImage();
  m_valid = true;
  return true;
}

bool CBrush::CreatePatternBrush(const CBitmap* bitmap) {
  if (!bitmap || !bitmap->IsValid() || bitmap->image().isNull()) return false;
  QImage img = bitmap->image().convertToFormat(QImage::Format_RGB32);
  // GDI uses the top-left 8x8 of larger bitmaps.
  if (img.width() > 8 || img.height() > 8)
    img = img.copy(0, 0, std::min(8, img.width()), std::min(8, img.height()));
  m_pattern = img;
  m_colour = fw::FromQColor(QColor(img.pixel(0, 0)));
  m_null = false;
  m_valid = true;
  return true;
}

QBrush CBrush::ToQt() const {
  if (!m_valid || m_null) return QBrush(Qt::NoBrush);
  if (!m_pattern.isNull()) return QBrush(m_pattern);
  return QBrush(fw::ToQColor(m_colour));
}

bool CBitmap::CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                           const void* bits) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || planes != 1) return false;
  if (bitsPerPixel == 1) {
    QImage img(width, height, QImage::Format_Mono);
    img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    img.fill(0);
    if (bits) {
      const auto* src = static_cast<const std::uint8_t*>(bits);
      int stride = ((width + 15) / 16) * 2;
      for (int y = 0; y < height; ++y)
        std::memcpy(img.scanLine(y), src + static_cast<std::size_t>(y) * stride,
                    static_cast<std::size_t>((width + 7) / 8));
    }
    m_image = img;
  } else if (bitsPerPixel == 32) {
    QImage img(width, height, QImage::Format_RGB32);
    if (bits) {
      std::memcpy(img.bits(), bits, static_cast<std::size_t>(width) * height * 4);
    } else {
      img.fill(Qt::black);
    }
    m_image = img;
  } else {
    return false;
  }
  m_valid = true;
  return true;
}

bool CBitmap::CreateCompatibleBitmap(int width, int height) {
  if (width < 0 || height < 0 || width > 32767 || height > 32767) return false;
  m_image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  m_image.fill(Qt::black);
  m_valid = true;
  return true;
}

bool CBitmap::FromImage(const QImage& image) {
  if (image.isNull()) return false;
  m_image =
      image.format() == QImage::Format_Mono ? image : image.convertToFormat(QImage::Format_RGB32);
  m_valid = true;
  return true;
}

void CBitmap::SetMonoColours(COLORREF zero, COLORREF one) {
  if (m_image.format() != QImage::Format_Mono) return;
  m_image.setColorTable({fw::ToQColor(zero).rgb(), fw::ToQColor(one).rgb()});
}

bool CFont::CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return false;
  m_lf = *lf;
  m_lf.lfFaceName[LF_FACESIZE - 1] = 0;
  m_font = fw::FontFromLogFont(m_lf);
  m_valid = true;
  return true;
}

bool CFont::CreatePointFont(int pointSizeTenths, const std::string& face) {
  LOGFONT lf;
  lf.lfHeight = pointSizeTenths;
  lf.lfWeight = FW_NORMAL;
  fw::SetFaceName(lf, face);
  return CreatePointFontIndirect(&lf);
}

bool CFont::CreatePointFontIndirect(const LOGFONT* lf) {
  if (!lf) return false;
  LOGFONT copy = *lf;
  // Tenths of a point at 96 pixels per inch, as a character height.
  int h = std::abs(copy.lfHeight);
  copy.lfHeight = -((h * 96 + 360) / 720);
  return CreateFontIndirect(&copy);
}

int CFont::GetLogFont(LOGFONT* out) const {
  if (!out || !m_valid) return 0;
  *out = m_lf;
  return static_cast<int>(sizeof(LOGFONT));
}

namespace {

struct StockObjects {
  CBrush brushes[6];
  CPen pens[3];
  CFont guiFont;
  CFont systemFont;
  StockObjects() {
    brushes[WHITE_BRUSH].CreateSolidBrush(RGB(255, 255, 255));
    brushes[LTGRAY_BRUSH].CreateSolidBrush(RGB(192, 192, 192));
    brushes[GRAY_BRUSH].CreateSolidBrush(RGB(128, 128, 128));
    brushes[DKGRAY_BRUSH].CreateSolidBrush(RGB(64, 64, 64));
    brushes[BLACK_BRUSH].CreateSolidBrush(RGB(0, 0, 0));
    brushes[NULL_BRUSH].CreateNullBrush();
    // Fixed pens and fonts from a LOGFONT at hand: nothing to fail.
    (void)pens[0].CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    (void)pens[1].CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    (void)pens[2].CreatePen(PS_NULL, 0, 0);
    LOGFONT lf = fw::DefaultGuiLogFont();
    (void)guiFont.CreateFontIndirect(&lf);
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    (void)systemFont.CreateFontIndirect(&lf);
  }
};

}  // namespace

CGdiObject* GetStockObject(int index) {
  static StockObjects stock;
  if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return &stock.brushes[index];
  if (index >= WHITE_PEN && index <= NULL_PEN) return &stock.pens[index - WHITE_PEN];
  if (index == DEFAULT_GUI_FONT || index == ANSI_VAR_FONT) return &stock.guiFont;
  if (index == SYSTEM_FONT) return &stock.systemFont;
  return nullptr;
}

namespace fw {

namespace {
std::map<int, std::unique_ptr<CIconImage>>& IconRegistry() {
  static std::map<int, std::unique_ptr<CIconImage>> icons;
  return icons;
}
std::mutex& IconMutex() {
  static std::mutex m;
  return m;
}
}  // namespace

void RegisterIcon(int id, const QImage& image) {
  std::lock_guard lock(IconMutex());
  auto& slot = IconRegistry()[id];
  // An icon handle stays valid once given out: replace the image in place.
  if (!slot) slot = std::make_unique<CIconImage>();
  slot->image = image.convertToFormat(QImage::Format_ARGB32);
  slot->hotSpot = CPoint(image.width() / 2, image.height() / 2);
}

}  // namespace fw

bool CBitmap::LoadBitmap(unsigned id) {
  QImage image = fw::LoadImageResource(fw::ImageKind::Bitmap, id, nullptr);
  return !image.isNull() && FromImage(image);
}

namespace fw {

QImage LoadImageResource(ImageKind kind, unsigned id, CPoint* hotSpot) {
  const CImageRef* ref = FindImageResource(kind, id);
  if (!ref) return {};
  QImage image(QStringLiteral(":/images/") + fw::ToQ(ref->file));
  if (hotSpot) {
    *hotSpot = ref->hotX < 0 ? CPoint(image.width() / 2, image.height() / 2)
                             : CPoint(ref->hotX, ref->hotY);
  }
  return image;
}

HICON LoadIconResource(int id) {
  {
    std::lock_guard lock(IconMutex());
    auto it = IconRegistry().find(id);
    if (it != IconRegistry().end()) return it->second->image.isNull() ? nullptr : it->second.get();
  }
  // First use of an icon of the bundle: load it once, keep it for the run.
  QImage image = LoadImageResource(ImageKind::Icon, static_cast<unsigned>(id), nullptr);
  if (image.isNull()) return nullptr;
  RegisterIcon(id, image);
  return LoadIconResource(id);
}

}  // namespace fw
