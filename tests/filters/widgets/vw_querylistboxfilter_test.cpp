#include <gtest/gtest.h>

#include "filters/listboxfiltermodel.h"
#include "filters/widgets/vw_querylistboxfilter.h"
#include "filters/widgets/vw_querytlistboxfilter.h"
#include "platform/propertybag.h"
#include "ui/captions.h"
#include "widgettest.h"

#include <QtTest/QSignalSpy>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>

using namespace lg;
using namespace lg::filters;
using lg::test::Form;
using lg::test::settle;

namespace {

void clickEntry(QListWidget* list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

}  // namespace

TEST(QueryListBoxFilter, SelectedKeysBecomeTheCondition)
{
    auto* f = new vW_QueryListBoxFilter;
    f->initDesignProperties();
    f->setQueryField(QStringLiteral("T.ID"));
    f->setQueryFieldDescription(QStringLiteral("Raktár"));
    for (int id = 1; id <= 8; ++id)
        f->AddFilterItem(QStringLiteral("Raktár %1").arg(id), id);
    Form form(f);
    f->Filter()->setFixedHeight(200);
    settle();
    EXPECT_FALSE(f->Filter()->isEnabled());
    EXPECT_EQ(f->Filter()->palette().color(QPalette::Base), colorFromWin(0xE0E0E0));

    QSignalSpy checks(f, &vW_ListBoxFilterBase::CheckChange);
    QTest::mouseClick(f->chkQueryFilter(), Qt::LeftButton);
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks.at(0).at(0).toInt(), 1);
    EXPECT_TRUE(f->Filter()->isEnabled());
    EXPECT_TRUE(f->Filter()->hasFocus());
    EXPECT_EQ(f->QueryResultSQL(), QString());  // nothing selected yet

    for (int row : {2, 4, 6})  // ids 3, 5, 7
        clickEntry(f->Filter(), row);
    EXPECT_EQ(f->FilterText(), QStringLiteral("Raktár 7"));
    form.next->setFocus();  // leaving the list builds the condition
    settle();
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("( T.ID IN ( 3,5,7 ) )"));
    EXPECT_EQ(f->QueryResultIDs(), QStringLiteral("3,5,7"));
    EXPECT_EQ(f->QueryResultFilter(), QStringLiteral("Raktár Raktár 3, Raktár 5, Raktár 7"));

    // The host may rewrite the tag while it is built.
    QObject::connect(f, &vW_ListBoxFilterBase::FilterCreateSQLTag, f,
            [](int, const QString&, QString* tag, QString* text) {
                *tag = QStringLiteral("( 99 )");
                *text = QStringLiteral("mind");
            });
    clickEntry(f->Filter(), 4);  // 5 off
    form.next->setFocus();
    settle();
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("( T.ID IN ( 99 ) )"));
    EXPECT_EQ(f->QueryResultFilter(), QStringLiteral("Raktár mind"));

    QTest::mouseClick(f->lblCaption(), Qt::LeftButton);  // the caption unticks
    EXPECT_EQ(f->QueryCheckValue(), 0);
    EXPECT_EQ(f->QueryResultSQL(), QString());
    WhereCollection run;
    EXPECT_FALSE(f->CollectWhereAndFilter(run));
    EXPECT_EQ(run.counter, 0);
}

TEST(QueryListBoxFilter, EntriesAddedSelectedAndFound)
{
    vW_QueryListBoxFilter f;
    f.setListItemChecked(true);
    f.AddFilterItem(QStringLiteral("a"), 10);
    f.AddFilterItem(QStringLiteral("b"), 20);
    EXPECT_EQ(f.Filter()->count(), 2);
    EXPECT_TRUE(f.Filter()->item(0)->isSelected());
    EXPECT_TRUE(f.Filter()->item(1)->isSelected());
    EXPECT_EQ(f.Filter()->currentRow(), 0);
    EXPECT_EQ(f.FilterText(), QStringLiteral("a"));

    f.setListItemChecked(false);
    f.AddFilterItem(QStringLiteral("c"), 30);
    EXPECT_FALSE(f.Filter()->item(2)->isSelected());
    f.SelectItem(99);  // unknown: nothing changes
    EXPECT_FALSE(f.Filter()->item(2)->isSelected());
    f.SelectItem(30);
    EXPECT_TRUE(f.Filter()->item(2)->isSelected());

    f.ListBoxVisible(false);
    EXPECT_TRUE(f.Filter()->isHidden());
    f.RemoveFilterItem();
    EXPECT_EQ(f.Filter()->count(), 0);
}

