// The five steps of the list wizard for the README, as
// <folder>/wizard-step1.png … wizard-step5.png: the administrator editing
// the demo's turnover list (region, payment method and partner; three
// amounts with their totals; a stored condition on the region). The demo
// database is built by the command-line tool next to this program; the
// work copy the wizard makes is discarded when it closes.

#include "controls/aggregategridview.h"
#include "controls/frmwizard.h"
#include "controls/listdesignmodel.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"
#include "ui/fieldtree.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTableWidget>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void printErrors()
{
    for (const auto& e : lg::ctx().currentErrors())
        std::fprintf(stderr, "screenshot_wizard: %s\n", qPrintable(e->description()));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_wizard FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work;
    const QString dbPath = work.filePath(u"nagyker.db"_s);
    const QString reports = work.filePath(u"reports"_s);
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin/listgen"_s);
    if (QProcess::execute(cli, {u"demo-db"_s, u"--out"_s, dbPath, u"--reports"_s, reports}) != 0) {
        std::fprintf(stderr, "screenshot_wizard: cannot build the demo database with %s\n", qPrintable(cli));
        return 1;
    }
    int rc = 0;
    {
        auto db = lg::dao::Database::open(dbPath);
        lg::ctx().database = db;
        lg::modTables::Reset();

        lg::controls::frmWizard wizard;
        wizard.setUserID(1);
        wizard.setReportFolderPath(reports);
        wizard.setAuthenticAllReport(true);
        wizard.setCurrentItemID(5);
        if (!wizard.Initialize()) {
            printErrors();
            return 1;
        }
        wizard.opt_process_type(1)->click();
        wizard.resize(940, 620);
        wizard.show();
        for (int step = 1; step <= 5; ++step) {
            if (step == 5) {
                // The stored condition of the region, being looked at.
                lg::ui::FieldTree* tree = wizard.tree_where_fields();
                tree->setCurrentFieldId(12);
                wizard.model()->InitCurrentFilterControl(12);
            }
            if (step == 4)
                wizard.grd_aggregate()->setCurrentCell(0, 1);
            QApplication::processEvents();
            const QString path = QDir(folder).filePath(u"wizard-step%1.png"_s.arg(step));
            if (!wizard.grab().save(path)) {
                std::fprintf(stderr, "screenshot_wizard: cannot write %s\n", qPrintable(path));
                rc = 1;
                break;
            }
            std::printf("%s\n", qPrintable(path));
            if (step < 5 && !wizard.Move(1)) {
                printErrors();
                rc = 1;
                break;
            }
        }
        wizard.Exit();
    }
    lg::Context::reset();
    return rc;
}
