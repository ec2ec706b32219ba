#include "grid/gridselectionset.h"

#include <algorithm>

#include "grid/gridredrawlist.h"

int CGridSelectionSet::RightmostColumn() const {
  int count = m_grid ? m_grid->GetColumnTotal() : 0;
  return std::max(count - 1, 0);
}

void CGridSelectionSet::Normalise(Block& b) const {
  if (m_mode & kWholeRows) {
    b.left = 0;
    b.right = RightmostColumn();
  } else {
    b.left = std::min(b.originCol, b.curCol);
    b.right = std::max(b.originCol, b.curCol);
  }
  b.top = std::min(b.originRow, b.curRow);
  b.bottom = std::max(b.originRow, b.curRow);
}

void CGridSelectionSet::Notify(const Block& b) {
  if (m_grid) m_grid->OnSelectionRangeChanged(b.right, b.top, b.left, b.bottom, GetBlockCount());
}

void CGridSelectionSet::StartBlock(int col, int row) {
  m_originCol = col;
  m_originRow = row;
  Block b{col, col, row, row, col, col, row, row, 1};
  Normalise(b);
  m_blocks.push_back(b);
  m_inProgress = true;
  Notify(m_blocks.back());
}

void CGridSelectionSet::EndBlock(int col, int row) {
  if (!m_inProgress || m_blocks.empty()) return;
  Block& b = m_blocks.back();
  const Block old = b;
  b.curCol = col;
  b.curRow = row;
  Normalise(b);
  b.selected = 1;
  Notify(b);
  if (!m_grid) return;
  CGridRedrawList& hint = m_grid->GetRedrawHint();
  const int ul = std::min(old.left, b.left), ur = std::max(old.right, b.right);
  const int ut = std::min(old.top, b.top), ub = std::max(old.bottom, b.bottom);
  // Only the strips whose membership changed need repainting.
  auto rowsChanged = [&](int a1, int a2, int b1, int b2) {
    if (b1 < a1) hint.AddRange(ul, b1, ur, a1 - 1);
    if (a1 < b1) hint.AddRange(ul, a1, ur, b1 - 1);
    if (b2 > a2) hint.AddRange(ul, a2 + 1, ur, b2);
    if (a2 > b2) hint.AddRange(ul, b2 + 1, ur, a2);
  };
  auto colsChanged = [&](int a1, int a2, int b1, int b2) {
    if (b1 < a1) hint.AddRange(b1, ut, a1 - 1, ub);
    if (a1 < b1) hint.AddRange(a1, ut, b1 - 1, ub);
    if (b2 > a2) hint.AddRange(a2 + 1, ut, b2, ub);
    if (a2 > b2) hint.AddRange(b2 + 1, ut, a2, ub);
  };
  rowsChanged(old.top, old.bottom, b.top, b.bottom);
  colsChanged(old.left, old.right, b.left, b.right);
}

void CGridSelectionSet::ToggleCell(int col, int row) {
  for (auto it = m_blocks.rbegin(); it != m_blocks.rend(); ++it) {
    if (it->left == col && it->right == col && it->top == row && it->bottom == row) {
      it->selected = !it->selected;
      return;
    }
  }
  const int was = IsSelected(col, row);
  StartBlock(col, row);
  m_blocks.back().selected = was ? 0 : 1;
}

int CGridSelectionSet::IsSelected(int col, int row, int* block) const {
  int answer = 0, decider = -1;
  for (std::size_t i = 0; i < m_blocks.size(); ++i) {
    const Block& b = m_blocks[i];
    if (col < b.left || col > b.right || row < b.top || row > b.bottom) continue;
    answer = b.selected;
    decider = static_cast<int>(i);
    if (m_mode & kFirstBlockDecides) break;
  }
  if (block) *block = decider;
  return answer;
}

int CGridSelectionSet::IsColumnInSelection(int col) const {
  if (m_mode & kWholeRows) col = 1;
  int answer = 0;
  for (const Block& b : m_blocks) {
    if (col < b.left || col > b.right) continue;
    answer = b.selected;
    if (m_mode & kFirstBlockDecides) break;
  }
  return answer;
}

int CGridSelectionSet::IsRowInSelection(int row) const {
  int answer = 0;
  for (const Block& b : m_blocks) {
    if (row < b.top || row > b.bottom) continue;
    answer = b.selected;
    if (m_mode & kFirstBlockDecides) break;
  }
  return answer;
}

