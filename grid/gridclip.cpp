// Copying the grid's selection to the clipboard as text and reading text back.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "grid/gridctrl.h"

int CSheetGridCtrl::SetClipboardText(const std::string& text) {
  QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::clipboard()
                              : nullptr;
  if (!clipboard) return 1;
  const QString value = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
  clipboard->setText(value);
  // A clipboard that did not take the text is a failure, not a copy.
  return clipboard->text() == value ? 0 : 1;
}

int CSheetGridCtrl::GetClipboardText(std::string& text) {
  QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::clipboard()
                              : nullptr;
  if (!clipboard) return 1;
  const QMimeData* data = clipboard->mimeData();
  if (!data || !data->hasText()) return 1;
  text = clipboard->text().toStdString();
  return 0;
}

int CSheetGridCtrl::CopySelection(int cut) {
  std::string text;
  GetSelectionText(text, 0);
  int result = ViewSetClipboardText(text);
  if (result != 0) return result;  // nothing is cut when the text did not get there
  if (cut) {
    std::string again;
    GetSelectionText(again, 1);
  }
  ClearSelection();
  RepaintAll();
  return 0;
}
