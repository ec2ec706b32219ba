#include "platform/gui/qtmessagesink.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

namespace fw {

namespace {

int ShowOnGuiThread(const std::string& text, const std::string& caption, unsigned type) {
  QMessageBox box;
  box.setText(QString::fromStdString(text));
  box.setWindowTitle(QString::fromStdString(caption));
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
  switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
  }
}

}  // namespace

int CQtMessageSink::Show(const std::string& text, const std::string& caption, unsigned type) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return IDOK;
  if (QThread::currentThread() == app->thread()) return ShowOnGuiThread(text, caption, type);
  int answer = IDCANCEL;
  QMetaObject::invokeMethod(
      app, [&] { answer = ShowOnGuiThread(text, caption, type); }, Qt::BlockingQueuedConnection);
  return answer;
}

}  // namespace fw
