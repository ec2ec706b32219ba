#include "platform/gui/toolbar.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMainWindow>
#include <QStyle>
#include <QToolBar>
#include <QToolTip>
#include <algorithm>

#include "platform/gui/qtstring.h"
#include "platform/profile.h"
#include "platform/resourcebundle.h"
#include "platform/resstring.h"

namespace {

constexpr int kDefaultSeparator = 8;
constexpr int kPadX = 7;  // button minus image, as the control pads them
constexpr int kPadY = 6;
constexpr int kTextMargin = 3;
constexpr std::size_t kMaxSavedButtons = 4096;

// The bar's window: sizes itself from the bar's layout and shows tool tips.
class CToolBarWidget : public fw::CPeerWidget {
 public:
  explicit CToolBarWidget(QWidget* parent) : fw::CPeerWidget(parent) { setAttribute(Qt::WA_Hover); }
  QSize sizeHint() const override {
    auto* bar =
        dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(const_cast<CToolBarWidget*>(this)));
    return bar ? bar->DockedSize().ToQt() : QSize(0, 0);
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) {
      auto* he = static_cast<QHelpEvent*>(e);
      auto* bar = dynamic_cast<CToolBar*>(CWnd::FromHandlePermanent(this));
      if (bar && (bar->GetBarStyle() & CBRS_TOOLTIPS)) {
        int index = bar->HitTest(CPoint(he->pos()));
        TBBUTTON b;
        if (index >= 0 && bar->GetButton(index, &b) && b.idCommand) {
          // A command's tip is the part of its string after the newline.
          std::string text = LoadResString(static_cast<unsigned>(b.idCommand));
          std::size_t nl = text.find('\n');
          if (nl != std::string::npos) {
            CRect r;
            bar->GetItemRect(index, &r);
            QToolTip::showText(he->globalPos(), fw::ToQ(text.substr(nl + 1)), this, r.ToQt());
            return true;
          }
        }
      }
      QToolTip::hideText();
      e->ignore();
      return true;
    }
    return fw::CPeerWidget::event(e);
  }
};

void PutInt32(std::vector<std::uint8_t>& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

std::int32_t GetInt32(const std::vector<std::uint8_t>& in, std::size_t at) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i)
    u |= static_cast<std::uint32_t>(in[at + static_cast<std::size_t>(i)]) << (8 * i);
  return static_cast<std::int32_t>(u);
}

}  // namespace

// ---- saved button order ------------------------------------------------------------

namespace fw {

// Layout: int32 count, then per button int32 command, int32 image (a
// separator's width), uint8 style, uint8 state; little-endian.
std::vector<std::uint8_t> SaveToolBarButtons(const std::vector<TBBUTTON>& buttons) {
  std::vector<std::uint8_t> out;
  PutInt32(out, static_cast<std::int32_t>(buttons.size()));
  for (const TBBUTTON& b : buttons) {
    PutInt32(out, b.idCommand);
    PutInt32(out, b.iBitmap);
    out.push_back(b.fsStyle);
    out.push_back(static_cast<std::uint8_t>(b.fsState & ~TBSTATE_PRESSED));
  }
  return out;
}

bool ParseToolBarButtons(const std::vector<std::uint8_t>& blob, std::vector<TBBUTTON>* buttons) {
  constexpr std::size_t kRecord = 10;
  if (blob.size() < 4) return false;
  const std::int32_t count = GetInt32(blob, 0);
  if (count < 0 || static_cast<std::size_t>(count) > kMaxSavedButtons) return false;
  if (blob.size() != 4 + static_cast<std::size_t>(count) * kRecord) return false;
  std::vector<TBBUTTON> parsed;
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    const std::size_t at = 4 + i * kRecord;
    TBBUTTON b;
    b.idCommand = GetInt32(blob, at);
    b.iBitmap = GetInt32(blob, at + 4);
    b.fsStyle = blob[at + 8];
    b.fsState = blob[at + 9];
    const bool separator = (b.fsStyle & TBSTYLE_SEP) != 0;
    if (b.idCommand < 0 || b.idCommand > 0xFFFF) return false;
    if (b.iBitmap < -1 || b.iBitmap > 0xFFFF) return false;
    if (!separator && b.idCommand == 0) return false;
    b.fsState &= static_cast<std::uint8_t>(~TBSTATE_PRESSED);
    parsed.push_back(b);
  }
  if (buttons) *buttons = std::move(parsed);
  return true;
}

int ToolBarDropDownArrowWidth() {
  QStyle* style = QApplication::style();
  int w = style ? style->pixelMetric(QStyle::PM_MenuButtonIndicator) : 0;
  return std::max(w, 8);
}

}  // namespace fw

// ---- update-UI ----------------------------------------------------------------------

void CToolCmdUI::Enable(bool on) {
  CCmdUI::Enable(on);
  if (!m_bar) return;
  const int index = static_cast<int>(m_nIndex);
  TBBUTTON b;
  if (!m_bar->GetButton(index, &b)) return;
  if (b.fsStyle & TBSTYLE_SEP) {
    // A separator with an id carries a window: enable the window.
    if (b.idCommand)
      if (CWnd* w = m_bar->GetDlgItem(b.idCommand)) w->EnableWindow(on);
    return;
  }
  std::uint8_t state = b.fsState;
  state = on ? (state | TBSTATE_ENABLED) : (state & ~(TBSTATE_ENABLED | TBSTATE_PRESSED));
  m_bar->SetButtonState(index, state);
}

void CToolCmdUI::SetCheck(int check) {
  CCmdUI::SetCheck(check);
  if (!m_bar) return;
  const int index = static_cast<int>(m_nIndex);
  std::uint8_t state = m_bar->GetButtonState(index);
  state &= static_cast<std::uint8_t>(~(TBSTATE_CHECKED | TBSTATE_INDETERMINATE));
  if (check == 1) state |= TBSTATE_CHECKED;
  if (check == 2) state |= TBSTATE_INDETERMINATE;
  m_bar->SetButtonState(index, state);
}

// ---- CControlBar ----------------------------------------------------------------------

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
  if (IsWindow()) CControlBar::DestroyWindow();
  delete m_host.data();
}

bool CControlBar::DestroyWindow() {
  QPointer<QToolBar> host = m_host;
  bool done = CWnd::DestroyWindow();
  if (host) {
    host->hide();
    if (fw::DispatchDepth() > 0)
      host->deleteLater();
    else
      delete host.data();
  }
  return done;
}

QWidget* CControlBar::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  auto* host = new QToolBar(parent);
  host->setObjectName(QStringLiteral("fw_dock_host"));
  host->setMovable((m_dwStyle & CBRS_GRIPPER) != 0);
  host->setFloatable(true);
  host->setAllowedAreas(Qt::NoToolBarArea);
  host->setContentsMargins(0, 0, 0, 0);
  m_host = host;
  auto* inner = new CToolBarWidget(host);
  host->addWidget(inner);
  QObject::connect(host, &QToolBar::orientationChanged, host, [this] { HostChanged(); });
  QObject::connect(host, &QToolBar::topLevelChanged, host, [this] { HostChanged(); });
  if (auto* main = qobject_cast<QMainWindow*>(parent)) {
    Qt::ToolBarArea area = Qt::TopToolBarArea;
    if (m_dwStyle & CBRS_ALIGN_BOTTOM) area = Qt::BottomToolBarArea;
    if (m_dwStyle & CBRS_ALIGN_LEFT) area = Qt::LeftToolBarArea;
    if (m_dwStyle & CBRS_ALIGN_RIGHT) area = Qt::RightToolBarArea;
    if (m_dwStyle & CBRS_ALIGN_TOP) area = Qt::TopToolBarArea;
    main->addToolBar(area, host);
  }
  host->show();
  return inner;
}

