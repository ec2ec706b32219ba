#include "platform/gui/mail.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

#include "platform/gui/pump.h"
#include "platform/gui/qtstring.h"
#include "platform/message.h"
#include "res/string_ids.h"

namespace fw {

namespace {

IMailService* g_service = nullptr;

// How long the mail tool may take to hand over before it counts as sent.
constexpr int kMailWaitMs = 15000;

// xdg-email's own exit code for "a required tool could not be found".
constexpr int kXdgToolMissing = 3;

}  // namespace

bool IsSafeMailRecipient(const std::string& recipient) {
  if (recipient.empty() || recipient.size() > 320 || recipient[0] == '-') return false;
  for (unsigned char c : recipient)
    if (c <= ' ' || c == 0x7F || c == '<' || c == '>' || c == '"' || c == ',') return false;
  return recipient.find('@') != std::string::npos;
}

MailResult CXdgMailService::Send(const MailRequest& request) {
  if (!IsSafeMailRecipient(request.recipient)) return kMailFailed;
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
  if (tool.isEmpty()) return kMailToolMissing;
  QStringList args;
  args << QStringLiteral("--subject") << fw::ToQ(request.subject);
  if (!request.attachment.empty()) {
    QFileInfo file(fw::ToQ(request.attachment));
    if (!file.isFile()) return kMailFailed;
    args << QStringLiteral("--attach") << file.absoluteFilePath();
  }
  args << fw::ToQ(request.recipient);
  // Owned by the application, so a mail program that stays open outlives us here.
  auto* process = new QProcess(QCoreApplication::instance());
  struct Outcome {
    bool finished = false;
    bool normal = false;
    int code = 0;
  };
  auto outcome = std::make_shared<Outcome>();
  QObject::connect(process, &QProcess::finished, process,
                   [process, outcome](int code, QProcess::ExitStatus status) {
                     outcome->finished = true;
                     outcome->normal = status == QProcess::NormalExit;
                     outcome->code = code;
                     process->deleteLater();
                   });
  process->setProgram(tool);
  process->setArguments(args);
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->start();
  if (!process->waitForStarted(5000)) {
    process->deleteLater();
    return kMailToolMissing;
  }
  QElapsedTimer waited;
  waited.start();
  while (!outcome->finished && waited.elapsed() < kMailWaitMs) PumpMessagesFor(50);
  if (!outcome->finished) return kMailSent;
  if (!outcome->normal) return kMailFailed;
  if (outcome->code == kXdgToolMissing) return kMailToolMissing;
  return outcome->code == 0 ? kMailSent : kMailFailed;
}

void SetMailService(IMailService* service) {
  g_service = service;
}

IMailService& MailService() {
  static CXdgMailService xdg;
  return g_service ? *g_service : xdg;
}

MailResult SendMailWithAttachment(const std::string& recipient, const std::string& subject,
                                  const std::string& attachment) {
  MailRequest request{recipient, subject, attachment};
  const MailResult result = MailService().Send(request);
  if (result == kMailToolMissing)
    AfxMessageBox(IDS_MAIL_PROGRAM_MISSING);
  else if (result != kMailSent)
    AfxMessageBox(IDS_MAIL_SEND_FAILED);
  return result;
}

}  // namespace fw
