// listgen lists / listgen types: the lists and list types a user may reach,
// as the list controls see them, printed as tab-separated "id name" rows.

#include <QtCore/QFileInfo>

#include <cstdio>

#include "catalogue/permissions.h"
#include "command.h"
#include "platform/dao/dao.h"
#include "platform/dao/tsv.h"
#include "store/context.h"

namespace lg::cli {

namespace {

// Opens an existing database file as the library-wide database. False, with
// the reason printed, for a user the host does not know: an unknown id would
// be treated as a user in no group and see every public list.
bool useDatabase(const Args& args, const char* command, long userId)
{
    const QString path = args.required(QStringLiteral("db"));
    if (!dao::Database::exists(path))
        throw UsageError{QStringLiteral("no database file \"%1\"").arg(path)};
    ctx().database = dao::Database::open(path);
    ctx().userId = userId;
    if (catalogue::UserExists(userId))
        return true;
    printErr(QStringLiteral("listgen %1: there is no user %2\n").arg(QLatin1String(command)).arg(userId));
    return false;
}

long requiredNumber(const Args& args, const QString& name)
{
    const auto value = args.number(name);
    if (!value)
        throw UsageError{QStringLiteral("missing --") + name};
    return *value;
}

int print(const std::shared_ptr<dao::Recordset>& rs)
{
    dao::TsvWriter out(stdout);
    out.writeHeader(*rs);
    out.writeAll(*rs);
    out.flush();
    return 0;
}

int runLists(const Args& args)
{
    const long user = requiredNumber(args, QStringLiteral("user"));
    const long modul = args.number(QStringLiteral("module")).value_or(-1);
    const long type = args.number(QStringLiteral("type")).value_or(-1);
    const long all = args.has(QStringLiteral("all")) ? 1 : 0;
    if (!useDatabase(args, "lists", user))
        return 1;
    std::shared_ptr<dao::Recordset> rs;
    catalogue::GetListReportEnableShow(user, modul, type, all, rs);
    return print(rs);
}

int runTypes(const Args& args)
{
    const long user = requiredNumber(args, QStringLiteral("user"));
    const long modul = args.number(QStringLiteral("module")).value_or(-1);
    if (!useDatabase(args, "types", user))
        return 1;
    std::shared_ptr<dao::Recordset> rs;
    if (args.has(QStringLiteral("edit")))
        catalogue::GetListWizardTypeEnableEdit(user, modul, rs);
    else
        catalogue::GetListWizardTypeEnableShow(user, modul, rs);
    return print(rs);
}

RegisterCommand regLists{
    {"lists",
     "--db FILE --user ID [--module ID] [--type ID] [--all]",
     "prints the lists the user may see and run (id, name); --all: every user's lists, not "
     "only the user's own",
     false,
     &runLists,
     {QStringLiteral("all")},
     nullptr,
     {QStringLiteral("db"), QStringLiteral("user"), QStringLiteral("module"), QStringLiteral("type")}}};

RegisterCommand regTypes{{"types",
                          "--db FILE --user ID [--module ID] [--edit]",
                          "prints the list types the user may see (or, with --edit, create and edit lists in)",
                          false,
                          &runTypes,
                          {QStringLiteral("edit")},
                          nullptr,
                          {QStringLiteral("db"), QStringLiteral("user"), QStringLiteral("module")}}};

}  // namespace

}  // namespace lg::cli
