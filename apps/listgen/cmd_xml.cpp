// listgen xml: writes the report-source file of a saved list into a folder.

#include <QtCore/QFileInfo>

#include "command.h"
#include "platform/dao/dao.h"
#include "report/xmlsourcegenerator.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"

namespace lg::cli {

namespace {

int runXml(const Args& args)
{
    const QString path = args.required(QStringLiteral("db"));
    const QString folder = args.required(QStringLiteral("folder"));
    const auto listId = args.number(QStringLiteral("list"));
    if (!listId)
        throw UsageError{QStringLiteral("missing --list")};
    if (!dao::Database::exists(path))
        throw UsageError{QStringLiteral("no database file \"%1\"").arg(path)};
    ctx().database = dao::Database::open(path);

    ListReport list;
    if (!list.CoreLoad(*listId)) {
        printErr(QStringLiteral("listgen xml: there is no list %1\n").arg(*listId));
        return 1;
    }
    XMLSourceGenerator generator;
    generator.setListReportID(list.ID());
    generator.setDetailInvisible(list.detail_invisible() != 0);
    generator.setReportFields(list.ReportFields());
    generator.setReportGroups(list.ReportGroups());
    generator.setTableFieldNameCompletteOnReport(!args.has(QStringLiteral("short-names")));
    generator.setSQLDescription(list.sql_description());
    generator.setReportFolder(folder);
    if (!generator.GenerateXMLSource()) {
        QString text;
        for (const auto& e : ctx().currentErrors())
            text += QStringLiteral("listgen xml: ") + e->description() + QLatin1Char('\n');
        ctx().currentErrors().Clear();
        printErr(text);
        return 1;
    }
    printOut(generator.ReportPath() + QLatin1Char('\n'));
    return 0;
}

RegisterCommand reg{{"xml",
                     "--db FILE --list ID --folder DIR [--short-names]",
                     "writes the report-source file REPORT<id>.XML of a saved list into DIR and prints its path",
                     false,
                     &runXml,
                     {QStringLiteral("short-names")},
                     nullptr,
                     {QStringLiteral("db"), QStringLiteral("list"), QStringLiteral("folder")}}};

}  // namespace

}  // namespace lg::cli
