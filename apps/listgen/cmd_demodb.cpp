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
    demo::DemoSummary s;
    try {
        s = demo::buildDemoDatabase(target, options, [](const QString& step) { printErr(step + u"\n"_s); });
    } catch (const RuntimeError& e) {
        // A full disk says only that the disk is full: which file was not
        // written is the user's first question. An earlier file is as it was.
        printErr(QStringLiteral("listgen demo-db: %1 was not written: %2\n").arg(target, e.description()));
        return 1;
    }
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
