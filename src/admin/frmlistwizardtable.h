#pragma once

// frmListWizardTable: the modal form that edits one catalogue table
// (ListWizardTable::ShowForm opens it). The visible name is always editable;
// the columns that tie the table to the database only when the editor has
// been unlocked. OK (or Ctrl+Enter) validates and writes through saveTable
// (catalogueedit.h): with errors the form stays open and shows them all in
// one box; Esc or Mégsem closes it with ReturnValue 1.

#include <QtWidgets/QDialog>

#include <memory>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lg {
class ListWizardTable;
}

namespace lg::admin {

class frmListWizardTable : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int ReturnValue READ ReturnValue NOTIFY ReturnValueChanged)

public:
    explicit frmListWizardTable(QWidget* parent = nullptr);
    ~frmListWizardTable() override;

    // The record edited; the caller keeps it and clears it afterwards.
    ListWizardTable* oData() const;
    void setOData(ListWizardTable* record);
    // Fills the form from oData; ReturnValue becomes 1.
    void Initialize();
    // 0 saved, 1 cancelled.
    int ReturnValue() const;

    // OK: validates and writes; true when written (the form is then hidden).
    bool save();

    QLineEdit* txt_visible_name() const;
    QLineEdit* txt_table_name() const;
    QLineEdit* txt_table_alias() const;
    QComboBox* cbo_qpi() const;
    QPlainTextEdit* txt_where_clause_qpi() const;
    QPlainTextEdit* txt_where_clause_sql() const;
    QLineEdit* txt_primarykey_name() const;
    QLineEdit* txt_primarykey_field() const;
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
