#pragma once

// SmallListWizard: the reduced control for hosts that know which list to
// run. It shows only its icon; ShowReport and ExcelExport take the list's
// id and an optional condition of the host (sFilter), which narrows the
// list's rows together with its pre-filter.

#include "controls/services.h"

#include <QtWidgets/QWidget>

#include <memory>
#include <span>

namespace lg {
class PropertyBag;
struct PersistedProperty;
namespace dao {
class Database;
}
}  // namespace lg

namespace lg::controls {
/// The reduced list control for hosts that know which list to run: it shows only its icon; ShowReport() and
/// ExcelExport() take the list's id.

class SmallListWizard : public QWidget {
    Q_OBJECT
    /// Host parameters 1 to 5: fill the placeholders %PAR1% to %PAR5% of a list's statement when it runs.
    Q_PROPERTY(QString Parameter1 READ Parameter1 WRITE setParameter1 DESIGNABLE true NOTIFY Parameter1Changed)
    Q_PROPERTY(QString Parameter2 READ Parameter2 WRITE setParameter2 DESIGNABLE true NOTIFY Parameter2Changed)
    Q_PROPERTY(QString Parameter3 READ Parameter3 WRITE setParameter3 DESIGNABLE true NOTIFY Parameter3Changed)
    Q_PROPERTY(QString Parameter4 READ Parameter4 WRITE setParameter4 DESIGNABLE true NOTIFY Parameter4Changed)
    Q_PROPERTY(QString Parameter5 READ Parameter5 WRITE setParameter5 DESIGNABLE true NOTIFY Parameter5Changed)
    /// Folder of the report sources (REPORT<id>.XML) and of the files written by runs.
    Q_PROPERTY(QString ReportFolderPath READ ReportFolderPath WRITE setReportFolderPath
                   DESIGNABLE true NOTIFY ReportFolderPathChanged)
    /// The user may export lists to files and to Excel.
    Q_PROPERTY(bool AuthenticExport READ AuthenticExport WRITE setAuthenticExport
                   DESIGNABLE true NOTIFY AuthenticExportChanged)
    /// The user may print and preview lists.
    Q_PROPERTY(
        bool AuthenticPrint READ AuthenticPrint WRITE setAuthenticPrint DESIGNABLE true NOTIFY AuthenticPrintChanged)
    /// The host's id of the user who runs the lists (fills %RUNUSERID%).
    Q_PROPERTY(int UserID READ UserID WRITE setUserID DESIGNABLE true NOTIFY UserIDChanged)
    /// Field names on screen carry their table's name.
    Q_PROPERTY(bool TableFieldNameCompletteOnUI READ TableFieldNameCompletteOnUI WRITE setTableFieldNameCompletteOnUI
                   DESIGNABLE true NOTIFY TableFieldNameCompletteOnUIChanged)
    /// Field names on reports carry their table's name.
    Q_PROPERTY(bool TableFieldNameCompletteOnReport READ TableFieldNameCompletteOnReport WRITE
                   setTableFieldNameCompletteOnReport DESIGNABLE true NOTIFY TableFieldNameCompletteOnReportChanged)

public:
    /// The source name in run-time error traces.
    static constexpr const char* kSource = "vlqTabula2.SmallListWizard";
    /// Builds the control; it needs no database until a list runs.

    explicit SmallListWizard(QWidget* parent = nullptr);
    ~SmallListWizard() override;
    /// The persisted properties: name, default, key.

    static std::span<const PersistedProperty> persistedProperties();
    /// Sets every persisted property to its default.
    void InitProperties();
    /// Reads the persisted properties from a property bag.
    void ReadProperties(const PropertyBag& bag);
    /// Writes the persisted properties into a property bag.
    void WriteProperties(PropertyBag& bag) const;
    /// The database password; write-only, kept library-wide for the report engine's connection.

    void setDatabasePassword(const QString& password);
    QString Parameter1() const;
    void setParameter1(const QString& v);
    QString Parameter2() const;
    void setParameter2(const QString& v);
    QString Parameter3() const;
    void setParameter3(const QString& v);
    QString Parameter4() const;
    void setParameter4(const QString& v);
    QString Parameter5() const;
    void setParameter5(const QString& v);
    QString ReportFolderPath() const;
    void setReportFolderPath(const QString& v);
    bool AuthenticExport() const;
    void setAuthenticExport(bool v);
    bool AuthenticPrint() const;
    void setAuthenticPrint(bool v);
    int UserID() const;
    void setUserID(int v);
    bool TableFieldNameCompletteOnUI() const;
    void setTableFieldNameCompletteOnUI(bool v);
    bool TableFieldNameCompletteOnReport() const;
    void setTableFieldNameCompletteOnReport(bool v);
    /// The library-wide database the lists run on.
    std::shared_ptr<dao::Database> Database() const;
    void setDatabase(std::shared_ptr<dao::Database> database);
    /// The dialogs and services this control uses (the process-wide defaults unless set).

    void setServices(const ControlServices& services);
    /// Runs list lReportID into the preview, or into a file when bRiportRenderToFile is true; sFilter, a condition of
    /// the host, narrows the rows together with the list's pre-filter. False with Errors filled when it cannot.

    bool ShowReport(long lReportID, bool bRiportRenderToFile, const QString& sFilter = {});
    /// Exports list lReportID (narrowed by sFilter) to an Excel workbook.
    bool ExcelExport(long lReportID, const QString& sFilter = {});
    /// Shows the about box.
    void showAbout();
    /// The size of the icon.

    QSize sizeHint() const override;

Q_SIGNALS:
    /// The host's property-changed notification, with the property's name.
    void PropertyChanged(const QString& name);
    /// Property notifications, with the new value.
    void Parameter1Changed(const QString& v);
    void Parameter2Changed(const QString& v);
    void Parameter3Changed(const QString& v);
    void Parameter4Changed(const QString& v);
    void Parameter5Changed(const QString& v);
    void ReportFolderPathChanged(const QString& v);
    void AuthenticExportChanged(bool v);
    void AuthenticPrintChanged(bool v);
    void UserIDChanged(int v);
    void TableFieldNameCompletteOnUIChanged(bool v);
    void TableFieldNameCompletteOnReportChanged(bool v);
    /// The database was replaced.
    void DatabaseChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::controls
