// vW_QueryContainer driven with typed keys: records found in the embedded
// quick pick and confirmed with Enter collect once each, F8 and Delete
// remove the current one, the activation box switches the look, and a
// stored condition sets the whole control up again.

#include <gtest/gtest.h>

#include "catalogue/filtercontrolproperties.h"
#include "filters/querycontainermodel.h"
#include "filters/widgets/setupfiltercontrol.h"
#include "filters/widgets/vquickpick.h"
#include "filters/widgets/vw_querycontainer.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "support/testsupport.h"
#include "ui/captions.h"
#include "widgettest.h"

#include <QtTest/QSignalSpy>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

using namespace lg;
using namespace lg::filters;
using lg::test::Form;
using lg::test::settle;

namespace {

std::shared_ptr<dao::Database> hostDatabase()
{
    auto db = dao::Database::open(lg::test::tempPath(QStringLiteral("container-host.db")));
    for (const char* ddl : {
             "CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(100), table_name TEXT(64), browse_id LONG, "
             "browse_where_clause MEMO, use_where_in_browse YESNO, primarykey_indexname TEXT(64), "
             "primarykey_filedname TEXT(64), search_start_length LONG, browse_row_count LONG, "
             "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE TABLE vlq_quickpick_field (id LONG NOT NULL, quickpick_id LONG, sort_order LONG, "
             "search_field TEXT(64), search_field_name TEXT(100), visible_field TEXT(64), index_name TEXT(64), "
             "index_stucture TEXT(255), CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE INDEX Quickpick_sort ON vlq_quickpick_field (quickpick_id, sort_order)",
             "CREATE TABLE partner (id LONG NOT NULL, kod TEXT(10), nev TEXT(120), "
             "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE INDEX nev ON partner (nev)",
             "CREATE INDEX kod ON partner (kod)",
             "INSERT INTO vlq_quickpick VALUES (1, 'Partnerek', 'partner', 1, NULL, 0, 'PrimaryKey', 'id', 3, 20)",
             "INSERT INTO vlq_quickpick_field VALUES (1, 1, 1, 'nev', 'Név', 'kod', 'nev', '%SEARCH%')",
             "INSERT INTO vlq_quickpick_field VALUES (2, 1, 2, 'kod', 'Kód', 'nev', 'kod', '%SEARCH%')",
             "INSERT INTO partner VALUES (1, 'P001', 'Kovács Béla')",
             "INSERT INTO partner VALUES (5, 'P005', 'Kis Anna')",
             "INSERT INTO partner VALUES (12, 'P012', 'Tóth Ilona')",
             "INSERT INTO partner VALUES (40, 'P040', 'Varga Péter')",
         })
        db->Execute(QString::fromUtf8(ddl));
    return db;
}

struct Fixture {
    vW_QueryContainer* c = new vW_QueryContainer;
    std::unique_ptr<Form> form;

    Fixture()
    {
        Context::reset();
        ctx().database = hostDatabase();
        c->initDesignProperties();
        c->setQueryField(QStringLiteral("P.id"));
        c->setQueryFieldDescription(QStringLiteral("Partner"));
        c->setQueryFieldVisible1(QStringLiteral("nev"));
        c->setPrimaryKeyFiled(QStringLiteral("id"));
        EXPECT_TRUE(c->InitializeQuickPick(1));
        form = std::make_unique<Form>(c);
        form->window.resize(600, 260);
        settle();
    }
    ~Fixture() { Context::reset(); }

    QLineEdit* edit() const { return c->qpiFilter()->txtInput(); }
    void pick(const QString& typed)
    {
        edit()->selectAll();
        lg::test::typeText(edit(), typed);
        QTest::keyClick(edit(), Qt::Key_Return);
    }
    QStringList shown() const
    {
        QStringList out;
        for (int i = 0; i < c->lstFilter()->count(); ++i)
            out << c->lstFilter()->item(i)->text();
        return out;
    }
};

}  // namespace

TEST(QueryContainer, TypedRecordsConfirmedWithEnterCollectOnce)
{
    Fixture f;
    EXPECT_FALSE(f.c->qpiFilter()->isEnabled());
    EXPECT_EQ(f.c->lstFilter()->palette().color(QPalette::Base), colorFromWin(0xE0E0E0));
    QSignalSpy checks(f.c, &vW_QueryContainer::CheckChange);
    QTest::mouseClick(f.c->chkQueryFilter(), Qt::LeftButton);
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks.at(0).at(0).toInt(), 1);
    EXPECT_TRUE(f.c->qpiFilter()->isEnabled());
    EXPECT_EQ(f.c->lstFilter()->palette().color(QPalette::Base), colorFromWin(0x80000005));
    settle();
    EXPECT_TRUE(f.edit()->hasFocus());

    f.pick(QStringLiteral("Tót"));
    EXPECT_EQ(f.c->QpiInput1Value(), 12);
    f.pick(QStringLiteral("Var"));
    f.pick(QStringLiteral("Tót"));  // the same record again
    EXPECT_EQ(f.shown(), (QStringList{QStringLiteral("Tóth Ilona"), QStringLiteral("Varga Péter")}));
    EXPECT_EQ(f.c->lstFilter()->currentRow(), 1);
    EXPECT_EQ(f.c->QueryResultSQL(), QStringLiteral("( P.id IN ( 12,40 ) )"));
    EXPECT_EQ(f.c->QueryResultIDs(), QStringLiteral("12,40"));
    EXPECT_EQ(f.c->QueryResultDescription(), QStringLiteral("(Partner Tóth Ilona, Varga Péter)"));

    // A text that finds nothing adds nothing.
    f.pick(QStringLiteral("Zzz"));
    EXPECT_EQ(f.shown().size(), 2);

    // The list shows another column than the search column: its value is read.
    f.c->setQueryFieldVisible1(QStringLiteral("kod"));
    f.pick(QStringLiteral("Kis"));
    EXPECT_EQ(f.shown().last(), QStringLiteral("P005"));
}

