#include "platform/gui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QThread>
#include <QTranslator>
#include <memory>

#include "platform/resourcebundle.h"

namespace fw {

QString QtCatalogFor(const CResourceBundle* bundle) {
  const CVersionInfo* version = bundle ? bundle->FindVersionInfo(1) : nullptr;
  if (!version || version->translations.empty()) return {};
  // The primary language of the library's first translation.
  switch (version->translations.front().first & 0x3FF) {
    case 0x07: return QStringLiteral("qtbase_de");
    case 0x0C: return QStringLiteral("qtbase_fr");
    default: return {};
  }
}

bool UseQtCatalog(const QString& catalog, const QString& folder) {
  // Kept until replaced; still reachable at the end, as Qt expects of a translator.
  static QTranslator* current = nullptr;
  static QString currentName;
  if (current && catalog == currentName) return true;
  if (current) {
    QCoreApplication::removeTranslator(current);
    delete current;
    current = nullptr;
    currentName.clear();
  }
  if (catalog.isEmpty()) return true;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(catalog, folder)) return false;
  QCoreApplication::installTranslator(translator.get());
  current = translator.release();
  currentName = catalog;
  return true;
}

namespace {

void Follow(const CResourceBundle* bundle) {
  // Translators belong to the GUI thread.
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) return;
  UseQtCatalog(QtCatalogFor(bundle), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace

void FollowProgramLanguage() {
  SetResourcesChangedHandler(&Follow);
  Follow(CurrentResources());
}

}  // namespace fw
