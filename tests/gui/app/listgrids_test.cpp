// The switch and configuration lists as real windows on the project
// document: typing into the new-entry row, Escape, heading clicks, the drop
// lists and the MAC-prefix cell.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

#include "grid/gridcellvalue.h"
#include "gui_helpers.h"
#include "platform/gui/services.h"
#include "tests/unit/app/doc_fixture.h"
#include "tools/configlistgrid.h"
#include "tools/itemtypebase.h"
#include "tools/switchlistgrid.h"

namespace fwtest {
namespace {

// The panes' part the shell will do: hints go to the grids.
class CPanesView : public CView {
 public:
  CSwitchListGrid* switches = nullptr;
  CConfigListGrid* configs = nullptr;
  void OnUpdate(CView*, LPARAM, CObject* object) override {
    if (auto* pair = dynamic_cast<CIndexPair*>(object)) {
      switches->OnProjectHint(pair->first, pair->second);
      configs->OnProjectHint(pair->first, pair->second);
    }
  }
};

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons held, Qt::MouseButton b) {
  QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), b, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}
void Click(QWidget* w, QPoint p) {
  Mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, p, Qt::NoButton, Qt::LeftButton);
}
void DoubleClick(QWidget* w, QPoint p) {
  Click(w, p);
  Mouse(w, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, p, Qt::NoButton, Qt::LeftButton);
}

class ListGrids : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    ASSERT_TRUE(host.CreateEx(0, "", "lists", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 900, 500),
                              nullptr, 0));
    ASSERT_TRUE(configs.CreateGrid(WS_VISIBLE, CRect(0, 0, 200, 400), &host, 1234));
    ASSERT_TRUE(switches.CreateGrid(WS_VISIBLE, CRect(210, 0, 880, 400), &host, 1235));
    EXPECT_EQ(switches.SetProject(doc.get()), 5);
    EXPECT_EQ(configs.SetProject(doc.get()), 1);
    panes.switches = &switches;
    panes.configs = &configs;
    doc->AddView(&panes);
    panes.OnInitialUpdate();
    Activate(host.widget());
  }
  void TearDown() override {
    doc->RemoveView(&panes);
    // The windows go before the document they show.
    switches.SetProject(nullptr);
    configs.SetProject(nullptr);
    EXPECT_TRUE(host.DestroyWindow());
    Drain();
    DocTest::TearDown();
  }

  static QWidget* CellsOf(CSheetGridCtrl& g) { return g.GetDlgItem(kGridCellAreaId)->widget(); }
  static QPoint Centre(CSheetGridCtrl& g, int col, int row) {
    CRect r;
    EXPECT_EQ(g.GetCellRectangle(col, row, r), kGridOk);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // Double-clicks a cell, types the text and ends with the key.
  void TypeInto(CSheetGridCtrl& g, int col, int row, const QString& text, Qt::Key end) {
    DoubleClick(CellsOf(g), Centre(g, col, row));
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, CellsOf(g)) << "no edit started";
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, end);
    Drain();
    LeaveContinuedEdit(g);
  }
  // Enter goes on editing in the next row; that edit is left alone.
  void LeaveContinuedEdit(CSheetGridCtrl& g) {
    if (QWidget* next = QApplication::focusWidget(); next && next != CellsOf(g)) {
      QTest::keyClick(next, Qt::Key_Escape);
      Drain();
    }
  }
  void ClickHeading(CSheetGridCtrl& g, int col) {
    CRect r;
    EXPECT_EQ(g.GetCellRectangle(col, 0, r), kGridOk);  // the heading lines up with the cells
    Click(g.GetDlgItem(kGridTopHeadingId)->widget(), QPoint((r.left + r.right) / 2, 5));
  }
  std::vector<std::string> SwitchOrder() {
    std::vector<std::string> names;
    for (int row = 0; const CSwitchEntry* e = switches.SwitchAtRow(row); ++row)
      names.push_back(e->GetName());
    return names;
  }
  // Opens the drop list of a cell and chooses the entry with the text.
  bool Choose(CSheetGridCtrl& g, int col, int row, const std::string& text) {
    EXPECT_EQ(g.MoveToCell(col, row), kGridOk);
    QTest::keyClick(CellsOf(g), Qt::Key_Return);
    QListWidget* list = nullptr;
    WaitFor([&] {
      list = CellsOf(g)->findChild<QListWidget*>();
      return list && list->isVisible();
    });
    if (!list || !list->isVisible()) return false;
    const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
    if (found.isEmpty()) return false;
    list->setCurrentItem(found.front());
    QTest::keyClick(list, Qt::Key_Return);
    Drain();
    return true;
  }
  std::vector<std::string> Options(CSheetGridCtrl& g, int col, int row) {
    CGridCellValue cell;
    g.GetCell(col, row, cell);
    return SplitGridOptions(cell.GridCellGetLabel() ? *cell.GridCellGetLabel() : "");
  }

  CWnd host;
  CConfigListGrid configs;
  CSwitchListGrid switches;
  CPanesView panes;
};

