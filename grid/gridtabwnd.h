// The strip of sheet tabs at the bottom left of a grid: one trapezoid tab
// per sheet name, a small scroll bar that scrolls the strip, and a sizing
// edge at its right end. A click tells the grid which tab was chosen; the
// derived grid decides whether to switch the sheet.
#pragma once

#include <string>
#include <vector>

#include "grid/sheetgridctrl.h"

class QScrollBar;

class CGridTabWnd : public CWnd {
 public:
  explicit CGridTabWnd(CSheetGridCtrl* grid);
  ~CGridTabWnd() override;

  struct Tab {
    std::string label;
    int id = 0;
    int width = 0;
    COLORREF text = 0, back = 0, curText = 0, curBack = 0;
  };

  // 1 when the strip already holds 64 tabs.
  [[nodiscard]] int AddSheetTab(const std::string& label, int id);
  void RecalcTabScroll();
  const std::vector<Tab>& Tabs() const { return m_tabs; }
  int CurrentTab() const { return m_current; }
  int ScrollOffset() const { return m_offset; }
  int MaxOffset() const { return m_maxOffset; }
  int SmallBarWidth() const { return m_smallBarWidth; }
  // Tab under a point of the strip, -1 when none.
  int TabAt(int x) const;
  void ScrollStrip(int delta);
  // Makes the tab `step` places on current, as a click on it does; false
  // past the first or the last tab.
  bool StepTab(int step);

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC*) override { return true; }
  void OnSize(UINT type, int cx, int cy) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

 private:
  std::vector<int> Widths() const;
  CFont& TabFont();
  void DrawTab(CDC& dc, const Tab& tab, int x, int top, int bottom, bool current);
  // The tab becomes current and is scrolled into view; the grid is told.
  void ChooseTab(int index);

  CSheetGridCtrl* m_grid;
  QScrollBar* m_smallBar = nullptr;  // owned by the peer
  CFont m_font;
  std::vector<Tab> m_tabs;
  int m_offset = 0;
  int m_maxOffset = 0;
  int m_current = 0;
  int m_smallBarWidth;
  bool m_hot = false;
  bool m_dragging = false;
};
