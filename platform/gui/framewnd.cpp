#include "platform/gui/framewnd.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

#include "platform/gui/document.h"
#include "platform/gui/help.h"
#include "platform/gui/view.h"
#include "platform/gui/winapp.h"
#include "platform/resstring.h"

namespace {

CCmdTarget* g_appTarget = nullptr;
constexpr int kIdleMs = 250;

class CFramePeer : public QMainWindow {
 public:
  explicit CFramePeer(QWidget* parent) : QMainWindow(parent, Qt::Window) {}
};

int QtKeyFromVirtualKey(unsigned vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return static_cast<int>(vk);
  if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
  switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_ADD: return Qt::Key_Plus;
    case VK_SUBTRACT: return Qt::Key_Minus;
    default: return 0;
  }
}

// The window of a view that takes the keys: the view itself when Tab can
// reach it, else the first window inside it that Tab reaches (the list a
// view shows over its whole area).
QWidget* KeyboardWindowOf(QWidget* view) {
  if (!view || (view->focusPolicy() & Qt::TabFocus)) return view;
  for (QWidget* w : view->findChildren<QWidget*>())
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden()) return w;
  return view;
}

}  // namespace

namespace fw {

void SetAppCommandTarget(CCmdTarget* target) {
  g_appTarget = target;
}

CCmdTarget* AppCommandTarget() {
  return g_appTarget;
}

QKeySequence KeySequenceFromAccel(const CAccelEntry& entry) {
  if (!(entry.flags & CAccelEntry::kVirtKey)) {
    if (entry.key < 0x20) return {};
    return QKeySequence(QString(QChar(entry.key)));
  }
  const int key = QtKeyFromVirtualKey(entry.key);
  if (!key) return {};
  int mods = 0;
  if (entry.flags & CAccelEntry::kControl) mods |= Qt::CTRL;
  if (entry.flags & CAccelEntry::kShift) mods |= Qt::SHIFT;
  if (entry.flags & CAccelEntry::kAlt) mods |= Qt::ALT;
  return QKeySequence(key | mods);
}

}  // namespace fw

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
  QObject::disconnect(m_focusConnection);
  m_idle.reset();
  m_shortcuts.clear();
  if (IsWindow()) (void)DestroyWindow();  // nothing is left to refuse
}

QWidget* CFrameWnd::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  return new CFramePeer(parent);
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  // Since the desktop shell of the 4.x generation the document comes first.
  if (cs.style & FWS_ADDTOTITLE) cs.style |= FWS_PREFIXTITLE;
  return CWnd::PreCreateWindow(cs);
}

