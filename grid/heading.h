// The grid's two headings: column titles above the cells and row titles at
// their left, each one or more heading rows (columns) deep. They draw their
// cells through the cell types, size columns, rows and themselves when an
// edge is dragged, and report clicks to the grid's notifications.
#pragma once

#include <set>
#include <utility>
#include <vector>

#include "grid/gridctrl.h"

class CGridHeadingBase : public CWnd {
 public:
  explicit CGridHeadingBase(CSheetGridCtrl* grid) : m_grid(grid) {}
  bool IsHot() const { return m_hot; }
  bool IsDragging() const { return m_dragging; }
  // 0 and the heading cell under the point (joined cells give their origin),
  // or 1 with -1, -1 when there is none.
  virtual int HitTestHeading(CPoint point, int& col, int& row, CRect& rect) = 0;
  int GetHeadingCellRect(int col, int row, CRect& rect);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnEraseBkgnd(CDC*) override { return true; }
  void OnCaptureChanged(CWnd* wnd) override;
  // Hovers while no button is down, else follows the sizing drag.
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  CNormalCellType* TypeOf(int col, int row, CGridCellValue& cell);
  void TakeFocusToCells();
  virtual int Section() const = 0;
  virtual void Hover(CPoint point) = 0;
  virtual void DragTo(CPoint point) = 0;
  // Whether the hot edge sizes a width (across x) rather than a height.
  virtual bool HotEdgeSizesWidth() const = 0;

  // The two headings are the same logic with the axes swapped; these are the
  // parts that do not depend on which axis is which.
  struct Press {
    int col = -1, row = -1;
    CRect rect;
    int processed = 0;
  };
  enum class Button { Left, Right, Double };
  // Hit tests the point and, on a cell, lets its cell type handle the button.
  Press PressCell(CPoint point, Button button, int down);
  virtual void NotifyRightClick(Press& p, int down, CPoint& point) = 0;
  // The heading row (column) -count..-1 whose band holds pos, 0 for none.
  static int HeadingIndexAt(int pos, const std::vector<int>& sizes, int count);
  // Fills the hit for a cell (a joined cell gives its origin); returns 0.
  int HitCell(int col, int row, int& outCol, int& outRow, CRect& rect);
  void PreparePaint(CDC& dc);
  // Draws one heading cell; a joined block is drawn once, at its first cell.
  void DrawHeadingCell(CDC& dc, CRect rect, int col, int row,
                       std::set<std::pair<int, int>>& blocks);
  static bool NearEdge(int pos, int edge);
  void ShowCursor();
  // Moves the sizing line over the cell area to pos: vertical when across x.
  void MoveTrackLine(int pos, bool vertical);
  void FinishSizing();

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
  int m_track = -1;  // the sizing line over the cell area, -1 when none
};

class CGridTopHeading : public CGridHeadingBase {
 public:
  using CGridHeadingBase::CGridHeadingBase;
  int HitTestHeading(CPoint point, int& col, int& row, CRect& rect) override;
  void UpdateTopHeading(int oldLeft);
  void FixLastHeadingRow() { m_grid->FixLastHeadingRow(); }
  // The x of the sizing line over the cell area, -1 when none.
  int TrackLineX() const { return m_track; }

 protected:
  int Section() const override { return kSectionTopHeading; }
  void OnPaint() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void Hover(CPoint point) override;
  void DragTo(CPoint point) override;
  bool HotEdgeSizesWidth() const override { return m_kind == 0; }
  void NotifyRightClick(Press& p, int down, CPoint& point) override;

 private:
  void EndSizing();
};

class CGridSideHeading : public CGridHeadingBase {
 public:
  using CGridHeadingBase::CGridHeadingBase;
  int HitTestHeading(CPoint point, int& col, int& row, CRect& rect) override;
  void UpdateSideHeading(int oldTop);
  void FixLastHeadingCol() { m_grid->FixLastHeadingCol(); }
  int TrackLineY() const { return m_track; }

 protected:
  int Section() const override { return kSectionSideHeading; }
  void OnPaint() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void Hover(CPoint point) override;
  void DragTo(CPoint point) override;
  bool HotEdgeSizesWidth() const override { return m_kind == 1; }
  void NotifyRightClick(Press& p, int down, CPoint& point) override;

 private:
  void EndSizing();
  double m_rowFactor = 1.0;  // uniform heights: pointer y per row height
};
