// Every file the library writes, written where the disk gives out: under a
// file-size limit (the system refuses the write past the limit) and into a
// full folder. Each writer must say it failed, name the file, and leave the
// file it was to replace as it was, byte for byte, with no leftovers beside
// it. The writers run as the command-line tool, in a process of their own,
// so the limit binds only them.

#include "support/testsupport.h"

#include "demodata.h"
#include "store/context.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>

namespace lg::test {
namespace {

using namespace Qt::StringLiterals;

// One writer of the library, driven through the command-line tool.
struct Writer {
    const char* name;
    // The file it writes (into the folder of the target).
    QString fileName;
    std::function<QStringList(const QString& db, const QString& reports, const QString& target)> args;
};

QList<Writer> writers()
{
    auto run = [](const QString& format) {
        return [format](const QString& db, const QString& reports, const QString& target) {
            return QStringList{u"run"_s, u"--db"_s, db, u"--list"_s, u"3"_s, u"--user"_s, u"2"_s, u"--format"_s,
                               format, u"--reports"_s, reports, u"--out"_s, target};
        };
    };
    return {
        {"PDF report", u"lista.pdf"_s, run(u"pdf"_s)},
        {"HTML report", u"lista.html"_s, run(u"html"_s)},
        {"Excel export", u"lista.xlsx"_s, run(u"xlsx"_s)},
        {"rows as CSV (--out)", u"lista.csv"_s, run(u"csv"_s)},
        {"rows as JSON (--out)", u"lista.json"_s, run(u"json"_s)},
        {"report source", u"REPORT3.XML"_s,
         [](const QString& db, const QString&, const QString& target) {
             return QStringList{u"xml"_s, u"--db"_s, db, u"--list"_s, u"3"_s, u"--folder"_s,
                                QFileInfo(target).absolutePath()};
         }},
        {"demo database", u"demo.db"_s,
         [](const QString&, const QString&, const QString& target) {
             // Its report sources go to a folder of their own.
             return QStringList{u"demo-db"_s, u"--out"_s, target, u"--reports"_s, tempDir(), u"--force"_s};
         }},
    };
}

// The file the writer is to replace: bytes no writer produces.
QByteArray previousContent()
{
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += char('a' + (i * 7) % 26);
    return "earlier file\n" + bytes + "\n";
}

ProcessResult runTool(const QStringList& args, qint64 sizeLimit)
{
    QProcess p;
    // Past the limit a write fails with EFBIG instead of ending the process.
    p.setChildProcessModifier([sizeLimit] {
        std::signal(SIGXFSZ, SIG_IGN);
        if (sizeLimit >= 0) {
            const struct rlimit limit {rlim_t(sizeLimit), rlim_t(sizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    p.start(QStringLiteral(LISTGEN_CLI), args);
    ProcessResult r;
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        r.err = u"timed out"_s;
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<cannot read>");
}

// A small file system of its own on a folder, filled up. Needs the right to
// mount (root); `available` says whether there is one.
class FullFolder {
public:
    explicit FullFolder(const QString& folder) : m_folder(folder)
    {
        m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                            "size=1m,mode=0700") == 0;
        if (!m_mounted)
            m_why = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~FullFolder()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    bool available() const { return m_mounted; }
    const QString& why() const { return m_why; }

    // Fills the folder until at most `leave` bytes are free.
    bool fill(qint64 leave)
    {
        QFile filler(m_folder + u"/filler"_s);
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(4096, 'f');
        for (;;) {
            struct statvfs st {};
            if (::statvfs(QFile::encodeName(m_folder).constData(), &st) != 0)
                return false;
            const qint64 free = qint64(st.f_bavail) * qint64(st.f_frsize);
            if (free <= leave)
                return true;
            if (filler.write(block) != block.size() || !filler.flush())
                return true;  // full
        }
    }
    qint64 free() const
    {
        struct statvfs st {};
        ::statvfs(QFile::encodeName(m_folder).constData(), &st);
        return qint64(st.f_bavail) * qint64(st.f_frsize);
    }

private:
    QString m_folder;
    QString m_why;
    bool m_mounted = false;
};

class OutputFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const QString folder = tempDir();
        s_db = new QString(folder + u"/demo.db"_s);
        s_reports = new QString(folder + u"/reports"_s);
        demo::DemoOptions options;
        options.reportsDir = *s_reports;
        demo::buildDemoDatabase(*s_db, options, [](const QString&) {});
        Context::reset();
    }

    struct Outcome {
        bool reportedSuccess = false;
        bool namesFile = false;
        bool previousIntact = false;
        QStringList leftovers;
        QString err;
    };

    // Runs `w` into `folder`, where the previous file already lies.
    static Outcome runInto(const Writer& w, const QString& folder, qint64 sizeLimit)
    {
        const QString target = folder + u'/' + w.fileName;
        const ProcessResult r = runTool(w.args(*s_db, *s_reports, target), sizeLimit);
        Outcome o;
        o.err = r.err.trimmed() + u" (exit code "_s + QString::number(r.exitCode) + u')';
        o.reportedSuccess = r.exitCode == 0;
        o.namesFile = r.err.contains(w.fileName);
        o.previousIntact = readAll(target) == previousContent();
        for (const QString& f : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (f != w.fileName && f != u"filler"_s)
                o.leftovers << f;
        return o;
    }

    static void putPrevious(const Writer& w, const QString& folder)
    {
        QFile f(folder + u'/' + w.fileName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(previousContent()), previousContent().size());
    }

    static void expectFailedCleanly(const Outcome& o)
    {
        EXPECT_FALSE(o.reportedSuccess) << "reported success: " << o.err.toStdString();
        EXPECT_TRUE(o.namesFile) << "the message does not name the file: " << o.err.toStdString();
        EXPECT_TRUE(o.previousIntact) << "the previous file is not as it was";
        EXPECT_TRUE(o.leftovers.isEmpty()) << "left beside it: " << o.leftovers.join(u", "_s).toStdString();
    }

    // The size of what the writer writes undisturbed.
    static qint64 cleanSize(const Writer& w)
    {
        const QString folder = tempDir();
        const QString target = folder + u'/' + w.fileName;
        const ProcessResult r = runTool(w.args(*s_db, *s_reports, target), -1);
        EXPECT_EQ(r.exitCode, 0) << w.name << ": " << r.err.toStdString();
        return QFileInfo(target).size();
    }

    static inline QString* s_db = nullptr;
    static inline QString* s_reports = nullptr;
};

TEST_F(OutputFiles, FailUnderAFileSizeLimitAndKeepThePreviousFile)
{
    int runs = 0;
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const qint64 size = cleanSize(w);
        ASSERT_GT(size, 2) << "writes nothing undisturbed";
        // Refused at the first write, halfway, and near the end (a PDF's size
        // varies by a few bytes from run to run: its last kilobyte).
        const qint64 nearEnd = size > 8192 ? size - 1024 : size - 1;
        for (qint64 limit : {qint64(1), size / 2, nearEnd}) {
            SCOPED_TRACE(testing::Message() << "limit " << limit << " of " << size << " bytes");
            const QString folder = tempDir();
            putPrevious(w, folder);
            expectFailedCleanly(runInto(w, folder, limit));
            ++runs;
            if (HasFailure())
                return;
        }
    }
    std::printf("[ outputs  ] %d writers, %d runs under a file-size limit: all failed, nothing lost\n",
                int(writers().size()), runs);
}

TEST_F(OutputFiles, FailInAFullFolderAndKeepThePreviousFile)
{
    int runs = 0;
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const qint64 size = cleanSize(w);
        ASSERT_GT(size, 2) << "writes nothing undisturbed";
        // No room at all, and room for half the file.
        for (qint64 leave : {qint64(0), size / 2}) {
            SCOPED_TRACE(testing::Message() << leave << " bytes free for " << size);
            const QString folder = tempDir();
            FullFolder full(folder);
            if (!full.available())
                GTEST_SKIP() << "cannot mount a small file system here (" << full.why().toStdString()
                             << "); the file-size limit test covers the same failures";
            putPrevious(w, folder);
            ASSERT_TRUE(full.fill(leave));
            if (leave < size && full.free() >= size)
                continue;  // the file system's blocks left room for all of it
            expectFailedCleanly(runInto(w, folder, -1));
            ++runs;
            if (HasFailure())
                return;
        }
    }
    std::printf("[ outputs  ] %d writers, %d runs into a full folder: all failed, nothing lost\n",
                int(writers().size()), runs);
}

}  // namespace
}  // namespace lg::test
