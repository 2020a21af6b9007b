// listgen filter: the results of one query filter, as its control builds them.

#include "command.h"

#include "filters/textfiltermodel.h"

namespace lg::cli {
namespace {

int runFilter(const Args&)
{
    throw UsageError{QStringLiteral("filter: not ready")};
}

}  // namespace

static RegisterCommand reg{{"filter", "--kind text|number|date|date5|check|list|textlist [options]",
                            "prints the condition one query filter builds", false, &runFilter}};

}  // namespace lg::cli
