#include "controls/listwizard.h"

#include "controls/aggregates.h"
#include "controls/assistants.h"
#include "controls/listbrowser.h"
#include "controls/progress.h"
#include "controls/reportrun.h"
#include "platform/errorhandler.h"
#include "platform/propertybag.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"
#include "ui/about.h"
#include "ui/captions.h"
#include "ui/listutils.h"

#include <QtCore/QEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QAction>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lg::controls {

namespace {

const PersistedProperty kProperties[] = {
    {"ReportFolderPath", QString()},
    {"WizardType", 2},
    {"ModulID", -1},
    {"VisibleCancelButton", true},
    {"AuthenticWizard", true},
    {"AuthenticEditor", true},
    {"AuthenticExport", true},
    {"AuthenticPrint", true},
    {"UserID", -1},
    {"AuthenticAllReport", true},
    {"TableFieldNameCompletteOnUI", true},
    {"TableFieldNameCompletteOnReport", true},
};

QLabel* captionLabel(const QString& name, int stringId, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setProperty(kCaptionTag, stringId);
    return l;
}

QLineEdit* readOnlyBox(const QString& name, QWidget* parent)
{
    auto* t = new QLineEdit(parent);
    t->setObjectName(name);
    t->setReadOnly(true);
    return t;
}

}  // namespace

struct ListWizard::Private {
    ListWizard* q;
    ListBrowser browser;
    ControlServices services = defaultControlServices();
    report::RunParameters parameters;
    QString reportFolderPath;
    bool authenticPrint = true;
    bool completeOnReport = true;
    bool busy = false;
    int shownRevision = -1;

    QToolBar* bar = nullptr;
    QToolBar* selectorBar = nullptr;
    QHash<int, QAction*> actions;
    QComboBox* owner = nullptr;
    QComboBox* types = nullptr;
    QSplitter* splitter = nullptr;
    QListWidget* reports = nullptr;
    QWidget* panel = nullptr;
    QLineEdit* listType = nullptr;
    QLineEdit* createUser = nullptr;
    QLineEdit* description = nullptr;
    QLineEdit* sqlDescription = nullptr;
    QListWidget* groups = nullptr;
    QListWidget* fields = nullptr;

    RunSettings settings() const
    {
        RunSettings s;
        s.reportFolderPath = reportFolderPath;
        s.parameters = parameters;
        s.authenticExport = browser.authenticExport;
        s.authenticPrint = authenticPrint;
        s.tableFieldNameCompletteOnUI = browser.tableFieldNameCompletteOnUI;
        s.tableFieldNameCompletteOnReport = completeOnReport;
        s.userId = browser.userId;
        return s;
    }

    // Shows the browser's state.
    void sync()
    {
        const ListBrowser& b = browser;
        {
            const QSignalBlocker block(types);
            bool same = types->count() == b.types().size();
            for (int i = 0; same && i < types->count(); ++i)
                same = types->itemData(i).toLongLong() == b.types().at(i).id
                       && types->itemText(i) == b.types().at(i).name;
            if (!same) {
                types->clear();
                for (const BrowserEntry& e : b.types())
                    types->addItem(e.name, qlonglong(e.id));
            }
            types->setCurrentIndex(b.typeIndex());
        }
        {
            const QSignalBlocker block(owner);
            owner->setCurrentIndex(b.ownerChoice());
            owner->setEnabled(b.ownerEnabled());
        }
        {
            const QSignalBlocker block(reports);
            if (shownRevision != b.listsRevision()) {
                shownRevision = b.listsRevision();
                reports->setUpdatesEnabled(false);
                reports->clear();
                for (const BrowserEntry& e : b.lists()) {
                    auto* item = new QListWidgetItem(e.name);
                    item->setData(Qt::UserRole, qlonglong(e.id));
                    reports->addItem(item);
                }
                reports->setUpdatesEnabled(true);
                reports->setToolTip(QString());
            }
            reports->setCurrentRow(b.listIndex());
        }
        const ListInfo& info = b.info();
        listType->setText(info.listType);
        createUser->setText(info.createUser);
        description->setText(info.description);
        description->setCursorPosition(0);
        sqlDescription->setText(info.sqlDescription);
        sqlDescription->setCursorPosition(0);
        sqlDescription->setToolTip(info.sqlDescription);
        groups->clear();
        groups->addItems(info.groups);
        fields->clear();
        fields->addItems(info.fields);
        for (int id : kCommandIds)
            actions.value(id)->setEnabled(b.commands().isOn(id));
        QAction* assistant = actions.value(cmd::Assistant);
        assistant->setText(b.commands().assistantCaption());
        assistant->setVisible(!b.commands().assistantCaption().isEmpty());
        actions.value(cmd::Exit)->setVisible(b.visibleCancelButton);
        Q_EMIT q->stateChanged();
    }

