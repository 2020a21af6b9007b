// listgen translate [--dialect sqlite|postgresql] "STATEMENT": prints the
// SQL that a Jet statement becomes in the chosen dialect (SQLite by default).

#include "command.h"

#include "platform/jetsql/translate.h"
#include "platform/runtimeerror.h"

namespace lg::cli {

static int runTranslate(const Args& args)
{
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("a Jet SQL statement is required")};
    const QString name = args.value(QStringLiteral("dialect"), QStringLiteral("sqlite")).toLower();
    jetsql::Dialect dialect = jetsql::Dialect::SQLite;
    if (name == u"postgresql")
        dialect = jetsql::Dialect::PostgreSQL;
    else if (name != u"sqlite")
        throw UsageError{QStringLiteral("unknown dialect '%1' (sqlite or postgresql)").arg(name)};
    int failures = 0;
    for (const QString& statement : args.positional()) {
        try {
            printOut(jetsql::translate(statement, dialect)->sql + u'\n');
        } catch (const RuntimeError& e) {
            printErr(QStringLiteral("error %1: %2\n").arg(e.number()).arg(e.description()));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

static RegisterCommand reg{{"translate",
                            "[--dialect sqlite|postgresql] STATEMENT...",
                            "prints the SQLite or PostgreSQL text of Jet SQL statements",
                            false,
                            &runTranslate,
                            {},
                            nullptr,
                            {QStringLiteral("dialect")},
                            true}};

}  // namespace lg::cli
