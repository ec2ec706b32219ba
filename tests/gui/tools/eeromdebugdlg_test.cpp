#include "tools/eeromdebugdlg.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>
#include <fstream>

#include "grid/gridheading.h"
#include "grid/gridinplaceedit.h"
#include "platform/gui/qtstring.h"
#include "platform/gui/services.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "sheet_test_util.h"
#include "tests/common/test_util.h"
#include "tools/gridfonts.h"
#include "tools_fixture.h"

namespace {

class EeromDebugger : public fwtest::ToolsTest {
 protected:
  EeromDebugger() {
    AddDevice("veth0", "Segment A", 0xA0);
    sw = &AddSwitch(0x11, "Line 11", {"veth0"});
    other = &AddSwitch(0x12, "Line 12", {"veth0"});
    std::ofstream f(dir.file("ringeerom.txt"), std::ios::binary);
    f << "$20-$2F,Switch name (first half)\r\n"
         "$30-$3F,`Switch name, second half`\r\n"
         "$118,Identity byte\r\n"
         "$300-$301,Ring 1 ports\r\n"
         "$10-,Broken line\r\n";
    fw::SetFileDialogService(&files);
    // Notes the start of every write entry; a switch told to refuse writes
    // fails them but still answers reads.
    capture.onSend = [this](const std::uint8_t* frame, std::size_t len) {
      if (len <= 33 || frame[20] != 4) return;
      bool anyWrite = false;
      for (std::size_t at = 33; at + 4 <= len && frame[at] != 0; at += 4 + frame[at + 1]) {
        if ((frame[at] & 3) != 2) continue;
        anyWrite = true;
        written.push_back(static_cast<std::uint16_t>(frame[at + 2] << 8 | frame[at + 3]));
      }
      if (anyWrite) ++writes;
      if (refuseWrites)
        sw->knobs().failed_entries =
            anyWrite ? std::set<std::uint16_t>{0x300} : std::set<std::uint16_t>{};
    };
  }
  ~EeromDebugger() override { fw::SetFileDialogService(nullptr); }
  void Open(CEeromDebugDlg& dlg, const std::string& mac) {
    dlg.m_strDestMac = mac;
    dlg.m_strDescriptionFile = dir.file("ringeerom.txt");
    ASSERT_TRUE(dlg.Create(CEeromDebugDlg::IDD));
    dlg.ShowWindow(SW_SHOW);
    fwtest::Activate(dlg.widget());
  }
  void Click(CDialog& dlg, int id) {
    QTest::mouseClick(dlg.GetDlgItem(id)->widget(), Qt::LeftButton);
  }
  QWidget* Cells(CEeromDebugDlg& dlg) { return dlg.Grid().GetCellAreaWindow(); }
  QPlainTextEdit* Editor(CEeromDebugDlg& dlg) {
    CWnd* editor = dlg.Grid().GetActiveEditor();
    return editor ? qobject_cast<QPlainTextEdit*>(editor->widget()) : nullptr;
  }
  std::string Hex(int start, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += fw::FormatText("%02X", sw->eerom()[start + i]);
    return s;
  }

  fw::test::TempDir dir;
  fw::CScriptedFileDialogService files;
  fw::emu::CSwitchCore* sw;
  fw::emu::CSwitchCore* other;
  int writes = 0;  // frames with write entries
  std::vector<std::uint16_t> written;
  bool refuseWrites = false;
};

TEST_F(EeromDebugger, ReadsEditsWritesChangedRowsAndSaves) {
  CEeromDebugDlg dlg;
  Open(dlg, MacText(0x11));
  CEeromGrid& grid = dlg.Grid();
  // The bad line is skipped and named; the rows around it are there.
  ASSERT_EQ(grid.Ranges().size(), 4u);
  EXPECT_EQ(grid.GetRowTotal(), 4);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find(
                "Line 5 of ringeerom.txt was skipped: Invalid range specified ($10-,Broken line)."),
            std::string::npos);
  messages->clear();
  EXPECT_EQ(grid.GetCellText(0, 0).value_or(""), "0x20 - 0x2F");
  EXPECT_EQ(grid.GetCellText(0, 2).value_or(""), "0x118");
  EXPECT_EQ(grid.GetCellText(1, 1).value_or(""), "Switch name, second half");
  EXPECT_EQ(grid.GetCellText(2, 3).value_or(""), "????");
  EXPECT_EQ(grid.GetCellText(2, -1).value_or(""), "Data");

