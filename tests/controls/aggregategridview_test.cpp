// The aggregate grid's view and its cell editor on a grid without a
// database: what is shown, which cells open a drop-down, what a choice
// sends.

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <gtest/gtest.h>

#include "controls/aggregategrid.h"
#include "controls/aggregategridview.h"

using namespace Qt::StringLiterals;
using namespace lg::controls;

namespace {

AggregateGrid twoLevels()
{
    AggregateGrid g;
    g.reset({u"Régió név"_s, u"Partner név"_s});
    g.addRow(101, u"Nettó összeg"_s, 2);
    g.addRow(102, u"Fizetve"_s, 5);
    g.addRow(103, u"Megjegyzés"_s, 6);  // a type without aggregates
    g.setCellCode(1, 3, 4);
    return g;
}

QComboBox* openEditor(AggregateGridView& view, int row, int column)
{
    view.setCurrentCell(row, column);
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_F2);
    return view.findChild<QComboBox*>(u"cbo_aggregate"_s);
}

}  // namespace

TEST(AggregateGridView, ShowsTheGridWithItsHeaderRow)
{
    AggregateGridView view;
    QSignalSpy shown(&view, &AggregateGridView::gridShown);
    view.showGrid(twoLevels());
    EXPECT_EQ(shown.count(), 1);
    ASSERT_EQ(view.columnCount(), 4);
    ASSERT_EQ(view.FieldRowCount(), 3);
    QStringList headers;
    for (int c = 0; c < view.columnCount(); ++c)
        headers << view.horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, (QStringList{u"Mező"_s, u"Régió név"_s, u"Partner név"_s, u"Mindösszesen"_s}));
    EXPECT_EQ(view.item(0, 0)->text(), u"Nettó összeg"_s);
    EXPECT_EQ(view.item(0, 3)->text(), u"Összeg"_s);
    EXPECT_EQ(view.item(0, 3)->data(AggregateGridView::CodeRole).toLongLong(), 4);
    EXPECT_EQ(view.item(0, 1)->data(AggregateGridView::CodeRole).toLongLong(), -1);
    EXPECT_EQ(view.item(1, 0)->data(AggregateGridView::DataTypeRole).toLongLong(), 5);
    EXPECT_FALSE(view.item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(view.item(0, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(view.item(2, 1)->flags() & Qt::ItemIsEditable);
    // Shown again with fewer levels: the columns follow the grid.
    AggregateGrid one;
    one.reset({u"Régió név"_s});
    one.addRow(101, u"Nettó összeg"_s, 2);
    view.showGrid(one);
    EXPECT_EQ(view.columnCount(), 3);
    EXPECT_EQ(view.FieldRowCount(), 1);
}

TEST(AggregateGridView, TheEditorOffersTheRowsCodesAndSendsTheChoice)
{
    AggregateGridView view;
    view.showGrid(twoLevels());
    view.resize(600, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QSignalSpy chosen(&view, &AggregateGridView::aggregateChosen);
    const struct {
        int row, column;
        int expectedItems;  // the empty entry and the codes
        Qt::Key key;
        long code;  // sent; -2: no editor
    } cases[] = {
        {0, 1, 6, Qt::Key_End, 5},     // number: up to Átlag
        {0, 3, 6, Qt::Key_Home, -1},   // the empty entry clears the cell
        {1, 2, 4, Qt::Key_End, 3},     // Boolean: up to Legkisebb
        {2, 1, 0, Qt::Key_End, -2},    // no aggregates for this type
        {0, 0, 0, Qt::Key_End, -2},    // the caption is no aggregate
    };
    for (const auto& c : cases) {
        chosen.clear();
        QComboBox* editor = openEditor(view, c.row, c.column);
        if (c.code == -2) {
            EXPECT_FALSE(editor) << c.row << "," << c.column;
            continue;
        }
        ASSERT_TRUE(editor) << c.row << "," << c.column;
        EXPECT_EQ(editor->count(), c.expectedItems);
        EXPECT_EQ(editor->itemText(0), QString());
        QTest::keyClick(editor, c.key);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(chosen.count(), 1) << c.row << "," << c.column;
        EXPECT_EQ(chosen.at(0).at(0).toInt(), AggregateGridView::gridRow(c.row));
        EXPECT_EQ(chosen.at(0).at(1).toInt(), c.column);
        EXPECT_EQ(chosen.at(0).at(2).value<long>(), c.code);
        // The view waits for the model: the cell is unchanged.
        EXPECT_EQ(view.item(c.row, c.column)->data(AggregateGridView::CodeRole).toLongLong(),
                  twoLevels().cellData(AggregateGridView::gridRow(c.row), c.column));
    }
}
