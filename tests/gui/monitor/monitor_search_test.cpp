// The status monitor's search as the user sees it: the searching window
// over a main window that keeps painting, with the program's own operation
// windows; and the switch the user picked staying picked across a search.
#include <QTest>
#include <QWindow>

#include "monitor_fixture.h"
#include "shell/commandids.h"
#include "tools/searchingdlg.h"
#include "tools/switchstatusdlg.h"

namespace fwtest {
namespace {

const char* const kMac1 = "02:4B:33:10:00:01";
const char* const kMac3 = "02:4B:33:10:00:03";

class MonitorSearch : public MonitorTest {
 protected:
  QWidget* Top() { return Frame()->widget()->window(); }
  void ClickRow(int row) {
    CMonitorSwitchGrid& g = Grid();
    QWidget* cells = g.GetDlgItem(kGridCellAreaId)->widget();
    CRect r;
    ASSERT_EQ(g.GetCellRectangle(0, row, r), kGridOk);
    const QPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    QTest::mouseClick(Top()->windowHandle(), Qt::LeftButton, {}, cells->mapTo(Top(), p));
    Drain();
  }
  std::string CurrentMac() {
    const CSwitchEntry* e = Grid().CurrentEntry();
    return e ? e->GetMacText(true) : "";
  }
  std::string StatusOpensFor() {
    std::string mac;
    (void)WatchModals([&] { Command(ID_SHOW_STATUS); },
                      [&](CDialog& dlg) {
                        if (auto* status = dynamic_cast<CSwitchStatusDlg*>(&dlg))
                          mac = status->m_strMac;
                      });
    return mac;
  }
};

// What reaches the windows while a search runs.
class CSearchWatch : public QObject {
 public:
  explicit CSearchWatch(std::function<bool()> searching) : m_searching(std::move(searching)) {
    qApp->installEventFilter(this);
  }
  ~CSearchWatch() override { qApp->removeEventFilter(this); }

  int searchingPaints = 0;  // paints of the searching window
  int mainPaints = 0;       // paints of the main window or its children
  QWidget* main = nullptr;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Paint || !m_searching()) return false;
    auto* w = qobject_cast<QWidget*>(object);
    if (!w) return false;
    if (dynamic_cast<CSearchingDlg*>(CWnd::FromHandlePermanent(w->window())))
      ++searchingPaints;
    else if (main && w->window() == main)
      ++mainPaints;
    return false;
  }

 private:
  std::function<bool()> m_searching;
};

TEST_F(MonitorSearch, ASearchShowsTheSearchingWindowAndTheMainWindowKeepsPainting) {
  AddSwitch(0x01, "North");
  // The program's own operation windows, installed when its window came up.
  SetToolCommEnv(CToolCommEnv{&m_capture, &m_clock, &m_clock, nullptr});
  ASSERT_TRUE(Start());
  ASSERT_EQ(Grid().RowCount(), 1);

  m_capture.openDelayMs = 300;
  CSearchWatch watch([this] { return m_app && m_app->m_bSearching; });
  watch.main = Top();
  bool searchingShown = false;
  QTimer tick;
  int ticksDuringSearch = 0;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    if (!m_app->m_bSearching) return;
    ++ticksDuringSearch;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && dynamic_cast<CSearchingDlg*>(CWnd::FromHandlePermanent(w)))
        searchingShown = true;
    Frame()->Invalidate(false);  // the main window is asked to paint meanwhile
  });
  tick.start(20);
  Command(ID_FIND_SWITCHES_ON_NETWORK);
  tick.stop();
  EXPECT_GT(ticksDuringSearch, 0) << "nothing was let through while the search ran";
  EXPECT_TRUE(searchingShown);
  EXPECT_GT(watch.searchingPaints, 0);
  EXPECT_GT(watch.mainPaints, 0);
  EXPECT_EQ(Grid().RowCount(), 1);
  EXPECT_EQ(m_messages->count(), 0u);
}

TEST_F(MonitorSearch, TheCurrentSwitchStaysCurrentAcrossASearchWhereverItsRowGoes) {
  AddSwitch(0x01, "North");
  AddSwitch(0x02, "South");
  AddSwitch(0x03, "West");
  ASSERT_TRUE(Start());
  ASSERT_EQ(Grid().RowCount(), 3);
  ClickRow(2);
  ASSERT_EQ(CurrentMac(), kMac3);

  Command(ID_FIND_SWITCHES_ON_NETWORK);
  ASSERT_EQ(Grid().RowCount(), 3);
  EXPECT_EQ(Grid().GetCurrentRow(), 2);
  EXPECT_EQ(CurrentMac(), kMac3);

  // North is off: West's row moves up, and the highlight with it.
  m_cores[0]->knobs().drop_all = true;
  Command(ID_FIND_SWITCHES_ON_NETWORK);
  ASSERT_EQ(Grid().RowCount(), 2);
  EXPECT_EQ(Grid().GetCurrentRow(), 1);
  EXPECT_EQ(CurrentMac(), kMac3);
  EXPECT_EQ(StatusOpensFor(), kMac3);

  // Back again, before it: the row moves down.
  m_cores[0]->knobs().drop_all = false;
  Command(ID_FIND_SWITCHES_ON_NETWORK);
  ASSERT_EQ(Grid().RowCount(), 3);
  EXPECT_EQ(CurrentMac(), kMac3);

  // The current switch did not answer: the first row is current.
  ClickRow(0);
  ASSERT_EQ(CurrentMac(), kMac1);
  m_cores[0]->knobs().drop_all = true;
  Command(ID_FIND_SWITCHES_ON_NETWORK);
  ASSERT_EQ(Grid().RowCount(), 2);
  EXPECT_EQ(Grid().GetCurrentRow(), 0);
}

TEST_F(MonitorSearch, OfTwoRowsOfOneSwitchTheOneOfTheSameInterfaceStaysCurrent) {
  AddSwitch(0x01, "North", {"veth0", "veth1"});
  AddSwitch(0x03, "West", {"veth1"});
  ASSERT_TRUE(Start());
  ASSERT_EQ(Grid().RowCount(), 3);
  // North as heard on the second interface.
  int row = -1;
  for (int r = 0; r < Grid().RowCount(); ++r)
    if (const CSwitchEntry* e = Grid().EntryAtRow(r); e && e->GetMacText(true) == kMac1 && r > 0)
      row = r;
  ASSERT_GT(row, 0);
  ClickRow(row);
  const std::string where = Grid().CurrentEntry()->GetInterface();
  Command(ID_FIND_SWITCHES_ON_NETWORK);
  EXPECT_EQ(Grid().GetCurrentRow(), row);
  ASSERT_NE(Grid().CurrentEntry(), nullptr);
  EXPECT_EQ(Grid().CurrentEntry()->GetInterface(), where);
}

}  // namespace
}  // namespace fwtest
