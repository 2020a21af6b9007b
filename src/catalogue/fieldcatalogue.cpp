#include "catalogue/fieldcatalogue.h"

#include "catalogue/dbhelpers.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "store/errors.h"

namespace lg::catalogue {

namespace {

const QString kUtils = QStringLiteral("vlqTabul2/modWizardUtils/");
const QString kType = QStringLiteral("ListWizardType");

const QString kFullName = QStringLiteral("([T].[visible_name] + ' ' +  [TF].[visible_name]) AS name");
const QString kShortName = QStringLiteral("(ucase(left([TF].[visible_name], 1)) + mid([TF].[visible_name],2)) AS name");

// Catalogue rows that are deleted or still a work copy of the editor are
// offered by no picker.
const QString kLiveCatalogue =
    QStringLiteral("AND [TF].[del_status]=0 AND [TF].[temp_status]=0 AND [T].[del_status]=0 AND [T].[temp_status]=0 "
                   "AND [TTC].[del_status]=0 AND [TTC].[temp_status]=0 ");

const QString kFreeOrder = QStringLiteral("ORDER BY  [TTC].[table_parent_id],[T].[visible_name],[TF].[visible_name]");

QString freeColumns(bool fullNames)
{
    return QStringLiteral("SELECT  ") % QStringLiteral("[TF].[id] AS id, ") % (fullNames ? kFullName : kShortName)
           % QStringLiteral(", ") % QStringLiteral("[T].[id] AS table_id, ") % QStringLiteral("[TF].[id] AS field_id, ")
           % QStringLiteral("[T].[visible_name] AS table_name, ") % QStringLiteral("[TF].[visible_name] AS field_name, ")
           % QStringLiteral("[TTC].[table_parent_id] as table_parent_id ")
           % QStringLiteral("FROM (vlq_list_wizard_table_field AS TF ");
}

QString freeSide(long listTypeId, eReportFieldFillType fill, bool fullNames)
{
    QString condition;
    switch (fill) {
    case eRFFTFieldGroupable:
        condition = QStringLiteral("AND  [TF].[groupable]= -1 ");
        break;
    case eRFFTFieldVisibled:
        condition = QStringLiteral("AND  [TF].[visibled]= -1 ");
        break;
    default:
        condition = QStringLiteral("AND  [TF].[filtered]= -1 ");
        break;
    }
    return freeColumns(fullNames) % QStringLiteral("INNER JOIN vlq_list_wizard_table  AS T ON [TF].[table_id]=[T].[id]) ")
           % QStringLiteral("INNER JOIN vlq_list_wizard_table_type_connection  AS TTC ON [TTC].[table_id]=[T].[id] ")
           % QStringLiteral("WHERE [TTC].[list_type_id]=") % num(listTypeId) % QStringLiteral(" ") % condition
           % kLiveCatalogue % kFreeOrder;
}

QString usedSide(long reportId, eReportFieldFillType fill, bool fullNames)
{
    const QString head = QStringLiteral("SELECT ") % QStringLiteral("[TF].[id] AS id, ") % (fullNames ? kFullName : kShortName)
                         % QStringLiteral(" ");
    if (fill == eRFFTFieldGroupable)
        return head % QStringLiteral("FROM (vlq_list_report_group_field AS RG ")
               % QStringLiteral("INNER JOIN vlq_list_wizard_table_field AS TF ON ([TF].[id]= [RG].[table_field_id])) ")
               % QStringLiteral("INNER JOIN vlq_list_wizard_table  AS T ON ([TF].[table_id]=[T].[id]) ")
               % QStringLiteral("Where [RG].[vlq_list_report_id] =") % num(reportId)
               % QStringLiteral(" And [RG].[del_status] = 0 ") % QStringLiteral("ORDER BY [RG].[sort_order] ");
    return head % QStringLiteral("FROM (vlq_list_report_visible_field AS RF ")
           % QStringLiteral("INNER JOIN vlq_list_wizard_table_field AS TF  ON ([TF].[id]= [RF].[table_field_id])) ")
           % QStringLiteral("INNER JOIN vlq_list_wizard_table  AS T ON ([TF].[table_id]=[T].[id]) ")
           % QStringLiteral("Where [RF].[vlq_list_report_id] = ") % num(reportId)
           % QStringLiteral(" And [RF].[del_status] = 0 ") % QStringLiteral("ORDER BY [RF].[sort_order]");
}

QString aggregatable(long reportId, bool fullNames)
{
    const QString name =
        fullNames ? QStringLiteral("([T].[visible_name] + ' ' +  [TF].[visible_name])       AS name ") : kShortName % QStringLiteral(" ");
    return QStringLiteral("SELECT ") % QStringLiteral("[RF].[id] AS id, ") % name
           % QStringLiteral("FROM (vlq_list_report_visible_field AS RF ")
           % QStringLiteral("INNER JOIN vlq_list_wizard_table_field AS TF ON ([TF].[id]= [RF].[table_field_id])) ")
           % QStringLiteral("INNER JOIN vlq_list_wizard_table  AS T ON ([TF].[table_id]=[T].[id]) ")
           % QStringLiteral("WHERE [RF].[vlq_list_report_id] = ") % num(reportId)
           % QStringLiteral(" AND [RF].[del_status]=0 AND ")
           % QStringLiteral("[RF].[table_field_id] IN (SELECT [TF2].[id] FROM vlq_list_wizard_table_field AS TF2 WHERE "
                            "[TF2].[table_id]=[T].[id] AND [TF2].[aggregated]=-1) ")
           % QStringLiteral("ORDER BY [RF].[sort_order]");
}

QString preFilterable(long listTypeId, long depth, bool fullNames)
{
    return freeColumns(fullNames) % QStringLiteral("INNER JOIN vlq_list_wizard_table  AS T  ON [TF].[table_id]=[T].[id]) ")
           % QStringLiteral("INNER JOIN vlq_list_wizard_table_type_connection  AS TTC ON [TTC].[table_id]=[T].[id] ")
           % QStringLiteral("WHERE [TTC].[list_type_id]=") % num(listTypeId) % QStringLiteral(" AND  [TTC].[sort_order]<= ")
           % num(depth) % QStringLiteral(" ") % QStringLiteral("AND  [TF].[filtered]= -1 ") % kLiveCatalogue
           % kFreeOrder;
}

struct FieldRow {
    bool found = false;
    QString visibleName;
    long tableId = -1;
};

FieldRow lookupField(long tableFieldId)
{
    FieldRow row;
    auto rs = openSelection(QStringLiteral("select visible_name, table_id from vlq_list_wizard_table_field where id=")
                            % num(tableFieldId));
    if (rs->Eof())
        return row;
    row.found = true;
    row.visibleName = textOf(*rs, QStringLiteral("visible_name"));
    row.tableId = longOf(*rs, QStringLiteral("table_id"), 0);
    return row;
}

QStringList& aggregateNames()
{
    static QStringList names;
    if (names.isEmpty()) {
        static const char* const fallback[] = {"Ismeretlen", "Darab", "Legnagyobb", "Legkisebb", "Összeg", "Átlag"};
        for (int i = 0; i < 6; ++i) {
            const QString text = LoadResString(4000 + i);
            names.append(text.isEmpty() ? QString::fromUtf8(fallback[i]) : text);
        }
    }
    return names;
}

}  // namespace

QString fieldPickerSql(long listTypeId, long reportId, eReportFieldFillType fill, eReportFieldFillSideType side,
                       bool fullNames)
{
    switch (fill) {
    case eRFFTFieldAggregated:
        return aggregatable(reportId, fullNames);
    case eRFFTFieldPreFiltered:
        return preFilterable(listTypeId, reportId, fullNames);
    case eRFFTFieldFiltered:
        return freeSide(listTypeId, fill, fullNames);
    case eRFFTFieldGroupable:
    case eRFFTFieldVisibled:
        return side == eRFFSTFieldUsed ? usedSide(reportId, fill, fullNames) : freeSide(listTypeId, fill, fullNames);
    }
    throw RuntimeError(5, kType, QStringLiteral("Invalid field picker: %1").arg(int(fill)));
}

bool LoadReportFieldToControl(long listTypeId, long reportId, eReportFieldFillType fill,
                              eReportFieldFillSideType side, bool fullNames, std::shared_ptr<dao::Recordset>& rs)
{
    return traced(kType, TraceKind::Function, QStringLiteral("LoadReportFieldToControl"), [&] {
        rs = openSelection(fieldPickerSql(listTypeId, reportId, fill, side, fullNames));
        return true;
    });
}

long FillListFromRecordset(dao::Recordset& rs, ListSink& sink, const QString& textColumn, const QString& idColumn)
{
    sink.clear();
    long added = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        sink.addItem(textOf(rs, textColumn), longOf(rs, idColumn, -1));
        ++added;
    }
    return added;
}

