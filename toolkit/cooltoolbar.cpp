#include "toolkit/cooltoolbar.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <algorithm>

#include "platform/gui/framewnd.h"
#include "platform/profile.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

namespace {

// The toolbar control here draws drop-down arrows and flat separators
// itself, as a control of version 4.71 or later does.
constexpr std::uint32_t kControlVersion = 0x00050051;
constexpr std::uint32_t kVersionWithArrows = 0x00040047;

std::vector<UINT>& TableIds() {
  static std::vector<UINT> ids;
  return ids;
}

std::map<UINT, CCoolCustomButton>& TableMap() {
  static std::map<UINT, CCoolCustomButton> map;
  return map;
}

bool LiveWindow(const CCoolCustomButton& button) {
  if (!button.control) return false;
  CWnd* w = button.control->GetWindow();
  return w && w->IsWindow();
}

// The dock host's frame: the handle area shows the bar's caption icon and
// gripper, drawn by the bar.
class CCoolHostStyle : public QProxyStyle {
 public:
  explicit CCoolHostStyle(QWidget* barWidget) : m_bar(barWidget) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
      case PM_ToolBarHandleExtent:
        if (CCoolToolBar* bar = Bar(); bar && !bar->m_bCool) return bar->LeadingExtent();
        break;
      case PM_ToolBarFrameWidth:
      case PM_ToolBarItemMargin:
      case PM_ToolBarItemSpacing: return 0;
      default: break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    CCoolToolBar* bar = Bar();
    if (bar && !bar->m_bCool) {
      if (element == PE_IndicatorToolBarHandle) {
        CDC dc(painter);
        CRect r = CRect::FromQt(option->rect);
        bar->DrawIcon(dc, r);
        bar->DrawGripper(dc, r);
        return;
      }
      if (element == PE_PanelToolBar) {
        painter->fillRect(option->rect, fw::ToQColor(GetSysColor(COLOR_BTNFACE)));
        return;
      }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

 private:
  CCoolToolBar* Bar() const {
    return dynamic_cast<CCoolToolBar*>(CWnd::FromHandlePermanent(m_bar.data()));
  }
  QPointer<QWidget> m_bar;
};

}  // namespace

// Drag and drop on the bar: the callbacks become the bar's private messages.
class CCoolDropFilter : public QObject {
 public:
  explicit CCoolDropFilter(CCoolToolBar* bar) : m_bar(bar) {}

  bool eventFilter(QObject*, QEvent* e) override {
    UINT msg = 0;
    switch (e->type()) {
      case QEvent::DragEnter: msg = WM_COOLBAR_DRAGENTER; break;
      case QEvent::DragMove: msg = WM_COOLBAR_DRAGOVER; break;
      case QEvent::DragLeave: msg = WM_COOLBAR_DRAGLEAVE; break;
      case QEvent::Drop: msg = WM_COOLBAR_DROP; break;
      default: return false;
    }
    COOLDRAGINFO info;
    if (e->type() != QEvent::DragLeave) {
      auto* de = static_cast<QDropEvent*>(e);
      info.data = de->mimeData();
      info.point = CPoint(de->position().toPoint());
    }
    m_bar->SendMessage(msg, 0, reinterpret_cast<LPARAM>(&info));
    if (e->type() == QEvent::DragLeave) return true;
    auto* de = static_cast<QDropEvent*>(e);
    // Unanswered callbacks take the default: no effect.
    if (info.answered && info.effect != DROPEFFECT_NONE)
      de->acceptProposedAction();
    else
      de->ignore();
    return true;
  }

