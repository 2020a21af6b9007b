#include "ui/fieldtree.h"

#include <QtCore/QHash>
#include <QtGui/QKeyEvent>

namespace lg::ui {

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
}

struct FieldTree::Private {
    QHash<QString, QTreeWidgetItem*> items;
    int fields = 0;
    QString currentKey;
    int currentFieldId = -1;
    bool filling = false;
};

FieldTree::FieldTree(QWidget* parent) : QTreeWidget(parent), d(std::make_unique<Private>())
{
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);

    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (d->filling)
            return;
        const QString key = keyOf(current);
        const int id = int(fieldIdAt(current));
        if (key != d->currentKey) {
            d->currentKey = key;
            Q_EMIT currentKeyChanged(key);
        }
        if (id != d->currentFieldId) {
            d->currentFieldId = id;
            Q_EMIT currentFieldIdChanged(id);
        }
    });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (d->filling || !item)
            return;
        const long id = fieldIdAt(item);
        if (id == -1 && item->childCount() > 0)
            item->setExpanded(!item->isExpanded());
        Q_EMIT nodeClicked(int(id));
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (d->filling || !item)
            return;
        const long id = fieldIdAt(item);
        if (id != -1)
            Q_EMIT fieldActivated(int(id), item->text(0));
    });
}

FieldTree::~FieldTree() = default;

void FieldTree::fill(const QList<FieldTreeRow>& rows) { fill(buildFieldTreeLayout(rows)); }

void FieldTree::fill(const FieldTreeLayout& layout)
{
    d->filling = true;
    clear();
    d->items.clear();
    d->fields = 0;
    for (const FieldTreeNode& node : layout.nodes) {
        QTreeWidgetItem* parentItem = node.parentKey.isEmpty() ? nullptr : d->items.value(node.parentKey);
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, node.text);
        item->setData(0, KeyRole, node.key);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        if (node.isTable) {
            QFont f = item->font(0);
            f.setBold(true);
            item->setFont(0, f);
        } else {
            ++d->fields;
        }
        d->items.insert(node.key, item);
    }
    QTreeWidgetItem* first = d->items.value(layout.firstTableKey);
    if (first) {
        first->setExpanded(true);
        setCurrentItem(first);
    }
    d->filling = false;

    const QString key = keyOf(currentItem());
    const int id = int(fieldIdAt(currentItem()));
    if (key != d->currentKey) {
        d->currentKey = key;
        Q_EMIT currentKeyChanged(key);
    }
    if (id != d->currentFieldId) {
        d->currentFieldId = id;
        Q_EMIT currentFieldIdChanged(id);
    }
}

int FieldTree::currentFieldId() const { return d->currentFieldId; }

bool FieldTree::setCurrentFieldId(int fieldId)
{
    QTreeWidgetItem* item = d->items.value(fieldNodeKey(fieldId));
    if (!item)
        return false;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

QString FieldTree::currentKey() const { return d->currentKey; }

QTreeWidgetItem* FieldTree::itemForKey(const QString& key) const { return d->items.value(key); }

QString FieldTree::keyOf(const QTreeWidgetItem* item) { return item ? item->data(0, KeyRole).toString() : QString(); }

long FieldTree::fieldIdAt(const QTreeWidgetItem* item) { return item ? fieldIdFromNodeKey(keyOf(item)) : -1; }

QString FieldTree::fieldText(long fieldId) const
{
    QTreeWidgetItem* item = d->items.value(fieldNodeKey(fieldId));
    return item ? item->text(0) : QString();
}

bool FieldTree::hasField(long fieldId) const { return d->items.contains(fieldNodeKey(fieldId)); }

int FieldTree::fieldCount() const { return d->fields; }

void FieldTree::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        QTreeWidgetItem* item = currentItem();
        const long id = fieldIdAt(item);
        if (id != -1) {
            Q_EMIT fieldActivated(int(id), item->text(0));
            event->accept();
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

}  // namespace lg::ui
