#pragma once

namespace lg::jetsql {

// What a Jet statement does: the parser's syntax tree and the translation
// both carry it.
enum class StatementKind {
    Select,
    Insert,
    Update,
    Delete,
    CreateTable,
    CreateIndex,
    CreateView,
    DropTable,
    DropIndex,
    DropView,
    AlterTable,
    Other  // no statement: a default-constructed Translation
};

}  // namespace lg::jetsql