 private:
  CCoolToolBar* m_bar;
};

// ---- construction ----------------------------------------------------------------------

CCoolToolBar::CCoolToolBar()
    : m_crDefaultText(GetSysColor(COLOR_BTNTEXT)), m_crHotText(GetSysColor(COLOR_BTNTEXT)) {
  MeasureDropDownArrow();
  for (UINT id = ID_COOLBAR_REMOVE; id <= ID_COOLBAR_SEPARATOR_AFTER; ++id)
    SetCommandHandler(static_cast<int>(id), [this, id] { RunCustomizeCommand(id); });
}

CCoolToolBar::~CCoolToolBar() {
  if (IsWindow()) DestroyWindow();
  m_imageLists.clear();
}

bool CCoolToolBar::CreateEx(CWnd* parent, std::uint32_t ctrlStyle, std::uint32_t style,
                            CRect borders, int id) {
  if (!CToolBar::CreateEx(parent, ctrlStyle, style, borders, id)) return false;
  if (QToolBar* host = DockHost()) {
    auto* hostStyle = new CCoolHostStyle(widget());
    hostStyle->setParent(host);
    host->setStyle(hostStyle);
    host->setMovable(LeadingExtent() > 0);
  }
  m_dropFilter = std::make_unique<CCoolDropFilter>(this);
  widget()->installEventFilter(m_dropFilter.get());
  return true;
}

void CCoolToolBar::MeasureDropDownArrow() {
  m_nDropDownArrowWidth = fw::ToolBarDropDownArrowWidth();
}

int CCoolToolBar::LeadingExtent() const {
  int extent = m_hCaptionIcon ? GetSystemMetrics(SM_CXSMICON) + 2 : 0;
  if ((GetStyle() & TBSTYLE_FLAT) && m_bGripper && !IsFloating()) extent += 7;
  return extent;
}

void CCoolToolBar::SetCaptionIcon(HICON icon) {
  m_hCaptionIcon = icon;
  if (QToolBar* host = DockHost()) {
    host->setMovable(LeadingExtent() > 0);
    host->update();
  }
}

void CCoolToolBar::SetNotifyWindow(CWnd* window) {
  m_notifyWindow = window ? window->widget() : nullptr;
}

CWnd* CCoolToolBar::NotifyWindow() const {
  if (CWnd* w = CWnd::FromHandlePermanent(m_notifyWindow.data())) return w;
  return GetOwner();
}

LRESULT CCoolToolBar::NotifyCommand(UINT command) {
  NMCOOLBARCOMMAND n;
  n.hdr.code = kCoolBarCommand;
  n.hdr.hwndFrom = widget();
  n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  n.command = command;
  CWnd* target = NotifyWindow();
  return target ? target->SendMessage(WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n)) : 0;
}

// ---- images and texts ---------------------------------------------------------------------

CImageList* CCoolToolBar::LoadHotImageList(unsigned resourceId, int cx, int grow, COLORREF mask,
                                           unsigned, unsigned) {
  if (auto it = m_imageLists.find(resourceId); it != m_imageLists.end()) return it->second.get();
  auto list = std::make_unique<CImageList>();
  if (!list->Create(resourceId, cx, grow, mask)) return nullptr;
  CImageList* result = list.get();
  m_imageLists[resourceId] = std::move(list);
  return result;
}

std::string CCoolToolBar::CommandText(UINT id, int textType) const {
  switch (textType) {
    case 0: {
      std::string s = LoadResString(id);
      return s.substr(0, s.find('\n'));
    }
    case 1: {
      std::string s = LoadResString(id);
      const std::size_t nl = s.find('\n');
      return nl == std::string::npos ? std::string() : s.substr(nl + 1);
    }
    case 2: {
      auto* frame = dynamic_cast<CFrameWnd*>(GetOwner());
      if (!frame) frame = dynamic_cast<CFrameWnd*>(GetTopLevelParent());
      CMenu* menu = frame ? frame->GetMenu() : nullptr;
      if (!menu || menu->GetMenuState(id, MF_BYCOMMAND) == kMenuItemMissing) return {};
      std::string text;
      menu->GetMenuString(id, text, MF_BYCOMMAND);
      return text.substr(0, text.find('\t'));
    }
    default: return {};
  }
}

void CCoolToolBar::SetButtonTextsFromCommands(UINT first, UINT last, int textType) {
  if (textType < 0 || textType > 4) textType = 4;
  m_nTextType = textType;
  if (textType == 3) return;
  for (int i = 0; i < GetCount(); ++i) {
    TBBUTTON b;
    if (!GetButton(i, &b) || (b.fsStyle & TBSTYLE_SEP)) continue;
    const auto id = static_cast<UINT>(b.idCommand);
    if (id < first || id > last) continue;
    SetButtonText(i, CommandText(id, textType));
  }
}

// ---- customisation --------------------------------------------------------------------------

void CCoolToolBar::SetCustomizeCommands(const std::vector<UINT>& commands) {
  m_customizeCommands = commands;
}

void CCoolToolBar::SetCustomizable(bool on, bool advanced) {
  if (m_customizeCommands.empty()) on = false;
  if (on && !advanced)
    ModifyStyle(0, CCS_ADJUSTABLE);
  else
    ModifyStyle(CCS_ADJUSTABLE, 0);
  m_bAdvancedCustomization = on && advanced;
  if (QWidget* w = widget()) w->setAcceptDrops(m_bAdvancedCustomization);
}

bool CCoolToolBar::IsCustomizable(bool advanced) const {
  return advanced ? m_bAdvancedCustomization : (GetStyle() & CCS_ADJUSTABLE) != 0;
}

void CCoolToolBar::SetCustomizationMode(bool on) {
  m_bCustomizationMode = on;
  if (!on) SetCustomizedButton(-1);
}

