// The cell ranges and cells to repaint within one paint.
#pragma once

#include <vector>

class CGridRedrawList {
 public:
  void AddRange(int left, int top, int right, int bottom);
  void AddCell(int col, int row) { AddRange(col, row, col, row); }
  void ExtendFirstRange(int left, int top, int right, int bottom);
  int IsInHint(int col, int row) const;
  void AddHintCell(int col, int row);
  int IsHintCell(int col, int row) const;
  void ClearHint();

  bool IsEmpty() const { return m_ranges.empty(); }
  struct Range {
    int left, top, right, bottom;
  };
  const std::vector<Range>& Ranges() const { return m_ranges; }
  // Bounding box of all ranges; meaningless while the list is empty.
  Range Bounds() const { return m_box; }

 private:
  void Widen(int left, int top, int right, int bottom);
  std::vector<Range> m_ranges;
  Range m_box{0, 0, -1, -1};
  struct Cell {
    int col, row;
  };
  std::vector<Cell> m_cells;
};
