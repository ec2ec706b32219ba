// Qt's own texts (the buttons of message boxes, the file, print and page
// setup dialogs) in the program's language, from Qt's translation catalogs.
#pragma once

#include <QString>

namespace fw {

class CResourceBundle;

// The Qt catalog of a bundle's language ("qtbase_de"), by the language its
// version block names; empty for English, for none and for a language Qt's
// catalogs are not looked up for.
QString QtCatalogFor(const CResourceBundle* bundle);

// Replaces the Qt catalog in use with the named one from folder (empty: none).
// False when it is not found there: Qt's texts are then English.
bool UseQtCatalog(const QString& catalog, const QString& folder);

// From now on Qt's texts follow the current resources, starting with the
// bundle current now; catalogs come from Qt's translations folder.
void FollowProgramLanguage();

}  // namespace fw
