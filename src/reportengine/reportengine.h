#pragma once

// The report engine object the library creates by the class name
// "vLQVsView7.clsView". The caller sets the connection, the report file, the
// data source and the string parameters, calls InitReportEngine, and then
// shows the report (ShowReport) or renders it to a file (RiportRenderToFile).
// Every member can also be reached by name through Qt's meta-object system.

#include "reportengine/reportdocument.h"
#include "reportengine/reportpreview.h"

#include <QtCore/QDateTime>
#include <QtCore/QHash>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QString>

#include <memory>

class QPrinter;
class QWidget;

namespace lg::dao {
class Database;
}

namespace lg::reportengine {

class FileDialogService;

// What a preview window needs after the engine object is gone.
struct ReportSession {
    std::shared_ptr<dao::Database> database;
    std::shared_ptr<ReportDocument> document;
    std::shared_ptr<FileDialogService> fileDialog;
    bool printAllowed = false;
    bool exportAllowed = false;
    int copies = 1;
    QString lastError;
};

// Asks for a file name and renders the report by its extension (.pdf,
// .html/.htm, .xlsx). False when the user cancelled (error stays empty) or
// the output failed (error says why).
bool renderToChosenFile(ReportSession& session, QWidget* parent, QString& error);
// Renders to `path` by its extension; `refused` are files it must not
// replace besides the document's protected ones.
bool renderToFile(ReportDocument& document, const QString& path, QString& error, const QStringList& refused = {});

class ReportEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ConnectionProvider READ ConnectionProvider WRITE setConnectionProvider)
    Q_PROPERTY(QString DataBasePath READ DataBasePath WRITE setDataBasePath)
    Q_PROPERTY(bool ExportButtonEnable READ ExportButtonEnable WRITE setExportButtonEnable)
    Q_PROPERTY(bool PrintButtonEnable READ PrintButtonEnable WRITE setPrintButtonEnable)
    Q_PROPERTY(QString ReportFilePath READ ReportFilePath WRITE setReportFilePath)
    Q_PROPERTY(int PrintCopies READ PrintCopies WRITE setPrintCopies)
    Q_PROPERTY(QString LastError READ LastError)

public:
    static inline const QString kClassName = QStringLiteral("vLQVsView7.clsView");
    // The text that separates the database file from its password in DataBasePath.
    static inline const QString kPasswordPart = QStringLiteral(";Jet OLEDB:Database Password=");

    explicit ReportEngine(QObject* parent = nullptr);
    ~ReportEngine() override;

    int ConnectionProvider() const { return m_connectionProvider; }
    void setConnectionProvider(int provider) { m_connectionProvider = provider; }
    QString DataBasePath() const { return m_dataBasePath; }
    void setDataBasePath(const QString& path) { m_dataBasePath = path; }
    bool ExportButtonEnable() const { return m_session->exportAllowed; }
    void setExportButtonEnable(bool enable) { m_session->exportAllowed = enable; }
    bool PrintButtonEnable() const { return m_session->printAllowed; }
    void setPrintButtonEnable(bool enable) { m_session->printAllowed = enable; }
    QString ReportFilePath() const { return m_reportFilePath; }
    void setReportFilePath(const QString& path) { m_reportFilePath = path; }
    int PrintCopies() const { return m_session->copies; }
    void setPrintCopies(int copies) { m_session->copies = copies < 1 ? 1 : copies; }
    // Why the last InitReportEngine, RiportRenderToFile or PrintReport failed.
    QString LastError() const { return m_session->lastError; }

    Q_INVOKABLE void AddNewDataSource(const QString& name, const QString& recordSource);
    Q_INVOKABLE void AddStringParam(const QString& name, const QString& value);
    // Loads the report file and checks the data source against the database.
    // False (never an exception) for a missing or malformed file, a database
    // that cannot be opened or a statement the database rejects; LastError
    // says which.
    Q_INVOKABLE bool InitReportEngine();
    // Shows the preview window. It stays open after the engine object is
    // released; `modeless` false waits until the user closes it.
    Q_INVOKABLE void ShowReport(bool modeless = false);
    // Asks for a file name and renders the report to it.
    Q_INVOKABLE bool RiportRenderToFile();
    // Prints PrintCopies copies on `printer` (the print dialog when null).
    Q_INVOKABLE bool PrintReport(QPrinter* printer = nullptr);

    // --- for hosts and tests ------------------------------------------------
    // Rows from elsewhere than the database (then no connection is needed).
    void setRowSourceOpener(RowSourceOpener opener) { m_opener = std::move(opener); }
    void setFileDialogService(std::shared_ptr<FileDialogService> service);
    void setNow(const QDateTime& now) { m_now = now; }
    // The document after a successful InitReportEngine.
    std::shared_ptr<ReportDocument> document() const { return m_session->document; }
    // The window the last ShowReport opened (while it is open).
    ReportPreview* previewWindow() const { return m_preview; }
    QHash<QString, QString> stringParams() const { return m_params; }

private:
    bool fail(const QString& reason);

    int m_connectionProvider = 0;
    QString m_dataBasePath;
    QString m_reportFilePath;
    QString m_dataSourceName;
    QString m_recordSource;
    QHash<QString, QString> m_params;
    RowSourceOpener m_opener;
    QDateTime m_now;
    std::shared_ptr<ReportSession> m_session;
    QPointer<ReportPreview> m_preview;
};

}  // namespace lg::reportengine
