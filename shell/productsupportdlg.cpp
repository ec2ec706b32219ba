#include "shell/productsupportdlg.h"

#include <QImage>
#include <filesystem>

#include "platform/gui/mail.h"
#include "platform/inifile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace {

// The program's registered messages of the mail links.
UINT OemSupportMailMessage() {
  static const UINT id = RegisterWindowMessage("OEMSupportMail");
  return id;
}
UINT SupportMailMessage() {
  static const UINT id = RegisterWindowMessage("SupportMail");
  return id;
}
UINT SalesMailMessage() {
  static const UINT id = RegisterWindowMessage("SalesMail");
  return id;
}

constexpr unsigned kSupportLogo = 205;
constexpr std::size_t kMaxValue = 1023;  // values are read into 1024 characters
const char* const kSection = "product support";

// An address written without a scheme is a web address.
std::string WebTarget(const std::string& address) {
  const std::string lower = fw::FoldCase(address);
  if (lower.find("://") != std::string::npos || lower.rfind("mailto:", 0) == 0) return address;
  return "http://" + address;
}

}  // namespace

namespace fw {

SupportDialogKind ChooseSupportDialog(bool customizeFileExists, const std::string& companyName) {
  if (customizeFileExists) return SupportDialogKind::kReseller;
  const std::string company = FoldCase(companyName);
  if (company == FoldCase("ZOLVEX") ||
      company == FoldCase("Quorvantics Corvellianstead Corporation"))
    return SupportDialogKind::kMaker;
  return SupportDialogKind::kReseller;
}

}  // namespace fw

// ---- the maker's dialog ---------------------------------------------------------------------

CProductSupportDlg::CProductSupportDlg(std::function<std::string()> projectPath, bool monitor,
                                       CWnd* parent)
    : CDialog(IDD, parent), m_projectPath(std::move(projectPath)), m_monitor(monitor) {
  BindControl(209, m_salesMail);
  BindControl(208, m_supportWeb);
  BindControl(207, m_storeWeb);
  BindControl(206, m_makerWeb);
  BindControl(204, m_supportMail);
  SetMessageHandler(SupportMailMessage(), [this](WPARAM, LPARAM) { return OnSupportMail(); });
  SetMessageHandler(SalesMailMessage(), [this](WPARAM, LPARAM) { return OnSalesMail(); });
  if (!m_monitor) FitText(1097, LoadResString(IDS_SUPPORT_MAIL_PROMPT));
}

void CProductSupportDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  if (!m_monitor) DDX_Check(dx, 205, m_nAttach);
}

bool CProductSupportDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_makerWeb.SetAction(CHyperLinkTarget::kLinkOpen, kMakerWeb);
  m_storeWeb.SetAction(CHyperLinkTarget::kLinkOpen, kStoreWeb);
  m_supportWeb.SetAction(CHyperLinkTarget::kLinkOpen, kSupportWeb);
  m_supportMail.SetAction(CHyperLinkTarget::kLinkMessage, "", "", "", SW_SHOWNORMAL,
                          SupportMailMessage(), widget());
  m_salesMail.SetAction(CHyperLinkTarget::kLinkMessage, "", "", "", SW_SHOWNORMAL,
                        SalesMailMessage(), widget());
  if (m_monitor) {
    // The monitor keeps the template's texts and never attaches a project.
    if (CWnd* attach = GetDlgItem(205)) attach->ShowWindow(SW_HIDE);
  } else {
    SetDlgItemText(1097, LoadResString(IDS_SUPPORT_MAIL_PROMPT));
    SetWindowText(LoadResString(IDS_PRODUCT_SUPPORT));
    // A project that was never saved has no file to attach.
    if (CWnd* attach = GetDlgItem(205); attach && (!m_projectPath || m_projectPath().empty())) {
      CheckDlgButton(205, BST_UNCHECKED);
      attach->EnableWindow(false);
    }
  }
  // The box opens on OK: Enter closes it, and Tab reaches the links.
  GotoDlgCtrl(GetDlgItem(IDOK));
  return false;
}

LRESULT CProductSupportDlg::OnSupportMail() {
  if (!UpdateData(true)) return 1;  // the exchange told the user what is wrong
  std::string attachment =
      !m_monitor && m_nAttach == 1 && m_projectPath ? m_projectPath() : std::string();
  if (!attachment.empty() && m_isModified && m_isModified()) {
    // The file on disk is not what the user sees: offer to save it first.
    switch (AfxMessageBox(IDS_SAVE_BEFORE_ATTACH, MB_YESNOCANCEL | MB_ICONQUESTION)) {
      case IDCANCEL: return 1;
      case IDYES:
        if (!m_save || !m_save()) return 1;  // the save told what went wrong
        attachment = m_projectPath();
        break;
      default: break;
    }
  }
  // The whole path goes to the mail program: the file keeps its name and extension.
  fw::SendMailWithAttachment(kSupportMail, LoadResString(IDS_SUPPORT_MAIL_SUBJECT), attachment);
  return 1;  // the link's message was answered
}

LRESULT CProductSupportDlg::OnSalesMail() {
  if (!UpdateData(true)) return 1;
  fw::SendMailWithAttachment(kSalesMail, LoadResString(IDS_SALES_MAIL_SUBJECT), std::string());
  return 1;
}

// ---- the reseller's dialog
// -----------------------------------------------------------------------