void CControlBar::SetBarStyle(std::uint32_t style) {
  m_dwStyle = style & CBRS_ALL;
  if (m_host) m_host->setMovable((m_dwStyle & CBRS_GRIPPER) != 0);
}

void CControlBar::EnableDocking(std::uint32_t style) {
  m_dockStyle = style & CBRS_ALIGN_ANY;
  if (!m_host) return;
  Qt::ToolBarAreas areas = Qt::NoToolBarArea;
  if (style & CBRS_ALIGN_TOP) areas |= Qt::TopToolBarArea;
  if (style & CBRS_ALIGN_BOTTOM) areas |= Qt::BottomToolBarArea;
  if (style & CBRS_ALIGN_LEFT) areas |= Qt::LeftToolBarArea;
  if (style & CBRS_ALIGN_RIGHT) areas |= Qt::RightToolBarArea;
  m_host->setAllowedAreas(areas);
}

bool CControlBar::IsFloating() const {
  return m_host && m_host->isFloating();
}

bool CControlBar::IsHorizontal() const {
  return !m_host || m_host->orientation() == Qt::Horizontal;
}

CWnd* CControlBar::GetOwner() const {
  return m_owner ? m_owner : GetParent();
}

void CControlBar::SetOwner(CWnd* owner) {
  m_owner = owner;
}

void CControlBar::HostChanged() {
  std::uint32_t align = CBRS_ALIGN_TOP;
  if (m_host) {
    if (auto* main = qobject_cast<QMainWindow*>(m_host->parentWidget())) {
      switch (main->toolBarArea(m_host)) {
        case Qt::LeftToolBarArea: align = CBRS_ALIGN_LEFT; break;
        case Qt::RightToolBarArea: align = CBRS_ALIGN_RIGHT; break;
        case Qt::BottomToolBarArea: align = CBRS_ALIGN_BOTTOM; break;
        default: align = CBRS_ALIGN_TOP; break;
      }
    } else if (m_host->orientation() == Qt::Vertical) {
      align = CBRS_ALIGN_LEFT;
    }
  }
  m_dwStyle =
      (m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | align | (IsFloating() ? CBRS_FLOATING : 0u);
  if (QWidget* w = widget()) w->updateGeometry();
  SendMessage(WM_WINDOWPOSCHANGED, 0, 0);
}

CSize CControlBar::CalcFixedLayout(bool, bool horizontal) {
  return horizontal ? CSize(0, 0) : CSize(0, 0);
}

CSize CControlBar::CalcDynamicLayout(int, std::uint32_t mode) {
  return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

CSize CControlBar::DockedSize() {
  const bool horizontal = IsHorizontal();
  return CalcDynamicLayout(-1, (horizontal ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK) | LM_COMMIT);
}

LRESULT CControlBar::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_IDLEUPDATECMDUI) {
    if (IsWindowVisible()) {
      CWnd* owner = GetOwner();
      OnUpdateCmdUI(owner, w != 0);
    }
    return 0;
  }
  return CWnd::WindowProc(msg, w, l);
}

// ---- CToolBar: creation and access -----------------------------------------------------

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

bool CToolBar::CreateEx(CWnd* parent, std::uint32_t ctrlStyle, std::uint32_t style, CRect, int id) {
  m_dwStyle = style & CBRS_ALL;
  m_owner = parent;
  const std::uint32_t windowStyle = (style & ~CBRS_ALL) | (ctrlStyle & 0xFFFF) | WS_CHILD;
  if (!CWnd::CreateEx(0, "ToolbarWindow32", "", windowStyle, CRect(), parent, id)) return false;
  Relayout();
  return true;
}

bool CToolBar::LoadToolBar(unsigned id) {
  const fw::CToolBarTemplate* t = fw::FindToolBarResource(id);
  if (!t) return false;
  auto images = std::make_unique<CImageList>();
  if (!images->Create(t->width, t->height, ILC_COLOR24 | ILC_MASK, 0, 0)) return false;
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(id) || images->Add(&bitmap, RGB(192, 192, 192)) < 0) return false;
  m_ownImages = std::move(images);
  SetImageList(m_ownImages.get());
  SetSizes(CSize(t->width + 7, t->height + 7), CSize(t->width, t->height));
  return SetButtons(t->items.data(), static_cast<int>(t->items.size()));
}

bool CToolBar::SetButtons(const UINT* ids, int count) {
  while (GetCount() > 0) DeleteButton(GetCount() - 1);
  int image = 0;
  for (int i = 0; i < count; ++i) {
    TBBUTTON b;
    if (!ids || ids[i] == 0) {
      b.fsStyle = TBSTYLE_SEP;
      b.iBitmap = kDefaultSeparator;
    } else {
      b.idCommand = static_cast<int>(ids[i]);
      b.iBitmap = image++;
      b.fsState = TBSTATE_ENABLED;
    }
    if (!InsertButton(i, &b)) return false;
  }
  return true;
}

void CToolBar::SetSizes(CSize button, CSize image) {
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(image.cx, image.cy));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
}

int CToolBar::GetCount() const {
  return static_cast<int>(const_cast<CToolBar*>(this)->SendMessage(TB_BUTTONCOUNT));
}

UINT CToolBar::GetItemID(int index) const {
  TBBUTTON b;
  return GetButton(index, &b) ? static_cast<UINT>(b.idCommand) : 0;
}

int CToolBar::CommandToIndex(UINT id) const {
  return static_cast<int>(const_cast<CToolBar*>(this)->SendMessage(TB_COMMANDTOINDEX, id));
}

void CToolBar::GetItemRect(int index, CRect* rect) const {
  if (!const_cast<CToolBar*>(this)->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(rect)) &&
      rect)
    *rect = CRect();
}

bool CToolBar::GetButton(int index, TBBUTTON* button) const {
  return const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index),
                                                  reinterpret_cast<LPARAM>(button)) != 0;
}

bool CToolBar::InsertButton(int index, const TBBUTTON* button) {
  return SendMessage(TB_INSERTBUTTON, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(button)) != 0;
}

bool CToolBar::DeleteButton(int index) {
  return SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index)) != 0;
}

bool CToolBar::MoveButton(int from, int to) {
  return SendMessage(TB_MOVEBUTTON, static_cast<WPARAM>(from), static_cast<LPARAM>(to)) != 0;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
  TBBUTTONINFO info;
  info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_IMAGE;
  info.idCommand = static_cast<int>(id);
  info.fsStyle = static_cast<std::uint8_t>(style);
  info.iImage = image;
  SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
  TBBUTTON b;
  if (!GetButton(index, &b)) {
    id = style = 0;
    image = 0;
    return;
  }
  id = static_cast<UINT>(b.idCommand);
  style = b.fsStyle;
  image = b.iBitmap;
}

bool CToolBar::SetButtonText(int index, const std::string& text) {
  TBBUTTONINFO info;
  info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
  info.text = text;
  return SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&info)) != 0;
}