int CGridSelectionSet::GetTotalRange(int& left, int& top, int& right, int& bottom) const {
  if (m_blocks.empty()) return kSelectionEnd;
  left = top = INT32_MAX;
  right = bottom = INT32_MIN;
  for (const Block& b : m_blocks) {
    left = std::min(left, b.left);
    top = std::min(top, b.top);
    right = std::max(right, b.right);
    bottom = std::max(bottom, b.bottom);
  }
  if (m_mode & kWholeRows) right = RightmostColumn();
  return kSelectionFound;
}

int CGridSelectionSet::FirstSelectedCell(int& col, int& row) {
  m_enumActive = false;
  if (m_blocks.empty()) {
    if (!m_grid) return kSelectionEnd;
    col = m_grid->GetCurrentColumn();
    row = m_grid->GetCurrentRow();
    return kSelectionFound;
  }
  (void)GetTotalRange(m_enumLeft, m_enumTop, m_enumRight, m_enumBottom);  // there are blocks
  m_nextCol = m_enumLeft;
  m_nextRow = m_enumTop;
  m_enumActive = true;
  return NextSelectedCell(col, row);
}

int CGridSelectionSet::NextSelectedCell(int& col, int& row) {
  if (!m_enumActive) return kSelectionEnd;
  const bool wholeRows = (m_mode & kWholeRows) != 0;
  while (m_nextRow <= m_enumBottom) {
    if (wholeRows) {
      int r = m_nextRow++;
      if (IsRowInSelection(r) && IsSelected(m_enumLeft, r)) {
        col = m_enumLeft;
        row = r;
        return kSelectionFound;
      }
      continue;
    }
    int c = m_nextCol, r = m_nextRow;
    if (++m_nextCol > m_enumRight) {
      m_nextCol = m_enumLeft;
      ++m_nextRow;
    }
    if (IsSelected(c, r)) {
      col = c;
      row = r;
      return kSelectionFound;
    }
  }
  m_enumActive = false;
  return kSelectionEnd;
}

int CGridSelectionSet::FirstSelectedBlock(int& left, int& top, int& right, int& bottom) {
  m_blockIndex = 0;
  return NextSelectedBlock(left, top, right, bottom);
}

int CGridSelectionSet::NextSelectedBlock(int& left, int& top, int& right, int& bottom) {
  if (m_blockIndex >= m_blocks.size()) return kSelectionEnd;
  const Block& b = m_blocks[m_blockIndex++];
  left = b.left;
  top = b.top;
  right = b.right;
  bottom = b.bottom;
  return kSelectionFound;
}

void CGridSelectionSet::ClearAll() {
  m_blocks.clear();
  m_inProgress = false;
  m_enumActive = false;
  m_blockIndex = 0;
  m_originCol = m_originRow = -1;
  m_lastCol = m_lastRow = -1;
}

void CGridSelectionSet::SetMode(int mode) {
  ClearAll();
  m_mode = mode;
}

void CGridSelectionSet::HintOldSelection() {
  if (!m_grid) return;
  CGridRedrawList& hint = m_grid->GetRedrawHint();
  for (const Block& b : m_blocks) hint.AddRange(b.left, b.top, b.right, b.bottom);
}

void CGridSelectionSet::HandleSelectionClick(int col, int row, int keyFlags) {
  if (keyFlags & kControl) {
    // Ctrl adds a block and keeps the others; on a selected cell the new
    // block deselects it.
    ToggleCell(col, row);
  } else if ((keyFlags & kShift) && m_inProgress) {
    EndBlock(col, row);
  } else {
    HintOldSelection();
    ClearAll();
    StartBlock(col, row);
  }
  m_lastCol = col;
  m_lastRow = row;
}

void CGridSelectionSet::HandleRightClick(int col, int row, int /*keyFlags*/) {
  if (IsSelected(col, row)) return;
  HandleSelectionClick(col, row, 0);
}

void CGridSelectionSet::HandleKeyMove(int col, int row, int keyFlags) {
  if (col == m_lastCol && row == m_lastRow) return;
  if ((keyFlags & kShift) && m_inProgress) {
    EndBlock(col, row);
  } else {
    if (!(keyFlags & kControl)) {
      HintOldSelection();
      ClearAll();
    }
    StartBlock(col, row);
  }
  m_lastCol = col;
  m_lastRow = row;
}

void CGridSelectionSet::HandleDrag(int col, int row) {
  if (col == m_lastCol && row == m_lastRow) return;
  EndBlock(col, row);
  m_lastCol = col;
  m_lastRow = row;
}