  Click(dlg, CEeromDebugDlg::kReadAllId);
  EXPECT_TRUE(messages->messages().empty());
  EXPECT_EQ(grid.GetCellText(2, 0).value_or(""), Hex(0x20, 16));
  EXPECT_EQ(grid.GetCellText(2, 3).value_or(""), Hex(0x300, 2));
  for (int r = 0; r < 4; ++r) EXPECT_FALSE(grid.IsRowModified(r));

  // Typing into the data column opens the hexadecimal edit with its note.
  EXPECT_EQ(grid.MoveToCell(2, 3), kGridOk);
  Cells(dlg)->setFocus();
  QTest::keyClick(Cells(dlg), Qt::Key_A);
  ASSERT_TRUE(grid.IsEditing());
  QPlainTextEdit* edit = Editor(dlg);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->toPlainText(), "a");
  EXPECT_TRUE(grid.NoteType().NoteShowing());
  EXPECT_EQ(grid.NoteType().NoteText(), "Number of bytes entered: 0.5 (of 2)");
  // The note is a child of the cell area, its right edge 5 pixels left of the cell.
  CNoteWnd* note = grid.NoteType().GetNoteWindow();
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->parentWidget(), Cells(dlg));
  CRect cellRect;
  EXPECT_EQ(grid.GetCellRectangle(2, 3, cellRect), kGridOk);
  EXPECT_EQ(note->geometry().right() + 1, cellRect.left - 5);
  EXPECT_GE(note->x(), 0);
  QTest::keyClicks(edit, "xb1");  // x is not a hexadecimal digit
  EXPECT_EQ(edit->toPlainText(), "ab1");
  EXPECT_EQ(grid.NoteType().NoteText(), "Number of bytes entered: 1.5 (of 2)");
  QTest::keyClick(edit, Qt::Key_Return);
  fwtest::Drain();
  EXPECT_TRUE(grid.IsEditing());  // three digits are no whole bytes: refused
  EXPECT_EQ(edit->toPlainText(), "ab1");
  QTest::keyClick(edit, Qt::Key_End);  // the refused text comes back selected
  QTest::keyClick(edit, Qt::Key_2);
  EXPECT_EQ(grid.NoteType().NoteText(), "Number of bytes entered: 2.0 (of 2)");
  QTest::keyClick(edit, Qt::Key_Return);
  fwtest::Drain();
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_FALSE(grid.NoteType().NoteShowing());
  EXPECT_EQ(dlg.Values().at(0x300), 0xAB);
  EXPECT_EQ(dlg.Values().at(0x301), 0x12);
  EXPECT_EQ(grid.GetCellText(2, 3).value_or(""), "AB12");
  EXPECT_TRUE(grid.IsRowModified(3));
  CGridCellValue cell;
  grid.GetCell(2, 3, cell);
  EXPECT_EQ(cell.GridCellGetTextColor(), RGB(255, 0, 0));
  grid.GetCell(2, 2, cell);
  EXPECT_EQ(cell.GridCellGetTextColor(), RGB(0, 0, 0));

  // Write All writes every complete row, the changed one with its new bytes;
  // the re-read turns it black again.
  const auto neighbour = other->eerom();
  const auto before = sw->eerom();
  Click(dlg, CEeromDebugDlg::kWriteAllId);
  EXPECT_TRUE(messages->messages().empty()) << messages->messages()[0].text;
  EXPECT_EQ(written, (std::vector<std::uint16_t>{0x20, 0x30, 0x118, 0x300}));
  EXPECT_EQ(sw->eerom()[0x300], 0xAB);
  EXPECT_EQ(sw->eerom()[0x301], 0x12);
  for (std::size_t a = 0; a < before.size(); ++a) {
    if (a != 0x300 && a != 0x301) {
      ASSERT_EQ(sw->eerom()[a], before[a]) << a;
    }
  }
  EXPECT_EQ(other->eerom(), neighbour);
  EXPECT_FALSE(grid.IsRowModified(3));

  // A switch changed behind the dialog: after Read Selected its row shows it.
  sw->eerom()[0x118] = 0x5A;
  EXPECT_EQ(grid.MoveToCell(2, 2), kGridOk);
  Click(dlg, CEeromDebugDlg::kReadSelectedId);
  EXPECT_EQ(grid.GetCellText(2, 2).value_or(""), "5A");

  // Saved rows read back as a description file.
  files.QueueAnswer(dir.file("saved.txt"));
  Click(dlg, CEeromDebugDlg::kSaveId);
  std::vector<CEeromRange> rows;
  std::string error;
  ASSERT_EQ(LoadEeromRanges(dir.file("saved.txt"), &rows, &error), 4) << error;
  EXPECT_EQ(rows[1].name, "Switch name, second half");
  EXPECT_EQ(rows[3].start, 0x300);
  std::ifstream saved(dir.file("saved.txt"));
  std::string line;
  for (int i = 0; i < 4; ++i) std::getline(saved, line);
  EXPECT_EQ(line, "$0300-$0301,`Ring 1 ports`,AB12\r");
}

