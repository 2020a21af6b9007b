#include "controls/frmwizard.h"

#include "controls/aggregatefillmenu.h"
#include "controls/aggregategrid.h"
#include "controls/aggregategridview.h"
#include "controls/chosenfieldlist.h"
#include "controls/listdesignmodel.h"
#include "controls/vw_stepheader.h"
#include "filters/widgets/conditionpanel.h"
#include "platform/errorhandler.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"
#include "ui/captions.h"
#include "ui/fieldtree.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QFrame>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lg::controls {

namespace {

QLabel* captionLabel(int stringId, QWidget* parent, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setProperty(kCaptionTag, stringId);
    return l;
}

QList<ui::FieldTreeRow> treeRows(const QList<FreeFieldRow>& rows)
{
    QList<ui::FieldTreeRow> out;
    out.reserve(rows.size());
    for (const FreeFieldRow& r : rows)
        out << ui::FieldTreeRow{r.tableId, r.tableName, r.fieldId, r.fieldName, r.tableParentId};
    return out;
}

QList<ChosenFieldList::Field> listFields(const QList<ChosenField>& chosen)
{
    QList<ChosenFieldList::Field> out;
    out.reserve(chosen.size());
    for (const ChosenField& c : chosen)
        out << ChosenFieldList::Field{c.tableFieldId, c.caption};
    return out;
}

// The step-5 controls as the model's condition source.
class PanelConditionSource : public ConditionSource {
public:
    explicit PanelConditionSource(filters::ConditionPanel* panel) : m_panel(panel) {}
    bool harvest(catalogue::tFilterControlPropertys& record) override { return m_panel->harvest(record).active; }
    void release(const catalogue::tFilterControlPropertys&) override { m_panel->resetCurrent(); }
    bool setup(const catalogue::tFilterControlPropertys& record) override { return m_panel->setUp(record); }

private:
    filters::ConditionPanel* m_panel;
};

}  // namespace

struct frmWizard::Private {
    frmWizard* q = nullptr;
    std::unique_ptr<ListDesignModel> model;
    std::unique_ptr<PanelConditionSource> conditionSource;
    int lastReturnValue = 1;
    int lastStep = 1;
    long lastItemId = -1;
    bool showing = false;  // the model's state is being put into the controls

    vW_StepHeader* header = nullptr;
    QStackedWidget* pages = nullptr;
    QLabel* help = nullptr;
    QComboBox* listType = nullptr;
    QComboBox* report = nullptr;
    QLineEdit* name = nullptr;
    QLineEdit* description = nullptr;
    std::array<QRadioButton*, 3> modes{};
    QCheckBox* filterForm = nullptr;
    QCheckBox* detailInvisible = nullptr;
    QCheckBox* privateReport = nullptr;
    ui::FieldTree* groupTree = nullptr;
    ChosenFieldList* groupList = nullptr;
    ui::FieldTree* visibleTree = nullptr;
    ChosenFieldList* visibleList = nullptr;
    AggregateGridView* grid = nullptr;
    AggregateFillMenuBar* fillMenu = nullptr;
    ui::FieldTree* whereTree = nullptr;
    filters::ConditionPanel* conditions = nullptr;
    QPlainTextEdit* sqlDescription = nullptr;
    QPushButton* exit = nullptr;
    QPushButton* back = nullptr;
    QPushButton* next = nullptr;

    // Runs an event of the form as one user-facing procedure: run-time
    // errors go to the error dialog, collected messages into one box.
    template <class F> bool userFacing(const QString& procedure, F&& body)
    {
        bool result = false;
        runUserFacing(QString::fromLatin1(kSource), procedure, [&] { result = body(); });
        ShowErrors();
        return result;
    }

    QWidget* buildStep1();
    QWidget* buildFieldPage(int step, ui::FieldTree*& tree, ChosenFieldList*& list);
    QWidget* buildStep4();
    QWidget* buildStep5();
    void connectModel();
    void connectInput();