bool CFrameWnd::LoadFrame(unsigned resourceId, std::uint32_t style, CWnd* parent,
                          CCreateContext* context) {
  m_nIDHelp = resourceId;
  m_strTitle = LoadResString(resourceId);
  if (std::size_t nl = m_strTitle.find('\n'); nl != std::string::npos) m_strTitle.resize(nl);
  m_pCreateContext = context;
  CRect rect(0, 0, 800, 600);
  const bool created = CreateEx(0, "FrameWnd", m_strTitle, style & ~WS_VISIBLE, rect, parent, 0);
  m_pCreateContext = nullptr;
  if (!created) return false;
  RecalcLayout();
  StartIdleTimer();
  if (style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return true;
}

int CFrameWnd::OnCreate(CREATESTRUCT* cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  if (HICON icon = fw::LoadIconResource(static_cast<int>(m_nIDHelp)))
    widget()->setWindowIcon(QIcon(QPixmap::fromImage(icon->image)));
  CMenu menu;
  if (menu.LoadMenu(m_nIDHelp)) {
    m_hMenuDefault = menu.Detach();
    SetMenuHandle(m_hMenuDefault);
  }
  LoadAccelTable(m_nIDHelp);
  m_focusConnection = QObject::connect(qApp, &QApplication::focusChanged,
                                       [this](QWidget*, QWidget* now) { FollowFocus(now); });
  if (!OnCreateClient(cs, m_pCreateContext)) return -1;
  return 0;
}

bool CFrameWnd::OnCreateClient(CREATESTRUCT*, CCreateContext* context) {
  if (!context || !context->m_newView) return true;
  return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
}

CView* CFrameWnd::CreateView(CCreateContext* context, int id, CWnd* parent) {
  if (!context || !context->m_newView) return nullptr;
  std::unique_ptr<CView> view = context->m_newView();
  if (!view) return nullptr;
  if (!view->Create("", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent ? parent : this, id))
    return nullptr;
  if (context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(view.get());
  m_views.push_back(std::move(view));
  return m_views.back().get();
}

void CFrameWnd::FollowFocus(QWidget* now) {
  for (QWidget* w = now; w && w != widget(); w = w->parentWidget()) {
    auto* view = dynamic_cast<CView*>(CWnd::FromHandlePermanent(w));
    if (view && view->GetParentFrame() == this) {
      SetActiveView(view);
      return;
    }
  }
}

CDocument* CFrameWnd::GetActiveDocument() const {
  if (auto* view = dynamic_cast<CView*>(GetActiveView())) return view->GetDocument();
  for (const auto& v : m_views)
    if (v->GetDocument()) return v->GetDocument();
  return nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* doc, bool makeVisible) {
  CView* first = nullptr;
  if (doc) {
    for (CView* v : std::vector<CView*>(doc->GetViews())) {
      if (v->GetParentFrame() != this) continue;
      if (!first) first = v;
      v->OnInitialUpdate();
    }
  }
  if (!GetActiveView() && first) {
    SetActiveView(first);
    m_focusPaneOnShow = true;
    if (IsWindowVisible()) FocusActivePane();
  }
  OnUpdateFrameTitle(true);
  if (makeVisible && !IsWindowVisible()) ShowWindow(SW_SHOW);
}

void CFrameWnd::OnShowWindow(bool show, UINT status) {
  CWnd::OnShowWindow(show, status);
  if (show && m_focusPaneOnShow) FocusActivePane();
}

void CFrameWnd::FocusActivePane() {
  // The first pane has the keyboard when the window first shows: keys go to
  // it also before (or without) an activation, and an activation gives it
  // the focus instead of whatever Qt would choose. Its windows are shown by
  // now, which the focus needs.
  m_focusPaneOnShow = false;
  if (CWnd* view = GetActiveView())
    if (QWidget* keys = KeyboardWindowOf(view->widget())) keys->setFocus(Qt::OtherFocusReason);
  // A program's first window is its active one, as the desktop makes it
  // where it can: the frame's accelerators and menu keys work only in an
  // active window, and a dialog's end gives the activation back only to a
  // window that had it. Where nothing activates it (an X server without a
  // window manager), it asks itself; a window manager may decline.
  if (QWidget* w = widget(); w && w->isWindow() && !QApplication::activeWindow())
    w->activateWindow();
}

void CFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
  if (!IsWindow()) return;
  CDocument* doc = GetActiveDocument();
  if (!addToTitle || !(GetStyle() & FWS_ADDTOTITLE) || !doc) {
    SetWindowText(m_strTitle);
    return;
  }
  const std::string& docTitle = doc->GetTitle();
  if (docTitle.empty())
    SetWindowText(m_strTitle);
  else if (GetStyle() & FWS_PREFIXTITLE)
    SetWindowText(docTitle + " - " + m_strTitle);
  else
    SetWindowText(m_strTitle + " - " + docTitle);
}

bool CFrameWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
  QWidget* w = widget();
  if (!w || !placement) return false;
  const Qt::WindowStates state = w->windowState();
  placement->showCmd = (state & Qt::WindowMinimized)   ? SW_SHOWMINIMIZED
                       : (state & Qt::WindowMaximized) ? SW_SHOWMAXIMIZED
                                                       : SW_SHOWNORMAL;
  // Qt keeps the restored geometry of a maximised or full-screen window
  // apart; a minimised one keeps its geometry.
  QRect r =
      (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) ? w->normalGeometry() : w->geometry();
  if (!r.isValid()) r = w->geometry();
  placement->rcNormalPosition = CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
  return true;
}

void CFrameWnd::OnClose() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this && app->GetDocManager()) {
    if (!app->SaveAllModified()) return;
  } else if (CDocument* doc = GetActiveDocument(); doc && !doc->CanCloseFrame()) {
    return;
  }
  (void)DestroyWindow();  // nothing is left to refuse
}

