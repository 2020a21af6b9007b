// listgen demo-db: builds the demo wholesaler's database.

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <sqlite3.h>

#include "command.h"
#include "demodata.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "store/context.h"
#include "store/schema.h"

using namespace Qt::StringLiterals;

namespace lg::demo {

DemoSummary buildDemoDatabase(const QString& file, const DemoOptions& options, const Progress& progress)
{
    if (options.scale < 1)
        throw RuntimeError(errnum::Internal, u"demo"_s, u"the scale must be 1 or more"_s);
    if (!QDir().mkpath(options.reportsDir))
        throw RuntimeError(errnum::Internal, u"demo"_s,
                           QStringLiteral("cannot create the report folder %1").arg(options.reportsDir));
    // Built under a temporary name and renamed at the end, so an interrupted
    // build never leaves a half-filled database behind.
    const QString part = file + u".part"_s;
    for (const QString& suffix : {u""_s, u"-wal"_s, u"-shm"_s, u"-journal"_s})
        QFile::remove(part + suffix);

    DemoSummary summary;
    {
        auto db = dao::Database::open(part);
        ctx().database = db;
        ctx().userId = 1;
        progress(u"installing the definition store"_s);
        store::installSchema(*db);
        createHostTables(*db);
        db->BeginTrans();
        try {
            progress(QStringLiteral("writing the host data (scale %1)").arg(options.scale));
            summary = fillHostData(*db, options.scale);
            progress(u"writing the catalogue, denials and saved lists"_s);
            summary = fillCatalogue(*db, summary, options.reportsDir);
            db->CommitTrans();
            progress(u"writing the report sources"_s);
            writeReportSources(options.reportsDir);
            // One self-contained file: the write-ahead log goes back into it.
            char* err = nullptr;
            if (sqlite3_exec(db->handle(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, &err) != SQLITE_OK) {
                const QString message = QString::fromUtf8(err ? err : "unknown error");
                sqlite3_free(err);
                throw RuntimeError(errnum::Database, u"demo"_s, u"cannot finish the database: "_s + message);
            }
        } catch (...) {
            if (db->transactionLevel() > 0)
                db->Rollback();
            ctx().database.reset();
            db.reset();
            for (const QString& suffix : {u""_s, u"-wal"_s, u"-shm"_s, u"-journal"_s})
                QFile::remove(part + suffix);
            throw;
        }
        ctx().database.reset();
        if (db.use_count() != 1)
            throw RuntimeError(errnum::Internal, u"demo"_s, u"the database is still in use after the build"_s);
    }
    // Replace an existing file only once the new one is complete.
    if (QFile::exists(file) && !QFile::remove(file))
        throw RuntimeError(errnum::Internal, u"demo"_s, QStringLiteral("cannot replace %1").arg(file));
    if (!QFile::rename(part, file))
        throw RuntimeError(errnum::Internal, u"demo"_s, QStringLiteral("cannot rename %1 to %2").arg(part, file));
    return summary;
}

}  // namespace lg::demo

namespace lg::cli {

static int runDemoDb(const Args& args)
{
    const QString out = args.required(u"out"_s);
    const long scale = args.number(u"scale"_s).value_or(1);
    if (scale < 1 || scale > 10000)
        throw UsageError{u"--scale takes a whole number from 1 to 10000"_s};
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

static RegisterCommand reg{{"demo-db", "--out FILE [--scale N] [--reports DIR] [--force]",
                            "creates the demo wholesaler's database with saved lists", false, &runDemoDb,
                            {u"force"_s}, nullptr, {u"out"_s, u"scale"_s, u"reports"_s}}};

}  // namespace lg::cli
