// The pre-filter dialog's model on the demo database: which fields it
// offers, the store of extra conditions as the user switches fields, and
// the two outputs.

#include <gtest/gtest.h>

#include "controls/prefiltermodel.h"
#include "controlsfixture.h"
#include "filters/checkboxfiltermodel.h"
#include "filters/conditionharvest.h"
#include "filters/filtercontrolsetup.h"
#include "filters/textfiltermodel.h"
#include "platform/strings.h"
#include "store/errors.h"

using namespace lg;
using namespace lg::controls;
using namespace Qt::StringLiterals;

namespace {

class PreFilter : public test::DemoDatabase {
protected:
    void SetUp() override
    {
        test::DemoDatabase::SetUp();
        ctx().currentErrors().Clear();
    }

    long fieldId(const QString& table, const QString& field)
    {
        auto rs = db->OpenRecordset(u"SELECT TF.id FROM vlq_list_wizard_table_field AS TF INNER JOIN "
                                    "vlq_list_wizard_table AS T ON T.id = TF.table_id "
                                    "WHERE T.table_name = '%1' AND TF.field_name = '%2'"_s.arg(table, field));
        EXPECT_FALSE(rs->Eof()) << table.toStdString() << "." << field.toStdString();
        return rs->Eof() ? -1 : long(rs->Fields(0).toLongLong());
    }

    // The invoice list type (2) as list 4 has it: invoices (priority 0),
    // partners (1), regions (2).
    static PreFilterRequest invoices(long priority = 2, const QString& original = u"Fizetetlen, lejárt"_s)
    {
        PreFilterRequest r;
        r.listTypeId = 2;
        r.tablePriority = priority;
        r.originalSqlDescription = original;
        r.reportName = u"Lejárt, kifizetetlen számlák"_s;
        r.userId = 1;
        return r;
    }

    // Switches the model to `field` the way the dialog does: the condition
    // of the field before is read from the filter that held it, and a new
    // filter is set up from the new field's record.
    filters::QueryFilter* edit(PreFilterModel& m, long field)
    {
        EXPECT_TRUE(m.InitCurrentFilterControl(field, holder.get()));
        holder = filters::createFilterForControlType(m.current().tTFControlType);
        if (holder)
            EXPECT_TRUE(filters::SetFilterControlPropertys(m.current(), *holder));
        return holder.get();
    }
    filters::TextFilterModel* text(PreFilterModel& m, long field, const QString& value)
    {
        auto* f = static_cast<filters::TextFilterModel*>(edit(m, field));
        f->setQueryCheckValue(1);
        f->setInput1Text(value);
        return f;
    }
    static bool anyError(const QString& part)
    {
        for (long i = 1; i <= ctx().currentErrors().Count(); ++i)
            if (ctx().currentErrors().Item(i)->description().contains(part))
                return true;
        return false;
    }
    void confirm(PreFilterModel& m) { EXPECT_TRUE(m.InitCurrentFilterControl(PreFilterModel::kConfirm, holder.get())); }

