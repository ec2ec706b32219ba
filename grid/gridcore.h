// The grid control's logic without any window: layout arithmetic,
// current-cell moves with their notification order, joined cells, cell access
// through the data sources, in-place edit bookkeeping, fitting and registries,
// over the sheets of gridsheetstate.h. CSheetGridCtrl adds the windows;
// everything here runs in tests without them. The parts are in
// gridcore_layout.cpp, gridcore_moves.cpp, gridcore_edit.cpp,
// gridcore_find.cpp and gridcore_hooks.cpp.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grid/gridcellvalue.h"
#include "grid/griddatahost.h"
#include "grid/griddatasource.h"
#include "grid/gridredrawlist.h"
#include "grid/gridscrollbarmath.h"
#include "grid/gridsheetstate.h"
#include "grid/normalcelltype.h"
#include "platform/gui/gdi.h"

class CDC;
class CWnd;

// What a find dialog asks for (HandleFindReplace).
enum GridFindFlags : unsigned {
  FR_DOWN = 0x1,
  FR_WHOLEWORD = 0x2,
  FR_MATCHCASE = 0x4,
  FR_FINDNEXT = 0x8,
  FR_REPLACE = 0x10,
  FR_REPLACEALL = 0x20,
  FR_DIALOGTERM = 0x40
};

class CGridCore : public CGridHost {
 public:
  CGridCore();
  ~CGridCore() override;
  CGridCore(const CGridCore&) = delete;
  CGridCore& operator=(const CGridCore&) = delete;

  // ---- state ----
  CGridSheetState& Sheet() { return *m_sheet; }
  const CGridSheetState& Sheet() const { return *m_sheet; }
  int IsCreated() const { return m_sheet->m_created; }
  void SetRepaintEnabled(int on) { m_paint = on; }
  int IsRepaintEnabled() const { return m_paint; }

  // ---- dimensions ----
  [[nodiscard]] int SetColumnTotal(int count, int redraw = 1);
  int GetColumnTotal() const override { return m_sheet->m_colCount; }
  [[nodiscard]] int SetRowTotal(int count, int redraw = 1);
  int GetRowTotal() const override { return m_sheet->m_rowCount; }
  [[nodiscard]] int SetColumnWidth(int col, int width);
  int GetColumnWidth(int col) override;
  [[nodiscard]] int GetColumnWidth(int col, int& width) const;
  [[nodiscard]] int SetDefaultColumnWidth(int width);
  [[nodiscard]] int SetRowHeight(int row, int height);
  int GetRowHeight(int row) override;
  [[nodiscard]] int SetDefaultRowHeight(int height);
  [[nodiscard]] int SetSharedRowHeight(int on);
  [[nodiscard]] int SetTopHeadingHeight(int height);
  int GetTopHeadingHeight() const { return m_sheet->m_topHeadHeight; }
  [[nodiscard]] int SetSideHeadingWidth(int width);
  int GetSideHeadingWidth() const { return m_sheet->m_sideHeadWidth; }
  [[nodiscard]] int SetTopHeadingRows(int count);
  [[nodiscard]] int SetTopHeadingRowHeight(int row, int height);
  [[nodiscard]] int SetSideHeadingColWidth(int col, int width);
  int GetTopHeadingRowHeight(int row) const;
  [[nodiscard]] int SetFrozenColumns(int count);
  [[nodiscard]] int SetFrozenRows(int count);
  [[nodiscard]] int MoveColumn(int from, int to, int before);
  // Stores a width (height) while an edge is dragged: no notification, the
  // drag's own hooks run instead.
  void StoreColumnWidthWhileDragging(int col, int width);
  void StoreRowHeightWhileDragging(int row, int height);
  // Heading sizes as a drag sets them: one row (column) and the total, no rescaling.
  void StoreTopHeadingWhileDragging(int row, int rowHeight, int total);
  void StoreSideHeadingWhileDragging(int col, int colWidth, int total);
  int GetVertBarWidth() const { return m_sheet->m_vbarWidth; }
  int GetHorzBarHeight() const { return m_sheet->m_hbarHeight; }
  void FixLastHeadingRow();
  void FixLastHeadingCol();

