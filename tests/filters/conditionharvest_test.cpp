// Reading a condition back out of a filter: every stored condition of the
// demo database, set up in its filter and harvested, gives the stored values
// again, and what is not a condition is never stored.

#include "catalogue/filtercontrolproperties.h"
#include "demodb.h"
#include "filters/checkboxfiltermodel.h"
#include "filters/conditionharvest.h"
#include "filters/filtercontrolsetup.h"
#include "filters/listboxfiltermodel.h"
#include "filters/textfiltermodel.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"

#include <gtest/gtest.h>

using namespace lg;
using namespace lg::filters;
using lg::catalogue::tFilterControlPropertys;
using lg::test::DemoDb;

namespace {

class ConditionHarvest : public ::testing::Test {
protected:
    void SetUp() override
    {
        modTables::Reset();
        ctx().database = DemoDb::instance().shared();
        ctx().currentErrors().Clear();
    }
    void TearDown() override
    {
        modTables::Reset();
        ctx().database.reset();
    }
};

TEST_F(ConditionHarvest, EveryStoredConditionOfTheDemoIsHarvestedAsStored)
{
    auto rs = DemoDb::instance().db().OpenRecordset(
        QStringLiteral("SELECT w.vlq_list_report_id, w.table_field_id, f.field_control_type "
                       "FROM vlq_list_report_where_field AS w INNER JOIN "
                       "vlq_list_wizard_table_field AS f ON f.id = w.table_field_id ORDER BY w.id"));
    QSet<int> types;
    int conditions = 0;
    for (; !rs->Eof(); rs->MoveNext()) {
        const long list = rs->Fields(0).toInt();
        const long field = rs->Fields(1).toInt();
        SCOPED_TRACE(QStringLiteral("list %1, field %2").arg(list).arg(field).toStdString());
        tFilterControlPropertys stored;
        ASSERT_TRUE(catalogue::GetTableFieldFilterControlPropertys(field, list, true, stored));
        ASSERT_TRUE(stored.hasCondition());
        // A keyword condition a text filter wrote on a field that is now a
        // container: no container holds it (see the set-up's tests).
        if (stored.tTFControlType == catalogue::fctContainer && stored.tWFSelectedItems.isEmpty())
            continue;

        auto filter = createFilterForControlType(stored.tTFControlType);
        ASSERT_TRUE(filter);
        ASSERT_TRUE(SetFilterControlPropertys(stored, *filter));

        tFilterControlPropertys fresh;
        ASSERT_TRUE(catalogue::GetTableFieldFilterControlPropertys(field, -1, true, fresh));
        ASSERT_FALSE(fresh.hasCondition());
        const HarvestedCondition c = HarvestCondition(*filter, fresh);
        ASSERT_TRUE(c.active);
        types.insert(stored.tTFControlType);
        ++conditions;
        EXPECT_EQ(c.where, stored.tWFSQLWhere);
        EXPECT_EQ(c.description, stored.tWFSQLDescription);
        EXPECT_EQ(fresh.tWFSQLWhere, stored.tWFSQLWhere);
        EXPECT_EQ(fresh.tWFSQLDescription, stored.tWFSQLDescription);
        EXPECT_EQ(fresh.tWFID, -1) << "the harvest leaves the record's identity alone";
        switch (stored.tTFControlType) {
        case catalogue::fctNumberLong:
        case catalogue::fctNumberDecimal:
            EXPECT_EQ(fresh.tWFNumberFrom, stored.tWFNumberFrom);
            EXPECT_EQ(fresh.tWFNumberTo, stored.tWFNumberTo);
            EXPECT_EQ(fresh.tWFNotValue, stored.tWFNotValue);
            EXPECT_EQ(fresh.tWFRelationType, stored.tWFRelationType);
            break;
        case catalogue::fctDate:
            EXPECT_EQ(fresh.tWFDateFrom.date(), stored.tWFDateFrom.date());
            EXPECT_EQ(fresh.tWFNotValue, stored.tWFNotValue);
            EXPECT_EQ(fresh.tWFRelationType, stored.tWFRelationType);
            break;
        case catalogue::fctText:
            EXPECT_EQ(fresh.tWFTextFrom, stored.tWFTextFrom);
            EXPECT_EQ(fresh.tWFNotValue, stored.tWFNotValue);
            EXPECT_EQ(fresh.tWFRelationType, stored.tWFRelationType);
            break;
        case catalogue::fctCheckBox:
            EXPECT_EQ(fresh.tWFBooleanValue, stored.tWFBooleanValue);
            break;
        default:
            EXPECT_EQ(fresh.tWFSelectedItems, stored.tWFSelectedItems);
            break;
        }

        // Set up again from the harvest: the same condition comes back.
        fresh.tWFID = 1;
        auto again = createFilterForControlType(fresh.tTFControlType);
        ASSERT_TRUE(SetFilterControlPropertys(fresh, *again));
        WhereCollection run;
        ASSERT_TRUE(again->collectWhereAndFilter(run));
        EXPECT_EQ(run.where, stored.tWFSQLWhere);
        EXPECT_EQ(run.description, stored.tWFSQLDescription);
    }
    EXPECT_EQ(types, (QSet<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_GT(conditions, 8);
}

TEST_F(ConditionHarvest, WhatIsNoConditionIsNotHarvested)
{
    tFilterControlPropertys untouched;
    untouched.tTFControlType = catalogue::fctNumberLong;
    untouched.tWFSQLWhere = QStringLiteral("kept");
    untouched.tWFNumberFrom = 7;

    struct Case {
        const char* what;
        int controlType;
        std::function<std::unique_ptr<QueryFilter>()> make;
    } cases[] = {
        {"unticked number", 1,
         [] {
             auto f = std::make_unique<TextFilterModel>();
             f->setInputType(TypedInput::NumberInput);
             f->setQueryField(QStringLiteral("[p].[x]"));
             f->setInput1Text(5);
             return f;
         }},
        {"ticked text without text", 4,
         [] {
             auto f = std::make_unique<TextFilterModel>();
             f->setInputType(TypedInput::TextInput);
             f->setQueryField(QStringLiteral("[p].[x]"));
             f->setQueryCheckValue(1);
             return f;
         }},
        {"ticked list box without selection", 6,
         [] {
             auto f = std::make_unique<ListBoxFilterModel>(ListBoxFilterModel::Keys::Numeric);
             f->setQueryField(QStringLiteral("[p].[x]"));
             f->addFilterItem(QStringLiteral("egy"), 1);
             f->setQueryCheckValue(1);
             return f;
         }},
        {"filter of another kind", 5,
         [] {
             auto f = std::make_unique<TextFilterModel>();
             f->setInputType(TypedInput::NumberInput);
             f->setQueryField(QStringLiteral("[p].[x]"));
             f->setInput1Text(5);
             f->setQueryCheckValue(1);
             return f;
         }},
        {"type outside 1 to 8", 9,
         [] {
             auto f = std::make_unique<TextFilterModel>();
             f->setQueryField(QStringLiteral("[p].[x]"));
             f->setQueryCheckValue(1);
             return f;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = c.make();
        tFilterControlPropertys r = untouched;
        r.tTFControlType = c.controlType;
        EXPECT_FALSE(HarvestCondition(*filter, r).active);
        EXPECT_EQ(r.tWFSQLWhere, QStringLiteral("kept"));
        EXPECT_EQ(r.tWFNumberFrom, 7);
    }
}

TEST_F(ConditionHarvest, NumbersAreStoredAsWholeNumbersInRange)
{
    struct Case {
        int type;
        const char* from;
        const char* to;
        qint32 storedFrom, storedTo;
    } cases[] = {
        {1, "12", "", 12, 0},
        {2, "12,5", "99.4", 13, 99},  // rounded half away from zero, as the stored numbers are read
        {2, "-3,5", "", -4, 0},
        {1, "99999999999", "", 2147483647, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        auto filter = createFilterForControlType(c.type);
        auto& f = static_cast<TextFilterModel&>(*filter);
        f.setQueryField(QStringLiteral("[p].[x]"));
        f.setQueryCheckValue(1);
        f.input1()->setText(QString::fromUtf8(c.from));
        if (*c.to) {
            f.setRelationListItemData(TextFilterModel::Between);
            f.input2()->setText(QString::fromUtf8(c.to));
        }
        tFilterControlPropertys r;
        r.tTFControlType = c.type;
        const HarvestedCondition h = HarvestCondition(f, r);
        ASSERT_TRUE(h.active);
        EXPECT_EQ(r.tWFNumberFrom, c.storedFrom);
        EXPECT_EQ(r.tWFNumberTo, c.storedTo);
        EXPECT_EQ(r.tWFRelationType, f.relationListItemData());
        EXPECT_FALSE(r.tWFSQLWhere.isEmpty()) << "the clause keeps the number as typed";
    }
}

TEST_F(ConditionHarvest, CreatesTheFilterOfEveryControlType)
{
    struct Case {
        int type;
        QueryFilter::Kind kind;
        int inputType;
    } cases[] = {
        {1, QueryFilter::Kind::Text, TypedInput::NumberInput}, {2, QueryFilter::Kind::Text, TypedInput::NumberInput},
        {3, QueryFilter::Kind::Text, TypedInput::DateInput},   {4, QueryFilter::Kind::Text, TypedInput::TextInput},
        {5, QueryFilter::Kind::CheckBox, 0},                   {6, QueryFilter::Kind::ListBox, 0},
        {7, QueryFilter::Kind::Container, 0},                  {8, QueryFilter::Kind::TextListBox, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto f = createFilterForControlType(c.type);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->kind(), c.kind);
        EXPECT_TRUE(filterFitsControlType(*f, c.type));
        EXPECT_EQ(f->queryCheckValue(), 0);
        if (c.inputType)
            EXPECT_EQ(static_cast<TextFilterModel&>(*f).inputType(), c.inputType);
    }
    EXPECT_FALSE(createFilterForControlType(0));
    EXPECT_FALSE(createFilterForControlType(9));
}

}  // namespace
