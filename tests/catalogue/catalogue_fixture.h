#pragma once

// A small definition store for tests: a fresh database with the schema
// installed, a host data area (partners and their invoices), a catalogue
// over it and helpers that add list types, catalogue rows, lists, users and
// denials with plain Jet INSERT statements. Header-only, so any test folder
// can include it ("catalogue/catalogue_fixture.h").

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <array>
#include <memory>

#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/schema.h"
#include "support/pgstore.h"
#include "support/testsupport.h"

namespace lg::test {

// A Jet text literal.
inline QString jetText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// All values of the first column of a statement, as text.
inline QStringList column(dao::Database& db, const QString& sql, int index = 0)
{
    QStringList out;
    auto rs = db.OpenRecordset(sql);
    for (; !rs->Eof(); rs->MoveNext())
        out << rs->Fields(index).toString();
    return out;
}

inline QStringList column(dao::Recordset& rs, const QString& name)
{
    QStringList out;
    for (; !rs.Eof(); rs.MoveNext())
        out << rs.Fields(name).toString();
    return out;
}

struct FieldSpec {
    long tableId = -1;
    QString fieldName;
    QString visibleName;
    int fieldType = 4;  // eReportFieldDataType
    long width = 1000;
    QString format;
    QString groupFieldName;
    bool visibled = true, filtered = true, groupable = true, aggregated = true;
};

class CatalogueDb {
public:
    // A new database file in a fresh temporary folder (on the PostgreSQL run
    // a new database of the test cluster), with the definition store
    // installed; it becomes the library-wide database.
    explicit CatalogueDb(const QString& fileName = QStringLiteral("store.db"))
    {
        Context::reset();
        db = openFreshStore(fileName, &path);
        ctx().database = db;
        ctx().userId = 1;
    }

    void exec(const QString& sql) { db->Execute(sql); }

    long nextId(const QString& table)
    {
        auto rs = db->OpenRecordset(QStringLiteral("select max(id) as m from ") + table);
        const dao::Value v = rs->Fields(0);
        return dao::isNull(v) ? 1 : v.toLongLong() + 1;
    }

    long addType(const QString& name, long modulId = 1, long requiredTable = -1, const QString& requiredWhere = {},
                 long tempStatus = 0)
    {
        const long id = nextId(QStringLiteral("vlq_list_wizard_type"));
        exec(QStringLiteral("insert into vlq_list_wizard_type (id, name, required_table, required_where, modul_id, "
                            "temp_status) values (%1, %2, %3, %4, %5, %6)")
                 .arg(id)
                 .arg(jetText(name))
                 .arg(requiredTable)
                 .arg(jetText(requiredWhere))
                 .arg(modulId)
                 .arg(tempStatus));
        return id;
    }

    long addTable(const QString& tableName, const QString& alias, const QString& visibleName,
                  const QString& whereSql = {})
    {
        const long id = nextId(QStringLiteral("vlq_list_wizard_table"));
        exec(QStringLiteral("insert into vlq_list_wizard_table (id, table_name, table_alias, visible_name, "
                            "where_clause_sql) values (%1, %2, %3, %4, %5)")
                 .arg(id)
                 .arg(jetText(tableName), jetText(alias), jetText(visibleName), jetText(whereSql)));
        return id;
    }

    long addField(const FieldSpec& f)
    {
        const long id = nextId(QStringLiteral("vlq_list_wizard_table_field"));
        auto flag = [](bool b) { return b ? -1 : 0; };
        exec(QStringLiteral("insert into vlq_list_wizard_table_field (id, table_id, field_name, visible_name, "
                            "group_field_name, field_type, field_width, field_format, visibled, filtered, groupable, "
                            "aggregated) values (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12)")
                 .arg(id)
                 .arg(f.tableId)
                 .arg(jetText(f.fieldName), jetText(f.visibleName), jetText(f.groupFieldName))
                 .arg(f.fieldType)
                 .arg(f.width)
                 .arg(jetText(f.format))
                 .arg(flag(f.visibled))
                 .arg(flag(f.filtered))
                 .arg(flag(f.groupable))
                 .arg(flag(f.aggregated)));
        return id;
    }

