// The list catalogue of the demo wholesaler: quick picks, browse windows,
// catalogue tables and fields, list types with their join chains, denials
// and the saved lists with their generated statements and report sources.

#include <QtCore/QDir>
#include <QtCore/QHash>

#include <array>
#include <vector>

#include "democonditions.h"
#include "demodata.h"
#include "catalogue/fieldcatalogue.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "report/statementgenerator.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"
#include "store/tables.h"
#include "report/xmlsourcegenerator.h"

using namespace Qt::StringLiterals;

namespace lg::demo {

namespace {

constexpr int kAdmin = 1;

struct CatTable {
    int id;
    const char* name;
    const char* alias;
    const char* visible;
    int quickpick;
    const char* whereQpi;
    const char* whereSql;
};
const CatTable kTables[] = {
    {1, "partner", "P", "Partner", 1, "aktiv=-1", "([P].[bizalmas]=0 OR [P].[felelos_id]=%RUNUSERID%)"},
    {2, "regio", "R", "Régió", -1, "", ""},
    {3, "szamla", "SZ", "Számla", -1, "", ""},
    {4, "szamla_tetel", "T", "Számlatétel", -1, "", ""},
    {5, "termek", "TK", "Termék", 2, "aktiv=-1", ""},
    {6, "termekcsoport", "TCS", "Termékcsoport", -1, "", ""},
};

enum DataType { Long = 1, Decimal = 2, Date = 3, String = 4, Boolean = 5 };

struct CatField {
    int table;
    const char* name;
    const char* visible;
    DataType type;
    int control;
    int width;
    const char* format = "";
    const char* groupField = "";
    const char* whereClause = "";
    const char* defaultSearch = "";
    bool groupable = true;
    bool aggregated = true;
};
const CatField kFields[] = {
    {1, "kod", "kód", String, 4, 900},
    {1, "nev", "név", String, 7, 3200, "", "kod", "", "nev"},
    {1, "tipus", "típus", String, 4, 600},
    {1, "adoszam", "adószám", String, 4, 1500},
    {1, "irsz", "irányítószám", String, 4, 800},
    {1, "varos", "város", String, 4, 1600},
    {1, "cim", "cím", String, 4, 2600, "", "", "", "", false, false},
    {1, "aktiv", "aktív", Boolean, 5, 700},
    {1, "hitelkeret", "hitelkeret", Decimal, 2, 1400, "#,##0"},
    {1, "fizetesi_hatarido", "fizetési határidő (nap)", Long, 1, 900},
    {1, "letrehozva", "felvétel dátuma", Date, 3, 1200, "yyyy.mm.dd"},
    {2, "nev", "név", String, 6, 2200},
    {2, "kod", "kód", String, 4, 600},
    {3, "szamlaszam", "számlaszám", String, 4, 1700},
    {3, "kelt", "kelte", Date, 3, 1100, "yyyy.mm.dd"},
    {3, "hatarido", "fizetési határidő", Date, 3, 1100, "yyyy.mm.dd"},
    {3, "fizetve", "fizetve", Boolean, 5, 700},
    {3, "fizetes_datuma", "fizetés dátuma", Date, 3, 1100, "yyyy.mm.dd"},
    {3, "fizmod", "fizetési mód", String, 4, 1200},
    {3, "netto", "nettó összeg", Decimal, 2, 1400, "#,##0"},
    {3, "afa", "ÁFA összeg", Decimal, 2, 1200, "#,##0"},
    {3, "brutto", "bruttó összeg", Decimal, 2, 1400, "#,##0"},
    {3, "ertekesito_id", "értékesítő azonosító", Long, 1, 800},
    {4, "sorszam", "sorszám", Long, 1, 600},
    {4, "mennyiseg", "mennyiség", Decimal, 2, 900, "#,##0.0"},
    {4, "egysegar", "egységár", Decimal, 2, 1000, "#,##0"},
    {4, "netto", "nettó érték", Decimal, 2, 1200, "#,##0"},
    {4, "afakulcs", "ÁFA-kulcs (%)", Long, 1, 700},
    {4, "brutto", "bruttó érték", Decimal, 2, 1200, "#,##0"},
    {5, "cikkszam", "cikkszám", String, 4, 1000},
    {5, "nev", "megnevezés", String, 7, 3000, "", "", "", "nev"},
    {5, "mertekegyseg", "mennyiségi egység", String, 4, 900},
    {5, "egysegar", "listaár", Decimal, 2, 1000, "#,##0"},
    {5, "afakulcs", "ÁFA-kulcs (%)", Long, 1, 700},
    {5, "aktiv", "aktív", Boolean, 5, 700},
    {6, "nev", "megnevezés", String, 8, 2000, "", "", "aktiv=-1"},
    {6, "kod", "kód", String, 4, 600},
};

struct ListType {
    int id;
    const char* name;
    const char* description;
    int module;
    int requiredTable;
    const char* requiredWhere;
    const char* assistant;
    const char* assistantCaption;
    std::vector<std::pair<int, const char*>> chain;  // table, complete FROM text
};

const std::vector<ListType>& listTypes()
{
    static const std::vector<ListType> types = {
        {1, "Partnerek", "Vevők és szállítók törzsadatai", 2, 0, "", "", "",
         {{1, "FROM partner AS P"},
          {2, "FROM (partner AS P INNER JOIN regio AS R ON ([R].[id] = [P].[regio_id]))"}}},
        {2, "Számlák", "Kimenő számlák fejadatai", 1, 1, "([SZ].[sztornozott]=0) AND %PAR1%",
         "Nagyker.SzamlaAsszisztens", "Számla asszisztens",
         {{3, "FROM szamla AS SZ"},
          {1, "FROM (szamla AS SZ INNER JOIN partner AS P ON ([P].[id] = [SZ].[partner_id]))"},
          {2, "FROM ((szamla AS SZ INNER JOIN partner AS P ON ([P].[id] = [SZ].[partner_id])) "
              "INNER JOIN regio AS R ON ([R].[id] = [P].[regio_id]))"}}},
        {3, "Számlatételek", "Kimenő számlák tételei termékkel és partnerrel", 1, 0, "", "", "",
         {{4, "FROM szamla_tetel AS T"},
          {5, "FROM (szamla_tetel AS T INNER JOIN termek AS TK ON ([TK].[id] = [T].[termek_id]))"},
          {3, "FROM ((szamla_tetel AS T INNER JOIN termek AS TK ON ([TK].[id] = [T].[termek_id])) "
              "INNER JOIN szamla AS SZ ON ([SZ].[id] = [T].[szamla_id]))"},
          {1, "FROM (((szamla_tetel AS T INNER JOIN termek AS TK ON ([TK].[id] = [T].[termek_id])) "
              "INNER JOIN szamla AS SZ ON ([SZ].[id] = [T].[szamla_id])) "
              "INNER JOIN partner AS P ON ([P].[id] = [SZ].[partner_id]))"}}},
        {4, "Termékek", "Termékek és termékcsoportok", 2, 0, "", "", "",
         {{5, "FROM termek AS TK"},
          {6, "FROM (termek AS TK INNER JOIN termekcsoport AS TCS ON ([TCS].[id] = [TK].[termekcsoport_id]))"}}},
    };
    return types;
}

struct Column {
    const char* field;
    std::array<int, 3> groupAggregates{-1, -1, -1};
    int total = -1;
};

struct SavedList {
    int id;
    int type;
    int creator;
    const char* name;
    const char* description;
    std::vector<const char*> groups;
    std::vector<Column> columns;
    std::vector<StoredCondition> conditions;  // field filled in by the builder
    std::vector<const char*> conditionFields;
    bool privateList = false;
    bool detailHidden = false;
    bool preFilter = false;
};

enum Agg { None = -1, Count = 1, Max = 2, Min = 3, Sum = 4, Avg = 5 };

QString u8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class CatalogueBuilder {
public:
    CatalogueBuilder(dao::Database& db) : m_db(db) {}

    QVariantList audit() const
    {
        const QDateTime now = demoNow();
        return {kAdmin, now, kAdmin, now, QVariant(), QVariant()};
    }
    static QStringList auditColumns()
    {
        return {u"create_user"_s,          u"create_date"_s,          u"last_action_user_id1"_s,
                u"last_action_date1"_s,    u"last_action_user_id2"_s, u"last_action_date2"_s};
    }

    void lookups()
    {
        RowWriter qp(m_db, u"vlq_quickpick"_s,
                     {u"id"_s, u"name"_s, u"table_name"_s, u"browse_id"_s, u"browse_where_clause"_s,
                      u"use_where_in_browse"_s, u"primarykey_indexname"_s, u"primarykey_filedname"_s,
                      u"search_start_length"_s, u"browse_row_count"_s});
        qp.insert({1, u"Partnerek"_s, u"partner"_s, 1, u"aktiv=-1"_s, true, u"PrimaryKey"_s, u"id"_s, 3, 20});
        qp.insert({2, u"Termékek"_s, u"termek"_s, 2, u"aktiv=-1"_s, true, u"PrimaryKey"_s, u"id"_s, 3, 20});
        qp.insert({3, u"Vevők"_s, u"partner"_s, 3, QString(), false, u"PrimaryKey"_s, u"id"_s, 2, 15});
        RowWriter qf(m_db, u"vlq_quickpick_field"_s,
                     {u"id"_s, u"quickpick_id"_s, u"sort_order"_s, u"search_field"_s, u"search_field_name"_s,
                      u"visible_field"_s, u"index_name"_s, u"index_stucture"_s});
        qf.insert({1, 1, 1, u"nev"_s, u"Név"_s, u"kod"_s, u"nev"_s, u"%SEARCH%"_s});
        qf.insert({2, 1, 2, u"kod"_s, u"Kód"_s, u"nev"_s, u"kod"_s, u"%SEARCH%"_s});
        qf.insert({3, 2, 1, u"nev"_s, u"Megnevezés"_s, u"cikkszam"_s, u"nev"_s, u"%SEARCH%"_s});
        qf.insert({4, 2, 2, u"cikkszam"_s, u"Cikkszám"_s, u"nev"_s, u"cikkszam"_s, u"%SEARCH%"_s});
        // Customers only: the index starts with the partner type, a constant key.
        qf.insert({5, 3, 1, u"nev"_s, u"Vevő neve"_s, u"varos"_s, u"tipus_nev"_s, u"V;%SEARCH%"_s});
        RowWriter view(m_db, u"vlq_view"_s,
                       {u"id"_s, u"name1"_s, u"name2"_s, u"name3"_s, u"table_name"_s, u"sql_source"_s,
                        u"field_list"_s, u"sort_field"_s});
        view.insert({1, u"Partnerek"_s, u"Partners"_s, u"Partner"_s, u"partner"_s,
                     u"SELECT id, kod, nev, varos, adoszam FROM partner"_s, u"kod;nev;varos;adoszam"_s, u"nev"_s});
        view.insert({2, u"Termékek"_s, u"Products"_s, u"Produkte"_s, u"termek"_s,
                     u"SELECT id, cikkszam, nev, mertekegyseg, egysegar FROM termek"_s,
                     u"cikkszam;nev;mertekegyseg;egysegar"_s, u"nev"_s});
        view.insert({3, u"Vevők"_s, u"Customers"_s, u"Kunden"_s, u"partner"_s,
                     u"SELECT id, kod, nev, varos FROM partner WHERE tipus='V'"_s, u"kod;nev;varos"_s, u"nev"_s});
    }

    void catalogue(DemoSummary& s)
    {
        RowWriter tables(m_db, u"vlq_list_wizard_table"_s,
                         QStringList{u"id"_s, u"table_name"_s, u"table_alias"_s, u"visible_name"_s, u"quickpick_id"_s,
                                     u"where_clause_qpi"_s, u"where_clause_sql"_s, u"primarykey_indexname"_s,
                                     u"primarykey_filedname"_s}
                             + auditColumns());
        for (const CatTable& t : kTables) {
            tables.insert(QVariantList{t.id, u8(t.name), u8(t.alias), u8(t.visible), t.quickpick, u8(t.whereQpi),
                                       u8(t.whereSql), u"PrimaryKey"_s, u"id"_s}
                          + audit());
            m_tableAlias.insert(t.id, u8(t.alias));
            m_tableVisible.insert(t.id, u8(t.visible));
        }
        s.tables = tables.rows();

        RowWriter fields(m_db, u"vlq_list_wizard_table_field"_s,
                         QStringList{u"id"_s, u"table_id"_s, u"field_name"_s, u"visible_name"_s,
                                     u"group_field_name"_s, u"field_type"_s, u"field_control_type"_s,
                                     u"visibled"_s, u"filtered"_s, u"groupable"_s, u"aggregated"_s,
                                     u"field_width"_s, u"field_format"_s, u"where_clause"_s,
                                     u"default_search_field"_s}
                             + auditColumns());
        int id = 0;
        for (const CatField& f : kFields) {
            ++id;
            fields.insert(QVariantList{id, f.table, u8(f.name), u8(f.visible), u8(f.groupField), int(f.type),
                                       f.control, true, f.control != -1, f.groupable, f.aggregated, f.width,
                                       u8(f.format), u8(f.whereClause), u8(f.defaultSearch)}
                          + audit());
            const QString key = m_tableAlias.value(f.table) + u'.' + u8(f.name);
            m_fieldId.insert(key, id);
            m_fieldColumn.insert(key, u"["_s + m_tableAlias.value(f.table) + u"].["_s + u8(f.name) + u"]"_s);
            m_fieldCaption.insert(key, m_tableVisible.value(f.table) + u' ' + u8(f.visible));
        }
        s.fields = fields.rows();

        RowWriter types(m_db, u"vlq_list_wizard_type"_s,
                        QStringList{u"id"_s, u"name"_s, u"description"_s, u"required_table"_s, u"required_where"_s,
                                    u"com_assistant"_s, u"com_assistant_visible_name"_s, u"modul_id"_s}
                            + auditColumns());
        RowWriter conns(m_db, u"vlq_list_wizard_table_type_connection"_s,
                        QStringList{u"id"_s, u"list_type_id"_s, u"table_id"_s, u"sort_order"_s, u"table_join"_s,
                                    u"table_parent_id"_s}
                            + auditColumns());
        int connId = 0;
        for (const ListType& t : listTypes()) {
            types.insert(QVariantList{t.id, u8(t.name), u8(t.description), t.requiredTable, u8(t.requiredWhere),
                                      u8(t.assistant), u8(t.assistantCaption), t.module}
                         + audit());
            for (int depth = 0; depth < int(t.chain.size()); ++depth)
                conns.insert(QVariantList{++connId, t.id, t.chain[size_t(depth)].first, depth,
                                          u8(t.chain[size_t(depth)].second), qlonglong(joinedTable(t, depth))}
                             + audit());
        }
        s.listTypes = types.rows();
    }

    // The table a chain's table joins: its parent in the field pickers'
    // trees (-1 for the base table). The last join's condition names it by
    // its alias beside the joined table's own.
    long joinedTable(const ListType& t, int depth) const
    {
        if (depth == 0)
            return -1;
        const int table = t.chain[size_t(depth)].first;
        const QString from = u8(t.chain[size_t(depth)].second);
        const QString on = from.mid(from.lastIndexOf(u" ON "_s));
        for (int earlier = 0; earlier < depth; ++earlier) {
            const int candidate = t.chain[size_t(earlier)].first;
            if (candidate != table && on.contains(u'[' + m_tableAlias.value(candidate) + u"]."_s))
                return candidate;
        }
        return t.chain[size_t(depth - 1)].first;
    }

    // Denials: salespeople may not edit partner lists, warehouse staff may
    // not see invoices, accountants may not run the credit limit list nor
    // edit product lists. A lifted denial (del_status 2) stays in the table.
    void denials(DemoSummary& s)
    {
        RowWriter w(m_db, u"vlq_list_auth_unit"_s,
                    QStringList{u"id"_s, u"auth_type"_s, u"user_group_id"_s, u"list_type_id"_s,
                                u"list_report_id"_s, u"del_status"_s}
                        + auditColumns());
        w.insert(QVariantList{1, 0, 2, 1, -1, 0} + audit());
        w.insert(QVariantList{2, 1, 4, 2, -1, 0} + audit());
        w.insert(QVariantList{3, 1, 3, 1, 2, 0} + audit());
        w.insert(QVariantList{4, 0, 3, 4, -1, 0} + audit());
        w.insert(QVariantList{5, 1, 2, 3, -1, 2} + audit());
        s.denials = w.rows();
    }

    // The name of a record, as a pick list shows it.
    QString nameOf(const char* table, long id) const
    {
        auto rs = m_db.OpenRecordset(QStringLiteral("SELECT nev FROM [%1] WHERE id = ?").arg(QLatin1String(table)),
                                     QVariantList{qlonglong(id)}, dao::RecordsetType::ForwardOnly);
        return rs->Eof() ? QString() : rs->Fields(0).toString();
    }
    std::vector<std::pair<long, QString>> named(const char* table, std::initializer_list<long> ids) const
    {
        std::vector<std::pair<long, QString>> items;
        for (long id : ids)
            items.emplace_back(id, nameOf(table, id));
        return items;
    }

    std::vector<SavedList> savedLists() const
    {
        auto col = [&](const char* f) { return m_fieldColumn.value(u8(f)); };
        auto cap = [&](const char* f) { return m_fieldCaption.value(u8(f)); };
        std::vector<SavedList> lists;

        lists.push_back({1, 1, 1, "Partnerek régiónként", "Aktív partnerek hitelkerettel, régiónként csoportosítva",
                         {"R.nev"},
                         {{"P.kod", {Count}, Count}, {"P.nev"}, {"P.varos"}, {"P.hitelkeret", {Sum}, Sum}, {"P.aktiv"}},
                         {checkBoxCondition(col("P.aktiv"), cap("P.aktiv"), false)},
                         {"P.aktiv"}});
        lists.push_back({2, 1, 1, "Vevők hitelkerete", "Egy és öt millió forint közötti hitelkeretű vevők",
                         {},
                         {{"P.kod", {}, Count}, {"P.nev"}, {"P.adoszam"}, {"P.hitelkeret", {}, Sum},
                          {"P.fizetesi_hatarido", {}, Avg}},
                         {textRelationCondition(col("P.tipus"), cap("P.tipus"), 2, u"V"_s),
                          numberCondition(col("P.hitelkeret"), cap("P.hitelkeret"), 1000000, 5000000)},
                         {"P.tipus", "P.hitelkeret"}});
        lists.push_back({3, 2, 2, "Számlák partnerenként 2024", "A 2024-ben kiállított számlák partnerenként",
                         {"P.nev"},
                         {{"SZ.szamlaszam", {Count}, Count}, {"SZ.kelt"}, {"SZ.hatarido"},
                          {"SZ.netto", {Sum}, Sum}, {"SZ.brutto", {Sum}, Sum}, {"SZ.fizetve"}},
                         {dateRangeCondition(col("SZ.kelt"), cap("SZ.kelt"), QDate(2024, 1, 1), QDate(2024, 12, 31))},
                         {"SZ.kelt"}});
        lists.push_back({4, 2, 4, "Lejárt, kifizetetlen számlák", "Fizetetlen számlák, amelyek határideje lejárt",
                         {"R.nev", "P.nev"},
                         {{"SZ.szamlaszam", {Count, Count}, Count}, {"SZ.kelt"}, {"SZ.hatarido", {Min, Min}, Min},
                          {"SZ.brutto", {Sum, Sum}, Sum}},
                         {checkBoxCondition(col("SZ.fizetve"), cap("SZ.fizetve"), true),
                          dateRelationCondition(col("SZ.hatarido"), cap("SZ.hatarido"), 4, QDate(2024, 12, 1))},
                         {"SZ.fizetve", "SZ.hatarido"},
                         false, false, true});
        lists.push_back({5, 2, 1, "Forgalom régió, fizetési mód és partner szerint",
                         "Összesítő három szinten, tételsorok nélkül",
                         {"R.nev", "SZ.fizmod", "P.nev"},
                         {{"SZ.szamlaszam", {Count, Count, Count}, Count}, {"SZ.netto", {Sum, Sum, Sum}, Sum},
                          {"SZ.afa", {Sum, Sum, Sum}, Sum}, {"SZ.brutto", {Sum, Sum, Sum}, Sum}},
                         {keyListCondition(col("R.nev").replace(u"[nev]"_s, u"[id]"_s), cap("R.nev"),
                                           named("regio", {1, 6, 7}))},
                         {"R.nev"},
                         false, true});
        lists.push_back({6, 3, 3, "Kávéforgalom termékenként", "Kávétermékek eladásai, 27%-os ÁFA-kulccsal",
                         {"TK.nev"},
                         {{"SZ.szamlaszam"}, {"SZ.kelt"}, {"T.mennyiseg", {Sum}, Sum}, {"T.egysegar", {Avg}, Max},
                          {"T.netto", {Sum}, Sum}},
                         {keyListCondition(col("TK.nev").replace(u"[nev]"_s, u"[id]"_s), cap("TK.nev"),
                                           named("termek", {1, 2, 10, 14})),
                          numberCondition(col("T.afakulcs"), cap("T.afakulcs"), 27)},
                         {"TK.nev", "T.afakulcs"}});
        lists.push_back({7, 3, 1, "Összes számlatétel", "Minden számlatétel partnerrel és termékkel",
                         {},
                         {{"SZ.szamlaszam"}, {"SZ.kelt"}, {"P.nev"}, {"TK.cikkszam"}, {"TK.nev"},
                          {"T.mennyiseg"}, {"T.egysegar"}, {"T.netto", {}, Sum}, {"T.brutto", {}, Sum}},
                         {},
                         {}});
        lists.push_back({8, 1, 2, "Saját kiemelt vevőim", "Kovács Anna kiemelt partnerei (saját lista)",
                         {},
                         {{"P.kod"}, {"P.nev"}, {"P.varos"}, {"P.hitelkeret", {}, Sum}},
                         {keyListCondition(col("P.nev").replace(u"[nev]"_s, u"[id]"_s), cap("P.nev"),
                                           named("partner", {3, 5, 8, 13}))},
                         {"P.nev"},
                         true});
        lists.push_back({9, 4, 5, "Kávé, tea és csokoládé", "Termékek kulcsszavas kereséssel",
                         {"TCS.nev"},
                         {{"TK.cikkszam", {Count}, Count}, {"TK.nev"}, {"TK.mertekegyseg"}, {"TK.egysegar", {Avg}, Avg},
                          {"TK.afakulcs"}, {"TK.aktiv"}},
                         {keywordCondition(col("TK.nev"), cap("TK.nev"), u"kávé tea csokoládé"_s),
                          textListCondition(col("TCS.nev"), cap("TCS.nev"), {u"Kávé és tea"_s, u"Édességek"_s})},
                         {"TK.nev", "TCS.nev"}});
        lists.push_back({10, 1, 6, "Budapesti és budaörsi partnerek", "Nem 8 napos fizetési határidejű partnerek",
                         {"P.tipus"},
                         {{"P.kod", {Count}, Count}, {"P.nev"}, {"P.irsz"}, {"P.varos"}, {"P.cim"},
                          {"P.letrehozva", {Min}, Min}},
                         {textPrefixCondition(col("P.varos"), cap("P.varos"), u"Buda"_s),
                          numberCondition(col("P.fizetesi_hatarido"), cap("P.fizetesi_hatarido"), 8, 0, true)},
                         {"P.varos", "P.fizetesi_hatarido"}});
        return lists;
    }

    void lists(DemoSummary& s)
    {
        RowWriter reports(m_db, u"vlq_list_report"_s,
                          QStringList{u"id"_s, u"list_type_id"_s, u"name"_s, u"detail_invisible"_s, u"description"_s,
                                      u"sql_source"_s, u"sql_description"_s, u"report_file"_s, u"table_priority"_s,
                                      u"filterform"_s, u"private"_s}
                              + auditColumns());
        RowWriter groups(m_db, u"vlq_list_report_group_field"_s,
                         QStringList{u"id"_s, u"vlq_list_report_id"_s, u"table_field_id"_s, u"sort_order"_s}
                             + auditColumns());
        QStringList visibleColumns{u"id"_s, u"vlq_list_report_id"_s, u"table_field_id"_s, u"sort_order"_s};
        for (int g = 1; g <= 10; ++g)
            visibleColumns << QStringLiteral("group%1_aggregate").arg(g);
        visibleColumns << u"total_aggregate"_s;
        RowWriter visible(m_db, u"vlq_list_report_visible_field"_s, visibleColumns + auditColumns());
        RowWriter wheres(m_db, u"vlq_list_report_where_field"_s,
                         QStringList{u"id"_s, u"vlq_list_report_id"_s, u"table_field_id"_s, u"not_value"_s,
                                     u"relation_type"_s, u"number_from"_s, u"number_to"_s, u"date_from"_s,
                                     u"date_to"_s, u"text_from"_s, u"text_to"_s, u"boolean_value"_s,
                                     u"selected_items"_s, u"sql_where"_s, u"sql_description"_s}
                             + auditColumns());

        const std::vector<SavedList> all = savedLists();
        int groupId = 0, visibleId = 0, whereId = 0;
        for (const SavedList& l : all) {
            QStringList sqlWheres, descriptions;
            for (size_t i = 0; i < l.conditions.size(); ++i) {
                const StoredCondition& c = l.conditions[i];
                sqlWheres << c.sqlWhere;
                descriptions << c.description;
                const QDate today = demoNow().date();
                wheres.insert(QVariantList{++whereId, l.id, fieldId(l.conditionFields[i]), qlonglong(c.notValue), qlonglong(c.relationType),
                                           c.numberFrom, c.numberTo, c.dateFrom.isValid() ? c.dateFrom : today,
                                           c.dateTo.isValid() ? c.dateTo : today, c.textFrom, c.textTo,
                                           qlonglong(c.booleanValue), c.selectedItems, c.sqlWhere, c.description}
                              + audit());
            }
            int order = 0;
            for (const char* g : l.groups)
                groups.insert(QVariantList{++groupId, l.id, fieldId(g), ++order} + audit());
            order = 0;
            for (const Column& c : l.columns) {
                QVariantList row{++visibleId, l.id, fieldId(c.field), ++order};
                for (int g = 0; g < 10; ++g)
                    row << (g < 3 && g < int(l.groups.size()) ? c.groupAggregates[size_t(g)] : -1);
                row << c.total;
                visible.insert(row + audit());
            }
            reports.insert(QVariantList{l.id, l.type, u8(l.name), l.detailHidden ? -1 : 0, u8(l.description),
                                        QString(), descriptions.join(kAndText), QString(), -1,
                                        l.preFilter ? -1 : 0, l.privateList}
                           + QVariantList{l.creator, demoNow(), l.creator, demoNow(), QVariant(), QVariant()});
            m_conditions.insert(l.id, sqlWheres.join(kAnd));
            m_creators.insert(l.id, l.creator);
            m_types.insert(l.id, l.type);
        }
        s.lists = reports.rows();
    }

    // The lists' statements and report sources, made by the library as the
    // wizard makes them when a list is saved.
    void statements()
    {
        for (auto it = m_conditions.constBegin(); it != m_conditions.constEnd(); ++it) {
            const long listId = it.key();
            QString condition = it.value();
            const long user = m_creators.value(listId);
            ctx().userId = user;
            report::ListStatement st;
            if (!report::GenerateListStatement(listId, m_types.value(listId), condition, user, st))
                throw RuntimeError(errnum::Internal, u"demo"_s, collectedErrors(listId, u"statement"_s));
            if (!catalogue::TestSQLStatement(st.test))
                throw RuntimeError(errnum::Internal, u"demo"_s, collectedErrors(listId, u"statement test"_s));
            const QString file = reportFileName(listId);
            m_db.Execute(u"UPDATE vlq_list_report SET sql_source = ?, table_priority = ?, report_file = ? WHERE id = ?"_s,
                         QVariantList{st.stored, qlonglong(st.joinDepth), file, qlonglong(listId)});
        }
    }

private:
    static QString reportFileName(long listId) { return QStringLiteral("REPORT%1.XML").arg(listId); }

    qlonglong fieldId(const char* key) const
    {
        const auto it = m_fieldId.constFind(u8(key));
        if (it == m_fieldId.constEnd())
            throw RuntimeError(errnum::Internal, u"demo"_s, QStringLiteral("unknown catalogue field %1").arg(u8(key)));
        return *it;
    }

public:
    static QString collectedErrors(long listId, const QString& what)
    {
        QStringList texts;
        for (const auto& e : ctx().currentErrors())
            texts << e->description();
        ctx().currentErrors().Clear();
        return QStringLiteral("list %1: %2 failed: %3").arg(listId).arg(what, texts.join(u"; "_s));
    }

    dao::Database& m_db;
    QHash<int, QString> m_tableAlias, m_tableVisible;
    QHash<QString, long> m_fieldId;
    QHash<QString, QString> m_fieldColumn, m_fieldCaption;
    QMap<long, QString> m_conditions;
    QHash<long, long> m_creators, m_types;
};

DemoSummary fillCatalogue(dao::Database& db, const DemoSummary& host, const QString& reportsDir)
{
    DemoSummary s = host;
    CatalogueBuilder b(db);
    b.lookups();
    b.catalogue(s);
    b.denials(s);
    b.lists(s);
    b.statements();
    Q_UNUSED(reportsDir);
    return s;
}

// Report sources of the saved lists, as the wizard writes them on saving:
// full field names as captions.
void writeReportSources(const QString& reportsDir)
{
    modTables::Initialize();
    for (long listId = 1;; ++listId) {
        ListReport list;
        if (!list.CoreLoad(QVariant(qlonglong(listId))) || list.ID() == -1)
            break;
        XMLSourceGenerator g;
        g.setTableFieldNameCompletteOnUI(true);
        g.setTableFieldNameCompletteOnReport(true);
        g.setReportFields(list.ReportFields());
        g.setReportGroups(list.ReportGroups());
        g.setListReportID(listId);
        g.setDetailInvisible(list.detail_invisible() != 0);
        g.setSQLDescription(list.sql_description());
        g.setReportFolder(reportsDir);
        if (!g.GenerateXMLSource() || g.ReportName() != list.report_file())
            throw RuntimeError(errnum::Internal, u"demo"_s,
                               CatalogueBuilder::collectedErrors(listId, u"report source"_s));
    }
    modTables::Terminate();
    modTables::Reset();
}

}  // namespace lg::demo
