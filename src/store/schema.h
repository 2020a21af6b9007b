#pragma once

// Installation of the definition store into a host database. The statements
// (Jet DDL) live in the resource ":/listgen/schema.sql". Installing creates
// what is missing and never alters or drops what exists, so it can run any
// number of times. The library itself never installs anything at run time
// (table access creates only its lock table).

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

namespace lg::dao {
class Database;
}

namespace lg::store {

enum class SchemaObjectKind { Table, Index, View };
enum class InstallState { Created, Present };

struct SchemaObject {
    SchemaObjectKind kind;
    QString name;   // table or view name; for an index its own name
    QString table;  // for an index: its table
    // "table vlq_list_report", "index real_sort_order on vlq_list_report_group_field", "view ..."
    QString describe() const;
};

using InstallCallback = std::function<void(const SchemaObject& object, InstallState state)>;

// Creates every missing object of the definition store (tables, indexes, the
// lock table, the host's user and group queries with their default tables when
// the host has none). Throws lg::RuntimeError when a statement fails.
void installSchema(dao::Database& db, const InstallCallback& callback = {});

// The schema's statements, in order, without comments.
QStringList schemaStatements();

}  // namespace lg::store