void CCoolToolBar::SetCustomizedButton(int index) {
  const int previous = m_nCustomizedButton;
  m_nCustomizedButton = index;
  if (previous != index && previous >= 0 && previous < GetCount()) {
    CRect r;
    GetItemRect(previous, &r);
    InvalidateRect(&r, true);
  }
  if (index >= 0 && index < GetCount()) {
    std::uint8_t state = GetButtonState(index);
    if (state & TBSTATE_PRESSED) {
      SetButtonState(index, state & ~TBSTATE_PRESSED);
    } else {
      CRect r;
      GetItemRect(index, &r);
      InvalidateRect(&r, true);
    }
  }
  NotifyCommand(ID_COOLBAR_SELECT);
}

int CCoolToolBar::SelectAt(CPoint point) const {
  const int hit = HitTest(point);
  if (hit >= 0 && hit < GetCount()) return hit;
  const int index = ~hit;
  return m_customButtons.count(index) ? index : -1;
}

int CCoolToolBar::TrackCustomizeMenu(int index, CPoint screenPoint) {
  TBBUTTON b;
  if (!GetButton(index, &b)) return 0;
  const bool separator = (b.fsStyle & TBSTYLE_SEP) != 0;
  const bool custom = m_customButtons.count(index) != 0;
  const std::string text = GetButtonText(index);
  auto plainSeparator = [this](int i) {
    TBBUTTON other;
    return GetButton(i, &other) && (other.fsStyle & TBSTYLE_SEP) && !m_customButtons.count(i);
  };
  CMenu menu;
  if (!menu.CreatePopupMenu()) return 0;
  menu.AppendMenu(MF_STRING, ID_COOLBAR_REMOVE, LoadResString(IDS_REMOVE_BUTTON));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, ID_COOLBAR_CUSTOMIZE, LoadResString(IDS_CUSTOMIZE));
  if (!separator && !custom) {
    menu.AppendMenu(MF_STRING | (text.empty() ? MF_CHECKED : 0u), ID_COOLBAR_IMAGE_ONLY,
                    LoadResString(IDS_IMAGE_ONLY));
    menu.AppendMenu(MF_STRING | (!text.empty() && b.iBitmap != -1 ? MF_CHECKED : 0u),
                    ID_COOLBAR_IMAGE_TEXT, LoadResString(IDS_IMAGE_TEXT));
  }
  menu.AppendMenu(MF_SEPARATOR);
  const bool noBefore = index == 0 || plainSeparator(index - 1);
  const bool noAfter = index == GetCount() - 1 || plainSeparator(index + 1);
  menu.AppendMenu(MF_STRING | (noBefore ? MF_GRAYED : 0u), ID_COOLBAR_SEPARATOR_BEFORE,
                  LoadResString(IDS_INSERT_SEPARATOR_BEFORE));
  menu.AppendMenu(MF_STRING | (noAfter ? MF_GRAYED : 0u), ID_COOLBAR_SEPARATOR_AFTER,
                  LoadResString(IDS_INSERT_SEPARATOR_AFTER));
  return menu.TrackPopupMenu(TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, this);
}

void CCoolToolBar::RunCustomizeCommand(UINT command) {
  if (NotifyCommand(command)) return;  // the receiver did it
  const int index = m_nCustomizedButton;
  TBBUTTON b;
  if (!GetButton(index, &b)) return;
  switch (command) {
    case ID_COOLBAR_REMOVE: DeleteButton(index); break;
    case ID_COOLBAR_CUSTOMIZE: break;
    case ID_COOLBAR_IMAGE_ONLY: {
      const std::string text = GetButtonText(index);
      if (text.empty()) break;
      m_hiddenTexts[static_cast<UINT>(b.idCommand)] = text;
      SetButtonText(index, "");
      RecalcLayout(true, true);
      break;
    }
    case ID_COOLBAR_IMAGE_TEXT: {
      if (!GetButtonText(index).empty()) break;
      const auto id = static_cast<UINT>(b.idCommand);
      std::string text;
      if (auto it = m_hiddenTexts.find(id); it != m_hiddenTexts.end()) text = it->second;
      if (text.empty()) {
        const std::string full = LoadResString(id);
        const std::size_t nl = full.find('\n');
        text = nl == std::string::npos ? full : full.substr(nl + 1);
      }
      if (text.empty()) break;
      SetButtonText(index, text);
      RecalcLayout(true, true);
      break;
    }
    case ID_COOLBAR_SEPARATOR_BEFORE:
    case ID_COOLBAR_SEPARATOR_AFTER: {
      TBBUTTON sep;
      sep.iBitmap = -1;
      sep.fsStyle = TBSTYLE_SEP;
      InsertButton(command == ID_COOLBAR_SEPARATOR_BEFORE ? index : index + 1, &sep);
      break;
    }
    default: break;
  }
}

void CCoolToolBar::SetDropDownArrow(bool on) {
  if (kControlVersion >= kVersionWithArrows) {
    auto ex = static_cast<std::uint32_t>(SendMessage(TB_GETEXTENDEDSTYLE));
    ex = on ? (ex | TBSTYLE_EX_DRAWDDARROWS) : (ex & ~TBSTYLE_EX_DRAWDDARROWS);
    SendMessage(TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(ex));
  }
  m_bDropDownArrow = on;
}

