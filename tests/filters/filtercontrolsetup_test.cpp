// Setting a filter up from the filter-control properties of a catalogue
// field: every stored condition of the demo database comes back unchanged,
// the pick lists are read with the statement built from the catalogue, and
// stored selections that are not what they should be never break anything.

#include "catalogue/filtercontrolproperties.h"
#include "demodb.h"
#include "filters/checkboxfiltermodel.h"
#include "filters/filtercontrolsetup.h"
#include "filters/listboxfiltermodel.h"
#include "filters/querycontainermodel.h"
#include "filters/textfiltermodel.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"

#include <gtest/gtest.h>

using namespace lg;
using namespace lg::filters;
using lg::catalogue::tFilterControlPropertys;
using lg::test::DemoDb;

namespace {

std::unique_ptr<QueryFilter> filterFor(int controlType)
{
    switch (controlType) {
    case 5:
        return std::make_unique<CheckBoxFilterModel>();
    case 6:
        return std::make_unique<ListBoxFilterModel>(ListBoxFilterModel::Keys::Numeric);
    case 7:
        return std::make_unique<QueryContainerModel>();
    case 8:
        return std::make_unique<ListBoxFilterModel>(ListBoxFilterModel::Keys::Text);
    default:
        return std::make_unique<TextFilterModel>();
    }
}

struct RecordingView : FilterControlView {
    void setEnabled(bool on) override { steps << (on ? "enabled" : "disabled"); }
    void setListBoxVisible(bool on) override { steps << (on ? "list shown" : "list hidden"); }
    void setVisible(bool on) override { steps << (on ? "shown" : "hidden"); }
    void showErrors() override { steps << "errors shown"; }
    QStringList steps;
};

class FilterControlSetup : public ::testing::Test {
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

    tFilterControlPropertys properties(long fieldId, long listId)
    {
        tFilterControlPropertys r;
        EXPECT_TRUE(catalogue::GetTableFieldFilterControlPropertys(fieldId, listId, true, r));
        return r;
    }

    QStringList selectedTexts(const ListBoxFilterModel& f)
    {
        QStringList out;
        for (const FilterItem& item : f.items()) {
            if (item.selected)
                out << item.text;
        }
        return out;
    }
};

}  // namespace

TEST_F(FilterControlSetup, EveryStoredConditionOfTheDemoComesBackUnchanged)
{
    struct Stored {
        long list, field;
        QString selected, sql, description;
    };
    QList<Stored> stored;
    auto rs = DemoDb::instance().db().OpenRecordset(
        QStringLiteral("SELECT w.vlq_list_report_id, w.table_field_id, w.selected_items, w.sql_where, "
                       "w.sql_description, f.field_control_type FROM vlq_list_report_where_field AS w INNER JOIN "
                       "vlq_list_wizard_table_field AS f ON f.id = w.table_field_id ORDER BY w.id"));
    QSet<int> types;
    for (; !rs->Eof(); rs->MoveNext()) {
        // The keyword condition of list 9 was written by a text filter on a
        // field the catalogue now gives a container: no container holds it.
        if (rs->Fields(5).toInt() == 7 && rs->Fields(2).toString().isEmpty())
            continue;
        types.insert(rs->Fields(5).toInt());
        stored.append({rs->Fields(0).toInt(), rs->Fields(1).toInt(), rs->Fields(2).toString(),
                       rs->Fields(3).toString(), rs->Fields(4).toString()});
    }
    EXPECT_EQ(types, (QSet<int>{1, 2, 3, 4, 5, 6, 7, 8}));

    for (const Stored& s : stored) {
        SCOPED_TRACE(QStringLiteral("list %1, field %2: %3").arg(s.list).arg(s.field).arg(s.sql).toStdString());
        const tFilterControlPropertys r = properties(s.field, s.list);
        ASSERT_TRUE(r.hasCondition());
        auto filter = filterFor(r.tTFControlType);
        RecordingView view;
        ASSERT_TRUE(SetFilterControlPropertys(r, *filter, &view));
        EXPECT_TRUE(view.steps.contains(QStringLiteral("enabled")));
        EXPECT_EQ(filter->queryCheckValue(), 1);
        WhereCollection run;
        ASSERT_TRUE(filter->collectWhereAndFilter(run));
        EXPECT_EQ(run.where, s.sql);
        EXPECT_EQ(run.description, s.description);
        EXPECT_EQ(filter->queryResultIDs(), s.selected);
    }
}