    // Runs `body` as the user-facing procedure `name`; false on a run-time
    // error (after the error dialog) or when the body says so.
    template <class F> bool userFacing(const QString& name, F&& body)
    {
        bool result = false;
        runUserFacing(QString::fromLatin1(kSource), name, [&] { result = body(); });
        ShowErrors();
        return result;
    }

    // A selected list that no longer loads (deleted meanwhile) disappears
    // from the box.
    void dropVanishedSelection()
    {
        const long id = browser.selectedListId();
        if (id == -1)
            return;
        ListReport probe;
        if (!probe.CoreLoad(id)) {
            browser.FillListReport(-1);
            browser.DisplayItem(true);
        }
    }

    void propertyChanged(const char* name) { Q_EMIT q->PropertyChanged(QString::fromLatin1(name)); }
};

ListWizard::ListWizard(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>())
{
    d->q = this;
    setObjectName(u"ListWizard"_s);
    // A new control starts with a fresh error collection.
    ctx().newErrors();
    LoadAggregateNames();

    d->bar = new QToolBar(this);
    d->bar->setObjectName(u"cmd_main"_s);
    d->bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    d->bar->setIconSize(QSize(16, 16));
    const struct {
        int id;
        QStyle::StandardPixmap icon;
    } commands[] = {
        {cmd::Exit, QStyle::SP_DialogCloseButton},   {cmd::ReportNew, QStyle::SP_FileDialogNewFolder},
        {cmd::Delete, QStyle::SP_TrashIcon},         {cmd::Print, QStyle::SP_FileDialogContentsView},
        {cmd::ExportToFile, QStyle::SP_DialogSaveButton}, {cmd::ExcelExport, QStyle::SP_FileDialogDetailedView},
        {cmd::Assistant, QStyle::SP_CommandLink},    {cmd::CatalogueEditor, QStyle::SP_FileDialogListView},
    };
    for (const auto& c : commands) {
        QAction* a = d->bar->addAction(style()->standardIcon(c.icon), commandCaption(c.id));
        a->setData(c.id);
        a->setObjectName(u"cmd_%1"_s.arg(c.id));
        d->actions.insert(c.id, a);
        connect(a, &QAction::triggered, this, [this, id = c.id] { execute(id); });
    }

    d->selectorBar = new QToolBar(this);
    d->selectorBar->setObjectName(u"cmd_selectors"_s);
    auto* ownerLabel = new QLabel(LoadResString(1000));
    ownerLabel->setObjectName(u"lbl_owner"_s);
    ownerLabel->setContentsMargins(4, 0, 4, 0);
    d->selectorBar->addWidget(ownerLabel);
    d->owner = new QComboBox;
    d->owner->setObjectName(u"cbo_owner"_s);
    d->owner->addItem(LoadResString(1005), 0);
    d->owner->addItem(LoadResString(1006), 1);
    d->selectorBar->addWidget(d->owner)->setData(cmd::OwnerSelector);
    d->selectorBar->addSeparator();
    auto* typeLabel = new QLabel(LoadResString(6001));
    typeLabel->setObjectName(u"lbl_list_type"_s);
    typeLabel->setContentsMargins(4, 0, 4, 0);
    d->selectorBar->addWidget(typeLabel);
    d->types = new QComboBox;
    d->types->setObjectName(u"cbo_list_type"_s);
    d->types->setMinimumContentsLength(18);
    d->types->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    d->selectorBar->addWidget(d->types)->setData(cmd::ListTypeSelector);

    d->splitter = new QSplitter(Qt::Horizontal, this);
    d->splitter->setObjectName(u"spl_main"_s);
    d->reports = new QListWidget(d->splitter);
    d->reports->setObjectName(u"lst_reports"_s);
    d->reports->setMouseTracking(true);
    d->reports->installEventFilter(this);
    d->reports->viewport()->installEventFilter(this);
    d->reports->setUniformItemSizes(true);

    d->panel = new QWidget(d->splitter);
    d->panel->setObjectName(u"wndTaskPanel"_s);
    auto* form = new QFormLayout(d->panel);
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    d->listType = readOnlyBox(u"txt_list_type"_s, d->panel);
    d->createUser = readOnlyBox(u"txt_create_user"_s, d->panel);
    d->description = readOnlyBox(u"txt_description"_s, d->panel);
    d->sqlDescription = readOnlyBox(u"txt_sql_description"_s, d->panel);
    d->groups = new QListWidget(d->panel);
    d->groups->setObjectName(u"lst_groups"_s);
    d->fields = new QListWidget(d->panel);
    d->fields->setObjectName(u"lst_fields"_s);
    for (QListWidget* l : {d->groups, d->fields}) {
        l->setMouseTracking(true);
        l->viewport()->installEventFilter(this);
        connect(l, &QListWidget::itemClicked, l, [l](QListWidgetItem* item) { l->setToolTip(item->text()); });
    }
    d->groups->setMaximumHeight(110);
    form->addRow(captionLabel(u"lbl_list_type_caption"_s, 6001, d->panel), d->listType);
    form->addRow(captionLabel(u"lbl_create_user_caption"_s, 1000, d->panel), d->createUser);
    form->addRow(captionLabel(u"lbl_description_caption"_s, 1001, d->panel), d->description);
    form->addRow(captionLabel(u"lbl_group_caption"_s, 1002, d->panel), d->groups);
    form->addRow(captionLabel(u"lbl_field_caption"_s, 1003, d->panel), d->fields);
    form->addRow(captionLabel(u"lbl_sql_description_caption"_s, 1004, d->panel), d->sqlDescription);
    d->splitter->setStretchFactor(0, 2);
    d->splitter->setStretchFactor(1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(d->bar);
    layout->addWidget(d->selectorBar);
    layout->addWidget(d->splitter, 1);

    LoadCaptions(this);
    SetCaptionsVisualTheme();
    SetFocusColor(d->reports, false);

    connect(d->types, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (d->browser.loading())
            return;
        d->userFacing(u"cbo_list_type_Change"_s, [&] {
            d->browser.selectType(index);
            return true;
        });
        d->sync();
    });
    connect(d->owner, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (d->browser.loading())
            return;
        d->userFacing(u"cbo_owner_Change"_s, [&] {
            d->browser.selectOwner(d->owner->itemData(index).toInt());
            return true;
        });
        d->sync();
    });
    connect(d->reports, &QListWidget::currentRowChanged, this, [this](int row) {
        if (d->browser.loading())
            return;
        d->userFacing(u"lst_reports_Click"_s, [&] {
            d->browser.selectList(row);
            return true;
        });
        d->sync();
    });
    connect(d->reports, &QListWidget::itemDoubleClicked, this, [this] {
        if (!d->browser.loading())
            execute(cmd::Print);
    });

    d->browser.applyCommandState();
    d->sync();
}