bool CCoolToolBar::GetDropDownArrow() const {
  if (kControlVersion >= kVersionWithArrows)
    return (const_cast<CCoolToolBar*>(this)->SendMessage(TB_GETEXTENDEDSTYLE) &
            TBSTYLE_EX_DRAWDDARROWS) != 0;
  return m_bDropDownArrow;
}

// ---- custom buttons ---------------------------------------------------------------------------

void CCoolToolBar::AddCustomButtonType(UINT id, std::shared_ptr<ICoolBarControl> control, int width,
                                       int height, int visibility, int hiddenImage) {
  if (std::find(TableIds().begin(), TableIds().end(), id) == TableIds().end())
    TableIds().push_back(id);
  CCoolCustomButton& rec = TableMap()[id];
  rec.control = std::move(control);
  rec.id = id;
  rec.width = width;
  rec.height = height;
  rec.visibility = visibility;
  rec.hiddenImage = hiddenImage;
}

void CCoolToolBar::ResetCustomButtonTypes() {
  TableIds().clear();
  TableMap().clear();
}

const std::vector<UINT>& CCoolToolBar::CustomButtonIds() {
  return TableIds();
}

std::map<UINT, CCoolCustomButton>& CCoolToolBar::CustomButtonTable() {
  return TableMap();
}

bool CCoolToolBar::InsertCustomButton(int index, int tableIndex, std::uint32_t style,
                                      std::uint32_t exStyle, const std::string& className,
                                      const std::string& name) {
  if (index < 0 || index > GetCount() || tableIndex < 0 ||
      tableIndex >= static_cast<int>(TableIds().size()))
    return false;
  const UINT id = TableIds()[static_cast<std::size_t>(tableIndex)];
  TBBUTTON sep;
  sep.iBitmap = -1;
  sep.fsStyle = TBSTYLE_SEP;
  m_bInternalUpdate = true;
  const bool inserted = InsertButton(index, &sep);
  m_bInternalUpdate = false;
  if (!inserted) return false;
  CCoolCustomButton rec = TableMap()[id];
  rec.id = id;
  bool ok = false;
  if (LiveWindow(rec)) {
    if (auto copy = rec.control->CopyFor(this)) rec.control = std::move(copy);
    ok = true;
  } else if (rec.control) {
    ok = rec.control->Create(id, this, style, exStyle, className, name);
    if (ok) TableMap()[id] = rec;
  }
  if (!ok) {
    m_bInternalUpdate = true;
    DeleteButton(index);
    m_bInternalUpdate = false;
    return false;
  }
  m_customButtons[index] = rec;
  RecalcLayout(true, true);
  return true;
}

bool CCoolToolBar::VisibleHere(const CCoolCustomButton& button) const {
  if ((button.visibility & 7) == 7) return true;
  if (IsFloating()) return (button.visibility & 4) != 0;
  return IsHorizontal() ? (button.visibility & 2) != 0 : (button.visibility & 1) != 0;
}

void CCoolToolBar::PositionCustomButton(int index) {
  auto it = m_customButtons.find(index);
  TBBUTTON b;
  if (it == m_customButtons.end() || !GetButton(index, &b)) return;
  const CCoolCustomButton& rec = it->second;
  CWnd* window = rec.control ? rec.control->GetWindow() : nullptr;
  const bool wasVisible = (GetStyle() & WS_VISIBLE) != 0;
  const bool internal = m_bInternalUpdate;
  m_bInternalUpdate = true;
  if (VisibleHere(rec)) {
    CRect own;
    if (window) window->GetClientRect(&own);
    const int width = rec.width > 0 ? rec.width : (window ? own.Width() + 4 : 8);
    if (!(b.fsStyle & TBSTYLE_SEP) || b.idCommand != static_cast<int>(rec.id) ||
        b.iBitmap != width) {
      TBBUTTONINFO info;
      info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_COMMAND | TBIF_IMAGE | TBIF_STATE;
      info.fsStyle = TBSTYLE_SEP;
      info.idCommand = static_cast<int>(rec.id);
      info.iImage = width;
      info.fsState = b.fsState | TBSTATE_ENABLED;
      SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
    }
    if (window && window->IsWindow()) {
      CRect r;
      GetItemRect(index, &r);
      r.DeflateRect(2, 0);
      const int height = rec.height > 0 ? rec.height : r.Height();
      if (height < r.Height()) {
        r.top += (r.Height() - height) / 2;
        r.bottom = r.top + height;
      }
      window->MoveWindow(r);
      window->ShowWindow(SW_SHOWNA);
    }
  } else {
    if ((b.fsStyle & TBSTYLE_SEP) || b.iBitmap != rec.hiddenImage) {
      TBBUTTONINFO info;
      info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_COMMAND | TBIF_IMAGE | TBIF_STATE;
      info.fsStyle = TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE;
      info.idCommand = static_cast<int>(rec.id);
      info.iImage = rec.hiddenImage;
      info.fsState = b.fsState | TBSTATE_ENABLED;
      SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
    }
    if (window && window->IsWindow()) window->ShowWindow(SW_HIDE);
  }
  m_bInternalUpdate = internal;
  if (wasVisible != ((GetStyle() & WS_VISIBLE) != 0))
    ModifyStyle(wasVisible ? 0 : WS_VISIBLE, wasVisible ? WS_VISIBLE : 0);
}

