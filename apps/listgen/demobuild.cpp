// Builds the demo wholesaler's database: under a temporary name beside the
// target, put in its place only when complete.

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include "demodata.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/safefile.h"
#include "store/context.h"
#include "store/schema.h"

using namespace Qt::StringLiterals;

namespace lg::demo {

namespace {

// What SQLite and the layer leave beside a database file: journals and lock files.
QStringList companionFiles(const QString& database)
{
    QStringList files;
    for (const QString& suffix : {u"-wal"_s, u"-shm"_s, u"-journal"_s})
        files << database + suffix;
    const QFileInfo info(database);
    for (const QString& lock : info.dir().entryList({info.fileName() + u".*.lock"_s}, QDir::Files | QDir::Hidden))
        files << info.dir().filePath(lock);
    return files;
}

}  // namespace

// On a server the whole build is one transaction (definitions too): a failed
// or interrupted build leaves the database as it was.
static DemoSummary buildDemoOnServer(const QString& uri, const DemoOptions& options, const Progress& progress)
{
    auto db = dao::Database::open(uri);
    if (!db->TableDefs().isEmpty() && !options.replace)
        throw RuntimeError(errnum::Internal, u"demo"_s,
                           u"the database already holds tables; pass --force to replace them"_s);
    ctx().database = db;
    ctx().userId = 1;
    DemoSummary summary;
    try {
        dao::Transaction transaction(*db);
        if (options.replace) {
            progress(u"removing the earlier tables"_s);
            for (const dao::TableDef& t : db->TableDefs())
                db->Execute((t.isQuery ? u"DROP VIEW [%1]"_s : u"DROP TABLE [%1]"_s).arg(t.name));
        }
        progress(u"installing the definition store"_s);
        store::installSchema(*db);
        createHostTables(*db);
        progress(QStringLiteral("writing the host data (scale %1)").arg(options.scale));
        summary = fillHostData(*db, options.scale);
        progress(u"writing the catalogue, denials and saved lists"_s);
        summary = fillCatalogue(*db, summary, options.reportsDir);
        transaction.commit();
        progress(u"writing the report sources"_s);
        writeReportSources(options.reportsDir);
    } catch (...) {
        ctx().database.reset();
        throw;
    }
    ctx().database.reset();
    return summary;
}

DemoSummary buildDemoDatabase(const QString& file, const DemoOptions& options, const Progress& progress)
{
    if (options.scale < 1)
        throw RuntimeError(errnum::Internal, u"demo"_s, u"the scale must be 1 or more"_s);
    if (!QDir().mkpath(options.reportsDir))
        throw RuntimeError(errnum::Internal, u"demo"_s,
                           QStringLiteral("cannot create the report folder %1").arg(options.reportsDir));
    if (dao::Database::isUri(file))
        return buildDemoOnServer(file, options, progress);
    // Built under a temporary name beside the target and put in its place
    // only when complete, so an earlier demo database survives a failed or
    // interrupted build.
    SafeFile out(file);
    if (!out.begin())
        throw RuntimeError(errnum::Internal, u"demo"_s, out.errorString());
    const QString part = out.tempPath();
    struct Cleanup {
        QString part;
        ~Cleanup()
        {
            for (const QString& f : companionFiles(part))
                QFile::remove(f);
        }
    } cleanup{part};

    DemoSummary summary;
    {
        // One self-contained file: a rollback journal, not a write-ahead log.
        auto db = dao::Database::open(part, {}, dao::dbOpenRollbackJournal);
        ctx().database = db;
        ctx().userId = 1;
        try {
            progress(u"installing the definition store"_s);
            store::installSchema(*db);
            createHostTables(*db);
            {
                // A new file: no journal and no sync while loading; a
                // failure discards the whole file anyway.
                dao::BulkLoad bulk(*db);
                dao::Transaction transaction(*db);
                progress(QStringLiteral("writing the host data (scale %1)").arg(options.scale));
                summary = fillHostData(*db, options.scale);
                progress(u"writing the catalogue, denials and saved lists"_s);
                summary = fillCatalogue(*db, summary, options.reportsDir);
                transaction.commit();
                bulk.end();
            }
            progress(u"writing the report sources"_s);
            writeReportSources(options.reportsDir);
        } catch (...) {
            ctx().database.reset();
            throw;
        }
        ctx().database.reset();
        if (db.use_count() != 1)
            throw RuntimeError(errnum::Internal, u"demo"_s, u"the database is still in use after the build"_s);
    }
    // The connection is closed: nothing of the database may live beside the file.
    for (const QString& f : companionFiles(part)) {
        if (f.endsWith(u".lock"_s))
            continue;
        if (QFile::exists(f))
            throw RuntimeError(errnum::Internal, u"demo"_s, QStringLiteral("%1 is left after the build").arg(f));
    }
    if (!out.commit())
        throw RuntimeError(errnum::Internal, u"demo"_s, out.errorString());
    return summary;
}

}  // namespace lg::demo