TEST_F(EeromDebugger, NeverWritesToEverySwitchAndReportsRefusedEntries) {
  CEeromDebugDlg dlg;
  Open(dlg, CEeromDebugDlg::kBroadcastMac);
  messages->clear();
  // Reads may go to the broadcast address; writes may not.
  Click(dlg, CEeromDebugDlg::kReadAllId);
  messages->clear();
  dlg.StoreHexText("0102", 3);
  EXPECT_EQ(dlg.Grid().MoveToCell(2, 3), kGridOk);
  Click(dlg, CEeromDebugDlg::kWriteSelectedId);
  Click(dlg, CEeromDebugDlg::kWriteAllId);
  EXPECT_EQ(writes, 0);
  ASSERT_EQ(messages->count(), 2u);
  EXPECT_NE(messages->messages()[0].text.find("broadcast address"), std::string::npos);

  // A MAC text that is not one is told, and the destination stays as it was.
  messages->clear();
  dlg.SetDlgItemText(CEeromDebugDlg::kMacId, "02:4B:33:zz:00:11");
  Click(dlg, CEeromDebugDlg::kSetId);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("02:4B:33:zz:00:11"), std::string::npos);
  Click(dlg, CEeromDebugDlg::kWriteSelectedId);
  EXPECT_EQ(writes, 0);

  // One switch: an entry the switch refuses is shown and stays marked.
  messages->clear();
  dlg.SetDlgItemText(CEeromDebugDlg::kMacId, MacText(0x11));
  Click(dlg, CEeromDebugDlg::kSetId);
  EXPECT_TRUE(messages->messages().empty());
  // The switch answers reads all the same: the entry must not be replaced
  // by what it still holds.
  refuseWrites = true;
  Click(dlg, CEeromDebugDlg::kWriteSelectedId);
  EXPECT_EQ(writes, 1);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(messages->messages()[0].text.find("Write at location 768, length 2 failed."),
            std::string::npos)
      << messages->messages()[0].text;
  EXPECT_NE(sw->eerom()[0x300], 0x01);
  EXPECT_EQ(dlg.Grid().GetCellText(2, 3).value_or(""), "0102");
  EXPECT_TRUE(dlg.Grid().IsRowModified(3));
  // A lost write (no answer at all) is the same.
  messages->clear();
  sw->knobs().drop_all = true;
  Click(dlg, CEeromDebugDlg::kWriteSelectedId);
  EXPECT_EQ(messages->count(), 1u);
  EXPECT_EQ(dlg.Grid().GetCellText(2, 3).value_or(""), "0102");
  EXPECT_TRUE(dlg.Grid().IsRowModified(3));
  // Once taken, the read-back shows the switch holds it.
  messages->clear();
  refuseWrites = false;
  sw->knobs() = fw::emu::Knobs{};
  Click(dlg, CEeromDebugDlg::kWriteSelectedId);
  EXPECT_TRUE(messages->messages().empty());
  EXPECT_EQ(sw->eerom()[0x300], 0x01);
  EXPECT_EQ(sw->eerom()[0x301], 0x02);
  EXPECT_FALSE(dlg.Grid().IsRowModified(3));
}

// The debugger sees Esc before the dialog does wherever the focus is: a
// typed byte never written is not lost to a stray Esc on a button.
TEST_F(EeromDebugger, EscWithAButtonFocusedKeepsTheDialogAndTheTypedValue) {
  CEeromDebugDlg dlg;
  Open(dlg, MacText(0x11));
  messages->clear();
  Click(dlg, CEeromDebugDlg::kReadAllId);
  ASSERT_TRUE(messages->messages().empty());
  QWindow* window = dlg.widget()->windowHandle();
  EXPECT_EQ(dlg.Grid().MoveToCell(2, 2), kGridOk);
  Cells(dlg)->setFocus();
  for (Qt::Key k : {Qt::Key_A, Qt::Key_B, Qt::Key_Return}) QTest::keyClick(window, k);
  fwtest::Drain();
  ASSERT_TRUE(dlg.Grid().IsRowModified(2));
  Click(dlg, CEeromDebugDlg::kSetId);
  ASSERT_EQ(QApplication::focusWidget(), dlg.GetDlgItem(CEeromDebugDlg::kSetId)->widget());
  QTest::keyClick(window, Qt::Key_Escape);
  fwtest::Drain();
  EXPECT_FALSE(dlg.ended());
  EXPECT_TRUE(dlg.widget()->isVisible());
  EXPECT_EQ(dlg.Grid().GetCellText(2, 2).value_or(""), "AB");
  EXPECT_TRUE(dlg.Grid().IsRowModified(2));
}