    void showListTypes();
    void showReports();
    void showCurrentItem();
    void showStep();
    void showTree(int page);
    void showChosen(int page, int current = -1);
    void showGrid();
    void showSqlDescription();
    void notifyOutputs();

    ChosenFieldList* listOf(FieldPage page) const { return page == FieldPage::Group ? groupList : visibleList; }
};

QWidget* frmWizard::Private::buildStep1()
{
    auto* page = new QWidget;
    page->setObjectName(u"pic_step1"_s);
    help = captionLabel(6000, page, u"lbl_help"_s);
    help->setWordWrap(true);
    listType = new QComboBox(page);
    listType->setObjectName(u"cbo_list_type"_s);
    report = new QComboBox(page);
    report->setObjectName(u"cbo_report"_s);
    name = new QLineEdit(page);
    name->setObjectName(u"txt_report_name"_s);
    name->setMaxLength(255);
    description = new QLineEdit(page);
    description->setObjectName(u"txt_report_description"_s);
    description->setMaxLength(255);
    auto* modeBox = new QGroupBox(page);
    modeBox->setObjectName(u"fra_process_type"_s);
    auto* modeLayout = new QVBoxLayout(modeBox);
    auto* group = new QButtonGroup(page);
    for (int i = 0; i < 3; ++i) {
        modes[i] = new QRadioButton(modeBox);
        modes[i]->setObjectName(u"opt_process_type_%1"_s.arg(i));
        modes[i]->setProperty(kCaptionTag, 3004 + i);
        group->addButton(modes[i], i);
        modeLayout->addWidget(modes[i]);
    }
    filterForm = new QCheckBox(page);
    filterForm->setObjectName(u"chk_filter_form"_s);
    filterForm->setProperty(kCaptionTag, 1007);
    detailInvisible = new QCheckBox(page);
    detailInvisible->setObjectName(u"chk_invisible_detail"_s);
    detailInvisible->setProperty(kCaptionTag, 30035);
    privateReport = new QCheckBox(page);
    privateReport->setObjectName(u"chk_private"_s);
    privateReport->setProperty(kCaptionTag, 30080);
    // The boxes' captions end in a colon: they stand left of the box.
    for (QCheckBox* c : {filterForm, detailInvisible, privateReport})
        c->setLayoutDirection(Qt::RightToLeft);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto addRow = [&](int id, const QString& labelName, QWidget* field) {
        QLabel* l = captionLabel(id, page, labelName);
        l->setBuddy(field);
        form->addRow(l, field);
    };
    addRow(6001, u"lbl_list_type"_s, listType);
    addRow(6002, u"lbl_report"_s, report);
    form->addRow(QString(), modeBox);
    addRow(6003, u"lbl_report_name"_s, name);
    addRow(6004, u"lbl_report_description"_s, description);
    auto* checks = new QHBoxLayout;
    checks->addWidget(filterForm);
    checks->addSpacing(24);
    checks->addWidget(detailInvisible);
    checks->addSpacing(24);
    checks->addWidget(privateReport);
    checks->addStretch();
    form->addRow(QString(), checks);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(help);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addStretch();
    return page;
}

