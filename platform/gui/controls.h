// The standard controls the dialogs use, over Qt widgets: static, buttons,
// edit, combo box, list box, progress bar, report list and tab control.
// Each answers its window messages and tells its parent of user changes
// with WM_COMMAND (or WM_NOTIFY) as the platform's controls do; changes
// made by the program itself do not notify.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/wnd.h"

// Combo box and list box results.
inline constexpr int CB_ERR = -1;
inline constexpr int LB_ERR = -1;

// Report list
inline constexpr unsigned LVCFMT_LEFT = 0;
inline constexpr unsigned LVCFMT_RIGHT = 1;
inline constexpr unsigned LVCFMT_CENTER = 2;
inline constexpr unsigned LVNI_ALL = 0;
inline constexpr unsigned LVNI_FOCUSED = 1;
inline constexpr unsigned LVNI_SELECTED = 2;
inline constexpr unsigned LVIS_FOCUSED = 1;
inline constexpr unsigned LVIS_SELECTED = 2;
inline constexpr unsigned LVS_EX_GRIDLINES = 0x1;
inline constexpr unsigned LVS_EX_CHECKBOXES = 0x4;
inline constexpr unsigned LVS_EX_FULLROWSELECT = 0x20;
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;
// Notifications (WM_NOTIFY codes)
inline constexpr UINT NM_CLICK = static_cast<UINT>(-2);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT NM_RCLICK = static_cast<UINT>(-5);
inline constexpr UINT LVN_ITEMCHANGED = static_cast<UINT>(-101);
inline constexpr UINT TCN_SELCHANGE = static_cast<UINT>(-551);
inline constexpr UINT TCN_SELCHANGING = static_cast<UINT>(-552);

class CStatic : public CWnd {
 public:
  HICON SetIcon(HICON icon);
  HICON GetIcon() const { return m_icon; }

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) override;
  void ApplyStyle() override;

 private:
  HICON m_icon = nullptr;
};

class CButton : public CWnd {
 public:
  int GetCheck() const;
  void SetCheck(int check);
  UINT GetState() const;
  void SetState(bool pushed);
  UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) override;
};

class CEdit : public CWnd {
 public:
  void SetSel(int start, int end, bool noScroll = false);
  void GetSel(int& start, int& end) const;
  void ReplaceSel(const std::string& text, bool canUndo = false);
  void SetLimitText(int max);
  void LimitText(int max) { SetLimitText(max); }
  bool SetReadOnly(bool readOnly = true);
  int GetLineCount() const;

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) override;
  void ApplyStyle() override;
};

class CComboBox : public CWnd {
 public:
  int AddString(const std::string& text);
  int InsertString(int index, const std::string& text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  std::string GetLBText(int index) const;
  void GetLBText(int index, std::string& out) const { out = GetLBText(index); }
  int FindStringExact(int startAfter, const std::string& text) const;
  int FindString(int startAfter, const std::string& prefix) const;
  int SelectString(int startAfter, const std::string& prefix);
  int SetItemData(int index, std::uintptr_t data);
  std::uintptr_t GetItemData(int index) const;
  void ShowDropDown(bool show = true);
  bool GetDroppedState() const;

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) override;
  void PreSubclassWindow() override;
};

class CListBox : public CWnd {
 public:
  int AddString(const std::string& text);
  int InsertString(int index, const std::string& text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  std::string GetText(int index) const;
  void GetText(int index, std::string& out) const { out = GetText(index); }
  int FindStringExact(int startAfter, const std::string& text) const;
  int SetItemData(int index, std::uintptr_t data);
  std::uintptr_t GetItemData(int index) const;
  int GetTopIndex() const;
  int SetTopIndex(int index);

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(short lower, short upper) { SetRange32(lower, upper); }
  void SetRange32(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  int SetPos(int pos);
  int GetPos() const;
  int OffsetPos(int delta);
  int SetStep(int step);
  int StepIt();

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;

 private:
  int m_step = 10;
};

// A report-style list: columns with headings, rows of texts.
class CListCtrl : public CWnd {
 public:
  int InsertColumn(int col, const std::string& heading, int format = LVCFMT_LEFT, int width = -1,
                   int sub = -1);
  bool DeleteColumn(int col);
  bool SetColumnWidth(int col, int width);
  int GetColumnWidth(int col) const;
  int InsertItem(int index, const std::string& text);
  bool SetItemText(int item, int sub, const std::string& text);
  std::string GetItemText(int item, int sub) const;
  bool DeleteItem(int item);
  bool DeleteAllItems();
  int GetItemCount() const;
  int GetSelectedCount() const;
  int GetNextItem(int start, unsigned flags) const;
  bool SetItemState(int item, unsigned state, unsigned mask);
  unsigned GetItemState(int item, unsigned mask) const;
  bool SetItemData(int item, std::uintptr_t data);
  std::uintptr_t GetItemData(int item) const;
  bool EnsureVisible(int item, bool partialOk);
  unsigned SetExtendedStyle(unsigned style);
  unsigned GetExtendedStyle() const { return m_extended; }

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;

 private:
  unsigned m_extended = 0;
};

class CTabCtrl : public CWnd {
 public:
  int InsertItem(int index, const std::string& text);
  bool DeleteItem(int index);
  bool DeleteAllItems();
  int GetItemCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  std::string GetItemText(int index) const;
  bool GetItemRect(int index, CRect* r) const;

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
};

namespace fw {
// Removes mnemonic markers ("&&" stays one "&").
std::string StripMnemonic(const std::string& text);
}  // namespace fw
