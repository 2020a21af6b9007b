#pragma once

// The demo database for the administration tests, and small readers of the
// denial table.

#include <QtCore/QFile>
#include <gtest/gtest.h>

#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/message.h"
#include "store/context.h"
#include "store/tables.h"
#include "support/testsupport.h"

namespace lg::test {

using namespace Qt::StringLiterals;

// The demo wholesaler's database, built once per test program by the
// command-line tool; every test gets a fresh copy.
class AdminDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!s_dir.isEmpty())
            return;
        s_dir = tempDir();
        const auto r = runProgram(QStringLiteral(LISTGEN_CLI), {u"demo-db"_s, u"--out"_s, s_dir + u"/demo.db"_s});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }

    void SetUp() override
    {
        Context::reset();
        modTables::Reset();
        m_dbPath = tempDir() + u"/demo.db"_s;
        ASSERT_TRUE(QFile::copy(s_dir + u"/demo.db"_s, m_dbPath));
        QFile::setPermissions(m_dbPath, QFile::ReadOwner | QFile::WriteOwner);
        db = dao::Database::open(m_dbPath);
        ctx().database = db;
        modTables::Initialize();
    }

    void TearDown() override
    {
        modTables::Reset();
        Context::reset();
        db.reset();
    }

    ScriptedMessagePresenter& boxes()
    {
        return dynamic_cast<ScriptedMessagePresenter&>(ctx().messageService().presenter());
    }
    QStringList shownMessages()
    {
        QStringList out;
        for (const MessageRequest& r : boxes().requests())
            out << r.message;
        return out;
    }

    static inline QString s_dir;
    QString m_dbPath;
    std::shared_ptr<dao::Database> db;

    // (auth_type, group, type, list, del_status) of one denial.
    QList<long> denialRow(long id)
    {
        auto rs = db->OpenRecordset(
            u"SELECT auth_type, user_group_id, list_type_id, list_report_id, del_status FROM vlq_list_auth_unit "
            "WHERE id = %1"_s.arg(id),
            dao::RecordsetType::Snapshot, dao::dbReadOnly);
        if (rs->Eof())
            return {};
        QList<long> out;
        for (int i = 0; i < 5; ++i)
            out << long(rs->Fields(i).toLongLong());
        return out;
    }
    // Ids of the live denials, in id order.
    QList<long> liveIds(long kind = -1)
    {
        QString sql = u"SELECT id FROM vlq_list_auth_unit WHERE del_status = 0"_s;
        if (kind >= 0)
            sql += u" AND auth_type = %1"_s.arg(kind);
        auto rs = db->OpenRecordset(sql + u" ORDER BY id"_s, dao::RecordsetType::Snapshot, dao::dbReadOnly);
        QList<long> out;
        for (; !rs->Eof(); rs->MoveNext())
            out << long(rs->Fields(0).toLongLong());
        return out;
    }
};

}  // namespace lg::test
