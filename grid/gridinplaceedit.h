// The editors the grid shows over a cell for an in-place edit. Tab, Enter
// and the vertical arrows end the edit and go on in the next cell, Escape
// cancels; the edit ends when the editor loses the focus. The default editor
// grows over empty neighbours as the text gets longer; the masked editor
// lets only characters through that fit the cell's edit mask.
#pragma once

#include <string>

#include "grid/gridmaskengine.h"
#include "grid/sheetgridctrl.h"

class CGridInPlaceEdit : public CWnd {
 public:
  explicit CGridInPlaceEdit(CSheetGridCtrl* grid) : m_grid(grid) {}

  virtual std::string Text() const;
  virtual void SetText(const std::string& text);
  virtual void SelectAll();
  virtual void SetReadOnly(bool on);
  bool IsCancelled() const { return m_cancelled; }
  // A character typed into a freshly opened editor (the key that started the edit).
  virtual void TypeInitialChar(int ch);
  // Hides the editor without ending the edit a second time through the focus loss.
  void HideQuietly();
  // Ends now an edit whose end the focus loss has asked for, instead of
  // after the event in progress (a press elsewhere in the grid).
  void FinishPending();
  int NextColumn() const { return m_nextCol; }
  int NextRow() const { return m_nextRow; }

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG* msg) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

  // Offers a typed character to the data source and the grid; false drops it.
  bool AcceptChar(int& ch);
  // Types ch as the data source and the grid let it through (changed or dropped).
  void TypeAccepted(UINT ch);
  virtual void InsertChar(int ch);
  void ContinueTo(int col, int row);
  void Cancel();
  void Finish();
  void AutoSize();

  CSheetGridCtrl* m_grid;
  int m_nextCol = -1, m_nextRow = -1;
  int m_cancelled = 0;
  int m_continue = 0;
  UINT m_lastKey = 0;
  int m_autoSize = 0;
  int m_autoSizeActive = 0;
  int m_startHeight = 0;
  int m_curHeight = 0;
  bool m_finishPosted = false;
  bool m_hiding = false;
};

class CGridAutoSizeEdit : public CGridInPlaceEdit {
 public:
  explicit CGridAutoSizeEdit(CSheetGridCtrl* grid) : CGridInPlaceEdit(grid) { m_autoSize = 1; }
};

class CGridMaskedEdit : public CGridInPlaceEdit {
 public:
  explicit CGridMaskedEdit(CSheetGridCtrl* grid) : CGridInPlaceEdit(grid) {}

  void SetMask(const std::string& mask);
  void TypeInitialChar(int ch) override;
  const CGridMaskEngine& Engine() const { return m_engine; }

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;

 private:
  CGridMaskEngine m_engine;
  bool m_internalTyping = false;
  bool m_reformatting = false;
};