QWidget* frmWizard::Private::buildFieldPage(int step, ui::FieldTree*& tree, ChosenFieldList*& list)
{
    const bool grouping = step == 2;
    auto* page = new QWidget;
    page->setObjectName(u"pic_step%1"_s.arg(step));
    tree = new ui::FieldTree(page);
    tree->setObjectName(grouping ? u"tree_group_fields"_s : u"tree_visible_fields"_s);
    list = new ChosenFieldList(page);
    list->setObjectName(grouping ? u"lst_group_fields"_s : u"lst_visible_fields"_s);
    QLabel* treeLabel = captionLabel(grouping ? 6014 : 6012, page, grouping ? u"lbl_group_tree"_s : u"lbl_visible_tree"_s);
    QLabel* listLabel = captionLabel(grouping ? 6015 : 6013, page, grouping ? u"lbl_group_list"_s : u"lbl_visible_list"_s);
    treeLabel->setBuddy(tree);
    listLabel->setBuddy(list);
    auto* hint = new QLabel(page);
    hint->setObjectName(grouping ? u"lbl_group_hint"_s : u"lbl_visible_hint"_s);
    hint->setWordWrap(true);
    hint->setText(grouping ? LoadResString(32104)
                           : LoadResString(32105));
    hint->setForegroundRole(QPalette::PlaceholderText);

    auto* left = new QVBoxLayout;
    left->addWidget(treeLabel);
    left->addWidget(tree, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(listLabel);
    right->addWidget(list, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(8);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns, 1);
    layout->addWidget(hint);
    return page;
}

QWidget* frmWizard::Private::buildStep4()
{
    auto* page = new QWidget;
    page->setObjectName(u"pic_step4"_s);
    fillMenu = new AggregateFillMenuBar(page);
    grid = new AggregateGridView(page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fillMenu);
    layout->addWidget(grid, 1);
    return page;
}

QWidget* frmWizard::Private::buildStep5()
{
    auto* page = new QWidget;
    page->setObjectName(u"pic_step5"_s);
    whereTree = new ui::FieldTree(page);
    whereTree->setObjectName(u"tree_where_fields"_s);
    QLabel* treeLabel = captionLabel(6005, page, u"lbl_where_tree"_s);
    treeLabel->setBuddy(whereTree);
    conditions = new filters::ConditionPanel(page);
    conditions->setObjectName(u"pnl_conditions"_s);
    sqlDescription = new QPlainTextEdit(page);
    sqlDescription->setObjectName(u"txt_sql_description"_s);
    sqlDescription->setReadOnly(true);
    sqlDescription->setMaximumHeight(sqlDescription->fontMetrics().lineSpacing() * 4 + 12);
    QLabel* descriptionLabel = captionLabel(6011, page, u"lbl_sql_description"_s);
    descriptionLabel->setBuddy(sqlDescription);

    auto* left = new QVBoxLayout;
    left->addWidget(treeLabel);
    left->addWidget(whereTree, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addSpacing(8);
    columns->addWidget(conditions, 3);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns, 1);
    layout->addWidget(descriptionLabel);
    layout->addWidget(sqlDescription);
    return page;
}

frmWizard::frmWizard(QWidget* parent) : QDialog(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->model = std::make_unique<ListDesignModel>();
    setObjectName(u"frmWizard"_s);
    setModal(true);
    setProperty(kCaptionTag, 100);
    setSizeGripEnabled(true);

    d->header = new vW_StepHeader(this);
    d->header->setObjectName(u"hdr_step"_s);
    d->header->setAutoFillBackground(true);
    {
        QPalette p = d->header->palette();
        p.setColor(QPalette::Window, p.color(QPalette::Base));
        d->header->setPalette(p);
    }
    d->pages = new QStackedWidget(this);
    d->pages->setObjectName(u"stk_pages"_s);
    d->pages->addWidget(d->buildStep1());
    d->pages->addWidget(d->buildFieldPage(2, d->groupTree, d->groupList));
    d->pages->addWidget(d->buildFieldPage(3, d->visibleTree, d->visibleList));
    d->pages->addWidget(d->buildStep4());
    d->pages->addWidget(d->buildStep5());

    d->exit = new QPushButton(this);
    d->exit->setObjectName(u"cmd_exit"_s);
    d->exit->setProperty(kCaptionTag, 3000);
    d->exit->setAutoDefault(false);
    d->back = new QPushButton(this);
    d->back->setObjectName(u"cmd_back"_s);
    d->back->setProperty(kCaptionTag, 3001);
    d->back->setAutoDefault(false);
    d->next = new QPushButton(this);
    d->next->setObjectName(u"cmd_next"_s);
    d->next->setProperty(kCaptionTag, 3002);
    d->next->setDefault(true);

    auto line = [this] {
        auto* f = new QFrame(this);
        f->setFrameShape(QFrame::HLine);
        f->setFrameShadow(QFrame::Sunken);
        return f;
    };
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(d->exit);
    buttons->addStretch();
    buttons->addWidget(d->back);
    buttons->addWidget(d->next);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(6);
    layout->addWidget(d->header);
    layout->addWidget(line());
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->addWidget(d->pages, 1);
    layout->addLayout(body, 1);
    layout->addWidget(line());
    auto* foot = new QVBoxLayout;
    foot->setContentsMargins(8, 0, 8, 0);
    foot->addLayout(buttons);
    layout->addLayout(foot);

    LoadCaptions(this);
    SetCaptionsVisualTheme(this);
    resize(940, 620);  // the date boxes of the conditions step need the width

    d->conditionSource = std::make_unique<PanelConditionSource>(d->conditions);
    d->model->setConditionSource(d->conditionSource.get());
    d->connectModel();
    d->connectInput();
    d->showStep();
}

frmWizard::~frmWizard()
{
    // The model discards the temporary list unless it was committed; the
    // condition source goes first, so nothing reaches the panel any more.
    d->model->setConditionSource(nullptr);
    d->model.reset();
}

void frmWizard::Private::connectModel()
{
    ListDesignModel* m = model.get();
    QObject::connect(m, &ListDesignModel::listTypesChanged, q, [this] { showListTypes(); });
    QObject::connect(m, &ListDesignModel::reportsChanged, q, [this] { showReports(); });
    QObject::connect(m, &ListDesignModel::currentItemChanged, q, [this] { showCurrentItem(); });
    QObject::connect(m, &ListDesignModel::stepChanged, q, [this] { showStep(); });
    QObject::connect(m, &ListDesignModel::freeFieldsChanged, q, [this](int page) { showTree(page); });
    QObject::connect(m, &ListDesignModel::chosenFieldsChanged, q, [this](int page) { showChosen(page); });
    QObject::connect(m, &ListDesignModel::aggregateGridChanged, q, [this] { showGrid(); });
    QObject::connect(m, &ListDesignModel::sqlDescriptionChanged, q, [this] { showSqlDescription(); });
    QObject::connect(m, &ListDesignModel::done, q, [this] { notifyOutputs(); });
}

void frmWizard::Private::connectInput()
{
    QObject::connect(listType, &QComboBox::activated, q, [this](int index) {
        if (showing)
            return;
        userFacing(u"cbo_list_type_Click"_s, [&] {
            model->chooseListType(long(listType->itemData(index).toLongLong()));
            return true;
        });
        showListTypes();
        showReports();
        showCurrentItem();
    });
    QObject::connect(report, &QComboBox::activated, q, [this](int index) {
        if (showing)
            return;
        userFacing(u"cbo_report_Click"_s, [&] {
            model->chooseReport(long(report->itemData(index).toLongLong()));
            return true;
        });
        showReports();
        showCurrentItem();
    });
    QObject::connect(name, &QLineEdit::textEdited, q, [this](const QString& t) { model->setName(t); });
    QObject::connect(description, &QLineEdit::textEdited, q, [this](const QString& t) { model->setDescription(t); });
    for (int i = 0; i < 3; ++i)
        QObject::connect(modes[i], &QRadioButton::toggled, q, [this, i](bool on) {
            if (!on || showing)
                return;
            model->setMode(DesignMode(i));
            showCurrentItem();
        });
    QObject::connect(filterForm, &QCheckBox::toggled, q, [this](bool on) {
        if (!showing)
            model->setFilterForm(on);
    });
    QObject::connect(detailInvisible, &QCheckBox::toggled, q, [this](bool on) {
        if (!showing)
            model->setDetailInvisible(on);
    });
    QObject::connect(privateReport, &QCheckBox::toggled, q, [this](bool on) {
        if (!showing)
            model->setPrivateReport(on);
    });

    for (FieldPage page : {FieldPage::Group, FieldPage::Visible}) {
        ui::FieldTree* tree = page == FieldPage::Group ? groupTree : visibleTree;
        ChosenFieldList* list = listOf(page);
        QObject::connect(tree, &ui::FieldTree::fieldActivated, q, [this, page](int fieldId) {
            if (model->addField(page, fieldId))
                showChosen(int(page), int(model->chosenFields(page).size()) - 1);
        });
        QObject::connect(list, &ChosenFieldList::removeRequested, q, [this, page](int row) {
            const int current = model->removeField(page, row);
            showChosen(int(page), current);
        });
        QObject::connect(list, &ChosenFieldList::moveRequested, q, [this, page](int row, int delta) {
            const int current = model->moveField(page, row, delta);
            showChosen(int(page), current);
        });
        QObject::connect(list, &ChosenFieldList::edited, q, [this] { model->setPageChanged(); });
    }

    QObject::connect(grid, &AggregateGridView::aggregateChosen, q, [this](int row, int column, long code) {
        userFacing(u"grd_aggregate_AfterEdit"_s, [&] { return model->chooseAggregate(row, column, code); });
        showGrid();
    });
    QObject::connect(fillMenu, &AggregateFillMenuBar::fillRequested, q, [this](int dataType, int code, bool all) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        userFacing(u"AutomaticFillAgregate"_s, [&] {
            model->AutomaticFillAgregate(dataType, code, all);
            return true;
        });
        QGuiApplication::restoreOverrideCursor();
        showGrid();
    });

    QObject::connect(whereTree, &ui::FieldTree::nodeClicked, q, [this](int fieldId) {
        if (!model->stepProcessed(5))
            return;
        userFacing(u"tree_where_fields_NodeClick"_s, [&] { return model->InitCurrentFilterControl(fieldId); });
        showSqlDescription();
    });

    QObject::connect(exit, &QPushButton::clicked, q, [this] { q->Exit(); });
    QObject::connect(back, &QPushButton::clicked, q, [this] { q->Move(-1); });
    QObject::connect(next, &QPushButton::clicked, q, [this] { q->Move(1); });
}

