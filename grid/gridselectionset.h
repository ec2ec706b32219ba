// The blocks of cells selected in one sheet when multiple selection is on.
// A later block may deselect (Ctrl-click on a selected cell).
#pragma once

#include <vector>

#include "grid/griddatahost.h"

// The selection's enumerations and range: a cell or block was found, or the
// enumeration has ended (no blocks for the range).
enum GridSelectionResult { kSelectionFound = 0, kSelectionEnd = 1 };

class CGridSelectionSet {
 public:
  enum Mode { kWholeRows = 2, kFirstBlockDecides = 0x10 };
  enum KeyFlags { kShift = 0x4, kControl = 0x8 };  // MK_SHIFT, MK_CONTROL

  explicit CGridSelectionSet(CGridDataHost* grid = nullptr) : m_grid(grid) {}
  void SetGrid(CGridDataHost* grid) { m_grid = grid; }

  void StartBlock(int col, int row);
  void EndBlock(int col, int row);
  void ToggleCell(int col, int row);
  int IsSelected(int col, int row, int* block = nullptr) const;
  int IsColumnInSelection(int col) const;
  int IsRowInSelection(int row) const;
  [[nodiscard]] int GetTotalRange(int& left, int& top, int& right, int& bottom) const;
  [[nodiscard]] int FirstSelectedCell(int& col, int& row);
  [[nodiscard]] int NextSelectedCell(int& col, int& row);
  [[nodiscard]] int FirstSelectedBlock(int& left, int& top, int& right, int& bottom);
  [[nodiscard]] int NextSelectedBlock(int& left, int& top, int& right, int& bottom);
  void ClearAll();
  void SetMode(int mode);
  int GetMode() const { return m_mode; }
  int GetBlockCount() const { return static_cast<int>(m_blocks.size()); }

  void HandleSelectionClick(int col, int row, int keyFlags);
  void HandleRightClick(int col, int row, int keyFlags);
  void HandleKeyMove(int col, int row, int keyFlags);
  void HandleDrag(int col, int row);

 private:
  struct Block {
    int originCol, curCol, originRow, curRow;
    int left, right, top, bottom;
    int selected;
  };
  void Normalise(Block& b) const;
  void Notify(const Block& b);
  void HintOldSelection();
  int RightmostColumn() const;

  CGridDataHost* m_grid;
  std::vector<Block> m_blocks;
  bool m_inProgress = false;
  int m_mode = 0;
  int m_originCol = -1, m_originRow = -1;
  int m_lastCol = -1, m_lastRow = -1;
  // Enumeration state.
  int m_enumLeft = 0, m_enumTop = 0, m_enumRight = -1, m_enumBottom = -1;
  int m_nextCol = 0, m_nextRow = 0;
  bool m_enumActive = false;
  std::size_t m_blockIndex = 0;
};
