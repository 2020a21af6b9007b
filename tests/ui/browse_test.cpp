// The browse: its statements, the model that reads rows by pages, and the view.

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <random>

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "support/testsupport.h"
#include "ui/browsemodel.h"
#include "ui/browsestatement.h"
#include "ui/browseview.h"

using namespace Qt::StringLiterals;

namespace lg::ui {
namespace {

// --- statements --------------------------------------------------------------

TEST(BrowseStatement, AddsTheConditionAtTheTopLevel)
{
    struct Case {
        const char* statement;
        const char* condition;
        const char* expected;
    } cases[] = {
        {"SELECT id FROM t", "a=1", "SELECT id FROM t WHERE (a=1)"},
        {"SELECT id FROM t ORDER BY nev", "a=1", "SELECT id FROM t WHERE (a=1)"},
        {"SELECT id FROM t WHERE x='a;b ORDER BY' ORDER BY nev", "a=1",
         "SELECT id FROM t WHERE (x='a;b ORDER BY') AND (a=1)"},
        {"SELECT id FROM t WHERE a=1 OR b=2", "c=3", "SELECT id FROM t WHERE (a=1 OR b=2) AND (c=3)"},
        {"SELECT k, Count(*) FROM t WHERE a=1 GROUP BY k HAVING Count(*) > 1", "c=3",
         "SELECT k, Count(*) FROM t WHERE (a=1) AND (c=3) GROUP BY k HAVING Count(*) > 1"},
        {"SELECT k FROM t GROUP BY k", "c=3", "SELECT k FROM t WHERE (c=3) GROUP BY k"},
        {"SELECT id FROM t WHERE id IN (SELECT id FROM u WHERE z=1 ORDER BY z) ORDER BY id", "c=3",
         "SELECT id FROM t WHERE (id IN (SELECT id FROM u WHERE z=1 ORDER BY z)) AND (c=3)"},
        {"select id from t where a=1;", "c=3", "select id from t WHERE (a=1) AND (c=3)"},
        {"SELECT id FROM t UNION SELECT id FROM u ORDER BY id", "id > 2",
         "SELECT * FROM (SELECT id FROM t UNION SELECT id FROM u) AS browse_rows WHERE (id > 2)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(addCondition(QString::fromUtf8(c.statement), QString::fromUtf8(c.condition)),
                  QString::fromUtf8(c.expected))
            << c.statement;
    EXPECT_THROW(addCondition(u"UPDATE t SET a=1"_s, u"b=2"_s), RuntimeError);
    EXPECT_THROW(addCondition(u"SELECT 'open"_s, u"b=2"_s), RuntimeError);
}

TEST(BrowseStatement, AcceptsOnlyOneCondition)
{
    struct Case {
        const char* condition;
        bool single;
    } cases[] = {
        {"a=1", true},
        {" (TRUE) ", true},
        {"aktiv=-1 AND nev LIKE 'a*'", true},
        {"x = 'ORDER BY; )'", true},
        {"id IN (SELECT id FROM u WHERE z=1)", true},
        {"", false},
        {"   ", false},
        {"a=1) OR (1=1", false},
        {"(a=1", false},
        {"a=1; DELETE FROM t", false},
        {"a=1 ORDER BY b", false},
        {"a=1 UNION SELECT id FROM u", false},
        {"a=1 GROUP BY a", false},
        {"'unclosed", false},
    };
    for (const Case& c : cases) {
        QString why;
        EXPECT_EQ(isSingleCondition(QString::fromUtf8(c.condition), &why), c.single) << c.condition;
        EXPECT_EQ(why.isEmpty(), c.single) << c.condition;
    }
}

TEST(BrowseStatement, FieldNamesAndColumnLists)
{
    struct Name {
        const char* name;
        const char* bracketed;  // nullptr: refused
    } names[] = {
        {"nev", "[nev]"},   {" p.nev ", "[p].[nev]"}, {"[nev]", "[nev]"}, {"név 2", "[név 2]"},
        {"ne]v", nullptr},  {"", nullptr},            {"a..b", nullptr},  {"a\tb", nullptr},
    };
    for (const Name& n : names) {
        const auto got = bracketFieldName(QString::fromUtf8(n.name));
        if (n.bracketed)
            EXPECT_EQ(got.value_or(u"<refused>"_s), QString::fromUtf8(n.bracketed)) << n.name;
        else
            EXPECT_FALSE(got.has_value()) << n.name;
    }
    const QList<BrowseColumn> expected = {
        {u"kod"_s, u"kod"_s, 0}, {u"nev"_s, u"Név"_s, 200}, {u"x"_s, u"x"_s, 0}, {u"y"_s, u"Y"_s, 0}};
    EXPECT_EQ(parseColumnList(u"kod; nev|Név|200; ;x|;y|Y|-5"_s), expected);
}

TEST(BrowseStatement, RefusesWhatCannotRun)
{
    BrowseDefinition def;
    def.statement = u"SELECT id, nev FROM t"_s;
    def.sortField = u"nev"_s;
    EXPECT_NO_THROW((void)BrowseStatements(def, u" (TRUE) "_s));
    EXPECT_THROW((void)BrowseStatements(def, u"1=1) OR (1=1"_s), RuntimeError);
    def.sortField = u"nev]; DROP TABLE t"_s;
    EXPECT_THROW((void)BrowseStatements(def, {}), RuntimeError);
    def.sortField = u"nev"_s;
    def.statement = u"DELETE FROM t"_s;
    EXPECT_THROW((void)BrowseStatements(def, {}), RuntimeError);
}

// --- the model -----------------------------------------------------------------

// A table whose sort key has runs of equal keys (differing in case only),
// Nulls and a filter column.
struct BrowseDb {
    std::shared_ptr<dao::Database> db;
    BrowseDb(int rows = 97)
    {
        db = dao::Database::open(test::tempPath(u"browse.db"_s));
        db->Execute(u"CREATE TABLE t (id LONG NOT NULL, nev TEXT(50), aktiv YESNO, "
                    "CONSTRAINT PrimaryKey PRIMARY KEY (id))"_s);
        db->Execute(u"CREATE INDEX nev ON t (nev)"_s);
        static const char* const names[] = {"alma", "Alma", "ALMA", "körte", "barack", "Ágnes", "zab", "cukor"};
        dao::Transaction trs(*db);
        // Ids out of step with the names, so id order is no help.
        for (int i = 0; i < rows; ++i) {
            const int id = 1 + (i * 37) % rows;
            const QVariant name = i % 11 == 3 ? QVariant() : QVariant(QString::fromUtf8(names[i % 8]));
            db->Execute(u"INSERT INTO t (id, nev, aktiv) VALUES (?, ?, ?)"_s,
                        dao::Parameters(QVariantList{id, name, i % 5 != 0}));
        }
        trs.commit();
    }
    BrowseDefinition definition() const
    {
        BrowseDefinition def;
        def.statement = u"SELECT id, nev FROM t ORDER BY id"_s;
        def.columns = {{u"nev"_s, u"Név"_s, 150}, {u"id"_s, u"Azonosító"_s, 60}};
        def.sortField = u"nev"_s;
        return def;
    }
    // The ids in the order one read of the whole statement gives.
    QList<int> reference(const QString& filter) const
    {
        QList<int> ids;
        auto rs = db->OpenRecordset(u"SELECT id FROM t WHERE "_s + filter + u" ORDER BY nev"_s,
                                    dao::RecordsetType::ForwardOnly);
        for (; !rs->Eof(); rs->MoveNext())
            ids.append(rs->Fields(0).toInt());
        return ids;
    }
};

TEST(BrowseModel, PagesInAnyOrderGiveTheRowsOfOneRead)
{
    BrowseDb data;
    for (const QString filter : {u"aktiv=-1"_s, u"(TRUE)"_s}) {
        const QList<int> expected = data.reference(filter);
        struct Reading {
            int pageSize;
            const char* order;  // forward, backward, random
        } readings[] = {{1, "forward"}, {3, "backward"}, {4, "random"}, {7, "random"}, {200, "forward"}};
        for (const Reading& r : readings) {
            BrowseModel model;
            model.setPageSize(r.pageSize);
            model.setMaxCachedPages(2);
            ASSERT_TRUE(model.open(data.db, data.definition(), filter)) << model.lastError().toStdString();
            ASSERT_EQ(model.rowCount(), expected.size());
            QList<int> rows;
            for (int i = 0; i < model.rowCount(); ++i)
                rows.append(i);
            if (QByteArray(r.order) == "backward")
                std::reverse(rows.begin(), rows.end());
            else if (QByteArray(r.order) == "random")
                std::shuffle(rows.begin(), rows.end(), std::mt19937(r.pageSize));
            for (int row : rows)
                ASSERT_EQ(model.idAt(row), expected[row]) << r.pageSize << " " << r.order << " row " << row;
            EXPECT_LE(model.cachedPages(), 2);
        }
    }
}

TEST(BrowseModel, FindsTheRowOfEveryIdAndNoneOfOthers)
{
    BrowseDb data;
    const QList<int> expected = data.reference(u"aktiv=-1"_s);
    BrowseModel model;
    model.setPageSize(5);
    model.setMaxCachedPages(2);
    ASSERT_TRUE(model.open(data.db, data.definition(), u" aktiv=-1 "_s));
    for (int row = expected.size() - 1; row >= 0; --row) {
        ASSERT_EQ(model.rowOfId(expected[row]), row) << "id " << expected[row];
        // The place found also serves as a start for the pages around it.
        ASSERT_EQ(model.idAt(row), expected[row]);
    }
    for (int id = 1; id <= 97; ++id)
        if (!expected.contains(id))
            EXPECT_EQ(model.rowOfId(id), -1) << id;
    EXPECT_EQ(model.rowOfId(1000), -1);
}

TEST(BrowseModel, ShowsCaptionsValuesAndRefusesBadInput)
{
    BrowseDb data(10);
    BrowseModel model;
    ASSERT_TRUE(model.open(data.db, data.definition(), {}));
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), u"Név"_s);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QString::number(model.idAt(0)));