    long addConnection(long typeId, long tableId, long sortOrder, const QString& join, long parentId = 0)
    {
        const long id = nextId(QStringLiteral("vlq_list_wizard_table_type_connection"));
        exec(QStringLiteral("insert into vlq_list_wizard_table_type_connection (id, list_type_id, table_id, "
                            "sort_order, table_join, table_parent_id) values (%1, %2, %3, %4, %5, %6)")
                 .arg(id)
                 .arg(typeId)
                 .arg(tableId)
                 .arg(sortOrder)
                 .arg(jetText(join))
                 .arg(parentId));
        return id;
    }

    long addList(long typeId, const QString& name, long createUser, bool isPrivate = false, long detailInvisible = 0)
    {
        const long id = nextId(QStringLiteral("vlq_list_report"));
        exec(QStringLiteral("insert into vlq_list_report (id, list_type_id, name, create_user, private, "
                            "detail_invisible) values (%1, %2, %3, %4, %5, %6)")
                 .arg(id)
                 .arg(typeId)
                 .arg(jetText(name))
                 .arg(createUser)
                 .arg(isPrivate ? -1 : 0)
                 .arg(detailInvisible));
        return id;
    }

    long addGroup(long listId, long fieldId, long sortOrder)
    {
        const long id = nextId(QStringLiteral("vlq_list_report_group_field"));
        exec(QStringLiteral("insert into vlq_list_report_group_field (id, vlq_list_report_id, table_field_id, "
                            "sort_order) values (%1, %2, %3, %4)")
                 .arg(id)
                 .arg(listId)
                 .arg(fieldId)
                 .arg(sortOrder));
        return id;
    }

    // aggregates: group1 ... group10, total (-1 = none)
    long addVisible(long listId, long fieldId, long sortOrder, const std::array<long, 11>& aggregates = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1})
    {
        const long id = nextId(QStringLiteral("vlq_list_report_visible_field"));
        QString columns, values;
        for (int i = 0; i < 10; ++i) {
            columns += QStringLiteral(", group%1_aggregate").arg(i + 1);
            values += QStringLiteral(", %1").arg(aggregates[size_t(i)]);
        }
        exec(QStringLiteral("insert into vlq_list_report_visible_field (id, vlq_list_report_id, table_field_id, "
                            "sort_order%1, total_aggregate) values (%2, %3, %4, %5%6, %7)")
                 .arg(columns)
                 .arg(id)
                 .arg(listId)
                 .arg(fieldId)
                 .arg(sortOrder)
                 .arg(values)
                 .arg(aggregates[10]));
        return id;
    }

    long addWhere(long listId, long fieldId, const QString& sqlWhere)
    {
        const long id = nextId(QStringLiteral("vlq_list_report_where_field"));
        exec(QStringLiteral("insert into vlq_list_report_where_field (id, vlq_list_report_id, table_field_id, "
                            "sql_where) values (%1, %2, %3, %4)")
                 .arg(id)
                 .arg(listId)
                 .arg(fieldId)
                 .arg(jetText(sqlWhere)));
        return id;
    }

    void addUser(long userId, const QList<long>& groups)
    {
        exec(QStringLiteral("insert into vlq_user (id, display_name) values (%1, 'user %1')").arg(userId));
        for (long g : groups)
            exec(QStringLiteral("insert into vlq_user_group_member (user_id, user_group_id) values (%1, %2)")
                     .arg(userId)
                     .arg(g));
    }

    void addUserGroup(long groupId, const QString& name)
    {
        exec(QStringLiteral("insert into vlq_user_group (id, name) values (%1, %2)").arg(groupId).arg(jetText(name)));
    }

    long addDenial(long authType, long groupId, long typeId, long listId = -1, long delStatus = 0)
    {
        const long id = nextId(QStringLiteral("vlq_list_auth_unit"));
        exec(QStringLiteral("insert into vlq_list_auth_unit (id, auth_type, user_group_id, list_type_id, "
                            "list_report_id, del_status) values (%1, %2, %3, %4, %5, %6)")
                 .arg(id)
                 .arg(authType)
                 .arg(groupId)
                 .arg(typeId)
                 .arg(listId)
                 .arg(delStatus));
        return id;
    }

