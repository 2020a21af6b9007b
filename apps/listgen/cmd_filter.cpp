// listgen filter: the results of one query filter, exactly as its control
// builds them, for hosts that want to see or reuse a condition.
//
// The filter is made of its kind, its input type is set (which shows or
// hides the relation and quick-fill lists), its activation box is ticked,
// and then the options are applied in a fixed order, whatever their order
// on the command line: --field, --caption, --relation-list, --negation,
// --input2, --like-char, --keywords, --checked-value, --today, --from, --to,
// --relation, --period, --not, --item.

#include "command.h"

#include "filters/checkboxfiltermodel.h"
#include "filters/dateperiods.h"
#include "filters/keywordexpression.h"
#include "filters/listboxfiltermodel.h"
#include "filters/textfiltermodel.h"

#include <QtCore/QCoreApplication>

#include <memory>

using namespace Qt::StringLiterals;
using namespace lg::filters;

namespace lg::cli {
namespace {

bool yesNo(const Args& args, const QString& name, bool fallback)
{
    const auto v = args.value(name);
    if (!v)
        return fallback;
    if (*v == u"yes"_s)
        return true;
    if (*v == u"no"_s)
        return false;
    throw UsageError{QStringLiteral("--%1 takes yes or no, not \"%2\"").arg(name, *v)};
}

bool hasControlCharacter(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

// A period code as a number (0 to 13) or as its entry's letter (A to D).
std::optional<int> periodCode(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        return n;
    if (text.size() == 1 && text.at(0).toUpper() >= u'A' && text.at(0).toUpper() <= u'D')
        return 10 + (text.at(0).toUpper().unicode() - u'A');
    return std::nullopt;
}

void typeInto(TypedInput* input, const QString& option, const QString& text)
{
    input->setText(text);
    if (!input->canLeave()) {
        QString why;
        if (input->isNumber())
            why = u"is not a number"_s;
        else if (TypedInput::parseDate(text))
            why = QStringLiteral("is outside %1 to %2")
                      .arg(input->minDate().toString(u"yyyy-MM-dd"_s), input->maxDate().toString(u"yyyy-MM-dd"_s));
        else
            why = u"is not a date"_s;
        throw UsageError{QStringLiteral("--%1 \"%2\" %3").arg(option, text, why)};
    }
    input->leave();
}

const QStringList kValueOptions = {u"kind"_s,     u"field"_s, u"caption"_s, u"relation-list"_s, u"negation"_s,
                                   u"input2"_s,   u"like-char"_s, u"checked-value"_s, u"today"_s, u"from"_s,
                                   u"to"_s,       u"relation"_s,  u"period"_s};

// The values of the repeatable --item, in order: each is the argument that
// follows it. The parsed arguments hold them as positional arguments; the
// command line itself tells which ones they are.
QStringList itemValues()
{
    const QStringList arguments = QCoreApplication::arguments();
    QStringList items;
    qsizetype i = arguments.indexOf(u"filter"_s);
    if (i < 0)
        return items;
    for (++i; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!a.startsWith(u"--"_s))
            continue;
        const QString name = a.mid(2);
        if (name == u"item"_s) {
            if (i + 1 >= arguments.size())
                throw UsageError{u"--item needs a value, [ID=]TEXT"_s};
            items.append(arguments.at(++i));
        } else if (kValueOptions.contains(name)) {
            ++i;  // its value
        }
    }
    return items;
}

int runFilter(const Args& args)
{
    if (!args.positional().isEmpty() && !args.has(u"item"_s))
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(args.positional().first())};

    static const QStringList textOptions = {u"field"_s,     u"caption"_s, u"checked-value"_s, u"from"_s,
                                            u"to"_s,        u"like-char"_s};
    for (const QString& name : textOptions) {
        if (const auto v = args.value(name); v && hasControlCharacter(*v))
            throw UsageError{QStringLiteral("--%1 holds a control character").arg(name)};
    }

    const QString kind = args.required(u"kind"_s);
    static const QHash<QString, int> textKinds = {{u"text"_s, TypedInput::TextInput},
                                                  {u"number"_s, TypedInput::NumberInput},
                                                  {u"date"_s, TypedInput::DateInput},
                                                  {u"date5"_s, TypedInput::DateInputExtended}};
    std::unique_ptr<QueryFilter> filter;
    TextFilterModel* text = nullptr;
    CheckBoxFilterModel* check = nullptr;
    ListBoxFilterModel* list = nullptr;
    if (textKinds.contains(kind)) {
        text = new TextFilterModel;
        filter.reset(text);
        text->setInputType(textKinds.value(kind));
    } else if (kind == u"check"_s) {
        check = new CheckBoxFilterModel;
        filter.reset(check);
    } else if (kind == u"list"_s || kind == u"textlist"_s) {
        list = new ListBoxFilterModel(kind == u"list"_s ? ListBoxFilterModel::Keys::Numeric
                                                        : ListBoxFilterModel::Keys::Text);
        filter.reset(list);
    } else {
        throw UsageError{QStringLiteral("--kind takes text, number, date, date5, check, list or textlist, not \"%1\"")
                             .arg(kind)};
    }