TEST_F(FilterControlSetup, FieldWithoutStoredConditionStartsUnticked)
{
    // Fields of every kind on list 7, which stores no condition.
    for (long field : {1L, 2L, 8L, 9L, 11L, 12L, 36L}) {
        SCOPED_TRACE(field);
        const tFilterControlPropertys r = properties(field, 7);
        EXPECT_FALSE(r.hasCondition());
        auto filter = filterFor(r.tTFControlType);
        ASSERT_TRUE(SetFilterControlPropertys(r, *filter));
        EXPECT_EQ(filter->queryCheckValue(), 0);
        EXPECT_EQ(filter->queryField(), r.tTFQueryAliasField);
        EXPECT_EQ(filter->queryFieldDescription(), r.tTFQueryFieldVisible);
        WhereCollection run;
        EXPECT_FALSE(filter->collectWhereAndFilter(run));
    }
}

TEST_F(FilterControlSetup, PickListStatementIsBuiltFromFixedSegments)
{
    tFilterControlPropertys r;
    r.tTFQueryField = QStringLiteral("nev");
    r.tTFQueryFieldTable = QStringLiteral("regio");
    r.tTPrimaryKeyFiled = QStringLiteral("id");
    const auto pad = [](int n) { return QString(n, u' '); };
    const QString head = QStringLiteral("SELECT") + pad(26);
    const QString tail = QStringLiteral("nev") + pad(17) + QStringLiteral("FROM regio") + pad(15);
    struct Case {
        int type;
        const char* filter;
        QString sql;
    };
    const Case cases[] = {
        {6, "", head + QStringLiteral("id,") + tail + QStringLiteral("WHERE  (TRUE) ") + pad(19)},
        {8, "  ", head + tail + QStringLiteral("WHERE  (TRUE) ") + pad(19)},
        {8, "aktiv=-1", head + tail + QStringLiteral("WHERE aktiv=-1") + pad(19)},
    };
    for (const Case& k : cases) {
        r.tTFControlType = k.type;
        r.tTFQueryFieldProgIDFilter = QString::fromLatin1(k.filter);
        EXPECT_EQ(pickListStatement(r), k.sql);
    }
}