void frmWizard::Private::showListTypes()
{
    showing = true;
    listType->clear();
    for (const DesignChoice& c : model->listTypes())
        listType->addItem(c.name, QVariant::fromValue(qlonglong(c.id)));
    listType->setCurrentIndex(listType->findData(QVariant::fromValue(qlonglong(model->selectedListTypeId()))));
    listType->setEnabled(model->step1ChoicesEnabled());
    showing = false;
}

void frmWizard::Private::showReports()
{
    showing = true;
    report->clear();
    for (const DesignChoice& c : model->reports())
        report->addItem(c.name, QVariant::fromValue(qlonglong(c.id)));
    report->setCurrentIndex(report->findData(QVariant::fromValue(qlonglong(model->selectedReportId()))));
    report->setEnabled(model->step1ChoicesEnabled());
    showing = false;
}

void frmWizard::Private::showCurrentItem()
{
    showing = true;
    if (name->text() != model->name())
        name->setText(model->name());
    if (description->text() != model->description())
        description->setText(model->description());
    filterForm->setChecked(model->filterForm());
    detailInvisible->setChecked(model->detailInvisible());
    privateReport->setChecked(model->privateReport());
    const bool choices = model->step1ChoicesEnabled();
    for (int i = 0; i < 3; ++i)
        modes[i]->setEnabled(choices && (i != int(DesignMode::Edit) || model->editModeEnabled()));
    modes[int(model->mode())]->setChecked(true);
    listType->setEnabled(choices);
    report->setEnabled(choices);
    showing = false;
    notifyOutputs();
}

