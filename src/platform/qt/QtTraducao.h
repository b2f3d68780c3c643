// Qt's own Brazilian Portuguese texts for what Qt draws itself (the file dialogs, the standard
// buttons, the edit menus), from the qtbase translations of Debian's qt6-translations-l10n.
#pragma once

class QCoreApplication;

namespace platform {

// Installs the translations into the application; false when they are not installed on this
// machine (Qt then shows its English texts).
bool installQtTranslations(QCoreApplication& application);

}  // namespace platform
