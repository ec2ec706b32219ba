#include "toolkit/hyperlinktarget.h"

#include <QApplication>

#include "platform/gui/services.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

namespace {
// What a successful shell action hands back: any value above 32.
constexpr std::intptr_t kShellSuccess = 33;
}  // namespace

CHyperLinkTarget::CHyperLinkTarget(const CHyperLinkTarget& other) {
  *this = other;
}

CHyperLinkTarget& CHyperLinkTarget::operator=(const CHyperLinkTarget& other) {
  m_pOwner = other.m_pOwner;
  m_nType = other.m_nType;
  m_strFile = other.m_strFile;
  m_strParameters = other.m_strParameters;
  m_strDirectory = other.m_strDirectory;
  m_nShowCommand = other.m_nShowCommand;
  m_nMessage = other.m_nMessage;
  m_hTarget = other.m_hTarget;
  m_broadcast = other.m_broadcast;
  m_nLastError = other.m_nLastError;
  m_hInstance = other.m_hInstance;
  return *this;
}

void CHyperLinkTarget::Set(int type, const std::string& file, const std::string& parameters,
                           const std::string& directory, int showCommand, UINT message,
                           HWND target) {
  m_nType = type;
  m_strFile = file;
  m_strParameters = parameters;
  m_strDirectory = directory;
  m_nShowCommand = showCommand;
  m_nMessage = message;
  m_broadcast = target == HWND_BROADCAST;
  m_hTarget = m_broadcast ? nullptr : target;
}

bool CHyperLinkTarget::ShellAction(const std::string& file) {
  // Only web and mail addresses are opened, with nothing to pass along: a
  // link never starts a local program or opens a local file.
  if (!m_strParameters.empty() || !fw::IsSafeLinkTarget(file)) {
    m_nLastError = kShellAccessDenied;
    return false;
  }
  if (!fw::ShellOpen(file)) {
    m_nLastError = kShellNoAssociation;
    return false;
  }
  m_nLastError = kLinkNoError;
  m_hInstance = kShellSuccess;
  return true;
}

bool CHyperLinkTarget::Execute(bool report) {
  bool ok = false;
  switch (m_nType) {
    case kLinkNone:
      m_nLastError = kLinkNoError;
      ok = true;
      break;
    case kLinkMessage: {
      // One window of this program, never all of them.
      CWnd* target = m_broadcast ? nullptr : CWnd::FromHandlePermanent(m_hTarget.data());
      const LRESULT answer =
          target ? target->SendMessage(m_nMessage, 0, reinterpret_cast<LPARAM>(this)) : 0;
      ok = answer != 0;
      m_nLastError = ok ? kLinkNoError : kLinkNoResponse;
      break;
    }
    case kLinkOpen: ok = ShellAction(m_strFile); break;
    case kLinkEdit:
    case kLinkPrint:
      // There is no editing or printing of an address.
      m_nLastError = kShellNoAssociation;
      break;
    case kLinkMail: ok = ShellAction(FormatRes(IDS_LINK_MAILTO_FORMAT, m_strFile.c_str())); break;
    default: m_nLastError = kLinkUnknownAction; break;
  }
  if (!ok && report) ReportError();
  return ok;
}

std::string CHyperLinkTarget::ErrorText(int error, int type) {
  static const unsigned kActionNames[] = {IDS_LINK_ACTION_NONE,  IDS_LINK_ACTION_MESSAGE,
                                          IDS_LINK_ACTION_OPEN,  IDS_LINK_ACTION_EDIT,
                                          IDS_LINK_ACTION_PRINT, IDS_LINK_ACTION_MAIL};
  switch (error) {
    case kLinkNoResponse: {
      const std::string name =
          type >= 0 && type <= kLinkMail ? LoadResString(kActionNames[type]) : std::to_string(type);
      return FormatRes(IDS_LINK_WINDOW_NO_RESPONSE, name.c_str());
    }
    case kLinkUnknownAction: return LoadResString(IDS_LINK_UNKNOWN_ACTION);
    case 0: return LoadResString(IDS_SHELL_ERR_OUT_OF_RESOURCES);
    case 2: return LoadResString(IDS_SHELL_ERR_FILE_NOT_FOUND);
    case 3: return LoadResString(IDS_SHELL_ERR_PATH_NOT_FOUND);
    case 5: return LoadResString(IDS_SHELL_ERR_ACCESS_DENIED);
    case 8: return LoadResString(IDS_SHELL_ERR_OUT_OF_MEMORY);
    case 11: return LoadResString(IDS_SHELL_ERR_BAD_FORMAT);
    case 26: return LoadResString(IDS_SHELL_ERR_SHARE);
    case 27: return LoadResString(IDS_SHELL_ERR_ASSOC_INCOMPLETE);
    case 28: return LoadResString(IDS_SHELL_ERR_DDE_TIMEOUT);
    case 29: return LoadResString(IDS_SHELL_ERR_DDE_FAIL);
    case 30: return LoadResString(IDS_SHELL_ERR_DDE_BUSY);
    case 31: return LoadResString(IDS_SHELL_ERR_NO_ASSOC);
    case 32: return LoadResString(IDS_SHELL_ERR_DLL_NOT_FOUND);
    default: return LoadResString(IDS_LINK_OPEN_FAILED);
  }
}

void CHyperLinkTarget::ReportError() {
  if (m_nLastError == kLinkNoError) return;
  QApplication::beep();
  AfxMessageBox(ErrorText(m_nLastError, m_nType), MB_OK | MB_ICONERROR);
}
