#pragma once

// Writes the report-source file REPORT<list id>.XML of a list into the report
// folder: the page frame, one group per grouping field, one column per
// displayed field and the aggregates of the group footers and the report
// total (see reportsource.h for the layout rules).

#include <QtCore/QString>

#include <optional>

#include "report/reportsource.h"
#include "store/listreport.h"

namespace lg {

class XMLSourceGenerator {
public:
    bool TableFieldNameCompletteOnUI() const { return m_namesOnUI; }
    void setTableFieldNameCompletteOnUI(bool full) { m_namesOnUI = full; }
    bool TableFieldNameCompletteOnReport() const { return m_namesOnReport; }
    void setTableFieldNameCompletteOnReport(bool full) { m_namesOnReport = full; }

    // "REPORT" + list id + ".XML": the name of the last file written.
    const QString& ReportName() const { return m_reportName; }
    // The full path of the last file written.
    const QString& ReportPath() const { return m_reportPath; }

    void setReportFields(const ListReport::Fields& fields) { m_fields = fields; }
    void setReportGroups(const ListReport::Groups& groups) { m_groups = groups; }
    void setListReportID(long id) { m_listReportId = id; }
    void setDetailInvisible(bool invisible) { m_detailInvisible = invisible; }
    // Kept only: the report engine receives the description at run time.
    void setSQLDescription(const QString& description) { m_sqlDescription = description; }
    const QString& SQLDescription() const { return m_sqlDescription; }
    void setReportFolder(const QString& folder) { m_reportFolder = folder; }

    // Checks the inputs (each failure is recorded in the shared Errors
    // collection), builds the field and group tables and writes the file.
    // False when a check fails or the file cannot be written; an existing
    // file is then left as it was.
    bool GenerateXMLSource();

    // The XML text of the fields of group `groupIndex` (0-based) once the
    // tables are built (empty before), numbered as if it were the first
    // group written.
    QString CreateGroupXMLSource(int groupIndex);

    // The tables built from the collections (after GenerateXMLSource).
    const report::ReportSourceInput& layout() const { return m_input; }

private:
    bool CheckVariables();
    bool LoadReportFields();
    bool LoadReportGroups();
    bool GenerateXMLFile();

    bool m_namesOnUI = false;
    bool m_namesOnReport = false;
    QString m_reportName;
    QString m_reportPath;
    std::optional<ListReport::Fields> m_fields;
    std::optional<ListReport::Groups> m_groups;
    long m_listReportId = 0;
    bool m_detailInvisible = false;
    QString m_sqlDescription;
    QString m_reportFolder;

    report::ReportSourceInput m_input;
    bool m_built = false;
};

}  // namespace lg
