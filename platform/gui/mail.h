// Mail with an optional attachment, handed to the desktop's mail program
// through `xdg-email` (started without a shell). The service sits behind an
// interface so tests record the request instead of opening a mail window.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace fw {

struct MailRequest {
  std::string recipient;
  std::string subject;
  std::string attachment;  // a file path, empty for none
};

enum MailResult : int {
  kMailSent = 0,
  kMailToolMissing = -1,  // no mail tool to hand the mail to
  kMailFailed = -2,       // the tool refused or failed
};

class IMailService {
 public:
  virtual ~IMailService() = default;
  [[nodiscard]] virtual MailResult Send(const MailRequest& request) = 0;
};

// Runs `xdg-email --subject S [--attach F] recipient` and waits a bounded
// time for its answer; a mail program still open after that counts as sent.
class CXdgMailService : public IMailService {
 public:
  [[nodiscard]] MailResult Send(const MailRequest& request) override;
};

class CRecordingMailService : public IMailService {
 public:
  explicit CRecordingMailService(MailResult answer = kMailSent) : m_answer(answer) {}
  [[nodiscard]] MailResult Send(const MailRequest& request) override {
    std::lock_guard lock(m_mutex);
    m_sent.push_back(request);
    return m_answer;
  }
  std::vector<MailRequest> sent() const {
    std::lock_guard lock(m_mutex);
    return m_sent;
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<MailRequest> m_sent;
  MailResult m_answer;
};

void SetMailService(IMailService* service);  // nullptr: xdg-email
IMailService& MailService();

// A recipient the mail tool can take as an address, never as an option.
bool IsSafeMailRecipient(const std::string& recipient);

// The programs' mail procedure: sends through the service and tells the
// user when it failed (the mail tool missing, or the sending failed).
MailResult SendMailWithAttachment(const std::string& recipient, const std::string& subject,
                                  const std::string& attachment);

}  // namespace fw