ListWizard::~ListWizard() = default;

std::span<const PersistedProperty> ListWizard::persistedProperties() { return kProperties; }

void ListWizard::InitProperties() { initProperties(this, kProperties); }

void ListWizard::ReadProperties(const PropertyBag& bag)
{
    readProperties(this, bag, kProperties);
    ctx().userId = d->browser.userId;
    d->browser.applyCommandState();
    d->sync();
}

void ListWizard::WriteProperties(PropertyBag& bag) const { writeProperties(this, bag, kProperties); }

// --- properties ----------------------------------------------------------------

void ListWizard::setDatabasePassword(const QString& password) { ctx().databasePassword = password; }

#define LG_PARAMETER(N)                                                                                                \
    QString ListWizard::Parameter##N() const { return d->parameters[N - 1]; }                                         \
    void ListWizard::setParameter##N(const QString& v)                                                                 \
    {                                                                                                                  \
        if (d->parameters[N - 1] == v)                                                                                 \
            return;                                                                                                    \
        d->parameters[N - 1] = v;                                                                                      \
        Q_EMIT Parameter##N##Changed(v);                                                                               \
    }
LG_PARAMETER(1)
LG_PARAMETER(2)
LG_PARAMETER(3)
LG_PARAMETER(4)
LG_PARAMETER(5)
#undef LG_PARAMETER

