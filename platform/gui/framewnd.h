// The main window: a QMainWindow peer with a menu bar fed from a CMenu, an
// accelerator table turned into WM_COMMAND, docked control bars, one view
// in the middle, and the command route view -> frame -> application.
// Menu items are updated when their pop-up opens, toolbar buttons on an
// idle timer (both through update-UI handlers along the route).
#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "platform/gui/menu.h"
#include "platform/gui/stdids.h"
#include "platform/gui/toolbar.h"
#include "platform/gui/wnd.h"
#include "platform/resourcebundle.h"

class QKeySequence;
class QShortcut;
class QTimer;

namespace fw {
// The application's command target, last on every frame's route.
void SetAppCommandTarget(CCmdTarget* target);
CCmdTarget* AppCommandTarget();
// The key an accelerator entry stands for (empty for none).
QKeySequence KeySequenceFromAccel(const CAccelEntry& entry);
}  // namespace fw

class CFrameWnd : public CWnd {
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  // Creates the frame with the resources of one id: the title (string id,
  // up to its first newline), the menu, the accelerator table and the icon.
  // A missing menu or accelerator table is no error.
  virtual bool LoadFrame(unsigned resourceId, std::uint32_t style = WS_OVERLAPPEDWINDOW,
                         CWnd* parent = nullptr);

  // The window's menu (shown in the menu bar); nullptr removes it.
  bool SetMenu(CMenu* menu);
  bool SetMenuHandle(HMENU menu);
  CMenu* GetMenu() const;
  HMENU GetMenuHandle() const { return m_hMenu; }
  void DrawMenuBar();
  HMENU m_hMenuDefault = nullptr;
  bool m_bAutoMenuEnable = true;

  bool LoadAccelTable(unsigned id);

  // Sides where bars may dock (CBRS_ALIGN_*).
  void EnableDocking(std::uint32_t style);
  // Docks at the side a dock bar id names (0: the bar's own CBRS_ALIGN side).
  void DockControlBar(CControlBar* bar, int dockBarId = 0);
  void ShowControlBar(CControlBar* bar, bool show, bool delay = false);
  // The AFX_IDW_PANE_FIRST child becomes the client between the bars.
  virtual void RecalcLayout(bool notify = true);

  CWnd* GetActiveView() const;
  void SetActiveView(CWnd* view);

  // The route: active view, then the frame's own tables, then the application.
  bool OnCmdMsg(unsigned id, int code, CCmdUI* ui) override;
  // Update-UI of every control bar now (the idle timer does it too).
  void UpdateControlBars();
  std::vector<CControlBar*> ControlBars() const;

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
  virtual void OnInitMenuPopup(CMenu* popup, UINT index, bool sysMenu);
  void OnDestroy() override;

 private:
  void StartIdleTimer();
  void RunAccelerator(unsigned command);

  HMENU m_hMenu = nullptr;
  std::uint32_t m_dockStyle = CBRS_ALIGN_ANY;
  QPointer<QWidget> m_activeView;
  std::vector<std::unique_ptr<QShortcut>> m_shortcuts;
  std::unique_ptr<QTimer> m_idle;
  int m_routeDepth = 0;
};