std::string CToolBar::GetButtonText(int index) const {
  TBBUTTONINFO info;
  info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
  const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTONINFO, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(&info));
  return info.text;
}

int CToolBar::HitTest(CPoint point) const {
  return static_cast<int>(
      const_cast<CToolBar*>(this)->SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
}

UINT CToolBar::GetState(UINT id) const {
  return static_cast<UINT>(const_cast<CToolBar*>(this)->SendMessage(TB_GETSTATE, id));
}

bool CToolBar::SetState(UINT id, UINT state) {
  return SendMessage(TB_SETSTATE, id, MAKELPARAM(static_cast<int>(state), 0)) != 0;
}

std::uint8_t CToolBar::GetButtonState(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= m_buttons.size()) return 0;
  return m_buttons[static_cast<std::size_t>(index)].tb.fsState;
}

void CToolBar::SetButtonState(int index, std::uint8_t state) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_buttons.size()) return;
  auto& b = m_buttons[static_cast<std::size_t>(index)].tb;
  if (b.fsState == state) return;
  const bool layout = ((b.fsState ^ state) & (TBSTATE_HIDDEN | TBSTATE_WRAP)) != 0;
  b.fsState = state;
  if (layout)
    Relayout();
  else
    Invalidate(false);
}

CSize CToolBar::GetButtonSize() const {
  const auto v =
      static_cast<std::uintptr_t>(const_cast<CToolBar*>(this)->SendMessage(TB_GETBUTTONSIZE));
  return CSize(static_cast<int>(LOWORD(v)), static_cast<int>(HIWORD(v)));
}

void CToolBar::SetImageList(CImageList* list) {
  SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
}

void CToolBar::SetHotImageList(CImageList* list) {
  SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
}

int CToolBar::GetTextRows() const {
  return static_cast<int>(const_cast<CToolBar*>(this)->SendMessage(TB_GETTEXTROWS));
}

const QFont& CToolBar::ButtonFont() const {
  static QFont fallback;
  if (CFont* f = const_cast<CToolBar*>(this)->GetFont(); f && f->IsValid()) return f->font();
  fallback = fw::FontFromLogFont(fw::DefaultGuiLogFont());
  return fallback;
}

std::vector<TBBUTTON> CToolBar::Buttons() const {
  std::vector<TBBUTTON> out;
  for (const Button& b : m_buttons) out.push_back(b.tb);
  return out;
}

void CToolBar::CommitWraps(const std::vector<TBBUTTON>& buttons) {
  bool changed = false;
  for (std::size_t i = 0; i < buttons.size() && i < m_buttons.size(); ++i) {
    const std::uint8_t wrap = buttons[i].fsState & TBSTATE_WRAP;
    std::uint8_t& state = m_buttons[i].tb.fsState;
    if ((state & TBSTATE_WRAP) != wrap) {
      state = static_cast<std::uint8_t>((state & ~TBSTATE_WRAP) | wrap);
      changed = true;
    }
  }
  if (changed) ComputeRects();
}

void CToolBar::CancelPress() {
  if (m_pressed >= 0 && static_cast<std::size_t>(m_pressed) < m_buttons.size())
    SetButtonState(m_pressed, GetButtonState(m_pressed) & ~TBSTATE_PRESSED);
  m_pressed = -1;
  if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
}

// ---- layout ---------------------------------------------------------------------------------

std::vector<std::string> CToolBar::WrappedText(const std::string& text, int width) const {
  std::vector<std::string> lines;
  if (text.empty() || m_maxTextRows <= 0) return lines;
  QFontMetrics fm(ButtonFont());
  const QString all = fw::ToQ(text);
  if (width <= 0) {
    lines.push_back(text);
    return lines;
  }
  // Greedy word wrap; the last allowed row takes the rest.
  const QStringList words = all.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  QString line;
  for (const QString& word : words) {
    QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width &&
        static_cast<int>(lines.size()) + 1 < m_maxTextRows) {
      lines.push_back(line.toStdString());
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.isEmpty()) lines.push_back(line.toStdString());
  return lines;
}

// The measures hold while the font, the wrap width and the row limit do.
void CToolBar::ValidateMeasures() const {
  const QFont& font = ButtonFont();
  const int wrap = m_maxWidth > 0 ? m_maxWidth - 2 * kTextMargin : 0;
  if (m_measuredWrap == wrap && m_measuredRows == m_maxTextRows && m_measuredFont == font) return;
  m_measured.clear();
  m_measuredFont = font;
  m_measuredWrap = wrap;
  m_measuredRows = m_maxTextRows;
  m_lineHeight = QFontMetrics(font).height();
}

const CToolBar::MeasuredText& CToolBar::Measured(const std::string& text) const {
  ValidateMeasures();
  return MeasuredAsIs(text);
}

const CToolBar::MeasuredText& CToolBar::MeasuredAsIs(const std::string& text) const {
  auto found = m_measured.find(text);
  if (found != m_measured.end()) return found->second;
  // Texts that are no longer on the bar (a language changed) go now and then.
  if (m_measured.size() > 4 * m_buttons.size() + 16) m_measured.clear();
  MeasuredText m;
  const QFontMetrics fm(m_measuredFont);
  m.lines = WrappedText(text, m_measuredWrap);
  for (const std::string& l : m.lines)
    m.widest = std::max(m.widest, fm.horizontalAdvance(fw::ToQ(l)));
  m.oneLine = fm.horizontalAdvance(fw::ToQ(text));
  return m_measured.emplace(text, std::move(m)).first->second;
}

int CToolBar::TextLineHeight() const {
  ValidateMeasures();
  return m_lineHeight;
}

CSize CToolBar::ComputedButtonSize() const {
  CSize size = m_sizeButton;
  ValidateMeasures();
  int textWidth = 0, rows = 0;
  for (const Button& b : m_buttons) {
    if ((b.tb.fsStyle & TBSTYLE_SEP) || (b.tb.fsState & TBSTATE_HIDDEN)) continue;
    const MeasuredText& m = MeasuredAsIs(b.text);
    rows = std::max(rows, static_cast<int>(m.lines.size()));
    textWidth = std::max(textWidth, m.widest);
  }
  const int lineHeight = m_lineHeight;
  const_cast<CToolBar*>(this)->m_textRowsUsed = rows;
  if (rows > 0) {
    const bool list = (GetStyle() & TBSTYLE_LIST) != 0;
    CSize need;
    if (list) {
      need.cx = m_sizeImage.cx + kPadX + textWidth + 2 * kTextMargin;
      need.cy = std::max(m_sizeImage.cy + kPadY, lineHeight + kPadY);
    } else {
      need.cx = std::max(m_sizeImage.cx + kPadX, textWidth + 2 * kTextMargin);
      need.cy = m_sizeImage.cy + kPadY + rows * lineHeight;
    }
    size.cx = std::max(size.cx, need.cx);
    size.cy = std::max(size.cy, need.cy);
  }
  if (m_minWidth > 0) size.cx = std::max(size.cx, m_minWidth);
  if (m_maxWidth > 0 && rows > 0)
    size.cx = std::min(size.cx, std::max(m_maxWidth, m_sizeImage.cx + kPadX));
  return size;
}

