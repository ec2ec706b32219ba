// The product support dialogs: the maker's own with fixed links and two
// mail links (one may attach the open project), and a reseller's whose logo,
// company, links, phone, fax and address come from the customisation file
// or, without one, from the language's strings. Both programs use them.
#pragma once

#include <functional>
#include <string>

#include "platform/gui/dialog.h"
#include "toolkit/hyperlinkstatic.h"
#include "toolkit/textstatic.h"

namespace fw {
enum class SupportDialogKind { kMaker, kReseller };
// With a customisation file the reseller's dialog; else the maker's for the
// maker's own company names, the reseller's for any other.
SupportDialogKind ChooseSupportDialog(bool customizeFileExists, const std::string& companyName);
}  // namespace fw

class CProductSupportDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 133;
  // The maker's fixed addresses.
  static constexpr const char* kMakerWeb = "https://www.example.com/";
  static constexpr const char* kStoreWeb = "https://store.example.com/";
  static constexpr const char* kSupportWeb = "https://support.example.com/";
  static constexpr const char* kSupportMail = "support@example.com";
  static constexpr const char* kSalesMail = "sales@example.com";

  // projectPath gives the open project's file ("" for none). The status
  // monitor's form keeps the template's texts and offers no attachment.
  explicit CProductSupportDlg(std::function<std::string()> projectPath = {}, bool monitor = false,
                              CWnd* parent = nullptr);

  // The open project's modified flag and its save: a modified project is
  // offered to be saved before it is attached.
  void SetProjectSaving(std::function<bool()> isModified, std::function<bool()> save) {
    m_isModified = std::move(isModified);
    m_save = std::move(save);
  }

  CHyperLinkStatic m_salesMail;    // 209
  CHyperLinkStatic m_supportWeb;   // 208
  CHyperLinkStatic m_storeWeb;     // 207
  CHyperLinkStatic m_makerWeb;     // 206
  CHyperLinkStatic m_supportMail;  // 204
  int m_nAttach = 0;               // check box 205

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  LRESULT OnSupportMail();
  LRESULT OnSalesMail();
  std::function<std::string()> m_projectPath;
  std::function<bool()> m_isModified;
  std::function<bool()> m_save;
  bool m_monitor;
};

class COemSupportDlg : public CDialog {
 public:
  static constexpr unsigned IDD = 157;
  static constexpr int kLogoWidth = 300;
  static constexpr int kLogoHeight = 75;

  COemSupportDlg(std::string programFolder, std::string customizeFile, std::string companyName,
                 CWnd* parent = nullptr);

  CTextStatic m_companyName;  // 1054
  CHyperLinkStatic m_web;     // 1052
  CHyperLinkStatic m_mail;    // 1051
  CStatic m_logo;             // 1053
  std::string m_strPhone;     // 1049
  std::string m_strFax;       // 1050
  std::string m_strMailAddress;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  LRESULT OnMail();
  void SetLogo(const QImage& image);
  std::string m_programFolder;
  std::string m_customizeFile;
  std::string m_companyNameText;
  CFont m_bold;
  CIconImage m_logoImage;
};
