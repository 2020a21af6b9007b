// listgen-demo: the list controls on the demo wholesaler's database.
//
//   listgen-demo --db FILE [--user ID] [--reports DIR]
//                [--screenshot PNG [--tab N] [--all-lists] [--list ID] [--viewer] [--export-dialog]]
//
// With --screenshot the window is opened, grabbed into the PNG once it has
// loaded, and the program ends (exit code 0 when the picture was written).

#include "controls/assistants.h"
#include "controls/commands.h"
#include "controls/frmexportoptions.h"
#include "controls/listbrowser.h"
#include "controls/listwizard.h"
#include "catalogue/filehelpers.h"
#include "demowindow.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "store/context.h"
#include "ui/errordialog.h"
#include "ui/messagebox.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QTabWidget>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void fail(const QString& text) { std::fprintf(stderr, "listgen-demo: %s\n", qPrintable(text)); }

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"listgen-demo"_s);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"The list controls on the demo database."_s);
    parser.addHelpOption();
    parser.addOption({u"db"_s, u"The demo database."_s, u"FILE"_s});
    parser.addOption({u"user"_s, u"The user who logs in (default 1)."_s, u"ID"_s, u"1"_s});
    parser.addOption({u"reports"_s, u"The report sources (default: reports/ beside the database)."_s, u"DIR"_s});
    parser.addOption({u"screenshot"_s, u"Grab the loaded window into PNG and end."_s, u"PNG"_s});
    parser.addOption({u"tab"_s, u"With --screenshot: the tab to show (0 lists, 1 host form, 2 administration)."_s, u"N"_s, u"0"_s});
    parser.addOption({u"list"_s, u"With --screenshot: the list to select."_s, u"ID"_s});
    parser.addOption({u"all-lists"_s, u"Show every user's lists, not only the user's own."_s});
    parser.addOption({u"viewer"_s, u"The list control in viewer mode."_s});
    parser.addOption({u"export-dialog"_s, u"With --screenshot: grab the export options dialog."_s});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        fail(u"unexpected argument \"%1\""_s.arg(parser.positionalArguments().first()));
        return 2;
    }
    const QString dbPath = parser.value(u"db"_s);
    if (dbPath.isEmpty()) {
        fail(u"--db FILE is needed"_s);
        return 2;
    }
    bool numeric = false;
    const long userId = parser.value(u"user"_s).toLong(&numeric);
    if (!numeric) {
        fail(u"--user takes a number"_s);
        return 2;
    }
    if (!QFileInfo(dbPath).isFile()) {
        fail(u"no database at %1"_s.arg(dbPath));
        return 1;
    }
    const QString reports = parser.isSet(u"reports"_s)
                                ? parser.value(u"reports"_s)
                                : QFileInfo(dbPath).absoluteDir().filePath(u"reports"_s);

    // The library's dialogs live in the library-wide context: they go
    // before the application does.
    struct ReleaseContext {
        ~ReleaseContext() { lg::Context::reset(); }
    } releaseContext;
    lg::installUserInterfaceServices();
    lg::catalogue::SetShellOpenHandler(
        [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 42 : 31; });
    lg::controls::AssistantRegistry::loadPlugins(QCoreApplication::applicationDirPath() + u"/assistants"_s);

    std::shared_ptr<lg::dao::Database> db;
    try {
        db = lg::dao::Database::open(dbPath);
    } catch (const lg::RuntimeError& e) {
        fail(u"cannot open %1: %2"_s.arg(dbPath, e.description()));
        return 1;
    }
    lg::ctx().database = db;

    demo::DemoWindow window(db, reports, userId);
    if (parser.isSet(u"viewer"_s)) {
        window.listWizard()->setWizardType(1);
        window.setUser(userId);
    }
    if (!window.listWizard()->browser().types().size()) {
        fail(u"user %1 sees no list types in %2"_s.arg(userId).arg(dbPath));
    }
    if (parser.isSet(u"all-lists"_s))
        window.listWizard()->ownerSelector()->setCurrentIndex(1);
    if (parser.isSet(u"list"_s)) {
        QListWidget* l = window.listWizard()->lst_reports();
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->data(Qt::UserRole).toLongLong() == parser.value(u"list"_s).toLongLong())
                l->setCurrentRow(i);
    }
    window.tabs()->setCurrentIndex(parser.value(u"tab"_s).toInt());
    window.show();

    if (!parser.isSet(u"screenshot"_s))
        return app.exec();

    const QString png = parser.value(u"screenshot"_s);
    int rc = 1;
    if (parser.isSet(u"export-dialog"_s)) {
        auto* dialog = new lg::controls::frmExportOptions(&window);
        dialog->setFilePath(u"/home/kovacs.anna/Dokumentumok/forgalom_regionkent.xlsx"_s);
        dialog->setExportFileOpen(true);
        dialog->show();
        QTimer::singleShot(300, &app, [&] {
            rc = dialog->grab().save(png) ? 0 : 1;
            app.quit();
        });
    } else {
        window.listWizard()->lst_reports()->setFocus();
        QTimer::singleShot(300, &app, [&] {
            rc = window.grab().save(png) ? 0 : 1;
            app.quit();
        });
    }
    app.exec();
    if (rc != 0)
        fail(u"cannot write %1"_s.arg(png));
    return rc;
}