// Typed values are the user's work: a Write All that does not get through
// keeps every one of them, red, for a retry.
TEST_F(EeromDebugger, AFailedWriteAllKeepsWhatWasTyped) {
  CEeromDebugDlg dlg;
  Open(dlg, MacText(0x11));
  messages->clear();
  CEeromGrid& grid = dlg.Grid();
  Click(dlg, CEeromDebugDlg::kReadAllId);
  ASSERT_TRUE(messages->messages().empty());
  const std::string name = grid.GetCellText(2, 0).value_or("");
  dlg.StoreHexText("5A", 2);
  dlg.StoreHexText("0102", 3);

  sw->knobs().drop_all = true;  // the switch went silent
  Click(dlg, CEeromDebugDlg::kWriteAllId);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_NE(sw->eerom()[0x118], 0x5A);
  EXPECT_EQ(grid.GetCellText(2, 0).value_or(""), name);
  EXPECT_EQ(grid.GetCellText(2, 2).value_or(""), "5A");
  EXPECT_EQ(grid.GetCellText(2, 3).value_or(""), "0102");
  EXPECT_TRUE(grid.IsRowModified(2));
  EXPECT_TRUE(grid.IsRowModified(3));
  EXPECT_FALSE(grid.IsRowModified(0));

  // The retry writes them and the read that follows turns them black.
  messages->clear();
  sw->knobs().drop_all = false;
  Click(dlg, CEeromDebugDlg::kWriteAllId);
  EXPECT_TRUE(messages->messages().empty()) << messages->messages()[0].text;
  EXPECT_EQ(sw->eerom()[0x118], 0x5A);
  EXPECT_EQ(sw->eerom()[0x300], 0x01);
  EXPECT_FALSE(grid.IsRowModified(2));
  EXPECT_FALSE(grid.IsRowModified(3));

  // An adapter that cannot be opened: one message with the capture layer's
  // reason, nothing sent, the typed row kept.
  messages->clear();
  written.clear();
  dlg.StoreHexText("77", 2);
  const std::string reason = FormatRes(IDS_CAPTURE_NOT_PERMITTED, "veth0");
  capture.locked.FailOpen("veth0", reason + "\n");
  Click(dlg, CEeromDebugDlg::kWriteAllId);
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"Failed to open the selected device.\n\n" + reason});
  EXPECT_TRUE(written.empty());
  EXPECT_EQ(grid.GetCellText(2, 2).value_or(""), "77");
  EXPECT_TRUE(grid.IsRowModified(2));
  // The other transfers say the same.
  for (int id : {CEeromDebugDlg::kReadAllId, CEeromDebugDlg::kReadSelectedId,
                 CEeromDebugDlg::kWriteSelectedId}) {
    messages->clear();
    Click(dlg, id);
    ASSERT_EQ(messages->count(), 1u) << id;
    EXPECT_NE(messages->messages()[0].text.find(reason), std::string::npos) << id;
  }
  EXPECT_EQ(grid.GetCellText(2, 2).value_or(""), "77");
}

// A row typed without being read may hold anything on the switch, also the
// bytes that were typed as "unchanged" zeros.
TEST_F(EeromDebugger, WriteAllWritesATypedRowThatWasNeverRead) {
  CEeromDebugDlg dlg;
  Open(dlg, MacText(0x11));
  messages->clear();
  sw->eerom()[0x300] = 0x55;
  sw->eerom()[0x301] = 0x66;
  dlg.StoreHexText("0000", 3);
  Click(dlg, CEeromDebugDlg::kWriteAllId);
  EXPECT_TRUE(messages->messages().empty()) << messages->messages()[0].text;
  EXPECT_EQ(written, std::vector<std::uint16_t>{0x300});
  EXPECT_EQ(sw->eerom()[0x300], 0x00);
  EXPECT_EQ(sw->eerom()[0x301], 0x00);
  // The read that follows fills the other rows.
  EXPECT_EQ(dlg.Grid().GetCellText(2, 2).value_or(""), Hex(0x118, 1));
}