void frmWizard::Private::showStep()
{
    const int step = model->currentStep();
    header->setCurrentStep(step);
    q->setWindowTitle(header->MainCaption());
    pages->setCurrentIndex(step - 1);
    back->setEnabled(model->backEnabled());
    back->setVisible(model->backEnabled());
    next->setText(model->nextCaption());
    // Going back to step 1 after its save shows the choices disabled.
    showCurrentItem();
    showListTypes();
    showReports();
    if (step == 4)
        showGrid();
    if (step == 5)
        showSqlDescription();
    notifyOutputs();
}

void frmWizard::Private::showTree(int page)
{
    switch (page) {
    case 2: groupTree->fill(treeRows(model->freeFields(FieldPage::Group))); break;
    case 3: visibleTree->fill(treeRows(model->freeFields(FieldPage::Visible))); break;
    case 5: whereTree->fill(treeRows(model->whereFields())); break;
    default: break;
    }
}

void frmWizard::Private::showChosen(int page, int current)
{
    if (page != 2 && page != 3)
        return;
    ChosenFieldList* list = listOf(FieldPage(page));
    if (current < 0)
        current = list->currentRow();
    list->setFields(listFields(model->chosenFields(FieldPage(page))), current);
}

void frmWizard::Private::showGrid() { grid->showGrid(model->aggregateGrid()); }

