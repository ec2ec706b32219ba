// The status monitor's main window: the toolbar, the plain menu and the one
// view. It opens where the settings say (never written back), at least as
// wide as the list's columns, takes the customised title shortly after
// start-up and does not close during a search.
#pragma once

#include "platform/gui/framewnd.h"
#include "toolkit/cooltoolbar.h"

class CCalvenorFrame : public CFrameWnd {
 public:
  static constexpr UINT_PTR kStartupTimerId = 13;
  static constexpr UINT kStartupDelayMs = 250;
  static constexpr int kDefaultLeft = 100, kDefaultTop = 150, kDefaultRight = 600,
                       kDefaultBottom = 500;
  static constexpr int kFallbackWidth = 600, kFallbackHeight = 500;

  CCalvenorFrame();
  ~CCalvenorFrame() override;

  void StartStartupTimer();
  void OnStartupTimer();
  CCoolToolBar& ToolBar() { return m_wndToolBar; }

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  void OnTimer(UINT_PTR id) override;
  void OnClose() override;

 private:
  // Widens the window so that its view is `width` pixels wide, never past
  // the screen's free area, moved left where it would run off it.
  void FitViewWidth(int width);

  CCoolToolBar m_wndToolBar;
  UINT_PTR m_nTimer = 0;
};