void CCoolToolBar::PositionCustomButtons() {
  // While the control changes its buttons the records still name the old places.
  if (m_bMapStale) return;
  std::vector<int> indexes;
  for (const auto& [index, rec] : m_customButtons) indexes.push_back(index);
  for (int index : indexes) PositionCustomButton(index);
}

void CCoolToolBar::RecalcLayout(bool recalcFrame, bool updateFrame) {
  if (m_bInternalUpdate) return;
  PositionCustomButtons();
  if (!IsWindowVisible()) return;
  if (recalcFrame) {
    m_bEraseSuppressed = true;
    if (QWidget* w = widget()) w->updateGeometry();
    if (auto* frame = dynamic_cast<CFrameWnd*>(GetOwner())) frame->RecalcLayout();
    m_bEraseSuppressed = false;
    Invalidate(false);
  }
  if (updateFrame)
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  if (!recalcFrame && !updateFrame)
    RedrawWindow(nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---- bookkeeping after the control changed its buttons ------------------------------------

void CCoolToolBar::AfterInsert(int index) {
  if (m_nCustomizedButton >= index) ++m_nCustomizedButton;
  if (m_nInsertIndex >= index) ++m_nInsertIndex;
  std::map<int, CCoolCustomButton> moved;
  for (auto& [k, rec] : m_customButtons) moved[k >= index ? k + 1 : k] = std::move(rec);
  m_customButtons = std::move(moved);
  RecalcLayout(true, true);
}

void CCoolToolBar::AfterDelete(int index, const TBBUTTON&) {
  if (auto it = m_customButtons.find(index); it != m_customButtons.end()) {
    if (it->second.control) it->second.control->Destroy();
    m_customButtons.erase(it);
  }
  std::map<int, CCoolCustomButton> moved;
  for (auto& [k, rec] : m_customButtons) moved[k > index ? k - 1 : k] = std::move(rec);
  m_customButtons = std::move(moved);
  if (m_nCustomizedButton > index)
    --m_nCustomizedButton;
  else if (m_nCustomizedButton == index)
    SetCustomizedButton(-1);
  if (m_nInsertIndex > index)
    --m_nInsertIndex;
  else if (m_nInsertIndex == index)
    m_nInsertIndex = -1;
  // A separator left standing at either end goes too.
  const int count = GetCount();
  auto plainSeparator = [this](int i) {
    TBBUTTON b;
    return GetButton(i, &b) && (b.fsStyle & TBSTYLE_SEP) && !m_customButtons.count(i);
  };
  const bool internal = m_bInternalUpdate;
  m_bInternalUpdate = true;
  if (count > 0 && index == count && plainSeparator(count - 1)) DeleteButton(count - 1);
  if (GetCount() > 0 && index == 0 && plainSeparator(0)) DeleteButton(0);
  m_bInternalUpdate = internal;
  RecalcLayout(true, true);
}

void CCoolToolBar::AfterMove(int from, int to) {
  std::map<int, CCoolCustomButton> moved;
  for (auto& [k, rec] : m_customButtons) {
    int nk = k;
    if (k == from)
      nk = to;
    else if (from < to && k > from && k <= to)
      nk = k - 1;
    else if (from > to && k >= to && k < from)
      nk = k + 1;
    moved[nk] = std::move(rec);
  }
  m_customButtons = std::move(moved);
  for (int i = std::min(from, to); i <= std::max(from, to); ++i) PositionCustomButton(i);
}

// ---- layout ---------------------------------------------------------------------------------

CSize CCoolToolBar::CalcLayout(std::uint32_t mode, int length) {
  std::vector<TBBUTTON> buttons = Buttons();
  // A custom button not shown in this layout stands there as a button.
  const int bit = (mode & LM_HORZDOCK) ? 2 : (mode & LM_VERTDOCK) ? 1 : 4;
  for (const auto& [index, rec] : m_customButtons) {
    if ((rec.visibility & bit) || index >= static_cast<int>(buttons.size())) continue;
    TBBUTTON& b = buttons[static_cast<std::size_t>(index)];
    b.fsStyle = TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE;
    b.iBitmap = rec.hiddenImage;
    b.idCommand = static_cast<int>(rec.id);
  }
  const int count = static_cast<int>(buttons.size());
  if (mode & LM_VERTDOCK)
    WrapToolBar(buttons.data(), count, 0);
  else if ((mode & LM_HORZDOCK) || length < 0)
    WrapToolBar(buttons.data(), count, 32767);
  else
    WrapToolBar(buttons.data(), count, std::max(length - m_nIndent, 1));
  CSize size = CalcSize(buttons.data(), count);
  size.cx += m_nIndent;
  if (mode & LM_COMMIT) {
    CommitWraps(buttons);
    PositionCustomButtons();
  }
  return size;
}

CSize CCoolToolBar::CalcFixedLayout(bool stretch, bool horizontal) {
  return CToolBar::CalcFixedLayout(stretch, horizontal);
}

CSize CCoolToolBar::CalcDynamicLayout(int length, std::uint32_t mode) {
  return CToolBar::CalcDynamicLayout(length, mode);
}

void CCoolToolBar::OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) {
  CToolCmdUI ui;
  ui.m_bar = this;
  for (int i = 0; i < GetCount(); ++i) {
    TBBUTTON b;
    if (!GetButton(i, &b)) continue;
    // Separators only when they carry a window.
    if ((b.fsStyle & TBSTYLE_SEP) && !m_customButtons.count(i)) continue;
    ui.m_nIndex = static_cast<unsigned>(i);
    ui.m_nID = static_cast<unsigned>(b.idCommand);
    if (OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui)) continue;
    ui.DoUpdate(target, disableIfNoHandler);
  }
}