void CFrameWnd::MapHelpCommands() {
  auto help = [](std::uint32_t data, unsigned command) {
    if (CWinApp* app = AfxGetApp())
      app->WinHelp(data, command);
    else if (command == HELP_CONTEXT)
      fw::ShowHelp(data);
  };
  SetCommandHandler(ID_HELP_INDEX, [help] { help(0, HELP_INDEX); });
  SetCommandHandler(ID_HELP_FINDER, [help] { help(0, HELP_FINDER); });
  SetCommandHandler(ID_DEFAULT_HELP, [help] { help(0, HELP_INDEX); });
  SetCommandHandler(ID_HELP, [this, help] { help(kHelpDialogBase + m_nIDHelp, HELP_CONTEXT); });
  SetCommandHandler(ID_CONTEXT_HELP,
                    [this, help] { help(kHelpDialogBase + m_nIDHelp, HELP_CONTEXT); });
}

void CFrameWnd::StartIdleTimer() {
  m_idle = std::make_unique<QTimer>();
  m_idle->setInterval(kIdleMs);
  QObject::connect(m_idle.get(), &QTimer::timeout, [this] {
    if (IsWindowVisible()) UpdateControlBars();
  });
  m_idle->start();
}

bool CFrameWnd::SetMenu(CMenu* menu) {
  return SetMenuHandle(menu ? menu->m_hMenu : nullptr);
}

bool CFrameWnd::SetMenuHandle(HMENU menu) {
  auto* main = qobject_cast<QMainWindow*>(widget());
  if (!main || (menu && !fw::IsMenu(menu))) return false;
  m_hMenu = menu;
  fw::ShowMenuInBar(main->menuBar(), menu, this);
  return true;
}

CMenu* CFrameWnd::GetMenu() const {
  return CMenu::FromHandle(m_hMenu);
}

void CFrameWnd::DrawMenuBar() {
  if (auto* main = qobject_cast<QMainWindow*>(widget()))
    fw::ShowMenuInBar(main->menuBar(), fw::IsMenu(m_hMenu) ? m_hMenu : nullptr, this);
}

bool CFrameWnd::LoadAccelTable(unsigned id) {
  const fw::CAcceleratorTemplate* table = fw::FindAcceleratorResource(id);
  if (!table || !widget()) return false;
  m_shortcuts.clear();
  for (const fw::CAccelEntry& entry : table->entries) {
    QKeySequence keys = fw::KeySequenceFromAccel(entry);
    if (keys.isEmpty()) continue;
    auto shortcut = std::make_unique<QShortcut>(keys, widget());
    shortcut->setContext(Qt::WindowShortcut);
    const unsigned command = entry.command;
    QObject::connect(shortcut.get(), &QShortcut::activated,
                     [this, command] { RunAccelerator(command); });
    m_shortcuts.push_back(std::move(shortcut));
  }
  return true;
}

bool CFrameWnd::TranslatesKey(QKeyCombination key) const {
  const Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
  const QKeySequence pressed(QKeyCombination(mods, key.key()));
  for (const auto& shortcut : m_shortcuts)
    if (shortcut->isEnabled() && shortcut->key() == pressed) return true;
  // Alt with a letter opens the menu that has it as its mnemonic.
  const int k = key.key();
  const bool menuKey = (k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9);
  return menuKey && fw::IsMenu(m_hMenu) && (mods & Qt::AltModifier) &&
         !(mods & (Qt::ControlModifier | Qt::MetaModifier));
}

void CFrameWnd::RunAccelerator(unsigned command) {
  // A key does what its menu item or button would: nothing while disabled.
  CCmdUI ui;
  ui.m_nID = command;
  ui.DoUpdate(this, m_bAutoMenuEnable);
  if (ui.enableChanged() && !ui.enabled()) return;
  SendMessage(WM_COMMAND, MAKEWPARAM(command, 1), 0);
}

void CFrameWnd::EnableDocking(std::uint32_t style) {
  m_dockStyle = style & CBRS_ALIGN_ANY;
  for (CControlBar* bar : ControlBars()) bar->EnableDocking(bar->dockingStyle() & m_dockStyle);
}

