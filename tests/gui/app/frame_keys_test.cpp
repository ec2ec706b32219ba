// Keys typed into the main window as a user types them (through its QWindow):
// the frame's accelerators and the menu bar's Alt+letter reach the frame
// whichever of its windows has the focus, also the grids and their editors,
// while every other key stays with the focused window.
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include "platform/gui/pump.h"
#include "shell/aboutdlg.h"
#include "shell_fixture.h"

namespace fwtest {
namespace {

class FrameKeys : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(Start());
    ASSERT_NE(Doc(), nullptr);
  }

  QWindow* Window() { return Frame()->widget()->windowHandle(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Window(), key, mods);
    Drain();
  }
  // A click through the main window on a cell of a list.
  void ClickCellOf(CSheetGridCtrl& g, int col, int row) {
    QWidget* cells = CellsOf(g);
    const QPoint at = cells->mapTo(Frame()->widget(), Centre(g, col, row));
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, at);
    Drain();
  }
  static QString EditorText(QWidget* editor) {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) return line->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(editor)) return text->toPlainText();
    return {};
  }
  static QMenu* OpenPopup() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
  // Whether the menu bar shows that menu's title highlighted.
  bool Highlighted(const QString& title) {
    QMenuBar* bar = qobject_cast<QMainWindow*>(Frame()->widget())->menuBar();
    const QAction* active = bar->activeAction();
    if (!active || active->text() != title) return false;
    const QRect r = bar->actionGeometry(bar->activeAction());
    return bar->grab().toImage().pixelColor(r.left() + 2, r.center().y()) ==
           bar->palette().highlight().color();
  }

  // Ctrl+O, Ctrl+S, Ctrl+N and Alt+F from the window that has the focus now;
  // the focus is where it was afterwards.
  void ExpectFrameKeys(const std::string& where) {
    SCOPED_TRACE(where);
    QWidget* focus = QApplication::focusWidget();
    const std::size_t prompts = m_dialogs.requests().size();
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(m_dialogs.requests().size(), prompts + 1) << "no Open prompt";
    EXPECT_TRUE(m_dialogs.requests().back().open);

    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(m_dialogs.requests().size(), prompts + 2) << "no Save prompt";
    EXPECT_FALSE(m_dialogs.requests().back().open);

    // New asks about the changed project first; Cancel keeps it.
    Doc()->SetModifiedFlag(true);
    const std::size_t questions = m_messages->count();
    m_messages->QueueAnswer(IDCANCEL);
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(m_messages->count(), questions + 1) << "no save question";
    EXPECT_EQ(m_messages->messages().back().type & MB_TYPEMASK, MB_YESNOCANCEL);
    Doc()->SetModifiedFlag(false);

    Key(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([] { return OpenPopup() != nullptr; }, 2000)) << "no menu opened";
    EXPECT_EQ(OpenPopup()->title(), "&File");
    // Escape closes the menu and leaves the menu bar active, its title
    // highlighted; a second one leaves the menu bar.
    Key(Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([] { return OpenPopup() == nullptr; }, 2000));
    EXPECT_TRUE(Highlighted("&File"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), focus);
  }
};