QString ListWizard::ReportFolderPath() const { return d->reportFolderPath; }
void ListWizard::setReportFolderPath(const QString& v)
{
    if (d->reportFolderPath == v)
        return;
    d->reportFolderPath = v;
    Q_EMIT ReportFolderPathChanged(v);
    d->propertyChanged("ReportFolderPath");
}

int ListWizard::WizardType() const { return int(d->browser.wizardType); }
void ListWizard::setWizardType(int v)
{
    const auto type = v == 1 ? WizardType::Viewer : WizardType::Editor;
    d->browser.wizardType = type;
    d->browser.applyCommandState();
    d->sync();
    Q_EMIT WizardTypeChanged(int(type));
    d->propertyChanged("WizardType");
}

int ListWizard::ModulID() const { return int(d->browser.modulId); }
void ListWizard::setModulID(int v)
{
    d->browser.modulId = v;
    d->userFacing(u"ModulID"_s, [&] {
        d->browser.LoadListWizardTypes(-1);
        return true;
    });
    d->sync();
    Q_EMIT ModulIDChanged(v);
    d->propertyChanged("ModulID");
}

bool ListWizard::VisibleCancelButton() const { return d->browser.visibleCancelButton; }
void ListWizard::setVisibleCancelButton(bool v)
{
    d->browser.visibleCancelButton = v;
    d->browser.applyCommandState();
    d->sync();
    Q_EMIT VisibleCancelButtonChanged(v);
    d->propertyChanged("VisibleCancelButton");
}

