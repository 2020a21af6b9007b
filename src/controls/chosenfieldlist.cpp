#include "controls/chosenfieldlist.h"

#include "ui/listutils.h"

#include <QtGui/QKeyEvent>

using namespace Qt::StringLiterals;

namespace lg::controls {

int chosenListMoveDirection(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ShiftModifier))
        return 0;
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key == Qt::Key_Up || (keypad && key == Qt::Key_8))
        return -1;
    if (key == Qt::Key_Down || (keypad && key == Qt::Key_2))
        return 1;
    return 0;
}

ChosenFieldList::ChosenFieldList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item)
            Q_EMIT removeRequested(row(item));
    });
    SetFocusColor(this, false);
}

ChosenFieldList::~ChosenFieldList() = default;

QList<long> ChosenFieldList::fieldIds() const
{
    QList<long> ids;
    for (int i = 0; i < count(); ++i)
        ids << long(item(i)->data(Qt::UserRole).toLongLong());
    return ids;
}

QVariantList ChosenFieldList::FieldIds() const
{
    QVariantList ids;
    for (long id : fieldIds())
        ids << QVariant::fromValue(qlonglong(id));
    return ids;
}

QList<ChosenFieldList::Field> ChosenFieldList::fields() const
{
    QList<Field> out;
    for (int i = 0; i < count(); ++i)
        out << Field{long(item(i)->data(Qt::UserRole).toLongLong()), item(i)->text()};
    return out;
}

bool ChosenFieldList::containsField(long id) const { return ListContainsItemData(this, QVariant::fromValue(qlonglong(id))); }

void ChosenFieldList::setFields(const QList<Field>& fields, int current)
{
    const QList<long> before = fieldIds();
    QSignalBlocker block(this);
    clear();
    for (const Field& f : fields) {
        auto* it = new QListWidgetItem(f.caption, this);
        it->setData(Qt::UserRole, QVariant::fromValue(qlonglong(f.id)));
    }
    if (current >= 0 && current < count())
        setCurrentRow(current);
    else
        SelectFirstListItem(this);
    if (fieldIds() != before) {
        block.unblock();
        Q_EMIT FieldIdsChanged(FieldIds());
    }
}

void ChosenFieldList::keyPressEvent(QKeyEvent* event)
{
    if (const int dir = chosenListMoveDirection(event->key(), event->modifiers())) {
        if (currentRow() >= 0)
            Q_EMIT moveRequested(currentRow(), dir);
        event->accept();
        Q_EMIT edited();
        return;
    }
    QListWidget::keyPressEvent(event);
    Q_EMIT edited();
}

void ChosenFieldList::focusInEvent(QFocusEvent* event)
{
    SetFocusColor(this, true);
    QListWidget::focusInEvent(event);
}

void ChosenFieldList::focusOutEvent(QFocusEvent* event)
{
    SetFocusColor(this, false);
    QListWidget::focusOutEvent(event);
}

}  // namespace lg::controls
