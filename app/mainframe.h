// The configuration program's main window: the toolbar, the menu with the
// toolbar's images, the two panes (configurations left, switches right), the
// grids' context menus, the remembered position, and the automatic opening
// of the last project once start-up is through.
#pragma once

#include <memory>

#include "platform/gui/framewnd.h"
#include "platform/gui/splitterwnd.h"
#include "toolkit/cooltoolbar.h"
#include "toolkit/ownerdrawmenu.h"

class CLeftView;
class CFenwardleView;

class CMainFrame : public CFrameWnd {
 public:
  static constexpr UINT_PTR kStartupTimerId = 1;
  static constexpr UINT kStartupDelayMs = 250;
  // The position the window takes without a remembered one, and the size it
  // falls back to when the remembered one does not fit the screen.
  static constexpr int kDefaultLeft = 100, kDefaultTop = 150, kDefaultRight = 930,
                       kDefaultBottom = 450;
  static constexpr int kFallbackWidth = 830, kFallbackHeight = 300;

  CMainFrame();
  ~CMainFrame() override;

  // Started by the application once start-up has succeeded: 250 ms later
  // the title is customised and the last project opened.
  void StartStartupTimer();
  // What the timer does (once).
  void OnStartupTimer();

  CLeftView* GetLeftView() const;
  CFenwardleView* GetRightView() const;
  CCoolToolBar& ToolBar() { return m_wndToolBar; }
  COwnerDrawMenu* OwnerDrawMenu() const { return m_pMenu.get(); }
  CSplitterWnd& Splitter() { return m_wndSplitter; }
  int AutoOpen() const { return m_bAutoOpen; }
  // The context menu of a list (132 or 133) at a screen point.
  void ShowContextMenu(unsigned menuId, CPoint screenPoint);
  // Takes the optional items out whose companion files are missing.
  void RemoveOptionalItems();

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  bool OnCreateClient(CREATESTRUCT* cs, CCreateContext* context) override;
  int OnCreate(CREATESTRUCT* cs) override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;

 private:
  void SaveWindowPosition();

  CSplitterWnd m_wndSplitter;
  CCoolToolBar m_wndToolBar;
  int m_bAutoOpen = 1;
  std::unique_ptr<COwnerDrawMenu> m_pMenu;
  UINT_PTR m_nTimer = 0;
};
