#pragma once

// The demo's main window: a user chooser, the ListWizard on its first tab
// and, on the second, an invoicing form of the host that runs two fixed
// lists through SmallListWizard with a condition of its own.

#include <QtWidgets/QMainWindow>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QTabWidget;

namespace lg::dao {
class Database;
}
namespace lg::controls {
class ListWizard;
class SmallListWizard;
}  // namespace lg::controls
namespace lg::admin {
class ListWizardAuthUnit;
}

namespace demo {

// The host's condition on invoices: a payment method ("" for any) and
// whether only the unpaid ones count; empty when nothing narrows.
QString invoiceCondition(const QString& paymentMethod, bool unpaidOnly);

class DemoWindow : public QMainWindow {
    Q_OBJECT
public:
    DemoWindow(std::shared_ptr<lg::dao::Database> db, const QString& reportsDir, long userId,
               QWidget* parent = nullptr);

    lg::controls::ListWizard* listWizard() const { return m_wizard; }
    QTabWidget* tabs() const { return m_tabs; }
    lg::admin::ListWizardAuthUnit* authUnit() const { return m_auth; }
    // Switches the user: both controls start again for the new user.
    bool setUser(long userId);

private:
    QWidget* buildHostForm();
    QWidget* buildAdminPage();

    std::shared_ptr<lg::dao::Database> m_db;
    QString m_reports;
    QComboBox* m_users = nullptr;
    QTabWidget* m_tabs = nullptr;
    lg::controls::ListWizard* m_wizard = nullptr;
    lg::controls::SmallListWizard* m_small = nullptr;
    lg::admin::ListWizardAuthUnit* m_auth = nullptr;
    QComboBox* m_payment = nullptr;
    QCheckBox* m_unpaid = nullptr;
    QLabel* m_condition = nullptr;
};

}  // namespace demo
