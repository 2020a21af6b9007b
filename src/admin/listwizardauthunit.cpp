#include "admin/listwizardauthunit.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include "admin/authadmin.h"
#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/message.h"
#include "platform/propertybag.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"
#include "ui/browseview.h"
#include "ui/captions.h"
#include "ui/listutils.h"
#include "ui/recordsetfill.h"

namespace lg::admin {

using namespace Qt::StringLiterals;

namespace {

constexpr char kSource[] = "vlqTabula2.ListWizardAuthUnit";

const PersistedProperty kProperties[] = {
    {"ModulID", -1},
    {"UserID", -1},
};

QLabel* captionLabel(int stringId, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setProperty(kCaptionTag, stringId);
    l->setBuddy(buddy);
    return l;
}

QPushButton* commandButton(const char* name, int stringId, QWidget* parent)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setProperty(kCaptionTag, stringId);
    return b;
}

}  // namespace

struct ListWizardAuthUnit::Private {
    ListWizardAuthUnit* q;
    long modulId = -1;
    long userId = -1;
    int kind = 0;
    bool loading = false;
    bool initialized = false;

    QComboBox* authType = nullptr;
    QComboBox* group = nullptr;
    QComboBox* type = nullptr;
    QComboBox* report = nullptr;
    QLabel* reportLabel = nullptr;
    QPushButton* deny = nullptr;
    QPushButton* liftOne = nullptr;
    QPushButton* liftAll = nullptr;
    QLabel* denySentence = nullptr;
    QLabel* liftSentence = nullptr;
    ui::BrowseView* grid = nullptr;

    template <class F> bool userFacing(const char* procedure, F&& body)
    {
        bool result = false;
        runUserFacing(QString::fromLatin1(kSource), QString::fromLatin1(procedure), [&] { result = body(); });
        ShowErrors();
        return result;
    }

    static long data(const QComboBox* combo) { return GetSelectedItemData(combo, -1).toLongLong(); }

    AuthChoice choice() const
    {
        AuthChoice c;
        c.kind = kind;
        c.groupId = data(group);
        c.typeId = data(type);
        c.listId = kind == kRunDenial ? data(report) : kNotChosen;
        c.group = group->currentText();
        c.type = type->currentText();
        c.list = report->currentText();
        return c;
    }

    void fill(QComboBox* combo, const QString& sql)
    {
        combo->clear();
        std::shared_ptr<dao::Recordset> rs;
        if (!sql.isEmpty() && ctx().database)
            rs = ctx().database->OpenRecordset(sql, dao::RecordsetType::Snapshot, dao::dbReadOnly);
        if (rs)
            FillListFromRecordset(combo, rs, u"##name"_s, LoadResString(30180), -1);
        else {
            combo->addItem(LoadResString(30180), -1);
            combo->setCurrentIndex(0);
        }
    }

    void fillReports()
    {
        traced(QString::fromLatin1(kSource), TraceKind::Sub, u"FillReports"_s, [&] {
            const QSignalBlocker block(report);
            const long t = data(type);
            if (kind == kRunDenial)
                fill(report, t != kNotChosen ? listsOfTypeSql(t) : QString());
            else
                report->clear();
        });
    }

    void fillCombos()
    {
        traced(QString::fromLatin1(kSource), TraceKind::Sub, u"FillCombos"_s, [&] {
            const QSignalBlocker b1(authType), b2(group), b3(type);
            authType->clear();
            authType->addItem(LoadResString(30160), int(kEditDenial));
            authType->addItem(LoadResString(30170), int(kRunDenial));
            authType->setCurrentIndex(kind);
            fill(group, userGroupsSql());
            fill(type, listTypesSql(modulId));
            fillReports();
        });
    }

    void initBrowse(int positionOn = -1)
    {
        traced(QString::fromLatin1(kSource), TraceKind::Sub, u"InitBrowse"_s, [&] {
            if (!ctx().database)
                return;
            if (!grid->open(ctx().database, denialsBrowse(kind == kRunDenial), denialsFilter(kind)))
                throw RuntimeError(0, QString::fromLatin1(kSource), grid->lastError());
            if (positionOn != -1)
                grid->setCurrentId(positionOn);
        });
    }

    void updateCommandState()
    {
        if (loading)
            return;
        deny->setEnabled(canDeny(choice()));
    }

