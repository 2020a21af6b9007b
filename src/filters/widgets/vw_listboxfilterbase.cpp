#include "filters/widgets/vw_listboxfilterbase.h"

#include "filters/listboxfiltermodel.h"
#include "filters/widgets/twips.h"
#include "ui/captions.h"
#include "ui/listutils.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>

namespace lg::filters {

vW_ListBoxFilterBase::vW_ListBoxFilterBase(ListBoxFilterModel* model, QWidget* parent)
    : vW_QueryFilterBase(model, parent), model_(model), lstFilter_(new QListWidget(this))
{
    lstFilter_->setObjectName(QStringLiteral("lstFilter"));
    lstFilter_->setSelectionMode(QAbstractItemView::MultiSelection);
    lstFilter_->installEventFilter(this);
    lstFilter_->viewport()->installEventFilter(this);
    lstFilter_->viewport()->setMouseTracking(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(4);
    layout->addWidget(chkQueryFilter(), 0, Qt::AlignTop);
    layout->addWidget(lblCaption(), 0, Qt::AlignTop);
    layout->addWidget(lstFilter_, 1);
    lblCaption()->setMinimumHeight(chkQueryFilter()->sizeHint().height());

    connect(model_, &ListBoxFilterModel::itemsChanged, this, &vW_ListBoxFilterBase::showItems);
    connect(model_, &ListBoxFilterModel::selectionChanged, this, &vW_ListBoxFilterBase::showSelection);
    connect(model_, &ListBoxFilterModel::currentIndexChanged, this, [this](int index) {
        if (!syncing_ && lstFilter_->currentRow() != index) {
            syncing_ = true;
            lstFilter_->setCurrentRow(index, QItemSelectionModel::NoUpdate);
            syncing_ = false;
        }
        Q_EMIT FilterTextChanged(model_->filterText());
    });
    connect(model_, &ListBoxFilterModel::listItemCheckedChanged, this, &vW_ListBoxFilterBase::ListItemCheckedChanged);
    connect(model_, &ListBoxFilterModel::primaryKeyFiledChanged, this, &vW_ListBoxFilterBase::PrimaryKeyFiledChanged);
    connect(model_, &ListBoxFilterModel::checkChange, this, &vW_ListBoxFilterBase::CheckChange);
    connect(model_, &ListBoxFilterModel::filterCreateSQLTag, this, &vW_ListBoxFilterBase::FilterCreateSQLTag,
            Qt::DirectConnection);

    connect(lstFilter_, &QListWidget::itemSelectionChanged, this, [this] {
        if (syncing_)
            return;
        syncing_ = true;
        for (int i = 0; i < lstFilter_->count(); ++i)
            model_->setSelected(i, lstFilter_->item(i)->isSelected());
        syncing_ = false;
    });
    connect(lstFilter_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_)
            model_->setCurrentIndex(row);
    });

    // Entries a host puts into the list directly become the model's too.
    QAbstractItemModel* entries = lstFilter_->model();
    connect(entries, &QAbstractItemModel::rowsInserted, this, &vW_ListBoxFilterBase::takeItemsFromList);
    connect(entries, &QAbstractItemModel::rowsRemoved, this, &vW_ListBoxFilterBase::takeItemsFromList);
    connect(entries, &QAbstractItemModel::dataChanged, this, &vW_ListBoxFilterBase::takeItemsFromList);
    connect(entries, &QAbstractItemModel::modelReset, this, &vW_ListBoxFilterBase::takeItemsFromList);

    applyCaption();
    showItems();
    applyActivationLook(model_->isActive());
}

vW_ListBoxFilterBase::~vW_ListBoxFilterBase()
{
    // The list resets its entries while it is destroyed; the model may be gone by then.
    lstFilter_->model()->disconnect(this);
    lstFilter_->disconnect(this);
}

ListBoxFilterModel* vW_ListBoxFilterBase::model() const { return model_; }

bool vW_ListBoxFilterBase::ListItemChecked() const { return model_->listItemChecked(); }
void vW_ListBoxFilterBase::setListItemChecked(bool checked) { model_->setListItemChecked(checked); }
QString vW_ListBoxFilterBase::PrimaryKeyFiled() const { return model_->primaryKeyFiled(); }
void vW_ListBoxFilterBase::setPrimaryKeyFiled(const QString& field) { model_->setPrimaryKeyFiled(field); }
QString vW_ListBoxFilterBase::QueryResultIDs() const { return model_->queryResultIDs(); }
QString vW_ListBoxFilterBase::FilterText() const { return model_->filterText(); }