// ---- painting -----------------------------------------------------------------------------

void CCoolToolBar::DrawGripper(CDC& dc, const CRect& rect) {
  if (IsFloating() || !(GetStyle() & TBSTYLE_FLAT) || !m_bGripper) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const int start = m_hCaptionIcon ? GetSystemMetrics(SM_CXSMICON) + 2 : 0;
  // Two raised bars, three pixels thick, along the bar's short side.
  for (int k = 0; k < 2; ++k) {
    if (IsHorizontal()) {
      const int x = rect.left + start + 1 + 3 * k;
      dc.Draw3dRect(CRect(x, rect.top + 1, x + 3, rect.bottom - 1), light, shadow);
    } else {
      const int y = rect.top + start + 1 + 3 * k;
      dc.Draw3dRect(CRect(rect.left + 1, y, rect.right - 1, y + 3), light, shadow);
    }
  }
}

void CCoolToolBar::DrawIcon(CDC& dc, const CRect& rect) {
  if (!m_hCaptionIcon) return;
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  if (IsHorizontal())
    dc.DrawIconEx(rect.left + 5 - 4, rect.top + (rect.Height() - cy) / 2, m_hCaptionIcon, cx, cy);
  else
    dc.DrawIconEx(rect.left + (rect.Width() - cx) / 2, rect.top + 5 - 4, m_hCaptionIcon, cx, cy);
}

