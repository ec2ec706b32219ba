// Qt's own texts from its catalogs: a catalog that is not found leaves them
// English, not in the language loaded before.
#include "platform/gui/qttranslations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLibraryInfo>
#include <QMessageBox>

namespace {

QString YesButton() {
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  return box.button(QMessageBox::Yes)->text().remove('&');
}

TEST(QtCatalog, AMissingCatalogLeavesQtsTextsEnglish) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  ASSERT_TRUE(fw::UseQtCatalog("qtbase_de", folder))
      << "no German catalog in " << folder.toStdString();
  EXPECT_EQ(YesButton(), "Ja");
  EXPECT_FALSE(fw::UseQtCatalog("qtbase_fr", "/nonexistent"));
  EXPECT_EQ(YesButton(), "Yes");
  EXPECT_TRUE(fw::UseQtCatalog({}, folder));
  EXPECT_EQ(YesButton(), "Yes");
}

}  // namespace
