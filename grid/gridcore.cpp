#include "grid/gridcore.h"

#include <cstring>

#include "grid/gridcore_p.h"
#include "grid/gridselectionset.h"

using namespace gridlimits;
using namespace gridcore;

// ---------------------------------------------------------------------------
// Construction

CGridCore::CGridCore() {
  (void)SetSheetTotal(1);  // one sheet is always within the limits
  RecreatePens();
  RegisterCellType(&m_normalType);
  RegisterCellType(&m_dropListType);
  RegisterCellType(&m_checkBoxType);
  RegisterCellType(&m_sideArrowsType);
}

void CGridCore::RecreatePens() {
  // Solid pens of one pixel: nothing to fail.
  (void)m_defaultPen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  (void)m_gridLinePen.CreatePen(PS_SOLID, 1, m_sheet->m_gridLineColor);
  (void)m_highlightPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  (void)m_shadowPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
}

const CGridDrawOptions& CGridCore::GetDrawOptions() {
  const GridSheetOptions& o = m_sheet->m_opt;
  m_drawOptions.textOverflow = o.overflowEdit;
  m_drawOptions.gridLines = o.gridLines;
  m_drawOptions.threeDWidth = o.frame3dWidth;
  m_drawOptions.highlightCurrent = o.currentHighlight;
  m_drawOptions.cellMargin = o.cellMargin;
  m_drawOptions.multipleSelection = o.multiSelect;
  return m_drawOptions;
}

bool CGridCore::IsEditing(int* col, int* row) {
  if (m_editing) {
    if (col) *col = m_editCol;
    if (row) *row = m_editRow;
  }
  return m_editing != 0;
}

void CGridCore::RepaintCell(int col, int row) {
  if (m_paint && IsCreated()) ViewRepaintCell(col, row);
}

void CGridCore::RepaintRow(int row) {
  if (m_paint && IsCreated()) ViewRepaintRow(row);
}

void CGridCore::RepaintRange(int col1, int row1, int col2, int row2) {
  if (!m_paint || !IsCreated()) return;
  for (int r = row1; r <= row2; ++r)
    for (int c = col1; c <= col2; ++c) ViewRepaintCell(c, r);
}

void CGridCore::RepaintAll() {
  if (m_paint && IsCreated()) ViewRepaintAll();
}

int CGridCore::FindPrevNonEmptyCell(int& col, int row) {
  CGridDataSource* ds = ColumnSource(col);
  if (!ds) return kGridOutOfRange;
  int dataCol = GetColumnMapping(col);
  if (ds->FindPrevNonEmptyCell(dataCol, row) != kSourceOk) return kGridOutOfRange;
  for (int c = 0; c < m_sheet->m_colCount; ++c) {
    if (m_sheet->m_cols[static_cast<std::size_t>(c)].dataCol == dataCol) {
      col = c;
      return kGridOk;
    }
  }
  col = dataCol;
  return kGridOk;
}

int CGridCore::RegisterCellType(CNormalCellType* type) {
  if (!type) return -1;
  m_cellTypes.push_back(type);
  int index = static_cast<int>(m_cellTypes.size()) - 1;
  type->SetGrid(this);
  type->SetTypeIndex(index);
  return index;
}

CNormalCellType* CGridCore::GetCellTypeObject(int index) {
  if (index > 0 && index < static_cast<int>(m_cellTypes.size()) &&
      m_cellTypes[static_cast<std::size_t>(index)])
    return m_cellTypes[static_cast<std::size_t>(index)];
  return &m_normalType;
}

CGridCore::~CGridCore() = default;

// ---------------------------------------------------------------------------
// Cells

CGridDataSource* CGridCore::ColumnSource(int col) {
  CGridSheetState& s = *m_sheet;
  if (col >= 0 && col < s.m_colCount && s.m_cols[static_cast<std::size_t>(col)].source)
    return s.m_cols[static_cast<std::size_t>(col)].source;
  return s.m_dataSource;
}

int CGridCore::GetColumnMapping(int col) const {
  const CGridSheetState& s = *m_sheet;
  if (col < 0 || col >= s.m_colCount) return col;
  return s.m_cols[static_cast<std::size_t>(col)].dataCol;
}

