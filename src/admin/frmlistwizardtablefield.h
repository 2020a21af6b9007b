#pragma once

// frmListWizardTableField: the modal form that edits one catalogue field
// (ListWizardTableField::ShowForm opens it). The visible name and the
// presentation settings (flags, width, format, default search field) are
// always editable; name, grouping column, type, filter control and condition
// only when the editor has been unlocked. The default search field counts
// only for the quick-pick filter (7). A preview label, as wide as the width
// entered, shows how the column will look on the report. OK (or Ctrl+Enter)
// validates and writes through saveField (catalogueedit.h).

#include <QtWidgets/QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace lg {
class ListWizardTableField;
}

namespace lg::admin {

class frmListWizardTableField : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int ReturnValue READ ReturnValue NOTIFY ReturnValueChanged)

public:
    explicit frmListWizardTableField(QWidget* parent = nullptr);
    ~frmListWizardTableField() override;

    ListWizardTableField* oData() const;
    void setOData(ListWizardTableField* record);
    void Initialize();
    int ReturnValue() const;
    bool save();

    QLineEdit* txt_visible_name() const;
    QLineEdit* txt_field_name() const;
    QLineEdit* txt_group_field_name() const;
    QComboBox* cbo_field_type() const;
    QComboBox* cbo_field_control_type() const;
    QPlainTextEdit* txt_where_clause() const;
    QCheckBox* chk_visibled() const;
    QCheckBox* chk_filtered() const;
    QCheckBox* chk_groupable() const;
    QCheckBox* chk_aggregated() const;
    QSpinBox* nb_field_width() const;
    QLineEdit* txt_field_format() const;
    QComboBox* cbo_default_search_field() const;
    QLabel* lbl_width_preview() const;
    QPushButton* cmd_ok() const;
    QPushButton* cmd_cancel() const;

Q_SIGNALS:
    void ReturnValueChanged(int value);

protected:
    void reject() override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::admin
