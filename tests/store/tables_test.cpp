#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include "storefixture.h"

namespace lg::test {
namespace {

using namespace lg::modTables;

class TablesTest : public StoreTest {};

TEST_F(TablesTest, TransactionsNestByCountingAndOnlyTheOutermostCommits)
{
    EXPECT_FALSE(CommitTrs(0)) << "nothing to commit";
    EXPECT_FALSE(RollbackTrs(0));
    EXPECT_EQ(db->transactionLevel(), 0);

    ASSERT_TRUE(BeginTrs(0));
    ASSERT_TRUE(BeginTrs(0));
    EXPECT_EQ(db->transactionLevel(), 1) << "inner begins only count";
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name) values (1, 'a')"));
    EXPECT_TRUE(CommitTrs(0));
    EXPECT_EQ(db->transactionLevel(), 1) << "still open after the inner commit";
    EXPECT_TRUE(CommitTrs(0));
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_wizard_type")), 1);

    // Rolling back: the inner rollback undoes nothing yet, the outer undoes all.
    ASSERT_TRUE(BeginTrs(0));
    ASSERT_TRUE(BeginTrs(0));
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name) values (2, 'b')"));
    EXPECT_TRUE(RollbackTrs(0));
    EXPECT_EQ(db->transactionLevel(), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_wizard_type")), 2);
    EXPECT_TRUE(RollbackTrs(0));
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_wizard_type")), 1);
}

TEST_F(TablesTest, CommitAfterAnInnerRollbackRollsEverythingBack)
{
    ASSERT_TRUE(BeginTrs(0));
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name) values (1, 'outer')"));
    ASSERT_TRUE(BeginTrs(0));
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name) values (2, 'inner')"));
    ASSERT_TRUE(RollbackTrs(0));
    EXPECT_FALSE(CommitTrs(0)) << "a group with a failed part must not commit";
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_wizard_type")), 0);

    // The next transaction starts clean.
    ASSERT_TRUE(BeginTrs(0));
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name) values (3, 'next')"));
    EXPECT_TRUE(CommitTrs(0));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_wizard_type")), 1);
}

TEST_F(TablesTest, ExclusiveTablesAndTheLockAreCounted)
{
    ASSERT_TRUE(OpenTableExclusive(tListReport));
    dao::Recordset* first = &ExclusiveTable(tListReport);
    ASSERT_TRUE(OpenTableExclusive(tListReport));
    EXPECT_EQ(&ExclusiveTable(tListReport), first) << "re-used, not reopened";
    EXPECT_EQ(counts().exclusiveUses[tListReport], 2);
    EXPECT_FALSE(first->LockEdits());
    EXPECT_TRUE(CloseTableExclusive(tListReport));
    EXPECT_NO_THROW(ExclusiveTable(tListReport));
    EXPECT_TRUE(CloseTableExclusive(tListReport));
    EXPECT_THROW(ExclusiveTable(tListReport), RuntimeError);
    EXPECT_FALSE(CloseTableExclusive(tListReport));

    ASSERT_TRUE(OpenTableForTransGroup(0));
    ASSERT_TRUE(OpenTableForTransGroup(0));
    EXPECT_TRUE(counts().lockHeld);
    EXPECT_TRUE(CloseTableForTransGroup(0));
    EXPECT_TRUE(counts().lockHeld);
    EXPECT_TRUE(CloseTableForTransGroup(0));
    EXPECT_FALSE(counts().lockHeld);
    EXPECT_FALSE(CloseTableForTransGroup(0));
    EXPECT_TRUE(presenter->requests().isEmpty());
}

TEST_F(TablesTest, LockTableIsCreatedWhenMissing)
{
    db->Execute(QStringLiteral("DROP TABLE excl_0"));
    ASSERT_FALSE(db->hasTable(QStringLiteral("excl_0")));
    ASSERT_TRUE(OpenTableForTransGroup(0));
    const dao::TableDef def = db->tableDef(QStringLiteral("excl_0"));
    ASSERT_EQ(def.fields.size(), 1);
    // PostgreSQL folds names to lower case; names are looked up without case.
    EXPECT_EQ(def.fields[0].name.toUpper(), QStringLiteral("CC"));
    EXPECT_TRUE(def.field(QStringLiteral("CC")));
    EXPECT_EQ(def.fields[0].type, dao::FieldType::Integer);
    EXPECT_TRUE(CloseTableForTransGroup(0));
}

TEST_F(TablesTest, SeekFindsAndClearsTheIndex)
{
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name) values (5, 'five')"));
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name) values (9, 'nine')"));
    ASSERT_TRUE(TableSeekSpec(tListWizardType, QStringLiteral("PrimaryKey"), {9}));
    dao::Recordset& rs = SharedTable(tListWizardType);
    EXPECT_EQ(rs.Index(), QString());
    EXPECT_EQ(rs.Fields(QStringLiteral("name")).toString(), QStringLiteral("nine")) << "found row stays current";
    EXPECT_FALSE(TableSeekSpec(tListWizardType, QStringLiteral("PrimaryKey"), {6}));
    EXPECT_EQ(rs.Index(), QString());
    EXPECT_THROW(TableSeekSpec(tListWizardType, QStringLiteral("PrimaryKey"), {1, 2, 3, 4, 5, 6, 7}), RuntimeError);
}

