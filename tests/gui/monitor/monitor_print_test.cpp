// Printing the status monitor's switch list: through the print dialog (File, Print),
// straight on the printer, in the preview and after the page set-up, all on
// PDF files that pdftotext reads back page by page.
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>
#include <filesystem>

#include "monitor/printservice.h"
#include "monitor_fixture.h"
#include "platform/format.h"
#include "platform/gui/stdids.h"

namespace fwtest {
namespace {

// Prints on PDF files and answers the dialogs.
class CPdfPrintService : public IPrintService {
 public:
  explicit CPdfPrintService(const fw::test::TempDir& dir) : m_dir(dir) {}
  std::unique_ptr<QPrinter> MakePrinter() override {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setPageSize(QPageSize(QPageSize::A4));
    p->setOutputFileName(QString::fromStdString(m_dir.file("direct.pdf")));
    return p;
  }
  bool ChoosePrinter(QPrinter& printer, QWidget*) override {
    ++chosen;
    printer.setOutputFileName(QString::fromStdString(m_dir.file("chosen.pdf")));
    return choose;
  }
  bool SetUpPage(QPrinter& printer, QWidget*) override {
    ++setUps;
    (void)printer.setPageOrientation(QPageLayout::Landscape);
    return true;
  }
  void Preview(QPrinter& printer, QWidget*, const std::function<void(QPrinter*)>& paint) override {
    ++previews;
    // The preview draws on a printer of the same page.
    QPrinter shown(QPrinter::HighResolution);
    shown.setOutputFormat(QPrinter::PdfFormat);
    (void)shown.setPageLayout(printer.pageLayout());
    shown.setOutputFileName(QString::fromStdString(m_dir.file("preview.pdf")));
    paint(&shown);
  }

  bool choose = true;
  int chosen = 0, setUps = 0, previews = 0;

 private:
  const fw::test::TempDir& m_dir;
};

class MonitorPrint : public MonitorTest {
 protected:
  void SetUp() override {
    MonitorTest::SetUp();
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
      GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    SetPrintService(&m_print);
  }
  void TearDown() override {
    SetPrintService(nullptr);
    MonitorTest::TearDown();
  }
  // The text of each page of a PDF file; empty when there is no file.
  std::vector<std::string> Pages(const std::string& file) {
    if (!std::filesystem::exists(file)) return {};
    QProcess p;
    p.start("pdftotext", {"-layout", QString::fromStdString(file), "-"});
    if (!p.waitForFinished(20000)) return {};
    std::string text = p.readAllStandardOutput().toStdString();
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
      pages.push_back(text.substr(start, ff - start));
    return pages;
  }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
      ++n;
    return n;
  }
  // Every listed switch's name on exactly one of the pages.
  void ExpectEveryRowOnce(const std::vector<std::string>& pages) {
    ASSERT_GT(Grid().RowCount(), 0);
    for (int row = 0; row < Grid().RowCount(); ++row) {
      const std::string name = Cell(0, row) + " ";
      int seen = 0;
      for (const std::string& page : pages) seen += Count(page + " ", name);
      EXPECT_EQ(seen, 1) << name;
    }
  }
  // Every switch of the ring is listed: more rows than one page down holds.
  void StartWithSwitches() {
    AddSwitches(kSwitches);
    ASSERT_TRUE(Start());
    ASSERT_EQ(Grid().RowCount(), kSwitches);
    ASSERT_EQ(m_messages->count(), 0u);  // every switch answered in time
    // Nearly twice the size: pages fill sooner, and the columns take two pages across.
    Doc()->GetSwitchView()->PrintInfo().m_percent = 180;
  }
  // Clicks an item of the File menu as the user does.
  void ClickFileMenuItem(const QString& text) {
    auto* bar = qobject_cast<QMainWindow*>(Frame()->widget())->menuBar();
    ASSERT_NE(bar, nullptr);
    QMenu* file = bar->actions().value(0) ? bar->actions()[0]->menu() : nullptr;
    ASSERT_NE(file, nullptr);
    for (QAction* a : file->actions())
      if (a->text().startsWith(text)) {
        ASSERT_TRUE(a->isEnabled());
        a->trigger();
        Drain();
        return;
      }
    FAIL() << text.toStdString();
  }
  void AddSwitches(int n) {
    for (int i = 1; i <= n; ++i)
      AddSwitch(static_cast<std::uint8_t>(i), fw::FormatText("Unit %02d", i));
  }

