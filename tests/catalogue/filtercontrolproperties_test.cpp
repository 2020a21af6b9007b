// The filter-control properties of a catalogue field: what the record holds
// for each kind of field and stored condition, and what it holds when the
// field or its table cannot be used.

#include <gtest/gtest.h>

#include "catalogue/catalogue_fixture.h"
#include "catalogue/filtercontrolproperties.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"

using namespace lg;
using namespace lg::catalogue;
using lg::test::CatalogueDb;
using lg::test::FieldSpec;
using lg::test::jetText;

namespace {

class FilterControlProperties : public ::testing::Test {
protected:
    FilterControlProperties()
    {
        partner = c.addTable(QStringLiteral("partner"), QStringLiteral("P"), QStringLiteral("Partner"));
        c.exec(QStringLiteral("update vlq_list_wizard_table set quickpick_id = 4, primarykey_indexname = ' pk_partner ',"
                              " primarykey_filedname = ' partner_id ', where_clause_qpi = 'aktiv=-1' where id = %1")
                   .arg(partner));
        region = c.addTable(QStringLiteral("regio"), QStringLiteral("R"), QStringLiteral("Régió"));
        list = c.addList(c.addType(QStringLiteral("Partnerek")), QStringLiteral("Lista"), 1);
    }

    long field(long table, const QString& name, const QString& visible, int controlType,
               const QString& whereClause = {}, const QString& defaultSearch = {})
    {
        FieldSpec f;
        f.tableId = table;
        f.fieldName = name;
        f.visibleName = visible;
        const long id = c.addField(f);
        c.exec(QStringLiteral("update vlq_list_wizard_table_field set field_control_type = %1, where_clause = %2, "
                              "default_search_field = %3 where id = %4")
                   .arg(controlType)
                   .arg(jetText(whereClause), jetText(defaultSearch))
                   .arg(id));
        return id;
    }

    tFilterControlPropertys load(long fieldId, long listId, bool tableName = false, bool expect = true)
    {
        tFilterControlPropertys r;
        EXPECT_EQ(GetTableFieldFilterControlPropertys(fieldId, listId, tableName, r), expect);
        return r;
    }

    CatalogueDb c;
    long partner = -1, region = -1, list = -1;
};

}  // namespace

TEST_F(FilterControlProperties, ColumnAndCaptionFollowTheControlTypeAndTheTableSettings)
{
    struct Case {
        long table;
        int type;
        bool tableName;
        const char* alias;
        const char* caption;
        const char* pkName;
        const char* pkField;
    };
    const Case cases[] = {
        // Text: the field's own column; the short caption gets a capital.
        {partner, 4, false, "[P].[varos]", "Város", "pk_partner", "partner_id"},
        {partner, 4, true, "[P].[varos]", "Partner város", "pk_partner", "partner_id"},
        // List box and container filter on the trimmed primary-key column.
        {partner, 6, false, "[P].[partner_id]", "Város", "pk_partner", "partner_id"},
        {partner, 7, false, "[P].[partner_id]", "Város", "pk_partner", "partner_id"},
        // A table without primary-key settings: "id" and "PrimaryKey".
        {region, 6, false, "[R].[id]", "Város", "PrimaryKey", "id"},
        {region, 8, false, "[R].[varos]", "Város", "PrimaryKey", "id"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.alias);
        const long id = field(k.table, QStringLiteral("varos"), QStringLiteral("város"), k.type);
        const tFilterControlPropertys r = load(id, list, k.tableName);
        EXPECT_EQ(r.tTFID, id);
        EXPECT_EQ(r.tTFControlType, k.type);
        EXPECT_EQ(r.tTFQueryField, QStringLiteral("varos"));
        EXPECT_EQ(r.tTFQueryAliasField, QString::fromUtf8(k.alias));
        EXPECT_EQ(r.tTFQueryFieldVisible, QString::fromUtf8(k.caption));
        EXPECT_EQ(r.tTPrimaryKeyName, QString::fromUtf8(k.pkName));
        EXPECT_EQ(r.tTPrimaryKeyFiled, QString::fromUtf8(k.pkField));
        EXPECT_EQ(r.tTFQueryFieldTable, k.table == partner ? QStringLiteral("partner") : QStringLiteral("regio"));
        EXPECT_EQ(r.tTFQuickpickID, k.table == partner ? 4 : -1);
    }
}

TEST_F(FilterControlProperties, PickListConditionJoinsTheTableAndTheFieldClauses)
{
    struct Case {
        long table;
        const char* fieldClause;
        const char* expected;
    };
    const Case cases[] = {
        {partner, "tipus='V'", "aktiv=-1 AND tipus='V'"},
        {partner, "", "aktiv=-1"},
        {partner, "   ", "aktiv=-1"},
        {region, "tipus='V'", "tipus='V'"},
        {region, "", ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.expected);
        const long id = field(k.table, QStringLiteral("nev"), QStringLiteral("név"), 8, QString::fromUtf8(k.fieldClause),
                              QStringLiteral("nev"));
        const tFilterControlPropertys r = load(id, list);
        EXPECT_EQ(r.tTFQueryFieldProgIDFilter, QString::fromUtf8(k.expected));
        EXPECT_EQ(r.tTFDefaultSearchField, QStringLiteral("nev"));
    }
}