TEST_F(ListGrids, TypingANameIntoTheNewEntryRowMakesASwitchAndEscapeDoesNot) {
  AddSwitch("Alpha");
  AddSwitch("Bravo");
  AddSwitch("Charlie");
  EXPECT_EQ(switches.GetRowTotal(), 4);
  Clean();
  TypeInto(switches, 0, 3, "Delta", Qt::Key_Return);
  ASSERT_EQ(doc->GetSwitches().GetCount(), 4);
  EXPECT_EQ(Switch(3).GetName(), "Delta");
  EXPECT_EQ(switches.GetRowTotal(), 5);
  EXPECT_TRUE(doc->IsModified());

  Clean();
  TypeInto(switches, 0, 4, "Echo", Qt::Key_Escape);
  EXPECT_EQ(doc->GetSwitches().GetCount(), 4);
  EXPECT_EQ(switches.GetRowTotal(), 5);
  EXPECT_FALSE(doc->IsModified());

  // Renaming to a name in use says so; the name stays.
  const int row = 0;
  const std::string before = switches.SwitchAtRow(row)->GetName();
  TypeInto(switches, 0, row, "DELTA", Qt::Key_Return);
  TypeInto(switches, 0, row, ",,,", Qt::Key_Return);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"The entered name is already in use.",
                                               "The entered name contains invalid characters."}));
  EXPECT_EQ(switches.SwitchAtRow(row)->GetName(), before);
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(ListGrids, TheMacColumnTakesOnlyItsOwnForm) {
  TypeInto(switches, 2, 0, "1a:2B:3c", Qt::Key_Return);
  ASSERT_EQ(doc->GetSwitches().GetCount(), 1);
  EXPECT_EQ(Switch(0).GetMacSuffix(), "1A:2B:3C");
  EXPECT_EQ(Switch(0).GetName(), "RS_1A_2B_3C");
  Clean();
  TypeInto(switches, 2, 0, "1a2b3c", Qt::Key_Return);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid MAC address format. Must be of the form "
                                              "XX:XX:XX where XX digits are hexadecimal."});
  EXPECT_EQ(Switch(0).GetMacSuffix(), "1A:2B:3C");
  EXPECT_FALSE(doc->IsModified());
  // Not in the new-entry row either.
  Clean();
  TypeInto(switches, 2, 1, "zz:00:00", Qt::Key_Return);
  EXPECT_EQ(doc->GetSwitches().GetCount(), 1);
  EXPECT_EQ(messages->count(), 1u);
}

TEST_F(ListGrids, TheDropListsOfferModelsAndCompatibleConfigurations) {
  doc->AddNewConfig("Five");
  CSwitchConfig nine;
  nine.SetPortCount(9);
  nine.SetName("Nine");
  doc->AddConfig(nine);
  const int s = AddSwitch("Alpha", "", "QV-5KP-1");
  std::vector<std::string> models;
  std::vector<std::string> parts;
  CSwitchConfigStore::FillModelLists(models, &parts);
  EXPECT_EQ(Options(switches, 1, 0), parts);
  EXPECT_EQ(Options(switches, 3, 0), std::vector<std::string>{"Five"});
  // The new-entry row has no switch to match: everything is offered.
  EXPECT_EQ(Options(switches, 3, 1), (std::vector<std::string>{"Five", "Nine"}));
  // The model and configuration columns are chosen, never typed.
  DoubleClick(CellsOf(switches), Centre(switches, 1, 0));
  EXPECT_EQ(QApplication::focusWidget(), CellsOf(switches));

  Clean();
  ASSERT_TRUE(Choose(switches, 3, 0, "Five"));
  EXPECT_EQ(Switch(s).GetConfig().GetName(), "Five");
  EXPECT_TRUE(doc->IsModified());
  // A model of nine ports: its port count follows, and the configuration is now the wrong one.
  ASSERT_TRUE(Choose(switches, 1, 0, "QV-9KP-1"));
  EXPECT_EQ(Switch(s).GetPart().portCount, 9);
  EXPECT_EQ(Options(switches, 3, 0), std::vector<std::string>{"Nine"});
  CGridCellValue cell;
  switches.GetCell(3, 0, cell);
  EXPECT_EQ(cell.GridCellGetBackColorOrDefault(), CSwitchConfigItemType::kWarningColour);
  // Choosing in the new-entry row makes a switch.
  ASSERT_TRUE(Choose(switches, 1, 1, "QV-5KP-2"));
  ASSERT_EQ(doc->GetSwitches().GetCount(), 2);
  EXPECT_EQ(Switch(1).GetPart().partNumber, "QV-5KP-2");
  EXPECT_EQ(switches.GetRowTotal(), 3);
}