TEST(QueryContainer, F8AndDeleteRemoveTheCurrentEntry)
{
    Fixture f;
    f.c->setQueryCheckValue(1);
    f.c->setQueryResultIDs(QStringLiteral("1,5,12,40"));
    f.c->SelectFirstFilterItem();
    ASSERT_EQ(f.shown().size(), 4);
    f.c->lstFilter()->setFocus();
    f.c->lstFilter()->setCurrentRow(1);
    QTest::keyClick(f.c->lstFilter(), Qt::Key_F8);
    EXPECT_EQ(f.shown(), (QStringList{QStringLiteral("Kovács Béla"), QStringLiteral("Tóth Ilona"),
                                      QStringLiteral("Varga Péter")}));
    QTest::keyClick(f.c->lstFilter(), Qt::Key_Delete, Qt::ShiftModifier);  // with a modifier: nothing
    EXPECT_EQ(f.shown().size(), 3);
    QTest::keyClick(f.c->lstFilter(), Qt::Key_Delete);
    EXPECT_EQ(f.shown().size(), 2);
    EXPECT_EQ(f.c->QueryResultIDs(), f.c->model()->queryResultIDs());
    EXPECT_FALSE(f.c->QueryResultSQL().isEmpty());
}

TEST(QueryContainer, StoredSelectionAndDefault)
{
    Fixture f;
    QSignalSpy results(f.c, &vW_QueryContainer::ResultsChanged);
    f.c->setQueryCheckValue(1);
    f.c->setQueryResultIDs(QStringLiteral("40,12,999,'1'"));
    EXPECT_EQ(f.shown(), (QStringList{QStringLiteral("Tóth Ilona"), QStringLiteral("Varga Péter")}));
    // No entry selected: nothing, even with entries present.
    EXPECT_TRUE(f.c->QueryResultSQL().isEmpty());
    f.c->SelectFirstFilterItem();
    EXPECT_EQ(f.c->QueryResultSQL(), QStringLiteral("( P.id IN ( 12,40 ) )"));
    EXPECT_GE(results.count(), 1);

    f.pick(QStringLiteral("Kov"));
    f.c->SetFilterDefault();
    EXPECT_EQ(f.c->QueryCheckValue(), 0);
    EXPECT_TRUE(f.shown().isEmpty());
    EXPECT_TRUE(f.c->QueryField().isEmpty());
    EXPECT_TRUE(f.c->QpiInput1Text().isEmpty());
    EXPECT_EQ(f.c->QpiInput1Value(), -1);
    EXPECT_FALSE(f.c->qpiFilter()->isEnabled());
}

TEST(QueryContainer, SetUpFromStoredConditionRoundTrips)
{
    Fixture f;
    catalogue::tFilterControlPropertys r;
    r.tTFControlType = catalogue::fctContainer;
    r.tTFQueryAliasField = QStringLiteral("[P].[id]");
    r.tTFQueryField = QStringLiteral("nev");
    r.tTFQueryFieldVisible = QStringLiteral("Partner név");
    r.tTFQuickpickID = 1;
    r.tTPrimaryKeyFiled = QStringLiteral("id");
    r.tTFDefaultSearchField = QStringLiteral(" kod ");
    r.tWFID = 3;
    r.tWFSelectedItems = QStringLiteral("5,12");
    f.c->ListBoxVisible(false);
    ASSERT_TRUE(SetFilterControlPropertys(r, *f.c));
    EXPECT_TRUE(f.c->lstFilter()->isVisibleTo(f.c));
    EXPECT_EQ(f.c->qpiFilter()->SearchField(), QStringLiteral("kod"));
    EXPECT_EQ(f.c->QueryCheckValue(), 1);
    EXPECT_EQ(f.c->QueryResultSQL(), QStringLiteral("( [P].[id] IN ( 5,12 ) )"));
    EXPECT_EQ(f.c->QueryResultIDs(), r.tWFSelectedItems);
    // A stored selection is shown by the search column, here the default one.
    EXPECT_EQ(f.shown(), (QStringList{QStringLiteral("P005"), QStringLiteral("P012")}));
}
