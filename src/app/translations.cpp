#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>
#include <cstring>

namespace sorvane::app {
namespace {

// The translators installed here are children of the application with this name.
constexpr char kTranslatorName[] = "SorvaneTranslator";

void Load(const QString& file, const QString& folder) {
  auto* translator = new QTranslator(QCoreApplication::instance());
  translator->setObjectName(QString::fromLatin1(kTranslatorName));
  if (translator->load(file, folder))
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
}

}  // namespace

UiLanguage ChooseUiLanguage() {
  if (const char* forced = std::getenv("SORVANE_LANG")) {
    if (std::strcmp(forced, "ja") == 0) return UiLanguage::Japanese;
    if (std::strcmp(forced, "en") == 0) return UiLanguage::English;
  }
  return QLocale::system().language() == QLocale::Japanese ? UiLanguage::Japanese
                                                           : UiLanguage::English;
}

void InstallTranslations(UiLanguage language) {
  QCoreApplication* application = QCoreApplication::instance();
  for (QTranslator* old : application->findChildren<QTranslator*>(
           QString::fromLatin1(kTranslatorName), Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  if (language == UiLanguage::Japanese)
    Load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  else
    Load(QStringLiteral("sorvane_en"), QStringLiteral(":/i18n"));
}

}  // namespace sorvane::app