QString upperFirst(const QString& text)
{
    if (text.isEmpty())
        return text;
    const qsizetype firstLength = (text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate()) ? 2 : 1;
    return text.left(firstLength).toUpper() + text.mid(firstLength);
}

long GetTableFieldDataType(long tableFieldId)
{
    return traced(kUtils, TraceKind::Sub, QStringLiteral("GetTableFieldDataType"), [&]() -> long {
        auto rs = openSelection(QStringLiteral("select field_type from vlq_list_wizard_table_field where id=")
                                % num(tableFieldId) % QStringLiteral(" and del_status=0"));
        if (rs->Eof())
            return -1;
        return longOf(*rs, QStringLiteral("field_type"), 0);
    });
}

QString GetTableFieldVisibleName(long tableFieldId)
{
    return traced(kUtils, TraceKind::Sub, QStringLiteral("GetTableFieldVisibleName "), [&]() -> QString {
        const FieldRow field = lookupField(tableFieldId);
        if (!field.found)
            return QString();
        auto rs = openSelection(QStringLiteral("select visible_name from vlq_list_wizard_table where id=")
                                % num(field.tableId));
        if (rs->Eof())
            return field.visibleName;
        return textOf(*rs, QStringLiteral("visible_name")) % QStringLiteral(" ") % field.visibleName;
    });
}

