// Dialogs built from the language bundle's templates, with the dialog
// manager's behaviour the dialogs are written against: control ids, the
// dialog font, IDOK/IDCANCEL routing, data exchange, modal and modeless runs.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/textfit.h"
#include "platform/gui/wnd.h"
#include "platform/message.h"
#include "platform/resourcebundle.h"

class CDialog;

// One pass of dialog data exchange (UpdateData).
class CDataExchange {
 public:
  CDataExchange(CDialog* dlg, bool saveAndValidate)
      : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;
  // Marks the exchange failed at the control last prepared; the dialog
  // moves the focus there.
  void Fail();
  CWnd* PrepareCtrl(int id);
  bool failed() const { return m_failed; }
  int lastControl() const { return m_lastId; }

 private:
  bool m_failed = false;
  int m_lastId = 0;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked button in the group that starts at id (-1: none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, std::string& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);

class CDialog : public CWnd {
 public:
  explicit CDialog(unsigned templateId = 0, CWnd* parent = nullptr);
  ~CDialog() override;

  // Runs the dialog modally; IDOK, IDCANCEL or what EndDialog gave; -1 when
  // the template is missing. EndDialog during OnInitDialog returns at once.
  [[nodiscard]] virtual std::intptr_t DoModal();
  // Creates the dialog modelessly (shown when the template says WS_VISIBLE).
  [[nodiscard]] bool Create(unsigned templateId, CWnd* parent = nullptr);
  using CWnd::Create;
  void EndDialog(int result);
  // Result of the last run, and whether EndDialog was called.
  int result() const { return m_result; }
  bool ended() const { return m_ended; }

  [[nodiscard]] bool UpdateData(bool saveAndValidate = true);
  // Use this object for control `id` when the template creates it: the
  // template names the control, the program chooses its class.
  void BindControl(int id, CWnd& control);
  // A text control `id` will show later, and the pixels its drawing takes
  // beside the text: the dialog grows to hold it too. Call before it is made.
  void FitText(int id, std::string text, int extraWidth = 0, bool bold = false);
  const std::vector<fw::LaterText>& laterTexts() const { return m_laterTexts; }

  void GotoDlgCtrl(CWnd* control);
  void NextDlgCtrl();
  void PrevDlgCtrl();
  // The Tab stop after control (before it with previous) in the dialog's Tab
  // order, skipping those hidden or disabled; null when there is none.
  CWnd* GetNextDlgTabItem(CWnd* control, bool previous = false);
  void SetDefID(int id) { m_defId = id; }
  int GetDefID() const { return m_defId; }
  // Dialog units to pixels in this dialog's font, scaled so that its texts fit.
  void MapDialogRect(CRect* r) const;
  const fw::DialogUnits& dialogUnits() const { return m_units; }
  unsigned templateId() const { return m_templateId; }
  CFont* dialogFont() { return &m_font; }

  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // F1 that no control of the dialog took: help for the dialog's template
  // (context kHelpDialogBase + its id), as its Help button gives.
  virtual void OnHelpKey();

 protected:
  virtual void DoDataExchange(CDataExchange* dx);
  // A template the program builds itself (a property sheet's frame) in place
  // of the bundle's; it must live as long as the dialog's window.
  void UseOwnTemplate(const fw::CDialogTemplate* t) { m_ownTemplate = t; }
  // The base units at which every text of t fits (see platform/gui/textfit.h).
  virtual fw::DialogUnits FitUnits(const fw::CDialogTemplate& t, const QFont& font,
                                   fw::DialogUnits measured);
  // Units given from outside (a page takes its sheet's) in place of fitting.
  void UseUnits(const fw::DialogUnits& units) { m_givenUnits = units; }
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
  bool OnCommand(WPARAM w, LPARAM l) override;
  void OnClose() override;
  // The dialog's Tab stops in Tab order, whether or not they can take the
  // focus now: by default the controls in the order they were made (the
  // template's), each taken as a whole.
  virtual std::vector<QWidget*> TabStops();

  unsigned m_templateId;
  CWnd* m_parentWnd;

 private:
  friend class CDialogPeerAccess;
  bool Build(bool modal);
  bool RunInit();
  const fw::CDialogTemplate* Template() const;

  CFont m_font;
  fw::DialogUnits m_units;
  std::optional<fw::DialogUnits> m_givenUnits;
  std::vector<fw::LaterText> m_laterTexts;
  std::map<int, CWnd*> m_bound;
  std::vector<std::unique_ptr<CWnd>> m_defaultControls;
  int m_result = 0;
  bool m_ended = false;
  bool m_modal = false;
  bool m_running = false;
  int m_defId = IDOK;
  const fw::CDialogTemplate* m_ownTemplate = nullptr;
};

namespace fw {

// Tab (Shift+Tab with previous) that the window `from` does not use itself:
// the focus goes to the next Tab stop, in a dialog by the dialog's Tab order,
// elsewhere to the next window of its top-level window that takes the Tab key.
void MoveTabFocus(CWnd* from, bool previous);

}  // namespace fw
