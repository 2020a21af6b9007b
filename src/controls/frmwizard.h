#pragma once

// frmWizard: the five-step list wizard. A thin face of ListDesignModel: the
// dialog shows the model's state (drop-downs, name and flags, the field
// trees and chosen lists, the aggregate grid, the condition of the field
// being edited) and forwards every input to it. The model writes the
// temporary list, validates, saves each step and finishes; the dialog shows
// what it collected in Errors in one box when a move fails.
//
// Modal pattern: set the properties, Initialize, exec, read ReturnValue
// (0 finished, 1 left) and CurrentItemID (the saved list). Esc, Exit and the
// window's close box leave the wizard; the temporary list is discarded when
// the wizard is left and, at the latest, when the dialog is destroyed.

#include <QtWidgets/QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace lg::ui {
class FieldTree;
}
namespace lg::filters {
class ConditionPanel;
}

namespace lg::controls {

class AggregateFillMenuBar;
class AggregateGridView;
class ChosenFieldList;
class ListDesignModel;
class vW_StepHeader;

class frmWizard : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool TableFieldNameCompletteOnUI READ TableFieldNameCompletteOnUI WRITE setTableFieldNameCompletteOnUI
                   NOTIFY TableFieldNameCompletteOnUIChanged)
    Q_PROPERTY(bool TableFieldNameCompletteOnReport READ TableFieldNameCompletteOnReport WRITE
                   setTableFieldNameCompletteOnReport NOTIFY TableFieldNameCompletteOnReportChanged)
    Q_PROPERTY(QString ReportFolderPath READ ReportFolderPath WRITE setReportFolderPath NOTIFY ReportFolderPathChanged)
    Q_PROPERTY(int ModulID READ ModulID WRITE setModulID NOTIFY ModulIDChanged)
    Q_PROPERTY(int UserID READ UserID WRITE setUserID NOTIFY UserIDChanged)
    Q_PROPERTY(bool AuthenticAllReport READ AuthenticAllReport WRITE setAuthenticAllReport NOTIFY
                   AuthenticAllReportChanged)
    Q_PROPERTY(int CurrentItemID READ CurrentItemID WRITE setCurrentItemID NOTIFY CurrentItemIDChanged)
    Q_PROPERTY(int ReturnValue READ ReturnValue NOTIFY ReturnValueChanged)
    Q_PROPERTY(int CurrentStep READ CurrentStep NOTIFY CurrentStepChanged)

public:
    static constexpr const char* kSource = "vlqTabula2.frmWizard";

    explicit frmWizard(QWidget* parent = nullptr);
    ~frmWizard() override;

    bool TableFieldNameCompletteOnUI() const;
    void setTableFieldNameCompletteOnUI(bool full);
    bool TableFieldNameCompletteOnReport() const;
    void setTableFieldNameCompletteOnReport(bool full);
    QString ReportFolderPath() const;
    void setReportFolderPath(const QString& path);
    int ModulID() const;
    void setModulID(int id);
    int UserID() const;
    void setUserID(int id);
    bool AuthenticAllReport() const;
    void setAuthenticAllReport(bool all);
    int CurrentItemID() const;
    void setCurrentItemID(int id);
    int ReturnValue() const;
    int CurrentStep() const;

    // Prepares the wizard for showing; false without an open database.
    bool Initialize();
    // The navigation buttons: +1 next (finish on step 5), -1 back. False when
    // the move failed; the collected messages were shown in one box.
    bool Move(int direction);
    // cmd_exit: leaves the wizard (ReturnValue 1) and hides it.
    void Exit();

    ListDesignModel* model() const;

    // The controls, by their names on the form.
    vW_StepHeader* hdr_step() const;
    QStackedWidget* pages() const;
    QLabel* lbl_help() const;
    QComboBox* cbo_list_type() const;
    QComboBox* cbo_report() const;
    QLineEdit* txt_report_name() const;
    QLineEdit* txt_report_description() const;
    QRadioButton* opt_process_type(int index) const;
    QCheckBox* chk_filter_form() const;
    QCheckBox* chk_invisible_detail() const;
    QCheckBox* chk_private() const;
    ui::FieldTree* tree_group_fields() const;
    ChosenFieldList* lst_group_fields() const;
    ui::FieldTree* tree_visible_fields() const;
    ChosenFieldList* lst_visible_fields() const;
    AggregateGridView* grd_aggregate() const;
    AggregateFillMenuBar* mnu_aggregate_fill() const;
    ui::FieldTree* tree_where_fields() const;
    filters::ConditionPanel* pnl_conditions() const;
    QPlainTextEdit* txt_sql_description() const;
    QPushButton* cmd_exit() const;
    QPushButton* cmd_back() const;
    QPushButton* cmd_next() const;

    void reject() override;

Q_SIGNALS:
    void TableFieldNameCompletteOnUIChanged(bool full);
    void TableFieldNameCompletteOnReportChanged(bool full);
    void ReportFolderPathChanged(const QString& path);
    void ModulIDChanged(int id);
    void UserIDChanged(int id);
    void AuthenticAllReportChanged(bool all);
    void CurrentItemIDChanged(int id);
    void ReturnValueChanged(int value);
    void CurrentStepChanged(int step);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::controls
