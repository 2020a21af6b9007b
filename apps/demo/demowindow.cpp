#include "demowindow.h"

#include "controls/listbrowser.h"
#include "controls/listwizard.h"
#include "controls/smalllistwizard.h"
#include "platform/dao/dao.h"
#include "store/context.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QTabWidget>

#include "admin/listwizardauthunit.h"
#include <QtWidgets/QToolBar>
#include <QtWidgets/QVBoxLayout>

using namespace Qt::StringLiterals;

namespace demo {

namespace {
// The two lists of the invoicing form.
constexpr long kInvoicesByPartner = 3;
constexpr long kTurnoverByRegion = 5;
}  // namespace

QString invoiceCondition(const QString& paymentMethod, bool unpaidOnly)
{
    QStringList parts;
    if (!paymentMethod.isEmpty()) {
        QString quoted = paymentMethod;
        quoted.replace(u"'"_s, u"''"_s);
        parts << u"[SZ].[fizmod]='%1'"_s.arg(quoted);
    }
    if (unpaidOnly)
        parts << u"[SZ].[fizetve]=0"_s;
    return parts.size() > 1 ? u"("_s + parts.join(u") AND ("_s) + u")"_s : parts.value(0);
}

DemoWindow::DemoWindow(std::shared_ptr<lg::dao::Database> db, const QString& reportsDir, long userId,
                       QWidget* parent)
    : QMainWindow(parent), m_db(std::move(db)), m_reports(reportsDir)
{
    setWindowTitle(u"Nagyker – Dinamikus listagenerátor (demó)"_s);

    auto* userBar = addToolBar(u"Felhasználó"_s);
    userBar->setObjectName(u"userBar"_s);
    userBar->setMovable(false);
    auto* userLabel = new QLabel(u"Bejelentkezett felhasználó: "_s);
    userLabel->setContentsMargins(6, 0, 4, 0);
    userBar->addWidget(userLabel);
    m_users = new QComboBox;
    m_users->setObjectName(u"cboUser"_s);
    QMap<long, QPair<QString, QStringList>> users;
    auto rs = m_db->OpenRecordset(u"SELECT id, display_name FROM vlq_user ORDER BY id"_s,
                                  lg::dao::RecordsetType::Snapshot, lg::dao::dbReadOnly);
    for (; !rs->Eof(); rs->MoveNext())
        users[long(rs->Fields(0).toLongLong())].first = rs->Fields(1).toString();
    auto groups = m_db->OpenRecordset(u"SELECT m.user_id, g.name FROM vlq_user_group_member AS m "
                                      u"INNER JOIN vlq_user_group AS g ON g.id = m.user_group_id "
                                      u"ORDER BY m.user_id, g.id"_s,
                                      lg::dao::RecordsetType::Snapshot, lg::dao::dbReadOnly);
    for (; !groups->Eof(); groups->MoveNext())
        users[long(groups->Fields(0).toLongLong())].second << groups->Fields(1).toString();
    for (auto it = users.cbegin(); it != users.cend(); ++it)
        m_users->addItem(it->second.isEmpty() ? it->first : u"%1 (%2)"_s.arg(it->first, it->second.join(u", "_s)),
                         qlonglong(it.key()));
    userBar->addWidget(m_users);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(u"tabs"_s);
    m_wizard = new lg::controls::ListWizard;
    m_wizard->InitProperties();
    m_wizard->setReportFolderPath(m_reports);
    m_wizard->setDatabase(m_db);
    m_tabs->addTab(m_wizard, u"Listák"_s);
    m_tabs->addTab(buildHostForm(), u"Számlázás"_s);
    m_tabs->addTab(buildAdminPage(), u"Adminisztráció"_s);
    setCentralWidget(m_tabs);
    connect(m_wizard, &lg::controls::ListWizard::ExitWizard, this, &QWidget::close);

    setUser(userId);
    connect(m_users, &QComboBox::currentIndexChanged, this,
            [this](int i) { setUser(long(m_users->itemData(i).toLongLong())); });
    resize(1280, 720);
}

bool DemoWindow::setUser(long userId)
{
    {
        const QSignalBlocker block(m_users);
        m_users->setCurrentIndex(m_users->findData(qlonglong(userId)));
    }
    m_wizard->setUserID(int(userId));
    m_small->setUserID(int(userId));
    m_auth->setUserID(int(userId));
    m_auth->ControlInitialize();
    const bool ok = m_wizard->ControlInitialize();
    statusBar()->showMessage(u"Felhasználó: %1"_s.arg(m_users->currentText()));
    return ok;
}

QWidget* DemoWindow::buildAdminPage()
{
    auto* page = new QWidget;
    page->setObjectName(u"adminPage"_s);
    auto* layout = new QVBoxLayout(page);
    auto* intro = new QLabel(
        u"A felhasználó csoportok tiltásai (ListWizardAuthUnit). Ami nincs megtiltva, az engedélyezett; egy tiltás "
        u"a Listák fülön a csoport tagjainak azonnal érvényes. A katalógus szerkesztője a Listák fül "
        u"„Listagenerátor paraméterezés” parancsával nyílik meg."_s);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_auth = new lg::admin::ListWizardAuthUnit;
    m_auth->InitProperties();
    m_auth->setDatabase(m_db);
    layout->addWidget(m_auth, 1);
    // A denial reaches the list control at its next initialisation.
    connect(m_auth, &lg::admin::ListWizardAuthUnit::DenialsChanged, this, [this] { m_wizard->ControlInitialize(); });
    return page;
}

QWidget* DemoWindow::buildHostForm()
{
    auto* page = new QWidget;
    page->setObjectName(u"hostForm"_s);
    auto* layout = new QVBoxLayout(page);

    auto* intro = new QLabel(
        u"A számlázó program saját űrlapja: két rögzített listát futtat a SmallListWizard vezérlővel, "
        u"a lent beállított feltétellel szűkítve."_s);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* filter = new QGroupBox(u"Feltétel"_s);
    auto* form = new QFormLayout(filter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_payment = new QComboBox;
    m_payment->setObjectName(u"cboPayment"_s);
    m_payment->addItem(u"(mind)"_s, QString());
    for (const QString& p : {u"átutalás"_s, u"készpénz"_s, u"bankkártya"_s})
        m_payment->addItem(p, p);
    form->addRow(u"Fizetési mód:"_s, m_payment);
    m_unpaid = new QCheckBox(u"Csak a kifizetetlen számlák"_s);
    m_unpaid->setObjectName(u"chkUnpaid"_s);
    form->addRow(QString(), m_unpaid);
    m_condition = new QLabel;
    m_condition->setObjectName(u"lblCondition"_s);
    m_condition->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(u"sFilter:"_s, m_condition);
    layout->addWidget(filter);

    m_small = new lg::controls::SmallListWizard;
    m_small->InitProperties();
    m_small->setReportFolderPath(m_reports);
    m_small->setDatabase(m_db);

    auto condition = [this] {
        return invoiceCondition(m_payment->currentData().toString(), m_unpaid->isChecked());
    };
    auto showCondition = [this, condition] {
        const QString c = condition();
        m_condition->setText(c.isEmpty() ? u"(nincs)"_s : c);
    };
    connect(m_payment, &QComboBox::currentIndexChanged, this, showCondition);
    connect(m_unpaid, &QCheckBox::toggled, this, showCondition);
    showCondition();

    const struct {
        long list;
        QString title;
    } lists[] = {{kInvoicesByPartner, u"Számlák partnerenként 2024"_s},
                 {kTurnoverByRegion, u"Forgalom régió, fizetési mód és partner szerint"_s}};
    for (const auto& l : lists) {
        auto* box = new QGroupBox(l.title);
        auto* row = new QHBoxLayout(box);
        auto* preview = new QPushButton(u"Előnézet"_s);
        auto* toFile = new QPushButton(u"Mentés fájlba..."_s);
        auto* excel = new QPushButton(u"Excel..."_s);
        preview->setObjectName(u"cmdPreview%1"_s.arg(l.list));
        excel->setObjectName(u"cmdExcel%1"_s.arg(l.list));
        row->addWidget(preview);
        row->addWidget(toFile);
        row->addWidget(excel);
        row->addStretch();
        connect(preview, &QPushButton::clicked, this,
                [this, condition, id = l.list] { m_small->ShowReport(id, false, condition()); });
        connect(toFile, &QPushButton::clicked, this,
                [this, condition, id = l.list] { m_small->ShowReport(id, true, condition()); });
        connect(excel, &QPushButton::clicked, this,
                [this, condition, id = l.list] { m_small->ExcelExport(id, condition()); });
        layout->addWidget(box);
    }
    auto* iconRow = new QHBoxLayout;
    iconRow->addWidget(m_small);
    iconRow->addWidget(new QLabel(u"SmallListWizard"_s));
    iconRow->addStretch();
    layout->addLayout(iconRow);
    layout->addStretch();
    return page;
}

}  // namespace demo
