// The grid's two headings: column titles above the cells and row titles at
// their left, each one or more heading rows (columns) deep. They draw their
// cells through the cell types, size columns, rows and themselves when an
// edge is dragged, and report clicks to the grid's notifications.
#pragma once

#include "grid/gridctrl.h"

class CGridHeadingBase : public CWnd {
 public:
  explicit CGridHeadingBase(CSheetGridCtrl* grid) : m_grid(grid) {}
  bool IsHot() const { return m_hot; }
  bool IsDragging() const { return m_dragging; }
  // 0 and the heading cell under the point (joined cells give their origin),
  // or 1 with -1, -1 when there is none.
  virtual int HitTestHeading(CPoint point, int& col, int& row, CRect& rect) = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnEraseBkgnd(CDC*) override { return true; }
  void OnCaptureChanged(CWnd* wnd) override;
  CNormalCellType* TypeOf(int col, int row, CGridCellValue& cell);
  void TakeFocusToCells();
  virtual int Section() const = 0;

  CSheetGridCtrl* m_grid;
  CGridCellValue m_scratch;
  bool m_hot = false;
  int m_kind = 0;  // what a hot edge sizes: 0 a data column (row), 1 a heading row (column)
  int m_index = 0;
  int m_startSize = 0;
  int m_startPos = 0;
  int m_startTotal = 0;
  bool m_dragging = false;
  bool m_pressed = false;
};

class CGridTopHeading : public CGridHeadingBase {
 public:
  using CGridHeadingBase::CGridHeadingBase;
  int HitTestHeading(CPoint point, int& col, int& row, CRect& rect) override;
  int GetHeadingCellRect(int col, int row, CRect& rect);
  void UpdateTopHeading(int oldLeft);
  void FixLastHeadingRow() { m_grid->FixLastHeadingRow(); }
  // The x of the sizing line over the cell area, -1 when none.
  int TrackLineX() const { return m_trackX; }

 protected:
  int Section() const override { return kSectionTopHeading; }
  void OnPaint() override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

 private:
  void Hover(CPoint point);
  void EndSizing();
  int m_trackX = -1;
};

class CGridSideHeading : public CGridHeadingBase {
 public:
  using CGridHeadingBase::CGridHeadingBase;
  int HitTestHeading(CPoint point, int& col, int& row, CRect& rect) override;
  int GetHeadingCellRect(int col, int row, CRect& rect);
  void UpdateSideHeading(int oldTop);
  void FixLastHeadingCol() { m_grid->FixLastHeadingCol(); }
  int TrackLineY() const { return m_trackY; }

 protected:
  int Section() const override { return kSectionSideHeading; }
  void OnPaint() override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

 private:
  void Hover(CPoint point);
  void EndSizing();
  int m_trackY = -1;
  double m_rowFactor = 1.0;  // uniform heights: pointer y per row height
};