int CToolBar::ItemWidth(const TBBUTTON& b, int index) const {
  if (b.fsState & TBSTATE_HIDDEN) return 0;
  if (b.fsStyle & TBSTYLE_SEP) return b.iBitmap > 0 ? b.iBitmap : kDefaultSeparator;
  int width = ComputedButtonSize().cx;
  if (b.fsStyle & TBSTYLE_AUTOSIZE) {
    const std::string& text = index >= 0 && static_cast<std::size_t>(index) < m_buttons.size()
                                  ? m_buttons[static_cast<std::size_t>(index)].text
                                  : std::string();
    width = m_sizeImage.cx + kPadX;
    if (!text.empty()) width = std::max(width, Measured(text).oneLine + 2 * kTextMargin);
  }
  if ((b.fsStyle & TBSTYLE_DROPDOWN) && (m_exStyleTb & TBSTYLE_EX_DRAWDDARROWS))
    width += fw::ToolBarDropDownArrowWidth();
  return width;
}

void CToolBar::ComputeRects() {
  const CSize button = ComputedButtonSize();
  const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
  m_rects.assign(m_buttons.size(), CRect());
  CPoint cur(m_indent, 0);
  int right = m_indent;
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    const TBBUTTON& b = m_buttons[i].tb;
    if (b.fsState & TBSTATE_HIDDEN) continue;
    const int w = ItemWidth(b, static_cast<int>(i));
    const bool sep = (b.fsStyle & TBSTYLE_SEP) != 0;
    int cySep = 0;
    if (sep) cySep = flat ? w : w * 2 / 3;
    if (sep && (b.fsState & TBSTATE_WRAP)) {
      // A separator that ends a row is drawn across the gap below it.
      m_rects[i] = CRect(m_indent, cur.y + button.cy, std::max(right, m_indent + button.cx),
                         cur.y + button.cy + cySep);
    } else {
      m_rects[i] = CRect(cur.x, cur.y, cur.x + w, cur.y + button.cy);
      right = std::max(right, cur.x + w);
    }
    cur.x += w;
    if (b.fsState & TBSTATE_WRAP) {
      cur.x = m_indent;
      cur.y += button.cy + (sep ? cySep : 0);
    }
  }
}

void CToolBar::Relayout() {
  ComputeRects();
  if (QWidget* w = widget()) {
    w->updateGeometry();
    w->update();
    if (m_host && !qobject_cast<QMainWindow*>(m_host->parentWidget())) m_host->adjustSize();
  }
}

int CToolBar::WrapToolBar(TBBUTTON* buttons, int count, int width) {
  int rows = 0;
  int x = 0;
  for (int i = 0; i < count; ++i) {
    buttons[i].fsState &= static_cast<std::uint8_t>(~TBSTATE_WRAP);
    if (buttons[i].fsState & TBSTATE_HIDDEN) continue;
    const int dx = ItemWidth(buttons[i], i);
    if (x + dx > width) {
      bool found = false;
      // Break at the last plain separator of the row, else before this button.
      for (int j = i; j >= 0 && !(buttons[j].fsState & TBSTATE_WRAP); --j) {
        if ((buttons[j].fsStyle & TBSTYLE_SEP) && buttons[j].idCommand == 0 &&
            !(buttons[j].fsState & TBSTATE_HIDDEN)) {
          found = true;
          i = j;
          x = 0;
          buttons[j].fsState |= TBSTATE_WRAP;
          ++rows;
          break;
        }
      }
      if (!found) {
        for (int j = i - 1; j >= 0 && !(buttons[j].fsState & TBSTATE_WRAP); --j) {
          if ((buttons[j].fsState & TBSTATE_HIDDEN) ||
              ((buttons[j].fsStyle & TBSTYLE_SEP) && buttons[j].idCommand != 0))
            continue;
          found = true;
          i = j;
          x = 0;
          buttons[j].fsState |= TBSTATE_WRAP;
          ++rows;
          break;
        }
        if (!found) x += dx;
      }
    } else {
      x += dx;
    }
  }
  return rows + 1;
}

CSize CToolBar::CalcSize(TBBUTTON* buttons, int count) {
  const CSize button = ComputedButtonSize();
  const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
  CPoint cur(0, 0);
  CSize result(0, 0);
  for (int i = 0; i < count; ++i) {
    const TBBUTTON& b = buttons[i];
    if (b.fsState & TBSTATE_HIDDEN) continue;
    const int w = ItemWidth(b, i);
    const bool sep = (b.fsStyle & TBSTYLE_SEP) != 0;
    const int cySep = sep ? (flat ? w : w * 2 / 3) : 0;
    if (sep) {
      if (b.fsState & TBSTATE_WRAP)
        result.cy = std::max(cur.y + button.cy + cySep, result.cy);
      else
        result.cx = std::max(cur.x + w, result.cx);
    } else {
      result.cx = std::max(cur.x + w, result.cx);
      result.cy = std::max(cur.y + button.cy, result.cy);
    }
    cur.x += w;
    if (b.fsState & TBSTATE_WRAP) {
      cur.x = 0;
      cur.y += button.cy + cySep;
    }
  }
  return result;
}

CSize CToolBar::CalcLayout(std::uint32_t mode, int length) {
  std::vector<TBBUTTON> buttons = Buttons();
  const int count = static_cast<int>(buttons.size());
  if (mode & LM_VERTDOCK)
    WrapToolBar(buttons.data(), count, 0);
  else if ((mode & LM_HORZDOCK) || length < 0)
    WrapToolBar(buttons.data(), count, 32767);
  else
    WrapToolBar(buttons.data(), count, std::max(length - m_indent, 1));
  CSize size = CalcSize(buttons.data(), count);
  size.cx += m_indent;
  if (mode & LM_COMMIT) CommitWraps(buttons);
  return size;
}

CSize CToolBar::CalcFixedLayout(bool stretch, bool horizontal) {
  std::uint32_t mode =
      (stretch ? LM_STRETCH : 0) | (horizontal ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
  return CalcLayout(mode);
}

CSize CToolBar::CalcDynamicLayout(int length, std::uint32_t mode) {
  if (length == -1 && !(mode & (LM_MRUWIDTH | LM_COMMIT)) && (mode & (LM_HORZDOCK | LM_VERTDOCK)))
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZDOCK) != 0);
  return CalcLayout(mode, length);
}

void CToolBar::OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) {
  CToolCmdUI ui;
  ui.m_bar = this;
  for (int i = 0; i < GetCount(); ++i) {
    TBBUTTON b;
    if (!GetButton(i, &b) || (b.fsStyle & TBSTYLE_SEP)) continue;
    ui.m_nIndex = static_cast<unsigned>(i);
    ui.m_nID = static_cast<unsigned>(b.idCommand);
    // The bar's own update handlers come first, then the owner's route.
    if (OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui)) continue;
    ui.DoUpdate(target, disableIfNoHandler);
  }
}

// ---- the control's messages -----------------------------------------------------------------

int CToolBar::IndexFromCommand(int id) const {
  for (std::size_t i = 0; i < m_buttons.size(); ++i)
    if (m_buttons[i].tb.idCommand == id && !(m_buttons[i].tb.fsStyle & TBSTYLE_SEP))
      return static_cast<int>(i);
  return -1;
}

