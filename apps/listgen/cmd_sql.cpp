// listgen sql --db FILE STATEMENT...: runs Jet SQL statements in order; a
// SELECT prints its rows as tab-separated text.

#include <cstdio>

#include "command.h"
#include "platform/dao/dao.h"
#include "platform/dao/tsv.h"
#include "platform/jetsql/translate.h"
#include "platform/runtimeerror.h"

namespace lg::cli {

namespace {

bool returnsRows(const QString& statement)
{
    return jetsql::translate(statement)->kind == jetsql::StatementKind::Select;
}

int runSql(const Args& args)
{
    const QString target = args.required(QStringLiteral("db"));
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("no statement given")};
    auto db = dao::Database::open(target);
    dao::TsvWriter out(stdout);
    for (const QString& statement : args.positional()) {
        if (returnsRows(statement)) {
            auto rs = db->OpenRecordset(statement, dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
            out.writeHeader(*rs);
            out.writeAll(*rs);
            rs->Close();
        } else {
            db->Execute(statement);
        }
    }
    out.flush();
    return 0;
}

RegisterCommand reg{{"sql",
                     "--db FILE STATEMENT...",
                     "runs Jet SQL statements against a database file (created when missing); "
                     "a SELECT prints its rows as tab-separated text",
                     false,
                     &runSql,
                     {},
                     nullptr,
                     {QStringLiteral("db")},
                     true}};

}  // namespace

}  // namespace lg::cli
