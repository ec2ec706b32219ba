// The sheet in which the user makes a new switch configuration (a wizard:
// Back, Next, Finish and "Configure Later") or edits one (tabs: OK, Cancel,
// Help). Its six pages edit the sheet's own working copy; the caller copies
// a configuration in before the run and takes it out after an accepted one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/propertysheet.h"
#include "switch/switchconfig.h"
#include "tools/cfgpage1.h"
#include "tools/cfgpage2.h"
#include "tools/cfgpage3.h"
#include "tools/cfgpage4.h"
#include "tools/cfgpage5.h"
#include "tools/cfgpage6.h"

class CImageButton;

class CCfgPSheet : public CPropertySheet {
 public:
  static constexpr int kConfigureLaterId = 118;
  // Child, visible, a Tab stop like the sheet's own buttons.
  static constexpr std::uint32_t kConfigureLaterStyle = 0x50010040;
  // How a run may end; the three accepting ones give the caller the configuration.
  enum Result : int {
    kResultOk = IDOK,
    kResultConfigureLater = kConfigureLaterId,
    kResultFinish = ID_WIZFINISH,
  };

  explicit CCfgPSheet(CWnd* parent = nullptr);
  ~CCfgPSheet() override;

  // Once, before the sheet runs: 0 makes a new configuration in a wizard,
  // anything else edits an existing one in tabs.
  void SetMode(int editExisting);
  bool IsEditExisting() const { return m_editExisting != 0; }

  // The working copy the pages edit.
  CSwitchConfig& GetConfig() { return m_config; }
  const CSwitchConfig& GetConfig() const { return m_config; }

  // The names of the project's other configurations (not the one being
  // edited): the General page refuses them, letter case aside.
  void SetOtherConfigNames(const std::vector<std::string>& names);
  bool IsNameTaken(std::string_view name) const;

  // True for the results that accept the configuration.
  static bool IsAccepted(std::intptr_t result);

  // Shows or hides the "Configure Later" button of a running wizard.
  void ShowConfigureLater(bool show);
  CImageButton* GetConfigureLaterButton() const { return m_pConfigureLater.get(); }

  CCfgPage1& GeneralPage() { return m_page1; }
  CCfgPage2& PortsPage() { return m_page2; }
  CCfgPage3& RingsPage() { return m_page3; }
  CCfgPage4& PrioritiesPage() { return m_page4; }
  CCfgPage5& MirroringPage() { return m_page5; }
  CCfgPage6& OkOutputPage() { return m_page6; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  void OnConfigureLater();
  // Tells the user what CheckSpeeds found; false when it found a problem.
  bool SpeedsAcceptable();

  CCfgPage1 m_page1;
  CCfgPage2 m_page2;
  CCfgPage3 m_page3;
  CCfgPage4 m_page4;
  CCfgPage5 m_page5;
  CCfgPage6 m_page6;
  CSwitchConfig m_config;
  bool m_bWizard = false;
  int m_editExisting = 0;
  std::unique_ptr<CImageButton> m_pConfigureLater;
  std::vector<std::string> m_otherNames;  // folded
};

// For the pages: the working configuration of the sheet a page runs in.
CSwitchConfig& SheetConfig(CPropertyPage& page);
bool SheetIsEditing(CPropertyPage& page);
bool SheetNameTaken(CPropertyPage& page, std::string_view name);
// What every page does when it becomes active: asks for its wizard buttons
// and shows its caption.
void ActivateCfgPage(CPropertyPage& page, std::uint32_t wizardButtons);
