#include "monitor/calvenorframe.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "monitor/calvenorapp.h"
#include "monitor/calvenorview.h"
#include "platform/gui/singleinstance.h"
#include "shell/commandids.h"
#include "shell/startup.h"
#include "toolkit/mainwindowtoolbar.h"

namespace {

constexpr const char* kSettings = "settings";

CRect PrimaryScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect r = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

}  // namespace

CCalvenorFrame::CCalvenorFrame() {
  MapHelpCommands();
}

CCalvenorFrame::~CCalvenorFrame() {
  if (IsWindow()) (void)DestroyWindow();  // nothing left to refuse it
}

bool CCalvenorFrame::PreCreateWindow(CREATESTRUCT& cs) {
  cs.className = MainWindowClassName();
  if (!CFrameWnd::PreCreateWindow(cs)) return false;
  fw::CProfile& profile = fw::AppProfile();
  cs.x = profile.GetProfileInt(kSettings, "windowleft", kDefaultLeft);
  cs.y = profile.GetProfileInt(kSettings, "windowtop", kDefaultTop);
  cs.cx = profile.GetProfileInt(kSettings, "windowright", kDefaultRight) - cs.x;
  cs.cy = profile.GetProfileInt(kSettings, "windowbottom", kDefaultBottom) - cs.y;
  const CRect screen = PrimaryScreen();
  if (cs.x < 0 || cs.x > screen.Width()) cs.x = 0;
  if (cs.y < 0 || cs.y > screen.Height()) cs.y = 0;
  if (cs.cx < 1 || cs.cx > screen.Width() || cs.cy < 1 || cs.cy > screen.Height()) {
    cs.cx = kFallbackWidth;
    cs.cy = kFallbackHeight;
  }
  return true;
}

int CCalvenorFrame::OnCreate(CREATESTRUCT* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  if (!CreateMainWindowToolBar(*this, m_wndToolBar, IDR_MONITORFRAME, IDB_MONITORFRAME_HOT))
    return -1;
  // The columns are sized for the font in use, which the settings' width
  // does not know of.
  if (const auto* view = dynamic_cast<CCalvenorView*>(GetDlgItem(AFX_IDW_PANE_FIRST)))
    FitViewWidth(view->ListWidth());
  return 0;
}

void CCalvenorFrame::FitViewWidth(int width) {
  const QWidget* frame = widget();
  const CWnd* view = GetDlgItem(AFX_IDW_PANE_FIRST);
  if (!frame || !view || !view->widget()) return;
  // The view has no width before the first layout: then it spans the window.
  const int viewWidth = view->widget()->width();
  const int around = viewWidth > 0 ? std::max(0, frame->width() - viewWidth) : 0;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  CRect r;
  GetWindowRect(&r);
  const int target = std::min(width + around, area.width());
  if (target <= r.Width()) return;
  const int left = std::clamp(r.left, area.left(), area.left() + area.width() - target);
  MoveWindow(left, r.top, target, r.Height());
}

void CCalvenorFrame::StartStartupTimer() {
  m_nTimer = SetTimer(kStartupTimerId, kStartupDelayMs);
}

void CCalvenorFrame::OnTimer(UINT_PTR id) {
  if (id == kStartupTimerId) OnStartupTimer();
  CFrameWnd::OnTimer(id);
}

void CCalvenorFrame::OnStartupTimer() {
  KillTimer(kStartupTimerId);
  m_nTimer = 0;
  const std::string title = fw::CustomizedWindowTitle();
  if (title.empty()) return;
  SetTitle(title);
  OnUpdateFrameTitle(true);
}

void CCalvenorFrame::OnClose() {
  // A search pumps messages while it waits; its lists live in this window's document.
  if (const CCalvenorApp* app = CalvenorApp(); app && app->m_bSearching) return;
  CFrameWnd::OnClose();
}
