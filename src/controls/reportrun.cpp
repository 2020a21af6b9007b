#include "controls/reportrun.h"

#include "catalogue/fieldcatalogue.h"
#include "catalogue/filehelpers.h"
#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/message.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "report/xlsexport.h"
#include "reportengine/objectfactory.h"
#include "reportengine/reportengine.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"
#include "store/tables.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QMetaMethod>
#include <QtGui/QGuiApplication>

using namespace Qt::StringLiterals;

namespace lg::controls {

namespace {

constexpr long kNoSuchMember = 438;

const QString& engineClassName() { return reportengine::ReportEngine::kClassName; }

}  // namespace

QString reportFilePath(const QString& folder, const QString& reportFile)
{
    const QString trimmed = folder.trimmed();
    if (trimmed.endsWith(u'\\') || trimmed.endsWith(u'/'))
        return trimmed + reportFile.trimmed();
    return trimmed + u'\\' + reportFile.trimmed();
}

QString reportFileDiskPath(const QString& folder, const QString& reportFile)
{
    return QDir::toNativeSeparators(QDir::cleanPath(catalogue::normalizedPath(reportFilePath(folder, reportFile))));
}

QString engineDatabasePath(const QString& databaseFile, const QString& password)
{
    if (password.isEmpty())
        return databaseFile;
    return databaseFile + reportengine::ReportEngine::kPasswordPart + password + u';';
}

ListStatement buildListStatement(ListReport& list, const RunSettings& settings, PreFilterPrompt& preFilter,
                                 QWidget* parent, const QString& hostCondition)
{
    ListStatement result;
    QString preFilterCondition;
    result.description = list.sql_description();
    if (list.filterform() == -1) {
        PreFilterRequest request;
        request.listTypeId = list.list_type_id();
        request.originalSqlDescription = list.sql_description();
        request.tableFieldNameCompletteOnReport = settings.tableFieldNameCompletteOnReport;
        request.tableFieldNameCompletteOnUI = settings.tableFieldNameCompletteOnUI;
        request.tablePriority = list.table_priority();
        request.userId = settings.userId;
        request.reportName = list.name();
        const PreFilterAnswer answer = preFilter.ask(parent, request);
        // A dialog that could not be prepared runs nothing: an empty
        // statement would only fail later in the engine.
        if (!answer.initialized || answer.returnValue != 0) {
            result.cancelled = true;
            return result;
        }
        preFilterCondition = answer.sqlFieldWhere.trimmed();
        if (!preFilterCondition.isEmpty())
            result.description = answer.sqlDescription;
    }
    report::checkRunCondition(preFilterCondition, LoadResString(32101));
    report::checkRunCondition(hostCondition, u"sFilter"_s);
    for (int i = 0; i < 5; ++i)
        report::checkRunCondition(settings.parameters[size_t(i)], QStringLiteral("Parameter%1").arg(i + 1));
    result.statement = report::buildRunStatement(list.sql_source(),
                                                 report::runCondition(preFilterCondition, hostCondition),
                                                 settings.parameters, settings.userId);
    return result;
}

void setMember(QObject* object, const char* name, const QVariant& value)
{
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfProperty(name);
    if (index < 0 || !meta->property(index).write(object, value))
        throw RuntimeError(kNoSuchMember, QString::fromLatin1(meta->className()),
                           u"Object doesn't support this property or method (%1)"_s.arg(QLatin1String(name)));
}

QVariant callMember(QObject* object, const char* name, const QVariantList& arguments)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod m = meta->method(i);
        if (m.name() != name || m.parameterCount() != arguments.size())
            continue;
        QVariantList args = arguments;
        for (int k = 0; k < args.size(); ++k)
            args[k].convert(m.parameterMetaType(k));
        QVariant result;
        bool ok = false;
        const QMetaType returnType = m.returnMetaType();
        if (returnType.id() == QMetaType::Void) {
            switch (args.size()) {
            case 0: ok = m.invoke(object, Qt::DirectConnection); break;
            case 1: ok = m.invoke(object, Qt::DirectConnection, QGenericArgument(args[0].typeName(), args[0].constData())); break;
            default:
                ok = m.invoke(object, Qt::DirectConnection, QGenericArgument(args[0].typeName(), args[0].constData()),
                              QGenericArgument(args[1].typeName(), args[1].constData()));
            }
        } else {
            result = QVariant(returnType);
            QGenericReturnArgument ret(returnType.name(), result.data());
            switch (args.size()) {
            case 0: ok = m.invoke(object, Qt::DirectConnection, ret); break;
            case 1:
                ok = m.invoke(object, Qt::DirectConnection, ret, QGenericArgument(args[0].typeName(), args[0].constData()));
                break;
            default:
                ok = m.invoke(object, Qt::DirectConnection, ret,
                              QGenericArgument(args[0].typeName(), args[0].constData()),
                              QGenericArgument(args[1].typeName(), args[1].constData()));
            }
        }
        if (ok)
            return result;
    }
    throw RuntimeError(kNoSuchMember, QString::fromLatin1(meta->className()),
                       u"Object doesn't support this property or method (%1)"_s.arg(QLatin1String(name)));
}