int CGridCore::GetCell(int col, int row, CGridCellValue& cell) {
  CGridSheetState& s = *m_sheet;
  cell.GridCellSetFlags(0);
  if (col < 0 || row < 0 || col >= s.m_colCount)
    cell.GridCellMergeFrom(s.m_headingDefault);
  else
    cell.GridCellMergeFrom(*s.m_cols[static_cast<std::size_t>(col)].defaultCell);
  if (row >= s.m_rowCount) return kGridOk;
  if (CGridDataSource* ds = ColumnSource(col)) ds->GetCell(GetColumnMapping(col), row, cell);
  OnCellFetched(col, row, &cell);
  if (cell.GridCellHasFlag(GridProp::Hook) && cell.GridCellGetHook())
    cell.GridCellGetHook()->AdjustCell(cell);
  if (cell.GridCellHasFlag(GridProp::StyleCell) && cell.GridCellGetStyleCell())
    cell.GridCellMergeFrom(*cell.GridCellGetStyleCell());
  return kGridOk;
}

int CGridCore::GetCellRaw(int col, int row, CGridCellValue& cell) {
  cell.GridCellSetFlags(0);
  CGridDataSource* ds = ColumnSource(col);
  if (!ds) return kGridOutOfRange;
  return ds->GetCell(GetColumnMapping(col), row, cell) == kSourceOk ? kGridOk : kGridOutOfRange;
}

int CGridCore::SetCell(int col, int row, const CGridCellValue& cell) {
  CGridSheetState& s = *m_sheet;
  if (col < -s.m_sideHeadCols || col >= s.m_colCount || row < -s.m_topHeadRows ||
      row >= s.m_rowCount)
    return kGridOutOfRange;
  CGridCellValue copy(cell);
  OnCellStoring(col, row, &copy);
  CGridDataSource* ds = ColumnSource(col);
  if (!ds) return kGridRefused;
  return ds->SetCell(GetColumnMapping(col), row, copy) == kSourceOk ? kGridOk : kGridRefused;
}

std::optional<std::string> CGridCore::GetCellText(int col, int row) {
  CGridCellValue cell;
  GetCell(col, row, cell);
  const std::string* t = cell.GridCellGetText();
  if (!t) return std::nullopt;
  return *t;
}

int CGridCore::SetCellText(int col, int row, std::string_view text) {
  CGridCellValue cell;
  GetCellRaw(col, row, cell);
  cell.GridCellSetText(text);
  return SetCell(col, row, cell);
}

int CGridCore::SetCellLabel(int col, int row, std::string_view text) {
  CGridCellValue cell;
  GetCellRaw(col, row, cell);
  cell.GridCellSetLabel(text);
  return SetCell(col, row, cell);
}

int CGridCore::SetCellTypeIndex(int col, int row, int index) {
  CGridCellValue cell;
  GetCellRaw(col, row, cell);
  cell.GridCellSetCellType(index);
  return SetCell(col, row, cell);
}

void CGridCore::SetDefaultCell(const CGridCellValue& cell) {
  m_sheet->m_gridDefault = cell;
}
void CGridCore::GetDefaultCell(CGridCellValue& cell) const {
  cell = m_sheet->m_gridDefault;
}
void CGridCore::SetDefaultHeadingCell(const CGridCellValue& cell) {
  m_sheet->m_headingDefault = cell;
}
void CGridCore::GetDefaultHeadingCell(CGridCellValue& cell) const {
  cell = m_sheet->m_headingDefault;
}

int CGridCore::MergeCells(int col1, int row1, int col2, int row2) {
  CGridSheetState& s = *m_sheet;
  if (col2 < col1 || row2 < row1) return kGridOutOfRange;
  if (col1 < -s.m_sideHeadCols || row1 < -s.m_topHeadRows || col2 >= s.m_colCount ||
      row2 >= s.m_rowCount)
    return kGridOutOfRange;
  // A cell the source does not take leaves no block: its origin is stored
  // last, and cells that point to an origin that is none stand alone.
  CGridCellValue cell;
  for (int r = row1; r <= row2; ++r) {
    for (int c = col1; c <= col2; ++c) {
      GetCellRaw(c, r, cell);
      cell.GridCellSetMergeInfo(0, -(c - col1), -(r - row1));
      if (SetCell(c, r, cell) != kGridOk) return kGridRefused;
    }
  }
  GetCellRaw(col1, row1, cell);
  cell.GridCellSetMergeInfo(1, col2 - col1, row2 - row1);
  return SetCell(col1, row1, cell) == kGridOk ? kGridOk : kGridRefused;
}

