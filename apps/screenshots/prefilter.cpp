// The pre-filter dialog for the README: the demo's overdue-invoice list
// (invoices, their partners and regions), one extra condition stored on the
// invoice number and a date condition being entered, as
// <folder>/prefilter-dialog.png. The demo database is built by the
// command-line tool next to this program.

#include "controls/frmprefilter.h"
#include "controls/prefiltermodel.h"
#include "filters/textfiltermodel.h"
#include "filters/widgets/conditionpanel.h"
#include "filters/widgets/queryfiltercontrol.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"
#include "ui/fieldtree.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

long fieldId(lg::dao::Database& db, const QString& table, const QString& field)
{
    auto rs = db.OpenRecordset(u"SELECT TF.id FROM vlq_list_wizard_table_field AS TF INNER JOIN "
                               "vlq_list_wizard_table AS T ON T.id = TF.table_id "
                               "WHERE T.table_name = '%1' AND TF.field_name = '%2'"_s.arg(table, field));
    return rs->Eof() ? -1 : long(rs->Fields(0).toLongLong());
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_prefilter FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work;
    const QString dbPath = work.filePath(u"nagyker.db"_s);
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin/listgen"_s);
    if (QProcess::execute(cli, {u"demo-db"_s, u"--out"_s, dbPath}) != 0) {
        std::fprintf(stderr, "screenshot_prefilter: cannot build the demo database with %s\n", qPrintable(cli));
        return 1;
    }
    auto db = lg::dao::Database::open(dbPath);
    lg::ctx().database = db;
    lg::modTables::Reset();

    lg::controls::frmPreFilter form;
    form.setListWizardType(2);
    form.setTablePriority(2);
    form.setUserID(1);
    form.setReportName(u"Lejárt, kifizetetlen számlák"_s);
    {
        auto rs = db->OpenRecordset(u"SELECT sql_description FROM vlq_list_report WHERE id = 4"_s);
        if (!rs->Eof())
            form.set_original_sql_description(rs->Fields(0).toString());
    }
    if (!form.Initialize()) {
        for (const auto& e : lg::ctx().currentErrors())
            std::fprintf(stderr, "screenshot_prefilter: %s\n", qPrintable(e->description()));
        return 1;
    }
    form.show();
    QApplication::processEvents();

    auto enter = [&](long field, const QString& text) {
        form.tree_where_fields()->setCurrentFieldId(int(field));
        auto* f = qobject_cast<lg::filters::TextFilterModel*>(form.conditions()->currentControl()->filter());
        if (!f)
            return false;
        f->setQueryCheckValue(1);
        f->setInput1Text(text);
        return true;
    };
    if (!enter(fieldId(*db, u"partner"_s, u"varos"_s), u"Budapest"_s)
        || !enter(fieldId(*db, u"szamla"_s, u"szamlaszam"_s), u"SZ-2024"_s)) {
        std::fprintf(stderr, "screenshot_prefilter: the demo's fields are not where they were\n");
        return 1;
    }
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(u"prefilter-dialog.png"_s);
    if (!form.grab().save(path)) {
        std::fprintf(stderr, "screenshot_prefilter: cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    lg::modTables::Reset();
    lg::ctx().database.reset();
    return 0;
}
