#include <gtest/gtest.h>

#include "filters/checkboxfiltermodel.h"
#include "filters/widgets/negationpicture.h"
#include "filters/widgets/vw_querycheckbox.h"
#include "platform/propertybag.h"
#include "widgettest.h"

#include <QtTest/QSignalSpy>
#include <QtWidgets/QCheckBox>

using namespace lg;
using namespace lg::filters;
using lg::test::Form;

TEST(QueryCheckBox, ClicksBuildTheCondition)
{
    auto* f = new vW_QueryCheckBox;
    f->initDesignProperties();
    f->setCaption(QStringLiteral("Aktív"));
    f->setQueryField(QStringLiteral("active"));
    f->setQueryFieldDescription(QStringLiteral("Aktív"));
    Form form(f);
    EXPECT_TRUE(f->chkQueryFilter()->isVisible());  // the check box is the filter itself
    EXPECT_EQ(f->chkQueryFilter()->text(), QStringLiteral("Aktív"));
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_ok_disabled"));

    QSignalSpy checks(f, &vW_QueryCheckBox::QueryCheckValueChanged);
    QSignalSpy negations(f, &vW_QueryCheckBox::NOTValueChange);
    QTest::mouseClick(f->chkQueryFilter(), Qt::LeftButton);
    EXPECT_EQ(checks.count(), 1);
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("( ACTIVE= -1)"));
    EXPECT_EQ(f->QueryResultFilter(), QStringLiteral("( Aktív Igaz)"));
    EXPECT_EQ(f->QueryResultDescription(), QStringLiteral("(( Aktív Igaz))"));
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_ok"));

    QTest::mouseClick(f->imgNot(), Qt::LeftButton);
    EXPECT_EQ(negations.count(), 1);
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("( ACTIVE= 0)"));
    EXPECT_EQ(f->QueryResultFilter(), QStringLiteral("( Aktív Nem igaz)"));
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_cancel"));

    // The space bar on the focused box unticks it.
    f->chkQueryFilter()->setFocus();
    QTest::keyClick(f->chkQueryFilter(), Qt::Key_Space);
    EXPECT_EQ(f->QueryCheckValue(), 0);
    EXPECT_EQ(f->QueryResultSQL(), QString());
    EXPECT_EQ(f->imgNot()->pictureName(), QStringLiteral("_cancel_disabled"));

    // Without the negation picture the stored comparison is used.
    f->setNOTPictureVisible(false);
    EXPECT_FALSE(f->imgNot()->isVisible());
    f->setQueryFieldCheckedValue(QStringLiteral("= 'A'"));
    QTest::mouseClick(f->chkQueryFilter(), Qt::LeftButton);
    EXPECT_EQ(f->QueryResultSQL(), QStringLiteral("( ACTIVE= 'A')"));

    WhereCollection run;
    EXPECT_TRUE(f->CollectWhereAndFilter(run));
    EXPECT_EQ(run.counter, 1);
    EXPECT_EQ(run.filter(1), QStringLiteral("( Aktív Igaz)"));

    f->SetFilterDefault();
    EXPECT_FALSE(f->chkQueryFilter()->isChecked());
    EXPECT_EQ(f->QueryFieldCheckedValue(), QString());
    EXPECT_EQ(f->QueryResultSQL(), QString());
}

TEST(QueryCheckBox, DesignPropertiesRoundTrip)
{
    vW_QueryCheckBox placed;
    placed.initDesignProperties();
    EXPECT_EQ(placed.Caption(), QStringLiteral("-"));
    EXPECT_EQ(placed.CaptionForeColor(), 0x80000007u);
    EXPECT_TRUE(placed.NOTPictureVisible());
    placed.setCaption(QStringLiteral("Aktív"));
    placed.setQueryFieldCheckedValue(QStringLiteral("= 1"));
    placed.setNOTPictureVisible(false);
    MemoryPropertyBag bag;
    placed.writeDesignProperties(bag);

    vW_QueryCheckBox loaded;
    loaded.readDesignProperties(bag);
    EXPECT_EQ(loaded.chkQueryFilter()->text(), QStringLiteral("Aktív"));
    EXPECT_EQ(loaded.QueryFieldCheckedValue(), QStringLiteral("= 1"));
    EXPECT_FALSE(loaded.NOTPictureVisible());
}