bool runReport(long listId, bool renderToFile, const RunSettings& settings, const ControlServices& services,
               QWidget* parent, const QString& hostCondition)
{
    if (renderToFile && !settings.authenticExport)
        return false;
    if (!ctx().database)
        return false;
    ListReport list;
    if (!list.CoreLoad(listId) || list.ID() == -1)
        return false;

    const QString path = reportFilePath(settings.reportFolderPath, list.report_file());
    if (list.report_file().trimmed().isEmpty() || !catalogue::FileExists(path)) {
        AddError(0, LoadResString(5005) + u" ("_s + path + u")"_s);
        ShowErrors();
        return false;
    }
    std::unique_ptr<QObject> engine = ObjectFactory::create(engineClassName());
    if (!engine) {
        AddError(0, LoadResString(5004));
        ShowErrors();
        return false;
    }

    const ListStatement statement =
        buildListStatement(list, settings, *services.preFilter, parent, hostCondition);
    if (statement.cancelled)
        return true;

    QObject* e = engine.get();
    setMember(e, "ConnectionProvider", 1);
    setMember(e, "DataBasePath", engineDatabasePath(ctx().database->Name(), ctx().databasePassword));
    setMember(e, "ExportButtonEnable", settings.authenticExport);
    setMember(e, "PrintButtonEnable", settings.authenticPrint);
    setMember(e, "ReportFilePath", reportFileDiskPath(settings.reportFolderPath, list.report_file()));
    callMember(e, "AddNewDataSource", {u"BROWSE"_s, statement.statement});
    callMember(e, "AddStringParam", {u"report_name"_s, list.name()});
    callMember(e, "AddStringParam", {u"sub_report_name"_s, list.name()});
    callMember(e, "AddStringParam", {u"filter_string"_s, statement.description});
    setMember(e, "PrintCopies", 1);
    const QVariant ready = callMember(e, "InitReportEngine");
    if (ready.isValid() && ready.toBool()) {
        if (!renderToFile) {
            callMember(e, "ShowReport", {false});
        } else {
            const QVariant written = callMember(e, "RiportRenderToFile");
            // A file that could not be written is said so; a cancelled file
            // dialog leaves no reason and no message.
            const QString reason = e->property("LastError").toString();
            if (written.isValid() && !written.toBool() && !reason.isEmpty()) {
                AddError(0, reason);
                ShowErrors();
            }
        }
    }
    return true;
}

bool checkExportFileName(const QString& name, QString& message)
{
    if (name.trimmed().isEmpty()) {
        message = LoadResString(506);
        return false;
    }
    message.clear();
    return true;
}

QString exportTargetPath(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || !QFileInfo(trimmed).suffix().isEmpty())
        return trimmed;
    return trimmed + u".xlsx"_s;
}

bool exportList(long listId, const QString& filePath, bool openAfter, const RunSettings& settings,
                const ControlServices& services, QWidget* parent, const QString& hostCondition,
                const ProgressCallback& progress)
{
    if (!settings.authenticExport || !ctx().database)
        return false;
    ListReport list;
    if (!list.CoreLoad(listId) || list.ID() == -1)
        return false;

    QString header;
    if (!catalogue::GenerateReportFieldNameList(list.ID(), settings.tableFieldNameCompletteOnReport, header)) {
        ShowErrors();
        return false;
    }
    const ListStatement statement = buildListStatement(list, settings, *services.preFilter, parent, hostCondition);
    if (statement.cancelled)
        return false;

    auto rs = ctx().database->OpenRecordset(statement.statement, dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
    cXLSExport exporter;
    exporter.setFileName(exportTargetPath(filePath));
    exporter.setFieldHeader(header);
    exporter.refusePath(ctx().database->Name());
    bool cancelled = false;
    if (progress) {
        // The rows are read here so that every row reports progress; a
        // cancel ends the export with an error the dialog does not show,
        // and the target keeps what it held before.
        const QList<int> fields = cXLSExport::ExportedFields(*rs);
        QList<cXLSExport::CellKind> kinds;
        for (int i : fields)
            kinds << cXLSExport::CellKindOf(rs->FieldTypeOf(i));
        auto done = std::make_shared<long>(0);
        exporter.setRowReader(
            [rs, fields, done, progress, &cancelled](QList<QVariant>& row) {
                if (*done > 0)
                    rs->MoveNext();
                if (rs->Eof())
                    return false;
                row.resize(fields.size());
                for (qsizetype k = 0; k < fields.size(); ++k)
                    row[k] = rs->Fields(fields[k]);
                if (!progress(++*done)) {
                    cancelled = true;
                    throw RuntimeError(0, u"cXLSExport"_s, LoadResString(32102));
                }
                return true;
            },
            int(fields.size()), kinds);
    } else {
        exporter.setRecordSource(rs);
    }

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = ExportWithErrorDialog(exporter);
    QGuiApplication::restoreOverrideCursor();
    if (cancelled) {
        ctx().currentErrors().Clear();
        return false;
    }
    if (!ok) {
        const QString reason = exporter.LastError();
        ctx().currentErrors().Clear();
        ctx().messageService().MsgError(LoadResString(200), reason);
        return false;
    }
    if (openAfter)
        catalogue::ShellOpen(exporter.FileName());
    return true;
}

}  // namespace lg::controls
