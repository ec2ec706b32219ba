// In-place editing: starting an edit, ending it, moving on to the next cell.
#include "grid/gridcore.h"
#include "grid/gridcore_p.h"

using namespace gridcore;

// ---------------------------------------------------------------------------
// Editing

int CGridCore::BeginCellEditAt(int col, int row, int key) {
  CGridSheetState& s = *m_sheet;
  if (m_editing) return kGridOutOfRange;
  // Every early exit below clears the flag again: a refused start must not
  // block the edits after it.
  m_editing = 1;
  auto fail = [&](int code) {
    m_editing = 0;
    return code;
  };
  m_editCol = col;
  m_editRow = row;
  ClearSelection();
  if (col >= 0 && row >= 0 && (col != s.m_curCol || row != s.m_curRow)) {
    if (MoveToCell(col, row) != kGridOk) return fail(kGridRefused);
    col = m_editCol = s.m_curCol;
    row = m_editRow = s.m_curRow;
  }
  if (col < -s.m_sideHeadCols || col >= s.m_colCount || row < -s.m_topHeadRows ||
      row >= s.m_rowCount)
    return fail(kGridOutOfRange);
  CGridCellValue cell;
  GetCell(col, row, cell);
  if (!CellTypeCanEdit(cell)) return fail(kGridOutOfRange);
  int section = col < 0 ? kSectionSideHeading : (row < 0 ? kSectionTopHeading : kSectionCells);
  CRect rect;
  if (GetCellRectangle(col, row, rect) != kGridOk) return fail(kGridOutOfRange);
  rect.right -= 1;
  rect.bottom -= 1;
  CellTypeEditRect(cell, rect);
  if (cell.GridCellGetReadOnly()) return fail(kGridOutOfRange);
  CWnd* editor = nullptr;
  if (m_replacedEditor)
    editor = m_replacedEditor;
  else
    editor = ViewDefaultEditor(cell.GridCellHasFlag(GridProp::Mask) != 0);
  void* dsEditor = editor;
  CGridDataSource* ds = ColumnSource(col);
  if (ds && ds->CanStartEdit(col, row, &dsEditor) != kSourceAllows) {
    ViewRepaintCell(col, row);
    return fail(kGridOutOfRange);
  }
  editor = static_cast<CWnd*>(dsEditor);
  if (!OnBeforeEdit(col, row, &editor)) {
    ViewRepaintCell(col, row);
    return fail(kGridOutOfRange);
  }
  if (cell.GridCellGetDataType() == kGridNumber)
    cell.GridCellSetFlags(cell.GridCellGetFlags() | GridProp::NoLocale);
  const std::string* t = cell.GridCellGetText();
  std::string text = t ? *t : std::string();
  m_editWindow = editor;
  m_editSection = section;
  ViewShowEditor(editor, section, rect, cell, text, key);
  return kGridOk;
}

int CGridCore::FinishCellEdit(std::string_view text, int cancelled, int cont, int nextCol,
                              int nextRow) {
  CGridSheetState& s = *m_sheet;
  if (!m_editing) return kGridOutOfRange;
  const int col = m_editCol, row = m_editRow;
  const std::string value(text);
  CGridDataSource* ds = ColumnSource(col);
  if ((ds && ds->CanFinishEdit(col, row, m_editWindow, value, cancelled) != kSourceAllows) ||
      !OnEditDone(col, row, m_editWindow, value, cancelled))
    return kGridEditGoesOn;
  ViewHideEditor(m_editWindow);
  if (!cancelled) {
    CGridCellValue full;
    GetCell(col, row, full);
    CGridCellValue raw;
    GetCellRaw(col, row, raw);
    raw.GridCellSetText(value);
    int type = full.GridCellGetDataType();
    if (type >= 2 && type <= 5) raw.GridCellSetDataType(type);
    // A source that keeps no cells leaves the text to the owner, who took it
    // in OnEditDone; only a text that was stored can spill.
    const bool stored = SetCell(col, row, raw) == kGridOk;
    // Text that spills into an empty right neighbour must be shown there too.
    if (stored && s.m_opt.overflowEdit && col >= 0 && col + 1 < s.m_colCount && row >= 0) {
      auto right = GetCellText(col + 1, row);
      if ((!right || right->empty()) && !value.empty()) {
        CGridCellValue probe(full);
        probe.GridCellSetText(value);
        if (MeasureCellWidth(col, row, probe) > s.ColWidth(col) && m_paint && IsCreated())
          ViewRepaintAll();
      }
    }
  }
  if (cont && m_editSection == kSectionCells && s.m_colCount > 0 && s.m_rowCount > 0) {
    int nc = nextCol, nr = nextRow;
    // Step over the block being left, and land on the origin of another.
    int c1, r1, c2, r2;
    if (GetJoinBlock(col, row, c1, r1, c2, r2)) {
      if (nc > col) nc = c2 + 1;
      if (nr > row) nr = r2 + 1;
      if (nc < col) nc = c1 - 1;
      if (nr < row) nr = r1 - 1;
    }
    if (nc < 0) nc = s.m_colCount - 1;
    if (nc >= s.m_colCount) nc = 0;
    if (nr < 0) nr = s.m_rowCount - 1;
    if (nr >= s.m_rowCount) nr = 0;
    if (GetJoinBlock(nc, nr, c1, r1, c2, r2)) {
      nc = c1;
      nr = r1;
    }
    if ((!ds || ds->ChooseNextEditCell(col, row, nc, nr) == kSourceAllows) &&
        OnEditMoveOn(col, row, &nc, &nr)) {
      m_editing = 0;
      ViewRepaintCell(col, row);
      // This edit has ended whether or not the next one may start.
      (void)BeginCellEditAt(nc, nr, 0);
      return kGridEditEnded;
    }
  }
  m_editing = 0;
  ViewRepaintCell(col, row);
  return kGridEditEnded;
}

void CGridCore::HideEditWindow() {
  if (!m_editing) return;
  m_editing = 0;
  ViewHideEditor(m_editWindow);
  ViewFocusCellArea();
}
