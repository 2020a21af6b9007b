// Pictures of the query container for the README: three partners picked
// through the embedded quick pick, active and inactive, as
// <folder>/container-active.png and container-inactive.png.

#include "filters/widgets/vquickpick.h"
#include "filters/widgets/vw_querycontainer.h"
#include "platform/dao/dao.h"
#include "store/context.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtGui/QFontDatabase>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

#include <cstdio>

using namespace lg;
using namespace lg::filters;

namespace {

std::shared_ptr<dao::Database> hostDatabase(const QString& path)
{
    auto db = dao::Database::open(path);
    for (const char* sql : {
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
             "INSERT INTO vlq_quickpick VALUES (1, 'Partnerek', 'partner', 1, NULL, 0, 'PrimaryKey', 'id', 3, 20)",
             "INSERT INTO vlq_quickpick_field VALUES (1, 1, 1, 'nev', 'Név', 'kod', 'nev', '%SEARCH%')",
             "INSERT INTO partner VALUES (3, 'P003', 'Dunai Fűszer Kft.')",
             "INSERT INTO partner VALUES (5, 'P005', 'Kis Anna')",
             "INSERT INTO partner VALUES (8, 'P008', 'Kovács és Társa Bt.')",
             "INSERT INTO partner VALUES (13, 'P013', 'Tiszai Malom Zrt.')",
         })
        db->Execute(QString::fromUtf8(sql));
    return db;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_container FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")))
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QTemporaryDir work;
    ctx().database = hostDatabase(work.filePath(QStringLiteral("host.db")));

    bool ok = true;
    for (bool active : {true, false}) {
        QWidget form;
        form.setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(&form);
        layout->setContentsMargins(6, 6, 6, 6);
        auto* c = new vW_QueryContainer(&form);
        layout->addWidget(c);
        c->initDesignProperties();
        c->setCaption(QStringLiteral("Partner"));
        c->setQueryField(QStringLiteral("[P].[id]"));
        c->setQueryFieldDescription(QStringLiteral("Partner név"));
        c->setQueryFieldVisible1(QStringLiteral("nev"));
        c->setPrimaryKeyFiled(QStringLiteral("id"));
        c->InitializeQuickPick(1);
        c->setQueryCheckValue(1);
        c->setQueryResultIDs(QStringLiteral("3,8,13"));
        c->SelectFirstFilterItem();
        c->qpiFilter()->setID(5);
        c->setQueryCheckValue(active ? 1 : 0);
        form.resize(480, 170);
        form.show();
        QApplication::processEvents();
        const QString path =
            QDir(folder).filePath(QStringLiteral("container-%1.png").arg(active ? u"active" : u"inactive"));
        if (!form.grab().save(path)) {
            std::fprintf(stderr, "screenshot_container: cannot write %s\n", qPrintable(path));
            ok = false;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    }
    ctx().database.reset();
    return ok ? 0 : 1;
}
