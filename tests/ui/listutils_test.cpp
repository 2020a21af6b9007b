#include <gtest/gtest.h>

#include "ui/captions.h"
#include "ui/listutils.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

using namespace lg;

namespace {

void fill(QListWidget& list, const QList<QPair<QString, QVariant>>& entries)
{
    for (const auto& [text, data] : entries) {
        auto* item = new QListWidgetItem(text, &list);
        item->setData(Qt::UserRole, data);
    }
}

void fill(QComboBox& combo, const QList<QPair<QString, QVariant>>& entries)
{
    for (const auto& [text, data] : entries)
        combo.addItem(text, data);
}

QStringList texts(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text() + QLatin1Char('=') + list.item(i)->data(Qt::UserRole).toString();
    return out;
}

const QList<QPair<QString, QVariant>> kEntries = {
    {QStringLiteral("a"), 10}, {QStringLiteral("b"), 20}, {QStringLiteral("c"), 30}, {QStringLiteral("d"), 20}};

}  // namespace

TEST(ListUtils, SelectionAndLookupOnListBoxes)
{
    QListWidget list;
    EXPECT_FALSE(SelectFirstListItem(&list));
    EXPECT_EQ(GetSelectedItemData(&list, -1).toInt(), -1);

    fill(list, kEntries);
    EXPECT_EQ(GetSelectedItemData(&list, -1).toInt(), -1);  // nothing selected yet
    EXPECT_TRUE(SelectFirstListItem(&list));
    EXPECT_EQ(GetSelectedItemData(&list, -1).toInt(), 10);

    EXPECT_TRUE(SelectListItemByData(&list, 20));
    EXPECT_EQ(list.currentRow(), 1);  // the first of two matches
    EXPECT_TRUE(list.item(1)->isSelected());
    EXPECT_TRUE(SelectListItemByData(&list, 99, QVariant(30)));
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_FALSE(SelectListItemByData(&list, 99, QVariant(98)));
    EXPECT_EQ(list.currentRow(), 2);                                    // unchanged
    EXPECT_TRUE(SelectListItemByData(&list, QVariant(qlonglong(10))));  // numbers compare by value
    EXPECT_EQ(list.currentRow(), 0);

    EXPECT_TRUE(ListContainsItemData(&list, 30));
    EXPECT_TRUE(ListContainsItemData(&list, 30.0));
    EXPECT_FALSE(ListContainsItemData(&list, 31));
    EXPECT_FALSE(ListContainsItemData(&list, QStringLiteral("a")));
}

TEST(ListUtils, RemoveSelectsThePreviousEntry)
{
    QListWidget list;
    EXPECT_FALSE(RemoveSelectedListItem(&list));
    fill(list, kEntries);
    list.setCurrentRow(2);
    EXPECT_TRUE(RemoveSelectedListItem(&list));
    EXPECT_EQ(texts(list), QStringList({QStringLiteral("a=10"), QStringLiteral("b=20"), QStringLiteral("d=20")}));
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_TRUE(list.item(1)->isSelected());

    list.setCurrentRow(0);
    EXPECT_TRUE(RemoveSelectedListItem(&list));
    EXPECT_EQ(list.currentRow(), 0);  // the first stays the first
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("b"));

    EXPECT_TRUE(RemoveSelectedListItem(&list));
    EXPECT_TRUE(RemoveSelectedListItem(&list));
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(RemoveSelectedListItem(&list));
}

TEST(ListUtils, MoveSwapsWithTheNeighbourAndStopsAtTheEnds)
{
    QListWidget list;
    fill(list, kEntries);
    list.setCurrentRow(1);
    EXPECT_TRUE(MoveListItem(true, &list));
    EXPECT_EQ(texts(list).mid(0, 2), QStringList({QStringLiteral("b=20"), QStringLiteral("a=10")}));
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_FALSE(MoveListItem(true, &list));  // already at the top
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("b"));

    list.setCurrentRow(3);
    EXPECT_FALSE(MoveListItem(false, &list));  // already at the bottom
    list.setCurrentRow(2);
    EXPECT_TRUE(MoveListItem(false, &list));
    EXPECT_EQ(texts(list), QStringList({QStringLiteral("b=20"), QStringLiteral("a=10"), QStringLiteral("d=20"),
                                        QStringLiteral("c=30")}));
    EXPECT_EQ(list.currentRow(), 3);
    EXPECT_EQ(list.selectedItems().size(), 1);

    list.setCurrentRow(-1);
    EXPECT_FALSE(MoveListItem(false, &list));
}

TEST(ListUtils, SameHelpersOnDropDownLists)
{
    QComboBox combo;
    EXPECT_FALSE(SelectFirstListItem(&combo));
    fill(combo, kEntries);
    combo.setCurrentIndex(-1);
    EXPECT_EQ(GetSelectedItemData(&combo, -1).toInt(), -1);
    EXPECT_TRUE(SelectListItemByData(&combo, 30));
    EXPECT_EQ(GetSelectedItemData(&combo).toInt(), 30);
    EXPECT_TRUE(ListContainsItemData(&combo, 20));
    EXPECT_TRUE(MoveListItem(true, &combo));
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(combo.itemText(1), QStringLiteral("c"));
    EXPECT_EQ(combo.itemData(2).toInt(), 20);
    EXPECT_TRUE(RemoveSelectedListItem(&combo));
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.currentIndex(), 0);
}

TEST(ListUtils, ItemTipFollowsThePointInTwips)
{
    QListWidget list;
    fill(list, kEntries);
    list.resize(200, 300);
    list.show();
    const QRect second = list.visualItemRect(list.item(1));
    const double toTwipsX = 1440.0 / list.logicalDpiX();
    const double toTwipsY = 1440.0 / list.logicalDpiY();

    ShowItemTipAtPoint(&list, second.center().x() * toTwipsX, second.center().y() * toTwipsY);
    EXPECT_EQ(list.toolTip(), QStringLiteral("b"));
    ShowItemTipAtPoint(&list, 5 * toTwipsX, 290 * toTwipsY);  // below the last entry
    EXPECT_EQ(list.toolTip(), QString());
}

TEST(ListUtils, FocusColour)
{
    QLineEdit edit;
    SetFocusColor(&edit, true);
    EXPECT_EQ(edit.palette().color(QPalette::Base), colorFromWin(wincolor::SysInfoBackground, QPalette()));
    SetFocusColor(&edit, false);
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(Qt::white));
}