LRESULT CToolBar::SwapImageList(CImageList*& slot, LPARAM l) {
  CImageList* old = slot;
  slot = reinterpret_cast<CImageList*>(l);
  Invalidate(false);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT CToolBar::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  const int count = static_cast<int>(m_buttons.size());
  auto at = [&](WPARAM index) -> Button* {
    const auto i = static_cast<std::intptr_t>(index);
    return i >= 0 && i < count ? &m_buttons[static_cast<std::size_t>(i)] : nullptr;
  };
  auto byId = [&](WPARAM id) -> Button* {
    int i = IndexFromCommand(static_cast<int>(id));
    return i < 0 ? nullptr : &m_buttons[static_cast<std::size_t>(i)];
  };
  auto setBit = [&](WPARAM id, std::uint8_t bit, bool on) -> LRESULT {
    int i = IndexFromCommand(static_cast<int>(id));
    if (i < 0) return 0;
    std::uint8_t s = m_buttons[static_cast<std::size_t>(i)].tb.fsState;
    SetButtonState(i, on ? (s | bit) : (s & ~bit));
    return 1;
  };
  switch (msg) {
    case TB_BUTTONCOUNT: return count;
    case TB_GETBUTTON: {
      Button* b = at(w);
      if (!b || !l) return 0;
      *reinterpret_cast<TBBUTTON*>(l) = b->tb;
      return 1;
    }
    case TB_INSERTBUTTON: {
      const auto index = static_cast<std::intptr_t>(w);
      if (!l || index < 0 || index > count) return 0;
      Button b;
      b.tb = *reinterpret_cast<const TBBUTTON*>(l);
      m_buttons.insert(m_buttons.begin() + index, std::move(b));
      if (m_hot >= index) m_hot = -1;
      if (m_pressed >= index) m_pressed = -1;
      Relayout();
      return 1;
    }
    case TB_DELETEBUTTON: {
      if (!at(w)) return 0;
      m_buttons.erase(m_buttons.begin() + static_cast<std::ptrdiff_t>(w));
      m_hot = -1;
      if (m_pressed >= 0) {
        m_pressed = -1;
        (void)ReleaseCapture();
      }
      if (m_insertMark.iButton >= static_cast<int>(m_buttons.size())) m_insertMark.iButton = -1;
      Relayout();
      return 1;
    }
    case TB_MOVEBUTTON: {
      const auto from = static_cast<std::intptr_t>(w);
      const auto to = static_cast<std::intptr_t>(l);
      if (from < 0 || from >= count || to < 0 || to >= count) return 0;
      Button moved = m_buttons[static_cast<std::size_t>(from)];
      m_buttons.erase(m_buttons.begin() + from);
      m_buttons.insert(m_buttons.begin() + to, std::move(moved));
      m_hot = -1;
      Relayout();
      return 1;
    }
    case TB_COMMANDTOINDEX: return IndexFromCommand(static_cast<int>(w));
    case TB_GETITEMRECT: {
      if (!at(w) || !l) return 0;
      if (m_rects.size() != m_buttons.size()) ComputeRects();
      *reinterpret_cast<CRect*>(l) = m_rects[w];
      return 1;
    }
    case TB_HITTEST: {
      if (!l) return -1;
      if (m_rects.size() != m_buttons.size()) ComputeRects();
      const CPoint p = *reinterpret_cast<CPoint*>(l);
      int nearest = -1;
      long best = 0;
      for (int i = 0; i < count; ++i) {
        const CRect& r = m_rects[static_cast<std::size_t>(i)];
        if (r.IsRectEmpty()) continue;
        if (r.PtInRect(p))
          return (m_buttons[static_cast<std::size_t>(i)].tb.fsStyle & TBSTYLE_SEP) ? ~i : i;
        const long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
        const long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
        const long d = dx * dx + dy * dy;
        if (nearest < 0 || d < best) nearest = i, best = d;
      }
      // Outside every item: the one's complement of the nearest (-1 for none).
      return nearest < 0 ? -1 : ~nearest;
    }
    case TB_GETSTATE: {
      Button* b = byId(w);
      return b ? b->tb.fsState : -1;
    }
    case TB_SETSTATE: {
      int i = IndexFromCommand(static_cast<int>(w));
      if (i < 0) return 0;
      SetButtonState(i, static_cast<std::uint8_t>(LOWORD(static_cast<std::uintptr_t>(l))));
      return 1;
    }
    case TB_ENABLEBUTTON:
      return setBit(w, TBSTATE_ENABLED, LOWORD(static_cast<std::uintptr_t>(l)) != 0);
    case TB_CHECKBUTTON:
      return setBit(w, TBSTATE_CHECKED, LOWORD(static_cast<std::uintptr_t>(l)) != 0);
    case TB_PRESSBUTTON:
      return setBit(w, TBSTATE_PRESSED, LOWORD(static_cast<std::uintptr_t>(l)) != 0);
    case TB_HIDEBUTTON:
      return setBit(w, TBSTATE_HIDDEN, LOWORD(static_cast<std::uintptr_t>(l)) != 0);
    case TB_ISBUTTONENABLED: {
      Button* b = byId(w);
      return b && (b->tb.fsState & TBSTATE_ENABLED);
    }
    case TB_ISBUTTONCHECKED: {
      Button* b = byId(w);
      return b && (b->tb.fsState & TBSTATE_CHECKED);
    }
    case TB_ISBUTTONPRESSED: {
      Button* b = byId(w);
      return b && (b->tb.fsState & TBSTATE_PRESSED);
    }
    case TB_ISBUTTONHIDDEN: {
      Button* b = byId(w);
      return b && (b->tb.fsState & TBSTATE_HIDDEN);
    }
    case TB_SETBUTTONSIZE:
      m_sizeButton = CSize(std::max<int>(LOWORD(static_cast<std::uintptr_t>(l)), 1),
                           std::max<int>(HIWORD(static_cast<std::uintptr_t>(l)), 1));
      Relayout();
      return 1;
    case TB_SETBITMAPSIZE:
      m_sizeImage =
          CSize(LOWORD(static_cast<std::uintptr_t>(l)), HIWORD(static_cast<std::uintptr_t>(l)));
      Relayout();
      return 1;
    case TB_GETBUTTONSIZE: {
      CSize s = ComputedButtonSize();
      return MAKELPARAM(s.cx, s.cy);
    }
    case TB_AUTOSIZE: Relayout(); return 0;
    case TB_SETBUTTONWIDTH:
      m_minWidth = std::min(static_cast<int>(LOWORD(static_cast<std::uintptr_t>(l))),
                            kToolBarMaxButtonWidth);
      m_maxWidth = std::min(static_cast<int>(HIWORD(static_cast<std::uintptr_t>(l))),
                            kToolBarMaxButtonWidth);
      Relayout();
      return 1;
    case TB_SETMAXTEXTROWS:
      m_maxTextRows = std::clamp(static_cast<int>(w), 0, kToolBarMaxTextRows);
      Relayout();
      return 1;
    case TB_GETTEXTROWS: return m_maxTextRows;
    case TB_SETINDENT:
      m_indent = std::clamp(static_cast<int>(static_cast<std::intptr_t>(w)), 0, kToolBarMaxIndent);
      Relayout();
      return 1;
    case TB_SETIMAGELIST: return SwapImageList(m_images, l);
    case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(m_images);
    case TB_SETHOTIMAGELIST: return SwapImageList(m_hotImages, l);
    case TB_GETHOTIMAGELIST: return reinterpret_cast<LRESULT>(m_hotImages);
    case TB_SETDISABLEDIMAGELIST: return SwapImageList(m_disabledImages, l);
    case TB_GETDISABLEDIMAGELIST: return reinterpret_cast<LRESULT>(m_disabledImages);
    case TB_SETSTYLE:
      ModifyStyle(0xFFFF, static_cast<std::uint32_t>(l) & 0xFFFF);
      Relayout();
      return 0;
    case TB_GETSTYLE: return GetStyle() & 0xFFFF;
    case TB_SETEXTENDEDSTYLE: {
      std::uint32_t old = m_exStyleTb;
      m_exStyleTb = static_cast<std::uint32_t>(l);
      Relayout();
      return old;
    }
    case TB_GETEXTENDEDSTYLE: return m_exStyleTb;
    case TB_GETHOTITEM: return m_hot;
    case TB_SETHOTITEM: {
      int old = m_hot;
      m_hot = at(w) ? static_cast<int>(w) : -1;
      Invalidate(false);
      return old;
    }
    case TB_SETINSERTMARK:
      if (l) m_insertMark = *reinterpret_cast<const TBINSERTMARK*>(l);
      Invalidate(false);
      return 0;
    case TB_GETINSERTMARK:
      if (l) *reinterpret_cast<TBINSERTMARK*>(l) = m_insertMark;
      return 1;
    case TB_GETBUTTONTEXT: {
      Button* b = byId(w);
      if (!b) return -1;
      if (l) *reinterpret_cast<std::string*>(l) = b->text;
      return static_cast<LRESULT>(b->text.size());
    }
    case TB_GETBUTTONINFO:
    case TB_SETBUTTONINFO: {
      if (!l) return -1;
      auto* info = reinterpret_cast<TBBUTTONINFO*>(l);
      const int index = (info->dwMask & TBIF_BYINDEX) ? (at(w) ? static_cast<int>(w) : -1)
                                                      : IndexFromCommand(static_cast<int>(w));
      if (index < 0) return msg == TB_GETBUTTONINFO ? -1 : 0;
      Button& b = m_buttons[static_cast<std::size_t>(index)];
      if (msg == TB_GETBUTTONINFO) {
        if (info->dwMask & TBIF_COMMAND) info->idCommand = b.tb.idCommand;
        if (info->dwMask & TBIF_IMAGE) info->iImage = b.tb.iBitmap;
        if (info->dwMask & TBIF_STATE) info->fsState = b.tb.fsState;
        if (info->dwMask & TBIF_STYLE) info->fsStyle = b.tb.fsStyle;
        if (info->dwMask & TBIF_LPARAM) info->lParam = b.tb.dwData;
        if (info->dwMask & TBIF_TEXT) info->text = b.text;
        if (info->dwMask & TBIF_SIZE) {
          if (m_rects.size() != m_buttons.size()) ComputeRects();
          info->cx = m_rects[static_cast<std::size_t>(index)].Width();
        }
        return index;
      }
      if (info->dwMask & TBIF_COMMAND) b.tb.idCommand = info->idCommand;
      if (info->dwMask & TBIF_IMAGE) b.tb.iBitmap = info->iImage;
      if (info->dwMask & TBIF_STATE) b.tb.fsState = info->fsState;
      if (info->dwMask & TBIF_STYLE) b.tb.fsStyle = info->fsStyle;
      if (info->dwMask & TBIF_LPARAM) b.tb.dwData = info->lParam;
      if (info->dwMask & TBIF_TEXT) b.text = info->text;
      // A separator's size is its width.
      if ((info->dwMask & TBIF_SIZE) && (b.tb.fsStyle & TBSTYLE_SEP)) b.tb.iBitmap = info->cx;
      Relayout();
      return 1;
    }
    case TB_SAVERESTORE: {
      if (!l) return 0;
      const auto* params = reinterpret_cast<const TBSAVEPARAMS*>(l);
      if (w) {
        return fw::AppProfile().WriteProfileBinary(params->subKey, params->valueName,
                                                   fw::SaveToolBarButtons(Buttons()))
                   ? 1
                   : 0;
      }
      std::vector<std::uint8_t> blob;
      std::vector<TBBUTTON> restored;
      if (!fw::AppProfile().GetProfileBinary(params->subKey, params->valueName, blob) ||
          !fw::ParseToolBarButtons(blob, &restored))
        return 0;
      // Texts stay with their commands.
      std::vector<Button> next;
      for (const TBBUTTON& tb : restored) {
        Button b;
        b.tb = tb;
        if (!(tb.fsStyle & TBSTYLE_SEP))
          if (int i = IndexFromCommand(tb.idCommand); i >= 0)
            b.text = m_buttons[static_cast<std::size_t>(i)].text;
        next.push_back(std::move(b));
      }
      m_buttons = std::move(next);
      m_hot = m_pressed = -1;
      Relayout();
      return 1;
    }
    case TB_CUSTOMIZE: return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      OnMouse(msg, static_cast<UINT>(w), CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)));
      return 0;
    case WM_MOUSELEAVE:
      if (m_hot >= 0) {
        m_hot = -1;
        Invalidate(false);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (m_dragIndex >= 0) EndDrag(CPoint(), true);
      if (m_pressed >= 0) {
        SetButtonState(m_pressed, GetButtonState(m_pressed) & ~TBSTATE_PRESSED);
        m_pressed = -1;
      }
      return 0;
    default: return CControlBar::DefWindowProc(msg, w, l);
  }
}

