// Pictures of the quick pick for the README, on a small partner table:
// <folder>/quickpick-typing.png (typed "Kov", the rest of the found name
// selected, the code in the result box), quickpick-landscape.png (caption,
// text and result side by side) and quickpick-message.png (the message of
// Shift+F5 over the control).

#include "filters/widgets/vquickpick.h"
#include "platform/dao/dao.h"
#include "store/context.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtGui/QFontDatabase>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

#include <cstdio>

using namespace lg::filters;

namespace {

std::shared_ptr<lg::dao::Database> partners(const QString& path)
{
    auto db = lg::dao::Database::open(path);
    for (const char* ddl : {
             "CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(100), table_name TEXT(64), browse_id LONG, "
             "browse_where_clause MEMO, use_where_in_browse YESNO, primarykey_indexname TEXT(64), "
             "primarykey_filedname TEXT(64), search_start_length LONG, browse_row_count LONG, "
             "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE TABLE vlq_quickpick_field (id LONG NOT NULL, quickpick_id LONG, sort_order LONG, "
             "search_field TEXT(64), search_field_name TEXT(100), visible_field TEXT(64), index_name TEXT(64), "
             "index_stucture TEXT(255), CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE INDEX Quickpick_sort ON vlq_quickpick_field (quickpick_id, sort_order)",
             "CREATE TABLE partner (id LONG NOT NULL, kod TEXT(10), nev TEXT(120), "
             "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE INDEX nev ON partner (nev)",
             "CREATE INDEX kod ON partner (kod)",
             "INSERT INTO vlq_quickpick VALUES (1, 'Partnerek', 'partner', 1, NULL, 0, NULL, NULL, 3, 20)",
             "INSERT INTO vlq_quickpick_field VALUES (1, 1, 1, 'nev', 'Név', 'kod', 'nev', '%SEARCH%')",
             "INSERT INTO vlq_quickpick_field VALUES (2, 1, 2, 'kod', 'Kód', 'nev', 'kod', '%SEARCH%')",
             "INSERT INTO partner VALUES (1, 'P00157', 'Kovács és Társa Bt.')",
             "INSERT INTO partner VALUES (2, 'P00212', 'Kiss Anna e.v.')",
             "INSERT INTO partner VALUES (3, 'P00318', 'Zala Agrár Zrt.')",
         })
        db->Execute(QString::fromUtf8(ddl));
    return db;
}

void typeInto(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

bool save(QWidget* w, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "screenshot_quickpick: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool shoot(const QString& folder, const QString& name, int mode, bool message)
{
    QWidget form;
    form.setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(&form);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* qp = new vQuickPick(&form);
    qp->initDesignProperties();
    qp->setCaption(QStringLiteral("Partner:"));
    qp->setUIMode(mode);
    qp->InitializeQuickPick(1);
    layout->addWidget(qp);
    form.show();
    form.activateWindow();
    qp->txtInput()->setFocus();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    typeInto(qp->txtInput(), QStringLiteral("Kov"));
    if (message) {
        QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::ShiftModifier);
        QApplication::sendEvent(qp->txtInput(), &f5);
    }
    form.resize(form.sizeHint());
    return save(&form, folder, name);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_quickpick FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")))
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QTemporaryDir dir;
    lg::ctx().database = partners(dir.filePath(QStringLiteral("partners.db")));

    bool ok = shoot(folder, QStringLiteral("quickpick-typing"), vQuickPick::eUIPortrait_Caption_and_Result, false);
    ok &= shoot(folder, QStringLiteral("quickpick-landscape"), vQuickPick::eUILandscape_Caption_and_Result, false);
    ok &= shoot(folder, QStringLiteral("quickpick-message"), vQuickPick::eUIPortrait_Caption_and_Result, true);
    lg::ctx().database.reset();
    return ok ? 0 : 1;
}