  // ---- position and navigation ----
  int GetCurrentColumn() const override { return m_sheet->m_curCol; }
  int GetCurrentRow() const override { return m_sheet->m_curRow; }
  int GetViewLeftCol() const { return m_sheet->m_leftCol; }
  int GetViewRightCol() const { return m_sheet->m_rightCol; }
  int GetViewTopRow() const { return m_sheet->m_topRow; }
  int GetViewBottomRow() const { return m_sheet->m_bottomRow; }
  [[nodiscard]] int MoveToCell(int col, int row) override;
  [[nodiscard]] int MoveToColumn(int col);
  [[nodiscard]] int MoveToRow(int row);
  [[nodiscard]] int ScrollToColumn(int col);
  [[nodiscard]] int ScrollToRow(int row);
  [[nodiscard]] int StepCurrentColumn(int how);
  [[nodiscard]] int StepCurrentRow(int how);
  [[nodiscard]] int StepLeftColumn(int how);
  [[nodiscard]] int StepTopRow(int how);
  [[nodiscard]] virtual int HitTestCell(int x, int y, int& col, int& row, CRect& rect);
  [[nodiscard]] virtual int HitTestCell(int x, int y, int& col, int& row);
  [[nodiscard]] virtual int HitTestCellNoMerge(int x, int y, int& col, int& row, CRect& rect);
  [[nodiscard]] int GetCellRectangle(int col, int row, CRect& rect) override;
  [[nodiscard]] int GetBlockRect(int col1, int row1, int col2, int row2, CRect& rect);
  // Target of a paging step from `from` (rows: dir -1 up, +1 down).
  int PageRowTarget(int from, int dir) const;
  int PageColTarget(int from, int dir) const;
  // x of a column in the cell area (y of a row), -1 when scrolled out.
  int ColLeft(int col) const;
  int RowTop(int row) const;
  // The columns (rows) on screen with their offsets: locked ones, then from
  // the left column (top row) until the cell area is passed; hidden ones left out.
  std::vector<std::pair<int, int>> VisibleColumns() const;
  std::vector<std::pair<int, int>> VisibleRows() const;

  // ---- cells ----
  int GetCell(int col, int row, CGridCellValue& cell) override;
  [[nodiscard]] int SetCell(int col, int row, const CGridCellValue& cell) override;
  int GetCellRaw(int col, int row, CGridCellValue& cell);
  std::optional<std::string> GetCellText(int col, int row) override;
  [[nodiscard]] int SetCellText(int col, int row, std::string_view text);
  [[nodiscard]] int SetCellLabel(int col, int row, std::string_view text);
  [[nodiscard]] int SetCellTypeIndex(int col, int row, int index);
  void SetDefaultCell(const CGridCellValue& cell);
  void GetDefaultCell(CGridCellValue& cell) const;
  void SetDefaultHeadingCell(const CGridCellValue& cell);
  void GetDefaultHeadingCell(CGridCellValue& cell) const;
  int GetColumnMapping(int col) const;
  void SetMergeEnabled(int on) { m_sheet->m_opt.joinCells = on ? 1 : 0; }
  [[nodiscard]] int MergeCells(int col1, int row1, int col2, int row2);
  // The joined block a cell belongs to (origin at c1, r1); false when the cell
  // is not joined or joins are off.
  bool GetJoinBlock(int col, int row, int& c1, int& r1, int& c2, int& r2);
  // The same for a cell already fetched.
  bool JoinBlockOf(int col, int row, const CGridCellValue& cell, int& c1, int& r1, int& c2,
                   int& r2);
  CGridDataSource* ColumnSource(int col);

  // ---- registries ----
  int RegisterFont(const char* face, int height, int weight);
  int RegisterFont(const LOGFONT& lf);
  CFont* GetFont(int index);
  [[nodiscard]] int SetDefaultFont(int index);
  int RegisterCellType(CNormalCellType* type);
  CNormalCellType* GetCellTypeObject(int index) override;
  int RegisterDataSource(CGridDataSource* source);
  [[nodiscard]] int SetDefaultDataSource(int index);

  // ---- sheets ----
  [[nodiscard]] int SetSheetTotal(int count);
  [[nodiscard]] int SelectSheet(int index, int keepPainting = 0);
  int GetSelectedSheet() const { return m_sheetIndex; }
  int GetSheetTotal() const { return static_cast<int>(m_sheets.size()); }
  // Applied at the next layout.
  void SetTabAreaWidth(int width);