void CCoolToolBar::DrawSeparator(CDC& dc, const CRect& rect) {
  if (rect.Width() > 8 && IsHorizontal()) return;
  CRect line = rect;
  if (IsHorizontal()) {
    line.left = rect.left + rect.Width() / 2 - 1;
    line.right = line.left + 2;
  } else {
    line.top = rect.top + rect.Height() / 2 - 1;
    line.bottom = line.top + 2;
  }
  dc.Draw3dRect(line, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
}

void CCoolToolBar::DrawCustomizedButton(CDC& dc, const CRect& rect) {
  // A two-pixel drag frame: drawn twice it leaves nothing.
  dc.InvertRect(CRect(rect.left, rect.top, rect.right, rect.top + 2));
  dc.InvertRect(CRect(rect.left, rect.bottom - 2, rect.right, rect.bottom));
  dc.InvertRect(CRect(rect.left, rect.top + 2, rect.left + 2, rect.bottom - 2));
  dc.InvertRect(CRect(rect.right - 2, rect.top + 2, rect.right, rect.bottom - 2));
}

bool CCoolToolBar::OnReflectNotify(NMHDR* hdr, LRESULT* result) {
  switch (hdr->code) {
    case NM_CUSTOMDRAW: {
      auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(hdr);
      NMCOOLBARCUSTOMDRAW forward;
      forward.hdr = *hdr;
      forward.hdr.code = kCoolBarCustomDraw;
      forward.draw = cd;
      if (CWnd* owner = IsFloating() ? GetTopLevelParent() : GetOwner())
        owner->SendMessage(WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(&forward));
      if (!forward.doDefault) {
        *result = forward.result;
        return true;
      }
      const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
      switch (cd->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
          if (m_customButtons.count(m_nCustomizedButton)) {
            CRect r;
            GetItemRect(m_nCustomizedButton, &r);
            DrawCustomizedButton(*cd->nmcd.hdc, r);
          }
          *result = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
          return true;
        case CDDS_ITEMPREPAINT: {
          *result = CDRF_NOTIFYPOSTPAINT;
          const int index = CommandToIndex(static_cast<UINT>(cd->nmcd.dwItemSpec));
          if (index >= 0 && (GetButtonState(index) & TBSTATE_HIDDEN)) return true;
          if (flat) {
            const COLORREF normal = GetSysColor(COLOR_BTNTEXT);
            if (m_crDefaultText != normal) cd->clrText = m_crDefaultText;
            if ((cd->nmcd.uItemState & CDIS_HOT) && m_crHotText != m_crDefaultText)
              cd->clrText = m_crHotText;
          }
          return true;
        }
        case CDDS_ITEMPOSTPAINT: {
          const int index = CommandToIndex(static_cast<UINT>(cd->nmcd.dwItemSpec));
          if (index >= 0 && index == m_nCustomizedButton && !m_customButtons.count(index))
            DrawCustomizedButton(*cd->nmcd.hdc, cd->nmcd.rc);
          *result = CDRF_DODEFAULT;
          return true;
        }
        default: *result = CDRF_DODEFAULT; return true;
      }
    }
    case TBN_GETBUTTONINFO: {
      auto* nm = reinterpret_cast<NMTOOLBAR*>(hdr);
      if (nm->iItem < 0 || nm->iItem >= static_cast<int>(m_customizeCommands.size())) {
        *result = 0;
        return true;
      }
      const UINT id = m_customizeCommands[static_cast<std::size_t>(nm->iItem)];
      nm->tbButton = TBBUTTON{nm->iItem, static_cast<int>(id), TBSTATE_ENABLED, 0, 0, -1};
      const std::string full = LoadResString(id);
      const std::size_t nl = full.find('\n');
      std::string text = nl == std::string::npos ? std::string("???") : full.substr(nl + 1);
      if (nm->cchText > 0 && text.size() >= static_cast<std::size_t>(nm->cchText))
        text.resize(static_cast<std::size_t>(nm->cchText) - 1);
      nm->text = text;
      *result = 1;
      return true;
    }
    case TBN_BEGINDRAG:
    case TBN_ENDDRAG: *result = 0; return true;
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE: *result = 1; return true;
    case TBN_TOOLBARCHANGE:
      SetButtonTextsFromCommands(0, 0xFFFF, m_nTextType);
      *result = 0;
      return true;
    default: return false;
  }
}

// ---- messages ---------------------------------------------------------------------------------

LRESULT CCoolToolBar::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case TB_INSERTBUTTON: {
      m_bMapStale = true;
      const LRESULT r = CToolBar::WindowProc(msg, w, l);
      m_bMapStale = false;
      if (r) AfterInsert(static_cast<int>(w));
      return r;
    }
    case TB_DELETEBUTTON: {
      TBBUTTON removed;
      GetButton(static_cast<int>(w), &removed);
      m_bMapStale = true;
      const LRESULT r = CToolBar::WindowProc(msg, w, l);
      m_bMapStale = false;
      if (r) AfterDelete(static_cast<int>(w), removed);
      return r;
    }
    case TB_MOVEBUTTON: {
      m_bMapStale = true;
      const LRESULT r = CToolBar::WindowProc(msg, w, l);
      m_bMapStale = false;
      if (r && static_cast<LPARAM>(w) != l) AfterMove(static_cast<int>(w), static_cast<int>(l));
      return r;
    }
    case TB_SAVERESTORE:
      if (w && l) {
        // The control's own state leaves out the places of custom buttons:
        // they come back from their own positions value.
        std::vector<TBBUTTON> kept;
        const std::vector<TBBUTTON> all = Buttons();
        for (std::size_t i = 0; i < all.size(); ++i)
          if (!m_customButtons.count(static_cast<int>(i))) kept.push_back(all[i]);
        const auto* params = reinterpret_cast<const TBSAVEPARAMS*>(l);
        return fw::AppProfile().WriteProfileBinary(params->subKey, params->valueName,
                                                   fw::SaveToolBarButtons(kept))
                   ? 1
                   : 0;
      }
      return CToolBar::WindowProc(msg, w, l);
    case WM_WINDOWPOSCHANGED: {
      const LRESULT r = CToolBar::WindowProc(msg, w, l);
      const int floating = IsFloating() ? 1 : 0;
      const auto side = static_cast<int>(GetBarStyle() & CBRS_ALIGN_ANY);
      if (floating != m_nPrevFloating)
        OnFloatingDocking(floating != 0);
      else if (side != m_nPrevDockSide)
        OnChangeDockSide(static_cast<std::uint32_t>(side));
      m_nPrevFloating = floating;
      m_nPrevDockSide = side;
      m_pendingUpdates |= 2;
      if (QToolBar* host = DockHost()) host->setMovable(LeadingExtent() > 0);
      return r;
    }
    case WM_ERASEBKGND:
      if (m_bEraseSuppressed) return 1;
      return CToolBar::WindowProc(msg, w, l);
    case WM_SETTINGCHANGE:
      MeasureDropDownArrow();
      RecalcLayout(true, false);
      return CToolBar::WindowProc(msg, w, l);
    case WM_IDLEUPDATECMDUI:
      if (IsWindowVisible()) {
        const unsigned pending = m_pendingUpdates;
        m_pendingUpdates = 0;
        if (pending & 1) RecalcLayout(true, true);
        if (pending & 2) PositionCustomButtons();
      }
      return CToolBar::WindowProc(msg, w, l);
    case WM_COOLBAR_DRAGENTER:
    case WM_COOLBAR_DRAGOVER:
    case WM_COOLBAR_DROP: {
      auto* info = reinterpret_cast<COOLDRAGINFO*>(l);
      if (!info) return 0;
      const std::uint32_t effect = msg == WM_COOLBAR_DRAGENTER  ? OnDragEnter(info)
                                   : msg == WM_COOLBAR_DRAGOVER ? OnDragOver(info)
                                                                : OnDrop(info);
      if (info->answered) info->effect = effect;
      return 0;
    }
    case WM_COOLBAR_DRAGLEAVE: {
      OnDragLeave();
      if (auto* info = reinterpret_cast<COOLDRAGINFO*>(l)) info->answered = true;
      return 0;
    }
    default: return CToolBar::WindowProc(msg, w, l);
  }
}

