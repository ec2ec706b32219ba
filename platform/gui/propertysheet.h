// Property sheets of our own: pages built from dialog templates, shown one
// at a time in a frame with tabs (OK, Cancel, Help) or as a wizard (Back,
// Next or Finish, Cancel, Help). Pages hear when they become active and
// when they are left; a page that refuses to be left keeps the user on it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/help.h"

// Messages a page sends its sheet.
inline constexpr UINT PSM_SETWIZBUTTONS = WM_USER + 112;  // lParam: PSWIZB_* flags
inline constexpr UINT PSM_PRESSBUTTON = WM_USER + 113;    // wParam: PSBTN_* button

// Wizard buttons a page asks for.
inline constexpr std::uint32_t PSWIZB_BACK = 0x1;
inline constexpr std::uint32_t PSWIZB_NEXT = 0x2;
inline constexpr std::uint32_t PSWIZB_FINISH = 0x4;
inline constexpr std::uint32_t PSWIZB_DISABLEDFINISH = 0x8;

// Buttons that PSM_PRESSBUTTON presses.
inline constexpr int PSBTN_BACK = 0;
inline constexpr int PSBTN_NEXT = 1;
inline constexpr int PSBTN_FINISH = 2;
inline constexpr int PSBTN_OK = 3;
inline constexpr int PSBTN_CANCEL = 5;
inline constexpr int PSBTN_HELP = 6;

// Command ids of the wizard buttons; ID_WIZFINISH is also what a wizard's
// DoModal returns when it ends with Finish.
inline constexpr int ID_WIZBACK = 12323;
inline constexpr int ID_WIZNEXT = 12324;
inline constexpr int ID_WIZFINISH = 12325;
// The sheet's tab control.
inline constexpr int kSheetTabControlId = 12320;

// Sheet header flags. A sheet never has an Apply button; the flag is
// accepted so that headers read as they are meant.
inline constexpr std::uint32_t PSH_WIZARD = 0x20;
inline constexpr std::uint32_t PSH_NOAPPLYNOW = 0x80;
inline constexpr std::uint32_t PSH_HASHELP = 0x200;

struct PROPSHEETHEADER {
  std::uint32_t dwFlags = 0;
};

class CPropertySheet;

class CPropertyPage : public CDialog {
 public:
  // The caption is string captionId, or the template's caption when 0.
  explicit CPropertyPage(unsigned templateId, unsigned captionId = 0);

  std::string GetCaption() const;
  CPropertySheet* GetSheet() const { return m_sheet; }

  // The page became the shown one. The default shows the members again
  // (from the second time on). False sends the user back to the page before.
  virtual bool OnSetActive();
  // The page is about to be left (another page, OK, Back or Next). The
  // default takes the controls' data; false keeps the user on the page.
  virtual bool OnKillActive();
  // Wizard buttons: 0 goes to the page before (after), -1 stays, any
  // other value is the template id of the page to go to.
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();
  // True lets the wizard end. Finish does not run OnKillActive by itself.
  virtual bool OnWizardFinish();

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  // Enter and Esc belong to the sheet; a page never ends itself.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  friend class CPropertySheet;
  [[nodiscard]] bool CreatePageWindow(CPropertySheet* sheet, const CRect& rect);
  // The first control that takes the Tab key, unless the focus is already on the page.
  void FocusFirstControl();

  unsigned m_captionId;
  CPropertySheet* m_sheet = nullptr;
  bool m_firstActive = true;
};

class CPropertySheet : public CDialog {
 public:
  explicit CPropertySheet(unsigned captionId, CWnd* parent = nullptr, unsigned selectPage = 0);
  explicit CPropertySheet(std::string caption, CWnd* parent = nullptr, unsigned selectPage = 0);
  ~CPropertySheet() override;

  // Pages are the caller's; add them before the sheet runs.
  void AddPage(CPropertyPage* page);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(const CPropertyPage* page) const;
  CPropertyPage* GetActivePage() const { return GetPage(m_active); }
  int GetActiveIndex() const { return m_active; }
  // Before the sheet runs: the page to start on. While it runs: the
  // active page is left (if it agrees) and the new one shown.
  bool SetActivePage(int index);
  bool SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

  void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
  bool IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
  void SetWizardButtons(std::uint32_t flags) { SendMessage(PSM_SETWIZBUTTONS, 0, flags); }
  std::uint32_t GetWizardButtons() const { return m_wizardButtons; }
  // Presses a button (PSBTN_*) as the user would, after the current message.
  void PressButton(int button) { SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(button)); }

  void SetTitle(const std::string& title);
  std::string GetTitle() const;

  // IDOK, IDCANCEL or ID_WIZFINISH (or what EndDialog gave); -1 without pages.
  [[nodiscard]] std::intptr_t DoModal() override;
  // Where the pages sit, in sheet client coordinates (empty before the sheet runs).
  const CRect& PageRect() const { return m_pageRect; }

  PROPSHEETHEADER m_psh;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp turn the pages.
  bool PreTranslateMessage(MSG* msg) override;
  // The tab bar, the active page's controls, then the buttons left to right.
  std::vector<QWidget*> TabStops() override;
  // OK of a tabbed sheet (Enter presses the default button of a wizard).
  void OnOK() override;
  void OnCancel() override;
  // Help for the active page: context kHelpDialogBase + its template id.
  virtual void OnHelp();
  void OnHelpKey() override { OnHelp(); }
  virtual void OnWizardBack();
  virtual void OnWizardNext();
  virtual void OnWizardFinish();
  // One set of units for the frame and every page: the texts of all pages,
  // the tab row and the sheet's buttons fit.
  fw::DialogUnits FitUnits(const fw::CDialogTemplate& t, const QFont& font,
                           fw::DialogUnits measured) override;

 private:
  bool BuildFrame();
  void CreateButtons();
  void ApplyWizardButtons();
  bool ShowPage(int index);
  // The next page (step 1) or the previous (-1), as a wizard's Next and Back would.
  void TurnPage(int step);
  int IndexOfTemplate(unsigned templateId) const;

  std::vector<CPropertyPage*> m_pages;
  int m_active = -1;
  int m_startPage = 0;
  unsigned m_captionId = 0;  // read when the sheet runs, in the language of that moment
  std::string m_title;
  std::uint32_t m_wizardButtons = PSWIZB_BACK | PSWIZB_NEXT;
  fw::CDialogTemplate m_frame;
  CRect m_pageRect;
  CTabCtrl m_tabs;
  CStatic m_line;
  CButton m_ok, m_cancel, m_help, m_back, m_next, m_finish;
};

namespace fw {

// Puts a window where a dialog's control is: create gets the dialog, the
// control's rectangle and its id. The control is then hidden and gives up
// its id, so GetDlgItem finds the new window, which follows the control in
// the tab order. False when there is no such control or create fails.
[[nodiscard]] bool PlaceOverControl(
    CWnd* dialog, int controlId,
    const std::function<bool(CWnd* parent, const CRect& rect, int id)>& create);

// The page a key turns to from a tabbed window: 1 for Ctrl+Tab and
// Ctrl+Page Down, -1 for Ctrl+Shift+Tab and Ctrl+Page Up, else 0. Ctrl is
// read from the message, as the key was typed.
[[nodiscard]] int PageStepOfKey(const MSG& msg);

}  // namespace fw