  // ---- editing ----
  [[nodiscard]] int BeginCellEdit() {
    return BeginCellEditAt(m_sheet->m_curCol, m_sheet->m_curRow, 0);
  }
  [[nodiscard]] int BeginCellEditWithKey(int key) {
    return BeginCellEditAt(m_sheet->m_curCol, m_sheet->m_curRow, key);
  }
  [[nodiscard]] int BeginCellEditAt(int col, int row, int key);
  [[nodiscard]] int FinishCellEdit(std::string_view text, int cancelled, int cont, int nextCol,
                                   int nextRow);
  void HideEditWindow();
  bool IsEditing(int* col = nullptr, int* row = nullptr) override;
  int GetEditColumn() const { return m_editCol; }
  int GetEditRow() const { return m_editRow; }
  CWnd* GetActiveEditor() const { return m_editWindow; }
  // Section of the window the running edit was placed in.
  int GetEditSection() const { return m_editSection; }

  // ---- fitting ----
  [[nodiscard]] virtual int FitColumnsToContent(int col1, int col2, int rows, int flags);
  [[nodiscard]] virtual int FitColumnsToWindow(int col1, int col2);

  // ---- clipboard, sorting and find ----
  void ClearSelection();
  // The selected cells in copy order (the current cell when nothing is selected).
  std::vector<std::pair<int, int>> SelectedCells();
  [[nodiscard]] int GetSelectionText(std::string& text, int cut);
  [[nodiscard]] int SortRows(int col, int flags);
  [[nodiscard]] int SortRowsMulti(int* cols, int count, int flags);
  // A find or replace request as the find dialog reports it (FR_* flags).
  // Returns 0 found (or replaced), 1 not found (the message was shown).
  [[nodiscard]] int HandleFindReplace(std::string_view findText, std::string_view replaceText,
                                      unsigned frFlags);

  // ---- layout ----
  void LayoutParts();
  // Lays out as if the client area had this size; marks the sheet created so
  // the window-less logic can be driven (tests, off-screen measurement).
  void SetClientSizeForLayout(int width, int height);
  void RecalcMaxTopRow();
  void RecalcMaxLeftCol();
  void RecalcLockedSizes();
  // Rows and columns that fit the cell area from the top row / left column.
  void RecalcViewEnds();
  // Applies the sheet's scroll positions to both bars (raising OnViewScrolled).
  void UpdateScrollBars();
  const GridVertBarSetup& VertBarSetup() const { return m_vbar; }
  const GridHorzBarSetup& HorzBarSetup() const { return m_hbar; }
  int VertBarPos() const { return m_vbarPos; }
  int HorzBarPos() const { return m_hbarPos; }
  // A scroll-bar action (SB_* code) with a thumb position.
  void HandleVScroll(int code, int pos);
  void HandleHScroll(int code, int pos);
  // Navigation of the cell area for a virtual key; returns whether it moved.
  int HandleNavigationKey(int vk, bool control);
  // Adds wheel distance; scrolls three rows per whole notch reached.
  int HandleWheelDelta(int delta);
  // The rows-needed sequence for rows past the end (painting reached the last row).
  void RequestRows(int shortfall);
  // Cell types of the visible cells of a column or row being sized.
  void NotifyTypesColumnSizing(int col, int& width) {
    CellTypeAdjustSize(GridAxis::kCols, col, width);
  }
  void NotifyTypesRowSizing(int row, int& height) {
    CellTypeAdjustSize(GridAxis::kRows, row, height);
  }

  // ---- the same along either axis; the named operations above call these ----
  // SetFrozenColumns / SetFrozenRows.
  [[nodiscard]] int SetFrozen(GridAxis a, int count);
  // SetColumnWidth / SetRowHeight for a data part.
  [[nodiscard]] int SetPartSize(GridAxis a, int index, int size);
  // SetSideHeadingWidth / SetTopHeadingHeight: the total of the heading parts
  // with negative indexes along `a`, which are rescaled to it.
  [[nodiscard]] int SetHeadingTotal(GridAxis a, int total);
  // SetSideHeadingColWidth / SetTopHeadingRowHeight.
  [[nodiscard]] int SetHeadingPart(GridAxis a, int index, int size);
  // GetTopHeadingRowHeight: 0 for an index that is no heading part.
  int GetHeadingPart(GridAxis a, int index) const;
  // FixLastHeadingCol / FixLastHeadingRow: part -1 takes what the others
  // leave of the total.
  void FixLastHeadingPart(GridAxis a);
  // The Store...WhileDragging operations.
  void StorePartWhileDragging(GridAxis a, int index, int size);
  void StoreHeadingWhileDragging(GridAxis a, int index, int size, int total);
  // MoveToColumn / MoveToRow, ScrollToColumn / ScrollToRow.
  [[nodiscard]] int MoveAlong(GridAxis a, int index);
  [[nodiscard]] int ScrollAlong(GridAxis a, int first);
  // StepCurrentColumn / StepCurrentRow, StepLeftColumn / StepTopRow.
  [[nodiscard]] int StepCurrentAlong(GridAxis a, int how);
  [[nodiscard]] int StepViewAlong(GridAxis a, int how);
  // PageColTarget / PageRowTarget.
  int PageTarget(GridAxis a, int from, int dir) const;
  // ColLeft / RowTop.
  int PartOffset(GridAxis a, int index) const;
  // VisibleColumns / VisibleRows.
  std::vector<std::pair<int, int>> VisibleParts(GridAxis a) const;
  // RecalcMaxLeftCol / RecalcMaxTopRow.
  void RecalcMaxFirst(GridAxis a);
  // HandleHScroll / HandleVScroll.
  void HandleScroll(GridAxis a, int code, int pos);
  // Pixels between two first parts, counted up to `limit`; negative when
  // `to` lies before `from`.
  int DistanceBetween(GridAxis a, int from, int to, int limit) const;
  void NotifyTypesSizing(GridAxis a, int index, int& size) { CellTypeAdjustSize(a, index, size); }

