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

class SmallListWizard : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Parameter1 READ Parameter1 WRITE setParameter1 NOTIFY Parameter1Changed)
    Q_PROPERTY(QString Parameter2 READ Parameter2 WRITE setParameter2 NOTIFY Parameter2Changed)
    Q_PROPERTY(QString Parameter3 READ Parameter3 WRITE setParameter3 NOTIFY Parameter3Changed)
    Q_PROPERTY(QString Parameter4 READ Parameter4 WRITE setParameter4 NOTIFY Parameter4Changed)
    Q_PROPERTY(QString Parameter5 READ Parameter5 WRITE setParameter5 NOTIFY Parameter5Changed)
    Q_PROPERTY(QString ReportFolderPath READ ReportFolderPath WRITE setReportFolderPath NOTIFY ReportFolderPathChanged)
    Q_PROPERTY(bool AuthenticExport READ AuthenticExport WRITE setAuthenticExport NOTIFY AuthenticExportChanged)
    Q_PROPERTY(bool AuthenticPrint READ AuthenticPrint WRITE setAuthenticPrint NOTIFY AuthenticPrintChanged)
    Q_PROPERTY(int UserID READ UserID WRITE setUserID NOTIFY UserIDChanged)
    Q_PROPERTY(bool TableFieldNameCompletteOnUI READ TableFieldNameCompletteOnUI WRITE setTableFieldNameCompletteOnUI
                   NOTIFY TableFieldNameCompletteOnUIChanged)
    Q_PROPERTY(bool TableFieldNameCompletteOnReport READ TableFieldNameCompletteOnReport WRITE
                   setTableFieldNameCompletteOnReport NOTIFY TableFieldNameCompletteOnReportChanged)

public:
    static constexpr const char* kSource = "vlqTabula2.SmallListWizard";

    explicit SmallListWizard(QWidget* parent = nullptr);
    ~SmallListWizard() override;

    static std::span<const PersistedProperty> persistedProperties();
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

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
    std::shared_ptr<dao::Database> Database() const;
    void setDatabase(std::shared_ptr<dao::Database> database);

    void setServices(const ControlServices& services);

    bool ShowReport(long lReportID, bool bRiportRenderToFile, const QString& sFilter = {});
    bool ExcelExport(long lReportID, const QString& sFilter = {});
    void showAbout();

    QSize sizeHint() const override;

Q_SIGNALS:
    void PropertyChanged(const QString& name);
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
    void DatabaseChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::controls
