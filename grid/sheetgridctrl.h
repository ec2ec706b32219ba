// The spreadsheet-like grid window that every table of both programs derives
// from: the core's state and logic (gridcore.h) in a window with its child
// windows — cell area, headings, corner box, sheet tabs, two scroll bars, the
// in-place editors, the drop list and the hint pop-up.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "grid/gridcore.h"
#include "platform/gui/wnd.h"

class CGridCellWnd;
class CGridTopHeading;
class CGridSideHeading;
class CGridCornerWnd;
class CGridTabWnd;
class CGridVertBar;
class CGridHorzBar;
class CGridHintWnd;
class CGridInPlaceEdit;
class CGridAutoSizeEdit;
class CGridMaskedEdit;
class CGridDropList;

// Child window ids.
enum : int {
  kGridCellAreaId = 1,
  kGridTopHeadingId = 2,
  kGridSideHeadingId = 3,
  kGridCornerId = 4,
  kGridTabsId = 5,
  kGridVertBarId = 6,
  kGridHorzBarId = 7,
  // The auto-size editor and the drop list are both children of the cell
  // area with id 123, the number each has always carried. Nothing tells them
  // apart by id: the grid keeps a pointer to each (DefaultEditor, DropList),
  // no code looks either up with GetDlgItem, and neither sends notifications
  // to the cell area that would carry the id.
  kGridAutoEditId = 123,
  kGridMaskedEditId = 124,
  kGridDropListId = 123,
};

// Results of the clipboard operations.
enum GridClipboardResult { kGridClipboardOk = 0, kGridClipboardNoText = 1 };
// SetLayoutRightToLeft: kGridOk after switching, or the layout already was so.
enum { kGridLayoutUnchanged = 1 };

// The private message that carries a value to a cell type (wParam the type
// index, lParam the value).
constexpr UINT WM_GRID_CELLTYPE_MSG = WM_USER + 100;

// A find dialog's request: the registered find message's lParam points to
// one. The flags are the GridFindFlags.
struct GridFindRequest {
  unsigned flags = 0;
  std::string findWhat;
  std::string replaceWith;
};

// WM_HELP's wParam when F1 asked for it: the cell area then gives help on
// the current cell. Otherwise the windows take the cell under the pointer.
constexpr WPARAM kGridHelpFromKey = 1;

class CSheetGridCtrl : public CWnd, public CGridCore {
 public:
  CSheetGridCtrl();
  ~CSheetGridCtrl() override;

  using CGridCore::GetFont;
  using CWnd::GetFont;

  // ---- creation and layout ----
  [[nodiscard]] bool CreateGrid(std::uint32_t style, const CRect& rect, CWnd* parent, int id);
  [[nodiscard]] bool AttachToControl(int controlId, CWnd* dialog);
  [[nodiscard]] int SetLayoutRightToLeft(int on);

  // ---- sheets and tabs ----
  [[nodiscard]] int AddSheetTab(const std::string& label, int id);

  // ---- clipboard ----
  // Results: kGridClipboardOk, or kGridClipboardNoText when the clipboard
  // holds no text or did not take the text.
  [[nodiscard]] int CopySelection() { return CopySelection(0); }
  [[nodiscard]] int CopySelection(int cut);
  [[nodiscard]] int SetClipboardText(const std::string& text);
  [[nodiscard]] int GetClipboardText(std::string& text);

  // ---- child windows ----
  CGridCellWnd* CellArea() const { return m_cellArea.get(); }
  CGridTopHeading* TopHeading() const { return m_topHeading.get(); }
  CGridSideHeading* SideHeading() const { return m_sideHeading.get(); }
  CGridCornerWnd* CornerBox() const { return m_corner.get(); }
  CGridTabWnd* TabWindow() const { return m_tabs.get(); }
  CGridVertBar* VertBar() const { return m_vbarWnd.get(); }
  CGridHorzBar* HorzBar() const { return m_hbarWnd.get(); }
  CGridHintWnd* HintWindow() const { return m_hint.get(); }
  CGridDropList* DropList() const { return m_dropList.get(); }
  CWnd* GetScrollBarCtrl(int bar) const;
  CWnd* DefaultEditor();
  CWnd* MaskedEditor();
  // The window an edit in `section` is placed in.
  CWnd* SectionWindow(int section) const;

