#pragma once

#include "ast.h"

#include <QtCore/QString>

namespace lg::jetsql {

// Parses one Jet statement (an optional trailing ';' is allowed). Throws
// lg::RuntimeError with errnum::SyntaxError naming the position and the
// token where the text stops making sense.
ast::Statement parseStatement(const QString& text);

// Parses exactly one complete expression (a condition or a value), as it may
// be put into a statement's WHERE clause. Throws lg::RuntimeError with
// errnum::SyntaxError naming the position on anything else: an empty text, an
// unmatched ')', a ';', or anything after the expression such as ORDER BY or
// UNION SELECT.
ast::Condition parseCondition(const QString& text);

}  // namespace lg::jetsql
