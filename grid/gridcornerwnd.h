// The box where the two headings meet. It draws the corner cell (column -1,
// row -1), sizes the side heading's width and the top heading's height when
// its edges are dragged, and reports clicks to the grid with section 4.
#pragma once

#include "grid/sheetgridctrl.h"

class CGridCornerWnd : public CWnd {
 public:
  explicit CGridCornerWnd(CSheetGridCtrl* grid) : m_grid(grid) {}
  bool IsDragging() const { return m_dragging; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC*) override { return true; }
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

 private:
  CSheetGridCtrl* m_grid;
  CGridCellValue m_scratch;
  bool m_dragging = false;
  bool m_sizing = false;
  bool m_sizeHeight = false;
  bool m_sizeWidth = false;
};
