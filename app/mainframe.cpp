#include "app/mainframe.h"

#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "app/fenwardledoc.h"
#include "app/fenwardleview.h"
#include "app/leftview.h"
#include "platform/gui/help.h"
#include "platform/gui/singleinstance.h"
#include "platform/gui/winapp.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "shell/startup.h"
#include "toolkit/mainwindowtoolbar.h"
#include "tools/switchlistgrid.h"

namespace {

constexpr const char* kSettings = "settings";
constexpr const char* kPositionSection = "Settings";

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

CRect PrimaryScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect r = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

// Whether any part of the rectangle lies on one of the screens.
bool OnSomeScreen(const CRect& r) {
  const QRect rect(r.left, r.top, r.Width(), r.Height());
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->geometry().intersects(rect)) return true;
  return false;
}

}  // namespace

CMainFrame::CMainFrame() {
  MapHelpCommands();
  SetCommandHandler(ID_AUTO_OPEN_LAST_FILE, [this] {
    m_bAutoOpen = m_bAutoOpen ? 0 : 1;
    fw::AppProfile().WriteProfileInt(kSettings, "auto-open", m_bAutoOpen);
  });
  SetUpdateHandler(ID_AUTO_OPEN_LAST_FILE,
                   [this](CCmdUI* ui) { ui->SetCheck(m_bAutoOpen ? 1 : 0); });
  SetCommandHandler(ID_HELP_GETTING_STARTED, [] {
    if (CWinApp* app = AfxGetApp()) app->WinHelp(0x1006E, HELP_CONTEXT);
  });
  SetCommandHandler(ID_HELP_SOFTWARE_LICENSE, [] {
    if (CWinApp* app = AfxGetApp()) app->WinHelp(0x1006F, HELP_CONTEXT);
  });
  SetMessageHandler(WM_SWITCHLIST_CONTEXT, [this](WPARAM w, LPARAM) {
    if (w) ShowContextMenu(IDR_CONTEXT_SWITCHES, *reinterpret_cast<const CPoint*>(w));
    return LRESULT{0};
  });
  SetMessageHandler(WM_CONFIGLIST_CONTEXT, [this](WPARAM w, LPARAM) {
    if (w) ShowContextMenu(IDR_CONTEXT_CONFIGS, *reinterpret_cast<const CPoint*>(w));
    return LRESULT{0};
  });
}

CMainFrame::~CMainFrame() {
  if (IsWindow()) (void)DestroyWindow();  // nothing is left to refuse
}

CLeftView* CMainFrame::GetLeftView() const {
  return dynamic_cast<CLeftView*>(m_wndSplitter.GetPane(0, 0));
}

CFenwardleView* CMainFrame::GetRightView() const {
  return dynamic_cast<CFenwardleView*>(m_wndSplitter.GetPane(0, 1));
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  cs.className = MainWindowClassName();
  fw::CProfile& profile = fw::AppProfile();
  cs.x = profile.GetProfileInt(kPositionSection, "WindowLeft", kDefaultLeft);
  cs.y = profile.GetProfileInt(kPositionSection, "WindowTop", kDefaultTop);
  cs.cx = profile.GetProfileInt(kPositionSection, "WindowRight", kDefaultRight) - cs.x;
  cs.cy = profile.GetProfileInt(kPositionSection, "WindowBottom", kDefaultBottom) - cs.y;
  const CRect screen = PrimaryScreen();
  if (cs.x < 0 || cs.x > screen.Width()) cs.x = 0;
  if (cs.y < 0 || cs.y > screen.Height()) cs.y = 0;
  if (cs.cx < 1 || cs.cx > screen.Width() || cs.cy < 1 || cs.cy > screen.Height()) {
    cs.cx = kFallbackWidth;
    cs.cy = kFallbackHeight;
  }
  return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnCreateClient(CREATESTRUCT*, CCreateContext* context) {
  if (!m_wndSplitter.CreateStatic(this, 1, 2)) return false;
  if (!m_wndSplitter.CreateView(
          0, 0, [] { return std::make_unique<CLeftView>(); }, CSize(200, 100), context) ||
      !m_wndSplitter.CreateView(
          0, 1, [] { return std::make_unique<CFenwardleView>(); }, CSize(300, 100), context)) {
    (void)m_wndSplitter
        .DestroyWindow();  // the half-made splitter goes; the failure is reported below
    return false;
  }
  return true;
}

int CMainFrame::OnCreate(CREATESTRUCT* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  if (!CreateMainWindowToolBar(*this, m_wndToolBar, IDR_MAINFRAME, IDB_MAINFRAME_HOT)) return -1;

  // The owner-drawn menu takes the place of the one the frame loaded.
  if (m_pMenu) {
    SetMenuHandle(nullptr);
    m_pMenu.reset();
  }
  const HMENU loaded = GetMenuHandle();
  SetMenuHandle(nullptr);
  if (fw::IsMenu(loaded)) {
    CMenu old;
    old.Attach(loaded);
  }
  m_hMenuDefault = nullptr;
  m_pMenu = std::make_unique<COwnerDrawMenu>();
  if (m_pMenu->LoadMenuById(IDR_MAINFRAME)) {
    SetMenu(m_pMenu.get());
    m_hMenuDefault = m_pMenu->m_hMenu;
    m_pMenu->LoadToolBarImages(IDR_MAINFRAME);
    m_pMenu->LoadToolBarImages(IDR_MENU_IMAGES);
  }
  RemoveOptionalItems();
  return 0;
}

void CMainFrame::RemoveOptionalItems() {
  if (!m_pMenu) return;
  // By command: whichever items are missing, the right ones go.
  const std::string folder = fw::GetProgramFolder();
  if (!FileExists(folder + "ringeerom.txt")) m_pMenu->RemoveMenu(ID_DEBUG_EEROM, MF_BYCOMMAND);
  if (!FileExists(CFenwardleDoc::FirmwareLoaderPath()))
    m_pMenu->RemoveMenu(ID_UPDATE_MANAGED_FIRMWARE, MF_BYCOMMAND);
  DrawMenuBar();
}

void CMainFrame::StartStartupTimer() {
  m_nTimer = SetTimer(kStartupTimerId, kStartupDelayMs);
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id == kStartupTimerId) OnStartupTimer();
  CFrameWnd::OnTimer(id);
}

