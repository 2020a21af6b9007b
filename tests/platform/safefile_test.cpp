#include <gtest/gtest.h>

#include "platform/safefile.h"
#include "support/testsupport.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <cerrno>

#include <sys/stat.h>

using namespace lg;
using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Only the target (and whatever the test put there) is left in the folder.
QStringList folderEntries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

TEST(SafeFile, ReplacesOnlyOnCommitAndKeepsPermissions)
{
    const QString dir = test::tempDir();
    const QString target = dir + u"/report.pdf"_s;
    writeFile(target, "old");
    ::chmod(QFile::encodeName(target).constData(), 0640);

    SafeFile out(target);
    ASSERT_TRUE(out.begin()) << out.errorString().toStdString();
    ASSERT_NE(out.device(), nullptr);
    out.device()->write("new content");
    EXPECT_EQ(readAll(target), "old");  // untouched while writing
    ASSERT_TRUE(out.commit()) << out.errorString().toStdString();
    EXPECT_EQ(readAll(target), "new content");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(folderEntries(dir), QStringList{u"report.pdf"_s});
}

TEST(SafeFile, AnythingShortOfCommitLeavesTheOldFile)
{
    const QString dir = test::tempDir();
    const QString target = dir + u"/list.xlsx"_s;
    writeFile(target, "old");
    {
        SafeFile out(target);
        ASSERT_TRUE(out.begin());
        writeFile(out.tempPath(), "half a workbook");  // a writer that takes a path
    }  // dropped without commit
    EXPECT_EQ(readAll(target), "old");
    {
        SafeFile out(target);
        ASSERT_TRUE(out.begin());
        out.device()->write("half");
        out.cancel();
        EXPECT_FALSE(out.commit());
    }
    EXPECT_EQ(readAll(target), "old");
    EXPECT_EQ(folderEntries(dir), QStringList{u"list.xlsx"_s});
}

TEST(SafeFile, FailedRenameKeepsTheOldFileAndRemovesTheTemporary)
{
    const QString dir = test::tempDir();
    const QString target = dir + u"/out.tsv"_s;
    writeFile(target, "earlier run");

    detail::setSafeFileRename([](const char*, const char*) {
        errno = EXDEV;
        return -1;
    });
    SafeFile out(target);
    ASSERT_TRUE(out.begin());
    out.device()->write("new rows");
    const bool committed = out.commit();
    detail::setSafeFileRename(nullptr);

    EXPECT_FALSE(committed);
    EXPECT_FALSE(out.errorString().isEmpty());
    EXPECT_EQ(readAll(target), "earlier run");
    EXPECT_EQ(folderEntries(dir), QStringList{u"out.tsv"_s});
}

TEST(SafeFile, RefusesTargetsThatAreNotPlainFilesOrAreInUse)
{
    const QString dir = test::tempDir();
    const QString real = dir + u"/real.txt"_s;
    writeFile(real, "keep me");

    const QString link = dir + u"/link.txt"_s;
    ASSERT_TRUE(QFile::link(real, link));
    const QString fifo = dir + u"/pipe"_s;
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString database = dir + u"/host.db"_s;
    writeFile(database, "database");

    struct Case {
        QString target;
        QStringList refused;
    };
    const QList<Case> refusedCases = {
        {link, {}},
        {fifo, {}},
        {u"/dev/null"_s, {}},
        {dir, {}},
        {dir + u"/no/such/folder/x.pdf"_s, {}},
        {database, {database}},
        // the same file under another spelling
        {dir + u"/./host.db"_s, {database}},
        {u""_s, {}},
    };
    for (const Case& c : refusedCases) {
        SafeFile out(c.target);
        for (const QString& r : c.refused)
            out.refuse(r);
        EXPECT_FALSE(out.begin()) << c.target.toStdString();
        EXPECT_FALSE(out.errorString().isEmpty()) << c.target.toStdString();
    }
    EXPECT_EQ(readAll(real), "keep me");
    EXPECT_EQ(readAll(database), "database");

    // A new file next to a refused one is fine, and so is a refused path that does not exist.
    SafeFile fresh(dir + u"/new.pdf"_s);
    fresh.refuse(database);
    fresh.refuse(dir + u"/missing.db"_s);
    EXPECT_TRUE(fresh.begin());
    EXPECT_TRUE(fresh.commit());
    EXPECT_TRUE(QFile::exists(dir + u"/new.pdf"_s));
}

TEST(SafeFile, ALinkPutInPlaceWhileWritingIsNotWrittenThrough)
{
    const QString dir = test::tempDir();
    const QString victim = dir + u"/victim.txt"_s;
    writeFile(victim, "precious");
    const QString target = dir + u"/out.txt"_s;

    SafeFile out(target);
    ASSERT_TRUE(out.begin());
    out.device()->write("rows");
    ASSERT_TRUE(QFile::link(victim, target));
    EXPECT_FALSE(out.commit());
    EXPECT_EQ(readAll(victim), "precious");
}