TEST_F(ListGrids, HeadingClicksSortDescendingThenAscendingIgnoringCase) {
  AddSwitch("bravo", "00:00:02");
  AddSwitch("Alpha", "00:00:03");
  AddSwitch("charlie", "00:00:01");
  switches.LoadProjectRows();
  EXPECT_EQ(SwitchOrder(), (std::vector<std::string>{"Alpha", "bravo", "charlie"}));
  ClickHeading(switches, 0);
  EXPECT_EQ(switches.GetSortColumn(), 0);
  EXPECT_FALSE(switches.IsSortAscending());
  EXPECT_EQ(SwitchOrder(), (std::vector<std::string>{"charlie", "bravo", "Alpha"}));
  ClickHeading(switches, 0);
  EXPECT_EQ(SwitchOrder(), (std::vector<std::string>{"Alpha", "bravo", "charlie"}));
  ClickHeading(switches, 2);  // the flag flips whatever column was clicked
  EXPECT_EQ(switches.GetSortColumn(), 2);
  EXPECT_EQ(SwitchOrder(), (std::vector<std::string>{"Alpha", "bravo", "charlie"}));
  ClickHeading(switches, 2);
  EXPECT_EQ(SwitchOrder(), (std::vector<std::string>{"charlie", "bravo", "Alpha"}));
  // The heading shows the arrow on the sort column.
  CGridCellValue heading;
  switches.GetCell(2, -1, heading);
  EXPECT_EQ(heading.GridCellGetTypeStyle(), 0x12);

  doc->AddNewConfig("b");
  doc->AddNewConfig("A");
  doc->AddNewConfig("c");
  ClickHeading(configs, 0);
  std::vector<std::string> titles;
  for (int row = 0; const CSwitchConfig* c = configs.ConfigAtRow(row); ++row)
    titles.push_back(c->GetName());
  EXPECT_EQ(titles, (std::vector<std::string>{"c", "b", "A"}));
}