LRESULT CToolBar::Notify(NMHDR* hdr) {
  hdr->hwndFrom = widget();
  hdr->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  LRESULT result = 0;
  if (OnReflectNotify(hdr, &result)) return result;
  CWnd* owner = GetOwner();
  return owner ? owner->SendMessage(WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr)) : 0;
}

bool CToolBar::OnReflectNotify(NMHDR*, LRESULT*) {
  return false;
}

// ---- mouse ------------------------------------------------------------------------------------

int CToolBar::InsertIndexAt(CPoint point) const {
  const int count = static_cast<int>(m_buttons.size());
  int last = count;
  for (int i = 0; i < count; ++i) {
    const CRect& r = m_rects[static_cast<std::size_t>(i)];
    if (r.IsRectEmpty() || point.y < r.top || point.y >= r.bottom) continue;
    if (point.x < r.left + r.Width() / 2) return i;
    last = i + 1;
  }
  return last;
}

void CToolBar::EndDrag(CPoint point, bool cancel) {
  const int from = m_dragIndex;
  m_dragIndex = -1;
  if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
  m_insertMark = TBINSERTMARK();
  Invalidate(false);
  if (from < 0 || static_cast<std::size_t>(from) >= m_buttons.size()) return;
  const TBBUTTON moved = m_buttons[static_cast<std::size_t>(from)].tb;
  if (!cancel) {
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
      const int index = InsertIndexAt(point);
      if (index != from && index != from + 1) {
        NMTOOLBAR query;
        query.hdr.code = TBN_QUERYINSERT;
        query.iItem = index;
        query.tbButton = moved;
        if (Notify(&query.hdr)) MoveButton(from, index > from ? index - 1 : index);
      }
    } else {
      // Dragged off the bar: the button goes, if the owner lets it.
      NMTOOLBAR query;
      query.hdr.code = TBN_QUERYDELETE;
      query.iItem = from;
      query.tbButton = moved;
      if (Notify(&query.hdr)) DeleteButton(from);
    }
  }
  NMTOOLBAR end;
  end.hdr.code = TBN_ENDDRAG;
  end.iItem = moved.idCommand;
  end.tbButton = moved;
  Notify(&end.hdr);
  NMHDR changed;
  changed.code = TBN_TOOLBARCHANGE;
  Notify(&changed);
}