  static constexpr int kSwitches = 30;
  // A4 at 180 % within margins of 25 mm: 24 rows below the headings.
  static constexpr int kRowsPerPortraitPage = 24;
  CPdfPrintService m_print{m_dir};
};

TEST_F(MonitorPrint, TheMenusPrintPrintsTheListPageByPageWithItsHeadings) {
  StartWithSwitches();
  EXPECT_TRUE(Enabled(ID_FILE_PRINT));

  // The user cancels the print dialog: nothing is printed.
  m_print.choose = false;
  ClickFileMenuItem("&Print...");
  EXPECT_EQ(m_print.chosen, 1);
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("chosen.pdf")));

  m_print.choose = true;
  ClickFileMenuItem("&Print...");
  EXPECT_EQ(m_print.chosen, 2);
  // Two pages down, each of them two pages across: names and models on the
  // first of a pair, MAC addresses and revisions on the second.
  const std::vector<std::string> pages = Pages(m_dir.file("chosen.pdf"));
  ASSERT_EQ(pages.size(), 4u);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const bool left = i % 2 == 0;
    EXPECT_EQ(Count(pages[i], "Switch Name"), left ? 1 : 0) << i;
    EXPECT_EQ(Count(pages[i], "Switch Type"), left ? 1 : 0) << i;
    EXPECT_EQ(Count(pages[i], "MAC Address"), left ? 0 : 1) << i;
    EXPECT_EQ(Count(pages[i], "Firmware Revision"), left ? 0 : 1) << i;
    EXPECT_EQ(Count(pages[i], fw::FormatText("Page %d of 4", static_cast<int>(i) + 1)), 1) << i;
  }
  EXPECT_NE(pages[0].find(Cell(0, 0)), std::string::npos);
  EXPECT_NE(pages[1].find(Cell(2, 0)), std::string::npos);
  const int last = Grid().RowCount() - 1;
  EXPECT_NE(pages[2].find(Cell(0, last)), std::string::npos);
  EXPECT_NE(pages[3].find(Cell(2, last)), std::string::npos);
  EXPECT_EQ(Count(pages[1], "02:4B:33:"), kRowsPerPortraitPage);
  ExpectEveryRowOnce(pages);
  EXPECT_EQ(m_messages->count(), 0u);  // printing had nothing to say
}

// Ctrl+P typed while the list has the keyboard asks for the printer too.
TEST_F(MonitorPrint, CtrlPTypedInTheListOpensThePrintDialog) {
  StartWithSwitches();
  QWidget* cells = Grid().GetDlgItem(kGridCellAreaId)->widget();
  CRect r;
  ASSERT_EQ(Grid().GetCellRectangle(0, 1, r), kGridOk);
  QWindow* window = Frame()->widget()->windowHandle();
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                    cells->mapTo(Frame()->widget(), QPoint(r.left + 5, (r.top + r.bottom) / 2)));
  Drain();
  ASSERT_EQ(QApplication::focusWidget(), cells);
  m_print.choose = false;
  QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
  Drain();
  EXPECT_EQ(m_print.chosen, 1);
  EXPECT_EQ(Grid().GetCurrentRow(), 1);
}

TEST_F(MonitorPrint, PageSetUpDirectPrintAndPreviewShareOnePrinter) {
  StartWithSwitches();

  // Portrait first, straight on the printer: no dialog.
  Command(ID_FILE_PRINT_DIRECT);
  EXPECT_EQ(m_print.chosen, 0);
  EXPECT_EQ(Pages(m_dir.file("direct.pdf")).size(), 4u);

  // Landscape pages take every column across.
  Command(ID_FILE_PRINT_SETUP);
  EXPECT_EQ(m_print.setUps, 1);
  Command(ID_FILE_PRINT_DIRECT);
  const std::vector<std::string> landscape = Pages(m_dir.file("direct.pdf"));
  ASSERT_EQ(landscape.size(), 2u);
  for (const std::string& page : landscape) {
    EXPECT_EQ(Count(page, "Switch Name"), 1);
    EXPECT_EQ(Count(page, "Firmware Revision"), 1);
  }
  EXPECT_NE(landscape[1].find("Page 2 of 2"), std::string::npos);
  ExpectEveryRowOnce(landscape);

  // The preview shows the same pages.
  Command(ID_FILE_PRINT_PREVIEW);
  EXPECT_EQ(m_print.previews, 1);
  const std::vector<std::string> preview = Pages(m_dir.file("preview.pdf"));
  ASSERT_EQ(preview.size(), 2u);
  EXPECT_EQ(Count(preview[1], "Switch Name"), 1);
  ExpectEveryRowOnce(preview);
}

TEST_F(MonitorPrint, AnEmptyListPrintsOnePageOfHeadings) {
  ASSERT_TRUE(Start());
  ASSERT_EQ(Grid().RowCount(), 0);
  Command(ID_FILE_PRINT_DIRECT);
  const std::vector<std::string> pages = Pages(m_dir.file("direct.pdf"));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Switch Name"), std::string::npos);
  EXPECT_NE(pages[0].find("Page 1 of 1"), std::string::npos);
}

}  // namespace
}  // namespace fwtest
