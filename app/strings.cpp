#include "app/strings.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>
#include <array>

namespace murlen {
namespace {

std::optional<Language> forcedLanguage;

using Table = QHash<int, QString>;

// One entry a line: the number, a blank, and the text between the first and the
// last double quote of the line. '#' starts a comment line.
Table ParseTable(const QString& text) {
    Table table;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#'))) continue;
        const qsizetype open = line.indexOf(QLatin1Char('"'));
        const qsizetype close = line.lastIndexOf(QLatin1Char('"'));
        if (open < 0 || close <= open) continue;
        bool isNumber = false;
        const int id = line.left(open).trimmed().toInt(&isNumber);
        if (isNumber) table.insert(id, line.mid(open + 1, close - open - 1));
    }
    return table;
}

const Table& TableOf(Language language) {
    static const std::array<Table, 3> tables = [] {
        const auto load = [](const char* resource) {
            QFile file(QString::fromLatin1(resource));
            if (!file.open(QIODevice::ReadOnly)) return Table{};
            return ParseTable(QString::fromUtf8(file.readAll()));
        };
        return std::array<Table, 3>{load(":/strings/en.txt"), load(":/strings/de.txt"),
                                    load(":/strings/nl.txt")};
    }();
    return tables[std::size_t(language)];
}

}  // namespace

Language LanguageFor(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) return Language::English;
    const QLocale first(uiLanguages.first());
    switch (first.language()) {
    case QLocale::German: return Language::German;
    case QLocale::Dutch: return Language::Dutch;
    default: return Language::English;
    }
}

Language CurrentLanguage() {
    if (forcedLanguage) return *forcedLanguage;
    return LanguageFor(QLocale::system().uiLanguages());
}

void ForceLanguage(std::optional<Language> language) { forcedLanguage = language; }

QString ResString(Language language, int id) {
    const Table& table = TableOf(language);
    Q_ASSERT_X(table.contains(id), "ResString", "no such string id");
    return table.value(id);
}

QString LoadResString(int id) { return ResString(CurrentLanguage(), id); }

void InstallQtTranslations() {
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    static const char* const kLocales[] = {"en", "de", "nl"};
    const Language language = CurrentLanguage();
    if (language == Language::English) return;  // Qt's own language
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QString::fromLatin1(kLocales[int(language)])), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator)) {
        installed = translator;
    } else {
        delete translator;  // not installed on this system: Qt's texts stay English
    }
}

QList<int> ResStringIds(Language language) {
    QList<int> ids = TableOf(language).keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace murlen
