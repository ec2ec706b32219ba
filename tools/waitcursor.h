// The wait cursor over the whole program for the life of a scope.
#pragma once

#include <QApplication>
#include <QCursor>

class CWaitCursor {
 public:
  CWaitCursor() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
      QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
      m_set = false;
  }
  ~CWaitCursor() {
    if (m_set) QApplication::restoreOverrideCursor();
  }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  bool m_set = true;
};
