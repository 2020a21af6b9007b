// listgen demo-db: builds the demo wholesaler's database.

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include "command.h"
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

namespace lg::cli {

static int runDemoDb(const Args& args)
{
    if (args.has(u"out"_s) == args.has(u"db"_s))
        throw UsageError{u"give the database as --out FILE or --db URI"_s};
    const QString out = args.has(u"db"_s) ? args.required(u"db"_s) : args.required(u"out"_s);
    const long scale = args.number(u"scale"_s).value_or(1);
    if (scale < 1 || scale > 10000)
        throw UsageError{u"--scale takes a whole number from 1 to 10000"_s};
    if (dao::Database::isUri(out)) {
        demo::DemoOptions options;
        options.scale = int(scale);
        options.replace = args.has(u"force"_s);
        options.reportsDir = QFileInfo(args.value(u"reports"_s, QDir::currentPath())).absoluteFilePath();
        QElapsedTimer timer;
        timer.start();
        const demo::DemoSummary s =
            demo::buildDemoDatabase(out, options, [](const QString& step) { printErr(step + u"\n"_s); });
        printOut(QStringLiteral("%1: %2 partners, %3 products, %4 invoices, %5 invoice lines; %6 saved lists; "
                                "report sources in %7 (%8 s)\n")
                     .arg(out)
                     .arg(s.partners)
                     .arg(s.products)
                     .arg(s.invoices)
                     .arg(s.lines)
                     .arg(s.lists)
                     .arg(QDir::toNativeSeparators(options.reportsDir))
                     .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
        return 0;
    }
    const QFileInfo info(out);
    if (info.exists() && !args.has(u"force"_s)) {
        printErr(QStringLiteral("listgen demo-db: %1 already exists; remove it or pass --force\n").arg(out));
        return 1;
    }
    if (!info.absoluteDir().exists()) {
        printErr(QStringLiteral("listgen demo-db: the folder of %1 does not exist\n").arg(out));
        return 1;
    }
    demo::DemoOptions options;
    options.scale = int(scale);
    options.reportsDir = args.value(u"reports"_s, info.absolutePath());

    QElapsedTimer timer;
    timer.start();
    const QString target = info.absoluteFilePath();
    const demo::DemoSummary s =
        demo::buildDemoDatabase(target, options, [](const QString& step) { printErr(step + u"\n"_s); });
    printOut(QStringLiteral("%1: %2 partners, %3 products, %4 invoices, %5 invoice lines, %6 users in %7 groups; "
                            "%8 list types, %9 saved lists; report sources in %10 (%11 s)\n")
                 .arg(target)
                 .arg(s.partners)
                 .arg(s.products)
                 .arg(s.invoices)
                 .arg(s.lines)
                 .arg(s.users)
                 .arg(s.groups)
                 .arg(s.listTypes)
                 .arg(s.lists)
                 .arg(QDir::toNativeSeparators(options.reportsDir))
                 .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
    return 0;
}

static RegisterCommand reg{{"demo-db", "--out FILE | --db postgresql://… [--scale N] [--reports DIR] [--force]",
                            "creates the demo wholesaler's database with saved lists (in a file or on a server)",
                            false, &runDemoDb, {u"force"_s}, nullptr, {u"out"_s, u"db"_s, u"scale"_s, u"reports"_s}}};

}  // namespace lg::cli
