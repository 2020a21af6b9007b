// listgen statement: generates the SELECT statement of a saved list as the
// wizard does when it saves the list, without saving anything.

#include <QtCore/QFileInfo>

#include "catalogue/permissions.h"
#include "command.h"
#include "platform/dao/dao.h"
#include "report/statementgenerator.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"

namespace lg::cli {

namespace {

QString collectedErrors()
{
    QString text;
    for (const auto& e : ctx().currentErrors())
        text += e->description() + QLatin1Char('\n');
    ctx().currentErrors().Clear();
    return text;
}

int runStatement(const Args& args)
{
    const QString path = args.required(QStringLiteral("db"));
    const auto listId = args.number(QStringLiteral("list"));
    const auto userId = args.number(QStringLiteral("user"));
    if (!listId)
        throw UsageError{QStringLiteral("missing --list")};
    if (!userId)
        throw UsageError{QStringLiteral("missing --user")};
    if (!dao::Database::exists(path))
        throw UsageError{QStringLiteral("no database file \"%1\"").arg(path)};
    ctx().database = dao::Database::open(path);
    ctx().userId = *userId;
    if (!catalogue::UserExists(*userId)) {
        printErr(QStringLiteral("listgen statement: there is no user %1\n").arg(*userId));
        return 1;
    }

    ListReport list;
    if (!list.CoreLoad(*listId)) {
        printErr(QStringLiteral("listgen statement: there is no list %1\n").arg(*listId));
        return 1;
    }
    // The list's own condition: its conditions' sql_where joined in order.
    QStringList conditions;
    for (const auto& where : list.ReportWheres())
        if (!where->sql_where().trimmed().isEmpty())
            conditions << where->sql_where();
    QString condition = conditions.join(QStringLiteral(" AND "));

    report::ListStatement statement;
    if (!report::GenerateListStatement(list.ID(), list.list_type_id(), condition, *userId, statement)) {
        printErr(QStringLiteral("listgen statement: ") + collectedErrors());
        return 1;
    }
    printOut(statement.stored + QLatin1Char('\n') + statement.test + QLatin1Char('\n')
             + QString::number(statement.joinDepth) + QLatin1Char('\n'));
    return 0;
}

RegisterCommand reg{{"statement",
                     "--db FILE --list ID --user ID",
                     "prints the generated statement of a saved list, its test statement and its join depth "
                     "(nothing is saved)",
                     false,
                     &runStatement,
                     {},
                     nullptr,
                     {QStringLiteral("db"), QStringLiteral("list"), QStringLiteral("user")}}};

}  // namespace

}  // namespace lg::cli
