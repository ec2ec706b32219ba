// The list of choices a drop-list cell opens under itself. Choosing an item
// asks the grid's owner and writes the text into the cell; Escape or a click
// elsewhere closes it without a choice.
#pragma once

#include <string>
#include <vector>

#include "grid/sheetgridctrl.h"

class QListWidget;

class CGridDropList : public CWnd {
 public:
  explicit CGridDropList(CSheetGridCtrl* grid) : m_grid(grid) {}

  // Fills and shows the list at `rect` of the cell area for the type's cell.
  void Open(CDropListCellType* type, int col, int row, const CRect& rect, CFont* font,
            const std::vector<std::string>& choices);
  void Close();
  bool IsOpen() const { return m_open; }
  QListWidget* List() const;
  int Count() const;
  int VisibleRows() const { return m_visibleRows; }
  // Chooses the current item as a click or Enter would.
  void ChooseSelected();

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;

 private:
  void Choose(int index);

  CSheetGridCtrl* m_grid;
  CDropListCellType* m_type = nullptr;
  int m_col = -1, m_row = -1;
  bool m_open = false;
  bool m_chosen = false;
  bool m_closing = false;
  int m_visibleRows = 0;
};
