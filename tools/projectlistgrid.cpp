#include "tools/projectlistgrid.h"

#include "grid/gridcellvalue.h"
#include "tools/itemtypebase.h"
#include "tools/switchlistgrid.h"

namespace {
constexpr std::int32_t kMultiLine = 2;
constexpr std::int32_t kArrowUp = 0x10 | kMultiLine;
constexpr std::int32_t kArrowDown = 0x20 | kMultiLine;
constexpr int kSortAscending = 1, kSortDescending = 2;
}  // namespace

CProjectListGrid::CProjectListGrid(CWnd* owner) : m_owner(owner) {}

CProjectListGrid::~CProjectListGrid() = default;

int CProjectListGrid::SetProject(IProjectDocument* doc) {
  m_doc = doc;
  for (CItemTypeBase* p : m_providers) p->SetDocument(doc);
  return static_cast<int>(m_providers.size());
}

CWnd* CProjectListGrid::NotifyTarget() {
  return m_notify ? m_notify : GetTopLevelParent();
}

void CProjectListGrid::UpdateRowCount() {
  const int paint = IsRepaintEnabled();
  SetRepaintEnabled(0);
  (void)SetRowTotal(m_store.GetRowCount() + 1);
  SetRepaintEnabled(paint);
  OnRowsChanged();
}

void CProjectListGrid::AddRemoveRows(const std::vector<GridRecordKey>& keys, bool remove) {
  if (remove)
    m_store.RemoveRows(keys);
  else
    m_store.AddRows(keys, true);
  UpdateRowCount();
}

void CProjectListGrid::LoadProjectRows() {
  (void)SetRowTotal(0);
  RepaintAll();
  m_store.ClearRows();
  m_store.AddRows(m_doc ? ProjectRowKeys() : std::vector<GridRecordKey>{}, true);
  UpdateRowCount();
  ReSort();
}

void CProjectListGrid::ReSort() {
  const int paint = IsRepaintEnabled();
  SetRepaintEnabled(0);
  (void)SortRows(m_sortCol, m_ascending ? kSortAscending : kSortDescending);
  SetRepaintEnabled(paint);
  RepaintAll();
  OnRowsChanged();
}

void CProjectListGrid::Reload() {
  SetRepaintEnabled(0);
  m_store.ClearRows();
  OnReloadRows();
  (void)SortRows(m_sortCol, m_ascending ? kSortAscending : kSortDescending);
  SetRepaintEnabled(1);
  RepaintAll();
  OnRowsChanged();
}

int CProjectListGrid::PasteIntoEditor() {
  const int col = GetCurrentColumn();
  if (col < 0 || !m_store.GetProvider(GetColumnMapping(col))) return 1;
  std::string text;
  if (GetClipboardText(text) != kGridClipboardOk) return 1;
  return fw::PasteIntoGridEditor(*this, text);
}

void CProjectListGrid::FetchHeadingCell(int col, CGridCellValue* cell) const {
  cell->GridCellSetTypeStyle(kMultiLine);
  if (col == m_sortCol) {
    cell->GridCellSetCellType(m_sortArrowIndex);
    cell->GridCellSetTypeStyle(m_ascending ? kArrowUp : kArrowDown);
  }
}

void CProjectListGrid::OnTopHeadingLeftClick(int col, int, int pressed, CRect*, CPoint*, int) {
  if (pressed || col < 0) return;
  m_sortCol = col;
  m_ascending = !m_ascending;
  ReSort();
}

void CProjectListGrid::OnDrawCurrentCellFocus(CDC* dc, CRect* rect) {
  fw::DrawListFocusRect(dc, rect);
}

int CProjectListGrid::OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) {
  return fw::CompareListCells(cell1, cell2, flags);
}

int CProjectListGrid::OnEditMoveOn(int col, int row, int* nextCol, int* nextRow) {
  if (m_editRefused) return 0;
  return CSheetGridCtrl::OnEditMoveOn(col, row, nextCol, nextRow);
}
