// The field tree: which node goes where, and the widget's keys and signals.

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "ui/fieldtree.h"

using namespace Qt::StringLiterals;

namespace lg::ui {
namespace {

QList<FieldTreeRow> partnerRows()
{
    // table 1 Partner (root), 2 Cím under 1, 3 Település naming 2, which
    // only comes later, as parent; 9 naming a table that is not there.
    return {
        {1, u"Partner"_s, 11, u"Név"_s, -1},
        {1, u"Partner"_s, 12, u"Adószám"_s, -1},
        {3, u"Település"_s, 31, u"Irányítószám"_s, 2},
        {2, u"Cím"_s, 21, u"Utca"_s, 1},
        {9, u"Árva"_s, 91, u"Mező"_s, 77},
    };
}

TEST(FieldTreeLayout, PlacesTablesUnderTheirParentsAndFieldsUnderTheirTables)
{
    const FieldTreeLayout layout = buildFieldTreeLayout(partnerRows());
    EXPECT_EQ(layout.firstTableKey, u"TBL_1"_s);

    QHash<QString, FieldTreeNode> byKey;
    QHash<QString, int> position;
    for (int i = 0; i < layout.nodes.size(); ++i) {
        byKey.insert(layout.nodes[i].key, layout.nodes[i]);
        position.insert(layout.nodes[i].key, i);
    }
    struct Case {
        const char* key;
        const char* parent;
        bool table;
        const char* text;
    } cases[] = {
        {"TBL_1", "", true, "Partner"},       {"TBL_2", "TBL_1", true, "Cím"},
        {"TBL_3", "TBL_2", true, "Település"},  // its parent comes later
        {"TBL_9", "", true, "Árva"},       // its parent is not among the rows
        {"FLD_11", "TBL_1", false, "Név"},    {"FLD_12", "TBL_1", false, "Adószám"},
        {"FLD_31", "TBL_3", false, "Irányítószám"}, {"FLD_21", "TBL_2", false, "Utca"},
        {"FLD_91", "TBL_9", false, "Mező"},
    };
    ASSERT_EQ(layout.nodes.size(), int(std::size(cases)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const QString key = QString::fromUtf8(c.key);
        ASSERT_TRUE(byKey.contains(key));
        EXPECT_EQ(byKey[key].parentKey, QString::fromUtf8(c.parent));
        EXPECT_EQ(byKey[key].isTable, c.table);
        EXPECT_EQ(byKey[key].text, QString::fromUtf8(c.text));
        if (*c.parent)
            EXPECT_LT(position[QString::fromUtf8(c.parent)], position[key]) << "a parent comes first";
    }
    // Fields keep the rows' order.
    EXPECT_LT(position[u"FLD_11"_s], position[u"FLD_12"_s]);
    EXPECT_LT(position[u"FLD_31"_s], position[u"FLD_21"_s]);
}

TEST(FieldTreeLayout, ParentKeysThatAreNoParents)
{
    const FieldTreeLayout empty = buildFieldTreeLayout({});
    EXPECT_TRUE(empty.nodes.isEmpty());
    EXPECT_TRUE(empty.firstTableKey.isEmpty());

    struct Case {
        const char* what;
        QList<FieldTreeRow> rows;
        QHash<QString, QString> parents;  // table key -> parent key
        int nodes;
    } cases[] = {
        {"two tables naming each other",
         {{1, u"A"_s, 10, u"a"_s, 2}, {2, u"B"_s, 20, u"b"_s, 1}, {2, u"B"_s, 20, u"b again"_s, 1}},
         {{u"TBL_1"_s, {}}, {u"TBL_2"_s, u"TBL_1"_s}},
         4},  // a key names one node
        {"a table naming itself", {{1, u"A"_s, 10, u"a"_s, 1}}, {{u"TBL_1"_s, {}}}, 2},
        // Ordering numbers in place of parents, as a catalogue may hold them,
        // going round: the first table heads the tree, nothing goes round.
        {"ordering numbers",
         {{3, u"Számla"_s, 14, u"számlaszám"_s, 1}, {1, u"Partner"_s, 1, u"kód"_s, 2},
          {2, u"Régió"_s, 12, u"név"_s, 3}},
         {{u"TBL_3"_s, {}}, {u"TBL_1"_s, u"TBL_2"_s}, {u"TBL_2"_s, u"TBL_3"_s}},
         6},
        // A join chain listed by parent key, so a child may come before its
        // parent: each still hangs under its parent.
        {"children before parents",
         {{5, u"Számla"_s, 50, u"kelte"_s, -1}, {7, u"Régió"_s, 70, u"név"_s, 6}, {6, u"Partner"_s, 60, u"név"_s, 5}},
         {{u"TBL_5"_s, {}}, {u"TBL_7"_s, u"TBL_6"_s}, {u"TBL_6"_s, u"TBL_5"_s}},
         6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FieldTreeLayout layout = buildFieldTreeLayout(c.rows);
        EXPECT_EQ(layout.nodes.size(), c.nodes);
        EXPECT_EQ(layout.nodes.first().key, layout.firstTableKey);
        for (const FieldTreeNode& n : layout.nodes) {
            if (n.isTable)
                EXPECT_EQ(n.parentKey, c.parents.value(n.key)) << n.key.toStdString();
        }
    }
}

TEST(FieldTreeLayout, FieldIdFromKey)
{
    struct Case {
        const char* key;
        long id;
    } cases[] = {{"FLD_15", 15}, {"TBL_15", -1}, {"", -1}, {"FLD_", -1}, {"FLD_x", -1}, {"FLDX42", 42}};
    for (const Case& c : cases)
        EXPECT_EQ(fieldIdFromNodeKey(QString::fromUtf8(c.key)), c.id) << c.key;
}

TEST(FieldTree, FillExpandsAndSelectsTheFirstTableWithBoldTables)
{
    FieldTree tree;
    QSignalSpy keys(&tree, &FieldTree::currentKeyChanged);
    tree.fill(partnerRows());
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));

    EXPECT_EQ(tree.currentKey(), u"TBL_1"_s);
    EXPECT_EQ(tree.currentFieldId(), -1);
    EXPECT_EQ(keys.count(), 1) << "one change after the fill, none while it runs";
    EXPECT_EQ(tree.fieldCount(), 5);
    QTreeWidgetItem* partner = tree.itemForKey(u"TBL_1"_s);
    ASSERT_TRUE(partner);
    EXPECT_TRUE(partner->isExpanded());
    EXPECT_TRUE(partner->font(0).bold());
    EXPECT_FALSE(tree.itemForKey(u"FLD_11"_s)->font(0).bold());
    EXPECT_EQ(tree.itemForKey(u"TBL_2"_s)->parent(), partner);
    EXPECT_FALSE(tree.itemForKey(u"TBL_2"_s)->isExpanded());
    EXPECT_EQ(tree.fieldText(31), u"Irányítószám"_s);
    EXPECT_FALSE(tree.itemForKey(u"FLD_11"_s)->flags() & Qt::ItemIsEditable);

    // A second fill replaces the nodes.
    tree.fill(QList<FieldTreeRow>{{5, u"Számla"_s, 51, u"Összeg"_s, -1}});
    EXPECT_EQ(tree.fieldCount(), 1);
    EXPECT_FALSE(tree.hasField(11));
    EXPECT_EQ(tree.currentKey(), u"TBL_5"_s);
}

TEST(FieldTree, ClicksToggleTablesAndReportFields)
{
    FieldTree tree;
    tree.fill(partnerRows());
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy clicked(&tree, &FieldTree::nodeClicked);
    QSignalSpy current(&tree, &FieldTree::currentFieldIdChanged);
    QSignalSpy activated(&tree, &FieldTree::fieldActivated);

    auto clickOn = [&](const QString& key, bool twice = false) {
        QTreeWidgetItem* item = tree.itemForKey(key);
        tree.scrollToItem(item);
        const QPoint at = tree.visualItemRect(item).center();
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        if (twice)  // the second click of a double-click
            QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    };

    clickOn(u"FLD_12"_s);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.last().at(0).toInt(), 12);
    EXPECT_EQ(tree.currentFieldId(), 12);
    EXPECT_EQ(current.last().at(0).toInt(), 12);

