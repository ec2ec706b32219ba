// The General page: the configuration's name and its switch type.
#pragma once

#include <string>

#include "platform/gui/propertysheet.h"

class CCfgPage1 : public CPropertyPage {
 public:
  static constexpr unsigned IDD = 103;
  enum Control : int { kNameEdit = 1002, kTypeCombo = 1003, kNameLabel = 1071, kTypeLabel = 1072 };
  static constexpr std::size_t kMaxNameChars = 32;

  CCfgPage1();

  bool OnSetActive() override;
  bool OnKillActive() override;

  CComboBox& TypeCombo() { return m_typeCombo; }
  // A name as it may be stored: trimmed, at most 32 characters, without
  // commas or what a section name cannot hold. Empty when nothing is left.
  static std::string CleanName(std::string_view typed);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  int FindType(const std::string& text) const;
  void OnSelChangeType();
  // Port count and type from the chosen entry.
  void ApplyType();

  CComboBox m_typeCombo;
  std::string m_strName;
  // A type this program does not offer (another language's, or one the
  // customisation file left out) gets an entry of its own and stays as it is.
  int m_ownTypeIndex = -1;
  std::string m_ownType;
  int m_ownPortCount = 0;
};
