// The condition panel on the demo database: one control per kind of field,
// the one in use enabled with a highlighted label, the three list kinds in
// one place, and the harvest of what the user entered.

#include <gtest/gtest.h>

#include <QtTest/QSignalSpy>
#include <QtWidgets/QLabel>

#include "catalogue/filtercontrolproperties.h"
#include "filters/textfiltermodel.h"
#include "filters/widgets/conditionpanel.h"
#include "filters/widgets/queryfiltercontrol.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"
#include "support/testsupport.h"
#include "ui/captions.h"
#include "widgettest.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::filters;
using catalogue::tFilterControlPropertys;

namespace {

std::shared_ptr<dao::Database> demoDatabase()
{
    static std::shared_ptr<dao::Database> db = [] {
        const QString path = test::tempPath(u"condition-panel-demo.db"_s);
        const test::ProcessResult r = test::runProgram(QStringLiteral(LISTGEN_CLI), {u"demo-db"_s, u"--out"_s, path});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return dao::Database::open(path);
    }();
    return db;
}

class ConditionPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        modTables::Reset();
        ctx().database = demoDatabase();
        ctx().currentErrors().Clear();
    }
    void TearDown() override
    {
        modTables::Reset();
        ctx().database.reset();
    }
    static tFilterControlPropertys field(long id)
    {
        tFilterControlPropertys r;
        EXPECT_TRUE(catalogue::GetTableFieldFilterControlPropertys(id, -1, true, r));
        return r;
    }
};

TEST_F(ConditionPanelTest, OneControlInUsePerKind)
{
    ConditionPanel panel;
    test::Form form(&panel);
    const QColor highlight = colorFromWin(wincolor::SysHighlight);

    // Demo fields of every kind: partner code (text), name (container),
    // active (check box), credit limit (decimal), payment days (whole
    // number), created (date), region name (list box), product group name
    // (text list box).
    struct Case {
        long field;
        int type;
        const char* control;
    } cases[] = {
        {1, 4, "qtf_text"},   {2, 7, "qtf_container"}, {8, 5, "qtf_check"},     {9, 2, "qtf_number"},
        {10, 1, "qtf_number"}, {11, 3, "qtf_date"},     {12, 6, "qtf_list"}, {36, 8, "qtf_textlist"},
    };
    const char* all[] = {"qtf_number", "qtf_date", "qtf_text", "qtf_check", "qtf_list", "qtf_container", "qtf_textlist"};
    QSignalSpy types(&panel, &ConditionPanel::currentControlTypeChanged);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const tFilterControlPropertys r = field(c.field);
        ASSERT_EQ(r.tTFControlType, c.type);
        ASSERT_TRUE(panel.setUp(r));
        EXPECT_EQ(panel.currentControlType(), c.type);
        EXPECT_EQ(types.last().at(0).toInt(), c.type);
        for (const char* name : all) {
            auto* w = panel.findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_TRUE(w) << name;
            EXPECT_EQ(w->isEnabled(), qstrcmp(name, c.control) == 0) << name;
        }
        // The list kinds share one place: only the one in use shows.
        if (c.type >= 6) {
            for (const char* name : {"qtf_list", "qtf_container", "qtf_textlist"})
                EXPECT_EQ(panel.findChild<QWidget*>(QString::fromLatin1(name))->isVisible(),
                          qstrcmp(name, c.control) == 0)
                    << name;
        }
        EXPECT_EQ(panel.label(c.type)->palette().color(QPalette::WindowText), highlight);
        for (int other : {1, 3, 4, 5, 6}) {
            if (panel.label(other) != panel.label(c.type))
                EXPECT_NE(panel.label(other)->palette().color(QPalette::WindowText), highlight) << other;
        }
        EXPECT_EQ(panel.currentControl()->filter()->queryField(), r.tTFQueryAliasField);
    }
    EXPECT_EQ(panel.label(6), panel.label(7));
    EXPECT_EQ(panel.label(7), panel.label(8));
    EXPECT_EQ(panel.label(1)->text(), u"Szám szűrés:"_s);
    EXPECT_EQ(panel.label(3)->text(), u"Dátum szűrés:"_s);
    EXPECT_EQ(panel.label(4)->text(), u"Szöveg szűrés:"_s);
    EXPECT_EQ(panel.label(5)->text(), u"Igaz-Hamis szűrés:"_s);
    EXPECT_EQ(panel.label(6)->text(), u"Lista szűrés:"_s);
    EXPECT_EQ(panel.label(0), nullptr);
    EXPECT_EQ(panel.control(9), nullptr);
}

TEST_F(ConditionPanelTest, HarvestResetAndFailure)
{
    ConditionPanel panel;
    test::Form form(&panel);
    tFilterControlPropertys r = field(1);  // partner code, text
    ASSERT_TRUE(panel.setUp(r));
    QSignalSpy changed(&panel, &ConditionPanel::conditionChanged);
    auto* text = static_cast<TextFilterModel*>(panel.currentControl()->filter());
    text->setQueryCheckValue(1);
    text->setInput1Text(u"P0"_s);
    EXPECT_GT(changed.count(), 0);
    const HarvestedCondition h = panel.harvest(r);
    ASSERT_TRUE(h.active);
    EXPECT_EQ(r.tWFTextFrom, u"P0"_s);
    EXPECT_TRUE(h.where.contains(u"[P].[kod]"_s)) << h.where.toStdString();
    EXPECT_EQ(r.tWFSQLWhere, h.where);

    // A record of another field than the one in use is not harvested.
    tFilterControlPropertys other = field(8);
    EXPECT_FALSE(panel.harvest(other).active);

    panel.resetCurrent();
    EXPECT_EQ(panel.currentControlType(), -1);
    EXPECT_FALSE(panel.findChild<QWidget*>(u"qtf_text"_s)->isEnabled());
    EXPECT_EQ(text->queryCheckValue(), 0) << "back to its neutral state";
    EXPECT_FALSE(panel.harvest(r).active);

    // A stored condition comes back ticked; a type outside 1 to 8 is refused.
    r.tWFID = 1;
    ASSERT_TRUE(panel.setUp(r));
    EXPECT_EQ(panel.currentControl()->filter()->queryCheckValue(), 1);
    tFilterControlPropertys bad = r;
    bad.tTFControlType = 12;
    EXPECT_FALSE(panel.setUp(bad));
    EXPECT_EQ(panel.currentControlType(), -1);
    EXPECT_FALSE(panel.findChild<QWidget*>(u"qtf_text"_s)->isEnabled());

    // Without a database a list box cannot read its pick list.
    const tFilterControlPropertys regions = field(12);
    ctx().database.reset();
    EXPECT_FALSE(panel.setUp(regions));
    EXPECT_FALSE(panel.findChild<QWidget*>(u"qtf_list"_s)->isEnabled());
    EXPECT_EQ(panel.currentControlType(), -1);
}

}  // namespace
