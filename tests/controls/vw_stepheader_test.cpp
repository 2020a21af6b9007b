// The wizard's step header and the small widgets of its pages: the chosen
// field list and the automatic filling menus, driven with QTest input.

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <gtest/gtest.h>

#include "controls/aggregatefillmenu.h"
#include "controls/chosenfieldlist.h"
#include "controls/vw_stepheader.h"
#include "platform/strings.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::controls;

TEST(StepHeader, EachStepLoadsItsTwoCaptions)
{
    vW_StepHeader header;
    EXPECT_EQ(header.CurrentStep(), 1);
    EXPECT_EQ(header.MainCaption(), u"Lista nevének és típusának meghatározása"_s);
    QSignalSpy mains(&header, &vW_StepHeader::MainCaptionChanged);
    QSignalSpy steps(&header, &vW_StepHeader::CurrentStepChanged);
    const struct {
        int step;
        QString main;
    } cases[] = {{2, u"Mezők csoportosítása"_s},
                 {3, u"A listán megjelenítendő  mezők meghatározása"_s},  // two blanks, as in the table
                 {4, u"Összesítések"_s},
                 {5, u"Szűrési feltételek beállítása"_s},
                 {1, u"Lista nevének és típusának meghatározása"_s}};
    for (const auto& c : cases) {
        header.setCurrentStep(c.step);
        EXPECT_EQ(header.CurrentStep(), c.step);
        EXPECT_EQ(header.MainCaption(), c.main) << c.step;
        EXPECT_EQ(header.lblMain()->text(), c.main);
        EXPECT_EQ(header.SubCaption(), LoadResString(2001 + 2 * (c.step - 1))) << c.step;
        EXPECT_FALSE(header.SubCaption().isEmpty());
    }
    EXPECT_EQ(mains.count(), 5);
    EXPECT_EQ(steps.count(), 5);
}

TEST(StepHeader, OutOfRangeStepsChangeNothing)
{
    vW_StepHeader header;
    header.setCurrentStep(3);
    header.setMainCaption(u"Saját cím"_s);
    QSignalSpy spy(&header, &vW_StepHeader::CurrentStepChanged);
    for (int step : {0, 6, -1, 2000}) {
        header.setCurrentStep(step);
        EXPECT_EQ(header.CurrentStep(), 3);
        EXPECT_EQ(header.MainCaption(), u"Saját cím"_s);
    }
    EXPECT_EQ(spy.count(), 0);
}

TEST(StepHeader, LabelsFollowTheWidth)
{
    vW_StepHeader header;
    header.setCurrentStep(5);
    for (int width : {400, 900}) {
        header.resize(width, header.sizeHint().height());
        header.show();
        QApplication::processEvents();
        EXPECT_EQ(header.lblMain()->geometry().right() + 1, width - header.lblMain()->x()) << width;
        EXPECT_LE(header.lblSub()->geometry().right(), width);
        EXPECT_GT(header.lblSub()->width(), width - 2 * header.lblSub()->x() - 1) << width;
    }
}

namespace {
QList<ChosenFieldList::Field> threeFields()
{
    return {{11, u"Partner neve"_s}, {12, u"Város"_s}, {13, u"Kelte"_s}};
}
}  // namespace

TEST(ChosenFieldList, KeysAskForMovingTheCurrentEntry)
{
    const struct {
        int start;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int delta;  // 0: no move asked
    } cases[] = {
        {1, Qt::Key_Up, Qt::ShiftModifier, -1},
        {1, Qt::Key_Down, Qt::ShiftModifier, 1},
        {1, Qt::Key_8, Qt::ShiftModifier | Qt::KeypadModifier, -1},
        {1, Qt::Key_2, Qt::ShiftModifier | Qt::KeypadModifier, 1},
        {0, Qt::Key_Up, Qt::ShiftModifier, -1},  // the model decides what happens at the ends
        {1, Qt::Key_Up, Qt::NoModifier, 0},      // plain Up only moves the cursor
        {1, Qt::Key_8, Qt::ShiftModifier, 0},    // the 8 of the main keyboard is no arrow
        {1, Qt::Key_2, Qt::KeypadModifier, 0},   // keypad 2 without Shift
    };
    for (const auto& c : cases) {
        ChosenFieldList list;
        list.setFields(threeFields(), c.start);
        list.show();
        QSignalSpy moves(&list, &ChosenFieldList::moveRequested);
        QSignalSpy edited(&list, &ChosenFieldList::edited);
        QTest::keyClick(&list, c.key, c.mods);
        if (c.delta) {
            ASSERT_EQ(moves.count(), 1) << c.start << " " << c.key;
            EXPECT_EQ(moves.at(0).at(0).toInt(), c.start);
            EXPECT_EQ(moves.at(0).at(1).toInt(), c.delta);
            EXPECT_EQ(list.fieldIds(), (QList<long>{11, 12, 13})) << "the list waits for the model";
        } else {
            EXPECT_EQ(moves.count(), 0) << c.start << " " << c.key;
        }
        EXPECT_GE(edited.count(), 1) << "every key press marks the page changed";
    }
}

