#include "platform/gui/qtmessagesink.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include "platform/gui/pump.h"
#include "platform/gui/qtstring.h"
#include "platform/gui/wnd.h"

namespace fw {

namespace {

void Configure(QMessageBox& box, const std::string& text, const std::string& caption,
               unsigned type) {
  box.setText(ToQ(text));
  box.setWindowTitle(ToQ(caption));
  switch (type & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  // A box must stay usable while a wait elsewhere filters input.
  MarkAlwaysAcceptsInput(&box);
}

// A box that ended without a button (its owner went and took it along)
// gives the cautious answer: never one that discards or goes ahead.
int Answer(int button, unsigned type) {
  switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return CQtMessageSink::WorkerAnswer(type);
  }
}

}  // namespace

int CQtMessageSink::WorkerAnswer(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    default: return IDOK;
  }
}

int CQtMessageSink::Show(const std::string& text, const std::string& caption, unsigned type) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!qobject_cast<QApplication*>(app)) return WorkerAnswer(type);
  if (QThread::currentThread() == app->thread()) {
    fw::ModalScope scope;
    // The box belongs to the active window: it stays in front of it, and the
    // activation goes back there when it closes. The owner may go while the
    // box is up, and takes the box with it.
    QPointer<QMessageBox> box = new QMessageBox(scope.ActiveWindow());
    Configure(*box, text, caption, type);
    const int answer = Answer(box->exec(), type);
    delete box.data();
    return answer;
  }
  QMetaObject::invokeMethod(
      app,
      [text, caption, type] {
        auto* box = new QMessageBox();
        box->setAttribute(Qt::WA_DeleteOnClose);
        Configure(*box, text, caption, type);
        box->setModal(false);
        box->show();
      },
      Qt::QueuedConnection);
  return WorkerAnswer(type);
}

}  // namespace fw