QString GetTableFieldShortVisibleName(long tableFieldId)
{
    return traced(kUtils, TraceKind::Sub, QStringLiteral("GetTableFieldShortVisibleName"), [&]() -> QString {
        const FieldRow field = lookupField(tableFieldId);
        return field.found ? upperFirst(field.visibleName) : QString();
    });
}

QString GetTableFieldName(long tableFieldId, bool fullNames)
{
    return fullNames ? GetTableFieldVisibleName(tableFieldId) : GetTableFieldShortVisibleName(tableFieldId);
}

QString GetAggregateName(long index)
{
    if (index < 0 || index > 5)
        return QString();
    return aggregateNames().at(index);
}

void SetAggregateNames(const QStringList& sixNames)
{
    QStringList& names = aggregateNames();
    for (int i = 0; i < 6 && i < sixNames.size(); ++i)
        names[i] = sixNames.at(i);
}

bool GenerateReportFieldNameList(long listReportId, bool fullNames, QString& text)
{
    text.clear();
    return traced(kUtils, TraceKind::Function, QStringLiteral("GenerateReportFieldNameList"), [&] {
        auto list = openSelection(QStringLiteral("select id from vlq_list_report where id=") % num(listReportId)
                                  % QStringLiteral(" and del_status=0"));
        if (list->Eof())
            return false;
        list.reset();
        QList<long> fieldIds;
        for (const char* table : {"vlq_list_report_group_field", "vlq_list_report_visible_field"}) {
            auto rs = openSelection(QStringLiteral("select table_field_id from ") % QLatin1String(table)
                                    % QStringLiteral(" where vlq_list_report_id=") % num(listReportId)
                                    % QStringLiteral(" and del_status=0 order by sort_order, id"));
            for (; !rs->Eof(); rs->MoveNext())
                fieldIds.append(longOf(*rs, QStringLiteral("table_field_id"), -1));
        }
        for (long id : fieldIds) {
            QString name = GetTableFieldName(id, fullNames);
            name.remove(QLatin1Char(','));
            text = text.isEmpty() ? name : text % QLatin1Char(',') % name;
        }
        return true;
    });
}

bool TestSQLStatement(const QString& sql)
{
    try {
        auto rs = activeDatabase().OpenRecordset(sql);
        (void)rs->Eof();
        rs->Close();
        activeDatabase().Idle(dao::dbFreeLocks);
        return true;
    } catch (const RuntimeError& e) {
        AddError(e.number(), e.description());
        return false;
    } catch (const std::exception& e) {
        AddError(errnum::Internal, QString::fromUtf8(e.what()));
        return false;
    }
}

}  // namespace lg::catalogue
