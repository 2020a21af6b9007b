#include <gtest/gtest.h>

#include "filters/typedinput.h"
#include "filters/widgets/frmmonthview.h"
#include "filters/widgets/vw_filtercontrol.h"
#include "platform/propertybag.h"
#include "ui/captions.h"
#include "ui/uitest.h"
#include "widgettest.h"

#include <QtGui/QClipboard>
#include <QtTest/QSignalSpy>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QTableView>

using namespace lg;
using namespace lg::filters;
using lg::test::Form;
using lg::test::settle;

namespace {

const QDate kToday(2024, 3, 5);

vW_FilterControl* dateBox()
{
    auto* box = new vW_FilterControl;
    box->model()->setTodayProvider([] { return kToday; });
    box->initDesignProperties();
    box->setInputType(4);
    box->setValue(kToday);
    return box;
}

void retype(vW_FilterControl* box, const QString& text)
{
    box->txtInput()->setFocus();
    box->txtInput()->selectAll();
    QTest::keyClick(box->txtInput(), Qt::Key_Backspace);
    QTest::keyClicks(box->txtInput(), text);
}

}  // namespace

TEST(FilterControl, ForgivingDateEntriesAreReformattedWhenTabLeaves)
{
    for (const char* typed : {"2024.01.31.", "2024-01-31", "2024/1/31", "20240131"}) {
        SCOPED_TRACE(typed);
        auto* box = dateBox();
        Form form(box);
        retype(box, QString::fromLatin1(typed));
        QTest::keyClick(box->txtInput(), Qt::Key_Tab);
        settle();
        EXPECT_TRUE(form.next->hasFocus());
        EXPECT_EQ(box->Value().toDate(), QDate(2024, 1, 31));
        EXPECT_EQ(box->txtInput()->text(), box->model()->formatDate(QDate(2024, 1, 31)));
        EXPECT_EQ(box->FilterValue(), QStringLiteral("01/31/2024"));
    }
}

