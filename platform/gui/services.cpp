#include "platform/gui/services.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "platform/gui/qtstring.h"
#include "platform/gui/wnd.h"
#include "platform/message.h"
#include "platform/text.h"

namespace fw {

namespace {
IFileDialogService* g_fileDialogs = nullptr;
IShellService* g_shell = nullptr;
}  // namespace

std::string QtFilterFromPairs(const std::string& filter) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : filter) {
    if (c == '|') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  std::string out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;
    std::string patterns = parts[i + 1];
    for (char& c : patterns)
      if (c == ';') c = ' ';
    std::string entry = parts[i];
    if (entry.find('(') == std::string::npos)
      entry += " (" + patterns + ")";
    else if (entry.find(patterns) == std::string::npos)
      entry = parts[i] + " (" + patterns + ")";
    if (!out.empty()) out += ";;";
    out += entry;
  }
  return out;
}

std::string WithDefaultExtension(const std::string& path, const std::string& ext) {
  if (ext.empty() || path.empty()) return path;
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return path;
  return path + "." + ext;
}

bool CQtFileDialogService::Ask(const FileDialogRequest& r, CWnd* parent, std::string* path) {
  QWidget* p = parent ? parent->widget() : nullptr;
  QString start = ToQ(r.initialDir);
  if (!r.fileName.empty())
    start = start.isEmpty() ? ToQ(r.fileName) : start + "/" + ToQ(r.fileName);
  QString filter = ToQ(QtFilterFromPairs(r.filter));
  QString chosen;
  if (r.open) {
    const ModalScope scope;
    chosen = QFileDialog::getOpenFileName(p, ToQ(r.title), start, filter);
  } else {
    QFileDialog::Options opts;
    if (!r.overwritePrompt) opts |= QFileDialog::DontConfirmOverwrite;
    const ModalScope scope;
    chosen = QFileDialog::getSaveFileName(p, ToQ(r.title), start, filter, nullptr, opts);
  }
  if (chosen.isEmpty()) return false;
  std::string result = FromQ(chosen);
  if (!r.open) result = WithDefaultExtension(result, r.defaultExt);
  if (path) *path = result;
  return true;
}

bool CScriptedFileDialogService::Ask(const FileDialogRequest& request, CWnd*, std::string* path) {
  m_requests.push_back(request);
  if (m_answers.empty()) return false;
  std::string answer = m_answers.front();
  m_answers.pop_front();
  if (answer.empty()) return false;
  if (path) *path = request.open ? answer : WithDefaultExtension(answer, request.defaultExt);
  return true;
}

IFileDialogService* SetFileDialogService(IFileDialogService* service) {
  return std::exchange(g_fileDialogs, service);
}

IFileDialogService& FileDialogService() {
  static CQtFileDialogService qt;
  return g_fileDialogs ? *g_fileDialogs : qt;
}

void SetShellService(IShellService* service) {
  g_shell = service;
}

namespace {

// Percent-decoding until nothing changes, so "%2561ttach" cannot slip past as
// something a mail program decodes once more.
std::string DecodePercentFully(std::string text) {
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
  };
  for (int round = 0; round < 8; ++round) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
        out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
        i += 2;
      } else {
        out += text[i];
      }
    }
    if (out == text) break;
    text = std::move(out);
  }
  return text;
}

// A mail link may fill in a message but never attach a file to it: mail
// programs take "attach" (and relatives) from the link and send the file.
bool MailtoAttachesFile(const std::string& rest) {
  const std::string decoded = FoldCase(DecodePercentFully(rest));
  const std::size_t query = decoded.find('?');
  if (query == std::string::npos) return false;
  std::size_t at = query + 1;
  while (at <= decoded.size()) {
    const std::size_t end = std::min(decoded.find_first_of("&;?", at), decoded.size());
    const std::string field = decoded.substr(at, end - at);
    const std::string name = Trim(field.substr(0, field.find('=')));
    if (name == "attach" || name == "attachment" || name == "file") return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

bool IsSafeLinkTarget(const std::string& target) {
  std::string t = Trim(target);
  if (t.empty() || t.size() > 2048) return false;
  for (unsigned char c : t)
    if (c <= ' ' || c == 0x7F) return false;  // no blanks or control characters inside a link
  std::string lower = FoldCase(t);
  auto starts = [&](const char* p) { return lower.rfind(p, 0) == 0; };
  std::size_t rest = 0;
  if (starts("http://"))
    rest = 7;
  else if (starts("https://"))
    rest = 8;
  else if (starts("mailto:")) {
    rest = 7;
    if (MailtoAttachesFile(t.substr(rest))) return false;
  } else
    return false;
  return t.size() > rest;
}

bool ShellOpen(const std::string& target) {
  if (!IsSafeLinkTarget(target)) return false;
  std::string t = Trim(target);
  if (g_shell) return g_shell->OpenUrl(t);
  QUrl url(ToQ(t), QUrl::StrictMode);
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

bool OpenProgramFile(const std::string& path, const std::string& fragment) {
  const QFileInfo info(ToQ(path));
  if (path.empty() || !info.isFile()) return false;
  QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
  if (!fragment.empty()) url.setFragment(ToQ(fragment));
  if (g_shell) return g_shell->OpenUrl(FromQ(url.toString()));
  return QDesktopServices::openUrl(url);
}

bool SetClipboardText(const std::string& text) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  QClipboard* cb = QGuiApplication::clipboard();
  if (!cb) return false;
  const QString value = ToQ(text);
  cb->setText(value);
  // A clipboard that did not take the text is a failure, not a copy.
  return cb->text() == value;
}

std::string GetClipboardText() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  QClipboard* cb = QGuiApplication::clipboard();
  return cb ? FromQ(cb->text()) : std::string();
}

bool ClipboardHasText() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  QClipboard* cb = QGuiApplication::clipboard();
  const QMimeData* data = cb ? cb->mimeData() : nullptr;
  return data && data->hasText();
}

}  // namespace fw

CFileDialog::CFileDialog(bool open, const std::string& defaultExt, const std::string& fileName,
                         unsigned flags, const std::string& filter, CWnd* parent)
    : m_parent(parent) {
  m_ofn.open = open;
  m_ofn.defaultExt = defaultExt;
  m_ofn.fileName = fileName;
  m_ofn.filter = filter;
  m_ofn.overwritePrompt = (flags & OFN_OVERWRITEPROMPT) != 0;
  m_ofn.mustExist = (flags & OFN_FILEMUSTEXIST) != 0;
  // A name with a folder starts the dialog in that folder.
  std::size_t slash = fileName.find_last_of('/');
  if (slash != std::string::npos) {
    m_ofn.initialDir = fileName.substr(0, slash);
    m_ofn.fileName = fileName.substr(slash + 1);
  }
}

std::intptr_t CFileDialog::DoModal() {
  std::string path;
  if (!fw::FileDialogService().Ask(m_ofn, m_parent, &path)) return IDCANCEL;
  m_path = path;
  return IDOK;
}

std::string CFileDialog::GetFileName() const {
  std::size_t slash = m_path.find_last_of('/');
  return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
  std::string name = GetFileName();
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}
