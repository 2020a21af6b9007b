#include "admin/authadmin.h"

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/records.h"
#include "store/tables.h"
#include "ui/captions.h"

namespace lg::admin {

using namespace Qt::StringLiterals;

namespace {

const QString kSource = u"vlqTabula2.ListWizardAuthUnit"_s;

QString s(int id) { return LoadResString(id); }

bool chosen(long id) { return id != kNotChosen; }

QVariant firstValue(const QString& sql, const QVariantList& values)
{
    auto rs = ctx().database->OpenRecordset(sql, dao::Parameters(values));
    return rs->Eof() ? QVariant() : rs->Fields(0);
}

}  // namespace

// --- sentences ------------------------------------------------------------------------

bool canDeny(const AuthChoice& c) { return chosen(c.groupId) && chosen(c.typeId); }

Sentence denySentence(const AuthChoice& c)
{
    if (!canDeny(c))
        return {s(30190), wincolor::Red};
    const QString head = s(30200) + c.group + s(30210) + c.type;
    if (c.kind == kEditDenial)
        return {head + s(30220), wincolor::SysHighlight};
    if (!chosen(c.listId))
        return {head + s(30230), wincolor::SysHighlight};
    return {head + s(30240) + c.list + s(30250), wincolor::SysHighlight};
}

QString bulkLiftSentence(const AuthChoice& c)
{
    const bool group = chosen(c.groupId);
    const bool type = chosen(c.typeId);
    if (c.kind == kEditDenial) {
        if (type)
            return (group ? QString(s(30200) + c.group + s(30210)) : s(30270)) + c.type + s(30260);
        return group ? QString(s(30200) + c.group + s(30280)) : s(30290);
    }
    // A list is chosen from the lists of the chosen type only.
    const bool list = type && chosen(c.listId);
    if (!type)
        return group ? QString(s(30200) + c.group + s(30320)) : s(30330);
    const QString head = (group ? QString(s(30200) + c.group + s(30210)) : s(30270)) + c.type;
    return list ? QString(head + s(30240) + c.list + s(30300)) : QString(head + s(30310));
}

// --- statements -----------------------------------------------------------------------

QString userGroupsSql() { return u"select id,name from qry_vlq_list_wizard_user_group_table order by name"_s; }

QString listTypesSql(long modulId)
{
    if (modulId >= 1)
        return u"select id,name from vlq_list_wizard_type where modul_id="_s + QString::number(modulId) +
               u" and del_status=0 and temp_status=0 order by name"_s;
    return u"select id,name from vlq_list_wizard_type where del_status=0 and temp_status=0 order by name"_s;
}

QString listsOfTypeSql(long typeId)
{
    return u"select id,name from vlq_list_report where list_type_id="_s + QString::number(typeId) +
           u" and del_status=0 and temp_status=0 order by name"_s;
}

namespace {
// Every live denial with its names; a name that no longer exists stays empty.
const QString kDenials =
    u"SELECT au.id AS id, au.auth_type AS auth_type, au.user_group_id AS user_group_id, "
    "au.list_type_id AS list_type_id, au.list_report_id AS list_report_id, "
    "Nz((SELECT TOP 1 g.name FROM qry_vlq_list_wizard_user_group_table AS g WHERE g.id = au.user_group_id), '') "
    "AS group_name, "
    "Nz((SELECT TOP 1 t.name FROM vlq_list_wizard_type AS t WHERE t.id = au.list_type_id), '') AS list_type_name, "
    "IIf(au.list_report_id = -1, '', Nz((SELECT TOP 1 r.name FROM vlq_list_report AS r "
    "WHERE r.id = au.list_report_id), '')) AS list_report_name "
    "FROM vlq_list_auth_unit AS au WHERE au.del_status = 0"_s;
}  // namespace

ui::BrowseDefinition denialsBrowse(bool withList)
{
    ui::BrowseDefinition d;
    d.statement = u"SELECT * FROM ("_s + kDenials + u") AS denial"_s;
    d.columns = {{u"group_name"_s, s(30100).remove(u'&').remove(u':'), 160},
                 {u"list_type_name"_s, s(30110).remove(u'&').remove(u':'), 200}};
    if (withList)
        d.columns.append({u"list_report_name"_s, s(30120).remove(u'&').remove(u':'), 200});
    d.sortField = u"id"_s;
    d.idField = u"id"_s;
    return d;
}

QString denialsFilter(long kind) { return u"auth_type="_s + QString::number(kind); }

QList<Denial> liveDenials(long kind)
{
    return traced(kSource, TraceKind::Function, u"InitBrowse"_s, [&] {
        QString sql = u"SELECT * FROM ("_s + kDenials + u") AS denial"_s;
        QVariantList values;
        if (kind >= 0) {
            sql += u" WHERE auth_type = ?"_s;
            values << qlonglong(kind);
        }
        sql += u" ORDER BY auth_type, group_name, list_type_name, list_report_name, id"_s;
        QList<Denial> out;
        auto rs = ctx().database->OpenRecordset(sql, dao::Parameters(values));
        for (; !rs->Eof(); rs->MoveNext()) {
            Denial d;
            d.id = long(rs->Fields(u"id"_s).toLongLong());
            d.kind = long(rs->Fields(u"auth_type"_s).toLongLong());
            d.groupId = long(rs->Fields(u"user_group_id"_s).toLongLong());
            d.typeId = long(rs->Fields(u"list_type_id"_s).toLongLong());
            d.listId = long(rs->Fields(u"list_report_id"_s).toLongLong());
            d.group = rs->Fields(u"group_name"_s).toString();
            d.type = rs->Fields(u"list_type_name"_s).toString();
            d.list = rs->Fields(u"list_report_name"_s).toString();
            out << d;
        }
        return out;
    });
}

QString userGroupName(long id)
{
    return firstValue(u"select name from qry_vlq_list_wizard_user_group_table where id = ?"_s, {qlonglong(id)})
        .toString();
}

QString listTypeName(long id)
{
    return firstValue(u"select name from vlq_list_wizard_type where id = ? and del_status=0 and temp_status=0"_s,
                      {qlonglong(id)})
        .toString();
}

QString listName(long id)
{
    return firstValue(u"select name from vlq_list_report where id = ? and del_status=0 and temp_status=0"_s,
                      {qlonglong(id)})
        .toString();
}

long listTypeOfList(long listId)
{
    const QVariant v = firstValue(
        u"select list_type_id from vlq_list_report where id = ? and del_status=0 and temp_status=0"_s,
        {qlonglong(listId)});
    return v.isValid() && !v.isNull() ? long(v.toLongLong()) : -1;
}

// --- operations -----------------------------------------------------------------------

DenyOutcome deny(const AuthChoice& choice, long& id)
{
    return traced(kSource, TraceKind::Function, u"AuthNew"_s, [&] {
        id = -1;
        if (!canDeny(choice)) {
            AddError(0, s(30190));
            return DenyOutcome::Refused;
        }
        const long list = choice.kind == kRunDenial ? choice.listId : kNotChosen;
        bool known = true;
        if (userGroupName(choice.groupId).isEmpty()) {
            AddError(0, LoadResString(32200).arg(choice.groupId));
            known = false;
        }
        if (listTypeName(choice.typeId).isEmpty()) {
            AddError(0, LoadResString(32201).arg(choice.typeId));
            known = false;
        }
        if (chosen(list) && listTypeOfList(list) != choice.typeId) {
            AddError(0, LoadResString(32202).arg(list).arg(
                            choice.typeId));
            known = false;
        }
        if (!known)
            return DenyOutcome::Refused;

        ListAuthUnit unit;
        unit.set_auth_type(choice.kind);
        unit.set_user_group_id(choice.groupId);
        unit.set_list_type_id(choice.typeId);
        unit.set_list_report_id(list);
        unit.SetModified();
        unit.SetFinal();

        // The look-up and the write happen under the store's write lock, so
        // two administrators cannot record the same denial twice.
        if (!modTables::OpenTableForTransGroup(0))
            return DenyOutcome::Failed;
        struct Unlock {
            ~Unlock() { modTables::CloseTableForTransGroup(0); }
        } unlock;
        if (modTables::TableSeekSpec(tListAuthUnit, u"Exist_auth"_s,
                                     {qlonglong(choice.kind), qlonglong(choice.groupId), qlonglong(choice.typeId),
                                      qlonglong(list), 0})) {
            id = long(modTables::SharedTable(tListAuthUnit).Fields(u"id"_s).toLongLong());
            return DenyOutcome::Existing;
        }
        if (!unit.CoreUpdate())
            return DenyOutcome::Failed;
        id = unit.ID();
        return DenyOutcome::Written;
    });
}

bool lift(long denialId)
{
    return traced(kSource, TraceKind::Function, u"AuthDel"_s, [&] {
        ListAuthUnit unit;
        if (!unit.CoreLoad(denialId)) {
            AddError(0, LoadResString(32203).arg(denialId));
            return false;
        }
        unit.Delete();
        unit.SetFinal();
        return unit.CoreUpdate();
    });
}

bool liftInBulk(const AuthChoice& choice, long modulId)
{
    return traced(kSource, TraceKind::Function, u"AuthDelWithGroup"_s, [&] {
        return ListAuthUnit::DeleteAuthUnitWithGroup(choice.kind, choice.groupId, choice.typeId,
                                                     choice.kind == kRunDenial ? choice.listId : kNotChosen,
                                                     modulId);
    });
}

}  // namespace lg::admin