TEST_F(TablesTest, NextIdIsHighestPlusOneAndRestoresThePosition)
{
    ASSERT_TRUE(OpenTableExclusive(tListWizardTable));
    dao::Recordset& rs = ExclusiveTable(tListWizardTable);
    EXPECT_EQ(GetNextID(rs, QStringLiteral("PrimaryKey"), QStringLiteral("id")), 1) << "empty table";
    for (int id : {3, 41, 17})
        db->Execute(QStringLiteral("insert into vlq_list_wizard_table (id, table_name) values (%1, 't%1')").arg(id));
    rs.setIndex(QStringLiteral("PrimaryKey"));
    rs.Seek(QStringLiteral("="), {17});
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(GetNextID(rs, QStringLiteral("PrimaryKey"), QStringLiteral("id")), 42);
    EXPECT_EQ(rs.Index(), QStringLiteral("PrimaryKey"));
    EXPECT_EQ(rs.Fields(QStringLiteral("id")).toLongLong(), 17);

    // A failure is reported: a made-up 1 would later collide with a stored key.
    try {
        GetNextID(rs, QStringLiteral("PrimaryKey"), QStringLiteral("no_such_field"));
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("\r\nmodTables in Function GetNextID ")))
            << e.description().toStdString();
    }
    EXPECT_THROW(GetNextID(rs, QStringLiteral("no_such_index"), QStringLiteral("id")), RuntimeError);
    EXPECT_TRUE(CloseTableExclusive(tListWizardTable));
}

TEST_F(TablesTest, SaveRecordLeavesTheStoredRowCurrent)
{
    ASSERT_TRUE(OpenTableExclusive(tListWizardType));
    dao::Recordset& rs = ExclusiveTable(tListWizardType);
    rs.AddNew();
    rs.setField(QStringLiteral("id"), 12);
    rs.setField(QStringLiteral("name"), QStringLiteral("új"));
    ASSERT_TRUE(SaveRecord(rs));
    EXPECT_EQ(rs.editMode(), dao::EditMode::None);
    EXPECT_EQ(rs.Fields(QStringLiteral("id")).toLongLong(), 12);
    EXPECT_EQ(rs.Fields(QStringLiteral("temp_status")).toLongLong(), 0) << "store defaults are visible";
    EXPECT_TRUE(CloseTableExclusive(tListWizardType));
}

TEST_F(TablesTest, LookupAndNullReplacement)
{
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name, required_table) values (4, 'x', 2)"));
    EXPECT_EQ(
        LookupFieldValue(QStringLiteral("vlq_list_wizard_type"), 4, QStringLiteral("required_table"), -5).toLongLong(),
        2);
    EXPECT_EQ(LookupFieldValue(QStringLiteral("vlq_list_wizard_type"), 5, QStringLiteral("name"), -5).toInt(), -5);
    // A failing look-up is an error, never the default value.
    try {
        LookupFieldValue(QStringLiteral("no_such_table"), 4, QStringLiteral("name"), -5);
        ADD_FAILURE() << "an unknown table gave a value";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("\r\nmodTables in Function LookupFieldValue ")))
            << e.description().toStdString();
    }
    // So is an unknown field: the name is never read as a text constant.
    try {
        LookupFieldValue(QStringLiteral("vlq_list_wizard_type"), 4, QStringLiteral("no_such_field"), -5);
        ADD_FAILURE() << "an unknown field gave a value";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 3061) << e.description().toStdString();
    }
    // Only plain names are joined into the statement; anything else is refused.
    EXPECT_THROW(LookupFieldValue(QStringLiteral("vlq_list_wizard_type"), 4,
                                  QStringLiteral("name from vlq_list_wizard_type; drop table vlq_list_report --"), -5),
                 RuntimeError);
    EXPECT_TRUE(db->hasTable(QStringLiteral("vlq_list_report")));

    EXPECT_EQ(NullToDefault(QVariant(), vt::String), QVariant(QString()));
    EXPECT_EQ(NullToDefault(QVariant(), vt::Long), QVariant(0));
    EXPECT_EQ(NullToDefault(QVariant(), vt::Date).toDateTime().date(), QDate(1899, 11, 30));
    EXPECT_FALSE(NullToDefault(QVariant(), vt::Object).isValid());
    EXPECT_EQ(NullToDefault(QStringLiteral("x"), vt::Long), QVariant(QStringLiteral("x")));
    EXPECT_EQ(NullToDefault(QString(), vt::Long), QVariant(QString())) << "an empty string is not Null";
}

TEST_F(TablesTest, InitializeWithoutDatabaseFailsWithTrace)
{
    Reset();
    ctx().database.reset();
    try {
        Initialize();
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Not exists database")));
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("modTables in Function Initialize ")));
        EXPECT_EQ(e.source(), QStringLiteral("modTables"));
    }
}

