// The string table: every text the user sees, by number, in English, German or
// Dutch. The tables are compiled into the program from resources/strings/.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace murlen {

enum class Language { English, German, Dutch };

// The language of this run: German for a German user, Dutch for a Dutch one,
// English for everybody else. Read from the user's locale as Qt reads it
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), unless a test has forced one.
Language CurrentLanguage();

// The language for a list of user interface languages, most preferred first
// (as QLocale::uiLanguages() gives them): the first entry decides.
Language LanguageFor(const QStringList& uiLanguages);

// Forces a language for the rest of the run (tests); nothing = follow the locale.
void ForceLanguage(std::optional<Language> language);

// The text of entry `id` in the current language. An id that the table does not
// hold gives an empty text (and trips an assertion in debug builds).
QString LoadResString(int id);

// The same, in a given language.
QString ResString(Language language, int id);

// Ids the table of `language` holds, in increasing order.
QList<int> ResStringIds(Language language);

// Puts Qt's own texts (the buttons of message boxes, the file and print
// dialogs, the names of shortcut keys) into the current language, in place of
// any language installed before. Needs a QCoreApplication.
void InstallQtTranslations();

}  // namespace murlen
