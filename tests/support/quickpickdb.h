#pragma once

// The quick pick's edge-case host database: names where the Hungarian order
// and the upper-case test part ways (accented letters among plain ones,
// doubled letters such as ssz sorting as sz+sz, quotes), a number column and
// a constant key column, under one quick-pick definition (id 1) with three
// search fields: by name, by name within group "b" (a constant key), by
// number. Shared by the quick-pick tests and the quick-pick fuzz target.

#include <QtCore/QStringList>

namespace lg::dao {
class Database;
}

namespace lg::test {

// Creates the definition tables and the table `cikk` (azon, nev, csoport,
// szam) with its indexes in `db`, and fills them. `extraNames` follow the
// standard names, with the next ids.
void fillQuickPickEdgeDatabase(dao::Database& db, const QStringList& extraNames = {});

}  // namespace lg::test