void CGridCore::ShiftColumnMapping(const CGridDataSource* source, int fromDataCol, int delta) {
  for (GridColumnInfo& c : m_sheet->m_cols) {
    CGridDataSource* src = c.source ? c.source : m_sheet->m_dataSource;
    if (src == source && c.dataCol >= fromDataCol) c.dataCol += delta;
  }
}

// ---------------------------------------------------------------------------
// Cell types

int CGridCore::CellTypeCanEdit(CGridCellValue& cell) {
  return GetCellTypeObject(TypeIndexOf(cell))->CanEditText();
}

void CGridCore::CellTypeEditRect(CGridCellValue& cell, CRect& rect) {
  GetCellTypeObject(TypeIndexOf(cell))->GetEditRect(rect);
}

void CGridCore::CellTypeFocus(int col, int row, bool gained) {
  CGridCellValue cell;
  GetCell(col, row, cell);
  CNormalCellType* type = GetCellTypeObject(TypeIndexOf(cell));
  if (gained)
    type->HandleFocusGained(col, row, &cell);
  else
    type->HandleFocusLost(col, row, &cell);
}

void CGridCore::CellTypeScrolled(int col, int row) {
  CGridCellValue cell;
  GetCell(col, row, cell);
  GetCellTypeObject(TypeIndexOf(cell))->HandleScrolled(col, row, &cell);
}

void CGridCore::CellTypeAdjustSize(GridAxis a, int index, int& size) {
  // The visible cells of the column (row): locked rows (columns), then the
  // scrolled ones on screen.
  const auto across = m_sheet->Axis(OtherAxis(a));
  CGridCellValue cell;
  auto visit = [&](int other) {
    int col = 0, row = 0;
    CellAt(a, index, other, col, row);
    GetCell(col, row, cell);
    CNormalCellType* type = GetCellTypeObject(TypeIndexOf(cell));
    if (a == GridAxis::kCols)
      type->AdjustCellWidth(col, row, size);
    else
      type->AdjustCellHeight(col, row, size);
  };
  for (int i = 0; i < across.Locked(); ++i) visit(i);
  for (int i = across.First(); i < std::min(across.End(), across.Count()); ++i) visit(i);
}

int CGridCore::MeasureCellWidth(int, int, CGridCellValue& cell) {
  const std::string* t = cell.GridCellGetText();
  return t ? static_cast<int>(t->size()) * 7 + 6 : 0;
}

// ---------------------------------------------------------------------------
// Registries

int CGridCore::RegisterFont(const char* face, int height, int weight) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  // Longer names than a face name holds are dropped rather than cut short.
  std::string name = face ? face : "";
  if (name.size() >= static_cast<std::size_t>(kMaxFaceName)) name.clear();
  fw::SetFaceName(lf, name);
  return RegisterFont(lf);
}

int CGridCore::RegisterFont(const LOGFONT& in) {
  LOGFONT lf = in;
  if (strnlen(lf.lfFaceName, LF_FACESIZE) >= static_cast<std::size_t>(kMaxFaceName))
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  for (std::size_t i = 0; i < m_fonts.size(); ++i) {
    FontEntry& e = m_fonts[i];
    if (!e.font) continue;
    if (std::memcmp(&e.lf, &lf, offsetof(LOGFONT, lfFaceName)) == 0 &&
        std::strncmp(e.lf.lfFaceName, lf.lfFaceName, LF_FACESIZE) == 0) {
      ++e.uses;
      return static_cast<int>(i);
    }
  }
  auto font = std::make_unique<CFont>();
  if (!font->CreateFontIndirect(&lf)) return -1;
  for (std::size_t i = 0; i < m_fonts.size(); ++i) {
    if (!m_fonts[i].font) {
      m_fonts[i] = FontEntry{std::move(font), lf, 1};
      return static_cast<int>(i);
    }
  }
  m_fonts.push_back(FontEntry{std::move(font), lf, 1});
  return static_cast<int>(m_fonts.size() - 1);
}

