#include "reportengine/reportengine.h"

#include "platform/strings.h"

#include "platform/dao/dao.h"
#include "reportengine/filedialogservice.h"
#include "reportengine/reportpreview.h"
#include "platform/runtimeerror.h"

#include <QtCore/QFileInfo>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>

namespace lg::reportengine {

using namespace Qt::StringLiterals;

bool renderToFile(ReportDocument& document, const QString& path, QString& error, const QStringList& refused)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "pdf"_L1)
        return document.renderPdf(path, error, refused);
    if (suffix == "html"_L1 || suffix == "htm"_L1)
        return document.renderHtml(path, error, refused);
    if (suffix == "xlsx"_L1)
        return document.renderXlsx(path, error, refused);
    error = LoadResString(7270).arg(path);
    return false;
}

bool renderToChosenFile(ReportSession& session, QWidget* parent, QString& error)
{
    error.clear();
    if (!session.document) {
        error = LoadResString(7271);
        return false;
    }
    auto dialog = session.fileDialog ? session.fileDialog : defaultFileDialogService();
    const QString path =
        dialog->getSaveFileName(parent, LoadResString(7272),
                                LoadResString(7273)).trimmed();
    if (path.isEmpty())
        return false;
    return renderToFile(*session.document, path, error);
}

ReportEngine::ReportEngine(QObject* parent) : QObject(parent), m_session(std::make_shared<ReportSession>()) {}

ReportEngine::~ReportEngine() = default;

void ReportEngine::AddNewDataSource(const QString& name, const QString& recordSource)
{
    m_dataSourceName = name;
    m_recordSource = recordSource;
}

void ReportEngine::AddStringParam(const QString& name, const QString& value) { m_params.insert(name, value); }

void ReportEngine::setFileDialogService(std::shared_ptr<FileDialogService> service)
{
    m_session->fileDialog = std::move(service);
}

bool ReportEngine::fail(const QString& reason)
{
    m_session->lastError = reason;
    m_session->document.reset();
    return false;
}

bool ReportEngine::InitReportEngine()
{
    m_session->lastError.clear();
    if (m_reportFilePath.trimmed().isEmpty())
        return fail(LoadResString(7274));
    ReportSource source;
    QString error;
    if (!loadReportSource(m_reportFilePath, source, error))
        return fail(error);

    RowSourceOpener opener = m_opener;
    // The files of this run that no output may replace.
    QStringList protectedPaths{m_reportFilePath};
    try {
        if (!opener) {
            const QString statement = m_recordSource.trimmed().isEmpty() ? source.recordSource : m_recordSource;
            if (statement.trimmed().isEmpty())
                return fail(LoadResString(7275));
            if (m_connectionProvider != 1)
                return fail(LoadResString(7276).arg(m_connectionProvider));
            QString file = m_dataBasePath, password;
            if (const qsizetype at = file.indexOf(kPasswordPart, 0, Qt::CaseInsensitive); at >= 0) {
                password = file.mid(at + kPasswordPart.size());
                if (password.endsWith(u';'))
                    password.chop(1);
                file = file.left(at);
            }
            file = file.trimmed();
            if (file.isEmpty() || !dao::Database::exists(file))
                return fail(LoadResString(7277).arg(file));
            m_session->database = dao::Database::open(file, password);
            if (!dao::Database::isUri(file))
                protectedPaths << file;
            opener = statementOpener(m_session->database, statement);
        }
        // Opening the rows once checks the statement and gives the columns.
        auto rows = opener();
        if (!rows)
            return fail(LoadResString(7278));
        const QStringList columns = rows->columns();
        rows.reset();

        auto layout = std::make_shared<ReportLayout>(std::move(source), m_params);
        if (m_now.isValid())
            layout->setNow(m_now);
        if (!layout->prepare(columns, error))
            return fail(m_reportFilePath + u": "_s + error);
        m_session->document = std::make_shared<ReportDocument>(std::move(layout), std::move(opener));
        m_session->document->setProtectedPaths(protectedPaths);
        if (auto db = m_session->database) {
            // Both layout passes read one snapshot: the page count printed in
            // the footer is the count of the pages drawn while others write.
            m_session->document->setReadScope([db] { return std::make_shared<dao::ReadSnapshot>(*db); });
        }
        return true;
    } catch (const RuntimeError& e) {
        return fail(LoadResString(7279).arg(e.description()));
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}

void ReportEngine::ShowReport(bool modeless)
{
    if (!m_session->document)
        return;
    auto* window = new ReportPreview(m_session);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_preview = window;
    if (modeless)
        window->show();
    else
        window->exec();
}

bool ReportEngine::RiportRenderToFile()
{
    QString error;
    const bool ok = renderToChosenFile(*m_session, nullptr, error);
    m_session->lastError = error;
    return ok;
}

bool ReportEngine::PrintReport(QPrinter* printer)
{
    m_session->lastError.clear();
    if (!m_session->document)
        return fail(LoadResString(7271));
    std::unique_ptr<QPrinter> own;
    if (!printer) {
        own = std::make_unique<QPrinter>(QPrinter::HighResolution);
        own->setCopyCount(m_session->copies);
        QPrintDialog dialog(own.get());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        printer = own.get();
    } else {
        printer->setCopyCount(m_session->copies);
    }
    QString error;
    const bool ok = m_session->document->print(*printer, error);
    m_session->lastError = error;
    return ok;
}

}  // namespace lg::reportengine
