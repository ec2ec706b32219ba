#include "tools/switchlistgrid.h"

#include <QLineEdit>

#include "grid/gridcellvalue.h"
#include "grid/gridinplaceedit.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tools/gridfonts.h"
#include "tools/itemtypebase.h"
#include "tools/modbusoptionsdlg.h"
#include "tools/projectdocument.h"

namespace {

constexpr int kDropListType = 1;
constexpr int kSideArrowsType = 3;
constexpr int kDropItemChosen = 101;
constexpr std::int32_t kButtonOnCurrent = 512;

}  // namespace

namespace fw {

int PasteIntoGridEditor(CSheetGridCtrl& grid, const std::string& text) {
  if (grid.BeginCellEdit() != kGridOk) return 1;
  CWnd* editor = grid.GetActiveEditor();
  if (auto* edit = dynamic_cast<CGridInPlaceEdit*>(editor)) {
    edit->SetText(text);
    edit->SelectAll();
  } else if (editor) {
    editor->SetWindowText(text);
  }
  if (editor)
    if (auto* line = qobject_cast<QLineEdit*>(editor->widget())) line->end(false);
  grid.SetRepaintEnabled(1);
  grid.RepaintAll();
  return 0;
}

void SendListContextMessage(CSheetGridCtrl& grid, CWnd* target, UINT message, CPoint point) {
  if (!target) return;
  CRect window;
  grid.GetWindowRect(&window);
  point.x += window.left + grid.GetSideHeadingWidth();
  point.y += window.top + grid.GetTopHeadingHeight();
  target->SendMessage(message, reinterpret_cast<WPARAM>(&point), 0);
}

void DrawListFocusRect(CDC* dc, const CRect* rect) {
  if (!dc || !rect) return;
  CBrush brush;
  brush.CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
  dc->FrameRect(CRect(rect->left, rect->top, rect->right - 1, rect->bottom - 1), &brush);
}

}  // namespace fw

CSwitchListGrid::CSwitchListGrid(CWnd* owner) : CProjectListGrid(owner) {}

CSwitchListGrid::~CSwitchListGrid() = default;

void CSwitchListGrid::OnGridCreated() {
  m_macTypeIndex = RegisterCellType(&m_macType);
  m_ellipsisIndex = RegisterCellType(&m_ellipsisType);
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(50));
  (void)SetTopHeadingHeight(GridPx(18));
  (void)SetSideHeadingWidth(GridPx(20));
  UseToolGridFonts(*this);
  m_sortArrowIndex = RegisterCellType(&m_sortArrowType);
  m_storeIndex = RegisterDataSource(&m_store);
  (void)SetDefaultDataSource(m_storeIndex);
  auto add = [this](std::unique_ptr<CItemTypeBase> provider) {
    m_providers.push_back(provider.get());
    (void)m_store.AddColumn(std::move(provider));
  };
  add(std::make_unique<CSwitchNameItemType>());
  add(std::make_unique<CSwitchTypeItemType>());
  add(std::make_unique<CSwitchMacItemType>());
  add(std::make_unique<CSwitchConfigItemType>());
  add(std::make_unique<CSwitchModbusItemType>());
  (void)SetRowTotal(1);
  (void)SetColumnTotal(kColumns);
  const int widths[kColumns] = {120, 100, 100, 170, 80};
  for (int c = 0; c < kColumns; ++c) (void)SetColumnWidth(c, GridPx(widths[c]));
  FitHeadingToLines(*this);
  // The models offered do not change while the program runs.
  std::vector<std::string> displayNames;
  CSwitchConfigStore::FillModelLists(displayNames, &m_modelChoices);
}

// ---------------------------------------------------------------- rows

std::vector<GridRecordKey> CSwitchListGrid::ProjectRowKeys() const {
  std::vector<GridRecordKey> keys;
  const CSwitchList& switches = m_doc->GetSwitches();
  for (int i = switches.First(); i >= 0; i = switches.Next(i))
    keys.push_back(static_cast<GridRecordKey>(i));
  return keys;
}