    // No column list: every field of the statement under its own name.
    BrowseDefinition all = data.definition();
    all.columns.clear();
    ASSERT_TRUE(model.open(data.db, all, {}));
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), u"nev"_s);

    struct Bad {
        const char* statement;
        const char* sort;
        const char* filter;
    } bad[] = {
        {"SELECT id, nev FROM t", "nev", "nincs_ilyen = 1"},
        {"SELECT id, nev FROM t", "nev", "1=1) OR (1=1"},
        {"SELECT id, nev FROM nincs_ilyen", "nev", ""},
        {"SELECT id, nev FROM t", "ne]v", ""},
    };
    for (const Bad& b : bad) {
        BrowseDefinition def = data.definition();
        def.statement = QString::fromUtf8(b.statement);
        def.sortField = QString::fromUtf8(b.sort);
        EXPECT_FALSE(model.open(data.db, def, QString::fromUtf8(b.filter))) << b.filter;
        EXPECT_FALSE(model.lastError().isEmpty());
        EXPECT_EQ(model.rowCount(), 0);
        EXPECT_EQ(model.idAt(0), -1);
    }
    EXPECT_FALSE(model.open(nullptr, data.definition(), {}));
}

TEST(BrowseModel, ASortFieldOutsideTheStatementIsReportedWhenRowsAreRead)
{
    BrowseDb data(10);
    BrowseDefinition def = data.definition();
    def.statement = u"SELECT id FROM t"_s;
    BrowseModel model;
    QSignalSpy errors(&model, &BrowseModel::errorOccurred);
    ASSERT_TRUE(model.open(data.db, def, {}));
    EXPECT_EQ(model.idAt(0), -1);
    EXPECT_EQ(errors.count(), 1);
}

