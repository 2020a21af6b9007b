// Long work: the export reports its rows and stops when cancelled, leaving
// the earlier file as it was; the progress dialog; the assistant plugin.

#include <QtCore/QFile>
#include <QtWidgets/QProgressDialog>

#include "controls/assistants.h"
#include "controls/progress.h"
#include "controls/reportrun.h"
#include "controlsfixture.h"
#include "store/errors.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::controls;

namespace {

class LongWork : public test::DemoDatabase {
protected:
    RunSettings settings()
    {
        RunSettings s;
        s.reportFolderPath = m_reports;
        s.userId = 1;
        return s;
    }
};

TEST_F(LongWork, CancelledExportLeavesTheEarlierFile)
{
    const QString target = m_dir + u"/tetelek.xlsx"_s;
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier");
    }
    long reported = 0;
    auto cancelAt300 = [&](long rows) {
        reported = rows;
        return rows < 300;
    };
    EXPECT_FALSE(exportList(7, target, true, settings(), defaultControlServices(), nullptr, {}, cancelAt300));
    EXPECT_EQ(reported, 300);  // stopped at once
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("earlier"));
    EXPECT_TRUE(boxes().requests().isEmpty());
    EXPECT_TRUE(errorDialog().shown().isEmpty());
    EXPECT_EQ(ctx().currentErrors().Count(), 0);

    // Run to the end, every row reported once.
    long rows = 0;
    ASSERT_TRUE(exportList(7, target, false, settings(), defaultControlServices(), nullptr, {},
                           [&](long r) {
                               EXPECT_EQ(r, rows + 1);
                               rows = r;
                               return true;
                           }));
    // As many as the command-line run of the same list gives.
    const auto run = test::runProgram(QStringLiteral(LISTGEN_CLI),
                                      {u"run"_s, u"--db"_s, m_dbPath, u"--list"_s, u"7"_s, u"--user"_s, u"1"_s});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_GT(rows, 1000);
    EXPECT_EQ(rows, run.out.count(u'\n') - 1);
    QFile book(target);
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    EXPECT_EQ(book.read(2), QByteArray("PK"));
}

TEST(RowProgress, DialogAppearsOnlyForLongWorkAndCancels)
{
    RowProgress p(nullptr, u"Export"_s);
    auto report = p.callback();
    for (long r = 1; r < RowProgress::kStep; ++r)
        ASSERT_TRUE(report(r));
    EXPECT_EQ(p.dialog(), nullptr);
    EXPECT_TRUE(report(RowProgress::kStep));
    ASSERT_NE(p.dialog(), nullptr);
    EXPECT_TRUE(p.dialog()->labelText().contains(QString::number(RowProgress::kStep)));
    p.dialog()->cancel();
    EXPECT_FALSE(report(2 * RowProgress::kStep));
    EXPECT_FALSE(report(2 * RowProgress::kStep + 1));
    EXPECT_TRUE(p.cancelled());
}

TEST(Assistants, DemoPluginProvidesTheInvoiceAssistant)
{
    EXPECT_EQ(AssistantRegistry::loadPlugins(QStringLiteral(LISTGEN_BINARY_DIR "/bin/assistants")), 1);
    EXPECT_TRUE(AssistantRegistry::classNames().contains(u"Nagyker.SzamlaAsszisztens"_s));
    EXPECT_TRUE(AssistantRegistry::create(u"NAGYKER.SZAMLAASSZISZTENS"_s));
    EXPECT_FALSE(AssistantRegistry::create(u"Nagyker.Nincs"_s));
    EXPECT_EQ(AssistantRegistry::loadPlugins(QStringLiteral(LISTGEN_BINARY_DIR "/nincs")), 0);
    AssistantRegistry::unregisterClass(u"Nagyker.SzamlaAsszisztens"_s);
}

TEST_F(LongWork, UnknownAssistantIsReportedByName)
{
    EXPECT_FALSE(executeAssistant(u"  "_s, 1));
    EXPECT_TRUE(boxes().requests().isEmpty());
    EXPECT_FALSE(executeAssistant(u"Valami.Nincs"_s, 1));
    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_EQ(shownMessages().first(), u"Az objektum létrehozása nem sikerült! (Valami.Nincs)\r\n"_s);
}

}  // namespace
