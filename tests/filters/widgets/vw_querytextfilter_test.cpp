#include <gtest/gtest.h>

#include "filters/textfiltermodel.h"
#include "filters/widgets/negationpicture.h"
#include "filters/widgets/vw_filtercontrol.h"
#include "filters/widgets/vw_querytextfilter.h"
#include "platform/propertybag.h"
#include "ui/captions.h"
#include "widgettest.h"

#include <QtTest/QSignalSpy>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QToolButton>

using namespace lg;
using namespace lg::filters;
using lg::test::Form;
using lg::test::settle;

namespace {

const QDate kToday(2024, 3, 5);

vW_QueryTextFilter* textFilter(int type)
{
    auto* f = new vW_QueryTextFilter;
    f->model()->setTodayProvider([] { return kToday; });
    f->initDesignProperties();
    f->setInputType(type);
    return f;
}

void tick(vW_QueryTextFilter* f) { QTest::mouseClick(f->chkQueryFilter(), Qt::LeftButton); }

QColor baseOf(QWidget* w) { return w->palette().color(QPalette::Base); }

}  // namespace

TEST(QueryTextFilter, TypedTextBuildsThePrefixCondition)
{
    auto* f = textFilter(1);
    f->setRelationListVisible(true);
    f->setQueryField(QStringLiteral("NAME"));
    f->setQueryFieldDescription(QStringLiteral("Név"));
    Form form(f);
    QSignalSpy results(f, &vW_QueryTextFilter::ResultsChanged);

    tick(f);
    settle();
    EXPECT_EQ(f->QueryCheckValue(), 1);
    EXPECT_TRUE(f->txtInput1()->txtInput()->hasFocus());  // ticking moves the focus to input 1
    QTest::keyClicks(f->txtInput1()->txtInput(), QStringLiteral("abc"));
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("(( ucase$(left(NAME,3))= ucase$('abc')))"));
    EXPECT_EQ(f->QueryResultFilter(), QStringLiteral("( Név olyan mint 'abc')"));
    EXPECT_EQ(f->QueryResultDescription(), QStringLiteral("(( Név olyan mint 'abc'))"));
    EXPECT_GE(results.count(), 3);

    // Accented text typed key by key.
    f->txtInput1()->txtInput()->selectAll();
    QTest::keyClick(f->txtInput1()->txtInput(), Qt::Key_Backspace);
    lg::test::typeText(f->txtInput1()->txtInput(), QStringLiteral("ő'k"));
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("(( ucase$(left(NAME,3))= ucase$('ő''k')))"));

    // Emptied: no condition.
    f->txtInput1()->txtInput()->selectAll();
    QTest::keyClick(f->txtInput1()->txtInput(), Qt::Key_Backspace);
    EXPECT_EQ(f->QueryResultSQL(), QString());
    // Unticked by a click on the caption: no condition either.
    QTest::keyClicks(f->txtInput1()->txtInput(), QStringLiteral("x"));
    EXPECT_FALSE(f->QueryResultSQL().isEmpty());
    QTest::mouseClick(f->lblCaption(), Qt::LeftButton);
    EXPECT_EQ(f->QueryCheckValue(), 0);
    EXPECT_FALSE(f->chkQueryFilter()->isChecked());
    EXPECT_EQ(f->QueryResultSQL(), QString());
}

TEST(QueryTextFilter, NegationPictureInItsFourStates)
{
    auto* f = textFilter(2);
    f->setQueryField(QStringLiteral("PRICE"));
    Form form(f);
    QSignalSpy negation(f, &vW_QueryTextFilter::NOTValueChange);
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_ok_disabled"));
    tick(f);
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_ok"));
    f->setInput1Text(5);
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("(( PRICE = 5))"));
    QTest::mouseClick(f->imgNot(), Qt::LeftButton);
    EXPECT_EQ(f->NOTPictureValue(), 1);
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_cancel"));
    ASSERT_EQ(negation.count(), 1);
    EXPECT_EQ(negation.at(0).at(0).toInt(), 1);
    EXPECT_TRUE(f->QueryResultSQL().startsWith(QStringLiteral("(NOT (")));
    EXPECT_TRUE(f->QueryResultFilter().startsWith(QStringLiteral("NEM( ")));
    tick(f);  // off
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_cancel_disabled"));
    QTest::mouseClick(f->imgNot(), Qt::LeftButton);  // a disabled picture does nothing
    EXPECT_EQ(f->NOTPictureValue(), 1);
    f->setNOTPictureValue(7);  // ignored
    EXPECT_EQ(f->NOTPictureValue(), 1);
}