TEST_F(ListGrids, TypingIntoTheConfigurationListAddsRenamesAndEscapes) {
  QWidget* cells = CellsOf(configs);
  EXPECT_EQ(configs.MoveToCell(0, 0), kGridOk);
  QTest::keyClicks(cells, "P");
  QTest::keyClicks(QApplication::focusWidget(), "lant");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  Drain();
  LeaveContinuedEdit(configs);
  ASSERT_EQ(doc->GetStore().GetCount(), 1);
  EXPECT_EQ(Config(0).GetName(), "Plant");
  EXPECT_EQ(configs.GetRowTotal(), 2);
  EXPECT_TRUE(doc->IsModified());

  Clean();
  TypeInto(configs, 0, 1, "Never", Qt::Key_Escape);
  EXPECT_EQ(doc->GetStore().GetCount(), 1);
  EXPECT_FALSE(doc->IsModified());
  TypeInto(configs, 0, 1, "PLANT", Qt::Key_Return);
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"The entered switch configuration name is already in use."});
  EXPECT_EQ(doc->GetStore().GetCount(), 1);

  // The current row is the document's selection.
  EXPECT_EQ(configs.MoveToCell(0, 0), kGridOk);
  EXPECT_EQ(doc->GetSelectedConfigIndex(), 0);
  EXPECT_EQ(configs.MoveToCell(0, 1), kGridOk);
  EXPECT_EQ(doc->GetSelectedConfigIndex(), -1);
  // Rename in place.
  Clean();
  EXPECT_EQ(configs.MoveToCell(0, 0), kGridOk);
  configs.SetRepaintEnabled(1);
  TypeInto(configs, 0, 0, "Hall", Qt::Key_Return);
  EXPECT_EQ(Config(0).GetName(), "Hall");
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(ListGrids, DeletedRowsGoAndTheMacCellDrawsItsPrefix) {
  const int a = AddSwitch("Alpha", "AB:CD:EF");
  AddSwitch("Bravo");
  messages->QueueAnswer(IDYES);
  doc->DeleteSwitch(a);
  EXPECT_EQ(switches.GetRowTotal(), 2);
  EXPECT_EQ(switches.SwitchAtRow(0)->GetName(), "Bravo");
  EXPECT_EQ(switches.SwitchIndexAtRow(1), -1);
  EXPECT_TRUE(switches.IsNewEntryRow(1));

  const int idx = doc->AddSwitchFromField(kSwitchColMac, "12:34:56");
  ASSERT_GE(idx, 0);
  int row = 0;
  while (switches.SwitchIndexAtRow(row) != idx) ++row;
  CGridCellValue cell;
  switches.GetCell(2, row, cell);
  ASSERT_NE(cell.GridCellGetLabel(), nullptr);
  EXPECT_EQ(*cell.GridCellGetLabel(), "02:4B:33:");
  auto* type =
      dynamic_cast<CMacPrefixCellType*>(switches.GetCellTypeObject(cell.GridCellGetCellType()));
  ASSERT_NE(type, nullptr);
  // Drawn: the grey prefix at the left, the suffix to its right, never over it.
  CImageDC dc(160, 18);
  type->DrawCell(dc, CRect(0, 0, 160, 18), 2, row, cell, false, false);
  const QImage& image = dc.Snapshot();
  const int labelWidth = type->LabelWidth("02:4B:33:");
  ASSERT_GT(labelWidth, 10);
  bool grey = false, dark = false;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() == 122 && c.green() == 122 && c.blue() == 122) {
        grey = true;
        EXPECT_LT(x, labelWidth + 2);
      }
      if (c.red() < 60 && c.green() < 60 && c.blue() < 60) {
        dark = true;
        EXPECT_GE(x, labelWidth);
      }
    }
  EXPECT_TRUE(grey);
  EXPECT_TRUE(dark);
  // The editor starts after the label.
  CRect edit(0, 0, 160, 18);
  type->GetEditRect(edit);
  EXPECT_EQ(edit.left, labelWidth);
}

TEST_F(ListGrids, RightClicksGoToTheMainWindowInScreenCoordinates) {
  AddSwitch("Alpha");
  doc->AddNewConfig("Plant");
  std::vector<std::pair<UINT, CPoint>> got;
  for (UINT msg : {WM_SWITCHLIST_CONTEXT, WM_CONFIGLIST_CONTEXT})
    host.SetMessageHandler(msg, [&got, msg](WPARAM w, LPARAM) {
      got.emplace_back(msg, *reinterpret_cast<CPoint*>(w));
      return LRESULT(0);
    });
  const QPoint p = Centre(switches, 0, 0);
  QWidget* cells = CellsOf(switches);
  Mouse(cells, QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
  Mouse(cells, QEvent::MouseButtonRelease, p, Qt::NoButton, Qt::RightButton);
  const QPoint c = Centre(configs, 0, 0);
  Mouse(CellsOf(configs), QEvent::MouseButtonPress, c, Qt::RightButton, Qt::RightButton);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].first, WM_SWITCHLIST_CONTEXT);
  CRect window;
  switches.GetWindowRect(&window);
  EXPECT_EQ(got[0].second.x, window.left + switches.GetSideHeadingWidth() + p.x());
  EXPECT_EQ(got[0].second.y, window.top + switches.GetTopHeadingHeight() + p.y());
  EXPECT_EQ(got[1].first, WM_CONFIGLIST_CONTEXT);
}

TEST_F(ListGrids, PasteFillsAnEditorOfTheCurrentCell) {
  AddSwitch("Alpha");
  ASSERT_TRUE(fw::SetClipboardText("Pasted"));
  EXPECT_EQ(switches.MoveToCell(0, 1), kGridOk);
  EXPECT_EQ(switches.PasteIntoEditor(), 0);
  QWidget* editor = QApplication::focusWidget();
  ASSERT_NE(editor, CellsOf(switches));
  QTest::keyClick(editor, Qt::Key_Return);
  Drain();
  LeaveContinuedEdit(switches);
  ASSERT_EQ(doc->GetSwitches().GetCount(), 2);
  EXPECT_EQ(Switch(1).GetName(), "Pasted");
  // Not into a drop-list column.
  EXPECT_EQ(switches.MoveToCell(1, 0), kGridOk);
  EXPECT_NE(switches.PasteIntoEditor(), 0);
}

}  // namespace
}  // namespace fwtest
