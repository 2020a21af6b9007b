// listgen design: creates, edits or copies a saved list through the list
// wizard's model, step by step as the wizard would, for administrators who
// provision lists by script.
//
// The command line is the whole design: the switches (--prefilter,
// --hide-detail, --private) are off unless given, the grouping and
// displayed fields are exactly the ones given in their order, every
// aggregate not given is none (-1), and the list keeps exactly the
// conditions given (stored conditions of other fields are removed from the
// work copy). A condition is "FIELD=FLAGS", the flags of `listgen filter`
// for the field's own filter control (the catalogue decides its kind,
// column and caption): --from, --to, --relation, --period, --today, --not,
// --keywords, and --item (a key or a text of a pick list, ID=TEXT for a
// container).
//
// On success it prints the saved list's id. Otherwise it prints the
// collected messages and ends with exit code 1; the work copy is discarded,
// so no temporary list stays behind.

#include "command.h"

#include "catalogue/permissions.h"
#include "controls/listdesignmodel.h"
#include "filters/checkboxfiltermodel.h"
#include "filters/listboxfiltermodel.h"
#include "filters/querycontainermodel.h"
#include "filters/textfiltermodel.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>

using namespace Qt::StringLiterals;
using namespace lg::controls;

namespace lg::cli {
namespace {

const QStringList kRepeated = {u"group"_s, u"field"_s, u"aggregate"_s, u"condition"_s};
const QStringList kValueOptions = {u"db"_s,   u"user"_s, u"type"_s,        u"edit"_s,
                                   u"copy"_s, u"name"_s, u"description"_s, u"folder"_s};

// The values of the repeatable options, in order, read from the command
// line itself (the parsed arguments hold them as positional arguments).
QHash<QString, QStringList> repeatedValues(const Args& args)
{
    QHash<QString, QStringList> values;
    const QStringList arguments = QCoreApplication::arguments();
    qsizetype i = arguments.indexOf(u"design"_s);
    qsizetype taken = 0;
    for (++i; i > 0 && i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!a.startsWith(u"--"_s))
            continue;
        const QString name = a.mid(2);
        if (kRepeated.contains(name)) {
            if (i + 1 >= arguments.size())
                throw UsageError{QStringLiteral("--%1 needs a value").arg(name)};
            values[name].append(arguments.at(++i));
            ++taken;
        } else if (kValueOptions.contains(name)) {
            ++i;
        }
    }
    if (taken != args.positional().size())
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(args.positional().value(0))};
    return values;
}

long wholeNumber(const QString& text, const QString& what)
{
    bool ok = false;
    const long n = text.trimmed().toLong(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("%1 takes a whole number, not \"%2\"").arg(what, text)};
    return n;
}

// FIELD=REST
std::pair<long, QString> fieldAndRest(const QString& value, const QString& option)
{
    const qsizetype eq = value.indexOf(u'=');
    if (eq <= 0)
        throw UsageError{QStringLiteral("--%1 takes FIELD=…, not \"%2\"").arg(option, value)};
    return {wholeNumber(value.left(eq), u"--"_s + option), value.mid(eq + 1)};
}

struct Failure {
    QString message;
};

void typeInto(filters::TypedInput* input, const QString& option, const QString& text)
{
    input->setText(text);
    if (!input->canLeave())
        throw UsageError{QStringLiteral("%1 \"%2\" is refused by the field's filter").arg(option, text)};
    input->leave();
}