  // A find request's answer: the id of the registered find message.
  static UINT FindReplaceMessage();
  // The find dialog whose requests the grid serves; none by default (the
  // grid then answers 1 at once). The dialog's closing request detaches it.
  void AttachFindDialog(CWnd* dialog);
  CWnd* FindDialog() const;

  // F1 in one of the grid's windows: WM_HELP goes to the grid's window under
  // the pointer when that is a heading, the corner, the tabs or a scroll bar
  // (none of them keeps the focus), else to the cell area for the current cell.
  void HelpFromKey();
  // Hands the help context a window's WM_HELP found to the program's help
  // (the cell area's only when it is not 0); returns it.
  int ShowContextHelp(int context, int section);

  // Pointer state the child windows share.
  QWidget* GetCellAreaWindow() override;
  int GetModifierKeys() override;
  bool IsDropListShowing() override;
  void HideDropList() override;
  void ShowDropList(CDropListCellType* type, int col, int row, const CRect& rect, CFont* font,
                    const std::vector<std::string>& choices) override;

  // The pop-up menu position handed to OnGridMenuCommand.
  void SetMenuCell(int col, int row, int section) {
    m_menuCol = col;
    m_menuRow = row;
    m_menuSection = section;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG* msg) override;
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  void OnDestroy() override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC* dc) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnSysColorChange() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;

  // ---- the core's window side ----
  void ViewClientSize(int& width, int& height) override;
  void ViewMoveChildren() override;
  void ViewRepaintAll() override;
  void ViewRepaintCell(int col, int row) override;
  void ViewRepaintRow(int row) override;
  void ViewUpdateAfterMove() override;
  void ViewApplyScrollBars() override;
  bool ViewIsVisible() const override;
  void ViewFocusCellArea() override;
  void ViewShowEditor(CWnd* editor, int section, const CRect& rect, const CGridCellValue& cell,
                      const std::string& text, int key) override;
  void ViewHideEditor(CWnd* editor) override;
  CWnd* ViewDefaultEditor(bool masked) override;
  void ViewSheetChanged() override;
  int ViewSetClipboardText(const std::string& text) override { return SetClipboardText(text); }
  void ViewNotFound() override;
  int MeasureCellWidth(int col, int row, CGridCellValue& cell) override;

 private:
  // The child windows; false when one could not be made.
  [[nodiscard]] bool CreateChildren();
  bool ChildrenMade() const;
  void AfterCreation();

  std::unique_ptr<CGridCellWnd> m_cellArea;
  std::unique_ptr<CGridTopHeading> m_topHeading;
  std::unique_ptr<CGridSideHeading> m_sideHeading;
  std::unique_ptr<CGridCornerWnd> m_corner;
  std::unique_ptr<CGridVertBar> m_vbarWnd;
  std::unique_ptr<CGridHorzBar> m_hbarWnd;
  std::unique_ptr<CGridHintWnd> m_hint;
  std::unique_ptr<CGridTabWnd> m_tabs;
  std::unique_ptr<CGridAutoSizeEdit> m_autoEdit;
  std::unique_ptr<CGridMaskedEdit> m_maskEdit;
  std::unique_ptr<CGridDropList> m_dropList;
  CWnd* m_findDialog = nullptr;
  QPointer<QWidget> m_findDialogPeer;  // so a dialog that went is not served
  bool m_inLayout = false;
  int m_menuCol = -1, m_menuRow = -1, m_menuSection = 0;
};
