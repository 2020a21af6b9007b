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
/// The list generator control for a host's form: the lists the user may run, their information panel and the command
/// bar. Set Database, UserID and ModulID, then call ControlInitialize().

class ListWizard : public QWidget {
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
    /// 1 viewer (running only: no New and Delete commands), 2 editor.
    Q_PROPERTY(int WizardType READ WizardType WRITE setWizardType DESIGNABLE true NOTIFY WizardTypeChanged)
    /// The host's module: an id of 1 or more offers only that module's list types.
    Q_PROPERTY(int ModulID READ ModulID WRITE setModulID DESIGNABLE true NOTIFY ModulIDChanged)
    /// Shows the Exit command, which emits ExitWizard().
    Q_PROPERTY(bool VisibleCancelButton READ VisibleCancelButton WRITE setVisibleCancelButton
                   DESIGNABLE true NOTIFY VisibleCancelButtonChanged)
    /// The user may design lists (the New command).
    Q_PROPERTY(bool AuthenticWizard READ AuthenticWizard WRITE setAuthenticWizard
                   DESIGNABLE true NOTIFY AuthenticWizardChanged)
    /// The user may open the catalogue editor.
    Q_PROPERTY(bool AuthenticEditor READ AuthenticEditor WRITE setAuthenticEditor
                   DESIGNABLE true NOTIFY AuthenticEditorChanged)
    /// The user may export lists to files and to Excel.
    Q_PROPERTY(bool AuthenticExport READ AuthenticExport WRITE setAuthenticExport
                   DESIGNABLE true NOTIFY AuthenticExportChanged)
    /// The user may print and preview lists.
    Q_PROPERTY(
        bool AuthenticPrint READ AuthenticPrint WRITE setAuthenticPrint DESIGNABLE true NOTIFY AuthenticPrintChanged)
    /// The host's id of the user who works with the control; decides which lists are shown and who owns new ones.
    Q_PROPERTY(int UserID READ UserID WRITE setUserID DESIGNABLE true NOTIFY UserIDChanged)
    /// The user sees the private lists of others too.
    Q_PROPERTY(bool AuthenticAllReport READ AuthenticAllReport WRITE setAuthenticAllReport
                   DESIGNABLE true NOTIFY AuthenticAllReportChanged)
    /// Field names on screen carry their table's name.
    Q_PROPERTY(bool TableFieldNameCompletteOnUI READ TableFieldNameCompletteOnUI WRITE setTableFieldNameCompletteOnUI
                   DESIGNABLE true NOTIFY TableFieldNameCompletteOnUIChanged)
    /// Field names on reports carry their table's name.
    Q_PROPERTY(bool TableFieldNameCompletteOnReport READ TableFieldNameCompletteOnReport WRITE
                   setTableFieldNameCompletteOnReport DESIGNABLE true NOTIFY TableFieldNameCompletteOnReportChanged)

public:
    /// The source name in run-time error traces.
    static constexpr const char* kSource = "vlqTabula2.ListWizard";
    /// Builds the control; it needs no database until ControlInitialize().

    explicit ListWizard(QWidget* parent = nullptr);
    ~ListWizard() override;
    /// The persisted properties: name, default, key.

    static std::span<const PersistedProperty> persistedProperties();
    /// Sets every persisted property to its default.
    void InitProperties();
    /// Reads the persisted properties from a property bag.
    void ReadProperties(const PropertyBag& bag);
    /// Writes the persisted properties into a property bag.
    void WriteProperties(PropertyBag& bag) const;

    // --- properties ------------------------------------------------------------
    /// Write-only: kept library-wide for the engine's connection.
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
    /// The library-wide database.
    std::shared_ptr<dao::Database> Database() const;
    void setDatabase(std::shared_ptr<dao::Database> database);

    /// The dialogs and services this control uses (the process-wide defaults
    /// unless set).
    void setServices(const ControlServices& services);
    const ControlServices& services() const;

    // --- methods ---------------------------------------------------------------
    /// Loads the list types and the lists the user may run; false (with Errors filled) when it cannot.
    bool ControlInitialize();
    /// Opens the list wizard for a new list of the chosen type.
    bool ReportNew();
    /// Runs the selected list into the preview, or into a file when renderToFile is true.
    bool ShowReport(bool renderToFile);
    /// Deletes the selected list after asking.
    bool ReportDelete();
    /// Runs the chosen list type's assistant.
    bool ExecuteAssistent();
    /// Exports the selected list's rows to an Excel workbook.
    bool ExcelExport();
    /// Reloads the captions from the string table and applies the theme.
    void SetCaptionsVisualTheme();
    /// Shows the about box.
    void showAbout();

    /// The command bar's execute handler: runs the command with that id.
    /// Nothing runs while the control is loading or another command runs.
    void execute(int commandId);

    // --- state, for hosts and tests ------------------------------------------
    /// The headless state behind the control (lists, selection, panel).
    const ListBrowser& browser() const;
    /// Whether the command with that id is enabled now.
    bool isCommandEnabled(int commandId) const;
    /// The command bar's action of that id.
    QAction* commandAction(int commandId) const;
    /// True while the control fills its lists.
    bool loading() const;

    /// The child controls.
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
    /// The user chose Exit.
    void ExitWizard();
    /// The host's property-changed notification, with the property's name.
    void PropertyChanged(const QString& name);
    /// Property notifications, with the new value.
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
    /// The database was replaced.
    void DatabaseChanged();
    /// After every refill of the list box and every change of the panel.
    void stateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::controls