void CFrameWnd::DockControlBar(CControlBar* bar, int dockBarId) {
  auto* main = qobject_cast<QMainWindow*>(widget());
  if (!main || !bar || !bar->DockHost()) return;
  Qt::ToolBarArea area = Qt::TopToolBarArea;
  const std::uint32_t align = bar->GetBarStyle() & CBRS_ALIGN_ANY;
  switch (dockBarId) {
    case AFX_IDW_DOCKBAR_BOTTOM: area = Qt::BottomToolBarArea; break;
    case AFX_IDW_DOCKBAR_LEFT: area = Qt::LeftToolBarArea; break;
    case AFX_IDW_DOCKBAR_RIGHT: area = Qt::RightToolBarArea; break;
    case AFX_IDW_DOCKBAR_TOP: area = Qt::TopToolBarArea; break;
    default:
      if (align & CBRS_ALIGN_TOP)
        area = Qt::TopToolBarArea;
      else if (align & CBRS_ALIGN_BOTTOM)
        area = Qt::BottomToolBarArea;
      else if (align & CBRS_ALIGN_LEFT)
        area = Qt::LeftToolBarArea;
      else if (align & CBRS_ALIGN_RIGHT)
        area = Qt::RightToolBarArea;
      break;
  }
  if (bar->dockingStyle()) bar->EnableDocking(bar->dockingStyle() & m_dockStyle);
  main->addToolBar(area, bar->DockHost());
  bar->DockHost()->show();
  bar->HostChanged();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool) {
  if (bar && bar->DockHost()) bar->DockHost()->setVisible(show);
}

void CFrameWnd::RecalcLayout(bool) {
  auto* main = qobject_cast<QMainWindow*>(widget());
  if (!main) return;
  for (QWidget* child : main->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->property("fw_id").toInt() == AFX_IDW_PANE_FIRST && main->centralWidget() != child) {
      main->setCentralWidget(child);
      break;
    }
  }
  for (CControlBar* bar : ControlBars())
    if (QWidget* w = bar->widget()) w->updateGeometry();
}

std::vector<CControlBar*> CFrameWnd::ControlBars() const {
  std::vector<CControlBar*> bars;
  if (!widget()) return bars;
  for (QToolBar* host : widget()->findChildren<QToolBar*>()) {
    for (QWidget* w : host->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (auto* bar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(w))) bars.push_back(bar);
  }
  return bars;
}

void CFrameWnd::UpdateControlBars() {
  for (CControlBar* bar : ControlBars()) bar->SendMessage(WM_IDLEUPDATECMDUI, 1, 0);
}

CWnd* CFrameWnd::GetActiveView() const {
  return CWnd::FromHandlePermanent(m_activeView.data());
}

void CFrameWnd::SetActiveView(CWnd* view) {
  m_activeView = view ? view->widget() : nullptr;
}

bool CFrameWnd::OnCmdMsg(unsigned id, int code, CCmdUI* ui) {
  // A view that routes back to its frame must not loop.
  if (m_routeDepth > 4) return false;
  struct Depth {
    int& d;
    explicit Depth(int& v) : d(v) { ++d; }
    ~Depth() { --d; }
  } depth(m_routeDepth);
  CWnd* view = GetActiveView();
  if (view && view != this && view->OnCmdMsg(id, code, ui)) return true;
  if (CWnd::OnCmdMsg(id, code, ui)) return true;
  CCmdTarget* app = fw::AppCommandTarget();
  return app && app != this && app->OnCmdMsg(id, code, ui);
}

void CFrameWnd::OnInitMenuPopup(CMenu* popup, UINT, bool sysMenu) {
  if (sysMenu || !popup) return;
  fw::UpdateMenuItems(popup->m_hMenu, this, m_bAutoMenuEnable);
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_INITMENUPOPUP) {
    OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(w)),
                    LOWORD(static_cast<std::uintptr_t>(l)),
                    HIWORD(static_cast<std::uintptr_t>(l)) != 0);
    return 0;
  }
  return CWnd::WindowProc(msg, w, l);
}

void CFrameWnd::OnDestroy() {
  QObject::disconnect(m_focusConnection);
  m_idle.reset();
  m_shortcuts.clear();
  if (auto* main = qobject_cast<QMainWindow*>(widget())) main->menuBar()->clear();
  // The menu the frame loaded goes with it; a menu some object owns stays theirs.
  for (HMENU h : {m_hMenu, m_hMenuDefault})
    if (fw::IsMenu(h) && !CMenu::FromHandlePermanent(h)) {
      CMenu owner;
      owner.Attach(h);
    }
  m_hMenu = m_hMenuDefault = nullptr;
  CWnd::OnDestroy();
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->OnMainWindowDestroyed();
}