// Applies `listgen filter`'s flags to the filter of the field being edited.
void applyFlags(filters::QueryFilter& filter, long field, const QString& flagText)
{
    const QStringList words = QProcess::splitCommand(flagText);
    auto* text = dynamic_cast<filters::TextFilterModel*>(&filter);
    auto* check = dynamic_cast<filters::CheckBoxFilterModel*>(&filter);
    auto* list = dynamic_cast<filters::ListBoxFilterModel*>(&filter);
    auto* container = dynamic_cast<filters::QueryContainerModel*>(&filter);
    const QString where = QStringLiteral("--condition %1: ").arg(field);
    auto refuse = [&](const QString& flag) {
        throw UsageError{where + QStringLiteral("%1 does not apply to this field's filter").arg(flag)};
    };
    filter.setActive(true);
    if (list)
        for (int i = 0; i < list->count(); ++i)
            list->setSelected(i, false);
    std::optional<QString> from, to, period;
    std::optional<long> relation;
    bool negate = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words.at(i);
        auto value = [&]() -> QString {
            if (i + 1 >= words.size())
                throw UsageError{where + w + u" needs a value"_s};
            return words.at(++i);
        };
        if (w == u"--from"_s) {
            if (!text)
                refuse(w);
            from = value();
        } else if (w == u"--to"_s) {
            if (!text)
                refuse(w);
            to = value();
        } else if (w == u"--relation"_s) {
            if (!text)
                refuse(w);
            relation = wholeNumber(value(), where + w);
        } else if (w == u"--period"_s) {
            if (!text)
                refuse(w);
            period = value();
        } else if (w == u"--today"_s) {
            if (!text)
                refuse(w);
            const QString v = value();
            const QDate today = QDate::fromString(v, u"yyyy-MM-dd"_s);
            if (!today.isValid())
                throw UsageError{where + QStringLiteral("--today takes YYYY-MM-DD, not \"%1\"").arg(v)};
            text->setTodayProvider([today] { return today; });
        } else if (w == u"--not"_s) {
            if (!text && !check)
                refuse(w);
            negate = true;
        } else if (w == u"--keywords"_s) {
            if (!text)
                refuse(w);
            text->setKeyWordsFind(true);
        } else if (w == u"--item"_s) {
            const QString v = value();
            if (list) {
                bool isNumber = false;
                const qint32 id = v.toInt(&isNumber);
                bool found = isNumber && list->selectItem(id);
                if (found) {
                    list->setSelected(list->currentIndex(), true);
                } else {
                    for (int k = 0; k < list->count() && !found; ++k) {
                        list->setCurrentIndex(k);
                        if (list->filterText() == v) {
                            list->setSelected(k, true);
                            found = true;
                        }
                    }
                }
                if (!found)
                    throw UsageError{where + QStringLiteral("the pick list has no item \"%1\"").arg(v)};
            } else if (container) {
                const qsizetype eq = v.indexOf(u'=');
                if (eq <= 0)
                    throw UsageError{where + QStringLiteral("--item takes ID=TEXT here, not \"%1\"").arg(v)};
                container->addFilterItem(v.mid(eq + 1), qint32(wholeNumber(v.left(eq), where + u"--item"_s)));
            } else {
                refuse(w);
            }
        } else {
            throw UsageError{where + QStringLiteral("unknown or misplaced flag \"%1\"").arg(w)};
        }
    }
    if (text) {
        if (from)
            typeInto(text->input1(), where + u"--from"_s, *from);
        if (to)
            typeInto(text->input2(), where + u"--to"_s, *to);
        if (relation) {
            if (*relation < filters::TextFilterModel::Like || *relation > filters::TextFilterModel::LessEqual)
                throw UsageError{where + QStringLiteral("--relation takes a code from 0 to 6, not %1").arg(*relation)};
            // The comparisons (2-6) are offered for text fields only; elsewhere
            // they would be dropped silently and the condition would say "=".
            if (*relation >= filters::TextFilterModel::Equal && !text->relationListVisible())
                throw UsageError{where + QStringLiteral("--relation %1 needs a text field; this field's filter offers only 0 and 1").arg(*relation)};
            text->setRelationListItemData(int(*relation));
        }
        if (period) {
            bool ok = false;
            const int code = period->toInt(&ok);
            if (!ok || !text->applyPeriod(code))
                throw UsageError{where + QStringLiteral("the field's filter has no period \"%1\"").arg(*period)};
        }
        if (negate)
            text->setNotPictureValue(1);
    }
    if (check && negate)
        check->setNotPictureValue(1);
    if (container && container->currentIndex() < 0)
        container->selectFirstFilterItem();
    filter.build();
}