    void updateSentences()
    {
        const AuthChoice c = choice();
        const Sentence s = admin::denySentence(c);
        denySentence->setText(s.text);
        QPalette p = denySentence->palette();
        p.setColor(QPalette::WindowText, colorFromWin(s.colour, q->palette()));
        denySentence->setPalette(p);
        liftSentence->setText(bulkLiftSentence(c));
    }

    void showKind()
    {
        const bool run = kind == kRunDenial;
        report->setVisible(run);
        reportLabel->setVisible(run);
    }

    void refresh(int id)
    {
        initBrowse(id);
        Q_EMIT q->DenialsChanged(grid->currentId());
    }
};

ListWizardAuthUnit::ListWizardAuthUnit(QWidget* parent) : QWidget(parent), d(new Private{this})
{
    setObjectName(u"ListWizardAuthUnit"_s);
    d->authType = new QComboBox(this);
    d->authType->setObjectName(u"cbo_auth_type"_s);
    d->group = new QComboBox(this);
    d->group->setObjectName(u"cbo_user_group"_s);
    d->type = new QComboBox(this);
    d->type->setObjectName(u"cbo_type"_s);
    d->report = new QComboBox(this);
    d->report->setObjectName(u"cbo_report"_s);
    for (QComboBox* c : {d->authType, d->group, d->type, d->report})
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    d->deny = commandButton("cmd_disabled", 30130, this);
    d->liftOne = commandButton("cmd_enabled", 30150, this);
    d->liftAll = commandButton("cmd_enabled_all", 30140, this);
    d->denySentence = new QLabel(this);
    d->denySentence->setObjectName(u"lbl_sub_2"_s);
    d->liftSentence = new QLabel(this);
    d->liftSentence->setObjectName(u"lbl_sub"_s);
    for (QLabel* l : {d->denySentence, d->liftSentence}) {
        l->setWordWrap(true);
        l->setMinimumHeight(fontMetrics().height() * 2 + 4);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    d->grid = new ui::BrowseView(this);
    d->grid->setObjectName(u"grid"_s);

    auto* choices = new QGridLayout;
    choices->addWidget(captionLabel(30090, d->authType, this), 0, 0);
    choices->addWidget(d->authType, 0, 1);
    choices->addWidget(captionLabel(30100, d->group, this), 1, 0);
    choices->addWidget(d->group, 1, 1);
    choices->addWidget(captionLabel(30110, d->type, this), 2, 0);
    choices->addWidget(d->type, 2, 1);
    d->reportLabel = captionLabel(30120, d->report, this);
    choices->addWidget(d->reportLabel, 3, 0);
    choices->addWidget(d->report, 3, 1);
    choices->setColumnStretch(1, 1);

    auto* commands = new QHBoxLayout;
    commands->addWidget(d->deny);
    commands->addWidget(d->liftOne);
    commands->addWidget(d->liftAll);
    commands->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(d->denySentence);
    layout->addWidget(d->liftSentence);
    layout->addLayout(commands);
    layout->addWidget(d->grid, 1);

    LoadCaptions(this);
    d->showKind();

    connect(d->authType, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (d->loading || index < 0)
            return;
        d->userFacing("cbo_auth_type_Click", [&] {
            d->kind = d->authType->itemData(index).toInt();
            d->fillReports();
            d->showKind();
            d->initBrowse();
            d->updateSentences();
            return true;
        });
    });
    connect(d->type, &QComboBox::currentIndexChanged, this, [this](int) {
        if (d->loading)
            return;
        d->userFacing("cbo_type_Click", [&] {
            d->fillReports();
            d->updateCommandState();
            d->updateSentences();
            return true;
        });
    });
    connect(d->group, &QComboBox::currentIndexChanged, this, [this](int) {
        if (d->loading)
            return;
        d->updateCommandState();
        d->updateSentences();
    });
    connect(d->report, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!d->loading)
            d->updateSentences();
    });
    connect(d->deny, &QPushButton::clicked, this, [this] { AuthNew(); });
    connect(d->liftOne, &QPushButton::clicked, this, [this] { AuthDel(); });
    connect(d->liftAll, &QPushButton::clicked, this, [this] { AuthDelWithGroup(); });
    d->deny->setEnabled(false);
    d->updateSentences();
}

ListWizardAuthUnit::~ListWizardAuthUnit() = default;

void ListWizardAuthUnit::setDatabasePassword(const QString& password)
{
    ctx().databasePassword = password;
    Q_EMIT DatabasePasswordChanged();
}