TEST(QueryTextFilter, InputTypeShowsAndHidesTheLists)
{
    struct Case {
        int type;
        bool relation, filler;
        int fillerEntries;
    };
    for (const Case& c : {Case{1, true, false, 0}, Case{2, false, false, 0}, Case{4, false, true, 11},
                          Case{5, false, true, 14}}) {
        SCOPED_TRACE(c.type);
        auto* f = textFilter(c.type);
        Form form(f);
        EXPECT_EQ(f->lstRelation()->isVisible(), c.relation);
        EXPECT_EQ(f->lstFiller()->isVisible(), c.filler);
        if (c.filler) {
            EXPECT_EQ(f->lstFiller()->count(), c.fillerEntries);
        }
    }
}

TEST(QueryTextFilter, QuickFillPeriodFillsBothInputs)
{
    auto* f = textFilter(5);
    f->setQueryField(QStringLiteral("D"));
    Form form(f);
    tick(f);
    QSignalSpy clicks(f, &vW_QueryTextFilter::FillerClick);
    f->lstFiller()->setFocus();
    QTest::keyClick(f->lstFiller(), Qt::Key_Down);  // 0 → 1
    QTest::keyClick(f->lstFiller(), Qt::Key_Down);  // 1 → 2: the current month
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks.at(1).at(0).toString(), QStringLiteral("2 - Aktuális hónap"));
    EXPECT_EQ(f->FillerListItemData(), 2);
    EXPECT_EQ(f->txtInput1()->Value().toDate(), QDate(2024, 3, 1));
    EXPECT_EQ(f->txtInput2()->Value().toDate(), QDate(2024, 3, 31));
    EXPECT_EQ(f->RelationListItemData(), 1);
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("(( D BETWEEN #03/01/2024# AND #03/31/2024 23.59.59# ))"));
}

TEST(QueryTextFilter, SecondInputLocksTheRelationList)
{
    auto* f = textFilter(1);
    f->setRelationListVisible(true);
    Form form(f);
    tick(f);
    EXPECT_TRUE(f->lstRelation()->isEnabled());
    QTest::keyClicks(f->txtInput2()->txtInput(), QStringLiteral("m"));
    EXPECT_EQ(f->RelationListItemData(), 1);
    EXPECT_EQ(f->lstRelation()->currentText(), QStringLiteral("Közt"));
    EXPECT_FALSE(f->lstRelation()->isEnabled());
    EXPECT_EQ(baseOf(f->lstRelation()), colorFromWin(0xE0E0E0));
    QTest::keyClick(f->txtInput2()->txtInput(), Qt::Key_Backspace);
    EXPECT_TRUE(f->lstRelation()->isEnabled());
    EXPECT_EQ(baseOf(f->lstRelation()), colorFromWin(0x80000005));

    // A number filter never locks it.
    auto* n = textFilter(2);
    n->setRelationListVisible(true);
    Form form2(n);
    tick(n);
    n->txtInput2()->txtInput()->setFocus();
    QTest::keyClicks(n->txtInput2()->txtInput(), QStringLiteral("9"));
    EXPECT_TRUE(n->lstRelation()->isEnabled());
}

TEST(QueryTextFilter, ActivationLookAndSetFilterDefault)
{
    auto* f = textFilter(4);
    f->setQueryField(QStringLiteral("D"));
    Form form(f);
    const auto labelColour = [&] { return f->lblExtendedFilter()->palette().color(QPalette::WindowText); };
    EXPECT_FALSE(f->txtInput1()->isEnabled());
    EXPECT_EQ(baseOf(f->txtInput1()->txtInput()), colorFromWin(0xE0E0E0));
    EXPECT_EQ(labelColour(), colorFromWin(0x80000003));
    tick(f);
    EXPECT_TRUE(f->txtInput1()->isEnabled());
    EXPECT_TRUE(f->lstFiller()->isEnabled());
    EXPECT_TRUE(f->cmdExtendedFilter()->isEnabled());
    EXPECT_EQ(labelColour(), colorFromWin(0x800000));
    EXPECT_EQ(baseOf(f->lstFiller()), colorFromWin(0x80000005));
    EXPECT_FALSE(f->QueryResultSQL().isEmpty());  // today as a single day

    f->SetFilterDefault();
    EXPECT_EQ(f->QueryCheckValue(), 0);
    EXPECT_EQ(f->QueryField(), QString());
    EXPECT_EQ(f->QueryResultSQL(), QString());
    EXPECT_FALSE(f->txtInput1()->isEnabled());
    EXPECT_EQ(f->txtInput1()->Value().toDate(), kToday);
    EXPECT_EQ(labelColour(), colorFromWin(0x80000003));
}

