#include "tools/cfgpage1.h"

#include <utility>

#include "platform/message.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/projectfile.h"
#include "switch/switchconfigstore.h"
#include "tools/cfgpsheet.h"

namespace {
// The labels the page sets as it opens; it is sized for each.
constexpr std::pair<int, unsigned> kLabels[] = {{CCfgPage1::kNameLabel, IDS_CFG_NAME_LABEL},
                                                {CCfgPage1::kTypeLabel, IDS_FOR_SWITCH_TYPE}};
}  // namespace

CCfgPage1::CCfgPage1() : CPropertyPage(IDD, IDS_GENERAL) {
  BindControl(kTypeCombo, m_typeCombo);
  SetCommandHandler(
      kTypeCombo, [this] { OnSelChangeType(); }, CBN_SELCHANGE);
  for (const auto& [id, text] : kLabels) FitText(id, LoadResString(text));
}

std::string CCfgPage1::CleanName(std::string_view typed) {
  const std::string trimmed = fw::Trim(typed);
  // Cut at a character boundary, never inside one.
  std::size_t end = 0;
  for (std::size_t chars = 0; end < trimmed.size() && chars < kMaxNameChars; ++chars)
    end += fw::Utf8SequenceLength(static_cast<unsigned char>(trimmed[end]));
  std::string name;
  for (char c : trimmed.substr(0, std::min(end, trimmed.size())))
    if (c != ',') name += c;
  return fw::CleanItemName(name);
}

void CCfgPage1::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, kNameEdit, m_strName);
}

int CCfgPage1::FindType(const std::string& text) const {
  for (int i = 0; i < m_typeCombo.GetCount(); ++i)
    if (m_typeCombo.GetLBText(i) == text) return i;
  return -1;
}

bool CCfgPage1::OnInitDialog() {
  CSwitchConfig& cfg = SheetConfig(*this);
  const CSwitchConfigStore catalogue(0);
  m_typeCombo.ResetContent();
  for (const std::string& type : catalogue.GetBaseTypes()) m_typeCombo.AddString(type);

  // A type saved in another language is the same type in this one.
  const std::string& type = cfg.GetType();
  int sel = FindType(type);
  if (sel < 0) sel = FindType(fw::CanonicalBaseType(type));
  m_ownTypeIndex = -1;
  if (sel < 0 && SheetIsEditing(*this) && !type.empty()) {
    sel = m_typeCombo.AddString(type);
    m_ownTypeIndex = sel;
    m_ownType = type;
    m_ownPortCount = cfg.GetPortCount();
  }
  m_typeCombo.SetCurSel(sel < 0 ? 0 : sel);

  m_strName = cfg.GetName();
  for (const auto& [id, text] : kLabels) SetDlgItemText(id, LoadResString(text));
  (void)UpdateData(false);  // filling the controls validates nothing
  return true;
}

bool CCfgPage1::OnSetActive() {
  CPropertyPage::OnSetActive();
  ActivateCfgPage(*this, PSWIZB_NEXT);
  return true;
}

void CCfgPage1::OnSelChangeType() {
  ApplyType();
}

void CCfgPage1::ApplyType() {
  const int sel = m_typeCombo.GetCurSel();
  if (sel < 0) return;
  CSwitchConfig& cfg = SheetConfig(*this);
  if (sel == m_ownTypeIndex) {
    // Back to the type the configuration came with, as it came.
    cfg.SetPortCount(m_ownPortCount);
    if (cfg.GetType() != m_ownType) cfg.SetPartNumber(m_ownType);
    return;
  }
  const std::string text = m_typeCombo.GetLBText(sel);
  // A new port count recreates the port records with their defaults.
  cfg.SetPortCount(CSwitchConfig::BaseTypePortCount(text));
  cfg.SetPartNumber(text);
}

bool CCfgPage1::OnKillActive() {
  if (!UpdateData(true)) return false;
  const std::string name = CleanName(m_strName);
  ApplyType();
  m_strName = name;
  SetDlgItemText(kNameEdit, name);
  unsigned refusal = 0;
  if (name.empty())
    refusal = IDS_ENTER_CFG_NAME;
  else if (SheetNameTaken(*this, name))
    refusal = IDS_CFG_NAME_IN_USE;
  if (refusal) {
    AfxMessageBox(refusal);
    GotoDlgCtrl(GetDlgItem(kNameEdit));
    return false;
  }
  SheetConfig(*this).SetName(name);
  return true;
}