COemSupportDlg::COemSupportDlg(std::string programFolder, std::string customizeFile,
                               std::string companyName, CWnd* parent)
    : CDialog(IDD, parent),
      m_programFolder(std::move(programFolder)),
      m_customizeFile(std::move(customizeFile)),
      m_companyNameText(std::move(companyName)) {
  BindControl(1054, m_companyName);
  BindControl(1052, m_web);
  BindControl(1051, m_mail);
  BindControl(1053, m_logo);
  SetMessageHandler(OemSupportMailMessage(), [this](WPARAM, LPARAM) { return OnMail(); });
  // The string table's values; a reseller's own are as long as he wrote them.
  FitText(1054, m_companyNameText, 0, true);
  FitText(1052, LoadResString(IDS_SUPPORT_WEB));
  FitText(1056, LoadResString(IDS_WEB_SITE));
  FitText(1051, LoadResString(IDS_SUPPORT_MAIL));
  FitText(1057, LoadResString(IDS_EMAIL));
  FitText(1049, LoadResString(IDS_PHONE) + " " + LoadResString(IDS_SUPPORT_PHONE));
  FitText(1050, LoadResString(IDS_FAX) + " " + LoadResString(IDS_SUPPORT_FAX));
  FitText(1055, LoadResString(IDS_SUPPORT_ADDRESS));
}

void COemSupportDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, 1049, m_strPhone);
  DDX_Text(dx, 1050, m_strFax);
}

void COemSupportDlg::SetLogo(const QImage& image) {
  m_logoImage.image = image.isNull() ? QImage()
                                     : image.scaled(kLogoWidth, kLogoHeight, Qt::IgnoreAspectRatio,
                                                    Qt::SmoothTransformation);
  m_logo.SetIcon(m_logoImage.image.isNull() ? nullptr : &m_logoImage);
}

bool COemSupportDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  std::error_code ec;
  const bool custom =
      !m_customizeFile.empty() && std::filesystem::is_regular_file(m_customizeFile, ec);
  fw::CIniFile file;
  // An unreadable customisation file reads as one with every value empty.
  if (custom && !file.Load(m_customizeFile)) file = fw::CIniFile();
  auto value = [&](const char* key) {
    std::string v = file.GetString(kSection, key);
    if (v.size() > kMaxValue) v.resize(kMaxValue);
    return v;
  };

  // Logo and company.
  LOGFONT lf = fw::DefaultGuiLogFont();
  if (CFont* f = m_companyName.GetFont(); f && f->IsValid()) f->GetLogFont(&lf);
  lf.lfWeight = FW_BOLD;
  (void)m_bold.CreateFontIndirect(&lf);  // without it the text stays plain
  std::string company = m_companyNameText;
  if (!custom) {
    SetLogo(fw::LoadImageResource(fw::ImageKind::Bitmap, kSupportLogo, nullptr));
  } else {
    const std::string logo = value("logo");
    if (logo.empty())
      m_logo.ShowWindow(SW_HIDE);
    else
      SetLogo(QImage(QString::fromStdString(m_programFolder + logo)));  // unreadable: stays empty
    company = value("company name");
  }
  m_companyName.SetFont(&m_bold);
  if (company.empty())
    m_companyName.ShowWindow(SW_HIDE);
  else
    m_companyName.SetWindowText(company);

  const std::string web = custom ? value("web") : LoadResString(IDS_SUPPORT_WEB);
  const std::string mail = custom ? value("email") : LoadResString(IDS_SUPPORT_MAIL);
  const std::string phone = custom ? value("phone") : LoadResString(IDS_SUPPORT_PHONE);
  const std::string fax = custom ? value("fax") : LoadResString(IDS_SUPPORT_FAX);
  if (!web.empty()) {
    m_web.SetAction(CHyperLinkTarget::kLinkOpen, WebTarget(web));
    m_web.SetWindowText(web);
    SetDlgItemText(1056, LoadResString(IDS_WEB_SITE));
  } else {
    m_web.ShowWindow(SW_HIDE);
  }
  if (!mail.empty()) {
    SetDlgItemText(1057, LoadResString(IDS_EMAIL));
    m_mail.SetWindowText(mail);
    m_strMailAddress = mail;
    m_mail.SetAction(CHyperLinkTarget::kLinkMessage, "", "", "", SW_SHOWNORMAL,
                     OemSupportMailMessage(), widget());
  } else {
    m_mail.ShowWindow(SW_HIDE);
  }
  if (!phone.empty()) m_strPhone = LoadResString(IDS_PHONE) + " " + phone;
  if (!fax.empty()) m_strFax = LoadResString(IDS_FAX) + " " + fax;
  std::string address;
  if (custom) {
    for (const char* key : {"mail1", "mail2", "mail3"})
      if (std::string line = value(key); !line.empty()) address += line + "\r\n";
  } else {
    address = LoadResString(IDS_SUPPORT_ADDRESS);
  }
  SetDlgItemText(1055, address);
  (void)UpdateData(false);        // the values are the program's own: nothing to refuse
  GotoDlgCtrl(GetDlgItem(IDOK));  // as the maker's box: Enter closes it
  return false;
}

LRESULT COemSupportDlg::OnMail() {
  if (!UpdateData(true)) return 1;
  fw::SendMailWithAttachment(m_strMailAddress, LoadResString(IDS_SUPPORT_MAIL_SUBJECT),
                             std::string());
  return 1;
}