void CSwitchListGrid::OnProjectHint(int kind, int index) {
  switch (kind) {
    case kHintEverything: LoadProjectRows(); break;
    case kHintSwitchAdded:
    case kHintSwitchDeleted:
      if (index >= 0)
        AddRemoveRows({static_cast<GridRecordKey>(index)}, kind == kHintSwitchDeleted);
      RepaintAll();
      break;
    // A row shows its configuration and whether the project holds it.
    case kHintConfigAdded:
    case kHintConfigDeleted:
    case kHintConfigChanged: RepaintAll(); break;
    default: break;
  }
}

const CSwitchEntry* CSwitchListGrid::SwitchAtRow(int row) const {
  const int index = SwitchIndexAtRow(row);
  return index >= 0 ? m_doc->GetSwitches().GetAt(index) : nullptr;
}

int CSwitchListGrid::SwitchIndexAtRow(int row) const {
  GridRecordKey key = 0;
  if (!m_doc || !m_store.GetRowKey(row, key)) return -1;
  const CSwitchEntry* e = m_doc->GetSwitches().GetAt(static_cast<int>(key));
  return e && !e->IsDeleted() ? static_cast<int>(key) : -1;
}

// ---------------------------------------------------------------- cells

void CSwitchListGrid::OnCellFetched(int col, int row, CGridCellValue* cell) {
  if (!cell) return;
  if (col < 0 && row >= 0) {
    if (row == GetCurrentRow()) {
      cell->GridCellSetCellType(kSideArrowsType);
      cell->GridCellSetBackColor(GetSysColor(COLOR_HIGHLIGHT));
    }
    return;
  }
  if (row < 0) {
    FetchHeadingCell(col, cell);
    return;
  }
  switch (col) {
    case kSwitchColModel: {
      cell->GridCellSetCellType(kDropListType);
      cell->GridCellSetTypeStyle(kButtonOnCurrent);
      std::string options;
      for (const auto& part : m_modelChoices) options += part + "\n";
      cell->GridCellSetLabel(options);
      break;
    }
    case kSwitchColMac:
      cell->GridCellSetCellType(m_macTypeIndex);
      cell->GridCellSetLabel(CSwitchEntry::kMacPrefix);
      cell->GridCellSetAlignment(kAlignRight);
      break;
    case kSwitchColConfig: {
      cell->GridCellSetCellType(kDropListType);
      cell->GridCellSetTypeStyle(kButtonOnCurrent);
      std::string options;
      if (m_doc) {
        // The new-entry row has no switch yet: every configuration is offered.
        const CSwitchEntry* entry = SwitchAtRow(row);
        const CSwitchConfigStore& store = m_doc->GetStore();
        for (int i = store.First(); i >= 0; i = store.Next(i)) {
          const CSwitchConfig* c = store.GetAt(i);
          if (!entry || m_doc->IsCompatible(*entry, *c)) options += c->GetName() + "\n";
        }
      }
      cell->GridCellSetLabel(options);
      break;
    }
    case kSwitchColModbus:
      if (SwitchAtRow(row)) {
        cell->GridCellSetCellType(m_ellipsisIndex);
        cell->GridCellSetTypeStyle(kButtonOnCurrent);
      }
      break;
    default: break;
  }
}

long long CSwitchListGrid::OnCellTypeEvent(int typeIndex, int col, int row, int event,
                                           std::intptr_t value) {
  if (typeIndex == kDropListType && event == kDropItemChosen && value && m_doc) {
    const std::string text = *reinterpret_cast<const std::string*>(value);
    const int index = SwitchIndexAtRow(row);
    if (index >= 0) {
      // The document tells the user of a refusal; the repaint shows what it kept.
      if (col == kSwitchColModel) (void)m_doc->SetSwitchModel(index, text);
      if (col == kSwitchColConfig) (void)m_doc->SetSwitchConfigName(index, text);
    } else if (IsNewEntryRow(row)) {
      (void)m_doc->AddSwitchFromField(col, text);
    }
    RepaintAll();
    return 1;
  }
  if (typeIndex == m_ellipsisIndex && event == kCellEventButton) {
    (void)ReleaseCapture();  // nothing refuses a release
    const int index = SwitchIndexAtRow(row);
    if (index >= 0) EditModbusOptions(index);
    RepaintAll();
    return 1;
  }
  return CSheetGridCtrl::OnCellTypeEvent(typeIndex, col, row, event, value);
}

