#include <gtest/gtest.h>

#include "filters/widgets/frmmonthview.h"
#include "filters/widgets/negationpicture.h"

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>
#include <QtWidgets/QToolButton>

#include "ui/uitest.h"

using namespace lg::filters;

TEST(MonthView, KeepsTheDateAsADayCountSince1900)
{
    frmMonthView view;
    QSignalSpy changed(&view, &frmMonthView::SelectedDateChanged);
    view.setSelectedDate(QDate(1900, 1, 1));
    EXPECT_EQ(view.dayCount(), 0);
    view.setSelectedDate(QDate(2024, 3, 5));
    EXPECT_EQ(view.dayCount(), 45354);
    EXPECT_EQ(view.SelectedDate(), QDate(2024, 3, 5));
    EXPECT_EQ(view.calendar()->selectedDate(), QDate(2024, 3, 5));
    EXPECT_EQ(changed.count(), 2);
    view.setSelectedDate(QDate());  // ignored
    EXPECT_EQ(view.SelectedDate(), QDate(2024, 3, 5));
    EXPECT_FALSE(view.UserSelected());
}

TEST(MonthView, NamesComeFromTheStringTable)
{
    frmMonthView view;
    view.setSelectedDate(QDate(2024, 3, 5));
    auto* month = view.calendar()->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text(), QStringLiteral("Marcius"));
    view.setSelectedDate(QDate(2024, 5, 1));  // the calendar rewrites it on a page change
    EXPECT_EQ(month->text(), QStringLiteral("Majus"));
    ASSERT_NE(month->menu(), nullptr);
    EXPECT_EQ(month->menu()->actions().value(0)->text(), QStringLiteral("Január"));

    QStringList days;
    for (auto* l : view.findChild<QWidget*>(QStringLiteral("dayNames"))->findChildren<QLabel*>())
        days << l->text();
    EXPECT_EQ(days.join(QLatin1Char(',')), QStringLiteral("V,H,K,Sze,Cs,P,Szo"));
    EXPECT_EQ(view.calendar()->firstDayOfWeek(), Qt::Sunday);
    EXPECT_EQ(view.findChild<QPushButton*>(QStringLiteral("cmdToday"))->text(), QStringLiteral("Ma"));
}

TEST(MonthView, PickEnterAndEscapeSetUserSelected)
{
    struct Case {
        const char* name;
        std::function<void(frmMonthView&)> act;
        bool userSelected;
        QDate date;
    };
    const std::vector<Case> cases = {
        {"click a day",
         [](frmMonthView& v) {
             auto* grid = v.calendar()->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
             // 2024-03-05 is a Tuesday; find its cell by its text in the grid.
             for (int r = 0; r < grid->model()->rowCount(); ++r)
                 for (int c = 0; c < 7; ++c) {
                     const QModelIndex i = grid->model()->index(r, c);
                     if (r >= 1 && grid->model()->data(i).toInt() == 12 && r < 4) {
                         QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(i).center());
                         return;
                     }
                 }
         },
         true, QDate(2024, 3, 12)},
        {"Enter in the grid",
         [](frmMonthView& v) {
             auto* grid = v.calendar()->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
             QTest::keyClick(grid, Qt::Key_Right);
             QTest::keyClick(grid, Qt::Key_Return);
         },
         true, QDate(2024, 3, 6)},
        {"Escape", [](frmMonthView& v) { QTest::keyClick(&v, Qt::Key_Escape); }, false, QDate(2024, 3, 5)},
        {"Escape in the grid",
         [](frmMonthView& v) {
             QTest::keyClick(v.calendar()->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview")),
                             Qt::Key_Escape);
         },
         false, QDate(2024, 3, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget anchor;
        anchor.resize(120, 20);
        anchor.show();
        frmMonthView view;
        view.setSelectedDate(QDate(2024, 3, 5));
        QSignalSpy selected(&view, &frmMonthView::UserSelectedChanged);
        lg::test::whenModal([&](QWidget*) { c.act(view); });
        EXPECT_EQ(view.popUpBelow(&anchor), c.userSelected);
        EXPECT_FALSE(view.isVisible());
        EXPECT_EQ(view.UserSelected(), c.userSelected);
        EXPECT_EQ(selected.count(), c.userSelected ? 1 : 0);
        EXPECT_EQ(view.SelectedDate(), c.date);
    }
}

TEST(NegationPictureView, FourStatesAndClicks)
{
    EXPECT_EQ(negationPictureKeyOf(false, true), QStringLiteral("_ok"));
    EXPECT_EQ(negationPictureKeyOf(true, true), QStringLiteral("_cancel"));
    EXPECT_EQ(negationPictureKeyOf(false, false), QStringLiteral("_ok_disabled"));
    EXPECT_EQ(negationPictureKeyOf(true, false), QStringLiteral("_cancel_disabled"));

    // The four pictures differ from each other.
    QList<QImage> images;
    for (bool negated : {false, true})
        for (bool enabled : {false, true})
            images << paintNegationPicture(negated, enabled, 16).toImage();
    for (int i = 0; i < images.size(); ++i)
        for (int j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << i << " " << j;
    EXPECT_EQ(paintNegationPicture(true, true, 16, 2.0).size(), QSize(32, 32));

    NegationPictureView picture;
    QSignalSpy clicked(&picture, &NegationPictureView::clicked);
    QTest::mouseClick(&picture, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseClick(&picture, Qt::RightButton);
    EXPECT_EQ(clicked.count(), 1);
    picture.setNegated(true);
    picture.setActiveLook(false);
    EXPECT_EQ(picture.pictureName(), QStringLiteral("_cancel_disabled"));
}
