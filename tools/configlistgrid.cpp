#include "tools/configlistgrid.h"

#include "grid/gridcellvalue.h"
#include "platform/message.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchconfigstore.h"
#include "tools/gridfonts.h"
#include "tools/itemtypebase.h"
#include "tools/projectdocument.h"
#include "tools/switchlistgrid.h"

namespace {
constexpr std::int32_t kButtonOnCurrent = 512;
constexpr int kCtrlV = 22, kCtrlC = 3;
}  // namespace

CConfigListGrid::CConfigListGrid(CWnd* owner) : CProjectListGrid(owner) {}

CConfigListGrid::~CConfigListGrid() = default;

void CConfigListGrid::OnGridCreated() {
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(50));
  (void)SetTopHeadingHeight(GridPx(18));
  (void)SetSideHeadingWidth(0);
  m_ellipsisIndex = RegisterCellType(&m_ellipsisType);
  UseToolGridFonts(*this);
  m_sortArrowIndex = RegisterCellType(&m_sortArrowType);
  m_storeIndex = RegisterDataSource(&m_store);
  (void)SetDefaultDataSource(m_storeIndex);
  auto provider = std::make_unique<CConfigNameItemType>();
  m_providers.push_back(provider.get());
  (void)m_store.AddColumn(std::move(provider));
  (void)SetRowTotal(1);
  (void)SetColumnTotal(1);
}

// ---------------------------------------------------------------- rows

std::vector<GridRecordKey> CConfigListGrid::ProjectRowKeys() const {
  std::vector<GridRecordKey> keys;
  const CSwitchConfigStore& store = m_doc->GetStore();
  for (int i = store.First(); i >= 0; i = store.Next(i))
    keys.push_back(static_cast<GridRecordKey>(i));
  return keys;
}

void CConfigListGrid::OnProjectHint(int kind, int index) {
  switch (kind) {
    case kHintEverything: LoadProjectRows(); break;
    case kHintConfigAdded:
    case kHintConfigDeleted:
      if (index >= 0)
        AddRemoveRows({static_cast<GridRecordKey>(index)}, kind == kHintConfigDeleted);
      RepaintAll();
      break;
    case kHintConfigChanged: RepaintAll(); break;
    default: break;
  }
}

const CSwitchConfig* CConfigListGrid::ConfigAtRow(int row) const {
  const int index = ConfigIndexAtRow(row);
  return index >= 0 ? m_doc->GetStore().GetAt(index) : nullptr;
}

int CConfigListGrid::ConfigIndexAtRow(int row) const {
  GridRecordKey key = 0;
  if (!m_doc || !m_store.GetRowKey(row, key)) return -1;
  const CSwitchConfig* c = m_doc->GetStore().GetAt(static_cast<int>(key));
  return c && !c->IsDeleted() ? static_cast<int>(key) : -1;
}

// ---------------------------------------------------------------- cells and events

void CConfigListGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (!cell) return;
  if (col < 0 || row < 0) cell->GridCellSetReadOnly(true);
  if (row < 0) {
    FetchHeadingCell(col, cell);
    return;
  }
  if (col >= 0) {
    cell->GridCellSetCellType(m_ellipsisIndex);
    cell->GridCellSetTypeStyle(kButtonOnCurrent);
    cell->GridCellSetReadOnly(false);
  }
}

void CConfigListGrid::SelectRow(int row) {
  if (m_doc) m_doc->SetSelectedConfigIndex(ConfigIndexAtRow(row));
}

void CConfigListGrid::OnRowsChanged() {
  SelectRow(GetCurrentRow());
}

void CConfigListGrid::OnCurrentRowChanged(int, int newRow) {
  SelectRow(newRow);
}

void CConfigListGrid::OnCurrentCellChanged(int, int, int, int newRow) {
  SelectRow(newRow);
}

void CConfigListGrid::OnCellLeftClick(int, int row, int, CRect*, CPoint*, int) {
  SelectRow(row);
}

void CConfigListGrid::OnCellRightClick(int col, int row, int pressed, CRect*, CPoint* point, int) {
  if (!pressed || col < 0 || row < 0 || !point) return;
  fw::SendListContextMessage(*this, NotifyTarget(), WM_CONFIGLIST_CONTEXT, *point);
}

long long CConfigListGrid::OnCellTypeEvent(int typeIndex, int col, int row, int event,
                                           std::intptr_t value) {
  if (typeIndex == m_ellipsisIndex && event == kCellEventButton) {
    (void)ReleaseCapture();  // nothing refuses a release
    const int index = ConfigIndexAtRow(row);
    SelectRow(row);
    // A target without a window has nobody to ask.
    if (CWnd* target = NotifyTarget())
      (void)target->PostMessage(
          WM_COMMAND, index >= 0 ? ID_EDIT_BASE_CONFIGURATION : ID_ADD_BASE_CONFIGURATION);
    return 1;
  }
  return CSheetGridCtrl::OnCellTypeEvent(typeIndex, col, row, event, value);
}

void CConfigListGrid::OnCellDoubleClick(int col, int row, CRect*, CPoint*, int) {
  (void)BeginCellEditAt(col, row, 0);
}

void CConfigListGrid::OnGridChar(int* ch, int processed) {
  if (!ch || processed) return;
  // Paste and copy are commands; other control characters would only put
  // junk into a name.
  if (*ch == kCtrlV || *ch == kCtrlC || *ch < 0x20) return;
  (void)BeginCellEditWithKey(*ch);
}

int CConfigListGrid::OnEditDone(int, int row, CWnd*, const std::string& text, int cancelled) {
  m_editRefused = false;
  // Escape leaves the project as it was, also on the new-entry row.
  if (cancelled || !m_doc) return 1;
  int result = kProjectOk;
  const int index = ConfigIndexAtRow(row);
  if (index >= 0)
    result = m_doc->SetConfigName(index, text);
  else if (IsNewEntryRow(row) && !fw::Trim(text).empty())
    result = m_doc->AddNewConfig(text);
  m_editRefused = result < kProjectOk;
  if (result == kProjectDuplicate) AfxMessageBox(IDS_CFG_NAME_IN_USE, MB_OK | MB_ICONEXCLAMATION);
  RepaintAll();
  return 1;
}
