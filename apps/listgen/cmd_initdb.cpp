// listgen init-db --db FILE: installs the definition store into a database.

#include "command.h"

#include "platform/dao/dao.h"
#include "store/schema.h"

namespace lg::cli {

static int runInitDb(const Args& args)
{
    const QString path = args.required(QStringLiteral("db"));
    if (!args.positional().isEmpty())
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(args.positional().first())};
    auto db = dao::Database::open(path);
    store::installSchema(*db, [](const store::SchemaObject& object, store::InstallState state) {
        printOut(object.describe() + (state == store::InstallState::Created ? QStringLiteral(": created\n")
                                                                            : QStringLiteral(": present\n")));
    });
    return 0;
}

static RegisterCommand reg{{"init-db",
                            "--db FILE",
                            "installs the definition-store tables, indexes and queries that are missing",
                            false,
                            &runInitDb,
                            {},
                            nullptr,
                            {QStringLiteral("db")}}};

}  // namespace lg::cli
