#pragma once

// A fresh database with the definition store installed, on the backend of
// this run: a file in a new temporary folder, or a new database of the test
// cluster copied from one that holds the store (installed once per program,
// since installing it on a server costs far more than copying it).

#include <QtCore/QString>

#include <memory>

#include "platform/dao/dao.h"
#include "store/schema.h"
#include "support/pgbackend.h"

namespace lg::test {

// Opens it and sets `name` to the path or URI to open it again by.
inline std::shared_ptr<dao::Database> openFreshStore(const QString& fileName, QString* name = nullptr)
{
    QString templateName;
    if (onPostgres()) {
        static const QString storeTemplate = [] {
            const QString t = QStringLiteral("store_template");
            if (PgCluster::instance().createNamedDatabase(t)) {
                auto db = dao::Database::open(PgCluster::instance().uri(t));
                store::installSchema(*db);
            }
            return t;
        }();
        templateName = storeTemplate;
    }
    const QString opened = testDatabaseName(fileName, templateName);
    auto db = dao::Database::open(opened);
    if (!onPostgres())
        store::installSchema(*db);
    if (name)
        *name = opened;
    return db;
}

}  // namespace lg::test