TEST(ChosenFieldList, DoubleClickAsksForRemoval)
{
    ChosenFieldList list;
    list.setFields(threeFields());
    list.resize(200, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QSignalSpy removals(&list, &ChosenFieldList::removeRequested);
    const QPoint at = list.visualItemRect(list.item(2)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(removals.count(), 1);
    EXPECT_EQ(removals.at(0).at(0).toInt(), 2);
    // a double-click below the entries asks for nothing
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 110));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 110));
    EXPECT_EQ(removals.count(), 1);
}

TEST(ChosenFieldList, ShowingAListSetsTheCurrentEntry)
{
    ChosenFieldList list;
    QSignalSpy ids(&list, &ChosenFieldList::FieldIdsChanged);
    QSignalSpy edited(&list, &ChosenFieldList::edited);
    list.setFields(threeFields(), 2);
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_EQ(list.fieldIds(), (QList<long>{11, 12, 13}));
    EXPECT_TRUE(list.containsField(12));
    EXPECT_FALSE(list.containsField(14));
    list.setFields(threeFields(), 7);  // out of range: the first
    EXPECT_EQ(list.currentRow(), 0);
    list.setFields({});
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(ids.count(), 2) << "the same fields again is no change";
    EXPECT_EQ(edited.count(), 0) << "showing the model is no edit of the user";
}

TEST(AggregateFillMenu, CommandIdsStandForTypeCodeAndCells)
{
    const struct {
        int id;
        int type;
        int code;
        bool all;
    } cases[] = {{2, 1, 1, false}, {6, 1, 5, false}, {12, 1, 1, true}, {16, 1, 5, true},
                 {22, 4, 1, false}, {24, 4, 3, false}, {32, 4, 1, true}, {34, 4, 3, true},
                 {42, 3, 1, false}, {44, 3, 3, false}, {52, 3, 1, true}, {54, 3, 3, true}};
    AggregateFillMenuBar bar;
    for (const auto& c : cases) {
        QSignalSpy fills(&bar, &AggregateFillMenuBar::fillRequested);
        QAction* a = bar.commandAction(c.id);
        ASSERT_TRUE(a) << c.id;
        EXPECT_EQ(a->text(), LoadResString(4000 + c.code)) << c.id;
        a->trigger();
        ASSERT_EQ(fills.count(), 1) << c.id;
        EXPECT_EQ(fills.at(0).at(0).toInt(), c.type) << c.id;
        EXPECT_EQ(fills.at(0).at(1).toInt(), c.code) << c.id;
        EXPECT_EQ(fills.at(0).at(2).toBool(), c.all) << c.id;
    }
    for (int unknown : {0, 1, 7, 17, 25, 35, 45, 55}) {
        EXPECT_FALSE(bar.trigger(unknown));
        EXPECT_FALSE(bar.commandAction(unknown));
    }
    // the menus and their sub-menus, as the user sees them
    QStringList titles;
    for (QAction* a : bar.actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{u"Szám összesítések"_s, u"Szöveg összesítések"_s, u"Dátum"_s}));
    QStringList subs;
    for (QAction* a : bar.actions().first()->menu()->actions())
        subs << a->text();
    EXPECT_EQ(subs, (QStringList{u"Csak a kitöltetlen mezők beállítása"_s, u"Minden mező beállítása"_s}));
}
