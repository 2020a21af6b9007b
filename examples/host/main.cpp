// listgen-host: an invoicing program's "Lists" form. The users pick a
// partner with the quick pick and browse, run and design their lists with
// the list wizard on the program's own database.
//
//   listgen-host DATABASE [--user ID] [--reports DIR] [--english]
//                [--smoke] [--screenshot PNG]
//
// DATABASE is a SQLite file or a postgresql:// URI prepared by
// `listgen demo-db`. --smoke opens the form (offscreen in CI), checks that
// the controls came up on the database and ends (exit code 0 when they
// did); --screenshot also grabs the form into PNG.

#include <listgen/controls/listwizard.h>
#include <listgen/filters/widgets/vquickpick.h>
#include <listgen/platform/dao/dao.h>
#include <listgen/platform/runtimeerror.h>
#include <listgen/platform/strings.h>
#include <listgen/platform/version.h>
#include <listgen/store/context.h>
#include <listgen/ui/errordialog.h>

#include <QtCore/QCommandLineParser>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QVBoxLayout>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser args;
    args.addPositionalArgument("database", "The program's database (file or postgresql:// URI).");
    args.addOption({"user", "The user who is logged in.", "ID", "1"});
    args.addOption({"reports", "Where the report files go (default: reports/ beside the database).", "DIR"});
    args.addOption({"english", "English texts instead of Hungarian."});
    args.addOption({"smoke", "Open the form, check the controls and end."});
    args.addOption({"screenshot", "With --smoke: grab the form into PNG.", "PNG"});
    args.addHelpOption();
    args.process(app);
    if (args.positionalArguments().size() != 1)
        args.showHelp(2);
    const QString database = args.positionalArguments().first();
    const int userId = args.value("user").toInt();
    const QString reports = args.isSet("reports")
                                ? args.value("reports")
                                : QFileInfo(database).absoluteDir().filePath("reports");

    // Once, before any form: the texts' language, the library's dialogs and
    // the shared connection. Releasing the context before the application
    // goes closes the database cleanly.
    if (args.isSet("english"))
        lg::setUiLanguage(lg::UiLanguage::English);
    lg::installUserInterfaceServices();
    struct ReleaseLibrary {
        ~ReleaseLibrary() { lg::Context::reset(); }
    } releaseLibrary;
    try {
        lg::ctx().database = lg::dao::Database::open(database);
    } catch (const lg::RuntimeError& e) {
        std::fprintf(stderr, "listgen-host: cannot open %s: %s\n", qPrintable(database), qPrintable(e.description()));
        return 1;
    }
    lg::ctx().userId = userId;

    // The form: a partner chooser above the lists.
    QWidget form;
    form.setWindowTitle(QStringLiteral("Listák – listgen %1").arg(LISTGEN_VERSION));
    auto* layout = new QVBoxLayout(&form);

    auto* partner = new lg::filters::vQuickPick;
    partner->setObjectName("partner");
    partner->initDesignProperties();   // the designer's defaults for colours, sizes
    partner->setCaption("Partner:");
    const bool partnerReady = partner->InitializeQuickPick(1);  // quick pick 1 of vlq_quickpick: partners
    layout->addWidget(partner);

    auto* chosen = new QLabel;
    chosen->setObjectName("chosenPartner");
    layout->addWidget(chosen);
    QObject::connect(partner, &lg::filters::vQuickPick::ChangedItemID, chosen,
                     [chosen, partner](int id) { chosen->setText(QStringLiteral("%1 (%2)").arg(partner->Text()).arg(id)); });

    auto* lists = new lg::controls::ListWizard;
    lists->setObjectName("lists");
    lists->setDatabase(lg::ctx().database);
    lists->setUserID(userId);
    lists->setModulID(-1);               // every module's list types
    lists->setReportFolderPath(reports);
    const bool listsReady = lists->ControlInitialize();
    layout->addWidget(lists, 1);
    QObject::connect(lists, &lg::controls::ListWizard::ExitWizard, &form, &QWidget::close);

    form.resize(980, 640);
    form.show();
    if (!args.isSet("smoke"))
        return app.exec();

    // Smoke test: both controls initialised on the database, the user sees
    // lists, the quick pick finds a partner and the texts came from the
    // library's string table.
    int rc = 1;
    QTimer::singleShot(200, &app, [&] {
        partner->setID(1);
        const int shown = lists->lst_reports()->count();
        const bool ok = partnerReady && listsReady && shown > 0 && !partner->ResultText().isEmpty() &&
                        !lg::LoadResString(7250).isEmpty();
        std::printf("listgen %s: list wizard %s (%d lists), quick pick %s (partner 1: %s)\n", LISTGEN_VERSION,
                    listsReady ? "ready" : "failed", shown, partnerReady ? "ready" : "failed",
                    qPrintable(partner->Text()));
        rc = ok ? 0 : 1;
        if (args.isSet("screenshot") && !form.grab().save(args.value("screenshot")))
            rc = 1;
        app.quit();
    });
    app.exec();
    return rc;
}
