// The notifications' defaults, and their dispatch by axis.
#include "grid/gridcore.h"
#include "grid/gridcore_p.h"
#include "grid/gridsort.h"

using namespace gridcore;

// ---------------------------------------------------------------------------
// Hooks by axis

int CGridCore::NotifyBeforeResize(GridAxis a, int index) {
  return a == GridAxis::kCols ? OnBeforeColResize(index) : OnBeforeRowResize(index);
}

void CGridCore::NotifySizeDragging(GridAxis a, int index, int* size) {
  if (a == GridAxis::kCols)
    OnColWidthDragging(index, size);
  else
    OnRowHeightDragging(index, size);
}

void CGridCore::NotifySizeSet(GridAxis a, int index, int* size) {
  if (a == GridAxis::kCols)
    OnColWidthSet(index, size);
  else
    OnRowHeightSet(index, size);
}

int CGridCore::NotifyBeforeHeadingResize(GridAxis a) {
  return a == GridAxis::kCols ? OnBeforeSideHeadingResize() : OnBeforeTopHeadingResize();
}

bool CGridCore::NotifyHeadingDragging(GridAxis a, int* total) {
  if (a == GridAxis::kRows) return OnTopHeadingDragging(total) == 1;
  (void)OnSideHeadingDragging(total);
  return true;
}

void CGridCore::NotifyHeadingSizeSet(GridAxis a, int* total) {
  if (a == GridAxis::kCols)
    (void)OnSideHeadingWidthSet(total);
  else
    (void)OnTopHeadingHeightSet(total);
}

// ---------------------------------------------------------------------------
// Default notifications

void CGridCore::OnFocusGained(int) {}
void CGridCore::OnGridCreated() {}
void CGridCore::OnSheetCreated(int) {}
int CGridCore::OnBeforeCellMove(int, int, int, int) {
  return 1;
}
int CGridCore::OnBeforeViewMove(int, int, int, int) {
  return 1;
}
void CGridCore::OnRowsNeeded(int, int, int) {}
int CGridCore::OnBeforeColResize(int) {
  return 1;
}
void CGridCore::OnColWidthDragging(int, int*) {}
void CGridCore::OnColWidthSet(int, int*) {}
int CGridCore::OnBeforeRowResize(int) {
  return 1;
}
void CGridCore::OnRowHeightDragging(int, int*) {}
void CGridCore::OnRowHeightSet(int, int*) {}
int CGridCore::OnBeforeTopHeadingResize() {
  return 1;
}
int CGridCore::OnBeforeSideHeadingResize() {
  return 1;
}
int CGridCore::OnTopHeadingDragging(int*) {
  return 1;
}
int CGridCore::OnSideHeadingDragging(int*) {
  return 1;
}
int CGridCore::OnTopHeadingHeightSet(int*) {
  return 1;
}
int CGridCore::OnSideHeadingWidthSet(int*) {
  return 1;
}
void CGridCore::OnCurrentColChanged(int, int) {}
void CGridCore::OnCurrentRowChanged(int, int) {}
void CGridCore::OnCurrentCellChanged(int, int, int, int) {}
void CGridCore::OnLeftColChanged(int, int) {}
void CGridCore::OnTopRowChanged(int, int) {}
void CGridCore::OnViewScrolled(int, int, int) {}
void CGridCore::OnSelectionRangeChanged(int, int, int, int, int) {}
void CGridCore::OnCellLeftClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCellRightClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCellDoubleClick(int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCellMouseMove(int, int, CPoint*, unsigned, int) {}
void CGridCore::OnTopHeadingLeftClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnTopHeadingRightClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnTopHeadingDoubleClick(int, int, CRect*, CPoint*, int) {}
void CGridCore::OnSideHeadingLeftClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnSideHeadingRightClick(int, int, int, CRect*, CPoint*, int) {}
void CGridCore::OnSideHeadingDoubleClick(int, int, CRect*, CPoint*, int) {}
void CGridCore::OnCornerLeftClick(int, CRect*, CPoint*, int) {}
void CGridCore::OnCornerRightClick(int, CRect*, CPoint*, int) {}
void CGridCore::OnCornerDoubleClick(CRect*, CPoint*, int) {}
void CGridCore::OnGridKeyDown(int*, int) {}
void CGridCore::OnGridKeyUp(int*, int) {}
void CGridCore::OnGridChar(int*, int) {}
void CGridCore::OnCellFetched(int, int, CGridCellValue*) {}
void CGridCore::OnCellStoring(int, int, CGridCellValue*) {}
long long CGridCore::OnCellTypeEvent(int, int, int, int, std::intptr_t) {
  return 1;
}
int CGridCore::OnBeforeEdit(int, int, CWnd**) {
  return 1;
}
int CGridCore::OnEditChar(int, int, CWnd*, int*) {
  return 1;
}
int CGridCore::OnEditDone(int, int, CWnd*, const std::string&, int) {
  return 1;
}
int CGridCore::OnEditMoveOn(int, int, int*, int*) {
  return 1;
}
void CGridCore::OnGridMenuCommand(int, int, int, int) {}
int CGridCore::OnBeforeMenu(int, int, int) {
  return 1;
}
int CGridCore::OnContextHelp(int, int, int) {
  return 0;
}
int CGridCore::OnToolTipText(int col, int row, int, std::string* text) {
  if (text) *text = "Col:" + std::to_string(col) + " Row:" + std::to_string(row);
  return 1;
}
int CGridCore::OnRowScrollHint(int, std::string*) {
  return 1;
}
int CGridCore::OnColScrollHint(int, std::string*) {
  return 1;
}
int CGridCore::OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) {
  return SheetGridCompareCells(cell1, cell2, flags);
}
void CGridCore::OnPrepareDC(CDC*, CDC*, int) {}
void CGridCore::OnLayoutParts(CRect*, CRect*, CRect*, CRect*, CRect*, CRect*, CRect*) {}
void CGridCore::OnTabClicked(int) {}
COLORREF CGridCore::OnGetBackColor(int section) {
  return GetSysColor(section == kSectionCells ? COLOR_WINDOW : COLOR_BTNFACE);
}
void CGridCore::OnDrawCurrentCellFocus(CDC* dc, CRect* rect) {
  CGridSheetState& s = *m_sheet;
  if (!dc || !rect || s.m_curCol < 0 || s.m_curRow < 0) return;
  CGridCellValue cell;
  GetCell(s.m_curCol, s.m_curRow, cell);
  int index = cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
  if (GetCellTypeObject(index)->DrawFocusRect(*dc, *rect, s.m_curCol, s.m_curRow)) return;
  CRect r = *rect;
  r.right -= 1;
  r.bottom -= 1;
  dc->DrawFocusRect(r);
}
void CGridCore::OnFocusLost(int section, CWnd*) {
  OnFocusLostSection(section);
}
void CGridCore::OnFocusLostSection(int) {}
int CGridCore::OnBeforeColDrag(int) {
  return 1;
}
int CGridCore::OnBeforeColDrop(int, int) {
  return 1;
}
void CGridCore::OnColDropped(int, int) {}
void CGridCore::OnTrackerMoving(CRect*, CRect*) {}
