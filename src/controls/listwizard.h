#pragma once

// ListWizard: the control a host puts on its form to give its users the
// list generator. It shows the lists the user may run (filtered by list
// type and owner), an information panel about the selected list, and a
// command bar: exit, list wizard, delete, print/preview, export to a file,
// export to Excel, the list type's assistant and the catalogue editor.
//
// The host sets Database, UserID, ModulID (and the rest) and calls
// ControlInitialize. What the control shows and decides lives in
// ListBrowser; the runs and exports in reportrun.h; the dialogs that are
// not part of it are reached through ControlServices.

#include "controls/services.h"

#include <QtWidgets/QWidget>

#include <memory>
#include <span>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSplitter;
class QToolBar;

namespace lg {
class PropertyBag;
struct PersistedProperty;
namespace dao {
class Database;
}
}  // namespace lg

namespace lg::controls {

class ListBrowser;

class ListWizard : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Parameter1 READ Parameter1 WRITE setParameter1 NOTIFY Parameter1Changed)
    Q_PROPERTY(QString Parameter2 READ Parameter2 WRITE setParameter2 NOTIFY Parameter2Changed)
    Q_PROPERTY(QString Parameter3 READ Parameter3 WRITE setParameter3 NOTIFY Parameter3Changed)
    Q_PROPERTY(QString Parameter4 READ Parameter4 WRITE setParameter4 NOTIFY Parameter4Changed)
    Q_PROPERTY(QString Parameter5 READ Parameter5 WRITE setParameter5 NOTIFY Parameter5Changed)
    Q_PROPERTY(QString ReportFolderPath READ ReportFolderPath WRITE setReportFolderPath NOTIFY ReportFolderPathChanged)
    Q_PROPERTY(int WizardType READ WizardType WRITE setWizardType NOTIFY WizardTypeChanged)
    Q_PROPERTY(int ModulID READ ModulID WRITE setModulID NOTIFY ModulIDChanged)
    Q_PROPERTY(bool VisibleCancelButton READ VisibleCancelButton WRITE setVisibleCancelButton NOTIFY
                   VisibleCancelButtonChanged)
    Q_PROPERTY(bool AuthenticWizard READ AuthenticWizard WRITE setAuthenticWizard NOTIFY AuthenticWizardChanged)
    Q_PROPERTY(bool AuthenticEditor READ AuthenticEditor WRITE setAuthenticEditor NOTIFY AuthenticEditorChanged)
    Q_PROPERTY(bool AuthenticExport READ AuthenticExport WRITE setAuthenticExport NOTIFY AuthenticExportChanged)
    Q_PROPERTY(bool AuthenticPrint READ AuthenticPrint WRITE setAuthenticPrint NOTIFY AuthenticPrintChanged)
    Q_PROPERTY(int UserID READ UserID WRITE setUserID NOTIFY UserIDChanged)
    Q_PROPERTY(bool AuthenticAllReport READ AuthenticAllReport WRITE setAuthenticAllReport NOTIFY
                   AuthenticAllReportChanged)
    Q_PROPERTY(bool TableFieldNameCompletteOnUI READ TableFieldNameCompletteOnUI WRITE setTableFieldNameCompletteOnUI
                   NOTIFY TableFieldNameCompletteOnUIChanged)
    Q_PROPERTY(bool TableFieldNameCompletteOnReport READ TableFieldNameCompletteOnReport WRITE
                   setTableFieldNameCompletteOnReport NOTIFY TableFieldNameCompletteOnReportChanged)

public:
    static constexpr const char* kSource = "vlqTabula2.ListWizard";

    explicit ListWizard(QWidget* parent = nullptr);
    ~ListWizard() override;

    // The persisted properties: name, default, key.
    static std::span<const PersistedProperty> persistedProperties();
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // --- properties ------------------------------------------------------------
    // Write-only: kept library-wide for the engine's connection.
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
    int WizardType() const;
    void setWizardType(int v);
    int ModulID() const;
    void setModulID(int v);
    bool VisibleCancelButton() const;
    void setVisibleCancelButton(bool v);
    bool AuthenticWizard() const;
    void setAuthenticWizard(bool v);
    bool AuthenticEditor() const;
    void setAuthenticEditor(bool v);
    bool AuthenticExport() const;
    void setAuthenticExport(bool v);
    bool AuthenticPrint() const;
    void setAuthenticPrint(bool v);
    int UserID() const;
    void setUserID(int v);
    bool AuthenticAllReport() const;
    void setAuthenticAllReport(bool v);
    bool TableFieldNameCompletteOnUI() const;
    void setTableFieldNameCompletteOnUI(bool v);
    bool TableFieldNameCompletteOnReport() const;
    void setTableFieldNameCompletteOnReport(bool v);
    // The library-wide database.
    std::shared_ptr<dao::Database> Database() const;
    void setDatabase(std::shared_ptr<dao::Database> database);

    // The dialogs and services this control uses (the process-wide defaults
    // unless set).
    void setServices(const ControlServices& services);
    const ControlServices& services() const;

    // --- methods ---------------------------------------------------------------
    bool ControlInitialize();
    bool ReportNew();
    bool ShowReport(bool renderToFile);
    bool ReportDelete();
    bool ExecuteAssistent();
    bool ExcelExport();
    void SetCaptionsVisualTheme();
    void showAbout();

    // The command bar's execute handler: runs the command with that id.
    // Nothing runs while the control is loading or another command runs.
    void execute(int commandId);

    // --- state, for hosts and tests ------------------------------------------
    const ListBrowser& browser() const;
    bool isCommandEnabled(int commandId) const;
    QAction* commandAction(int commandId) const;
    bool loading() const;

    // The child controls.
    QToolBar* cmd_main() const;
    QComboBox* ownerSelector() const;
    QComboBox* listTypeSelector() const;
    QListWidget* lst_reports() const;
    QListWidget* lst_groups() const;
    QListWidget* lst_fields() const;
    QLineEdit* txt_list_type() const;
    QLineEdit* txt_create_user() const;
    QLineEdit* txt_description() const;
    QLineEdit* txt_sql_description() const;
    QSplitter* spl_main() const;

Q_SIGNALS:
    void ExitWizard();
    // The host's property-changed notification, with the property's name.
    void PropertyChanged(const QString& name);
    void Parameter1Changed(const QString& v);
    void Parameter2Changed(const QString& v);
    void Parameter3Changed(const QString& v);
    void Parameter4Changed(const QString& v);
    void Parameter5Changed(const QString& v);
    void ReportFolderPathChanged(const QString& v);
    void WizardTypeChanged(int v);
    void ModulIDChanged(int v);
    void VisibleCancelButtonChanged(bool v);
    void AuthenticWizardChanged(bool v);
    void AuthenticEditorChanged(bool v);
    void AuthenticExportChanged(bool v);
    void AuthenticPrintChanged(bool v);
    void UserIDChanged(int v);
    void AuthenticAllReportChanged(bool v);
    void TableFieldNameCompletteOnUIChanged(bool v);
    void TableFieldNameCompletteOnReportChanged(bool v);
    void DatabaseChanged();
    // After every refill of the list box and every change of the panel.
    void stateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::controls
