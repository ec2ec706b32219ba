// The note cell type marks cells that carry a note (their label) with a red
// corner and shows the note in a pale pop-up while the mouse rests on the cell.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "grid/normalcelltype.h"

// A pale, bordered note that grows to fit its text.
class CNoteWnd : public QWidget {
 public:
  static constexpr COLORREF kBackColour = RGB(250, 255, 220);
  explicit CNoteWnd(QWidget* parent = nullptr);
  ~CNoteWnd() override;
  void SetNoteText(const std::string& text);
  const std::string& GetNoteText() const { return m_text; }
  // Measures the text (with one space added) with word breaks in the current
  // width and resizes to it plus 12 pixels each way.
  virtual void FitToText();
  const CFont& NoteFont() const { return m_font; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  std::string m_text;
  CFont m_font;
  CBrush m_brush;
};

class CNoteCellType : public CNormalCellType {
 public:
  static constexpr int kNoteWidth = 150;
  static constexpr int kNoteHeight = 130;
  static constexpr int kTimerMs = 200;
  static constexpr int kWindowId = 300;

  CNoteCellType();
  ~CNoteCellType() override;
  std::string GetName() const override { return "Note"; }
  GridTypeId GetTypeId() const override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  int HandleMouseMove(int col, int row, CPoint point, int keyFlags) override;
  void HandleFocusLost(int col, int row, CGridCellValue* cell) override;
  void HandleScrolled(int col, int row, CGridCellValue* cell) override;

  CNoteWnd* GetNoteWindow() const { return m_note.data(); }
  bool IsTimerRunning() const { return m_timer.isActive(); }
  // The hide check the timer runs; public so tests need not wait for it.
  void OnHideTimer();
  // Where the cursor is on the screen; replaceable for tests.
  void SetCursorSource(std::function<CPoint()> source) { m_cursor = std::move(source); }
  static CRect SharedNoteRect() { return s_noteRect; }

 protected:
  // Makes the note window (hidden) the first time it is needed, never from a
  // paint; null while the grid has no cell area to show it in.
  CNoteWnd* EnsureNoteWindow();
  // A new note, a child of `parent` that owns it.
  virtual CNoteWnd* MakeNoteWindow(QWidget* parent);
  void HideNote();

 private:
  // The note is a child of the cell area and goes with it; the cell type
  // only takes it down when it goes first itself.
  QPointer<CNoteWnd> m_note;
  QTimer m_timer;
  std::function<CPoint()> m_cursor;
  int m_lastCol = -1, m_lastRow = -1;
  static CRect s_noteRect;  // screen rectangle of the cell whose note shows
};