#define LG_FLAG(Name, member)                                                                                          \
    bool ListWizard::Name() const { return member; }                                                                   \
    void ListWizard::set##Name(bool v)                                                                                 \
    {                                                                                                                  \
        member = v;                                                                                                    \
        Q_EMIT Name##Changed(v);                                                                                       \
        d->propertyChanged(#Name);                                                                                     \
    }
LG_FLAG(AuthenticPrint, d->authenticPrint)
LG_FLAG(TableFieldNameCompletteOnReport, d->completeOnReport)
#undef LG_FLAG

// The rights of the list commands apply at once to the list on show, so a
// command never stays offered after its right was withdrawn.
#define LG_LIST_RIGHT(Name, member)                                                                                    \
    bool ListWizard::Name() const { return member; }                                                                   \
    void ListWizard::set##Name(bool v)                                                                                 \
    {                                                                                                                  \
        member = v;                                                                                                    \
        if (d->browser.currentListId() != -1) {                                                                        \
            d->userFacing(QStringLiteral(#Name), [&] {                                                                 \
                d->browser.DisplayItem(true);                                                                          \
                return true;                                                                                           \
            });                                                                                                        \
            d->sync();                                                                                                 \
        }                                                                                                              \
        Q_EMIT Name##Changed(v);                                                                                       \
        d->propertyChanged(#Name);                                                                                     \
    }
LG_LIST_RIGHT(AuthenticWizard, d->browser.authenticWizard)
LG_LIST_RIGHT(AuthenticExport, d->browser.authenticExport)
#undef LG_LIST_RIGHT

bool ListWizard::AuthenticEditor() const { return d->browser.authenticEditor; }
void ListWizard::setAuthenticEditor(bool v)
{
    d->browser.authenticEditor = v;
    Q_EMIT AuthenticEditorChanged(v);
    d->propertyChanged("AuthenticEditor");
}

int ListWizard::UserID() const { return int(d->browser.userId); }
void ListWizard::setUserID(int v)
{
    d->browser.userId = v;
    ctx().userId = v;
    Q_EMIT UserIDChanged(v);
    d->propertyChanged("UserID");
}

bool ListWizard::AuthenticAllReport() const { return d->browser.authenticAllReport; }
void ListWizard::setAuthenticAllReport(bool v)
{
    d->browser.authenticAllReport = v;
    d->browser.applyAuthenticAllReport();
    d->sync();
    Q_EMIT AuthenticAllReportChanged(v);
    d->propertyChanged("AuthenticAllReport");
}

bool ListWizard::TableFieldNameCompletteOnUI() const { return d->browser.tableFieldNameCompletteOnUI; }
void ListWizard::setTableFieldNameCompletteOnUI(bool v)
{
    d->browser.tableFieldNameCompletteOnUI = v;
    d->userFacing(u"TableFieldNameCompletteOnUI"_s, [&] {
        d->browser.DisplayItem(true);
        return true;
    });
    d->sync();
    Q_EMIT TableFieldNameCompletteOnUIChanged(v);
    d->propertyChanged("TableFieldNameCompletteOnUI");
}

std::shared_ptr<dao::Database> ListWizard::Database() const { return ctx().database; }
void ListWizard::setDatabase(std::shared_ptr<dao::Database> database)
{
    ctx().database = std::move(database);
    Q_EMIT DatabaseChanged();
}

void ListWizard::setServices(const ControlServices& services)
{
    d->services = completedControlServices(services);
}
const ControlServices& ListWizard::services() const { return d->services; }

// --- methods -------------------------------------------------------------------

bool ListWizard::ControlInitialize()
{
    const bool result = d->userFacing(u"ControlInitialize"_s, [&] { return d->browser.ControlInitialize(); });
    d->sync();
    return result;
}

bool ListWizard::ReportNew()
{
    const bool result = d->userFacing(u"ReportNew"_s, [&] {
        // The wizard is for users with the right to design, on a database.
        if (!ctx().database || !d->browser.authenticWizard)
            return false;
        ListDesignRequest request;
        request.selectedListId = d->browser.selectedListId();
        request.userId = d->browser.userId;
        request.modulId = d->browser.modulId;
        request.reportFolderPath = d->reportFolderPath;
        request.tableFieldNameCompletteOnUI = d->browser.tableFieldNameCompletteOnUI;
        request.tableFieldNameCompletteOnReport = d->completeOnReport;
        request.authenticAllReport = AuthenticAllReport();
        long saved = -1;
        if (!d->services.designer->design(this, request, saved))
            return false;
        if (ctx().database) {
            d->browser.FillListReport(saved);
            d->browser.DisplayItem(true);
        }
        return true;
    });
    d->sync();
    return result;
}

bool ListWizard::ShowReport(bool renderToFile)
{
    const bool result = d->userFacing(u"ShowReport"_s, [&] {
        if (d->browser.lists().isEmpty())
            return false;
        if (renderToFile && !d->browser.authenticExport)
            return false;
        const long id = d->browser.selectedListId();
        if (!ctx().database || id == -1 || !d->browser.currentList())
            return false;
        if (runReport(id, renderToFile, d->settings(), d->services, this))
            return true;
        d->dropVanishedSelection();
        return false;
    });
    d->sync();
    return result;
}

bool ListWizard::ReportDelete()
{
    const bool result = d->userFacing(u"ReportDelete"_s, [&] {
        if (d->browser.ReportDelete())
            return true;
        d->dropVanishedSelection();
        return false;
    });
    d->sync();
    return result;
}

bool ListWizard::ExecuteAssistent()
{
    return d->userFacing(u"ExecuteAssistent"_s, [&] {
        if (!ctx().database || !d->browser.currentList() || d->browser.currentListId() == -1
            || d->browser.assistantClass().trimmed().isEmpty())
            return false;
        return executeAssistant(d->browser.assistantClass(), d->browser.userId);
    });
}

bool ListWizard::ExcelExport()
{
    const bool result = d->userFacing(u"ExcelExport"_s, [&] {
        const long id = d->browser.selectedListId();
        if (d->browser.lists().isEmpty() || !d->browser.authenticExport || !ctx().database
            || !d->browser.currentList() || d->browser.currentListId() == -1 || id == -1)
            return false;
        const ExportOptions options = d->services.exportOptions->ask(this);
        if (options.returnValue == 1)
            return false;
        RowProgress progress(this, LoadResString(500));
        if (exportList(id, options.filePath, options.openAfterExport, d->settings(), d->services, this, {},
                       progress.callback()))
            return true;
        d->dropVanishedSelection();
        return false;
    });
    d->sync();
    return result;
}

void ListWizard::SetCaptionsVisualTheme() { lg::SetCaptionsVisualTheme(this); }

void ListWizard::showAbout()
{
    frmAbout about(this);
    about.exec();
}

void ListWizard::execute(int commandId)
{
    if (d->browser.loading() || d->busy)
        return;
    d->busy = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{d->busy};
    switch (commandId) {
    case cmd::Exit: Q_EMIT ExitWizard(); break;
    case cmd::ReportNew: ReportNew(); break;
    case cmd::Delete: ReportDelete(); break;
    case cmd::Print: ShowReport(false); break;
    case cmd::ExportToFile: ShowReport(true); break;
    case cmd::ExcelExport: ExcelExport(); break;
    case cmd::Assistant: ExecuteAssistent(); break;
    case cmd::CatalogueEditor:
        d->userFacing(u"CatalogueEditor"_s, [&] {
            const bool ran = d->services.catalogueEditor->edit(this, d->browser.userId, d->browser.modulId);
            if (ran && ctx().database) {
                d->browser.LoadListWizardTypes(d->browser.typeIndex() >= 0
                                                   ? d->browser.types().at(d->browser.typeIndex()).id
                                                   : -1);
                d->browser.FillListReport(d->browser.selectedListId());
                d->browser.DisplayItem(true);
            }
            return ran;
        });
        d->sync();
        break;
    default: break;
    }
}

// --- state -----------------------------------------------------------------------

const ListBrowser& ListWizard::browser() const { return d->browser; }
bool ListWizard::isCommandEnabled(int commandId) const
{
    QAction* a = d->actions.value(commandId);
    return a && a->isEnabled();
}
QAction* ListWizard::commandAction(int commandId) const { return d->actions.value(commandId); }
bool ListWizard::loading() const { return d->browser.loading(); }
QToolBar* ListWizard::cmd_main() const { return d->bar; }
QComboBox* ListWizard::ownerSelector() const { return d->owner; }
QComboBox* ListWizard::listTypeSelector() const { return d->types; }
QListWidget* ListWizard::lst_reports() const { return d->reports; }
QListWidget* ListWizard::lst_groups() const { return d->groups; }
QListWidget* ListWizard::lst_fields() const { return d->fields; }
QLineEdit* ListWizard::txt_list_type() const { return d->listType; }
QLineEdit* ListWizard::txt_create_user() const { return d->createUser; }
QLineEdit* ListWizard::txt_description() const { return d->description; }
QLineEdit* ListWizard::txt_sql_description() const { return d->sqlDescription; }
QSplitter* ListWizard::spl_main() const { return d->splitter; }

bool ListWizard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->reports) {
        if (event->type() == QEvent::FocusIn)
            SetFocusColor(d->reports, true);
        else if (event->type() == QEvent::FocusOut)
            SetFocusColor(d->reports, false);
    }
    if (event->type() == QEvent::MouseMove) {
        for (QListWidget* l : {d->reports, d->groups, d->fields}) {
            if (watched != l->viewport())
                continue;
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            QListWidgetItem* item = l->itemAt(pos);
            l->setToolTip(item ? item->text() : QString());
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lg::controls
