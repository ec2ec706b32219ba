// A static splitter: a fixed grid of panes (rows x columns) with bars the
// user drags to share the room. Each pane is a view the splitter keeps; the
// frame's active view (where commands go first) is the pane that has the
// focus, or the one made active with SetActivePane.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/framewnd.h"
#include "platform/gui/view.h"

class QSplitter;

class CSplitterWnd : public CWnd {
 public:
  CSplitterWnd();
  ~CSplitterWnd() override;

  // The splitter as a child of parent with identifier id (by default the
  // frame's client). False for a grid of no panes or more than 16 x 16.
  bool CreateStatic(CWnd* parent, int rows, int cols, std::uint32_t style = WS_CHILD | WS_VISIBLE,
                    int id = AFX_IDW_PANE_FIRST);
  // A view of the context's class in the pane, with the pane's identifier
  // (AFX_IDW_PANE_FIRST + 16 x row + col), added to the context's document.
  // size: the width and height it starts with.
  bool CreateView(int row, int col, const std::function<std::unique_ptr<CView>()>& factory,
                  CSize size, CCreateContext* context);

  int GetRowCount() const { return m_rows; }
  int GetColumnCount() const { return m_cols; }
  CWnd* GetPane(int row, int col) const;
  int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }
  // The pane that is the frame's active view; false when none is.
  bool GetActivePane(int* row, int* col) const;
  void SetActivePane(int row, int col);
  // Widths of the columns and heights of the rows as they are now.
  void GetColumnInfo(int col, int* current) const;
  void GetRowInfo(int row, int* current) const;

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;

 private:
  QSplitter* RowSplitter(int row) const;
  CFrameWnd* ParentFrame() const;

  int m_rows = 0;
  int m_cols = 0;
  std::vector<std::unique_ptr<CView>> m_panes;  // row-major
  std::vector<int> m_colWidths;
  std::vector<int> m_rowHeights;
};
