// listgen translate "STATEMENT": prints the SQLite text of a Jet statement.

#include "command.h"

#include "platform/jetsql/translate.h"
#include "platform/runtimeerror.h"

namespace lg::cli {

static int runTranslate(const Args& args)
{
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("a Jet SQL statement is required")};
    int failures = 0;
    for (const QString& statement : args.positional()) {
        try {
            printOut(jetsql::translate(statement)->sql + u'\n');
        } catch (const RuntimeError& e) {
            printErr(QStringLiteral("error %1: %2\n").arg(e.number()).arg(e.description()));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

static RegisterCommand reg{{"translate",
                            "STATEMENT...",
                            "prints the SQLite text of Jet SQL statements",
                            false,
                            &runTranslate,
                            {},
                            nullptr,
                            {},
                            true}};

}  // namespace lg::cli
