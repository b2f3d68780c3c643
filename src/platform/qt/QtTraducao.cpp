#include "platform/qt/QtTraducao.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

// Loads qtbase_pt_BR from Qt's translation folder; the translator belongs to the application.
bool installQtTranslations(QCoreApplication& application) {
  auto* traducao = new QTranslator(&application);
  if (!traducao->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete traducao;
    return false;
  }
  return QCoreApplication::installTranslator(traducao);
}

}  // namespace platform
