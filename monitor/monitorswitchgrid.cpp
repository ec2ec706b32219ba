#include "monitor/monitorswitchgrid.h"

#include <algorithm>
#include <functional>

#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchentry.h"
#include "tools/gridfonts.h"
#include "tools/switchlistgrid.h"

namespace {

// One column: its heading from the string table and the text of an entry.
class CMonitorColumn : public CGridColumnProvider {
 public:
  using Text = std::function<std::string(const CSwitchEntry&)>;
  CMonitorColumn(int id, unsigned titleId, const CSwitchList* const* list, Text text)
      : m_id(id), m_titleId(titleId), m_list(list), m_text(std::move(text)) {}

  int GetId() const override { return m_id; }
  int GetKind() const override { return kText; }
  bool HasTitle() const override { return true; }
  std::string GetTitle() const override { return LoadResString(m_titleId); }
  bool GetText(GridRecordKey key, std::string& out) const override {
    const CSwitchEntry* entry = Entry(key);
    if (!entry) return false;  // a row without an entry keeps its text
    out = m_text(*entry);
    return true;
  }
  int Compare(GridRecordKey a, GridRecordKey b) const override {
    std::string ta, tb;
    (void)GetText(a, ta);
    (void)GetText(b, tb);
    return fw::CompareNoCase(ta, tb);
  }

 private:
  const CSwitchEntry* Entry(GridRecordKey key) const {
    const CSwitchList* list = *m_list;
    const CSwitchEntry* e = list ? list->GetAt(static_cast<int>(key)) : nullptr;
    return e && !e->IsDeleted() ? e : nullptr;
  }

  int m_id;
  unsigned m_titleId;
  const CSwitchList* const* m_list;
  Text m_text;
};

}  // namespace

CMonitorSwitchGrid::CMonitorSwitchGrid() = default;
CMonitorSwitchGrid::~CMonitorSwitchGrid() = default;

void CMonitorSwitchGrid::OnGridCreated() {
  (void)SetDefaultRowHeight(GridPx(18));
  (void)SetDefaultColumnWidth(GridPx(50));
  (void)SetTopHeadingHeight(GridPx(18));
  (void)SetSideHeadingWidth(0);
  UseToolGridFonts(*this);
  // A heading longer than its column breaks into lines; the heading grows to hold them.
  CGridCellValue heading;
  GetDefaultHeadingCell(heading);
  heading.GridCellSetTypeStyle(2);
  SetDefaultHeadingCell(heading);
  m_storeIndex = RegisterDataSource(&m_store);
  (void)SetDefaultDataSource(m_storeIndex);
  auto add = [this](int id, unsigned title, CMonitorColumn::Text text) {
    (void)m_store.AddColumn(std::make_unique<CMonitorColumn>(id, title, &m_list, std::move(text)));
  };
  add(kColName, IDS_SWITCH_NAME_HEADING, [](const CSwitchEntry& e) { return e.GetName(); });
  add(kColModel, IDS_SWITCH_TYPE, [](const CSwitchEntry& e) { return e.GetPart().displayName; });
  add(kColMac, IDS_MAC_ADDRESS, [](const CSwitchEntry& e) { return e.GetMacText(true); });
  add(kColRevision, IDS_FIRMWARE_REVISION_HEADING,
      [](const CSwitchEntry& e) { return e.GetFirmwareRevision(); });
  (void)SetRowTotal(0);
  (void)SetColumnTotal(kColumns);
  const int widths[kColumns] = {120, 100, 100, 140};
  for (int c = 0; c < kColumns; ++c) (void)SetColumnWidth(c, GridPx(widths[c]));
  FitHeadingToLines(*this);
}

void CMonitorSwitchGrid::SetSwitchList(const CSwitchList* list) {
  m_list = list;
}

void CMonitorSwitchGrid::Refill() {
  // The rows' own moves while they are rebuilt are not the user's choice.
  m_refilling = true;
  const int paint = IsRepaintEnabled();
  SetRepaintEnabled(0);
  m_store.ClearRows();
  std::vector<GridRecordKey> keys;
  if (m_list)
    for (int i = m_list->First(); i >= 0; i = m_list->Next(i))
      keys.push_back(static_cast<GridRecordKey>(i));
  m_store.AddRows(keys, true);
  (void)SetRowTotal(m_store.GetRowCount());
  SetRepaintEnabled(paint);
  RepaintAll();
  // Gone from the list: the grid's own choice (the first row) stands.
  if (const int row = m_kept.mac.empty() ? -1 : RowOf(m_kept); row >= 0)
    (void)MoveToCell(std::max(GetCurrentColumn(), 0), row);  // a row of the grid
  m_refilling = false;
  KeepCurrent();
}

void CMonitorSwitchGrid::KeepCurrent() {
  if (const CSwitchEntry* e = CurrentEntry()) m_kept = {e->GetMacText(true), e->GetInterface()};
}

void CMonitorSwitchGrid::OnCurrentCellChanged(int, int, int, int) {
  if (!m_refilling) KeepCurrent();
}

int CMonitorSwitchGrid::RowOf(const Kept& kept) const {
  // A switch heard on two interfaces has two rows: the one of the same interface first.
  int sameMac = -1;
  for (int row = 0; row < m_store.GetRowCount(); ++row) {
    const CSwitchEntry* e = EntryAtRow(row);
    if (!e || !fw::EqualsNoCase(e->GetMacText(true), kept.mac)) continue;
    if (e->GetInterface() == kept.where) return row;
    if (sameMac < 0) sameMac = row;
  }
  return sameMac;
}

const CSwitchEntry* CMonitorSwitchGrid::EntryAtRow(int row) const {
  GridRecordKey key = 0;
  if (!m_list || row < 0 || !m_store.GetRowKey(row, key)) return nullptr;
  const CSwitchEntry* e = m_list->GetAt(static_cast<int>(key));
  return e && !e->IsDeleted() ? e : nullptr;
}

int CMonitorSwitchGrid::FindRowByMac(const std::string& mac) const {
  for (int row = 0; row < m_store.GetRowCount(); ++row)
    if (const CSwitchEntry* e = EntryAtRow(row); e && fw::EqualsNoCase(e->GetMacText(true), mac))
      return row;
  return -1;
}

int CMonitorSwitchGrid::OnBeforeEdit(int, int, CWnd**) {
  return 0;  // nothing here is edited
}

void CMonitorSwitchGrid::OnDrawCurrentCellFocus(CDC* dc, CRect* rect) {
  fw::DrawListFocusRect(dc, rect);
}
