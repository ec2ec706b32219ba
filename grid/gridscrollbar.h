// The grid's two scroll bars. They show the sheet's scroll positions (the
// vertical one on a 0..1000 scale above 1,000 scrollable rows) and turn the
// user's scroll actions into the grid's scrolling operations.
#pragma once

#include "grid/sheetgridctrl.h"

class QScrollBar;

class CGridScrollBar : public CWnd {
 public:
  CGridScrollBar(CSheetGridCtrl* grid, bool vertical) : m_grid(grid), m_vertical(vertical) {}
  QScrollBar* Bar() const;
  // Range, page and position as the grid computed them; raises no action.
  void UpdateScrollBar();

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Action(int code);

  CSheetGridCtrl* m_grid;
  bool m_vertical;
  bool m_applying = false;
};

class CGridVertBar : public CGridScrollBar {
 public:
  explicit CGridVertBar(CSheetGridCtrl* grid) : CGridScrollBar(grid, true) {}
};

class CGridHorzBar : public CGridScrollBar {
 public:
  explicit CGridHorzBar(CSheetGridCtrl* grid) : CGridScrollBar(grid, false) {}
};