TEST(QueryTextFilter, HeldThroughTheContract)
{
    std::vector<std::unique_ptr<vW_QueryTextFilter>> owned;
    QList<QueryFilterControl*> controls;
    for (int i = 0; i < 3; ++i) {
        owned.emplace_back(textFilter(2));
        auto* f = owned.back().get();
        f->setQueryField(QStringLiteral("F%1").arg(i));
        f->setQueryFieldDescription(QStringLiteral("Mező %1").arg(i));
        f->setQueryCheckValue(1);
        f->setInput1Text(i + 1);
        controls << f;
    }
    WhereCollection run;
    EXPECT_EQ(CollectWhereAndFilter(controls, run), 3);
    EXPECT_EQ(run.counter, 3);
    EXPECT_EQ(run.where, QStringLiteral("(( F0 = 1)) AND (( F1 = 2)) AND (( F2 = 3))"));
    EXPECT_EQ(run.filter(3), QStringLiteral("( Mező 2 =3)"));
    EXPECT_EQ(controls.at(0)->widget(), owned.at(0).get());
}

TEST(QueryTextFilter, DesignPropertiesRoundTrip)
{
    vW_QueryTextFilter placed;
    placed.initDesignProperties();
    EXPECT_EQ(placed.Caption(), QStringLiteral("-"));
    EXPECT_EQ(placed.CaptionWidth(), 975);
    EXPECT_TRUE(placed.CaptionVisible());
    EXPECT_TRUE(placed.QueryCheckVisible());
    EXPECT_TRUE(placed.NOTPictureVisible());
    EXPECT_EQ(placed.InputHeight(), 255);
    EXPECT_EQ(placed.FillerListWidth(), 2115);
    EXPECT_EQ(placed.InputBackColor(), 0x8000000Eu);

    placed.setCaption(QStringLiteral("Kelte"));
    placed.setCaptionWidth(1500);
    placed.setInputType(5);
    placed.setInputBackColor(0xFFFFFF);
    placed.setLikeCharacter(QStringLiteral("%"));
    placed.setKeyWordsFind(true);
    placed.setQueryField(QStringLiteral("D"));
    QFont font(QStringLiteral("DejaVu Serif"), 11);
    placed.setInputFont(font);

    MemoryPropertyBag bag;
    placed.writeDesignProperties(bag);
    EXPECT_EQ(bag.read(QStringLiteral("Caption")).toString(), QStringLiteral("Kelte"));
    EXPECT_TRUE(bag.contains(QStringLiteral("InputFont")));
    EXPECT_FALSE(bag.contains(QStringLiteral("CaptionFont")));

    vW_QueryTextFilter loaded;
    loaded.readDesignProperties(bag);
    EXPECT_EQ(loaded.Caption(), QStringLiteral("Kelte"));
    EXPECT_EQ(loaded.lblCaption()->text(), QStringLiteral("Kelte"));
    EXPECT_EQ(loaded.CaptionWidth(), 1500);
    EXPECT_EQ(loaded.lblCaption()->width(), 100);  // 1500 twips at 96 dpi
    EXPECT_EQ(loaded.InputType(), 5);
    EXPECT_EQ(loaded.InputBackColor(), 0xFFFFFFu);
    EXPECT_EQ(loaded.LikeCharacter(), QStringLiteral("%"));
    EXPECT_TRUE(loaded.KeyWordsFind());
    EXPECT_EQ(loaded.QueryField(), QStringLiteral("D"));
    EXPECT_EQ(loaded.InputFont().family(), QStringLiteral("DejaVu Serif"));
}
