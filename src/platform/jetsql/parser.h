#pragma once

#include "ast.h"

#include <QtCore/QString>

namespace lg::jetsql {

// Parses one Jet statement (an optional trailing ';' is allowed). Throws
// lg::RuntimeError with errnum::SyntaxError naming the position and the
// token where the text stops making sense.
ast::Statement parseStatement(const QString& text);

}  // namespace lg::jetsql