void CMainFrame::OnStartupTimer() {
  KillTimer(kStartupTimerId);
  m_nTimer = 0;
  if (const std::string title = fw::CustomizedWindowTitle(); !title.empty()) {
    SetTitle(title);
    OnUpdateFrameTitle(true);
  }
  fw::CProfile& profile = fw::AppProfile();
  m_bAutoOpen = profile.GetProfileInt(kSettings, "auto-open", 1);
  if (!m_bAutoOpen) return;
  // A project named on the command line is open already: it is not read again.
  if (CDocument* doc = GetActiveDocument(); doc && !doc->GetPathName().empty()) return;
  CWinApp* app = AfxGetApp();
  std::string last = profile.GetProfileString(kSettings, "last path");
  if (last.empty()) {
    if (profile.GetProfileInt(kSettings, "first", 0) != 0) return;
    const std::string path =
        fw::GetProjectsFolder() +
        profile.GetProfileString(kSettings, "init project file", "ring_defaults.zcf");
    if (!FileExists(path)) return;
    profile.WriteProfileString(kSettings, "last path", path);
    profile.WriteProfileInt(kSettings, "first", 1);
    if (!app || !app->OpenDocumentFile(path))
      profile.WriteProfileString(kSettings, "last path", "");
    return;
  }
  if (!FileExists(last) || !app || !app->OpenDocumentFile(last))
    profile.WriteProfileString(kSettings, "last path", "");
}

void CMainFrame::ShowContextMenu(unsigned menuId, CPoint screenPoint) {
  COwnerDrawMenu menu;
  if (!menu.LoadMenuById(menuId)) return;
  menu.LoadToolBarImages(IDR_MENU_IMAGES);
  if (CMenu* popup = menu.GetSubMenu(0))
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, this);
}

void CMainFrame::SaveWindowPosition() {
  WINDOWPLACEMENT wp;
  if (!GetWindowPlacement(&wp)) return;
  // Minimised or maximised, the restored rectangle is what the next start
  // opens with; one off every screen is not worth keeping.
  const CRect& r = wp.rcNormalPosition;
  if (r.IsRectEmpty() || !OnSomeScreen(r)) return;
  fw::CProfile& profile = fw::AppProfile();
  profile.WriteProfileInt(kPositionSection, "WindowLeft", r.left);
  profile.WriteProfileInt(kPositionSection, "WindowTop", r.top);
  profile.WriteProfileInt(kPositionSection, "WindowRight", r.right);
  profile.WriteProfileInt(kPositionSection, "WindowBottom", r.bottom);
}

void CMainFrame::OnDestroy() {
  SaveWindowPosition();
  CFrameWnd::OnDestroy();
}
