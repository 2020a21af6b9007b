#include "report/xmlsourcegenerator.h"

#include <QtCore/QFile>

#include "catalogue/fieldcatalogue.h"
#include "catalogue/filehelpers.h"
#include "catalogue/dbhelpers.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/safefile.h"
#include "platform/strings.h"
#include "store/errors.h"

namespace lg {

namespace {

const QString kSource = QStringLiteral("vlqTabul2/XMLSourceGenerator/");

QString resText(int id, const char* fallback)
{
    const QString text = LoadResString(id);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

struct CatalogueField {
    bool found = false;
    int fieldType = 4;
    long width = 100;
    QString format;
    QString groupFieldName;
};

CatalogueField catalogueField(long tableFieldId)
{
    CatalogueField f;
    auto rs = catalogue::openSelection(
        QStringLiteral("select field_type, field_width, field_format, group_field_name from "
                       "vlq_list_wizard_table_field where id=")
        % catalogue::num(tableFieldId));
    if (rs->Eof())
        return f;
    f.found = true;
    f.fieldType = int(catalogue::longOf(*rs, QStringLiteral("field_type"), 0));
    f.width = catalogue::longOf(*rs, QStringLiteral("field_width"), 0);
    f.format = catalogue::textOf(*rs, QStringLiteral("field_format"));
    f.groupFieldName = catalogue::textOf(*rs, QStringLiteral("group_field_name"));
    return f;
}

void missingField(long tableFieldId)
{
    AddError(0, LoadResString(7240)
                    .arg(tableFieldId));
}

}  // namespace

bool XMLSourceGenerator::CheckVariables()
{
    return traced(kSource, TraceKind::Function, QStringLiteral("CheckVariables"), [&] {
        bool ok = true;
        if (!catalogue::FolderExists(m_reportFolder)) {
            AddError(0, resText(5000, "A riportkönyvtár nem található a megadott helye!") % QStringLiteral(" (")
                            % m_reportFolder % QStringLiteral(")"));
            ok = false;
        }
        if (!m_groups) {
            AddError(0, resText(5001, "A riportcsoportok nem meghatározhatók!"));
            ok = false;
        }
        if (!m_fields) {
            AddError(0, resText(5002, "A riportmezők nem meghatározhatók!"));
            ok = false;
        } else if (m_fields->isEmpty()) {
            AddError(0, resText(5003, "Nincs meghatározva riportmező!"));
            ok = false;
        }
        return ok;
    });
}

bool XMLSourceGenerator::LoadReportFields()
{
    return traced(kSource, TraceKind::Function, QStringLiteral("LoadReportFields"), [&] {
        m_input.columns.clear();
        for (const auto& item : *m_fields) {
            const CatalogueField f = catalogueField(item->table_field_id());
            if (!f.found) {
                missingField(item->table_field_id());
                return false;
            }
            report::ReportColumn c;
            c.alias = QStringLiteral("RF") % catalogue::num(item->ID());
            c.caption = catalogue::GetTableFieldName(item->table_field_id(), m_namesOnReport);
            c.dataType = f.fieldType;
            c.width = std::max(0L, f.width);
            c.format = f.format;
            for (int level = 1; level <= 10; ++level)
                c.aggregates[size_t(level - 1)] = item->groupAggregate(level);
            c.aggregates[report::kTotalLevel] = item->total_aggregate();
            m_input.columns.append(c);
        }
        m_input.page = report::layoutColumns(m_input.columns);
        return true;
    });
}

bool XMLSourceGenerator::LoadReportGroups()
{
    return traced(kSource, TraceKind::Function, QStringLiteral("LoadReportGroups"), [&] {
        m_input.groups.clear();
        for (const auto& item : *m_groups) {
            const CatalogueField f = catalogueField(item->table_field_id());
            if (!f.found) {
                missingField(item->table_field_id());
                return false;
            }
            report::ReportGroup g;
            g.alias = QStringLiteral("RG") % catalogue::num(item->ID());
            // The same test as the statement's: only a non-blank grouping
            // field gets its RGF column.
            if (!f.groupFieldName.trimmed().isEmpty())
                g.groupAlias = QStringLiteral("RGF") % catalogue::num(item->ID());
            g.caption = catalogue::GetTableFieldName(item->table_field_id(), m_namesOnReport);
            m_input.groups.append(g);
        }
        return true;
    });
}

bool XMLSourceGenerator::GenerateXMLFile()
{
    return traced(kSource, TraceKind::Function, QStringLiteral("GenerateXMLFile"), [&] {
        m_reportName = QStringLiteral("REPORT%REPORTID%.XML");
        m_reportName.replace(QStringLiteral("%REPORTID%"), catalogue::num(m_listReportId));
        m_reportPath = catalogue::normalizedPath(catalogue::joinPath(m_reportFolder, m_reportName));

        report::ReportSourceWriter writer(m_input, report::FrameTexts::fromStringTable());
        const QByteArray bytes = report::encodeWindows1250(writer.text());

        // Written beside the target and renamed over it, so a failed write
        // leaves the previous file intact.
        SafeFile file(m_reportPath);
        QFile* out = file.begin() ? file.device() : nullptr;
        const bool ok = out && out->write(bytes) == bytes.size() && file.commit();
        if (!ok) {
            const QString reason = !file.errorString().isEmpty() ? file.errorString()
                                                                 : (out ? out->errorString() : QString());
            AddError(0, LoadResString(7241).arg(m_reportPath, reason));
            return false;
        }
        return true;
    });
}

bool XMLSourceGenerator::GenerateXMLSource()
{
    return traced(kSource, TraceKind::Function, QStringLiteral("GenerateXMLSource"), [&] {
        m_built = false;
        if (!CheckVariables())
            return false;
        m_input = report::ReportSourceInput{};
        m_input.listReportId = m_listReportId;
        m_input.detailInvisible = m_detailInvisible;
        if (!LoadReportFields() || !LoadReportGroups())
            return false;
        m_built = true;
        return GenerateXMLFile();
    });
}

QString XMLSourceGenerator::CreateGroupXMLSource(int groupIndex)
{
    if (!m_built)
        return QString();
    report::ReportSourceWriter writer(m_input, report::FrameTexts::fromStringTable());
    return writer.groupFields(groupIndex);
}

}  // namespace lg
