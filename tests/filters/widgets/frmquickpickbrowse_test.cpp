// The quick pick's browse window on the demo database.

#include <gtest/gtest.h>

#include <QtTest/QSignalSpy>

#include "filters/widgets/frmquickpickbrowse.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "support/testsupport.h"
#include "ui/browsemodel.h"
#include "ui/browseview.h"
#include "widgettest.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::filters;

namespace {

std::shared_ptr<dao::Database> demoDatabase()
{
    static std::shared_ptr<dao::Database> db = [] {
        const QString path = test::tempPath(u"demo.db"_s);
        const test::ProcessResult r = test::runProgram(QStringLiteral(LISTGEN_CLI), {u"demo-db"_s, u"--out"_s, path});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return dao::Database::open(path);
    }();
    return db;
}

QList<int> partnerIds(const QString& condition)
{
    QList<int> ids;
    auto rs = demoDatabase()->OpenRecordset(u"SELECT id FROM partner WHERE "_s + condition + u" ORDER BY nev"_s,
                                            dao::RecordsetType::ForwardOnly);
    for (; !rs->Eof(); rs->MoveNext())
        ids.append(rs->Fields(0).toInt());
    return ids;
}

TEST(QuickPickBrowse, TheFilterRule)
{
    struct Case {
        bool useWhere;
        const char* where;
        const char* custom;
        const char* filter;
    } cases[] = {
        {false, "aktiv=-1", "", " (TRUE) "},
        {false, "aktiv=-1", "tipus='V'", " tipus='V' "},
        {true, "aktiv=-1", "", " aktiv=-1 "},
        {true, "aktiv=-1", " tipus='V' ", " aktiv=-1 AND tipus='V' "},
        {true, "", "tipus='V'", " tipus='V' "},
        {true, " ", "", " (TRUE) "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(quickPickBrowseFilter(c.useWhere, QString::fromUtf8(c.where), QString::fromUtf8(c.custom)),
                  QString::fromUtf8(c.filter));
}

TEST(QuickPickBrowse, ReadsTheDefinitionByLanguage)
{
    auto db = demoDatabase();
    struct Case {
        int language;
        const char* caption;
    } cases[] = {{1, "Partnerek"}, {2, "Partners"}, {3, "Partner"}, {0, "Partnerek"}, {7, "Partnerek"}};
    for (const Case& c : cases) {
        const auto def = readQuickPickBrowse(*db, 1, c.language);
        ASSERT_TRUE(def.has_value());
        EXPECT_EQ(def->caption, QString::fromUtf8(c.caption)) << c.language;
    }
    const auto def = readQuickPickBrowse(*db, 1, 1);
    EXPECT_EQ(def->browse.sortField, u"nev"_s);
    EXPECT_EQ(def->tableName, u"partner"_s);
    QStringList fields, captions;
    for (const ui::BrowseColumn& c : def->browse.columns) {
        fields << c.field;
        captions << c.caption;
        EXPECT_GT(c.width, 0) << c.field.toStdString();  // the catalogue's width
    }
    EXPECT_EQ(fields, (QStringList{u"kod"_s, u"nev"_s, u"varos"_s, u"adoszam"_s}));
    EXPECT_EQ(captions, (QStringList{u"Kód"_s, u"Név"_s, u"Város"_s, u"Adószám"_s}));
    EXPECT_FALSE(readQuickPickBrowse(*db, 99, 1).has_value());
}

TEST(QuickPickBrowse, EnterPicksTheCurrentRecordEscapeNone)
{
    Context::reset();
    auto db = demoDatabase();
    const QList<int> active = partnerIds(u"aktiv=-1"_s);
    ASSERT_GT(active.size(), 20);

    frmQuickPickBrowse form;
    QSignalSpy picked(&form, &frmQuickPickBrowse::CurrentIDChanged);
    ASSERT_TRUE(form.LoadBrowse(1, quickPickBrowseFilter(true, u"aktiv=-1"_s, {}), u"Partner"_s, db));
    EXPECT_EQ(form.windowTitle(), u"Partnerek"_s);
    EXPECT_EQ(form.view()->rowTotal(), active.size());
    form.RefreshBrowse(active[15]);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.view()->currentId(), active[15]);

    QTest::keyClick(form.view(), Qt::Key_Down);
    QTest::keyClick(form.view(), Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.CurrentID(), active[16]);
    EXPECT_EQ(picked.count(), 1);

    form.show();
    QTest::keyClick(form.view(), Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.CurrentID(), -1);
    EXPECT_EQ(ctx().currentErrors().Count(), 0);
}

TEST(QuickPickBrowse, TheStatementsOwnConditionStays)
{
    Context::reset();
    auto db = demoDatabase();
    const QList<int> customers = partnerIds(u"tipus='V' AND aktiv=-1"_s);
    const QList<int> inactive = partnerIds(u"aktiv=0"_s);
    ASSERT_FALSE(inactive.isEmpty());
    frmQuickPickBrowse form;
    form.setLanguageNumber(2);
    ASSERT_TRUE(form.LoadBrowse(3, u" aktiv=-1 "_s, u"Vevő"_s, db));
    EXPECT_EQ(form.windowTitle(), u"Customers"_s);
    EXPECT_EQ(form.view()->rowTotal(), customers.size());
    // A current record the filter leaves out: the first row is current.
    form.RefreshBrowse(inactive[0]);
    EXPECT_EQ(form.view()->currentIndex().row(), 0);
    EXPECT_EQ(form.view()->currentId(), customers[0]);
    // Double-click picks.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect cell = form.view()->visualRect(form.view()->model()->index(2, 1));
    QTest::mouseClick(form.view()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(form.view()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(form.CurrentID(), customers[2]);
}

TEST(QuickPickBrowse, RefusalsGoToErrors)
{
    auto db = demoDatabase();
    struct Case {
        int id;
        const char* filter;
        bool withDb;
    } cases[] = {
        {99, " (TRUE) ", true},            // no such definition
        {1, " 1=1) OR (1=1 ", true},       // a filter that would break out of its place
        {1, " nincs_ilyen = 1 ", true},    // a field the statement does not know
        {1, " (TRUE) ", false},            // no connection
    };
    for (const Case& c : cases) {
        Context::reset();
        frmQuickPickBrowse form;
        EXPECT_FALSE(form.LoadBrowse(c.id, QString::fromUtf8(c.filter), u"x"_s, c.withDb ? db : nullptr))
            << c.filter;
        EXPECT_EQ(ctx().currentErrors().Count(), 1) << c.filter;
        EXPECT_EQ(form.view()->rowTotal(), 0);
        EXPECT_EQ(form.CurrentID(), -1);
    }
}

TEST(QuickPickBrowse, VisibleRowCountSetsTheHeight)
{
    frmQuickPickBrowse form;
    QSignalSpy spy(&form, &frmQuickPickBrowse::VisibleRowCountChanged);
    form.setVisibleRowCount(5);
    const int small = form.height();
    form.setVisibleRowCount(25);
    EXPECT_GT(form.height(), small);
    EXPECT_EQ(spy.count(), 2);
}

}  // namespace