CFont* CGridCore::GetFont(int index) {
  if (index < 0 || index >= static_cast<int>(m_fonts.size())) return nullptr;
  return m_fonts[static_cast<std::size_t>(index)].font.get();
}

int CGridCore::SetDefaultFont(int index) {
  CFont* f = GetFont(index);
  if (!f) return kGridOutOfRange;
  m_sheet->m_defaultFont = f;
  return kGridOk;
}

int CGridCore::RegisterDataSource(CGridDataSource* source) {
  if (!source) return -1;
  int count = static_cast<int>(m_sources.size()) - 1;
  if (count >= kMaxDataSources) return -1;
  m_sources.push_back(source);
  int index = static_cast<int>(m_sources.size()) - 1;
  source->SetGrid(this);
  source->SetID(index);
  return index;
}

int CGridCore::SetDefaultDataSource(int index) {
  int count = static_cast<int>(m_sources.size()) - 1;
  if (index < 0 || index > count) return kGridOutOfRange;
  CGridSheetState& s = *m_sheet;
  CGridDataSource* src =
      index == 0 ? s.m_memSource.get() : m_sources[static_cast<std::size_t>(index)];
  s.m_defaultSourceIndex = index;
  s.m_dataSource = src;
  for (GridColumnInfo& c : s.m_cols) c.source = src;
  return kGridOk;
}

// ---------------------------------------------------------------------------
// Sheets

int CGridCore::SetSheetTotal(int count) {
  if (count < 1 || count > kMaxSheets) return kGridOutOfRange;
  const int old = static_cast<int>(m_sheets.size());
  // Leave a sheet that is about to go before destroying it, so nothing keeps
  // pointing at it.
  if (old > 0 && m_sheetIndex >= count) (void)SelectSheet(count - 1, 1);
  if (count < old) m_sheets.resize(static_cast<std::size_t>(count));
  const int keepIndex = m_sheetIndex;
  for (int i = old; i < count; ++i) {
    int vb = GetSystemMetrics(SM_CXVSCROLL), hb = GetSystemMetrics(SM_CYHSCROLL);
    auto sheet = std::make_unique<CGridSheetState>(vb, hb);
    sheet->m_memSource->SetGrid(this);
    sheet->m_selection->SetGrid(this);
    m_sheets.push_back(std::move(sheet));
    if (old == 0 && i == 0) {
      // The first sheet: the grid is not created yet; OnSheetCreated(0)
      // follows the window's creation.
      m_sheet = m_sheets[0].get();
      m_sheetIndex = 0;
      continue;
    }
    m_sheet = m_sheets.back().get();
    m_sheetIndex = i;
    ViewSheetChanged();
    OnSheetCreated(i);
    m_sheet->m_created = 1;
    if (m_headless) LayoutParts();
  }
  m_sheetIndex = keepIndex;
  m_sheet = m_sheets[static_cast<std::size_t>(keepIndex)].get();
  ViewSheetChanged();
  return kGridOk;
}

int CGridCore::SelectSheet(int index, int keepPainting) {
  if (index < 0 || index >= static_cast<int>(m_sheets.size())) return kGridOutOfRange;
  int paint = m_paint;
  if (!keepPainting) m_paint = 0;
  ViewFocusCellArea();
  int tabWidth = m_sheet ? m_sheet->m_tabWidth : 0;
  m_sheetIndex = index;
  m_sheet = m_sheets[static_cast<std::size_t>(index)].get();
  m_sheet->m_tabWidth = tabWidth;
  ViewSheetChanged();
  m_sheet->m_prevTopRow = -1;
  m_sheet->m_prevLeftCol = -1;
  LayoutParts();
  m_paint = paint;
  if (m_paint && IsCreated()) ViewRepaintAll();
  return kGridOk;
}

void CGridCore::SetTabAreaWidth(int width) {
  m_sheet->m_tabWidth = std::max(0, width);
}
