// listgen quickpick --db FILE --id N [--search-field F] [--filter COND] TEXT...:
// checks a quick-pick definition without a host form. Each TEXT is the
// box's content after one more keystroke (a TEXT shorter than the one before
// it counts as a Backspace, so its search is exact); one line per TEXT:
// the found ID, the completed text and the result text, tab-separated.
// --filter is the control's CustomRecordFilter: it narrows the browse
// window, not the search, and is shown on standard error with the browse
// filter it makes.

#include "command.h"

#include "filters/quickpick.h"
#include "platform/dao/dao.h"

#include <QtCore/QFileInfo>

using namespace Qt::StringLiterals;
using namespace lg::filters;

namespace lg::cli {
namespace {

const QString kNotFound = u"<nem talált>"_s;

int fail(const QString& message)
{
    printErr(u"listgen quickpick: "_s + message + u'\n');
    return 1;
}

// Tabs and line breaks of a stored value would break the line format.
QString cell(QString text)
{
    text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    return text;
}

int runQuickPick(const Args& args)
{
    const auto path = args.value(u"db"_s);
    if (!path || path->isEmpty())
        return fail(u"--db FILE is required"_s);
    const auto idText = args.value(u"id"_s);
    if (!idText)
        return fail(u"--id N is required"_s);
    bool ok = false;
    const int id = idText->trimmed().toInt(&ok);
    if (!ok)
        return fail(QStringLiteral("--id takes a whole number, not \"%1\"").arg(*idText));
    if (args.positional().isEmpty())
        return fail(u"no TEXT given"_s);
    if (!dao::Database::exists(*path))
        return fail(QStringLiteral("no database file \"%1\"").arg(*path));

    auto db = dao::Database::open(*path);
    if (!db->hasTable(u"vlq_quickpick"_s) || !db->hasTable(u"vlq_quickpick_field"_s))
        return fail(QStringLiteral("\"%1\" holds no quick-pick definitions (vlq_quickpick)").arg(*path));
    QuickPickSearch search;
    if (!search.initialize(db, id))
        return fail(QStringLiteral("definition %1 cannot be read: %2").arg(id).arg(search.error()));
    if (!search.definition().found)
        return fail(QStringLiteral("no quick-pick definition with id %1").arg(id));
    if (search.fieldCount() == 0)
        return fail(QStringLiteral("quick-pick definition %1 has no search fields").arg(id));
    if (!search.isInitialized())
        return fail(QStringLiteral("quick-pick definition %1 names no table").arg(id));
    if (const auto field = args.value(u"search-field"_s); field && !search.setSearchField(*field)) {
        QStringList known;
        for (const QuickPickField& f : search.definition().fields)
            known << f.searchField;
        return fail(QStringLiteral("definition %1 has no search field \"%2\" (it has: %3)")
                        .arg(id)
                        .arg(*field, known.join(u", "_s)));
    }
    if (const auto filter = args.value(u"filter"_s)) {
        const QuickPickDefinition& def = search.definition();
        QString browse;
        if (!def.useWhereInBrowse)
            browse = filter->isEmpty() ? u" (TRUE) "_s : *filter;
        else if (!def.browseWhereClause.isEmpty() && !filter->isEmpty())
            browse = def.browseWhereClause + u" AND "_s + *filter;
        else
            browse = !def.browseWhereClause.isEmpty() ? def.browseWhereClause
                                                      : (filter->isEmpty() ? u" (TRUE) "_s : *filter);
        printErr(u"browse filter: "_s + u' ' + browse + u' ' + u'\n');
    }

    QString out;
    QString previous;
    for (const QString& text : args.positional()) {
        const bool backspace = text.size() < previous.size();
        previous = text;
        if (text.trimmed().isEmpty()) {
            out += u"-1\t\t"_s + kNotFound + u'\n';
            continue;
        }
        const QuickPickHit hit = search.search(text, search.isExact(text, backspace));
        if (hit.found)
            out += QString::number(hit.id) + u'\t' + cell(hit.text) + u'\t' + cell(hit.result) + u'\n';
        else
            out += u"-1\t"_s + cell(text) + u'\t' + kNotFound + u'\n';
    }
    printOut(out);
    return 0;
}

}  // namespace

static RegisterCommand reg{
    {"quickpick",
     "--db FILE --id N [--search-field F] [--filter COND] TEXT...",
     "types each TEXT into a quick pick (a shorter TEXT counts as a Backspace) and prints the found ID, the "
     "completed text and the result text, tab-separated, one line per TEXT",
     false,
     &runQuickPick,
     {},
     nullptr,
     {u"db"_s, u"id"_s, u"search-field"_s, u"filter"_s},
     true}};

}  // namespace lg::cli
