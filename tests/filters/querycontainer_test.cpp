// The query container without a window: picked records collect once each,
// the condition covers every entry, and a stored selection is reloaded from
// the quick pick's table whatever the store holds.

#include "demodb.h"
#include "filters/querycontainermodel.h"
#include "store/context.h"
#include "store/tables.h"

#include <gtest/gtest.h>

using namespace lg;
using namespace lg::filters;
using lg::test::DemoDb;

namespace {

class QueryContainer : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.setDatabase(DemoDb::instance().shared());
        // Products: searched by name ("nev"), the list shows the article number.
        EXPECT_TRUE(f.initializeQuickPick(2));
        f.setQueryField1(QStringLiteral("T.ID"));
        f.setQueryFieldDescription1(QStringLiteral("Termék"));
        f.setQueryFieldVisible1(QStringLiteral("nev"));
        f.setPrimaryKeyFiled(QStringLiteral("id"));
        f.setQueryCheckValue(1);
    }

    QList<qint32> ids() const
    {
        QList<qint32> out;
        for (const ContainerEntry& e : f.entries())
            out << e.id;
        return out;
    }

    QString name(int id)
    {
        auto rs = DemoDb::instance().db().OpenRecordset(QStringLiteral("SELECT nev, cikkszam FROM termek WHERE id = %1").arg(id));
        return rs->Fields(0).toString();
    }

    QueryContainerModel f;
};

}  // namespace

TEST_F(QueryContainer, QuickPickDefinitionGivesTableAndSearchColumn)
{
    EXPECT_EQ(f.quickPickTable(), QStringLiteral("termek"));
    EXPECT_EQ(f.searchField(), QStringLiteral("nev"));
    QueryContainerModel other;
    other.setDatabase(DemoDb::instance().shared());
    EXPECT_TRUE(other.initializeQuickPick(2, QStringLiteral("aktiv=-1"), QStringLiteral(" cikkszam ")));
    EXPECT_EQ(other.searchField(), QStringLiteral("cikkszam"));
    EXPECT_EQ(other.customRecordFilter(), QStringLiteral("aktiv=-1"));
    EXPECT_FALSE(other.initializeQuickPick(999));
}

TEST_F(QueryContainer, PickingTheSameRecordTwiceAddsItOnce)
{
    EXPECT_TRUE(f.addPickedRecord(12, name(12)));
    EXPECT_TRUE(f.addPickedRecord(40, name(40)));
    EXPECT_FALSE(f.addPickedRecord(12, name(12)));
    EXPECT_FALSE(f.addPickedRecord(-1, QString()));
    EXPECT_EQ(ids(), (QList<qint32>{12, 40}));
    EXPECT_EQ(f.currentIndex(), 1);
    EXPECT_EQ(f.queryResultSQL(), QStringLiteral("( T.ID IN ( 12,40 ) )"));
    EXPECT_EQ(f.queryResultIDs(), QStringLiteral("12,40"));
    EXPECT_EQ(f.queryResultFilter(), QStringLiteral("Termék ") + name(12) + QStringLiteral(", ") + name(40));
    EXPECT_EQ(f.queryResultDescription(), u'(' + f.queryResultFilter() + u')');
}

TEST_F(QueryContainer, EntryTextIsReadWhenTheShownColumnIsNotTheSearchColumn)
{
    f.setQueryFieldVisible1(QStringLiteral("cikkszam"));
    auto rs = DemoDb::instance().db().OpenRecordset(QStringLiteral("SELECT cikkszam FROM termek WHERE id = 12"));
    EXPECT_TRUE(f.addPickedRecord(12, QStringLiteral("typed text")));
    ASSERT_EQ(f.count(), 1);
    EXPECT_EQ(f.entries().at(0).text, rs->Fields(0).toString());
    // A record that is not there adds nothing.
    EXPECT_FALSE(f.addPickedRecord(987654, QStringLiteral("x")));
    // Shown column the same as the search column (in any case): the quick pick's text.
    f.setQueryFieldVisible1(QStringLiteral("NEV"));
    EXPECT_TRUE(f.addPickedRecord(40, QStringLiteral("as typed")));
    EXPECT_EQ(f.entries().at(1).text, QStringLiteral("as typed"));
}