TEST_F(TablesTest, WriteScopeReleasesEverythingWhenTheWriteThrows)
{
    try {
        WriteScope scope(tListReport);
        ASSERT_TRUE(scope.ok());
        EXPECT_EQ(db->transactionLevel(), 1);
        db->Execute(QStringLiteral("insert into vlq_list_report (id, name) values (1, 'half')"));
        throw RuntimeError(1, QStringLiteral("test"), QStringLiteral("boom"));
    } catch (const RuntimeError&) {
    }
    const Counts c = counts();
    EXPECT_EQ(c.transactions, 0);
    EXPECT_EQ(c.lockUses, 0);
    EXPECT_FALSE(c.lockHeld);
    EXPECT_EQ(c.exclusiveUses[tListReport], 0);
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 0);
}

TEST_F(TablesTest, WriteScopeThatCannotOpenItsTableHoldsNothing)
{
    db->Execute(QStringLiteral("DROP TABLE vlq_list_auth_unit"));
    EXPECT_THROW(WriteScope scope(tListAuthUnit), RuntimeError);
    const Counts c = counts();
    EXPECT_EQ(c.transactions, 0);
    EXPECT_EQ(c.lockUses, 0);
    EXPECT_EQ(c.exclusiveUses[tListAuthUnit], 0);
    EXPECT_EQ(db->transactionLevel(), 0);
}

// --- a second process ---------------------------------------------------------------

// Plays the other process: takes the write lock on the database named by
// LG_STORE_LOCK_DB, reports through the marker file and waits to be killed.
TEST(ChildProcess, HoldLock)
{
    const QString dbPath = qEnvironmentVariable("LG_STORE_LOCK_DB");
    if (dbPath.isEmpty())
        GTEST_SKIP() << "only run as a child process";
    ctx().database = dao::Database::open(dbPath);
    ASSERT_TRUE(Initialize());
    ASSERT_TRUE(OpenTableForTransGroup(0));
    QFile marker(qEnvironmentVariable("LG_READY_FILE"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    QThread::sleep(60);
}

bool waitForFile(const QString& path, int ms = 20000)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (QFile::exists(path))
            return true;
        QThread::msleep(10);
    }
    return false;
}

// Answers like the scripted presenter, and runs an action when the lock
// question is asked.
class ActingPresenter : public MessagePresenter {
public:
    std::function<void()> onAsk;
    int button = 0;
    int asked = 0;
    MessageAnswer present(const MessageRequest& request) override
    {
        ++asked;
        last = request;
        if (onAsk)
            onAsk();
        return {button, {}};
    }
    MessageRequest last;
};

TEST_F(TablesTest, AnotherProcessHoldingTheLockIsReportedAndRetried)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString marker = tempPath(QStringLiteral("lock.ready"));
    env.insert(QStringLiteral("LG_STORE_LOCK_DB"), path);
    env.insert(QStringLiteral("LG_READY_FILE"), marker);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ChildProcess.HoldLock")});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(waitForFile(marker)) << child.readAll().toStdString();

    // "Nem": the write is abandoned.
    presenter->clickButton(1);
    EXPECT_FALSE(OpenTableForTransGroup(0));
    ASSERT_EQ(presenter->requests().size(), 1);
    EXPECT_EQ(presenter->requests()[0].message, lockQuestionMessage());
    EXPECT_EQ(presenter->requests()[0].subMessage, lockQuestionSubMessage());
    EXPECT_EQ(presenter->requests()[0].typeCode, 35);
    EXPECT_FALSE(counts().lockHeld);

    // A whole write is refused the same way and leaves nothing behind.
    ListWizardType type;
    type.set_name(QStringLiteral("blocked"));
    ASSERT_TRUE(type.SetFinal());
    EXPECT_FALSE(type.CoreUpdate());
    EXPECT_EQ(type.ItemStatus(), isNew);
    EXPECT_EQ(counts().transactions, 0);

    // "Igen" after the other process has gone: the retry succeeds.
    auto acting = std::make_shared<ActingPresenter>();
    acting->button = 0;  // "&Igen"
    acting->onAsk = [&] {
        child.kill();
        child.waitForFinished();
        // A server ends the killed process's session (and its lock) a moment
        // after its connection breaks, as a user would wait before "Igen".
        if (onPostgres()) {
            PgConnection admin(PgCluster::instance().connectionString());
            for (int waited = 0; waited < 10000 && admin.value(QStringLiteral(
                                                        "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory'")) != u"0";
                 waited += 10)
                QThread::msleep(10);
        }
    };
    ctx().messages = std::make_shared<cMessage2>(acting);
    EXPECT_TRUE(OpenTableForTransGroup(0));
    EXPECT_EQ(acting->asked, 1);
    EXPECT_TRUE(CloseTableForTransGroup(0));
}

}  // namespace
}  // namespace lg::test
