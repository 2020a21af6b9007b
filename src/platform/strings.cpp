#include "strings.h"

#include <QtCore/QFile>
#include <QtCore/QStringList>

#include <atomic>

// Outside any namespace: the resource initialiser of a static library has to
// be pulled in explicitly or the linker drops it.
static void initStringResource()
{
    Q_INIT_RESOURCE(strings);
}

namespace lg {
namespace strings {

namespace {

// Reads the quoted text starting just after the opening quote at `pos`.
// Returns false for a missing closing quote or an unknown escape.
bool readQuoted(const QString& line, qsizetype pos, QString& text, QString& reason)
{
    text.clear();
    for (qsizetype i = pos; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"')) {
            for (qsizetype j = i + 1; j < line.size(); ++j) {
                if (!line.at(j).isSpace()) {
                    reason = QStringLiteral("text after the closing quote");
                    return false;
                }
            }
            return true;
        }
        if (c != QLatin1Char('\\')) {
            text += c;
            continue;
        }
        if (++i >= line.size())
            break;
        switch (line.at(i).unicode()) {
        case '"':
            text += QLatin1Char('"');
            break;
        case '\\':
            text += QLatin1Char('\\');
            break;
        case 'n':
            text += QLatin1Char('\n');
            break;
        case 'r':
            text += QLatin1Char('\r');
            break;
        case 't':
            text += QLatin1Char('\t');
            break;
        default:
            reason = QStringLiteral("unknown escape \\") + line.at(i);
            return false;
        }
    }
    reason = QStringLiteral("missing closing quote");
    return false;
}

}  // namespace

QHash<int, QString> parseTable(const QString& source, QStringList* problems)
{
    QHash<int, QString> table;
    const QStringList lines = source.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;

        auto problem = [&](const QString& reason) {
            if (problems)
                problems->append(QStringLiteral("line %1: %2").arg(n + 1).arg(reason));
        };

        const qsizetype quote = line.indexOf(QLatin1Char('"'));
        if (quote < 0) {
            problem(QStringLiteral("no quoted text"));
            continue;
        }
        bool ok = false;
        const int id = line.left(quote).trimmed().toInt(&ok);
        if (!ok) {
            problem(QStringLiteral("no numeric id before the text"));
            continue;
        }
        QString text;
        QString reason;
        if (!readQuoted(line, quote + 1, text, reason)) {
            problem(reason);
            continue;
        }
        if (table.contains(id)) {
            problem(QStringLiteral("id %1 appears twice").arg(id));
            continue;
        }
        table.insert(id, text);
    }
    return table;
}

}  // namespace strings

namespace {

QHash<int, QString> loadTable(const QString& resource)
{
    initStringResource();
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("string table: cannot read %s", qPrintable(resource));
        return QHash<int, QString>();
    }
    QStringList problems;
    auto parsed = strings::parseTable(QString::fromUtf8(file.readAll()), &problems);
    for (const QString& p : problems)
        qWarning("string table %s: %s", qPrintable(resource), qPrintable(p));
    return parsed;
}

std::atomic<UiLanguage> chosenLanguage{UiLanguage::Hungarian};

}  // namespace

const QHash<int, QString>& strings::table(UiLanguage language)
{
    static const QHash<int, QString> hungarian = loadTable(QStringLiteral(":/listgen/strings.txt"));
    static const QHash<int, QString> english = loadTable(QStringLiteral(":/listgen/strings.en.txt"));
    return language == UiLanguage::English ? english : hungarian;
}

void setUiLanguage(UiLanguage language)
{
    chosenLanguage.store(language, std::memory_order_relaxed);
}

UiLanguage uiLanguage()
{
    return chosenLanguage.load(std::memory_order_relaxed);
}

QString LoadResString(int id)
{
    const UiLanguage language = uiLanguage();
    if (language != UiLanguage::Hungarian) {
        const auto& chosen = strings::table(language);
        const auto it = chosen.constFind(id);
        if (it != chosen.constEnd())
            return *it;
    }
    return strings::table(UiLanguage::Hungarian).value(id);
}

QString LibraryTitle()
{
    return LoadResString(100);
}

}  // namespace lg