TEST_F(EeromDebugger, EscCancelsAnEditAndKeepsTheDialog) {
  CEeromDebugDlg dlg;
  Open(dlg, MacText(0x11));
  messages->clear();
  CEeromGrid& grid = dlg.Grid();
  EXPECT_EQ(grid.MoveToCell(2, 0), kGridOk);
  Cells(dlg)->setFocus();
  QTest::keyClick(Cells(dlg), Qt::Key_F);
  ASSERT_TRUE(grid.IsEditing());
  QTest::keyClick(Editor(dlg), Qt::Key_Escape);
  fwtest::Drain();
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_FALSE(grid.NoteType().NoteShowing());
  EXPECT_TRUE(dlg.Values().empty());
  QTest::keyClick(Cells(dlg), Qt::Key_Escape);
  EXPECT_FALSE(dlg.ended());
  // Write Selected of a row that was neither read nor typed is refused.
  Click(dlg, CEeromDebugDlg::kWriteSelectedId);
  ASSERT_EQ(messages->count(), 1u);
  EXPECT_EQ(messages->messages()[0].text,
            "The selected data must be read first or data must be entered before writing.");
  EXPECT_EQ(writes, 0);
  // The grid grows with the dialog.
  const int width = grid.widget()->width();
  dlg.widget()->resize(dlg.widget()->width() + 120, dlg.widget()->height() + 40);
  fwtest::Drain();
  EXPECT_EQ(grid.widget()->width(), width + 120);
}

// A 32-byte range wraps, whole bytes to a line, in a Data column that takes
// the room the view leaves: the row is on screen with its address and
// function, and stays so while it is typed from the keyboard, with its
// heading and the note, in every language.
TEST_F(EeromDebugger, EveryByteOfALongRowCanBeBroughtIntoView) {
  {
    std::ofstream f(dir.file("ringeerom.txt"), std::ios::binary | std::ios::trunc);
    f << "$118,Identity byte\r\n$40-$5F,Port table\r\n";
  }
  fwtest::InEachLanguage([&](const char*) {
    CEeromDebugDlg dlg;
    Open(dlg, MacText(0x11));
    CEeromGrid& grid = dlg.Grid();
    const QFontMetrics fm(grid.GetDefaultFont()->font());
    CRect addr, data;
    ASSERT_EQ(grid.GetCellRectangle(CEeromGrid::kAddrCol, 1, addr), kGridOk);
    ASSERT_EQ(grid.GetCellRectangle(CEeromGrid::kDataCol, 1, data), kGridOk);
    EXPECT_EQ(addr.left, 0);
    EXPECT_LE(data.right, Cells(dlg)->width());
    const int perLine = grid.BytesPerLine();
    ASSERT_LT(perLine, 32);
    EXPECT_LE(fm.horizontalAdvance(QString(2 * perLine, 'D')) + 4, data.Width());
    EXPECT_GE(data.Height(), (32 + perLine - 1) / perLine * fm.height());
    const int heading = fm.horizontalAdvance(fw::ToQ(*grid.GetCellText(CEeromGrid::kDataCol, -1)));
    EXPECT_LE((data.left + data.right + heading) / 2, grid.TopHeading()->widget()->width());

    // Typed through the window: the note sits beside the row, clear of its
    // address and function; Up goes back a line without ending the edit.
    EXPECT_EQ(grid.MoveToCell(CEeromGrid::kDataCol, 1), kGridOk);
    Cells(dlg)->setFocus();
    QWindow* window = dlg.widget()->windowHandle();
    for (int i = 0; i < 64; ++i) QTest::keyClick(window, i % 2 ? Qt::Key_D : Qt::Key_1);
    ASSERT_TRUE(grid.IsEditing());
    EXPECT_EQ(grid.NoteType().NoteText(), FormatRes(IDS_EEROM_BYTES_ENTERED, 32.0, 32));
    const QRect note = grid.NoteType().GetNoteWindow()->geometry();
    EXPECT_TRUE(Cells(dlg)->rect().contains(note));
    EXPECT_FALSE(note.intersects(QRect(0, data.top, data.left, GridPx(18))));
    QTest::keyClick(window, Qt::Key_Up);
    EXPECT_TRUE(grid.IsEditing());
    QTest::keyClick(window, Qt::Key_Return);
    fwtest::Drain();
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_EQ(dlg.Values().at(0x5F), 0x1D);
  });
}

}  // namespace