void CToolBar::OnMouse(UINT msg, UINT flags, CPoint point) {
  if (m_rects.size() != m_buttons.size()) ComputeRects();
  const int hit = HitTest(point);
  if (msg == WM_MOUSEMOVE) {
    if (m_dragIndex >= 0) {
      CRect client;
      GetClientRect(&client);
      TBINSERTMARK mark;
      if (client.PtInRect(point)) {
        const int index = InsertIndexAt(point);
        const int count = static_cast<int>(m_buttons.size());
        mark.iButton = index < count ? index : count - 1;
        mark.dwFlags = index < count ? 0 : TBIMHT_AFTER;
      }
      SendMessage(TB_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
      return;
    }
    if (m_pressed >= 0) {
      const bool inside = m_rects[static_cast<std::size_t>(m_pressed)].PtInRect(point);
      if (inside != m_pressedInside) {
        m_pressedInside = inside;
        std::uint8_t s = GetButtonState(m_pressed);
        SetButtonState(m_pressed, inside ? (s | TBSTATE_PRESSED) : (s & ~TBSTATE_PRESSED));
      }
      return;
    }
    int hot = -1;
    if (hit >= 0 && (GetStyle() & TBSTYLE_FLAT) &&
        (m_buttons[static_cast<std::size_t>(hit)].tb.fsState & TBSTATE_ENABLED))
      hot = hit;
    if (hot != m_hot) {
      m_hot = hot;
      Invalidate(false);
    }
    return;
  }
  if (msg == WM_LBUTTONDOWN) {
    if (hit < 0) return;
    const Button& b = m_buttons[static_cast<std::size_t>(hit)];
    const bool dragKey = (flags & MK_SHIFT) != 0;
    if ((GetStyle() & CCS_ADJUSTABLE) && dragKey) {
      NMTOOLBAR begin;
      begin.hdr.code = TBN_BEGINDRAG;
      begin.iItem = b.tb.idCommand;
      begin.tbButton = b.tb;
      Notify(&begin.hdr);
      m_dragIndex = hit;
      SetCapture();
      return;
    }
    if (!(b.tb.fsState & TBSTATE_ENABLED)) return;
    if ((b.tb.fsStyle & TBSTYLE_DROPDOWN)) {
      const CRect& r = m_rects[static_cast<std::size_t>(hit)];
      const bool arrows = (m_exStyleTb & TBSTYLE_EX_DRAWDDARROWS) != 0;
      if (!arrows || point.x >= r.right - fw::ToolBarDropDownArrowWidth()) {
        NMTOOLBAR drop;
        drop.hdr.code = TBN_DROPDOWN;
        drop.iItem = b.tb.idCommand;
        drop.tbButton = b.tb;
        drop.rcButton = r;
        Notify(&drop.hdr);
        return;
      }
    }
    m_pressed = hit;
    m_pressedInside = true;
    SetCapture();
    SetButtonState(hit, b.tb.fsState | TBSTATE_PRESSED);
    return;
  }
  if (msg == WM_LBUTTONUP) {
    if (m_dragIndex >= 0) {
      EndDrag(point, false);
      return;
    }
    if (m_pressed < 0) return;
    const int index = m_pressed;
    m_pressed = -1;
    (void)ReleaseCapture();
    if (static_cast<std::size_t>(index) >= m_buttons.size()) return;
    Button& b = m_buttons[static_cast<std::size_t>(index)];
    const bool inside = m_rects[static_cast<std::size_t>(index)].PtInRect(point);
    std::uint8_t state = b.tb.fsState & ~TBSTATE_PRESSED;
    if (inside && (b.tb.fsState & TBSTATE_ENABLED) && (b.tb.fsStyle & TBSTYLE_CHECK)) {
      if ((b.tb.fsStyle & TBSTYLE_GROUP)) {
        // One checked button per group of neighbours.
        for (int i = index - 1;
             i >= 0 && (m_buttons[static_cast<std::size_t>(i)].tb.fsStyle & TBSTYLE_GROUP); --i)
          m_buttons[static_cast<std::size_t>(i)].tb.fsState &= ~TBSTATE_CHECKED;
        for (std::size_t i = static_cast<std::size_t>(index) + 1;
             i < m_buttons.size() && (m_buttons[i].tb.fsStyle & TBSTYLE_GROUP); ++i)
          m_buttons[i].tb.fsState &= ~TBSTATE_CHECKED;
        state |= TBSTATE_CHECKED;
      } else {
        state ^= TBSTATE_CHECKED;
      }
    }
    const int id = b.tb.idCommand;
    const bool fire = inside && (b.tb.fsState & TBSTATE_ENABLED);
    SetButtonState(index, state);
    Invalidate(false);
    if (fire) {
      if (CWnd* owner = GetOwner())
        owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                           reinterpret_cast<LPARAM>(widget()));
    }
  }
}

// ---- painting
// --------------------------------------------------------------------------------------

bool CToolBar::OnEraseBkgnd(CDC* dc) {
  if (!dc) return false;
  CRect r;
  GetClientRect(&r);
  dc->FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
  return true;
}

void CToolBar::OnPaint() {
  CPaintDC dc(this);
  Paint(dc);
}

