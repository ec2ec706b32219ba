// Copying the grid's selection to the clipboard as text and reading text back.
#include "grid/sheetgridctrl.h"
#include "platform/gui/services.h"

int CSheetGridCtrl::SetClipboardText(const std::string& text) {
  return fw::SetClipboardText(text) ? kGridClipboardOk : kGridClipboardNoText;
}

int CSheetGridCtrl::GetClipboardText(std::string& text) {
  if (!fw::ClipboardHasText()) return kGridClipboardNoText;
  text = fw::GetClipboardText();
  return kGridClipboardOk;
}

int CSheetGridCtrl::CopySelection(int cut) {
  std::string text;
  (void)GetSelectionText(text, 0);
  int result = ViewSetClipboardText(text);
  if (result != kGridClipboardOk) return result;  // nothing is cut when the text did not get there
  if (cut) {
    std::string again;
    (void)GetSelectionText(again, 1);
  }
  ClearSelection();
  RepaintAll();
  return kGridClipboardOk;
}