void frmWizard::Private::showSqlDescription()
{
    if (sqlDescription->toPlainText() != model->sqlDescription())
        sqlDescription->setPlainText(model->sqlDescription());
}

void frmWizard::Private::notifyOutputs()
{
    if (model->ReturnValue() != lastReturnValue) {
        lastReturnValue = model->ReturnValue();
        Q_EMIT q->ReturnValueChanged(lastReturnValue);
    }
    if (model->currentStep() != lastStep) {
        lastStep = model->currentStep();
        Q_EMIT q->CurrentStepChanged(lastStep);
    }
    if (model->CurrentItemID() != lastItemId) {
        lastItemId = model->CurrentItemID();
        Q_EMIT q->CurrentItemIDChanged(int(lastItemId));
    }
}

// --- properties ------------------------------------------------------------------

bool frmWizard::TableFieldNameCompletteOnUI() const { return d->model->TableFieldNameCompletteOnUI(); }
void frmWizard::setTableFieldNameCompletteOnUI(bool full)
{
    if (full == TableFieldNameCompletteOnUI())
        return;
    d->model->setTableFieldNameCompletteOnUI(full);
    Q_EMIT TableFieldNameCompletteOnUIChanged(full);
}
bool frmWizard::TableFieldNameCompletteOnReport() const { return d->model->TableFieldNameCompletteOnReport(); }
void frmWizard::setTableFieldNameCompletteOnReport(bool full)
{
    if (full == TableFieldNameCompletteOnReport())
        return;
    d->model->setTableFieldNameCompletteOnReport(full);
    Q_EMIT TableFieldNameCompletteOnReportChanged(full);
}
QString frmWizard::ReportFolderPath() const { return d->model->ReportFolderPath(); }
void frmWizard::setReportFolderPath(const QString& path)
{
    if (path == ReportFolderPath())
        return;
    d->model->setReportFolderPath(path);
    Q_EMIT ReportFolderPathChanged(path);
}
int frmWizard::ModulID() const { return int(d->model->ModulID()); }
void frmWizard::setModulID(int id)
{
    if (id == ModulID())
        return;
    d->model->setModulID(id);
    Q_EMIT ModulIDChanged(id);
}
int frmWizard::UserID() const { return int(d->model->UserID()); }
void frmWizard::setUserID(int id)
{
    const bool changed = id != UserID();
    d->model->setUserID(id);  // also the library-wide current user
    if (changed)
        Q_EMIT UserIDChanged(id);
}
bool frmWizard::AuthenticAllReport() const { return d->model->AuthenticAllReport(); }
void frmWizard::setAuthenticAllReport(bool all)
{
    if (all == AuthenticAllReport())
        return;
    d->model->setAuthenticAllReport(all);
    Q_EMIT AuthenticAllReportChanged(all);
}
int frmWizard::CurrentItemID() const { return int(d->model->CurrentItemID()); }
void frmWizard::setCurrentItemID(int id)
{
    d->model->setCurrentItemID(id);
    d->notifyOutputs();
}
int frmWizard::ReturnValue() const { return d->model->ReturnValue(); }
int frmWizard::CurrentStep() const { return d->model->currentStep(); }

