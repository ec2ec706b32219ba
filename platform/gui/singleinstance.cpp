#include "platform/gui/singleinstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "platform/gui/gdi.h"
#include "platform/gui/qtstring.h"
#include "platform/resstring.h"
#include "platform/text.h"

namespace {

constexpr unsigned kAppTitleId = 57344;
// Bounds of the talk with another copy: it may just be starting.
constexpr int kConnectWaitMs = 2000;
constexpr int kWriteWaitMs = 1000;
constexpr char kActivate[] = "activate\n";

struct Instance {
  std::string className;
  std::unique_ptr<QLockFile> lock;
  std::unique_ptr<QLocalServer> server;
  QPointer<QWidget> window;
};

Instance& Current() {
  static Instance instance;
  return instance;
}

QString PathFor(const std::string& className, const char* suffix) {
  return fw::ToQ(fw::InstanceFolder() + "/" + className + suffix);
}

// A class name becomes a file name: nothing that leaves the folder.
bool UsableName(const std::string& name) {
  return !name.empty() && name.size() <= 64 && name.find('/') == std::string::npos && name != "." &&
         name != "..";
}

// Requests come as lines; only "activate" does anything, anything else
// (the other program's question) just finds the socket answering.
void ServeConnection(QLocalSocket* socket) {
  auto consume = [socket] {
    while (socket->canReadLine()) {
      const QByteArray line = socket->readLine(64);
      if (line == kActivate) fw::BringInstanceToFront();
    }
    if (socket->bytesAvailable() > 64) socket->abort();  // no line that long belongs here
  };
  QObject::connect(socket, &QLocalSocket::readyRead, socket, consume);
  QObject::connect(socket, &QLocalSocket::disconnected, socket, [socket, consume] {
    consume();
    socket->deleteLater();
  });
}

// Asks the copy that holds the class to come to the front. It may be starting
// and not listen yet: try for a while.
void AskToComeToFront(const std::string& className) {
  const QString path = PathFor(className, "");
  QDeadlineTimer deadline(kConnectWaitMs);
  QLocalSocket socket;
  for (;;) {
    socket.connectToServer(path);
    if (socket.waitForConnected(200)) break;
    if (deadline.hasExpired()) return;
    QThread::msleep(50);
  }
  socket.write(kActivate);
  socket.waitForBytesWritten(kWriteWaitMs);
  socket.disconnectFromServer();
}

}  // namespace

namespace fw {

std::string InstanceFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return fw::FromQ(folder);
}

void SetInstanceWindow(QWidget* window) {
  Current().window = window;
}

void BringInstanceToFront() {
  QWidget* window = Current().window;
  if (!window) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible() && !qobject_cast<QDialog*>(w) && w->isWindow()) {
        window = w;
        break;
      }
    }
  }
  if (window && window->isMinimized())
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  QWidget* front = QApplication::activeModalWidget();
  if (!front) front = window;
  if (!front) return;
  front->show();
  front->raise();
  front->activateWindow();
}

}  // namespace fw

bool CheckSingleInstance(int iconId, const std::string& className) {
  Instance& instance = Current();
  const std::string name = className.empty() ? LoadResString(kAppTitleId) : className;
  if (!UsableName(name) || !instance.className.empty()) return false;
  QDir().mkpath(PathFor("", ""));
  auto lock = std::make_unique<QLockFile>(PathFor(name, ".lock"));
  // Held for as long as the program runs: only a dead holder makes it stale.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) {
    if (lock->error() == QLockFile::LockFailedError) {
      AskToComeToFront(name);
    } else {
      std::fprintf(stderr, "%s: cannot lock %s\n", name.c_str(),
                   fw::FromQ(PathFor(name, ".lock")).c_str());
    }
    return false;
  }
  auto server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  const QString path = PathFor(name, "");
  QLocalServer::removeServer(path);  // a crashed copy's socket
  if (!server->listen(path)) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), fw::FromQ(server->errorString()).c_str());
    return false;
  }
  QLocalServer* raw = server.get();
  QObject::connect(raw, &QLocalServer::newConnection, raw, [raw] {
    while (QLocalSocket* socket = raw->nextPendingConnection()) ServeConnection(socket);
  });
  if (HICON icon = fw::LoadIconResource(iconId); icon && qobject_cast<QApplication*>(qApp))
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon->image)));
  instance.className = name;
  instance.lock = std::move(lock);
  instance.server = std::move(server);
  return true;
}

void UnregisterMainWindowClass() {
  Instance& instance = Current();
  if (instance.className.empty()) return;
  instance.server.reset();  // closes and removes its socket
  instance.lock.reset();    // unlocks and removes the lock file
  instance.className.clear();
}

std::string MainWindowClassName() {
  return Current().className;
}

bool FindProgramWindow(const std::string& className) {
  if (!UsableName(className)) return false;
  QLocalSocket socket;
  socket.connectToServer(PathFor(className, ""));
  const bool answered = socket.waitForConnected(kWriteWaitMs);
  if (answered) socket.disconnectFromServer();
  return answered;
}
