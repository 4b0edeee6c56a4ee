// The editor's language. Its texts are the Japanese fixed texts; English comes from our
// translation (data/translations/sorvane_en.ts, built into the program), and Qt's own
// dialogs speak Japanese through Qt's qtbase_ja.qm. sorvane-cli is never translated.
#pragma once

namespace sorvane::app {

enum class UiLanguage { Japanese, English };

// SORVANE_LANG=ja or en when set; otherwise Japanese when the system's language is
// Japanese, else English.
UiLanguage ChooseUiLanguage();

// Installs the translations of `language` into the application, in place of any installed
// before. Call after the QApplication exists and before the windows are made.
void InstallTranslations(UiLanguage language);

}  // namespace sorvane::app