TEST(FilterControl, InvalidEntriesKeepTheFocus)
{
    struct Case {
        const char* name;
        int type;
        QString typed;
        bool leaves;
    };
    const std::vector<Case> cases = {
        {"day before MinDate", 4, QStringLiteral("1952.12.31"), false},
        {"MinDate itself", 4, QStringLiteral("1953.01.01"), true},
        {"MaxDate itself", 4, QStringLiteral("2029.12.31"), true},
        {"day after MaxDate", 4, QStringLiteral("2030.01.01"), false},
        {"not a date", 4, QStringLiteral("2024.02.30"), false},
        {"empty date box", 4, QString(), false},
        {"number", 2, QStringLiteral("42"), true},
        {"text", 1, QStringLiteral("bármi"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* box = dateBox();
        box->setInputType(c.type);
        Form form(box);
        box->txtInput()->setFocus();
        box->txtInput()->setText(c.typed);  // as pasted
        box->model()->setText(c.typed);
        // By the keyboard.
        QTest::keyClick(box->txtInput(), Qt::Key_Tab);
        settle();
        EXPECT_EQ(form.next->hasFocus(), c.leaves);
        // By a click elsewhere: focus comes back.
        box->txtInput()->setFocus();
        settle();
        QTest::mouseClick(form.next, Qt::LeftButton);
        form.next->setFocus(Qt::MouseFocusReason);
        settle();
        EXPECT_EQ(box->txtInput()->hasFocus(), !c.leaves);
    }
}

TEST(FilterControl, NumberBoxKeystrokeFilter)
{
    auto* box = new vW_FilterControl;
    box->setInputType(2);
    Form form(box);
    EXPECT_EQ(box->txtInput()->text(), QStringLiteral("0"));
    EXPECT_EQ(box->txtInput()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    // Letters, signs and blanks go nowhere; one decimal separator goes in.
    retype(box, QStringLiteral("1a2-3.4,5 6"));
    EXPECT_EQ(box->txtInput()->text(), QStringLiteral("123.456"));
    QTest::keyClick(box->txtInput(), Qt::Key_Backspace);
    EXPECT_EQ(box->txtInput()->text(), QStringLiteral("123.45"));
    EXPECT_EQ(box->Value().toDouble(), 123.45);
    retype(box, QStringLiteral("7,5."));
    EXPECT_EQ(box->txtInput()->text(), QStringLiteral("7,5"));

    // Pasted letters arrive, read as 0, and the box cannot be left.
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    box->txtInput()->selectAll();
    QTest::keyClick(box->txtInput(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->txtInput()->text(), QStringLiteral("abc"));
    EXPECT_EQ(box->Value().toInt(), 0);
    QTest::keyClick(box->txtInput(), Qt::Key_Tab);
    settle();
    EXPECT_TRUE(box->txtInput()->hasFocus());
    // Escape puts "0" back, which may be left.
    QTest::keyClick(box->txtInput(), Qt::Key_Escape);
    EXPECT_EQ(box->txtInput()->text(), QStringLiteral("0"));
    QTest::keyClick(box->txtInput(), Qt::Key_Tab);
    settle();
    EXPECT_TRUE(form.next->hasFocus());
}

TEST(FilterControl, EscapeAndCtrlTInADateBox)
{
    auto* box = dateBox();
    Form form(box);
    box->setValue(QDate(2024, 1, 31));
    retype(box, QStringLiteral("2024.13"));
    QTest::keyClick(box->txtInput(), Qt::Key_Escape);
    EXPECT_EQ(box->Value().toDate(), QDate(2024, 1, 31));
    EXPECT_TRUE(box->model()->parseDate(box->txtInput()->text()) == QDate(2024, 1, 31));

    QTest::keyClick(box->txtInput(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(box->txtInput()->text(), box->model()->formatDate(kToday));

    // Escape in a text box clears it; Ctrl+T does nothing there but reach the host.
    auto* text = new vW_FilterControl;
    Form form2(text);
    retype(text, QStringLiteral("abc"));
    QSignalSpy keys(text, &vW_FilterControl::KeyDown);
    QTest::keyClick(text->txtInput(), Qt::Key_Escape);
    EXPECT_EQ(text->txtInput()->text(), QString());
    EXPECT_EQ(keys.count(), 0);
    QTest::keyClick(text->txtInput(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_GE(keys.count(), 1);  // Ctrl itself, then T
    EXPECT_EQ(keys.last().at(0).toInt(), int(Qt::Key_T));
    EXPECT_EQ(keys.last().at(1).toInt(), 2);
}

TEST(FilterControl, CalendarPopUp)
{
    struct Case {
        const char* name;
        std::function<void(QWidget*)> answer;
        QDate expected;
    };
    const std::vector<Case> cases = {
        {"Escape", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, QDate(2024, 1, 31)},
        {"a day further and Enter",
         [](QWidget* w) {
             auto* grid = w->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
             QTest::keyClick(grid, Qt::Key_Right);
             QTest::keyClick(grid, Qt::Key_Return);
         },
         QDate(2024, 2, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* box = dateBox();
        Form form(box);
        box->setValue(QDate(2024, 1, 31));
        box->txtInput()->setFocus();
        QDate shown;
        lg::test::whenModal([&](QWidget* w) {
            auto* view = qobject_cast<frmMonthView*>(w);
            ASSERT_NE(view, nullptr);
            shown = view->SelectedDate();
            // Directly below the box.
            const QPoint below = box->mapToGlobal(QPoint(0, box->height()));
            EXPECT_NEAR(view->geometry().top(), below.y(), 3);
            EXPECT_NEAR(view->geometry().left(), below.x(), 3);
            c.answer(w);
        });
        QTest::keyClick(box->txtInput(), Qt::Key_F4);
        EXPECT_EQ(shown, QDate(2024, 1, 31));
        EXPECT_EQ(box->Value().toDate(), c.expected);
    }
}

TEST(FilterControl, AScriptedPickerAnswersF4)
{
    auto* box = dateBox();
    Form form(box);
    box->setValue(QDate(2024, 1, 31));
    retype(box, QStringLiteral("nem datum"));  // F4 shows the last accepted date
    std::vector<QDate> shown;
    std::optional<QDate> answer = QDate(2024, 6, 1);
    box->setDatePicker([&](vW_FilterControl*, const QDate& date) {
        shown.push_back(date);
        return answer;
    });
    QTest::keyClick(box->txtInput(), Qt::Key_F4);
    EXPECT_EQ(box->Value().toDate(), QDate(2024, 6, 1));
    answer.reset();  // cancelled
    QTest::keyClick(box->txtInput(), Qt::Key_F4);
    EXPECT_EQ(box->Value().toDate(), QDate(2024, 6, 1));
    EXPECT_EQ(shown, (std::vector<QDate>{QDate(2024, 1, 31), QDate(2024, 6, 1)}));

    box->setInputType(1);  // F4 in a text box reaches the host instead
    QSignalSpy keys(box, &vW_FilterControl::KeyDown);
    QTest::keyClick(box->txtInput(), Qt::Key_F4);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(keys.count(), 1);
}

TEST(FilterControl, EnterBehaviour)
{
    for (int behaviour : {0, 1}) {
        SCOPED_TRACE(behaviour);
        auto* box = new vW_FilterControl;
        box->setEnterBehaviour(behaviour);
        Form form(box);
        box->txtInput()->setFocus();
        QSignalSpy keys(box, &vW_FilterControl::KeyDown);
        QTest::keyClick(box->txtInput(), Qt::Key_Return);
        settle();
        EXPECT_EQ(form.next->hasFocus(), behaviour == 1);
        EXPECT_EQ(keys.count(), behaviour == 1 ? 0 : 1);
        if (behaviour == 0) {
            EXPECT_EQ(keys.at(0).at(0).toInt(), int(Qt::Key_Return));
        }
    }
}

TEST(FilterControl, ChangeIsRaisedForDatesOnlyWhileTheTextIsADate)
{
    auto* text = new vW_FilterControl;
    Form form(text);
    QSignalSpy textChanges(text, &vW_FilterControl::Change);
    retype(text, QStringLiteral("ab"));
    EXPECT_GE(textChanges.count(), 2);

    auto* date = dateBox();
    Form form2(date);
    retype(date, QString());
    QSignalSpy dateChanges(date, &vW_FilterControl::Change);
    QTest::keyClicks(date->txtInput(), QStringLiteral("2024.1"));  // no date yet
    EXPECT_EQ(dateChanges.count(), 0);
    QTest::keyClicks(date->txtInput(), QStringLiteral(".5"));
    EXPECT_EQ(dateChanges.count(), 1);
}

TEST(FilterControl, ColoursFollowTheState)
{
    auto* box = new vW_FilterControl;
    box->initDesignProperties();
    Form form(box);
    const auto base = [&] { return box->txtInput()->palette().color(QPalette::Base); };
    const auto text = [&] { return box->txtInput()->palette().color(QPalette::Text); };
    form.next->setFocus();
    settle();
    EXPECT_EQ(base(), colorFromWin(0xEFEEE7));
    box->setForeColorActive(0x0000FF);
    box->txtInput()->setFocus();
    settle();
    EXPECT_EQ(base(), colorFromWin(0x80000018));
    EXPECT_EQ(text(), QColor(Qt::red));
    EXPECT_EQ(box->txtInput()->selectedText(), box->txtInput()->text());
    form.next->setFocus();
    settle();
    EXPECT_EQ(base(), colorFromWin(0xEFEEE7));
    QSignalSpy enabled(box, &vW_FilterControl::EnabledChanged);
    box->setEnabledState(false);
    EXPECT_EQ(base(), colorFromWin(0x808080));
    box->setBackColorDisabled(0x00FF00);
    EXPECT_EQ(base(), QColor(Qt::green));
    box->setEnabledState(true);
    EXPECT_EQ(base(), colorFromWin(0xEFEEE7));
    EXPECT_EQ(enabled.count(), 2);
}

TEST(FilterControl, BorderInsetAndParkedBoxes)
{
    auto* box = new vW_FilterControl;
    Form form(box);
    box->setBorderWidth(3);
    settle();
    EXPECT_TRUE(box->BorderVisible());
    EXPECT_EQ(box->txtInput()->geometry(), box->rect().adjusted(3, 3, -3, -3));
    box->setBorderWidth(0);
    EXPECT_FALSE(box->BorderVisible());
    EXPECT_EQ(box->txtInput()->geometry(), box->rect());

    // A box parked far to the left passes the focus on.
    QWidget window;
    auto* parked = new vW_FilterControl(&window);
    auto* next = new QLineEdit(&window);
    window.resize(300, 100);
    window.show();
    parked->move(-400, 10);
    next->move(10, 40);
    parked->txtInput()->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_TRUE(next->hasFocus());
}

TEST(FilterControl, DesignPropertiesRoundTripUnderTheirNames)
{
    vW_FilterControl placed;
    placed.initDesignProperties();
    EXPECT_EQ(placed.MinDate(), QDate(1953, 1, 1));
    EXPECT_EQ(placed.MaxDate(), QDate(2029, 12, 31));
    EXPECT_EQ(placed.BackColorActive(), 0x80000018u);
    EXPECT_EQ(placed.Background(), 0x8000000Fu);

    MemoryPropertyBag untouched;
    placed.writeDesignProperties(untouched);
    EXPECT_FALSE(untouched.contains(QStringLiteral("BackColor")));
    EXPECT_FALSE(untouched.contains(QStringLiteral("InputType")));

    placed.setInputType(4);
    placed.setValue(QDate(2024, 3, 5));
    placed.setBorderWidth(2);
    placed.setBackColor(0x123456);
    placed.setEnterBehaviour(1);
    placed.setMinDate(QDate(2000, 1, 1));
    placed.setMaxDate(QDate(1999, 1, 1));  // before MinDate: ignored
    placed.setMinDate(QDate(1898, 12, 31));  // too early: ignored
    EXPECT_EQ(placed.MaxDate(), QDate(2029, 12, 31));
    EXPECT_EQ(placed.MinDate(), QDate(2000, 1, 1));

    MemoryPropertyBag bag;
    placed.writeDesignProperties(bag);
    EXPECT_TRUE(bag.isChanged());
    EXPECT_EQ(bag.read(QStringLiteral("InputType")).toInt(), 4);
    EXPECT_EQ(bag.read(QStringLiteral("BackColor")).toUInt(), 0x123456u);

    vW_FilterControl loaded;
    loaded.readDesignProperties(bag);
    EXPECT_EQ(loaded.InputType(), 4);
    EXPECT_EQ(loaded.Value().toDate(), QDate(2024, 3, 5));
    EXPECT_EQ(loaded.txtInput()->text(), loaded.model()->formatDate(QDate(2024, 3, 5)));
    EXPECT_EQ(loaded.BorderWidth(), 2);
    EXPECT_EQ(loaded.BackColor(), 0x123456u);
    EXPECT_EQ(loaded.EnterBehaviour(), 1);
    EXPECT_EQ(loaded.MinDate(), QDate(2000, 1, 1));
    EXPECT_EQ(loaded.FilterValue(), QStringLiteral("03/05/2024"));
    EXPECT_EQ(loaded.Week(), 10);
}
