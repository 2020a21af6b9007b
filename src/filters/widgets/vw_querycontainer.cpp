#include "filters/widgets/vw_querycontainer.h"

#include "filters/querycontainermodel.h"
#include "filters/widgets/twips.h"
#include "filters/widgets/vquickpick.h"
#include "ui/captions.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

namespace lg::filters {

namespace {
constexpr uint kListActive = 0x80000005;    // window background
constexpr uint kListInactive = 0xE0E0E0;
constexpr uint kExtendedActive = 0x800000;  // dark blue
constexpr uint kExtendedInactive = 0x8000000F;
}  // namespace

struct vW_QueryContainer::Private {
    QueryContainerModel* model = nullptr;
    vQuickPick* qpi = nullptr;
    QListWidget* list = nullptr;
    QLabel* extended = nullptr;
    bool syncing = false;
};

vW_QueryContainer::vW_QueryContainer(QWidget* parent)
    : vW_QueryFilterBase(new QueryContainerModel, parent), d(new Private)
{
    setObjectName(QStringLiteral("vW_QueryContainer"));
    d->model = static_cast<QueryContainerModel*>(filter());
    d->qpi = new vQuickPick(this);
    d->qpi->setObjectName(QStringLiteral("qpiFilter"));
    d->qpi->setCaptionVisible(false);
    d->list = new QListWidget(this);
    d->list->setObjectName(QStringLiteral("lstFilter"));
    d->list->setSelectionMode(QAbstractItemView::SingleSelection);
    d->list->installEventFilter(this);
    d->extended = new QLabel(this);
    d->extended->setObjectName(QStringLiteral("lblExtendedFilter"));
    d->extended->hide();

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(2);
    layout->addWidget(chkQueryFilter(), 0, 0, Qt::AlignTop);
    layout->addWidget(lblCaption(), 0, 1, Qt::AlignTop);
    layout->addWidget(d->qpi, 0, 2);
    layout->addWidget(d->extended, 0, 3, Qt::AlignTop);
    layout->addWidget(d->list, 1, 2, 1, 2);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(1, 1);
    lblCaption()->setMinimumHeight(chkQueryFilter()->sizeHint().height());

    QueryContainerModel* m = d->model;
    connect(m, &QueryContainerModel::entriesChanged, this, &vW_QueryContainer::showEntries);
    connect(m, &QueryContainerModel::currentIndexChanged, this, [this](int index) {
        if (!d->syncing && d->list->currentRow() != index) {
            d->syncing = true;
            if (index < 0)
                d->list->clearSelection();
            d->list->setCurrentRow(index);
            d->syncing = false;
        }
        Q_EMIT FilterTextChanged(FilterText());
    });
    connect(m, &QueryContainerModel::settingsChanged, this, [this] {
        d->extended->setText(d->model->extendedFilterCaption());
        d->extended->setVisible(d->model->extendedFilterVisible());
        Q_EMIT SettingsChanged();
    });
    connect(this, &vW_QueryFilterBase::QueryFieldChanged, this, &vW_QueryContainer::SettingsChanged);
    connect(this, &vW_QueryFilterBase::QueryFieldDescriptionChanged, this, &vW_QueryContainer::SettingsChanged);
    connect(m, &QueryContainerModel::checkChange, this, &vW_QueryContainer::CheckChange);
    connect(m, &QueryContainerModel::filterCreateSQLTag, this, &vW_QueryContainer::FilterCreateSQLTag,
            Qt::DirectConnection);
    connect(m, &QueryContainerModel::quickPickInitialized, this, [this](qint32 id, const QString& recordFilter) {
        if (d->syncing)
            return;
        d->qpi->InitializeQuickPick(id, {}, recordFilter);
        if (!d->model->searchField().isEmpty() && d->qpi->SearchField() != d->model->searchField())
            d->qpi->setSearchField(d->model->searchField());
    });
    connect(m, &QueryContainerModel::quickPickChanged, this, [this] {
        if (!d->model->searchField().isEmpty() && d->qpi->SearchField() != d->model->searchField())
            d->qpi->setSearchField(d->model->searchField());
    });
    connect(m, &QueryContainerModel::quickPickCleared, this, [this] {
        d->qpi->setID(-1);
        d->qpi->setText(QString());
    });

    connect(d->qpi, &vQuickPick::KeyDown, this, [this](int keyCode, int shift) {
        if (keyCode == 13 && shift == 0)
            pickCurrentRecord();
    });
    connect(d->qpi, &vQuickPick::ChangedItemID, this, &vW_QueryContainer::QpiInput1Changed);
    connect(d->qpi, &vQuickPick::Change, this, &vW_QueryContainer::QpiInput1Changed);
    connect(d->qpi, &vQuickPick::GeometryChanged, this, [this] { Q_EMIT TextBoxWidthChanged(TextBoxWidth()); });
    connect(d->list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!d->syncing)
            d->model->setCurrentIndex(row);
    });

    applyCaption();
    // Created ticked and unticked once: the inactive look.
    applyActivationLook(false);
}

