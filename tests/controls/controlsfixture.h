#pragma once

// The demo wholesaler's database (built once per test program by the
// command-line tool), a fresh copy of it per test, and stand-ins for the
// report engine, the message boxes and the error dialog.

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QHash>
#include <QtCore/QObject>
#include <QtCore/QStringList>
#include <gtest/gtest.h>

#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/message.h"
#include "reportengine/objectfactory.h"
#include "reportengine/reportengine.h"
#include "store/context.h"
#include "store/tables.h"
#include "support/testsupport.h"

namespace lg::test {

using namespace Qt::StringLiterals;

// Records every member the control sets or calls, in order.
class RecordingEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ConnectionProvider READ zero WRITE setConnectionProvider)
    Q_PROPERTY(QString DataBasePath READ empty WRITE setDataBasePath)
    Q_PROPERTY(bool ExportButtonEnable READ no WRITE setExportButtonEnable)
    Q_PROPERTY(bool PrintButtonEnable READ no WRITE setPrintButtonEnable)
    Q_PROPERTY(QString ReportFilePath READ empty WRITE setReportFilePath)
    Q_PROPERTY(int PrintCopies READ zero WRITE setPrintCopies)
    Q_PROPERTY(QString LastError READ empty)

public:
    struct Log {
        QStringList calls;
        QHash<QString, QString> values;  // member -> last value
        QHash<QString, QString> params;  // AddStringParam
        QString statement;
        int created = 0;
        bool initResult = true;
    };
    static Log& log()
    {
        static Log l;
        return l;
    }

    RecordingEngine() { ++log().created; }

    int zero() const { return 0; }
    QString empty() const { return {}; }
    bool no() const { return false; }
    void setConnectionProvider(int v) { set(u"ConnectionProvider"_s, QString::number(v)); }
    void setDataBasePath(const QString& v) { set(u"DataBasePath"_s, v); }
    void setExportButtonEnable(bool v) { set(u"ExportButtonEnable"_s, v ? u"True"_s : u"False"_s); }
    void setPrintButtonEnable(bool v) { set(u"PrintButtonEnable"_s, v ? u"True"_s : u"False"_s); }
    void setReportFilePath(const QString& v) { set(u"ReportFilePath"_s, v); }
    void setPrintCopies(int v) { set(u"PrintCopies"_s, QString::number(v)); }

    Q_INVOKABLE void AddNewDataSource(const QString& name, const QString& source)
    {
        log().calls << u"AddNewDataSource("_s + name + u")"_s;
        log().statement = source;
    }
    Q_INVOKABLE void AddStringParam(const QString& name, const QString& value)
    {
        log().calls << u"AddStringParam("_s + name + u")"_s;
        log().params.insert(name, value);
    }
    Q_INVOKABLE bool InitReportEngine()
    {
        log().calls << u"InitReportEngine"_s;
        return log().initResult;
    }
    Q_INVOKABLE void ShowReport(bool modeless)
    {
        log().calls << (modeless ? u"ShowReport(True)"_s : u"ShowReport(False)"_s);
    }
    Q_INVOKABLE bool RiportRenderToFile()
    {
        log().calls << u"RiportRenderToFile"_s;
        return true;
    }

private:
    void set(const QString& member, const QString& value)
    {
        log().calls << member;
        log().values.insert(member, value);
    }
};

// The order in which the report run drives the engine.
inline QStringList engineCallOrder(const QString& last)
{
    return {u"ConnectionProvider"_s,
            u"DataBasePath"_s,
            u"ExportButtonEnable"_s,
            u"PrintButtonEnable"_s,
            u"ReportFilePath"_s,
            u"AddNewDataSource(BROWSE)"_s,
            u"AddStringParam(report_name)"_s,
            u"AddStringParam(sub_report_name)"_s,
            u"AddStringParam(filter_string)"_s,
            u"PrintCopies"_s,
            u"InitReportEngine"_s,
            last};
}

class DemoDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!s_dir.isEmpty())
            return;
        s_dir = tempDir();
        const auto r = runProgram(QStringLiteral(LISTGEN_CLI),
                                  {u"demo-db"_s, u"--out"_s, s_dir + u"/demo.db"_s, u"--reports"_s, s_dir + u"/rep"_s});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }

    void SetUp() override
    {
        Context::reset();
        modTables::Reset();
        m_dir = tempDir();
        m_dbPath = m_dir + u"/demo.db"_s;
        ASSERT_TRUE(QFile::copy(s_dir + u"/demo.db"_s, m_dbPath));
        QFile::setPermissions(m_dbPath, QFile::ReadOwner | QFile::WriteOwner);
        m_reports = s_dir + u"/rep"_s;
        db = dao::Database::open(m_dbPath);
        ctx().database = db;
        RecordingEngine::log() = {};
        ObjectFactory::registerClass(reportengine::ReportEngine::kClassName,
                                     [] { return std::make_unique<RecordingEngine>(); });
    }

    void TearDown() override
    {
        ObjectFactory::registerClass(reportengine::ReportEngine::kClassName,
                                     [] { return std::make_unique<reportengine::ReportEngine>(); });
        modTables::Reset();
        Context::reset();
        db.reset();
    }

    ScriptedMessagePresenter& boxes()
    {
        return dynamic_cast<ScriptedMessagePresenter&>(ctx().messageService().presenter());
    }
    ScriptedErrorDialog& errorDialog() { return dynamic_cast<ScriptedErrorDialog&>(ctx().errorDialogService()); }
    QStringList shownMessages()
    {
        QStringList out;
        for (const MessageRequest& r : boxes().requests())
            out << r.message;
        return out;
    }
    // del_status of a list in the store.
    long deleteStatus(long listId)
    {
        auto rs = db->OpenRecordset(QStringLiteral("SELECT del_status FROM vlq_list_report WHERE id=%1").arg(listId),
                                    dao::RecordsetType::Snapshot, dao::dbReadOnly);
        return rs->Eof() ? -99 : long(rs->Fields(0).toLongLong());
    }

    static inline QString s_dir;
    QString m_dir;
    QString m_dbPath;
    QString m_reports;
    std::shared_ptr<dao::Database> db;
};

}  // namespace lg::test
