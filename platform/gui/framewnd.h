// The main window: a QMainWindow peer with a menu bar fed from a CMenu, an
// accelerator table turned into WM_COMMAND, docked control bars, one view
// in the middle, and the command route view -> frame -> application.
// Menu items are updated when their pop-up opens, toolbar buttons on an
// idle timer (both through update-UI handlers along the route).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
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
class CDocTemplate;
class CDocument;
class CView;

// Frame styles: the title shows the active document's ("Untitled - App").
inline constexpr std::uint32_t FWS_ADDTOTITLE = 0x00008000;
inline constexpr std::uint32_t FWS_PREFIXTITLE = 0x00004000;

// Show states of a window placement.
inline constexpr UINT SW_SHOWMINIMIZED = 2;
inline constexpr UINT SW_SHOWMAXIMIZED = 3;

// Where a top-level window is and how it is shown: the rectangle is the one
// the window has when restored (screen coordinates, right and bottom exclusive).
struct WINDOWPLACEMENT {
  UINT showCmd = SW_SHOWNORMAL;
  CRect rcNormalPosition;
};

// What a frame needs to make its client: the document the views show, the
// template that made it, and the class of the view (a factory).
struct CCreateContext {
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  std::function<std::unique_ptr<CView>()> m_newView;
};

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
  // With a context the client is made by OnCreateClient during WM_CREATE
  // (the menu and accelerators are in place by then).
  virtual bool LoadFrame(unsigned resourceId, std::uint32_t style = WS_OVERLAPPEDWINDOW,
                         CWnd* parent = nullptr, CCreateContext* context = nullptr);
  unsigned GetResourceId() const { return m_nIDHelp; }

  // The window's menu (shown in the menu bar); nullptr removes it.
  bool SetMenu(CMenu* menu);
  bool SetMenuHandle(HMENU menu);
  CMenu* GetMenu() const;
  HMENU GetMenuHandle() const { return m_hMenu; }
  void DrawMenuBar();
  HMENU m_hMenuDefault = nullptr;
  bool m_bAutoMenuEnable = true;

  bool LoadAccelTable(unsigned id);
  // The accelerators, and Alt with a letter or digit while there is a menu.
  bool TranslatesKey(QKeyCombination key) const override;

  // Sides where bars may dock (CBRS_ALIGN_*).
  void EnableDocking(std::uint32_t style);
  // Docks at the side a dock bar id names (0: the bar's own CBRS_ALIGN side).
  void DockControlBar(CControlBar* bar, int dockBarId = 0);
  void ShowControlBar(CControlBar* bar, bool show, bool delay = false);
  // The AFX_IDW_PANE_FIRST child becomes the client between the bars.
  virtual void RecalcLayout(bool notify = true);

  CWnd* GetActiveView() const;
  // A view of this frame becomes active by itself when it (or a child of
  // it) takes the focus.
  void SetActiveView(CWnd* view);
  // The active view's document; without an active view, that of the first view.
  CDocument* GetActiveDocument() const;
  // After a document was created or opened: every view of the frame gets
  // OnInitialUpdate, the first one becomes active, the frame is shown.
  void InitialUpdateFrame(CDocument* doc, bool makeVisible);

  // The title the frame was given (the first field of its string) and the
  // one it shows: "<document> - <title>" with FWS_ADDTOTITLE.
  const std::string& GetTitle() const { return m_strTitle; }
  void SetTitle(const std::string& title) { m_strTitle = title; }
  virtual void OnUpdateFrameTitle(bool addToTitle);

  // The restored rectangle and the show state, minimised or maximised included.
  bool GetWindowPlacement(WINDOWPLACEMENT* placement) const;

  // The route: active view, then the frame's own tables, then the application.
  bool OnCmdMsg(unsigned id, int code, CCmdUI* ui) override;
  // Update-UI of every control bar now (the idle timer does it too).
  void UpdateControlBars();
  std::vector<CControlBar*> ControlBars() const;

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
  virtual void OnInitMenuPopup(CMenu* popup, UINT index, bool sysMenu);
  // Takes the menu, accelerators and icon of the frame's id, then makes the client.
  int OnCreate(CREATESTRUCT* cs) override;
  // By default one view of the context's class, as the AFX_IDW_PANE_FIRST
  // child. False ends the frame's creation.
  virtual bool OnCreateClient(CREATESTRUCT* cs, CCreateContext* context);
  // A view of the context's class as a child of parent, added to the
  // context's document; the frame keeps it. Null when it cannot be created.
  CView* CreateView(CCreateContext* context, int id, CWnd* parent = nullptr);
  // The main window asks the application to save every document first; any
  // other frame asks its document.
  void OnClose() override;
  void OnDestroy() override;
  // The first time the frame shows, its active view takes the keyboard.
  void OnShowWindow(bool show, UINT status) override;
  // The help commands (Index, Finder, Help, Context Help, Default Help)
  // sent to the application's WinHelp; the frame's own context is
  // kHelpDialogBase plus its resource id.
  void MapHelpCommands();

  std::string m_strTitle;
  unsigned m_nIDHelp = 0;

 private:
  void StartIdleTimer();
  void RunAccelerator(unsigned command);
  void FollowFocus(QWidget* now);
  void FocusActivePane();

  HMENU m_hMenu = nullptr;
  std::uint32_t m_dockStyle = CBRS_ALIGN_ANY;
  QPointer<QWidget> m_activeView;
  bool m_focusPaneOnShow = false;
  std::vector<std::unique_ptr<QShortcut>> m_shortcuts;
  std::unique_ptr<QTimer> m_idle;
  int m_routeDepth = 0;
  CCreateContext* m_pCreateContext = nullptr;
  std::vector<std::unique_ptr<CView>> m_views;
  QMetaObject::Connection m_focusConnection;
};