// --- operations ------------------------------------------------------------------

bool frmWizard::Initialize()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = d->userFacing(u"Initialize"_s, [&] { return d->model->Initialize(); });
    QGuiApplication::restoreOverrideCursor();
    d->groupList->setFields({});
    d->visibleList->setFields({});
    d->showStep();
    d->name->setFocus();
    return ok;
}

bool frmWizard::Move(int direction)
{
    // A name typed but not yet forwarded (an edit made by the program) goes
    // to the model before the checks.
    if (d->model->currentStep() == 1 && d->model->step1ChoicesEnabled()) {
        d->model->setName(d->name->text());
        d->model->setDescription(d->description->text());
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = false;
    runUserFacing(QString::fromLatin1(kSource), direction > 0 ? u"cmd_next_Click"_s : u"cmd_back_Click"_s,
                  [&] { ok = d->model->move(direction); });
    QGuiApplication::restoreOverrideCursor();
    // The messages of a failed move, together in one box.
    ShowErrors();
    d->showStep();
    if (ok && d->model->finished()) {
        d->notifyOutputs();
        QDialog::accept();
    }
    return ok;
}

void frmWizard::Exit()
{
    d->userFacing(u"cmd_exit_Click"_s, [&] {
        d->model->Exit();
        return true;
    });
    d->notifyOutputs();
    QDialog::reject();
}

void frmWizard::reject()
{
    // Esc and the close box leave the wizard as Exit does.
    if (!d->model->finished())
        Exit();
    else
        QDialog::reject();
}

ListDesignModel* frmWizard::model() const { return d->model.get(); }
vW_StepHeader* frmWizard::hdr_step() const { return d->header; }
QStackedWidget* frmWizard::pages() const { return d->pages; }
QLabel* frmWizard::lbl_help() const { return d->help; }
QComboBox* frmWizard::cbo_list_type() const { return d->listType; }
QComboBox* frmWizard::cbo_report() const { return d->report; }
QLineEdit* frmWizard::txt_report_name() const { return d->name; }
QLineEdit* frmWizard::txt_report_description() const { return d->description; }
QRadioButton* frmWizard::opt_process_type(int index) const
{
    return index >= 0 && index < 3 ? d->modes[index] : nullptr;
}
QCheckBox* frmWizard::chk_filter_form() const { return d->filterForm; }
QCheckBox* frmWizard::chk_invisible_detail() const { return d->detailInvisible; }
QCheckBox* frmWizard::chk_private() const { return d->privateReport; }
ui::FieldTree* frmWizard::tree_group_fields() const { return d->groupTree; }
ChosenFieldList* frmWizard::lst_group_fields() const { return d->groupList; }
ui::FieldTree* frmWizard::tree_visible_fields() const { return d->visibleTree; }
ChosenFieldList* frmWizard::lst_visible_fields() const { return d->visibleList; }
AggregateGridView* frmWizard::grd_aggregate() const { return d->grid; }
AggregateFillMenuBar* frmWizard::mnu_aggregate_fill() const { return d->fillMenu; }
ui::FieldTree* frmWizard::tree_where_fields() const { return d->whereTree; }
filters::ConditionPanel* frmWizard::pnl_conditions() const { return d->conditions; }
QPlainTextEdit* frmWizard::txt_sql_description() const { return d->sqlDescription; }
QPushButton* frmWizard::cmd_exit() const { return d->exit; }
QPushButton* frmWizard::cmd_back() const { return d->back; }
QPushButton* frmWizard::cmd_next() const { return d->next; }

}  // namespace lg::controls