    QString path;
    std::shared_ptr<dao::Database> db;
};

// The invoice data area: host tables partner (P) and szamla (S), a list type
// "Számlák" whose chain is szamla (sort order 1) then partner (2), and a
// second type "Partnerek" in module 2 over partner alone.
struct InvoiceCatalogue {
    explicit InvoiceCatalogue(CatalogueDb& c) : store(c)
    {
        c.exec(QStringLiteral("create table partner (id LONG, nev TEXT(100), kod TEXT(20), varos TEXT(100), "
                              "aktiv YESNO, owner LONG)"));
        c.exec(QStringLiteral("create table szamla (id LONG, partner_id LONG, osszeg DOUBLE, datum DATETIME, "
                              "user_id LONG)"));
        const char* partners[][4] = {{"1", "Alfa Kft.", "A1", "Budapest"},
                                     {"2", "Béta Bt.", "B2", "Szeged"},
                                     {"3", "Gamma Zrt.", "G3", "Budapest"}};
        for (auto& p : partners)
            c.exec(QStringLiteral("insert into partner (id, nev, kod, varos, aktiv, owner) values (%1, %2, %3, %4, "
                                  "-1, 1)")
                       .arg(QLatin1String(p[0]), jetText(QString::fromUtf8(p[1])), jetText(QLatin1String(p[2])),
                            jetText(QString::fromUtf8(p[3]))));
        c.exec(QStringLiteral("update partner set aktiv = 0 where id = 3"));
        const int invoices[][4] = {{1, 1, 1000, 1}, {2, 1, 2500, 2}, {3, 2, 700, 1}, {4, 3, 300, 2}, {5, 2, 50, 1}};
        for (auto& s : invoices)
            c.exec(QStringLiteral("insert into szamla (id, partner_id, osszeg, datum, user_id) values (%1, %2, %3, "
                                  "#03/0%1/2024#, %4)")
                       .arg(s[0])
                       .arg(s[1])
                       .arg(s[2])
                       .arg(s[3]));

        invoiceType = c.addType(QStringLiteral("Számlák"), 1, 1);
        partnerType = c.addType(QStringLiteral("Partnerek"), 2, 1);
        szamla = c.addTable(QStringLiteral("szamla"), QStringLiteral("S"), QStringLiteral("Számla"));
        partner = c.addTable(QStringLiteral("partner"), QStringLiteral("P"), QStringLiteral("Partner"));
        c.addConnection(invoiceType, szamla, 1, QStringLiteral("FROM szamla AS S"), 1);
        c.addConnection(invoiceType, partner, 2,
                        QStringLiteral("FROM szamla AS S INNER JOIN partner AS P ON S.partner_id = P.id"), 2);
        c.addConnection(partnerType, partner, 1, QStringLiteral("FROM partner AS P"), 1);

        osszeg = c.addField({szamla, QStringLiteral("osszeg"), QStringLiteral("összeg"), 2, 1500,
                             QStringLiteral("#,##0.00"), {}});
        datum = c.addField({szamla, QStringLiteral("datum"), QStringLiteral("dátum"), 3, 1200,
                            QStringLiteral("yyyy.mm.dd"), {}, true, true, true, false});
        nev = c.addField({partner, QStringLiteral("nev"), QStringLiteral("név"), 4, 2500, {}, QStringLiteral("kod"),
                          true, true, true, false});
        varos = c.addField({partner, QStringLiteral("varos"), QStringLiteral("város"), 4, 2000, {}, {}, true, true,
                            true, false});
        aktiv = c.addField({partner, QStringLiteral("aktiv"), QStringLiteral("aktív"), 5, 600, {}, {}, true, true,
                            false, false});
    }

    CatalogueDb& store;
    long invoiceType = 0, partnerType = 0;
    long szamla = 0, partner = 0;
    long osszeg = 0, datum = 0, nev = 0, varos = 0, aktiv = 0;
};

}  // namespace lg::test
