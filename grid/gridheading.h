// The grid's two headings: column titles above the cells and row titles at
// their left, each one or more heading rows (columns) deep. One class serves
// both: the top heading runs along the columns with its heading rows across,
// the side heading along the rows with its heading columns across. They draw
// their cells through the cell types, size columns, rows and themselves when
// an edge is dragged, and report clicks to the grid's notifications.
#pragma once

#include <set>
#include <utility>
#include <vector>

#include "grid/sheetgridctrl.h"

class CGridHeading : public CWnd {
 public:
  CGridHeading(CSheetGridCtrl* grid, GridAxis along) : m_grid(grid), m_along(along) {}
  // The axis the heading runs along: kCols for the top heading.
  GridAxis Along() const { return m_along; }
  bool IsHot() const { return m_hot; }
  bool IsDragging() const { return m_dragging; }
  // 0 and the heading cell under the point (joined cells give their origin),
  // or 1 with -1, -1 when there is none.
  [[nodiscard]] int HitTestHeading(CPoint point, int& col, int& row, CRect& rect);
  [[nodiscard]] int GetHeadingCellRect(int col, int row, CRect& rect);
  // After the view moved along the heading: what changed is drawn again.
  void UpdateHeading(int oldFirst);
  // Draws the band of one column (row) again, when it is on screen.
  void RepaintPart(int index);
  // The sizing line over the cell area (an x for the top heading, a y for
  // the side heading), -1 when none.
  int TrackLine() const { return m_track; }
  // The heading's part next to the cells takes what the others leave of its total.
  void FixLastHeadingPart() { m_grid->FixLastHeadingPart(Across()); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnEraseBkgnd(CDC*) override { return true; }
  void OnPaint() override;
  void OnCaptureChanged(CWnd* wnd) override;
  // Hovers while no button is down, else follows the sizing drag.
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

 private:
  // What a hot edge sizes: a column (row) of the grid, or one of the
  // heading's own rows (columns).
  enum class Edge { kData, kHeading };
  enum class Button { kLeft, kRight, kDouble };
  struct Press {
    int col = -1, row = -1;
    CRect rect;
    int processed = 0;
  };

  GridAxis Across() const { return OtherAxis(m_along); }
  int Section() const;
  int AlongOf(CPoint p) const { return m_along == GridAxis::kCols ? p.x : p.y; }
  int AcrossOf(CPoint p) const { return m_along == GridAxis::kCols ? p.y : p.x; }
  CNormalCellType* TypeOf(int col, int row, CGridCellValue& cell);
  void TakeFocusToCells();
  void Hover(CPoint point);
  bool HoverDataEdges(CPoint point);
  bool HoverHeadingEdges(CPoint point);
  // Whether the hot edge sizes a width (across x) rather than a height.
  bool HotEdgeSizesWidth() const { return (m_edge == Edge::kData) == (m_along == GridAxis::kCols); }
  void DragTo(CPoint point);
  void EndSizing();
  void FinishSizing();
  // Hit tests the point and, on a cell, lets its cell type handle the button.
  Press PressCell(CPoint point, Button button, int down);
  void NotifyClick(Button button, Press& p, int down, CPoint& point);
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
  // Moves the sizing line over the cell area to pos along the heading.
  void MoveTrackLine(int pos);

  CSheetGridCtrl* m_grid;
  const GridAxis m_along;
  CGridCellValue m_scratch;
  bool m_hot = false;
  Edge m_edge = Edge::kData;
  int m_index = 0;
  int m_startSize = 0;
  int m_startPos = 0;
  int m_startTotal = 0;
  double m_factor = 1.0;  // shared row heights: pointer distance per row height
  bool m_dragging = false;
  bool m_pressed = false;
  int m_track = -1;  // the sizing line over the cell area, -1 when none
};

class CGridTopHeading : public CGridHeading {
 public:
  explicit CGridTopHeading(CSheetGridCtrl* grid) : CGridHeading(grid, GridAxis::kCols) {}
  void UpdateTopHeading(int oldLeft) { UpdateHeading(oldLeft); }
  void FixLastHeadingRow() { FixLastHeadingPart(); }
  int TrackLineX() const { return TrackLine(); }
};

class CGridSideHeading : public CGridHeading {
 public:
  explicit CGridSideHeading(CSheetGridCtrl* grid) : CGridHeading(grid, GridAxis::kRows) {}
  // The row titles show which row is current: the old and the new one are
  // drawn again with the rows that scrolled in.
  void UpdateSideHeading(int oldTop, int oldCurrent, int newCurrent) {
    UpdateHeading(oldTop);
    if (oldCurrent == newCurrent) return;
    RepaintPart(oldCurrent);
    RepaintPart(newCurrent);
  }
  void FixLastHeadingCol() { FixLastHeadingPart(); }
  int TrackLineY() const { return TrackLine(); }
};
