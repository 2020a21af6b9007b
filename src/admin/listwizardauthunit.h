#pragma once

// ListWizardAuthUnit: the control with which an administrator of the host
// records and lifts permission denials. The kind (edit or run), a user group,
// a list type and, for run denials, a list are chosen in four combos; the
// grid lists the live denials of the chosen kind; two sentences say what the
// deny command and the bulk lift would do. The decisions and the writes are
// in authadmin.h; the control shows their state and forwards the commands.
//
// The host sets Database (and ModulID, UserID, DatabasePassword) and calls
// ControlInitialize.

#include <QtWidgets/QWidget>

#include <memory>
#include <span>

class QComboBox;
class QLabel;
class QPushButton;

namespace lg {
class PropertyBag;
struct PersistedProperty;
namespace dao {
class Database;
}
namespace ui {
class BrowseView;
}
}  // namespace lg

namespace lg::admin {

struct AuthChoice;
/// The permission administration control: records and lifts edit and run denials of user groups on list types and
/// lists. Set Database, then call ControlInitialize().

class ListWizardAuthUnit : public QWidget {
    Q_OBJECT
    /// Write only: the password is kept library-wide and never read back.
    Q_PROPERTY(QString DatabasePassword READ DatabasePassword WRITE setDatabasePassword
                   DESIGNABLE false STORED false NOTIFY DatabasePasswordChanged)
    /// The host's module: an id of 1 or more offers only that module's list types.
    Q_PROPERTY(int ModulID READ ModulID WRITE setModulID DESIGNABLE true NOTIFY ModulIDChanged)
    /// The host's id of the administrator.
    Q_PROPERTY(int UserID READ UserID WRITE setUserID DESIGNABLE true NOTIFY UserIDChanged)

public:
    /// Builds the control; it needs no database until ControlInitialize().
    explicit ListWizardAuthUnit(QWidget* parent = nullptr);
    ~ListWizardAuthUnit() override;

    QString DatabasePassword() const { return {}; }
    void setDatabasePassword(const QString& password);
    int ModulID() const;
    void setModulID(int v);
    int UserID() const;
    void setUserID(int v);
    /// The library-wide database the denials are stored in.
    std::shared_ptr<dao::Database> Database() const;
    void setDatabase(std::shared_ptr<dao::Database> database);

    /// The design-time properties ("ModulID", "UserID").
    static std::span<const PersistedProperty> persistedProperties();
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    /// Fills the combos and the grid; false (with Errors filled) when it cannot.

    bool ControlInitialize();
    /// Denies the chosen group the chosen type (or list); positions the grid on
    /// the denial, new or existing.
    bool AuthNew();
    /// Lifts the denial selected in the grid, after asking.
    bool AuthDel();
    /// Lifts every denial that matches the choices, after asking.
    bool AuthDelWithGroup();
    /// Reloads the captions from the string table and applies the theme.
    void SetCaptionsVisualTheme();

    /// What is chosen now, with the shown names.
    AuthChoice choice() const;
    /// The kind shown (0 edit, 1 run).
    int authType() const;
    /// The child controls, for hosts that restyle them and for tests.

    QComboBox* cbo_auth_type() const;
    QComboBox* cbo_user_group() const;
    QComboBox* cbo_type() const;
    QComboBox* cbo_report() const;
    QPushButton* cmd_disabled() const;
    QPushButton* cmd_enabled() const;
    QPushButton* cmd_enabled_all() const;
    QLabel* lbl_sub() const;
    QLabel* lbl_sub_2() const;
    ui::BrowseView* grid() const;

Q_SIGNALS:
    /// Property notifications.
    void DatabasePasswordChanged();
    void ModulIDChanged(int v);
    void UserIDChanged(int v);
    /// The database was replaced.
    void DatabaseChanged();
    /// A command changed the denials; the id is the denial shown (-1 none).
    void DenialsChanged(int id);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::admin
