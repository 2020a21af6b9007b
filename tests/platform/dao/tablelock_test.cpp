#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>

#include "daotest.h"

using namespace lg::dao;
using lg::dao::test::errorNumberOf;

namespace {

const char* const kChildDb = "LG_DAO_LOCK_CHILD_DB";

// Plays the other process: runs this test program again with only the
// helper test below, which tries to take the lock and prints what happened.
QString otherProcessTries(const QString& dbPath)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildDb), dbPath);
    p.setProcessEnvironment(env);
    p.start(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")),
            {QStringLiteral("--gtest_filter=TableLockChild.TryTheLock")});
    if (!p.waitForFinished(60000))
        return QStringLiteral("timeout");
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = out.indexOf(QLatin1String("RESULT:"));
    return at < 0 ? QStringLiteral("no result: ") + out : out.mid(at + 7).section(QLatin1Char('\n'), 0, 0).trimmed();
}

}  // namespace

TEST(TableLockChild, TryTheLock)
{
    SQLITE_ONLY();
    const QString path = qEnvironmentVariable(kChildDb);
    if (path.isEmpty())
        GTEST_SKIP() << "only run as the second process of the lock tests";
    auto db = Database::open(path);
    try {
        auto rs = db->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite);
        std::printf("RESULT:locked\n");
    } catch (const lg::RuntimeError& e) {
        std::printf("RESULT:%ld %s\n", e.number(), e.description().toUtf8().constData());
    }
    std::fflush(stdout);
}

TEST(TableLock, DenyWriteHoldsOtherProcessesOffUntilTheLastUseCloses)
{
    SQLITE_ONLY();
    const QString path = lg::test::tempPath(QStringLiteral("lock.db"));
    auto db = Database::open(path);
    db->Execute(QStringLiteral("CREATE TABLE excl_0 (CC SHORT)"));

    EXPECT_EQ(otherProcessTries(path), QStringLiteral("locked"));

    auto first = db->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite);
    const QString refused = otherProcessTries(path);
    EXPECT_TRUE(refused.startsWith(QLatin1String("3262 Couldn't lock table 'excl_0'; currently in use by another "
                                                 "person or process.")))
        << refused.toStdString();

    // A second use in this process shares the lock; it goes with the last close.
    auto second = db->OpenRecordset(QStringLiteral("EXCL_0"), RecordsetType::Table, dbDenyWrite);
    first->Close();
    EXPECT_TRUE(otherProcessTries(path).startsWith(QLatin1String("3262")));
    auto sameProcessOtherConnection = Database::open(path);
    EXPECT_NO_THROW(
        sameProcessOtherConnection->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite));
    second.reset();  // destroying the recordset releases it as well
    EXPECT_EQ(otherProcessTries(path), QStringLiteral("locked"));

    // Without dbDenyWrite nothing is locked.
    auto plain = db->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table);
    EXPECT_EQ(otherProcessTries(path), QStringLiteral("locked"));
}
