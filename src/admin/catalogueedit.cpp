#include "admin/catalogueedit.h"

#include <QtCore/QRegularExpression>

#include "platform/dao/dao.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/records.h"
#include "ui/browsestatement.h"

namespace lg::admin {

using namespace Qt::StringLiterals;

namespace {
QString s(int id) { return LoadResString(id); }
QString n(long v) { return QString::number(v); }
}  // namespace

QString jetText(const QString& text)
{
    QString doubled = text;
    doubled.replace(u'\'', u"''"_s);
    return u"'"_s + doubled + u"'"_s;
}

QString editorListTypesSql(long modulId)
{
    if (modulId >= 1)
        return u"select id,name from vlq_list_wizard_type as ty where modul_id="_s + n(modulId) +
               u" and ty.del_status=0 and ty.temp_status=0 order by name"_s;
    return u"select id,name from vlq_list_wizard_type as ty where ty.del_status=0 and ty.temp_status=0 order by name"_s;
}

QString editorTablesSql(long typeId)
{
    return u"select t.id as id, t.visible_name as visible_name "_s
           u"from vlq_list_wizard_table_type_connection as c "_s
           u"inner join vlq_list_wizard_table as t on (t.id = c.table_id) "_s
           u"where list_type_id="_s +
           n(typeId) +
           u" "_s
           u"and t.del_status=0 and t.temp_status=0 "_s
           u"and c.del_status=0 and c.temp_status=0 "_s
           u"order by t.visible_name "_s;
}

QString editorFieldsSql(long tableId)
{
    return u"select id, visible_name from vlq_list_wizard_table_field where table_id ="_s + n(tableId) +
           u" and del_status=0 and temp_status=0 order by visible_name"_s;
}

QString quickPickNameSql(long quickPickId)
{
    return u"select name from vlq_quickpick where id="_s + n(quickPickId);
}

QString defaultSearchFieldNameSql(long quickPickId, const QString& searchField)
{
    return u"select top 1 search_field_name from vlq_quickpick_field where quickpick_id="_s + n(quickPickId) +
           u" and search_field = "_s + jetText(searchField);
}

QString quickPicksSql() { return u"select id, name from vlq_quickpick order by name"_s; }

QString searchFieldsSql(long quickPickId)
{
    return u"select id, search_field_name from vlq_quickpick_field where quickpick_id="_s + n(quickPickId) +
           u" order by search_field_name"_s;
}

QString defaultSearchFieldIdSql(long quickPickId, const QString& searchField)
{
    return u"select top 1 id from vlq_quickpick_field where quickpick_id="_s + n(quickPickId) +
           u" and search_field = "_s + jetText(searchField);
}

QString fieldTypeText(long type)
{
    switch (type) {
    case 1:
    case 2: return s(30670);
    case 3: return s(30680);
    case 4: return s(30690);
    case 5: return s(30700);
    default: return s(30710);
    }
}

QString filterControlText(long control, bool filterable)
{
    switch (control) {
    case 1:
    case 2: return s(30720);
    case 3: return s(30730);
    case 4: return s(30740);
    case 5: return s(30750);
    case 6: return s(30760);
    case 7: return s(30770);
    default: return filterable ? s(30780) : s(30790);
    }
}

QString flagText(bool flag) { return flag ? s(30810) : s(30800); }

QList<Choice> fieldTypeChoices()
{
    return {{s(30670), 1}, {s(30680), 3}, {s(30690), 4}, {s(30700), 5}};
}

QList<Choice> filterControlChoices()
{
    return {{s(30720), 1}, {s(30730), 3}, {s(30740), 4}, {s(30750), 5}, {s(30760), 6}, {s(30770), 7}};
}

QString noneText() { return s(30850); }

QString nameProblem(const QString& what, const QString& name)
{
    if (name.trimmed().isEmpty())
        return {};  // a required name has its own message
    for (const QChar c : name) {
        if (c == u'[' || c == u']')
            return LoadResString(32204).arg(what);
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return LoadResString(32205).arg(what);
    }
    if (name != name.trimmed())
        return LoadResString(32206).arg(what);
    return {};
}

QString clauseProblem(const QString& what, const QString& clause)
{
    if (clause.trimmed().isEmpty())
        return {};
    // The user placeholders are filled in later; they stand for a number.
    static const QRegularExpression placeholder(u"%[A-Za-z0-9_]+%"_s);
    QString condition = clause;
    condition.replace(placeholder, u"0"_s);
    QString why;
    if (ui::isSingleCondition(condition, &why))
        return {};
    return LoadResString(32207).arg(what, why);
}

// --- tables ---------------------------------------------------------------------------

TableDraft tableDraft(const ListWizardTable& r)
{
    return {r.visible_name(),         r.table_name(),           r.table_alias(),
            r.quickpick_id(),         r.where_clause_qpi(),     r.where_clause_sql(),
            r.primarykey_indexname(), r.primarykey_filedname()};
}

QStringList validateTable(const TableDraft& d, bool unlocked)
{
    QStringList out;
    if (d.visibleName.trimmed().isEmpty())
        out << s(30820);
    if (d.tableName.trimmed().isEmpty())
        out << s(30830);
    if (d.tableAlias.trimmed().isEmpty())
        out << s(30840);
    if (!unlocked)
        return out;
    const auto check = [&](const QString& problem) {
        if (!problem.isEmpty())
            out << problem;
    };
    check(nameProblem(s(30880).chopped(1), d.tableName));
    check(nameProblem(s(30890).chopped(1), d.tableAlias));
    check(nameProblem(s(30930).chopped(1), d.primaryKeyIndex));
    check(nameProblem(s(30940).chopped(1), d.primaryKeyField));
    check(clauseProblem(s(30910).chopped(1), d.whereClauseQpi));
    check(clauseProblem(s(30920).chopped(1), d.whereClauseSql));
    return out;
}

bool saveTable(ListWizardTable& record, const TableDraft& d, bool unlocked)
{
    const QStringList problems = validateTable(d, unlocked);
    if (!problems.isEmpty()) {
        for (const QString& p : problems)
            AddError(0, p);
        return false;
    }
    ListWizardTable copy = record;
    copy.set_visible_name(d.visibleName);
    if (unlocked) {
        copy.set_table_name(d.tableName);
        copy.set_table_alias(d.tableAlias);
        copy.set_quickpick_id(d.quickPickId);
        copy.set_where_clause_qpi(d.whereClauseQpi);
        copy.set_where_clause_sql(d.whereClauseSql);
        copy.set_primarykey_indexname(d.primaryKeyIndex);
        copy.set_primarykey_filedname(d.primaryKeyField);
    }
    copy.SetModified();
    copy.SetFinal();
    if (!copy.CoreUpdate())
        return false;
    record = copy;
    return true;
}

// --- fields ---------------------------------------------------------------------------

FieldDraft fieldDraft(const ListWizardTableField& r)
{
    FieldDraft d;
    d.visibleName = r.visible_name();
    d.fieldName = r.field_name();
    d.groupFieldName = r.group_field_name();
    d.fieldType = r.field_type() == 2 ? 1 : r.field_type();
    d.controlType = r.field_control_type() == 2 ? 1 : r.field_control_type();
    d.whereClause = r.where_clause();
    d.visibled = r.visibled() != 0;
    d.filtered = r.filtered() != 0;
    d.groupable = r.groupable() != 0;
    d.aggregated = r.aggregated() != 0;
    d.width = r.field_width();
    d.format = r.field_format();
    d.defaultSearchField = r.default_search_field();
    return d;
}

QStringList validateField(const FieldDraft& d, bool unlocked)
{
    QStringList out;
    const auto known = [](const QList<Choice>& choices, long v) {
        for (const Choice& c : choices)
            if (c.data.toLongLong() == v)
                return true;
        return false;
    };
    if (d.visibleName.trimmed().isEmpty())
        out << s(30950);
    if (d.fieldName.trimmed().isEmpty())
        out << s(30960);
    if (!known(fieldTypeChoices(), d.fieldType))
        out << s(30970);
    if (d.filtered && !known(filterControlChoices(), d.controlType))
        out << s(30980);
    if (d.width < 0)
        out << LoadResString(32208).arg(s(31110));
    if (unlocked) {
        const auto check = [&](const QString& problem) {
            if (!problem.isEmpty())
                out << problem;
        };
        check(nameProblem(s(31010).chopped(1), d.fieldName));
        check(nameProblem(s(31020).chopped(1), d.groupFieldName));
        check(clauseProblem(s(31050).chopped(1), d.whereClause));
    }
    return out;
}

bool saveField(ListWizardTableField& record, const FieldDraft& d, bool unlocked)
{
    const QStringList problems = validateField(d, unlocked);
    if (!problems.isEmpty()) {
        for (const QString& p : problems)
            AddError(0, p);
        return false;
    }
    ListWizardTableField copy = record;
    copy.set_visible_name(d.visibleName);
    copy.set_default_search_field(d.controlType == kQuickPickFilter ? d.defaultSearchField : QString());
    copy.set_visibled(d.visibled ? -1 : 0);
    copy.set_filtered(d.filtered ? -1 : 0);
    copy.set_groupable(d.groupable ? -1 : 0);
    copy.set_aggregated(d.aggregated ? -1 : 0);
    copy.set_field_width(d.width);
    copy.set_field_format(d.format);
    if (unlocked) {
        copy.set_field_name(d.fieldName);
        copy.set_group_field_name(d.groupFieldName);
        copy.set_field_type(d.fieldType);
        copy.set_field_control_type(d.controlType);
        copy.set_where_clause(d.whereClause);
    }
    copy.SetModified();
    copy.SetFinal();
    if (!copy.CoreUpdate())
        return false;
    record = copy;
    return true;
}

QString searchFieldOfRow(long quickPickFieldId)
{
    auto rs = ctx().database->OpenRecordset(u"select search_field from vlq_quickpick_field where id = ?"_s,
                                            dao::Parameters(QVariantList{qlonglong(quickPickFieldId)}));
    return rs->Eof() ? QString() : rs->Fields(0).toString();
}

long quickPickOfTable(long tableId)
{
    auto rs = ctx().database->OpenRecordset(u"select quickpick_id from vlq_list_wizard_table where id = ?"_s,
                                            dao::Parameters(QVariantList{qlonglong(tableId)}));
    if (rs->Eof() || rs->Fields(0).isNull())
        return -1;
    return long(rs->Fields(0).toLongLong());
}

}  // namespace lg::admin
