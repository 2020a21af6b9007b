#pragma once

// Turns a parsed Jet statement into the SQL of one database dialect. Each
// dialect has its own generator over the same syntax tree.

#include "ast.h"
#include "translate.h"

#include <memory>

namespace lg::jetsql {

class Generator {
public:
    virtual ~Generator() = default;
    // Throws lg::RuntimeError (e.g. errnum::UndefinedFunction).
    virtual Translation generate(const ast::Statement& statement) = 0;
};

std::unique_ptr<Generator> makeSqliteGenerator();
std::unique_ptr<Generator> makePostgresGenerator();

}  // namespace lg::jetsql
