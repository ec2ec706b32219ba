// "Find All Switches": searches every capture interface, lists the switches
// that answered and adds those the user selects to the project.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/dialog.h"
#include "switch/switchentry.h"
#include "toolkit/imagebutton.h"

class IToolsDocument;
class CSearchingDlg;

class CFindSwitchesDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 141;
  static constexpr int kListId = 1028;
  static constexpr int kSearchAgainId = 1029;
  static constexpr int kAddSelectedId = 1032;
  static constexpr int kHelpId = 1024;
  static constexpr UINT_PTR kSearchTimer = 113;
  static constexpr UINT kSearchDelay = 250;

  // Without a document nothing can be added.
  CFindSwitchesDlg(CWnd* parent, IToolsDocument* document);
  ~CFindSwitchesDlg() override;

  const std::vector<std::unique_ptr<CSwitchEntry>>& Found() const { return m_found; }
  bool Searching() const { return m_bSearching != 0; }
  // The searching window while a search runs.
  CSearchingDlg* SearchingWindow() const { return m_searchingDlg.get(); }
  CListCtrl& List() { return m_list; }

  void Search();
  void AddSelected();

 protected:
  bool OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnClose() override;
  void OnCancel() override;

 private:
  void EnableButtons(bool enable);

  IToolsDocument* m_document;
  std::vector<std::unique_ptr<CSwitchEntry>> m_found;
  int m_bSearching = 0;
  CImageButton m_close, m_help, m_addSelected, m_searchAgain;
  CListCtrl m_list;
  std::unique_ptr<CSearchingDlg> m_searchingDlg;
};