void CSwitchListGrid::EditModbusOptions(int switchIndex) {
  const CSwitchEntry* entry = m_doc ? m_doc->GetSwitches().GetAt(switchIndex) : nullptr;
  if (!entry) return;
  // The dialog edits a copy: the project changes only through the document, and only on OK.
  CSwitchEntry edited;
  edited.CopyFrom(*entry);
  CModbusOptionsDlg dlg(this);
  dlg.m_pEntry = &edited;
  if (dlg.DoModal() == IDOK) (void)m_doc->SetSwitchModbus(switchIndex, edited);  // told as above
}

// ---------------------------------------------------------------- editing

int CSwitchListGrid::OnBeforeEdit(int col, int row, CWnd** editor) {
  if (col == kSwitchColModel || col == kSwitchColConfig) return 0;
  return CSheetGridCtrl::OnBeforeEdit(col, row, editor);
}

void CSwitchListGrid::OnCellDoubleClick(int col, int row, CRect*, CPoint*, int) {
  if (col == kSwitchColName || col == kSwitchColMac) (void)BeginCellEditAt(col, row, 0);
}

void CSwitchListGrid::OnGridChar(int* ch, int processed) {
  if (!ch || processed) return;
  // Typing a name or an address starts its edit, as a double-click does; on
  // the new-entry row that makes a switch. Control characters (the clipboard
  // keys among them) would only put junk into the text.
  if (*ch < 0x20) return;
  const int col = GetCurrentColumn();
  if (col == kSwitchColName || col == kSwitchColMac) (void)BeginCellEditWithKey(*ch);
}

int CSwitchListGrid::OnEditDone(int col, int row, CWnd*, const std::string& text, int cancelled) {
  m_editRefused = false;
  // Escape leaves the project as it was, also on the new-entry row.
  if (cancelled || !m_doc) return 1;
  const int index = SwitchIndexAtRow(row);
  if (index >= 0) {
    if (col == kSwitchColName) {
      const int r = m_doc->RenameSwitch(index, text);
      m_editRefused = r < kProjectOk;
      if (r == kProjectDuplicate) AfxMessageBox(IDS_NAME_IN_USE, MB_OK | MB_ICONEXCLAMATION);
      if (r == kProjectInvalidChars)
        AfxMessageBox(IDS_NAME_INVALID_CHARS, MB_OK | MB_ICONEXCLAMATION);
    } else if (col == kSwitchColMac) {
      m_editRefused = m_doc->SetSwitchMac(index, text) != kProjectOk;
      if (m_editRefused) AfxMessageBox(IDS_INVALID_MAC_FORMAT, MB_OK | MB_ICONEXCLAMATION);
    }
  } else if (IsNewEntryRow(row) && !fw::Trim(text).empty()) {
    const int r = m_doc->AddSwitchFromField(col, text);
    m_editRefused = r < kProjectOk;
    if (col == kSwitchColMac && r == kProjectRefused)
      AfxMessageBox(IDS_INVALID_MAC_FORMAT, MB_OK | MB_ICONEXCLAMATION);
  }
  RepaintAll();
  return 1;
}

// ---------------------------------------------------------------- mouse and drawing

void CSwitchListGrid::OnCellRightClick(int col, int row, int pressed, CRect*, CPoint* point, int) {
  if (!pressed || col < 0 || row < 0 || !point) return;
  fw::SendListContextMessage(*this, NotifyTarget(), WM_SWITCHLIST_CONTEXT, *point);
}