TEST_F(FilterControlSetup, StoredSelectionsAreReadForgivingly)
{
    struct Case {
        int field;  // 12 regions (list box), 36 product groups (text list box)
        const char* selected;
        QStringList texts;
    };
    const Case cases[] = {
        {12, "1,6,7", {QStringLiteral("Közép-Magyarország"), QStringLiteral("Észak-Alföld"), QStringLiteral("Dél-Alföld")}},
        // Parts that are not whole numbers, and ids no entry has, are left out.
        {12, "1,'6',x7, 2 ,999,", {QStringLiteral("Közép-Magyarország"), QStringLiteral("Közép-Dunántúl")}},
        {12, "' OR 1=1 --", {}},
        {36, "'Kávé és tea','Édességek'", {QStringLiteral("Kávé és tea"), QStringLiteral("Édességek")}},
        // Shorter than three characters after trimming: ignored; '' inside a text is one quote.
        {36, "'', 'x' ,ab,'Kávé és tea'", {QStringLiteral("Kávé és tea")}},
        {36, "Kávé és tea", {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.selected);
        tFilterControlPropertys r = properties(k.field, 7);
        r.tWFID = 1;
        r.tWFSelectedItems = QString::fromUtf8(k.selected);
        ListBoxFilterModel f(k.field == 12 ? ListBoxFilterModel::Keys::Numeric : ListBoxFilterModel::Keys::Text);
        ASSERT_TRUE(SetFilterControlPropertys(r, f));
        EXPECT_GT(f.count(), 3);
        EXPECT_EQ(f.currentIndex(), 0);
        QStringList got = selectedTexts(f), want = k.texts;
        got.sort();
        want.sort();
        EXPECT_EQ(got, want);
        // Whatever was stored, the condition the filter builds runs.
        if (!f.queryResultSQL().isEmpty())
            EXPECT_NO_THROW(DemoDb::instance().db().OpenRecordset(
                QStringLiteral("SELECT count(*) FROM regio AS R, termekcsoport AS TCS WHERE ") + f.queryResultSQL()));
    }
    EXPECT_EQ(storedTextSelection(QStringLiteral("'x','yz'")), (QStringList{QStringLiteral("x"), QStringLiteral("yz")}));
    EXPECT_EQ(storedTextSelection(QStringLiteral("'O''Neil','a'")),
              (QStringList{QStringLiteral("O'Neil"), QStringLiteral("a")}));
}

TEST_F(FilterControlSetup, TextListPickListHonoursTheFieldClause)
{
    const tFilterControlPropertys r = properties(36, 7);
    EXPECT_EQ(r.tTFQueryFieldProgIDFilter, QStringLiteral("aktiv=-1"));
    ListBoxFilterModel f(ListBoxFilterModel::Keys::Text);
    ASSERT_TRUE(SetFilterControlPropertys(r, f));
    auto rs = DemoDb::instance().db().OpenRecordset(QStringLiteral("SELECT count(*) FROM termekcsoport WHERE aktiv=-1"));
    EXPECT_EQ(f.count(), rs->Fields(0).toInt());
    for (const FilterItem& item : f.items())
        EXPECT_EQ(item.id, -1);
}

TEST_F(FilterControlSetup, RefusalsAndFailures)
{
    // The wrong kind of filter, and a type outside 1 to 8.
    {
        const tFilterControlPropertys r = properties(12, 5);
        TextFilterModel text;
        ListBoxFilterModel byText(ListBoxFilterModel::Keys::Text);
        EXPECT_FALSE(SetFilterControlPropertys(r, text));
        EXPECT_FALSE(SetFilterControlPropertys(r, byText));
        tFilterControlPropertys odd = r;
        for (int type : {0, 9, -1}) {
            odd.tTFControlType = type;
            RecordingView view;
            EXPECT_FALSE(SetFilterControlPropertys(odd, text, &view));
            EXPECT_TRUE(view.steps.isEmpty());
        }
    }
    // A pick list that cannot be read: false, the error collected and shown by the view.
    {
        tFilterControlPropertys r = properties(12, 5);
        r.tTFQueryFieldTable = QStringLiteral("nincs_ilyen");
        ListBoxFilterModel f(ListBoxFilterModel::Keys::Numeric);
        RecordingView view;
        EXPECT_FALSE(SetFilterControlPropertys(r, f, &view));
        EXPECT_EQ(view.steps, (QStringList{QStringLiteral("list hidden"), QStringLiteral("list shown"),
                                           QStringLiteral("errors shown")}));
        EXPECT_GE(ctx().currentErrors().Count(), 1);
        EXPECT_EQ(f.queryCheckValue(), 0);
    }
    // An empty pick list: set up and ticked, nothing to pick.
    {
        tFilterControlPropertys r = properties(12, 5);
        r.tTFQueryFieldProgIDFilter = QStringLiteral("id < 0");
        ListBoxFilterModel f(ListBoxFilterModel::Keys::Numeric);
        EXPECT_TRUE(SetFilterControlPropertys(r, f));
        EXPECT_EQ(f.count(), 0);
        EXPECT_EQ(f.queryCheckValue(), 1);
    }
    // No database: the pick-list kinds refuse.
    {
        const tFilterControlPropertys r = properties(12, 5);
        const tFilterControlPropertys c = properties(2, 8);
        ctx().database.reset();
        ListBoxFilterModel f(ListBoxFilterModel::Keys::Numeric);
        QueryContainerModel container;
        EXPECT_FALSE(SetFilterControlPropertys(r, f));
        EXPECT_FALSE(SetFilterControlPropertys(c, container));
    }
}

TEST_F(FilterControlSetup, ContainerIsSetUpWithItsQuickPickAndStoredRecords)
{
    const tFilterControlPropertys r = properties(2, 8);
    QueryContainerModel f;
    RecordingView view;
    ASSERT_TRUE(SetFilterControlPropertys(r, f, &view));
    EXPECT_EQ(view.steps, (QStringList{QStringLiteral("list hidden"), QStringLiteral("list shown"),
                                       QStringLiteral("enabled"), QStringLiteral("shown")}));
    EXPECT_EQ(f.quickPickId(), 1);
    EXPECT_EQ(f.customRecordFilter(), QStringLiteral("aktiv=-1"));
    EXPECT_EQ(f.quickPickTable(), QStringLiteral("partner"));
    EXPECT_EQ(f.searchField(), QStringLiteral("nev"));
    EXPECT_EQ(f.primaryKeyFiled(), QStringLiteral("id"));
    EXPECT_EQ(f.queryFieldVisible1(), QStringLiteral("nev"));
    EXPECT_EQ(f.currentIndex(), 0);
    QList<qint32> ids;
    for (const ContainerEntry& e : f.entries())
        ids << e.id;
    EXPECT_EQ(ids, (QList<qint32>{3, 5, 8, 13}));
}