QString collectedErrors()
{
    QString out;
    for (const auto& e : ctx().currentErrors())
        out += e->description() + u'\n';
    ctx().currentErrors().Clear();
    return out;
}

void step(ListDesignModel& model, const char* what)
{
    if (!model.move(1))
        throw Failure{QString::fromUtf8(what)};
}

int runDesign(const Args& args)
{
    const QHash<QString, QStringList> repeated = repeatedValues(args);
    const QString path = args.required(u"db"_s);
    const long userId = wholeNumber(args.required(u"user"_s), u"--user"_s);
    const int modes = int(args.has(u"new"_s)) + int(args.has(u"edit"_s)) + int(args.has(u"copy"_s));
    if (modes != 1)
        throw UsageError{u"give exactly one of --new --type ID, --edit LIST, --copy LIST"_s};
    if (args.has(u"new"_s) != args.has(u"type"_s))
        throw UsageError{u"--new and --type go together"_s};
    const QString name = args.required(u"name"_s);
    if (!QFileInfo(path).isFile())
        throw UsageError{QStringLiteral("no database file \"%1\"").arg(path)};

    QList<long> groups, fields;
    for (const QString& v : repeated.value(u"group"_s))
        groups << wholeNumber(v, u"--group"_s);
    for (const QString& v : repeated.value(u"field"_s))
        fields << wholeNumber(v, u"--field"_s);
    QList<std::pair<long, QList<long>>> aggregates;
    for (const QString& v : repeated.value(u"aggregate"_s)) {
        auto [field, rest] = fieldAndRest(v, u"aggregate"_s);
        QList<long> codes;
        for (const QString& c : rest.split(u','))
            codes << wholeNumber(c, u"--aggregate"_s);
        aggregates.append({field, codes});
    }
    QList<std::pair<long, QString>> conditions;
    for (const QString& v : repeated.value(u"condition"_s))
        conditions.append(fieldAndRest(v, u"condition"_s));

    ctx().database = dao::Database::open(path);
    ctx().userId = userId;
    if (!catalogue::UserExists(userId)) {
        printErr(QStringLiteral("listgen design: there is no user %1\n").arg(userId));
        return 1;
    }
    const QString folder = args.value(u"folder"_s, QFileInfo(path).absolutePath());

    FilterModelConditionSource source;
    ListDesignModel model;
    model.setUserID(userId);
    model.setModulID(-1);
    model.setReportFolderPath(folder);
    model.setTableFieldNameCompletteOnUI(true);
    model.setTableFieldNameCompletteOnReport(true);
    model.setConditionSource(&source);
    model.setAuthenticAllReport(true);  // administrators provision any list they may edit
    long sourceList = -1;
    if (args.has(u"edit"_s))
        sourceList = wholeNumber(*args.value(u"edit"_s), u"--edit"_s);
    if (args.has(u"copy"_s))
        sourceList = wholeNumber(*args.value(u"copy"_s), u"--copy"_s);
    model.setCurrentItemID(sourceList);

    try {
        if (!model.Initialize())
            throw Failure{u"the wizard cannot start"_s};
        if (args.has(u"new"_s)) {
            const long type = wholeNumber(*args.value(u"type"_s), u"--type"_s);
            bool allowed = false;
            for (const DesignChoice& c : model.listTypes())
                allowed = allowed || c.id == type;
            if (!allowed)
                throw Failure{QStringLiteral("user %1 may not design lists of type %2").arg(userId).arg(type)};
            model.setMode(DesignMode::New);
            model.chooseListType(type);
        } else {
            if (model.selectedReportId() != sourceList)
                throw Failure{QStringLiteral("user %1 may not edit or copy list %2").arg(userId).arg(sourceList)};
            const DesignMode mode = args.has(u"edit"_s) ? DesignMode::Edit : DesignMode::Copy;
            if (!model.setMode(mode))
                throw Failure{QStringLiteral("list %1 belongs to another user: it can only be copied").arg(sourceList)};
        }
        model.setName(name);
        model.setDescription(args.value(u"description"_s, QString()));
        model.setFilterForm(args.has(u"prefilter"_s));
        model.setDetailInvisible(args.has(u"hide-detail"_s));
        model.setPrivateReport(args.has(u"private"_s));
        step(model, "step 1");

        if (!model.setChosenFields(FieldPage::Group, groups))
            throw Failure{u"grouping fields"_s};
        step(model, "grouping fields");
        if (!model.setChosenFields(FieldPage::Visible, fields))
            throw Failure{u"displayed fields"_s};
        step(model, "displayed fields");

        const AggregateGrid& grid = model.aggregateGrid();
        for (int row = 1; row < grid.rowCount(); ++row)
            for (int column = 1; column < grid.columnCount(); ++column)
                model.chooseAggregate(row, column, -1);
        for (const auto& [field, codes] : aggregates) {
            if (!model.setFieldAggregates(field, codes))
                throw Failure{u"aggregates"_s};
        }
        step(model, "aggregates");

        // Stored conditions of fields not given are unticked (and so removed).
        QList<long> given;
        for (const auto& c : conditions)
            given << c.first;
        if (given.size() != QSet<long>(given.begin(), given.end()).size())
            throw UsageError{u"--condition names a field twice"_s};
        QList<long> stored;
        for (const auto& w : model.listReport()->ReportWheres())
            stored << w->table_field_id();
        for (long field : stored) {
            if (given.contains(field))
                continue;
            if (!model.InitCurrentFilterControl(field) || !source.filter())
                throw Failure{QStringLiteral("the stored condition of field %1").arg(field)};
            source.filter()->setActive(false);
        }
        for (const auto& [field, flagText] : conditions) {
            bool offered = false;
            for (const FreeFieldRow& row : model.whereFields())
                offered = offered || row.fieldId == field;
            if (!offered)
                throw Failure{QStringLiteral("field %1 cannot be filtered in this list type").arg(field)};
            if (!model.InitCurrentFilterControl(field) || !source.filter())
                throw Failure{QStringLiteral("the filter of field %1").arg(field)};
            applyFlags(*source.filter(), field, flagText);
            if (!source.filter()->isActive() || source.filter()->queryResultSQL().trimmed().isEmpty())
                throw Failure{QStringLiteral("--condition %1 gives no condition").arg(field)};
        }
        step(model, "final save");
    } catch (const Failure& f) {
        QString messages = collectedErrors();
        if (messages.isEmpty())
            messages = f.message + u'\n';
        model.Exit();
        printErr(u"listgen design: "_s + messages);
        return 1;
    }
    printOut(QString::number(model.CurrentItemID()) + u'\n');
    return 0;
}

}  // namespace

static RegisterCommand reg{
    {"design",
     "--db FILE --user ID (--new --type ID | --edit LIST | --copy LIST) --name TEXT [--description TEXT] "
     "[--prefilter] [--hide-detail] [--private] [--group FIELD]... [--field FIELD]... "
     "[--aggregate FIELD=A1,...,TOTAL]... [--condition \"FIELD=FILTER-FLAGS\"]... [--folder DIR]",
     "designs a list through the list wizard's steps and prints the saved list's id; the command line is the "
     "whole design (switches not given are off, aggregates not given are none, conditions not given are removed)",
     false,
     &runDesign,
     {u"new"_s, u"prefilter"_s, u"hide-detail"_s, u"private"_s, u"group"_s, u"field"_s, u"aggregate"_s,
      u"condition"_s},
     nullptr,
     kValueOptions,
     true}};

}  // namespace lg::cli