TEST_F(FrameKeys, AcceleratorsAndMenuKeysWorkWhereverTheFocusIs) {
  Frame()->SetFocus();
  Drain();
  ExpectFrameKeys("the frame");

  ClickCellOf(Configs(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Configs()));
  ExpectFrameKeys("the configuration list");

  ClickCellOf(Switches(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  ExpectFrameKeys("the switch list");
}

TEST_F(FrameKeys, AnOpenEditorKeepsItsKeysAndLetsTheFramesKeysThrough) {
  ClickCellOf(Configs(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Configs()));
  Key(Qt::Key_P);  // typing starts an edit of the new-entry row
  QWidget* editor = QApplication::focusWidget();
  ASSERT_TRUE(editor && editor != CellsOf(Configs())) << "no edit started";

  ExpectFrameKeys("the editor");
  ASSERT_EQ(QApplication::focusWidget(), editor) << "the edit ended";

  // The editor's own keys: arrows move inside it, Escape ends it unsaved.
  for (Qt::Key k : {Qt::Key_L, Qt::Key_A, Qt::Key_N, Qt::Key_T}) Key(k);
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  Key(Qt::Key_X);
  EXPECT_EQ(EditorText(editor), "plaxnt");
  ASSERT_EQ(QApplication::focusWidget(), editor);
  Key(Qt::Key_Escape);
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(Configs()));
  EXPECT_EQ(Doc()->GetStore().GetCount(), 0);

  // Enter stores the name and leaves the window's keys to the grid again.
  Key(Qt::Key_Q);
  Key(Qt::Key_Return);
  if (QWidget* next = QApplication::focusWidget(); next && next != CellsOf(Configs()))
    Key(Qt::Key_Escape);
  EXPECT_EQ(Doc()->GetStore().GetCount(), 1);
}

TEST_F(FrameKeys, OtherKeysStayWithTheFocusedList) {
  WriteProject(m_dir.file("Projects/one.zcf"), "Base", "Alpha");
  m_dialogs.QueueAnswer(m_dir.file("Projects/one.zcf"));
  Command(ID_FILE_OPEN);
  ASSERT_EQ(Doc()->GetSwitches().GetCount(), 1);

  ClickCellOf(Switches(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  Key(Qt::Key_Down);  // to the new-entry row
  EXPECT_EQ(Switches().GetCurrentRow(), 1);
  Key(Qt::Key_Up);
  EXPECT_EQ(Switches().GetCurrentRow(), 0);
  Key(Qt::Key_End);
  EXPECT_GT(Switches().GetCurrentColumn(), 0);
  Key(Qt::Key_Home);
  EXPECT_EQ(Switches().GetCurrentColumn(), 0);
  // Ctrl with a key that is no accelerator is the list's too.
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Switches().GetCurrentRow(), 1);
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(Switches().GetCurrentRow(), 0);
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  EXPECT_EQ(Doc()->GetSwitches().GetCount(), 1);

  // With the menu bar active after Escape, the keys come back to the list
  // after an item another menu's letters chose and after a box that came up.
  for (bool box : {false, true}) {
    Key(Qt::Key_E, Qt::AltModifier);
    Key(Qt::Key_Escape);
    if (box) {
      EXPECT_TRUE(RunModal<CAboutDlg>(ID_APP_ABOUT, [](CAboutDlg& dlg) {
        QTest::keyClick(dlg.widget()->windowHandle(), Qt::Key_Escape);
      }));
    } else {
      Key(Qt::Key_F, Qt::AltModifier);
      Key(Qt::Key_L);  // Auto-Open Last File
    }
    Key(Qt::Key_Down);
    EXPECT_EQ(Switches().GetCurrentRow(), 1) << box;
    Key(Qt::Key_Up);
  }
}

TEST_F(FrameKeys, AMenuItemChosenWithKeysRunsAndTheFocusStaysInTheList) {
  ClickCellOf(Switches(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  Key(Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(WaitFor([] { return OpenPopup() != nullptr; }, 2000));
  Key(Qt::Key_Down);  // New is the first item, Open... the second
  Key(Qt::Key_Return);
  EXPECT_TRUE(WaitFor([this] { return !m_dialogs.requests().empty(); }, 2000));
  ASSERT_EQ(m_dialogs.requests().size(), 1u);
  EXPECT_TRUE(m_dialogs.requests()[0].open);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(m_dialogs.requests().size(), 2u);
}

TEST_F(FrameKeys, AWaitDropsTheFramesKeysToo) {
  ClickCellOf(Switches(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  QTimer::singleShot(50, [this] {
    QTest::keyClick(Window(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(Window(), Qt::Key_F, Qt::AltModifier);
  });
  (void)fw::PumpMessagesFor(300, nullptr);
  Drain();
  EXPECT_TRUE(m_dialogs.requests().empty());
  EXPECT_EQ(OpenPopup(), nullptr);
}

// Tab and Shift+Tab go from one list to the other and stop on nothing else:
// not on a list's own editor, which nobody sees while no edit is open.
TEST_F(FrameKeys, TabGoesBetweenTheListsOnly) {
  ClickCellOf(Switches(), 0, 0);
  ASSERT_EQ(QApplication::focusWidget(), CellsOf(Switches()));
  auto where = [this] {
    QWidget* f = QApplication::focusWidget();
    if (f == CellsOf(Switches())) return std::string("switches");
    if (f == CellsOf(Configs())) return std::string("configurations");
    return std::string(f ? f->metaObject()->className() : "nothing");
  };
  std::vector<std::string> seen;
  for (int i = 0; i < 2; ++i) {
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    seen.push_back(where());
  }
  for (int i = 0; i < 2; ++i) {
    Key(Qt::Key_Tab);
    seen.push_back(where());
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{"configurations", "switches", "configurations", "switches"}));
}

// Inside an open editor the clipboard and undo keys work on its text, not on
// the frame's Copy and Paste of whole cells.
TEST_F(FrameKeys, AnOpenEditorKeepsTheClipboardAndUndoKeys) {
  ClickCellOf(Configs(), 0, 0);
  Key(Qt::Key_A);
  QWidget* editor = QApplication::focusWidget();
  for (Qt::Key k : {Qt::Key_B, Qt::Key_C}) Key(k);
  Key(Qt::Key_Home, Qt::ShiftModifier);
  QApplication::clipboard()->setText("zz");
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "abc");
  Key(Qt::Key_End);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(EditorText(editor), "abcabc");
  Key(Qt::Key_Home, Qt::ShiftModifier);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(EditorText(editor), "");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(EditorText(editor), "abcabc");
}

}  // namespace
}  // namespace fwtest