    clickOn(u"TBL_1"_s);
    EXPECT_EQ(clicked.last().at(0).toInt(), -1);
    EXPECT_FALSE(tree.itemForKey(u"TBL_1"_s)->isExpanded()) << "a click on a table collapses it";
    EXPECT_EQ(tree.currentFieldId(), -1);
    clickOn(u"TBL_1"_s);
    EXPECT_TRUE(tree.itemForKey(u"TBL_1"_s)->isExpanded()) << "and opens it again";

    clickOn(u"FLD_11"_s, true);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.last().at(0).toInt(), 11);
    EXPECT_EQ(activated.last().at(1).toString(), u"Név"_s);
    clickOn(u"TBL_1"_s, true);
    EXPECT_EQ(activated.count(), 1) << "a table is no field";

    // Keyboard: Down moves to the next field, Enter takes it.
    ASSERT_TRUE(tree.setCurrentFieldId(11));
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.currentFieldId(), 12);
    QTest::keyClick(&tree, Qt::Key_Return);
    EXPECT_EQ(activated.count(), 2);
    EXPECT_EQ(activated.last().at(0).toInt(), 12);

    EXPECT_TRUE(tree.setCurrentFieldId(31));
    EXPECT_TRUE(tree.setCurrentFieldId(21));
    EXPECT_TRUE(tree.itemForKey(u"TBL_2"_s)->isExpanded()) << "a field made current shows its tables";
    EXPECT_FALSE(tree.setCurrentFieldId(4711));
    EXPECT_EQ(tree.currentFieldId(), 21);
}

}  // namespace
}  // namespace lg::ui
