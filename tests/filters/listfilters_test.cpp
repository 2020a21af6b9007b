#include "filters/checkboxfiltermodel.h"
#include "filters/listboxfiltermodel.h"
#include "printing.h"

#include "platform/propertybag.h"

#include <gtest/gtest.h>

using namespace lg::filters;

namespace {

TEST(CheckBoxFilter, Conditions)
{
    struct Case {
        bool ticked;
        bool negationShown;
        int negated;
        const char* checkedValue;
        const char* sql;
        const char* filter;
    };
    const Case cases[] = {
        {true, true, 0, "", "( ACTIVE= -1)", "( Aktív Igaz)"},
        {true, true, 1, "", "( ACTIVE= 0)", "( Aktív Nem igaz)"},
        {true, true, 0, "= 'A'", "( ACTIVE= -1)", "( Aktív Igaz)"},
        {true, false, 1, "", "( ACTIVE= -1)", "( Aktív Igaz)"},
        {true, false, 0, "= 'A'", "( ACTIVE= 'A')", "( Aktív Igaz)"},
        {false, true, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        CheckBoxFilterModel f;
        f.setQueryField(QStringLiteral("active"));
        f.setQueryFieldDescription(QStringLiteral("Aktív"));
        f.setNotPictureVisible(c.negationShown);
        f.setNotPictureValue(c.negated);
        f.setQueryFieldCheckedValue(QString::fromUtf8(c.checkedValue));
        f.setActive(c.ticked);
        EXPECT_EQ(f.queryResultSQL(), QString::fromUtf8(c.sql));
        EXPECT_EQ(f.queryResultFilter(), QString::fromUtf8(c.filter));
        EXPECT_EQ(f.queryResultDescription(), c.ticked ? u'(' + QString::fromUtf8(c.filter) + u')' : QString());
    }
}

TEST(CheckBoxFilter, DefaultAndPicture)
{
    CheckBoxFilterModel f;
    f.setQueryField(QStringLiteral("active"));
    f.setActive(true);
    f.toggleNegation();
    EXPECT_EQ(negationPictureKey(f.notPicture()), QStringLiteral("_cancel"));
    f.setFilterDefault();
    EXPECT_FALSE(f.isActive());
    EXPECT_EQ(f.notPictureValue(), 0);
    EXPECT_EQ(f.queryField(), QString());
    EXPECT_EQ(f.queryResultSQL(), QString());
    EXPECT_EQ(negationPictureKey(f.notPicture()), QStringLiteral("_ok_disabled"));
}

TEST(ListBoxFilter, Conditions)
{
    struct Case {
        ListBoxFilterModel::Keys keys;
        QList<std::pair<const char*, int>> items;
        QList<int> selected;  // indexes
        const char* sql;
        const char* ids;
        const char* filter;
    };
    using Keys = ListBoxFilterModel::Keys;
    const Case cases[] = {
        {Keys::Numeric, {{"a", 3}, {"b", 4}, {"c", 5}, {"d", 7}}, {0, 2, 3}, "( T.ID IN ( 3,5,7 ) )", "3,5,7",
         "Tétel a, c, d"},
        {Keys::Text, {{"A", 1}, {"O'B", 2}, {"C", 3}}, {0, 1}, "( T.ID IN ( 'A','O''B' ) )", "'A','O''B'",
         "Tétel A, O'B"},
        {Keys::Numeric, {{"a", -2}}, {0}, "( T.ID IN ( -2 ) )", "-2", "Tétel a"},
        {Keys::Text, {{"x\ny", 1}}, {0}, "( T.ID IN ( 'xy' ) )", "'xy'", "Tétel x\ny"},
        {Keys::Numeric, {{"a", 3}}, {}, "", "", ""},
    };
    for (const Case& c : cases) {
        ListBoxFilterModel f(c.keys);
        f.setQueryField(QStringLiteral("T.ID"));
        f.setQueryFieldDescription(QStringLiteral("Tétel"));
        for (const auto& [text, id] : c.items)
            f.addFilterItem(QString::fromUtf8(text), id);
        for (int i : c.selected)
            f.setSelected(i, true);
        f.setActive(true);
        EXPECT_EQ(f.queryResultSQL(), QString::fromUtf8(c.sql));
        EXPECT_EQ(f.queryResultIDs(), QString::fromUtf8(c.ids));
        EXPECT_EQ(f.queryResultFilter(), QString::fromUtf8(c.filter));
        WhereCollection run;
        EXPECT_EQ(f.collectWhereAndFilter(run), c.selected.size() > 0);
    }
}

TEST(ListBoxFilter, EntriesAndSelection)
{
    ListBoxFilterModel f(ListBoxFilterModel::Keys::Numeric);
    f.setQueryField(QStringLiteral("T.ID"));
    EXPECT_EQ(f.currentIndex(), -1);
    f.addFilterItem(QStringLiteral("a"), 10);
    EXPECT_EQ(f.currentIndex(), 0);
    EXPECT_EQ(f.filterText(), QStringLiteral("a"));
    EXPECT_FALSE(f.isSelected(0));
    f.setListItemChecked(true);
    f.addFilterItem(QStringLiteral("b"), 20);
    EXPECT_TRUE(f.isSelected(1));
    EXPECT_FALSE(f.selectItem(99));
    EXPECT_EQ(f.selectedCount(), 1);
    EXPECT_TRUE(f.selectItem(10));
    EXPECT_EQ(f.selectedCount(), 2);

    // Unticked: nothing, even with entries selected.
    EXPECT_EQ(f.queryResultSQL(), QString());
    QList<int> checks;
    QObject::connect(&f, &ListBoxFilterModel::checkChange, [&](int v) { checks.append(v); });
    f.setActive(true);
    EXPECT_EQ(checks, QList<int>{1});
    EXPECT_EQ(f.queryResultIDs(), QStringLiteral("10,20"));

    // The host may rewrite the tag while it is built.
    QObject::connect(&f, &ListBoxFilterModel::filterCreateSQLTag,
                     [](int index, const QString& text, QString* tag, QString* description) {
                         EXPECT_EQ(index, 0);
                         EXPECT_EQ(text, QStringLiteral("a"));
                         *tag = QStringLiteral("( SELECT id FROM t )");
                         *description = QStringLiteral("mind");
                     });
    f.build();
    EXPECT_EQ(f.queryResultSQL(), QStringLiteral("( T.ID IN ( SELECT id FROM t ) )"));
    EXPECT_EQ(f.queryResultFilter(), QStringLiteral(" mind"));

    f.setFilterDefault();
    EXPECT_EQ(f.count(), 0);
    EXPECT_EQ(f.currentIndex(), -1);
    EXPECT_FALSE(f.isActive());
    EXPECT_EQ(f.queryResultSQL(), QString());
    EXPECT_EQ(f.queryResultIDs(), QString());
}

TEST(QueryFilters, DesignPropertiesRoundTrip)
{
    lg::MemoryPropertyBag bag;
    {
        ListBoxFilterModel f(ListBoxFilterModel::Keys::Text);
        f.initDesignProperties();
        f.writeDesignProperties(bag);
        EXPECT_TRUE(bag.values().isEmpty());  // defaults are not stored
        f.setQueryField(QStringLiteral("T.N"));
        f.setListItemChecked(true);
        f.addFilterItem(QStringLiteral("A"), 1);
        f.setActive(true);
        f.writeDesignProperties(bag);
    }
    EXPECT_TRUE(bag.isChanged());
    ListBoxFilterModel g(ListBoxFilterModel::Keys::Text);
    g.readDesignProperties(bag);
    EXPECT_EQ(g.queryField(), QStringLiteral("T.N"));
    EXPECT_TRUE(g.listItemChecked());
    EXPECT_EQ(g.queryResultSQL(), QStringLiteral("( T.N IN ( 'A' ) )"));
    EXPECT_EQ(bag.read(QStringLiteral("PrimaryKeyFiled"), QStringLiteral("none")).toString(), QStringLiteral("none"));
}

}  // namespace