// --- the view ------------------------------------------------------------------

TEST(BrowseView, KeysAndDoubleClickReportTheChosenId)
{
    BrowseDb data(30);
    const QList<int> expected = data.reference(u"(TRUE)"_s);
    BrowseView view;
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QSignalSpy chosen(&view, &BrowseView::chosen);
    QSignalSpy cancelled(&view, &BrowseView::cancelled);
    QSignalSpy current(&view, &BrowseView::currentIdChanged);
    QSignalSpy total(&view, &BrowseView::rowTotalChanged);
    ASSERT_TRUE(view.open(data.db, data.definition(), {}));
    EXPECT_EQ(view.rowTotal(), 30);
    EXPECT_EQ(total.count(), 1);
    EXPECT_EQ(view.currentId(), expected[0]);
    EXPECT_EQ(view.columnWidth(0), 150);

    QTest::keyClick(view.viewport(), Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.currentId(), expected[2]);
    EXPECT_EQ(current.last().at(0).toInt(), expected[2]);
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.last().at(0).toInt(), expected[2]);

    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(chosen.count(), 1);

    const QRect cell = view.visualRect(view.model()->index(4, 0));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());  // the press a double-click follows
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen.last().at(0).toInt(), expected[4]);

    ASSERT_TRUE(view.setCurrentId(expected[25]));
    EXPECT_EQ(view.currentIndex().row(), 25);
    EXPECT_EQ(view.currentId(), expected[25]);
    EXPECT_FALSE(view.setCurrentId(5000));
    EXPECT_EQ(view.currentId(), expected[25]);

    ASSERT_TRUE(view.reload(expected[10]));
    EXPECT_EQ(view.currentIndex().row(), 10);
    ASSERT_TRUE(view.reload(-1));
    EXPECT_EQ(view.currentIndex().row(), 0);
}

}  // namespace
}  // namespace lg::ui
