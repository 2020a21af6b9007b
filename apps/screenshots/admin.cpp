// The administration for the README, on the demo database: the catalogue
// editor on the invoices' list type, the table and field edit forms (the
// field form unlocked, so that every control is live) and the permission
// administration control in run mode, into <folder>/admin-*.png.

#include "admin/frmeditor.h"
#include "admin/frmlistwizardtable.h"
#include "admin/frmlistwizardtablefield.h"
#include "admin/listwizardauthunit.h"
#include "admin/unlockgate.h"
#include "platform/dao/dao.h"
#include "platform/message.h"
#include "store/context.h"
#include "store/records.h"
#include "ui/listutils.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool save(QWidget& w, const QString& folder, const QString& name)
{
    w.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    if (!w.grab().save(path)) {
        std::fprintf(stderr, "screenshot_admin: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    w.hide();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_admin FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work;
    const QString dbPath = work.filePath(u"nagyker.db"_s);
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin/listgen"_s);
    if (QProcess::execute(cli, {u"demo-db"_s, u"--out"_s, dbPath}) != 0) {
        std::fprintf(stderr, "screenshot_admin: cannot build the demo database with %s\n", qPrintable(cli));
        return 1;
    }
    auto db = lg::dao::Database::open(dbPath);
    lg::ctx().database = db;
    lg::ctx().userId = 1;

    // The editor on "Számlák", the partner table, the partner's name field.
    lg::admin::frmEditor editor;
    editor.setModulID(0);
    if (!editor.Initialize())
        return 1;
    lg::SelectListItemByData(editor.cbo_list_type(), 2);
    editor.lst_fields()->setCurrentRow(editor.lst_fields()->row(
        editor.lst_fields()->findItems(u"név"_s, Qt::MatchExactly).value(0)));
    bool ok = save(editor, folder, u"admin-editor.png"_s);

    // The table form as an administrator who has not unlocked sees it.
    lg::ListWizardTable table;
    table.CoreLoad(1);
    lg::admin::frmListWizardTable tableForm;
    tableForm.setOData(&table);
    tableForm.Initialize();
    ok = save(tableForm, folder, u"admin-table-form.png"_s) && ok;

    // Unlocked with a password of this program's own, for the field form.
    const QByteArray salt = "screenshot";
    lg::admin::setPasswordDigest(salt, lg::admin::passwordDigest(salt, u"kép"_s));
    auto& boxes = dynamic_cast<lg::ScriptedMessagePresenter&>(lg::ctx().messageService().presenter());
    boxes.clickButton(0, u"kép"_s);
    boxes.clickButton(0);
    lg::admin::UnlockGate().gesture(lg::ctx().messageService());
    lg::ListWizardTableField field;
    field.CoreLoad(2);
    lg::admin::frmListWizardTableField fieldForm;
    fieldForm.setOData(&field);
    fieldForm.Initialize();
    ok = save(fieldForm, folder, u"admin-field-form.png"_s) && ok;

    // Run denials; Könyvelők and Számlák chosen.
    lg::admin::ListWizardAuthUnit auth;
    auth.setDatabase(db);
    auth.setUserID(1);
    auth.resize(760, 520);
    if (!auth.ControlInitialize())
        return 1;
    lg::SelectListItemByData(auth.cbo_auth_type(), 1);
    lg::SelectListItemByData(auth.cbo_user_group(), 3);
    lg::SelectListItemByData(auth.cbo_type(), 2);
    ok = save(auth, folder, u"admin-permissions.png"_s) && ok;
    return ok ? 0 : 1;
}