  // The notifications of one axis: column hooks for kCols, row hooks for
  // kRows; for the heading parts the side heading's (kCols) or the top
  // heading's (kRows).
  int NotifyBeforeResize(GridAxis a, int index);
  void NotifySizeDragging(GridAxis a, int index, int* size);
  void NotifySizeSet(GridAxis a, int index, int* size);
  int NotifyBeforeHeadingResize(GridAxis a);
  // Whether the dragged total is to be applied: only the top heading's hook
  // can hold it back.
  bool NotifyHeadingDragging(GridAxis a, int* total);
  void NotifyHeadingSizeSet(GridAxis a, int* total);

  // ---- notifications (overridable; the order is part of the interface) ----
  virtual void OnFocusGained(int section);
  virtual void OnGridCreated();
  virtual void OnSheetCreated(int sheet);
  virtual int OnBeforeCellMove(int oldCol, int oldRow, int newCol, int newRow);
  virtual int OnBeforeViewMove(int leftCol, int topRow, int targetCol, int targetRow);
  virtual void OnRowsNeeded(int rowCount, int shortfall, int answer);
  virtual int OnBeforeColResize(int col);
  virtual void OnColWidthDragging(int col, int* width);
  virtual void OnColWidthSet(int col, int* width);
  virtual int OnBeforeRowResize(int row);
  virtual void OnRowHeightDragging(int row, int* height);
  virtual void OnRowHeightSet(int row, int* height);
  virtual int OnBeforeTopHeadingResize();
  virtual int OnBeforeSideHeadingResize();
  virtual int OnTopHeadingDragging(int* height);
  virtual int OnSideHeadingDragging(int* width);
  virtual int OnTopHeadingHeightSet(int* height);
  virtual int OnSideHeadingWidthSet(int* width);
  virtual void OnCurrentColChanged(int oldCol, int newCol);
  virtual void OnCurrentRowChanged(int oldRow, int newRow);
  virtual void OnCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow);
  virtual void OnLeftColChanged(int oldCol, int newCol);
  virtual void OnTopRowChanged(int oldRow, int newRow);
  virtual void OnViewScrolled(int section, int oldPos, int newPos);
  void OnSelectionRangeChanged(int col1, int row1, int col2, int row2, int block) override;
  virtual void OnCellLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                               int processed);
  virtual void OnCellRightClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                                int processed);
  virtual void OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed);
  virtual void OnCellMouseMove(int col, int row, CPoint* point, unsigned keyFlags, int processed);
  virtual void OnTopHeadingLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                                     int processed);
  virtual void OnTopHeadingRightClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                                      int processed);
  virtual void OnTopHeadingDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed);
  virtual void OnSideHeadingLeftClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                                      int processed);
  virtual void OnSideHeadingRightClick(int col, int row, int pressed, CRect* rect, CPoint* point,
                                       int processed);
  virtual void OnSideHeadingDoubleClick(int col, int row, CRect* rect, CPoint* point,
                                        int processed);
  virtual void OnCornerLeftClick(int pressed, CRect* rect, CPoint* point, int processed);
  virtual void OnCornerRightClick(int pressed, CRect* rect, CPoint* point, int processed);
  virtual void OnCornerDoubleClick(CRect* rect, CPoint* point, int processed);
  virtual void OnGridKeyDown(int* key, int processed);
  virtual void OnGridKeyUp(int* key, int processed);
  virtual void OnGridChar(int* ch, int processed);
  virtual void OnCellFetched(int col, int row, CGridCellValue* cell);
  virtual void OnCellStoring(int col, int row, CGridCellValue* cell);
  long long OnCellTypeEvent(int typeIndex, int col, int row, int event,
                            std::intptr_t value) override;
  virtual int OnBeforeEdit(int col, int row, CWnd** editor);
  virtual int OnEditChar(int col, int row, CWnd* editor, int* ch);
  virtual int OnEditDone(int col, int row, CWnd* editor, const std::string& text, int cancelled);
  virtual int OnEditMoveOn(int col, int row, int* nextCol, int* nextRow);
  virtual void OnGridMenuCommand(int col, int row, int section, int commandId);
  virtual int OnBeforeMenu(int col, int row, int section);
  virtual int OnContextHelp(int col, int row, int section);
  virtual int OnToolTipText(int col, int row, int section, std::string* text);
  virtual int OnRowScrollHint(int row, std::string* text);
  virtual int OnColScrollHint(int col, std::string* text);
  int OnCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) override;
  virtual void OnPrepareDC(CDC* dc, CDC* bufferDc, int section);
  virtual void OnLayoutParts(CRect* cells, CRect* top, CRect* side, CRect* corner, CRect* vbar,
                             CRect* hbar, CRect* tabs);
  virtual void OnTabClicked(int tabId);
  virtual COLORREF OnGetBackColor(int section);
  virtual void OnDrawCurrentCellFocus(CDC* dc, CRect* rect);
  virtual void OnFocusLost(int section, CWnd* newFocus);
  virtual void OnFocusLostSection(int section);
  virtual int OnBeforeColDrag(int col);
  virtual int OnBeforeColDrop(int from, int to);
  virtual void OnColDropped(int from, int to);
  virtual void OnTrackerMoving(CRect* oldRect, CRect* newRect);

  // What the data sources, the selection and the cell types ask of the grid.
  CGridRedrawList& GetRedrawHint() override { return m_redrawHint; }
  void ShiftColumnMapping(const CGridDataSource* source, int fromDataCol, int delta) override;
  void RepaintCell(int col, int row) override;
  void RepaintRow(int row);
  void RepaintRange(int col1, int row1, int col2, int row2);
  void RepaintAll();
  int GetTopHeadingRows() override { return m_sheet->m_topHeadRows; }
  int GetSideHeadingCols() const { return m_sheet->m_sideHeadCols; }
  int FindPrevNonEmptyCell(int& col, int row) override;
  const CGridDrawOptions& GetDrawOptions() override;
  // While a page is printed: the layout the cell types see when they draw on that DC.
  void SetPrintTarget(CDC* dc, const CGridPrintInfo* info) {
    m_printDc = dc;
    m_printInfo = info;
  }
  const CGridPrintInfo* GetPrintInfo(CDC& dc) override {
    return &dc == m_printDc ? m_printInfo : nullptr;
  }
  CFont* GetDefaultFont() override { return m_sheet->m_defaultFont; }
  CPen* GetDefaultPen() override { return &m_defaultPen; }
  CPen* GetGridLinePen() override { return &m_gridLinePen; }
  CPen* GetHighlightPen() override { return &m_highlightPen; }
  CPen* GetShadowPen() override { return &m_shadowPen; }
  CRect GetCellAreaClientRect() override {
    return CRect(0, 0, m_sheet->m_cellAreaWidth, m_sheet->m_cellAreaHeight);
  }
  bool IsDropListShowing() override { return false; }
  void HideDropList() override {}
  void ShowDropList(CDropListCellType*, int, int, const CRect&, CFont*,
                    const std::vector<std::string>&) override {}
  // Re-creates the pens from the system colours.
  void RecreatePens();

 protected:
  // ---- what the window layer supplies (no-ops without windows) ----
  virtual void ViewClientSize(int& width, int& height);
  virtual void ViewMoveChildren() {}
  virtual void ViewRepaintAll() {}
  virtual void ViewRepaintCell(int /*col*/, int /*row*/) {}
  virtual void ViewRepaintRow(int /*row*/) {}
  // After a move of the current cell or the view: the cell area, both
  // headings and the scroll bars update themselves.
  virtual void ViewUpdateAfterMove() {}
  virtual void ViewApplyScrollBars() {}
  virtual bool ViewIsVisible() const { return false; }
  virtual void ViewFocusCellArea() {}
  // Shows `editor` over `rect` of the window of `section` with the text.
  virtual void ViewShowEditor(CWnd* /*editor*/, int /*section*/, const CRect& /*rect*/,
                              const CGridCellValue& /*cell*/, const std::string& /*text*/,
                              int /*key*/) {}
  virtual void ViewHideEditor(CWnd* /*editor*/) {}
  virtual CWnd* ViewDefaultEditor(bool /*masked*/) { return nullptr; }
  virtual void ViewSheetChanged() {}
  virtual int ViewSetClipboardText(const std::string& /*text*/) { return 1; }
  virtual void ViewNotFound() {}

  // ---- what the cell types supply ----
  virtual int CellTypeCanEdit(CGridCellValue& cell);
  virtual void CellTypeEditRect(CGridCellValue& cell, CRect& rect);
  virtual void CellTypeFocus(int col, int row, bool gained);
  virtual void CellTypeScrolled(int col, int row);
  // Cell types of the visible cells of a column (row) adjust its size.
  virtual void CellTypeAdjustSize(GridAxis a, int index, int& size);
  // Best width of a cell's content; without windows an estimate from the text.
  virtual int MeasureCellWidth(int col, int row, CGridCellValue& cell);

  void ApplyMove(int col, int row);
  // After a move: the view as it was (first and one-past-last column and row).
  void NotifyViewMoved(int oldLeft, int oldRight, int oldTop, int oldBottom);
  int RowMoveTarget(int row, int& outRow, bool& stop);
  // The first part to show so that `target` is in view.
  int FirstToShow(GridAxis a, int target) const;
  // The data part under a point `pos` pixels along the cell area, -1 for none.
  int PartAt(GridAxis a, int pos) const;
  // Position and size of a part along the axis, in the window that shows it
  // (a heading or the cell area); false when it is not shown.
  bool PartSpan(GridAxis a, int index, int& pos, int& size) const;
  bool PartsFit(GridAxis a, int avail) const;
  void BarSizesFor(int W, int H, int& vb, int& hb, int& tw) const;
  void RelayoutIfBarsChanged();
  void RecalcViewEnd(GridAxis a);
  int CountChanged(GridAxis a, int redraw);
  int KeyStep(GridAxis a, int dir);
  void NotifyCurrentChanged(GridAxis a, int oldIndex, int newIndex);
  void NotifyFirstChanged(GridAxis a, int oldFirst, int newFirst);
  CRect CellAreaRectOfCell(int col, int row) const;

  std::vector<std::unique_ptr<CGridSheetState>> m_sheets;
  CGridSheetState* m_sheet = nullptr;
  int m_sheetIndex = 0;
  int m_paint = 1;
  int m_failed = 0;
  CDC* m_printDc = nullptr;
  const CGridPrintInfo* m_printInfo = nullptr;

  std::vector<CGridDataSource*> m_sources{nullptr};  // slot 0 unused
  struct FontEntry {
    std::unique_ptr<CFont> font;
    LOGFONT lf;
    int uses = 0;
  };
  std::vector<FontEntry> m_fonts;
  CNormalCellType m_normalType;
  CDropListCellType m_dropListType;
  CCheckBoxCellType m_checkBoxType;
  CSideArrowsCellType m_sideArrowsType;
  std::vector<CNormalCellType*> m_cellTypes;
  CGridDrawOptions m_drawOptions;
  CPen m_defaultPen, m_gridLinePen, m_highlightPen, m_shadowPen;
  CGridRedrawList m_redrawHint;

  int m_editing = 0;
  int m_editCol = -1;
  int m_editRow = -1;
  int m_editSection = kSectionCells;
  CWnd* m_editWindow = nullptr;
  CWnd* m_replacedEditor = nullptr;  // SetEditWindow
  CGridCellValue m_scratch;

  GridVertBarSetup m_vbar;
  GridHorzBarSetup m_hbar;
  int m_vbarPos = 0;
  int m_hbarPos = 0;
  int m_vbarLastMax = -2, m_vbarLastLocked = -2, m_vbarLastTop = -2;
  int m_hbarLastMax = -1, m_hbarLastLocked = -1, m_hbarLastLeft = -1;
  int m_wheelRest = 0;
  int m_layoutDepth = 0;
  int m_clientW = 0, m_clientH = 0;
  bool m_headless = false;

 public:
  void SetEditWindow(CWnd* window) { m_replacedEditor = window; }
};