TEST_F(FilterControlProperties, WithoutStoredConditionEveryConditionMemberKeepsItsResetValue)
{
    const long id = field(partner, QStringLiteral("hitelkeret"), QStringLiteral("hitelkeret"), 2);
    const tFilterControlPropertys r = load(id, list);
    const tFilterControlPropertys fresh;
    EXPECT_EQ(r.tWFID, -1);
    EXPECT_FALSE(r.hasCondition());
    const auto got = members(r), want = members(fresh);
    ASSERT_EQ(got.size(), 27);
    for (int i = 0; i < got.size(); ++i) {
        if (!got.at(i).first.startsWith(u"tWF") || got.at(i).first.startsWith(u"tWFDate"))
            continue;
        EXPECT_EQ(got.at(i).second, want.at(i).second) << got.at(i).first.toStdString();
    }
    EXPECT_LE(qAbs(r.tWFDateFrom.secsTo(QDateTime::currentDateTime())), 60);
}

TEST_F(FilterControlProperties, StoredConditionIsCopiedAndNumbersBecomeWholeNumbers)
{
    const long id = field(partner, QStringLiteral("hitelkeret"), QStringLiteral("hitelkeret"), 2);
    // A deleted condition of the same field does not count.
    const long gone = c.addWhere(list, id, QStringLiteral("old"));
    c.exec(QStringLiteral("update vlq_list_report_where_field set del_status = 1 where id = %1").arg(gone));
    const long where = c.addWhere(list, id, QStringLiteral("([P].[hitelkeret] Between 1 And 5)"));
    c.exec(QStringLiteral("update vlq_list_report_where_field set not_value = 1, relation_type = 1, number_from = 1.6,"
                          " number_to = 9999999999, date_from = #03/05/2024#, text_from = 'a''b', boolean_value = -1,"
                          " selected_items = '3,5', sql_description = '(x)' where id = %1")
               .arg(where));

    long found = -2;
    EXPECT_TRUE(GetWhereFieldIDFromTableField(list, id, found));
    EXPECT_EQ(found, where);
    EXPECT_TRUE(GetWhereFieldIDFromTableField(list + 1, id, found));
    EXPECT_EQ(found, -1);

    const tFilterControlPropertys r = load(id, list);
    EXPECT_EQ(r.tWFID, where);
    EXPECT_EQ(r.tWFNotValue, 1);
    EXPECT_EQ(r.tWFRelationType, 1);
    EXPECT_EQ(r.tWFNumberFrom, 2);
    EXPECT_EQ(r.tWFNumberTo, 2147483647);
    EXPECT_EQ(r.tWFDateFrom.date(), QDate(2024, 3, 5));
    EXPECT_EQ(r.tWFTextFrom, QStringLiteral("a'b"));
    EXPECT_EQ(r.tWFBooleanValue, -1);
    EXPECT_EQ(r.tWFSelectedItems, QStringLiteral("3,5"));
    EXPECT_EQ(r.tWFSQLWhere, QStringLiteral("([P].[hitelkeret] Between 1 And 5)"));
    EXPECT_EQ(r.tWFSQLDescription, QStringLiteral("(x)"));
}

TEST_F(FilterControlProperties, UnusableFieldsYieldFalse)
{
    const long type0 = field(partner, QStringLiteral("a"), QStringLiteral("a"), 0);
    const long type9 = field(partner, QStringLiteral("b"), QStringLiteral("b"), 9);
    const long orphan = field(partner, QStringLiteral("c"), QStringLiteral("c"), 4);
    c.exec(QStringLiteral("update vlq_list_wizard_table_field set table_id = 999 where id = %1").arg(orphan));
    for (long id : {type0, type9, orphan, 12345L}) {
        SCOPED_TRACE(id);
        tFilterControlPropertys r;
        r.tTFID = 77;
        EXPECT_FALSE(GetTableFieldFilterControlPropertys(id, list, false, r));
        EXPECT_EQ(r.tTFControlType, -1);
    }
}

TEST_F(FilterControlProperties, DatabaseFailuresAreCollectedWithTheModuleTrace)
{
    ctx().currentErrors().Clear();
    std::shared_ptr<dao::Recordset> rs;
    EXPECT_FALSE(LoadRecordSet(QStringLiteral("SELECT nincs FROM sehol"), rs));
    EXPECT_FALSE(rs);
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_TRUE(ctx().currentErrors().Item(1)->description().endsWith(
        QStringLiteral("vlqTabul2/modFilterControlUtils/ in Function LoadRecordSet")));
    ctx().currentErrors().Clear();

    EXPECT_TRUE(LoadRecordSet(QStringLiteral("SELECT id FROM vlq_list_wizard_table"), rs));
    ASSERT_TRUE(rs);
    EXPECT_FALSE(rs->Eof());
}