vW_QueryContainer::~vW_QueryContainer()
{
    d->list->disconnect(this);
    d->qpi->disconnect(this);
}

QueryContainerModel* vW_QueryContainer::model() const { return d->model; }
vQuickPick* vW_QueryContainer::qpiFilter() const { return d->qpi; }
QListWidget* vW_QueryContainer::lstFilter() const { return d->list; }

QString vW_QueryContainer::QueryFieldVisible1() const { return d->model->queryFieldVisible1(); }
void vW_QueryContainer::setQueryFieldVisible1(const QString& field) { d->model->setQueryFieldVisible1(field); }
QString vW_QueryContainer::QueryField1ProgIDFilter() const { return d->model->queryField1ProgIDFilter(); }
void vW_QueryContainer::setQueryField1ProgIDFilter(const QString& f) { d->model->setQueryField1ProgIDFilter(f); }
QString vW_QueryContainer::PrimaryKeyFiled() const { return d->model->primaryKeyFiled(); }
void vW_QueryContainer::setPrimaryKeyFiled(const QString& field) { d->model->setPrimaryKeyFiled(field); }
QString vW_QueryContainer::QueryResultIDs() const { return d->model->queryResultIDs(); }
void vW_QueryContainer::setQueryResultIDs(const QString& ids) { d->model->setQueryResultIDs(ids); }
int vW_QueryContainer::TextBoxWidth() const { return d->qpi->TextBoxWidth(); }
void vW_QueryContainer::setTextBoxWidth(int twips) { d->qpi->setTextBoxWidth(twips); }
bool vW_QueryContainer::QpiFilterVisible() const { return !d->qpi->isHidden(); }
void vW_QueryContainer::setQpiFilterVisible(bool visible)
{
    if (visible == QpiFilterVisible())
        return;
    d->qpi->setVisible(visible);
    Q_EMIT QpiFilterVisibleChanged(visible);
}
int vW_QueryContainer::QpiInput1Value() const { return d->qpi->ID(); }
void vW_QueryContainer::setQpiInput1Value(int id) { d->qpi->setID(id); }
QString vW_QueryContainer::QpiInput1Text() const { return d->qpi->Text(); }
bool vW_QueryContainer::isExtendedFilter() const { return d->model->isExtendedFilter(); }
void vW_QueryContainer::setIsExtendedFilter(bool on) { d->model->setIsExtendedFilter(on); }
QString vW_QueryContainer::ExtendedFilterCaption() const { return d->model->extendedFilterCaption(); }
void vW_QueryContainer::setExtendedFilterCaption(const QString& c) { d->model->setExtendedFilterCaption(c); }
bool vW_QueryContainer::ExtendedFilterVisible() const { return d->model->extendedFilterVisible(); }
void vW_QueryContainer::setExtendedFilterVisible(bool v) { d->model->setExtendedFilterVisible(v); }

QString vW_QueryContainer::FilterText() const
{
    const int i = d->model->currentIndex();
    return i >= 0 ? d->model->entries().at(i).text : QString();
}

void vW_QueryContainer::setDatabase(std::shared_ptr<dao::Database> db) { d->model->setDatabase(std::move(db)); }