int ListWizardAuthUnit::ModulID() const { return int(d->modulId); }
void ListWizardAuthUnit::setModulID(int v)
{
    if (d->modulId == v)
        return;
    d->modulId = v;
    Q_EMIT ModulIDChanged(v);
}

int ListWizardAuthUnit::UserID() const { return int(d->userId); }
void ListWizardAuthUnit::setUserID(int v)
{
    d->userId = v;
    ctx().userId = v;
    Q_EMIT UserIDChanged(v);
}

std::shared_ptr<dao::Database> ListWizardAuthUnit::Database() const { return ctx().database; }
void ListWizardAuthUnit::setDatabase(std::shared_ptr<dao::Database> database)
{
    ctx().database = std::move(database);
    Q_EMIT DatabaseChanged();
}

std::span<const PersistedProperty> ListWizardAuthUnit::persistedProperties() { return kProperties; }
void ListWizardAuthUnit::InitProperties() { initProperties(this, kProperties); }
void ListWizardAuthUnit::ReadProperties(const PropertyBag& bag) { readProperties(this, bag, kProperties); }
void ListWizardAuthUnit::WriteProperties(PropertyBag& bag) const { writeProperties(this, bag, kProperties); }

bool ListWizardAuthUnit::ControlInitialize()
{
    d->kind = 0;
    if (!ctx().database)
        return false;
    ctx().newErrors();
    const bool result = d->userFacing("ControlInitialize", [&] {
        modTables::Initialize();
        d->loading = true;
        struct Loaded {
            bool& flag;
            ~Loaded() { flag = false; }
        } loaded{d->loading};
        d->fillCombos();
        d->showKind();
        d->initBrowse();
        return true;
    });
    d->initialized = result;
    d->updateCommandState();
    d->updateSentences();
    return result;
}

bool ListWizardAuthUnit::AuthNew()
{
    if (!ctx().database)
        return false;
    if (!canDeny(d->choice()))
        return false;
    return d->userFacing("AuthNew", [&] {
        long id = -1;
        const DenyOutcome outcome = deny(d->choice(), id);
        if (outcome == DenyOutcome::Refused || outcome == DenyOutcome::Failed)
            return false;
        if (outcome == DenyOutcome::Written)
            d->refresh(int(id));
        else
            d->grid->setCurrentId(int(id));
        return true;
    });
}

bool ListWizardAuthUnit::AuthDel()
{
    if (!ctx().database)
        return false;
    if (ctx().messageService().MsgQuestionYesNo(LoadResString(30340)) != msg::Yes)
        return false;
    return d->userFacing("AuthDel", [&] {
        const int id = d->grid->currentId();
        if (!lift(id))
            return false;
        d->refresh(-1);
        return true;
    });
}

bool ListWizardAuthUnit::AuthDelWithGroup()
{
    if (!ctx().database)
        return false;
    if (ctx().messageService().MsgQuestionYesNo(LoadResString(30350)) != msg::Yes)
        return false;
    return d->userFacing("AuthDelWithGroup", [&] {
        if (!liftInBulk(d->choice(), d->modulId))
            return false;
        d->refresh(-1);
        return true;
    });
}

void ListWizardAuthUnit::SetCaptionsVisualTheme()
{
    LoadCaptions(this);
    lg::SetCaptionsVisualTheme(this);
}

AuthChoice ListWizardAuthUnit::choice() const { return d->choice(); }
int ListWizardAuthUnit::authType() const { return d->kind; }
QComboBox* ListWizardAuthUnit::cbo_auth_type() const { return d->authType; }
QComboBox* ListWizardAuthUnit::cbo_user_group() const { return d->group; }
QComboBox* ListWizardAuthUnit::cbo_type() const { return d->type; }
QComboBox* ListWizardAuthUnit::cbo_report() const { return d->report; }
QPushButton* ListWizardAuthUnit::cmd_disabled() const { return d->deny; }
QPushButton* ListWizardAuthUnit::cmd_enabled() const { return d->liftOne; }
QPushButton* ListWizardAuthUnit::cmd_enabled_all() const { return d->liftAll; }
QLabel* ListWizardAuthUnit::lbl_sub() const { return d->liftSentence; }
QLabel* ListWizardAuthUnit::lbl_sub_2() const { return d->denySentence; }
ui::BrowseView* ListWizardAuthUnit::grid() const { return d->grid; }

}  // namespace lg::admin
