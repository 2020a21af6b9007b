// The quick pick's browse window for the README: the demo's partners (browse
// definition 1, active partners only), positioned on the current partner, as
// <folder>/quickpick-browse.png. The demo database is built by the
// command-line tool next to this program.

#include "filters/widgets/frmquickpickbrowse.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_browse FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work;
    const QString dbPath = work.filePath(u"nagyker.db"_s);
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin/listgen"_s);
    if (QProcess::execute(cli, {u"demo-db"_s, u"--out"_s, dbPath}) != 0) {
        std::fprintf(stderr, "screenshot_browse: cannot build the demo database with %s\n", qPrintable(cli));
        return 1;
    }
    auto db = lg::dao::Database::open(dbPath);

    lg::filters::frmQuickPickBrowse form;
    form.setVisibleRowCount(14);
    if (!form.LoadBrowse(1, lg::filters::quickPickBrowseFilter(true, u"aktiv=-1"_s, {}), u"Partner"_s, db)) {
        for (const auto& e : lg::ctx().currentErrors())
            std::fprintf(stderr, "screenshot_browse: %s\n", qPrintable(e->description()));
        return 1;
    }
    // The current partner: the 40th active one by name, so the window opens scrolled.
    int current = -1;
    {
        auto rs = db->OpenRecordset(u"SELECT id FROM partner WHERE aktiv=-1 ORDER BY nev"_s,
                                    lg::dao::RecordsetType::ForwardOnly);
        for (int i = 0; i < 40 && !rs->Eof(); ++i, rs->MoveNext())
            current = rs->Fields(0).toInt();
    }
    form.RefreshBrowse(current);
    form.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(u"quickpick-browse.png"_s);
    if (!form.grab().save(path)) {
        std::fprintf(stderr, "screenshot_browse: cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