bool vW_QueryContainer::InitializeQuickPick(int lQuickPickID, const QString& sCustomBrowseID,
                                            const QString& sCustomRecordFilter, const QString& sSearchField)
{
    d->syncing = true;
    const bool ok = d->qpi->InitializeQuickPick(lQuickPickID, sCustomBrowseID, sCustomRecordFilter);
    if (!sSearchField.isEmpty())
        d->qpi->setSearchField(sSearchField);
    d->model->initializeQuickPick(lQuickPickID, d->qpi->CustomRecordFilter(), d->qpi->SearchField());
    // What the quick pick itself reports wins; it knows nothing when its
    // definition could not be read.
    if (!d->qpi->QuickPickTable().isEmpty())
        d->model->setQuickPickSource(d->qpi->QuickPickTable(), d->qpi->SearchField());
    d->syncing = false;
    return ok;
}

void vW_QueryContainer::CurrentSearchField(const QString& sField)
{
    d->qpi->setSearchField(sField);
    d->model->currentSearchField(sField);
}

void vW_QueryContainer::AddFilterItem(const QString& sItem, qint32 lItemID) { d->model->addFilterItem(sItem, lItemID); }
void vW_QueryContainer::RemoveFilterItem() { d->model->removeFilterItem(); }
void vW_QueryContainer::ListBoxVisible(bool bVisible) { d->list->setVisible(bVisible); }
void vW_QueryContainer::SelectFirstFilterItem() { d->model->selectFirstFilterItem(); }

void vW_QueryContainer::SetFilterDefault()
{
    d->model->setFilterDefault();
    applyActivationLook(false);
}

void vW_QueryContainer::pickCurrentRecord()
{
    if (d->qpi->ID() >= 0)
        d->model->addPickedRecord(d->qpi->ID(), d->qpi->Text());
}

void vW_QueryContainer::showEntries()
{
    d->syncing = true;
    d->list->clear();
    for (const ContainerEntry& e : d->model->entries()) {
        auto* item = new QListWidgetItem(e.text, d->list);
        item->setData(Qt::UserRole, e.id);
    }
    if (d->model->currentIndex() >= 0)
        d->list->setCurrentRow(d->model->currentIndex());
    d->syncing = false;
}

void vW_QueryContainer::applyActivationLook(bool active)
{
    d->qpi->setEnabledState(active);
    d->list->setEnabled(active);
    QPalette p = d->list->palette();
    const QColor c = colorFromWin(active ? kListActive : kListInactive, QApplication::palette());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::Base, c);
    d->list->setPalette(p);
    QPalette lp = d->extended->palette();
    lp.setColor(QPalette::WindowText,
                colorFromWin(active ? kExtendedActive : kExtendedInactive, QApplication::palette()));
    d->extended->setPalette(lp);
}

void vW_QueryContainer::activationClicked(bool active)
{
    vW_QueryFilterBase::activationClicked(active);
    if (active)
        d->qpi->txtInput()->setFocus(Qt::OtherFocusReason);
}

bool vW_QueryContainer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->list && event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        if ((e->key() == Qt::Key_F8 || e->key() == Qt::Key_Delete) && e->modifiers() == Qt::NoModifier) {
            d->model->removeCurrentEntry();
            return true;
        }
    }
    return vW_QueryFilterBase::eventFilter(watched, event);
}

void vW_QueryContainer::resizeEvent(QResizeEvent* event)
{
    vW_QueryFilterBase::resizeEvent(event);
    Q_EMIT Resize();
}

void vW_QueryContainer::mousePressEvent(QMouseEvent* event)
{
    vW_QueryFilterBase::mousePressEvent(event);
    Q_EMIT Click();
}

void vW_QueryContainer::mouseDoubleClickEvent(QMouseEvent* event)
{
    vW_QueryFilterBase::mouseDoubleClickEvent(event);
    Q_EMIT DblClick();
}

QSize vW_QueryContainer::sizeHint() const { return {420, 150}; }

std::vector<PersistedProperty> vW_QueryContainer::viewProperties() const
{
    auto table = vW_QueryFilterBase::viewProperties();
    table.push_back({"TextBoxWidth", 1500});
    table.push_back({"QpiFilterVisible", true});
    return table;
}

}  // namespace lg::filters
