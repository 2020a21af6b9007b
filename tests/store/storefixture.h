#pragma once

#include <gtest/gtest.h>

#include <QtCore/QString>

#include <memory>

#include "platform/dao/dao.h"
#include "platform/message.h"
#include "store/context.h"
#include "store/listreport.h"
#include "store/schema.h"
#include "store/tables.h"
#include "support/pgstore.h"
#include "support/testsupport.h"

namespace lg::test {

// A fresh database with the definition store installed, made the library's
// database, with user 7 and a scripted message service: a file, or on the
// PostgreSQL run a copy of a database that holds the store.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        modTables::Reset();
        Context::reset();
        PG_RUN_OR_SKIP();
        db = openFreshStore(QStringLiteral("store.db"), &path);
        ctx().database = db;
        ctx().userId = 7;
        presenter = std::make_shared<ScriptedMessagePresenter>();
        ctx().messages = std::make_shared<cMessage2>(presenter);
        modTables::Initialize();
    }
    void TearDown() override
    {
        modTables::Reset();
        Context::reset();
    }

    // First column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql) const
    {
        auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
        return rs->Eof() ? QVariant() : rs->Fields(0);
    }
    long count(const QString& sql) const { return long(scalar(sql).toLongLong()); }
    // Makes the database refuse `operation` ("INSERT", "UPDATE" or "DELETE")
    // on `table` with the message "refused by test", for rows that meet
    // `condition` (a condition on NEW or OLD, the same on both backends;
    // empty: every row), until allow() is called. Past the layer, on a
    // connection of its own: triggers are SQL the layer does not speak.
    void refuse(const QString& table, const QString& operation, const QString& condition = {});
    void allow();

    // A final list with `groups`, `fields` and `wheres` live children whose
    // table_field_id are 100+i, 200+i, 300+i and sort orders 1..n.
    std::shared_ptr<ListReport> makeList(const QString& name, int groups, int fields, int wheres);

    QString path;
    QString refusedTable;
    std::shared_ptr<dao::Database> db;
    std::shared_ptr<ScriptedMessagePresenter> presenter;
};

}  // namespace lg::test