TEST(QueryListBoxFilter, TooltipShowsTheEntryUnderThePointer)
{
    auto* f = new vW_QueryListBoxFilter;
    f->AddFilterItem(QStringLiteral("Egy nagyon hosszú raktárnév"), 1);
    Form form(f);
    f->setQueryCheckValue(1);
    const QRect r = f->Filter()->visualItemRect(f->Filter()->item(0));
    QTest::mouseMove(f->Filter()->viewport(), r.center());
    settle();
    EXPECT_EQ(f->Filter()->toolTip(), QStringLiteral("Egy nagyon hosszú raktárnév"));
}

TEST(QueryTListBoxFilter, TextsAreQuotedWithTheirQuotesDoubled)
{
    auto* f = new vW_QueryTListBoxFilter;
    f->setQueryField(QStringLiteral("CODE"));
    f->setQueryFieldDescription(QStringLiteral("Kód"));
    f->AddFilterItem(QStringLiteral("A"), 0);
    f->AddFilterItem(QStringLiteral("O'B"), 0);
    f->AddFilterItem(QStringLiteral("C"), 0);
    Form form(f);
    QTest::mouseClick(f->chkQueryFilter(), Qt::LeftButton);
    clickEntry(f->Filter(), 0);
    clickEntry(f->Filter(), 1);
    form.next->setFocus();
    settle();
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("( CODE IN ( 'A','O''B' ) )"));
    EXPECT_EQ(f->QueryResultIDs(), QStringLiteral("'A','O''B'"));

    f->SetFilterDefault();
    EXPECT_EQ(f->Filter()->count(), 0);
    EXPECT_FALSE(f->Filter()->isEnabled());
    EXPECT_EQ(f->QueryResultSQL(), QString());
}

TEST(QueryListBoxFilter, DesignPropertiesRoundTrip)
{
    vW_QueryTListBoxFilter placed;
    placed.initDesignProperties();
    EXPECT_EQ(placed.Caption(), QStringLiteral("-"));
    EXPECT_EQ(placed.CaptionWidth(), 975);
    EXPECT_FALSE(placed.ListItemChecked());
    placed.setListItemChecked(true);
    placed.setPrimaryKeyFiled(QStringLiteral("ID"));
    placed.setFilterBackColor(0xC0FFC0);
    placed.setCaption(QStringLiteral("Kód"));
    MemoryPropertyBag bag;
    placed.writeDesignProperties(bag);
    EXPECT_TRUE(bag.contains(QStringLiteral("FilterBackColor")));

    vW_QueryTListBoxFilter loaded;
    loaded.readDesignProperties(bag);
    EXPECT_TRUE(loaded.ListItemChecked());
    EXPECT_EQ(loaded.PrimaryKeyFiled(), QStringLiteral("ID"));
    EXPECT_EQ(loaded.FilterBackColor(), 0xC0FFC0u);
    EXPECT_EQ(loaded.lblCaption()->text(), QStringLiteral("Kód"));
}

TEST(QueryListBoxFilter, EntriesAHostPutsIntoTheListDirectlyCount)
{
    vW_QueryListBoxFilter f;
    f.setQueryField(QStringLiteral("T.ID"));
    auto* item = new QListWidgetItem(QStringLiteral("Budapest"), f.Filter());
    item->setData(Qt::UserRole, 7);
    f.Filter()->addItem(QStringLiteral("Debrecen"));  // no key: 0
    ASSERT_EQ(f.model()->count(), 2);
    EXPECT_EQ(f.model()->items().at(0).id, 7);
    f.SelectItem(7);
    EXPECT_TRUE(f.Filter()->item(0)->isSelected());
    f.setQueryCheckValue(1);
    f.model()->build();
    EXPECT_EQ(f.QueryResultSQL(), QStringLiteral("( T.ID IN ( 7 ) )"));
    f.Filter()->clear();
    EXPECT_EQ(f.model()->count(), 0);
}
