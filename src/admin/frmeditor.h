#pragma once

// frmEditor: the catalogue editor. It lists a module's list types, the
// tables of the chosen type and the fields of the chosen table, with the
// details of the current table and field. Double-click or F7 opens the
// table's or field's edit form (ShowForm); Esc or Kilépés closes it.
//
// The label lbl_god_label carries the hidden unlock: the right button with
// Shift, Ctrl and Alt held asks for the editor's password (UnlockGate, three
// tries per editor form).

#include <QtWidgets/QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace lg::admin {

class frmEditor : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int ModulID READ ModulID WRITE setModulID NOTIFY ModulIDChanged)

public:
    explicit frmEditor(QWidget* parent = nullptr);
    ~frmEditor() override;

    int ModulID() const;
    void setModulID(int v);
    // Fills the list types and selects the first; false without a database.
    bool Initialize();

    // Opens the edit form of the current table / field; true when saved.
    bool editTable();
    bool editField();
    // The hidden gesture, as the label receives it.
    void unlockGesture();
    int unlockTries() const;

    QComboBox* cbo_list_type() const;
    QListWidget* lst_tables() const;
    QListWidget* lst_fields() const;
    QLabel* lbl_god_label() const;
    QPushButton* cmd_cancel() const;
    // A detail label by its column name ("table_name", "field_type", ...).
    QLabel* detail(const QString& column) const;
    QPlainTextEdit* txt_where_clause_qpi() const;
    QPlainTextEdit* txt_where_clause_sql() const;
    QPlainTextEdit* txt_field_where_clause() const;

Q_SIGNALS:
    void ModulIDChanged(int v);
    // The edit form of a table or field saved it.
    void tableSaved(int id);
    void fieldSaved(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Installs the edit forms as the ShowForm of ListWizardTable and
// ListWizardTableField (frmEditor does so when it is created).
void installEditForms();

}  // namespace lg::admin
