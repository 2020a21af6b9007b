#pragma once

// frmPreFilter: the dialog asked before a list that allows pre-filtering
// runs. The user picks fields of the list's type (up to the list's table
// priority) and enters extra conditions with the same filter controls as
// the wizard's conditions step; confirming hands the extra SQL condition
// and the combined description to the caller. Nothing is stored: the
// conditions live in the dialog's model (PreFilterModel) while it is open.
//
// Ctrl+Enter anywhere in the dialog confirms, Esc (without modifier keys)
// cancels; Enter alone stays with the control that has the focus.

#include <QtWidgets/QDialog>

#include <memory>

#include "controls/services.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lg::ui {
class FieldTree;
}
namespace lg::filters {
class ConditionPanel;
}

namespace lg::controls {

class PreFilterModel;

class frmPreFilter : public QDialog {
    Q_OBJECT
    // 0 confirmed, 1 cancelled (also before the dialog was answered).
    Q_PROPERTY(int ReturnValue READ ReturnValue NOTIFY ReturnValueChanged)
    // In: set before Initialize.
    Q_PROPERTY(bool TableFieldNameCompletteOnUI READ TableFieldNameCompletteOnUI WRITE
                   setTableFieldNameCompletteOnUI NOTIFY settingsChanged)
    Q_PROPERTY(bool TableFieldNameCompletteOnReport READ TableFieldNameCompletteOnReport WRITE
                   setTableFieldNameCompletteOnReport NOTIFY settingsChanged)
    Q_PROPERTY(int UserID READ UserID WRITE setUserID NOTIFY settingsChanged)
    Q_PROPERTY(int TablePriority READ TablePriority WRITE setTablePriority NOTIFY settingsChanged)
    Q_PROPERTY(int ListWizardType READ ListWizardType WRITE setListWizardType NOTIFY settingsChanged)
    Q_PROPERTY(QString original_sql_description READ original_sql_description WRITE set_original_sql_description
                   NOTIFY settingsChanged)
    Q_PROPERTY(QString ReportName READ ReportName WRITE setReportName NOTIFY settingsChanged)
    // Out: read after the dialog was confirmed.
    Q_PROPERTY(QString sql_description READ sql_description NOTIFY resultChanged)
    Q_PROPERTY(QString sql_field_where READ sql_field_where NOTIFY resultChanged)

public:
    explicit frmPreFilter(QWidget* parent = nullptr);
    ~frmPreFilter() override;

    int ReturnValue() const;
    bool TableFieldNameCompletteOnUI() const;
    void setTableFieldNameCompletteOnUI(bool on);
    bool TableFieldNameCompletteOnReport() const;
    void setTableFieldNameCompletteOnReport(bool on);
    int UserID() const;
    void setUserID(int id);
    int TablePriority() const;
    void setTablePriority(int priority);
    int ListWizardType() const;
    void setListWizardType(int id);
    QString original_sql_description() const;
    void set_original_sql_description(const QString& description);
    QString ReportName() const;
    void setReportName(const QString& name);
    QString sql_description() const;
    QString sql_field_where() const;

    // Sets all inputs from a request at once.
    void setRequest(const PreFilterRequest& request);

    // Reads the list type and its pre-filterable fields and shows the
    // list's own description. False (the reason in Errors) when the dialog
    // cannot be offered; the caller then does not show it.
    bool Initialize();

    // Switches the conditions to another field (-1: none); see PreFilterModel.
    bool InitCurrentFilterControl(long tableFieldId);

    // Confirms (stores the condition being edited) or cancels, and hides.
    void confirm();
    void reject() override;

    PreFilterModel& model() const;
    ui::FieldTree* tree_where_fields() const;
    filters::ConditionPanel* conditions() const;
    QPlainTextEdit* txt_sql_description() const;
    QPushButton* cmd_ok() const;
    QPushButton* cmd_cancel() const;

Q_SIGNALS:
    void ReturnValueChanged(int value);
    void settingsChanged();
    void resultChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setReturnValue(int value);
    void showDescription();

    struct Private;
    std::unique_ptr<Private> d;
};

// The pre-filter prompt of the controls: frmPreFilter, modal. A dialog that
// cannot be initialised shows the collected errors and answers so.
class PreFilterDialogPrompt : public PreFilterPrompt {
public:
    PreFilterAnswer ask(QWidget* parent, const PreFilterRequest& request) override;
};

}  // namespace lg::controls
