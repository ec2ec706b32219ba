// The grid of the EEROM debugger: one row per address range of the
// description file, its bytes as hexadecimal text, typed in a hexadecimal
// entry edit; rows whose bytes differ from what was last read are red.
// The Data column takes the room the view leaves it and a long row wraps
// over as many lines as it needs, whole bytes to a line: no row is wider
// than the view, so its address and function stay beside its bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/gridinplaceedit.h"
#include "grid/notewnd.h"
#include "grid/sheetgridctrl.h"
#include "tools/eeromrange.h"

// What the grid asks of the dialog that keeps the bytes.
class IEeromValues {
 public:
  virtual ~IEeromValues() = default;
  // The byte read or entered for an address; false when there is none.
  virtual bool LookupValue(std::uint16_t address, std::uint8_t* value) const = 0;
  // The byte the switch last sent for an address; false when none came.
  virtual bool LookupReceived(std::uint16_t address, std::uint8_t* value) const = 0;
  // An accepted entry: 2n hexadecimal digits for the row's n bytes.
  virtual void StoreHexText(const std::string& text, int row) = 0;
};

// The note beside the cell being edited, telling how many bytes were typed:
// an auto-sizing note in the grid's cell area.
class CEeromNoteCellType : public CNoteCellType {
 public:
  // The top byte of a type message: 1 or 3 show the note, 2 hides it.
  enum : std::intptr_t { kShow = 0x1000000, kHide = 0x2000000, kRefresh = 0x3000000 };
  std::function<std::string()> textCallback;

  long long HandleTypeMessage(std::intptr_t value) override;
  void DrawCellText(CDC& dc, const CRect& rect, int offset, int col, int row, CGridCellValue& cell,
                    bool selected, bool current) override;
  void HandleFocusLost(int col, int row, CGridCellValue* cell) override;
  int HandleMouseMove(int col, int row, CPoint point, int keyFlags) override;
  bool NoteShowing() const;
  std::string NoteText() const;
  void Hide() { HideNote(); }
  // Characters drawn to a line (0: one line, however long) and the height
  // of a row of one line, below which a taller row has room for the note.
  void SetLineLayout(int charsPerLine, int lineRowHeight) {
    m_charsPerLine = charsPerLine;
    m_lineRowHeight = lineRowHeight;
  }

 protected:
  CNoteWnd* MakeNoteWindow(QWidget* parent) override;

 private:
  void Show();

  int m_charsPerLine = 0;
  int m_lineRowHeight = 0;
};

// The hexadecimal entry edit: the grid's in-place edit over the whole row,
// its text wrapped at the edit's width. Up and Down go from line to line of
// a long row; from its first or last line they end the edit as in any cell.
class CEeromHexEdit : public CGridInPlaceEdit {
 public:
  using CGridInPlaceEdit::CGridInPlaceEdit;

 protected:
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
};

class CEeromGrid : public CSheetGridCtrl {
 public:
  static constexpr int kAddrCol = 0, kFunctionCol = 1, kDataCol = 2;
  static constexpr int kRefreshNoteCommand = 1024;
  static constexpr int kHexEditId = 125;
  static constexpr COLORREF kModifiedColour = RGB(255, 0, 0);
  static constexpr COLORREF kOddRowColour = RGB(250, 255, 220);

  explicit CEeromGrid(IEeromValues& values);
  ~CEeromGrid() override;

  // The file read when the grid is set up; lines it skipped are in *error.
  void SetDescriptionFile(std::string path) { m_descriptionFile = std::move(path); }
  int LoadRanges(std::string* error);
  const std::vector<CEeromRange>& Ranges() const { return m_ranges; }
  const std::string& LoadErrors() const { return m_loadErrors; }
  int LoadResult() const { return m_loadResult; }

  std::string AddrText(int row) const;
  std::string DataText(int row) const;
  bool IsRowModified(int row) const;
  bool LowerCase() const { return m_lowerCase; }
  CEeromNoteCellType& NoteType() { return m_noteType; }
  std::string NoteText() const;
  // Whole bytes the Data column shows on one line.
  int BytesPerLine() const { return m_bytesPerLine; }

 protected:
  void OnSize(UINT type, int cx, int cy) override;
  void OnGridCreated() override;
  int OnBeforeColResize(int col) override;
  void OnColWidthSet(int col, int* width) override;
  int OnBeforeRowResize(int row) override;
  void OnCellFetched(int col, int row, CGridCellValue* cell) override;
  void OnCellDoubleClick(int col, int row, CRect* rect, CPoint* point, int processed) override;
  void OnGridChar(int* ch, int processed) override;
  int OnBeforeEdit(int col, int row, CWnd** editor) override;
  int OnEditChar(int col, int row, CWnd* editor, int* ch) override;
  int OnEditDone(int col, int row, CWnd* editor, const std::string& text, int cancelled) override;
  int OnEditMoveOn(int col, int row, int* nextCol, int* nextRow) override;
  COLORREF OnGetBackColor(int section) override;
  void OnDrawCurrentCellFocus(CDC* dc, CRect* rect) override;
  int OnContextHelp(int col, int row, int section) override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  std::string EditorText() const;
  // Gives the Data column the width the view leaves it and each row the
  // lines its bytes need there; `col` is a column about to get `width`.
  void FitDataColumn(int col = -1, int width = 0);

  IEeromValues& m_values;
  std::vector<CEeromRange> m_ranges;
  CEeromNoteCellType m_noteType;
  int m_noteTypeIndex = -1;
  CEeromHexEdit m_hexEdit{this};
  int m_bytesPerLine = 1;
  bool m_fitting = false;
  bool m_lowerCase;
  std::string m_descriptionFile;
  std::string m_loadErrors;
  int m_loadResult = 0;
};
