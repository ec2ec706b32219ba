#include "tools/itemtypebase.h"

#include <cstring>
#include <utility>

#include "grid/gridcellvalue.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tools/projectdocument.h"

CBitmap* CItemTypeBase::GetHeadingBitmap() const {
  if (!m_hasBitmap || !m_bitmapId) return nullptr;
  if (!m_bitmap) {
    m_bitmap = std::make_unique<CBitmap>();
    if (!m_bitmap->LoadBitmap(static_cast<unsigned>(m_bitmapId))) m_bitmap.reset();
  }
  return m_bitmap.get();
}

bool CItemTypeBase::GetSecondInt(GridRecordKey, int& out) const {
  if (!m_secondValid) return false;
  out = m_second;
  return true;
}

int CItemTypeBase::Compare(GridRecordKey a, GridRecordKey b) const {
  std::string ta, tb;
  GetText(a, ta);
  GetText(b, tb);
  const int r = fw::CompareNoCase(ta, tb);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

const CSwitchEntry* CItemTypeBase::SwitchOf(GridRecordKey key) const {
  if (!m_doc) return nullptr;
  const CSwitchEntry* e = m_doc->GetSwitches().GetAt(static_cast<int>(key));
  return e && !e->IsDeleted() ? e : nullptr;
}

const CSwitchConfig* CItemTypeBase::ConfigOf(GridRecordKey key) const {
  if (!m_doc) return nullptr;
  const CSwitchConfig* c = m_doc->GetStore().GetAt(static_cast<int>(key));
  return c && !c->IsDeleted() ? c : nullptr;
}

std::string CSwitchNameItemType::GetTitle() const {
  return LoadResString(IDS_SWITCH_NAME_HEADING);
}
bool CSwitchNameItemType::GetText(GridRecordKey key, std::string& out) const {
  const CSwitchEntry* e = SwitchOf(key);
  if (!e) return false;
  out = e->GetName();
  return true;
}

std::string CSwitchTypeItemType::GetTitle() const {
  return LoadResString(IDS_SWITCH_TYPE);
}
bool CSwitchTypeItemType::GetText(GridRecordKey key, std::string& out) const {
  const CSwitchEntry* e = SwitchOf(key);
  if (!e) return false;
  out = e->GetPart().partNumber;
  return true;
}

std::string CSwitchMacItemType::GetTitle() const {
  return LoadResString(IDS_MAC_ADDRESS);
}
bool CSwitchMacItemType::GetText(GridRecordKey key, std::string& out) const {
  const CSwitchEntry* e = SwitchOf(key);
  if (!e) return false;
  out = e->GetMacText(false);
  return true;
}

std::string CSwitchConfigItemType::GetTitle() const {
  return LoadResString(IDS_USES_BASE_CONFIGURATION);
}
bool CSwitchConfigItemType::GetText(GridRecordKey key, std::string& out) const {
  const CSwitchEntry* e = SwitchOf(key);
  if (!e) return false;
  out = e->GetConfig().GetName();
  return true;
}
int CSwitchConfigItemType::GetColors(GridRecordKey key, fw::GridColor& back, fw::GridColor&) const {
  const CSwitchEntry* e = SwitchOf(key);
  if (!e || ConfigProblemOf(GetDocument()->GetStore(), *e) == kConfigFine) return 0;
  back = kWarningColour;
  return kBackGiven;
}

std::string CSwitchModbusItemType::GetTitle() const {
  return LoadResString(IDS_MODBUS);
}
bool CSwitchModbusItemType::GetText(GridRecordKey key, std::string& out) const {
  const CSwitchEntry* e = SwitchOf(key);
  if (!e) return false;
  out = LoadResString(e->GetModbusEnable() ? IDS_ENABLED : IDS_DISABLED);
  return true;
}

std::string CConfigNameItemType::GetTitle() const {
  return LoadResString(IDS_BASE_CONFIGURATIONS);
}
bool CConfigNameItemType::GetText(GridRecordKey key, std::string& out) const {
  const CSwitchConfig* c = ConfigOf(key);
  if (!c) return false;
  out = c->GetName();
  return true;
}

namespace fw {

int CompareListCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) {
  if (!cell1 || !cell2) return cell1 == cell2 ? 0 : (cell1 ? -1 : 1);
  if (flags & 2) std::swap(cell1, cell2);
  const int type = cell1->GridCellGetDataType();
  if (type == kGridNumber || type == 3 || type == kGridCurrency) {
    const double a = cell1->GridCellGetNumber(), b = cell2->GridCellGetNumber();
    return a > b ? 1 : (a < b ? -1 : 0);
  }
  const std::string t1 = cell1->GridCellTextOrEmpty();
  const std::string t2 = cell2->GridCellTextOrEmpty();
  if (t1.empty() || t2.empty()) return t1.empty() == t2.empty() ? 0 : (t1.empty() ? 1 : -1);
  const int r = std::strcmp(t1.c_str(), t2.c_str());
  return r > 0 ? 1 : (r < 0 ? -1 : 0);
}

}  // namespace fw