    std::unique_ptr<filters::QueryFilter> holder;
};

TEST_F(PreFilter, OffersTheFilterableFieldsUpToTheTablePriority)
{
    for (long priority : {0L, 1L, 2L}) {
        SCOPED_TRACE(priority);
        PreFilterModel m(invoices(priority));
        ASSERT_TRUE(m.Initialize());
        // Independently: the type's tables up to the priority, their live
        // filterable fields.
        auto rs = db->OpenRecordset(
            u"SELECT TF.id FROM (vlq_list_wizard_table_field AS TF INNER JOIN vlq_list_wizard_table_type_connection "
            "AS TTC ON TTC.table_id = TF.table_id) WHERE TTC.list_type_id = 2 AND TTC.sort_order <= %1 "
            "AND TF.filtered = -1 AND TF.del_status = 0 AND TF.temp_status = 0"_s.arg(priority));
        QSet<long> expected;
        for (; !rs->Eof(); rs->MoveNext())
            expected.insert(long(rs->Fields(0).toLongLong()));
        QSet<long> offered;
        for (const ui::FieldTreeRow& row : m.fieldRows())
            offered.insert(row.fieldId);
        EXPECT_EQ(offered, expected);
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(m.offersField(fieldId(u"partner"_s, u"kod"_s)), priority >= 1);
        EXPECT_EQ(m.offersField(fieldId(u"regio"_s, u"nev"_s)), priority >= 2);
    }

    // A field beyond the priority cannot be edited either.
    PreFilterModel m(invoices(0));
    ASSERT_TRUE(m.Initialize());
    EXPECT_FALSE(m.InitCurrentFilterControl(fieldId(u"partner"_s, u"kod"_s), nullptr));
    EXPECT_EQ(m.currentFieldId(), -1);
    EXPECT_TRUE(anyError(PreFilterModel::kSource + u" in Function InitCurrentFilterControl"_s));
}

TEST_F(PreFilter, ConfirmingWithoutInputKeepsTheListsOwnDescription)
{
    PreFilterModel m(invoices());
    ASSERT_TRUE(m.Initialize());
    EXPECT_EQ(m.sqlDescription(), u"Fizetetlen, lejárt"_s) << "shown from the start";
    edit(m, fieldId(u"szamla"_s, u"szamlaszam"_s));  // looked at, nothing entered
    confirm(m);
    EXPECT_TRUE(m.sqlFieldWhere().isEmpty());
    EXPECT_EQ(m.sqlDescription(), u"Fizetetlen, lejárt"_s);
    EXPECT_TRUE(m.keys().isEmpty());
    const PreFilterAnswer a = m.answer(0);
    EXPECT_TRUE(a.initialized);
    EXPECT_EQ(a.returnValue, 0);
    EXPECT_TRUE(a.sqlFieldWhere.isEmpty());
}

TEST_F(PreFilter, OneConditionWithoutAnOriginalIsThatConditionsDescription)
{
    PreFilterModel m(invoices(2, QString()));
    ASSERT_TRUE(m.Initialize());
    EXPECT_TRUE(m.sqlDescription().isEmpty());
    filters::TextFilterModel* f = text(m, fieldId(u"szamla"_s, u"szamlaszam"_s), u"SZ-2024"_s);
    const QString where = f->queryResultSQL();
    const QString description = f->queryResultDescription();
    ASSERT_FALSE(where.isEmpty());
    confirm(m);
    EXPECT_EQ(m.sqlFieldWhere(), where);
    EXPECT_EQ(m.sqlDescription(), description);
    EXPECT_EQ(m.keys(), QStringList{u"WF"_s + QString::number(fieldId(u"szamla"_s, u"szamlaszam"_s))});
}

TEST_F(PreFilter, ConditionsJoinInTheOrderTheyWereFirstEntered)
{
    PreFilterModel m(invoices());
    ASSERT_TRUE(m.Initialize());
    const long number = fieldId(u"szamla"_s, u"szamlaszam"_s);
    const long partner = fieldId(u"partner"_s, u"kod"_s);
    filters::TextFilterModel* a = text(m, number, u"SZ"_s);
    const QString whereA = a->queryResultSQL(), descA = a->queryResultDescription();
    filters::TextFilterModel* b = text(m, partner, u"P0"_s);
    const QString whereB = b->queryResultSQL(), descB = b->queryResultDescription();
    // Back to the first field: its condition comes back, and a change keeps its place.
    auto* again = static_cast<filters::TextFilterModel*>(edit(m, number));
    EXPECT_EQ(again->queryCheckValue(), 1);
    EXPECT_EQ(again->queryResultSQL(), whereA);
    again->setInput1Text(u"SZ-1"_s);
    const QString whereA2 = again->queryResultSQL(), descA2 = again->queryResultDescription();
    ASSERT_NE(whereA2, whereA);
    confirm(m);

    const QString joiner = LoadResString(30002);
    EXPECT_EQ(joiner, u" ÉS "_s);
    EXPECT_EQ(m.keys(), (QStringList{u"WF"_s + QString::number(number), u"WF"_s + QString::number(partner)}))
        << "two conditions on one field leave one entry";
    EXPECT_EQ(m.sqlFieldWhere(), whereA2 + u" AND "_s + whereB);
    EXPECT_EQ(m.sqlDescription(), u"Fizetetlen, lejárt"_s + joiner + descA2 + joiner + descB);
    EXPECT_EQ(m.entry(u"WF"_s + QString::number(number))->tWFTextFrom, u"SZ-1"_s);
    Q_UNUSED(descA);
}

TEST_F(PreFilter, UntickingAConditionRemovesIt)
{
    PreFilterModel m(invoices());
    ASSERT_TRUE(m.Initialize());
    const long paid = fieldId(u"szamla"_s, u"fizetve"_s);
    const long number = fieldId(u"szamla"_s, u"szamlaszam"_s);
    auto* check = static_cast<filters::CheckBoxFilterModel*>(edit(m, paid));
    check->setQueryCheckValue(1);
    const QString paidCaption = check->queryFieldDescription();
    text(m, number, u"SZ"_s);
    EXPECT_EQ(m.keys().size(), 1) << "a condition is stored when its field is left";
    auto* back = edit(m, paid);
    EXPECT_EQ(m.keys().size(), 2);
    EXPECT_EQ(back->queryCheckValue(), 1) << "the stored condition comes back";
    back->setQueryCheckValue(0);
    edit(m, -1);  // a table node
    EXPECT_EQ(m.keys(), QStringList{u"WF"_s + QString::number(number)});
    EXPECT_FALSE(m.sqlFieldWhere().contains(u"fizetve"_s));
    EXPECT_FALSE(m.sqlDescription().contains(paidCaption));
    // And the last one too: both outputs fall back.
    static_cast<filters::TextFilterModel*>(edit(m, number))->setQueryCheckValue(0);
    confirm(m);
    EXPECT_TRUE(m.keys().isEmpty());
    EXPECT_TRUE(m.sqlFieldWhere().isEmpty());
    EXPECT_EQ(m.sqlDescription(), u"Fizetetlen, lejárt"_s);
}

TEST_F(PreFilter, InitializeFailures)
{
    struct Case {
        const char* what;
        long listType;
        bool database;
    } cases[] = {{"no database", 2, false}, {"unknown list type", 99, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ctx().currentErrors().Clear();
        if (!c.database)
            ctx().database.reset();
        PreFilterRequest r = invoices();
        r.listTypeId = c.listType;
        PreFilterModel m(r);
        EXPECT_FALSE(m.Initialize());
        EXPECT_FALSE(m.answer(0).initialized);
        EXPECT_TRUE(anyError(u"vlqTabula2.frmPreFilter in Function Initialize"_s));
        ctx().database = db;
    }
}

}  // namespace