void CCoolToolBar::OnFloatingDocking(bool) {
  if (!m_customButtons.empty()) RecalcLayout(true, true);
}

void CCoolToolBar::OnChangeDockSide(std::uint32_t) {
  if (!m_customButtons.empty()) m_pendingUpdates |= 1;
}

std::uint32_t CCoolToolBar::OnDragEnter(COOLDRAGINFO* info) {
  if (!IsCustomizable(true)) return DROPEFFECT_NONE;
  m_bDragOver = true;
  return OnDragOver(info);
}

std::uint32_t CCoolToolBar::OnDragOver(COOLDRAGINFO* info) {
  if (!IsCustomizable(true)) return DROPEFFECT_NONE;
  info->answered = true;
  return DROPEFFECT_NONE;
}

void CCoolToolBar::OnDragLeave() {
  TBINSERTMARK none;
  SendMessage(TB_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&none));
  if (!m_bDragStarted) m_bDragOver = false;
}

std::uint32_t CCoolToolBar::OnDrop(COOLDRAGINFO* info) {
  info->answered = true;
  m_bDragOver = false;
  return DROPEFFECT_NONE;
}

// ---- mouse ----------------------------------------------------------------------------------

void CCoolToolBar::OnLButtonDown(UINT flags, CPoint point) {
  if (m_bCustomizationMode && m_bAdvancedCustomization) {
    SetCustomizedButton(SelectAt(point));
    CToolBar::OnLButtonDown(flags, point);
    CancelPress();  // a selected button is not a pressed one
    return;
  }
  CToolBar::OnLButtonDown(flags, point);
}

void CCoolToolBar::OnLButtonUp(UINT flags, CPoint point) {
  if (m_bCustomizationMode && m_bAdvancedCustomization) return;
  QPointer<QWidget> peer = widget();
  CToolBar::OnLButtonUp(flags, point);
  if (peer) SendMessage(WM_IDLEUPDATECMDUI, 1);
}

void CCoolToolBar::OnLButtonDblClk(UINT flags, CPoint point) {
  if (m_bCustomizationMode && m_bAdvancedCustomization) return;
  CToolBar::OnLButtonDblClk(flags, point);
}

void CCoolToolBar::OnMouseMove(UINT flags, CPoint point) {
  if (m_bCustomizationMode && m_bAdvancedCustomization) return;
  CToolBar::OnMouseMove(flags, point);
}

void CCoolToolBar::OnRButtonDown(UINT flags, CPoint point) {
  if (m_bCustomizationMode && m_bAdvancedCustomization) {
    SetCustomizedButton(SelectAt(point));
    return;
  }
  CToolBar::OnRButtonDown(flags, point);
}

void CCoolToolBar::OnMButtonDown(UINT flags, CPoint point) {
  if (m_bCustomizationMode && m_bAdvancedCustomization) {
    SetCustomizedButton(SelectAt(point));
    return;
  }
  CToolBar::OnMButtonDown(flags, point);
}

void CCoolToolBar::OnRButtonUp(UINT flags, CPoint point) {
  if (m_bCustomizationMode && m_bAdvancedCustomization) {
    if (m_nCustomizedButton >= 0) {
      CPoint screen = point;
      ClientToScreen(&screen);
      TrackCustomizeMenu(m_nCustomizedButton, screen);
    }
    return;
  }
  CToolBar::OnRButtonUp(flags, point);
}