    // Options that belong to other kinds are refused rather than ignored.
    auto only = [&](const QString& name, bool allowed, const char* kinds) {
        if (args.has(name) && !allowed)
            throw UsageError{QStringLiteral("--%1 applies to %2 filters only").arg(name, QLatin1String(kinds))};
    };
    only(u"relation-list"_s, text, "text, number and date");
    only(u"negation"_s, text || check, "text, number, date and check");
    only(u"input2"_s, text, "text, number and date");
    only(u"like-char"_s, text, "text, number and date");
    only(u"keywords"_s, text, "text, number and date");
    only(u"checked-value"_s, check, "check");
    only(u"today"_s, text, "text, number and date");
    only(u"from"_s, text, "text, number and date");
    only(u"to"_s, text, "text, number and date");
    only(u"relation"_s, text, "text, number and date");
    only(u"period"_s, text, "date");
    only(u"not"_s, text || check, "text, number, date and check");
    only(u"item"_s, list, "list and textlist");

    filter->setActive(true);
    if (const auto v = args.value(u"field"_s))
        filter->setQueryField(*v);
    if (const auto v = args.value(u"caption"_s))
        filter->setQueryFieldDescription(*v);
    if (text) {
        text->setRelationListVisible(yesNo(args, u"relation-list"_s, text->relationListVisible()));
        text->setNotPictureVisible(yesNo(args, u"negation"_s, text->notPictureVisible()));
        text->setInput2Visible(yesNo(args, u"input2"_s, text->input2Visible()));
        if (const auto v = args.value(u"like-char"_s)) {
            if (v->isEmpty())
                throw UsageError{u"--like-char needs a character"_s};
            text->setLikeCharacter(*v);
        }
        if (args.has(u"keywords"_s))
            text->setKeyWordsFind(true);
    }
    if (check) {
        check->setNotPictureVisible(yesNo(args, u"negation"_s, check->notPictureVisible()));
        if (const auto v = args.value(u"checked-value"_s))
            check->setQueryFieldCheckedValue(*v);
    }
    if (text) {
        if (const auto v = args.value(u"today"_s)) {
            const QDate today = QDate::fromString(*v, u"yyyy-MM-dd"_s);
            if (!today.isValid())
                throw UsageError{QStringLiteral("--today takes a date as YYYY-MM-DD, not \"%1\"").arg(*v)};
            text->setTodayProvider([today] { return today; });
        }
        if (const auto v = args.value(u"from"_s)) {
            typeInto(text->input1(), u"from"_s, *v);
            if (text->keyWordsFind() && !text->relationListVisible() && !v->trimmed().isEmpty() &&
                KeywordExpression::normalise(KeywordExpression::scan(*v)).isEmpty())
                throw UsageError{QStringLiteral("--from \"%1\" is no keyword expression: it needs a word, and at most "
                                                "%2 words and %3 nested groups")
                                     .arg(v->left(40))
                                     .arg(KeywordExpression::kMaxWords)
                                     .arg(KeywordExpression::kMaxDepth)};
        }
        if (const auto v = args.value(u"to"_s))
            typeInto(text->input2(), u"to"_s, *v);
        if (const auto v = args.number(u"relation"_s)) {
            if (*v < TextFilterModel::Like || *v > TextFilterModel::LessEqual)
                throw UsageError{QStringLiteral("--relation takes a code from 0 to 6, not %1").arg(*v)};
            text->setRelationListItemData(int(*v));
        }
        if (const auto v = args.value(u"period"_s)) {
            const auto code = periodCode(*v);
            if (!code || !text->applyPeriod(*code)) {
                const QList<int> codes = DatePeriods::codesFor(text->inputType());
                throw UsageError{codes.isEmpty()
                                     ? QStringLiteral("--period applies to date filters only")
                                     : QStringLiteral("--kind %1 lists the period codes 0 to %2, not \"%3\"")
                                           .arg(kind)
                                           .arg(codes.last())
                                           .arg(*v)};
            }
        }
        if (args.has(u"not"_s))
            text->setNotPictureValue(1);
    }
    if (check && args.has(u"not"_s))
        check->setNotPictureValue(1);
    if (list) {
        const QStringList items = itemValues();
        if (items.size() != args.positional().size())
            throw UsageError{u"every --item needs one value, [ID=]TEXT"_s};
        int position = 0;
        for (const QString& item : items) {
            ++position;
            if (hasControlCharacter(item))
                throw UsageError{u"--item holds a control character"_s};
            qint32 id = position;
            QString itemText = item;
            const qsizetype eq = item.indexOf(u'=');
            if (eq > 0) {
                bool ok = false;
                const qint32 given = item.left(eq).toInt(&ok);
                if (ok) {
                    id = given;
                    itemText = item.mid(eq + 1);
                }
            }
            list->addFilterItem(itemText, id);
            list->setSelected(list->count() - 1, true);
        }
    }

    filter->build();
    QString out = filter->queryResultSQL() + u'\n' + filter->queryResultFilter() + u'\n' +
                  filter->queryResultDescription() + u'\n';
    if (list)
        out += filter->queryResultIDs() + u'\n';
    printOut(out);
    return 0;
}

}  // namespace

static RegisterCommand reg{
    {"filter",
     "--kind text|number|date|date5|check|list|textlist [--field EXPR] [--caption TEXT] [--relation-list yes|no] "
     "[--negation yes|no] [--input2 yes|no] [--like-char C] [--keywords] [--checked-value TEXT] "
     "[--today YYYY-MM-DD] [--from TEXT] [--to TEXT] [--relation 0-6] [--period CODE] [--not] "
     "[--item [ID=]TEXT ...]",
     "prints the condition one query filter builds: its SQL, its condition text, its description and, for the "
     "list kinds, the selected keys, one per line",
     false,
     &runFilter,
     {u"keywords"_s, u"not"_s, u"item"_s},
     nullptr,
     kValueOptions,
     true}};

}  // namespace lg::cli