TEST_F(QueryContainer, NoSelectedEntryOrNoTickContributesNothing)
{
    f.addPickedRecord(12, name(12));
    f.addPickedRecord(40, name(40));
    struct Case {
        int current;
        int check;
        bool checkVisible;
        bool contributes;
    };
    const Case cases[] = {
        {1, 1, true, true}, {0, 1, true, true}, {-1, 1, true, false}, {1, 0, true, false},
        // Collected only when ticked, even without the activation box.
        {1, 0, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.current * 10 + k.check);
        f.setCurrentIndex(k.current);
        f.setQueryCheckVisible(k.checkVisible);
        f.setQueryCheckValue(k.check);
        WhereCollection run;
        EXPECT_EQ(f.collectWhereAndFilter(run), k.contributes);
        EXPECT_EQ(run.where, k.contributes ? QStringLiteral("( T.ID IN ( 12,40 ) )") : QString());
    }
}

TEST_F(QueryContainer, StoredSelectionReloadsExactlyTheExistingRecords)
{
    f.addFilterItem(QStringLiteral("old"), 7);
    struct Case {
        const char* stored;
        QList<qint32> ids;
    };
    const Case cases[] = {
        {"12,40", {12, 40}},
        {" 40 , 12 ,999999", {12, 40}},
        // Quotes, letters and blanks inside a part never reach the statement.
        {"12,'40',4 0,1) OR (1=1", {12}},
        {"x,y", {}},
        {"", {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.stored);
        EXPECT_TRUE(f.setQueryResultIDs(QString::fromLatin1(k.stored)));
        QList<qint32> got = ids();
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, k.ids);
        for (const ContainerEntry& e : f.entries())
            EXPECT_EQ(e.text, name(e.id));
    }
    EXPECT_EQ(f.reloadStatement(QStringLiteral("3,x,5")),
              QStringLiteral("SELECT id as id , nev FROM termek WHERE id in (3,5)"));
    f.setPrimaryKeyFiled(QString());
    EXPECT_EQ(f.reloadStatement(QStringLiteral("3")), QStringLiteral("SELECT id, nev FROM termek WHERE  ID in (3)"));
    EXPECT_EQ(f.reloadStatement(QStringLiteral("'3'")), QString());

    // A statement that fails keeps the list as it was.
    f.setQueryResultIDs(QStringLiteral("12"));
    f.setQuickPickSource(QStringLiteral("nincs_ilyen"), QStringLiteral("nev"));
    EXPECT_FALSE(f.setQueryResultIDs(QStringLiteral("40")));
    EXPECT_EQ(ids(), (QList<qint32>{12}));
}

TEST_F(QueryContainer, RemovingAndResetting)
{
    for (int id : {12, 40, 1})
        f.addPickedRecord(id, name(id));
    f.setCurrentIndex(1);
    EXPECT_TRUE(f.removeCurrentEntry());
    EXPECT_EQ(ids(), (QList<qint32>{12, 1}));
    EXPECT_EQ(f.currentIndex(), 1);
    f.setCurrentIndex(-1);
    EXPECT_FALSE(f.removeCurrentEntry());
    f.setCurrentIndex(0);
    EXPECT_TRUE(f.removeCurrentEntry());
    EXPECT_TRUE(f.removeCurrentEntry());
    EXPECT_EQ(f.currentIndex(), -1);
    EXPECT_FALSE(f.removeCurrentEntry());

    f.addPickedRecord(12, name(12));
    f.setQueryField2(QStringLiteral("x"));
    int cleared = 0;
    QObject::connect(&f, &QueryContainerModel::quickPickCleared, [&] { ++cleared; });
    f.setFilterDefault();
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(f.queryCheckValue(), 0);
    EXPECT_EQ(f.count(), 0);
    EXPECT_TRUE(f.queryField1().isEmpty());
    EXPECT_TRUE(f.queryFieldVisible1().isEmpty());
    EXPECT_TRUE(f.queryField2().isEmpty());
    EXPECT_TRUE(f.queryResultSQL().isEmpty());
    EXPECT_TRUE(f.queryResultIDs().isEmpty());
}

TEST_F(QueryContainer, HostMayRewriteTheTagAndTheText)
{
    f.addPickedRecord(12, name(12));
    QObject::connect(&f, &QueryContainerModel::filterCreateSQLTag,
                     [](int index, const QString& text, QString* tag, QString* description) {
                         EXPECT_EQ(index, 0);
                         EXPECT_FALSE(text.isEmpty());
                         *tag = QStringLiteral("( 12,13 )");
                         *description = QStringLiteral("kettő");
                     });
    f.build();
    EXPECT_EQ(f.queryResultSQL(), QStringLiteral("( T.ID IN ( 12,13 ) )"));
    EXPECT_EQ(f.queryResultFilter(), QStringLiteral("Termék kettő"));
}
