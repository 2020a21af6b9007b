#include "translate.h"

namespace lg::jetsql {

std::shared_ptr<const Translation> translate(const QString& jet, Dialect)
{
    auto t = std::make_shared<Translation>();
    t->sql = jet;
    t->kind = StatementKind::Other;
    return t;
}

void clearTranslationCache() {}

}  // namespace lg::jetsql