void CToolBar::DrawSeparatorLine(CDC& dc, const CRect& r) const {
  // An etched line across the middle: shadow, then highlight.
  const bool across = r.Width() > r.Height();
  if (across) {
    const int y = r.top + r.Height() / 2 - 1;
    dc.FillSolidRect(CRect(r.left, y, r.right, y + 1), GetSysColor(COLOR_BTNSHADOW));
    dc.FillSolidRect(CRect(r.left, y + 1, r.right, y + 2), GetSysColor(COLOR_BTNHIGHLIGHT));
  } else {
    const int x = r.left + r.Width() / 2 - 1;
    dc.FillSolidRect(CRect(x, r.top + 1, x + 1, r.bottom - 1), GetSysColor(COLOR_BTNSHADOW));
    dc.FillSolidRect(CRect(x + 1, r.top + 1, x + 2, r.bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  }
}

void CToolBar::DrawButton(CDC& dc, int index, const CRect& rect, COLORREF textColour) {
  const Button& b = m_buttons[static_cast<std::size_t>(index)];
  const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
  const bool list = (GetStyle() & TBSTYLE_LIST) != 0;
  const bool enabled = (b.tb.fsState & TBSTATE_ENABLED) != 0;
  const bool pressed = (b.tb.fsState & TBSTATE_PRESSED) != 0;
  const bool checked = (b.tb.fsState & TBSTATE_CHECKED) != 0;
  const bool hot = index == m_hot && enabled;
  CRect r = rect;
  CRect arrow;
  if ((b.tb.fsStyle & TBSTYLE_DROPDOWN) && (m_exStyleTb & TBSTYLE_EX_DRAWDDARROWS)) {
    arrow = CRect(r.right - fw::ToolBarDropDownArrowWidth(), r.top, r.right, r.bottom);
    r.right = arrow.left;
  }
  if (checked && !pressed && !hot)
    dc.FillSolidRect(r, RGB((GetRValue(GetSysColor(COLOR_BTNFACE)) + 255) / 2,
                            (GetGValue(GetSysColor(COLOR_BTNFACE)) + 255) / 2,
                            (GetBValue(GetSysColor(COLOR_BTNFACE)) + 255) / 2));
  if (flat) {
    if (pressed || checked)
      dc.Draw3dRect(rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (hot)
      dc.Draw3dRect(rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    if (!arrow.IsRectEmpty() && (hot || pressed))
      dc.FillSolidRect(CRect(arrow.left, arrow.top + 1, arrow.left + 1, arrow.bottom - 1),
                       GetSysColor(COLOR_BTNSHADOW));
  } else {
    CRect edge = rect;
    dc.DrawEdge(&edge, (pressed || checked) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  const int shift = (pressed || checked) ? 1 : 0;
  // The image, centred above the text (beside it in list style).
  CImageList* images = m_images;
  if (hot && m_hotImages && b.tb.iBitmap < m_hotImages->GetImageCount()) images = m_hotImages;
  if (!enabled && m_disabledImages) images = m_disabledImages;
  CPoint at;
  if (list)
    at = CPoint(r.left + kPadX / 2, r.top + (r.Height() - m_sizeImage.cy) / 2);
  else
    at = CPoint(r.left + (r.Width() - m_sizeImage.cx) / 2, r.top + kPadY / 2);
  at.Offset(shift, shift);
  if (images && b.tb.iBitmap >= 0 && b.tb.iBitmap < images->GetImageCount()) {
    if (enabled || images == m_disabledImages) {
      images->Draw(&dc, b.tb.iBitmap, at, ILD_TRANSPARENT);
    } else {
      CIconImage icon{images->GetImage(b.tb.iBitmap), CPoint()};
      dc.DrawIconDisabled(at.x, at.y, &icon);
    }
  }
  if (!b.text.empty() && m_maxTextRows > 0) {
    CRect text;
    if (list)
      text = CRect(at.x + m_sizeImage.cx + kTextMargin, r.top, r.right - kTextMargin, r.bottom);
    else
      text = CRect(r.left + kTextMargin, at.y + m_sizeImage.cy + 1, r.right - kTextMargin,
                   r.bottom - 1);
    CFont font;
    LOGFONT lf = fw::DefaultGuiLogFont();
    if (CFont* f = GetFont(); f && f->IsValid()) f->GetLogFont(&lf);
    (void)font.CreateFontIndirect(&lf);  // without it the default font measures
    CFont* old = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    const auto& lines = Measured(b.text).lines;
    const int lineHeight = TextLineHeight();
    int y = list ? text.top + (text.Height() - lineHeight) / 2 : text.top;
    for (const std::string& line : lines) {
      CRect lr(text.left, y, text.right, y + lineHeight);
      const unsigned format = (list ? DT_LEFT : DT_CENTER) | DT_SINGLELINE | DT_END_ELLIPSIS |
                              ((b.tb.fsStyle & TBSTYLE_NOPREFIX) ? DT_NOPREFIX : 0u);
      if (!enabled) {
        dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
        CRect shadow = lr;
        shadow.OffsetRect(1, 1);
        dc.DrawText(line, &shadow, format);
        dc.SetTextColor(GetSysColor(COLOR_BTNSHADOW));
      } else {
        dc.SetTextColor(textColour);
      }
      dc.DrawText(line, &lr, format);
      y += lineHeight;
    }
    dc.SelectObject(old);
  }
  if (!arrow.IsRectEmpty()) {
    // A small downward triangle, centred in the arrow part.
    const COLORREF c = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    const int cx = arrow.left + arrow.Width() / 2 + shift;
    const int cy = arrow.top + arrow.Height() / 2 - 1 + shift;
    for (int row = 0; row < 3; ++row)
      dc.FillSolidRect(CRect(cx - 2 + row, cy + row, cx + 3 - row, cy + row + 1), c);
  }
}

void CToolBar::Paint(CDC& dc) {
  if (m_rects.size() != m_buttons.size()) ComputeRects();
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
  NMTBCUSTOMDRAW cd;
  cd.nmcd.hdr.code = NM_CUSTOMDRAW;
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  cd.nmcd.hdc = &dc;
  cd.nmcd.rc = client;
  cd.clrText = GetSysColor(COLOR_BTNTEXT);
  cd.clrBtnFace = GetSysColor(COLOR_BTNFACE);
  const LRESULT whole = Notify(&cd.nmcd.hdr);
  const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    const Button& b = m_buttons[i];
    const CRect& r = m_rects[i];
    if ((b.tb.fsState & TBSTATE_HIDDEN) || r.IsRectEmpty()) continue;
    if (b.tb.fsStyle & TBSTYLE_SEP) {
      // A separator with an id carries a window: that window covers it.
      if (flat && b.tb.idCommand == 0) {
        CRect line = r;
        if (b.tb.fsState & TBSTATE_WRAP) line = CRect(client.left, r.top, client.right, r.bottom);
        DrawSeparatorLine(dc, line);
      }
      continue;
    }
    LRESULT item = CDRF_DODEFAULT;
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    UINT state = 0;
    if (b.tb.fsState & TBSTATE_CHECKED) state |= CDIS_CHECKED;
    if (b.tb.fsState & TBSTATE_PRESSED) state |= CDIS_SELECTED;
    if (!(b.tb.fsState & TBSTATE_ENABLED)) state |= CDIS_DISABLED;
    if (b.tb.fsState & TBSTATE_INDETERMINATE) state |= CDIS_INDETERMINATE;
    if (static_cast<int>(i) == m_hot) state |= CDIS_HOT;
    if (whole & CDRF_NOTIFYITEMDRAW) {
      NMTBCUSTOMDRAW icd = cd;
      icd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      icd.nmcd.rc = r;
      icd.nmcd.dwItemSpec = static_cast<std::uintptr_t>(b.tb.idCommand);
      icd.nmcd.uItemState = state;
      icd.nmcd.lItemlParam = static_cast<LPARAM>(b.tb.dwData);
      item = Notify(&icd.nmcd.hdr);
      text = icd.clrText;
    }
    if (!(item & CDRF_SKIPDEFAULT)) DrawButton(dc, static_cast<int>(i), r, text);
    if (item & CDRF_NOTIFYPOSTPAINT) {
      NMTBCUSTOMDRAW post = cd;
      post.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
      post.nmcd.rc = r;
      post.nmcd.dwItemSpec = static_cast<std::uintptr_t>(b.tb.idCommand);
      post.nmcd.uItemState = state;
      Notify(&post.nmcd.hdr);
    }
  }
  if (m_insertMark.iButton >= 0 &&
      static_cast<std::size_t>(m_insertMark.iButton) < m_rects.size()) {
    const CRect& r = m_rects[static_cast<std::size_t>(m_insertMark.iButton)];
    const int x = (m_insertMark.dwFlags & TBIMHT_AFTER) ? r.right - 1 : r.left;
    dc.FillSolidRect(CRect(x - 1, r.top, x + 1, r.bottom), RGB(0, 0, 0));
  }
  if (whole & CDRF_NOTIFYPOSTPAINT) {
    NMTBCUSTOMDRAW post = cd;
    post.nmcd.dwDrawStage = CDDS_POSTPAINT;
    Notify(&post.nmcd.hdr);
  }
}