void vW_ListBoxFilterBase::setFilterBackColor(uint color)
{
    if (filterBackColor_ == color)
        return;
    filterBackColor_ = color;
    if (model_->isActive())
        paintList(color);
    Q_EMIT FilterBackColorChanged(color);
}

QFont vW_ListBoxFilterBase::FilterFont() const { return lstFilter_->font(); }
void vW_ListBoxFilterBase::setFilterFont(const QFont& font)
{
    if (lstFilter_->font() == font)
        return;
    lstFilter_->setFont(font);
    Q_EMIT FilterFontChanged(font);
}

void vW_ListBoxFilterBase::AddFilterItem(const QString& sItem, qint32 lItemID) { model_->addFilterItem(sItem, lItemID); }
void vW_ListBoxFilterBase::RemoveFilterItem() { model_->removeFilterItem(); }
void vW_ListBoxFilterBase::SelectItem(qint32 lItemID) { model_->selectItem(lItemID); }
void vW_ListBoxFilterBase::ListBoxVisible(bool bVisible) { lstFilter_->setVisible(bVisible); }
void vW_ListBoxFilterBase::SelectFirstFilterItem() { model_->selectFirstFilterItem(); }

void vW_ListBoxFilterBase::SetFilterDefault()
{
    model_->setFilterDefault();
    applyActivationLook(false);
}

void vW_ListBoxFilterBase::takeItemsFromList()
{
    if (syncing_)
        return;
    syncing_ = true;
    model_->removeFilterItem();
    for (int i = 0; i < lstFilter_->count(); ++i) {
        const QListWidgetItem* item = lstFilter_->item(i);
        model_->addFilterItem(item->text(), item->data(Qt::UserRole).toInt());
        model_->setSelected(i, item->isSelected());
    }
    model_->setCurrentIndex(lstFilter_->currentRow());
    syncing_ = false;
}

void vW_ListBoxFilterBase::showItems()
{
    if (syncing_)
        return;
    syncing_ = true;
    lstFilter_->clear();
    for (const FilterItem& item : model_->items()) {
        auto* entry = new QListWidgetItem(item.text, lstFilter_);
        entry->setData(Qt::UserRole, item.id);
        entry->setSelected(item.selected);
    }
    if (model_->currentIndex() >= 0)
        lstFilter_->setCurrentRow(model_->currentIndex(), QItemSelectionModel::NoUpdate);
    syncing_ = false;
}

void vW_ListBoxFilterBase::showSelection()
{
    if (syncing_)
        return;
    if (lstFilter_->count() != model_->count()) {
        showItems();
        return;
    }
    syncing_ = true;
    for (int i = 0; i < lstFilter_->count(); ++i)
        lstFilter_->item(i)->setSelected(model_->isSelected(i));
    syncing_ = false;
}

void vW_ListBoxFilterBase::paintList(uint color)
{
    QPalette p = lstFilter_->palette();
    const QColor c = colorFromWin(color, QApplication::palette());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::Base, c);
    lstFilter_->setPalette(p);
}

void vW_ListBoxFilterBase::applyActivationLook(bool active)
{
    lstFilter_->setEnabled(active);
    paintList(active ? filterBackColor_ : wincolor::DisabledLight);
}

void vW_ListBoxFilterBase::activationClicked(bool active)
{
    vW_QueryFilterBase::activationClicked(active);
    if (active)
        lstFilter_->setFocus(Qt::OtherFocusReason);
}

bool vW_ListBoxFilterBase::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstFilter_) {
        if (event->type() == QEvent::FocusIn) {
            SetFocusColor(lstFilter_, true);
        } else if (event->type() == QEvent::FocusOut) {
            SetFocusColor(lstFilter_, false);
            if (model_->isActive())
                paintList(filterBackColor_);
            model_->build();  // the condition follows the selection when the list is left
        }
    } else if (watched == lstFilter_->viewport() && event->type() == QEvent::MouseMove) {
        const QPointF at = static_cast<QMouseEvent*>(event)->position();
        ShowItemTipAtPoint(lstFilter_, pixelsToTwipsX(int(at.x()), lstFilter_),
                           at.y() * 1440.0 / lstFilter_->logicalDpiY());
    }
    return vW_QueryFilterBase::eventFilter(watched, event);
}

std::vector<PersistedProperty> vW_ListBoxFilterBase::viewProperties() const
{
    auto table = vW_QueryFilterBase::viewProperties();
    table.push_back({"FilterBackColor", 0x80000005u});
    table.push_back({"FilterFont", QVariant::fromValue(QFont())});
    return table;
}

}  // namespace lg::filters
