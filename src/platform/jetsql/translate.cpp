#include "translate.h"

#include "generator.h"
#include "parser.h"

#include "platform/runtimeerror.h"

#include <QtCore/QHash>
#include <QtCore/QMutex>

namespace lg::jetsql {

namespace {

struct Cache {
    QMutex mutex;
    QHash<QString, std::shared_ptr<const Translation>> entries[2];
};

Cache& cache()
{
    static Cache c;
    return c;
}

// Enough for every statement an application builds; past it the cache starts
// over rather than grow without bound.
constexpr qsizetype kCacheLimit = 20000;

std::shared_ptr<const Translation> translateUncached(const QString& jet, Dialect dialect)
{
    const ast::Statement statement = parseStatement(jet);
    std::unique_ptr<Generator> generator;
    switch (dialect) {
    case Dialect::SQLite:
        generator = makeSqliteGenerator();
        break;
    case Dialect::PostgreSQL:
        generator = makePostgresGenerator();
        break;
    }
    return std::make_shared<const Translation>(generator->generate(statement));
}

}  // namespace

std::shared_ptr<const Translation> translate(const QString& jet, Dialect dialect)
{
    Cache& c = cache();
    auto& entries = c.entries[dialect == Dialect::SQLite ? 0 : 1];
    {
        QMutexLocker lock(&c.mutex);
        const auto it = entries.constFind(jet);
        if (it != entries.constEnd())
            return *it;
    }
    auto result = translateUncached(jet, dialect);
    QMutexLocker lock(&c.mutex);
    if (entries.size() >= kCacheLimit)
        entries.clear();
    entries.insert(jet, result);
    return result;
}

void clearTranslationCache()
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    for (auto& e : c.entries)
        e.clear();
}

}  // namespace lg::jetsql
