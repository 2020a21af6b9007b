#include "listutils.h"

#include "captions.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>

namespace lg {

namespace {

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// Uniform access to the entries of both list kinds.
struct ListAccess {
    QListWidget* list = nullptr;
    QComboBox* combo = nullptr;

    int count() const { return list ? list->count() : combo->count(); }
    int current() const { return list ? list->currentRow() : combo->currentIndex(); }
    QVariant data(int i) const { return list ? list->item(i)->data(Qt::UserRole) : combo->itemData(i, Qt::UserRole); }
    QString text(int i) const { return list ? list->item(i)->text() : combo->itemText(i); }
    void setEntry(int i, const QString& text, const QVariant& data) const
    {
        if (list) {
            list->item(i)->setText(text);
            list->item(i)->setData(Qt::UserRole, data);
        } else {
            combo->setItemText(i, text);
            combo->setItemData(i, data, Qt::UserRole);
        }
    }
    void select(int i) const
    {
        if (list) {
            list->setCurrentRow(i);
            if (i >= 0)
                list->item(i)->setSelected(true);
        } else {
            combo->setCurrentIndex(i);
        }
    }
    void remove(int i) const
    {
        if (list)
            delete list->takeItem(i);
        else
            combo->removeItem(i);
    }
    int find(const QVariant& value) const
    {
        for (int i = 0; i < count(); ++i) {
            if (sameItemData(data(i), value))
                return i;
        }
        return -1;
    }
};

QVariant selectedData(const ListAccess& a, const QVariant& defaultValue)
{
    const int i = a.current();
    return i >= 0 && i < a.count() ? a.data(i) : defaultValue;
}

bool selectByData(const ListAccess& a, const QVariant& data, const std::optional<QVariant>& fallback)
{
    int i = a.find(data);
    if (i < 0 && fallback)
        i = a.find(*fallback);
    if (i < 0)
        return false;
    a.select(i);
    return true;
}

bool selectFirst(const ListAccess& a)
{
    if (a.count() == 0)
        return false;
    a.select(0);
    return true;
}

bool removeSelected(const ListAccess& a)
{
    const int i = a.current();
    if (i < 0 || i >= a.count())
        return false;
    a.remove(i);
    if (a.count() > 0)
        a.select(std::max(i - 1, 0));
    return true;
}

bool move(bool up, const ListAccess& a)
{
    const int i = a.current();
    if (i < 0 || i >= a.count())
        return false;
    const int j = up ? i - 1 : i + 1;
    if (j < 0 || j >= a.count())
        return false;
    const QString text = a.text(i);
    const QVariant data = a.data(i);
    a.setEntry(i, a.text(j), a.data(j));
    a.setEntry(j, text, data);
    if (a.list)
        a.list->item(i)->setSelected(false);
    a.select(j);
    return true;
}

ListAccess of(const QListWidget* list)
{
    return {const_cast<QListWidget*>(list), nullptr};
}

ListAccess of(const QComboBox* combo)
{
    return {nullptr, const_cast<QComboBox*>(combo)};
}

}  // namespace

bool sameItemData(const QVariant& a, const QVariant& b)
{
    if (isNumber(a) && isNumber(b)) {
        const auto floating = [](const QVariant& v) {
            return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
        };
        if (floating(a) || floating(b))
            return a.toDouble() == b.toDouble();
        return a.toLongLong() == b.toLongLong();
    }
    return a == b;
}

QVariant GetSelectedItemData(const QListWidget* list, const QVariant& defaultValue)
{
    return list ? selectedData(of(list), defaultValue) : defaultValue;
}

QVariant GetSelectedItemData(const QComboBox* combo, const QVariant& defaultValue)
{
    return combo ? selectedData(of(combo), defaultValue) : defaultValue;
}

bool SelectListItemByData(QListWidget* list, const QVariant& data, const std::optional<QVariant>& fallback)
{
    return list && selectByData(of(list), data, fallback);
}

bool SelectListItemByData(QComboBox* combo, const QVariant& data, const std::optional<QVariant>& fallback)
{
    return combo && selectByData(of(combo), data, fallback);
}

bool SelectFirstListItem(QListWidget* list)
{
    return list && selectFirst(of(list));
}

bool SelectFirstListItem(QComboBox* combo)
{
    return combo && selectFirst(of(combo));
}

bool ListContainsItemData(const QListWidget* list, const QVariant& data)
{
    return list && of(list).find(data) >= 0;
}

bool ListContainsItemData(const QComboBox* combo, const QVariant& data)
{
    return combo && of(combo).find(data) >= 0;
}

bool RemoveSelectedListItem(QListWidget* list)
{
    return list && removeSelected(of(list));
}

bool RemoveSelectedListItem(QComboBox* combo)
{
    return combo && removeSelected(of(combo));
}

bool MoveListItem(bool up, QListWidget* list)
{
    return list && move(up, of(list));
}

bool MoveListItem(bool up, QComboBox* combo)
{
    return combo && move(up, of(combo));
}

void ShowItemTipAtPoint(QListWidget* list, double xTwips, double yTwips)
{
    if (!list)
        return;
    const QPoint pixels(qRound(xTwips * list->logicalDpiX() / 1440.0), qRound(yTwips * list->logicalDpiY() / 1440.0));
    const QListWidgetItem* item = list->itemAt(pixels);
    list->setToolTip(item ? item->text() : QString());
}

void SetFocusColor(QWidget* control, bool focused)
{
    if (!control)
        return;
    const QColor color = colorFromWin(focused ? wincolor::SysInfoBackground : wincolor::White, control->palette());
    QPalette p = control->palette();
    p.setColor(QPalette::Base, color);
    control->setPalette(p);
}

}  // namespace lg
