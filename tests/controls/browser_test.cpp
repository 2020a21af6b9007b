// ListBrowser on the demo database: what the list box holds for a user and
// an owner choice, the information panel, the command rules and deleting.

#include "controls/listbrowser.h"
#include "controlsfixture.h"
#include "platform/strings.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::controls;

namespace {

class Browser : public test::DemoDatabase {
protected:
    static QList<long> ids(const ListBrowser& b)
    {
        QList<long> out;
        for (const BrowserEntry& e : b.lists())
            out << e.id;
        return out;
    }
    static void selectId(ListBrowser& b, long id)
    {
        for (int i = 0; i < b.lists().size(); ++i)
            if (b.lists().at(i).id == id)
                b.selectList(i);
        ASSERT_EQ(b.selectedListId(), id);
    }
    static void selectTypeId(ListBrowser& b, long id)
    {
        for (int i = 0; i < b.types().size(); ++i)
            if (b.types().at(i).id == id)
                b.selectType(i);
    }
};

TEST_F(Browser, WithoutDatabaseNothingLoads)
{
    ctx().database.reset();
    ListBrowser b;
    b.userId = 2;
    EXPECT_FALSE(b.ControlInitialize());
    EXPECT_TRUE(b.lists().isEmpty());
    EXPECT_FALSE(b.FillListReport(-1));
    b.DisplayItem(true);
    EXPECT_FALSE(b.commands().isOn(cmd::Print));
}

TEST_F(Browser, ListBoxFollowsUserOwnerAndType)
{
    // Names in Hungarian order, ids as the permission rules give them.
    const struct {
        long user;
        int owner;
        long type;  // -1: " < Minden típus > "
        QList<long> expected;
    } cases[] = {
        {2, 0, -1, {8, 3}},
        {2, 1, -1, {10, 5, 9, 6, 4, 7, 1, 8, 3, 2}},
        {1, 1, -1, {10, 5, 9, 6, 4, 7, 1, 3, 2}},  // 8 is user 2's private list
        {1, 0, -1, {5, 7, 1, 2}},
        {5, 1, -1, {10, 9, 6, 7, 1, 2}},  // user 5's group may not see invoices
        {2, 1, 2, {5, 4, 3}},
        {2, 1, 4, {9}},
    };
    for (const auto& c : cases) {
        ListBrowser b;
        b.userId = c.user;
        ASSERT_TRUE(b.ControlInitialize());
        ASSERT_FALSE(b.types().isEmpty());
        EXPECT_EQ(b.types().first().id, -1);
        EXPECT_EQ(b.types().first().name, LoadResString(30030));
        b.selectOwner(c.owner);
        selectTypeId(b, c.type);
        EXPECT_EQ(ids(b), c.expected) << "user " << c.user << " owner " << c.owner << " type " << c.type;
        // The first entry is selected and shown.
        EXPECT_EQ(b.selectedListId(), c.expected.first());
        EXPECT_EQ(b.currentListId(), c.expected.first());
    }
}

TEST_F(Browser, UserFiveSeesNoInvoiceType)
{
    ListBrowser b;
    b.userId = 5;
    ASSERT_TRUE(b.ControlInitialize());
    for (const BrowserEntry& t : b.types())
        EXPECT_NE(t.id, 2) << t.name.toStdString();
}

TEST_F(Browser, AllReportOffFixesOwnLists)
{
    ListBrowser b;
    b.userId = 2;
    b.authenticAllReport = false;
    ASSERT_TRUE(b.ControlInitialize());
    EXPECT_FALSE(b.ownerEnabled());
    b.selectOwner(1);
    EXPECT_EQ(b.ownerChoice(), 0);
    EXPECT_EQ(ids(b), (QList<long>{8, 3}));
}

TEST_F(Browser, InformationPanelOfTheSelectedList)
{
    ListBrowser b;
    b.userId = 2;
    ASSERT_TRUE(b.ControlInitialize());
    selectId(b, 3);
    const ListInfo& info = b.info();
    EXPECT_EQ(info.listType, u"Számlák"_s);
    EXPECT_EQ(info.createUser, u"Kovács Anna"_s);
    EXPECT_EQ(info.description, u"A 2024-ben kiállított számlák partnerenként"_s);
    EXPECT_FALSE(info.sqlDescription.isEmpty());
    ASSERT_EQ(info.groups.size(), 1);
    ASSERT_EQ(info.fields.size(), 6);
    // Complete names carry the table's name; short ones do not.
    const QString complete = info.fields.first();
    b.tableFieldNameCompletteOnUI = false;
    b.DisplayItem(true);
    const QString shortName = b.info().fields.first();
    EXPECT_TRUE(complete.endsWith(shortName, Qt::CaseInsensitive)) << complete.toStdString();
    EXPECT_GT(complete.size(), shortName.size());
    // The invoice type has an assistant.
    EXPECT_TRUE(b.commands().isOn(cmd::Assistant));
    EXPECT_EQ(b.commands().assistantCaption(), u"Számla asszisztens"_s);
    EXPECT_EQ(b.assistantClass(), u"Nagyker.SzamlaAsszisztens"_s);
    // A partner list has none.
    selectId(b, 8);
    EXPECT_FALSE(b.commands().isOn(cmd::Assistant));
    EXPECT_TRUE(b.assistantClass().isEmpty());
}

TEST_F(Browser, ViewerStartsWithoutNewAndDeleteThenFollowsTheRules)
{
    ListBrowser b;
    b.userId = 2;
    b.wizardType = WizardType::Viewer;
    b.applyCommandState();
    EXPECT_FALSE(b.commands().isOn(cmd::ReportNew));
    EXPECT_FALSE(b.commands().isOn(cmd::Delete));
    ASSERT_TRUE(b.ControlInitialize());
    // The panel's rules decide from now on: the user's own list 8 is first.
    EXPECT_EQ(b.selectedListId(), 8);
    EXPECT_TRUE(b.commands().isOn(cmd::ReportNew));
    EXPECT_TRUE(b.commands().isOn(cmd::Delete));
}

TEST_F(Browser, AnotherUsersListIsNeverDeleted)
{
    ListBrowser b;
    b.userId = 1;
    ASSERT_TRUE(b.ControlInitialize());
    b.selectOwner(1);
    selectId(b, 3);  // Kovács Anna's list
    EXPECT_FALSE(b.commands().isOn(cmd::Delete));
    boxes().clickButton(0);  // "Igen", should anybody ask
    EXPECT_FALSE(b.ReportDelete());
    EXPECT_TRUE(boxes().requests().isEmpty());
    EXPECT_EQ(deleteStatus(3), 0);
    EXPECT_TRUE(ids(b).contains(3));
}

TEST_F(Browser, ListThatChangedHandsIsNotDeleted)
{
    ListBrowser b;
    b.userId = 2;
    ASSERT_TRUE(b.ControlInitialize());
    selectId(b, 3);
    ASSERT_TRUE(b.commands().isOn(cmd::Delete));
    // Another process gives the list to user 1 while it is shown.
    db->Execute(u"UPDATE vlq_list_report SET create_user=1 WHERE id=3"_s);
    boxes().clickButton(0);
    EXPECT_FALSE(b.ReportDelete());
    EXPECT_EQ(deleteStatus(3), 0);
}

TEST_F(Browser, DeleteAsksAndRemovesForEveryone)
{
    const struct {
        const char* name;
        int button;  // 0 "Igen", 1 "Nem", -1 close box
        bool deleted;
    } cases[] = {{"yes", 0, true}, {"no", 1, false}, {"closed", -1, false}};
    for (const auto& c : cases) {
        SetUp();
        ListBrowser b;
        b.userId = 2;
        ASSERT_TRUE(b.ControlInitialize());
        selectId(b, 3);
        boxes().enqueue({c.button, {}});
        EXPECT_EQ(b.ReportDelete(), c.deleted) << c.name;
        ASSERT_EQ(boxes().requests().size(), 1) << c.name;
        EXPECT_EQ(boxes().requests().first().message, LoadResString(30034));
        EXPECT_EQ(deleteStatus(3) != 0, c.deleted) << c.name;
        EXPECT_EQ(ids(b).contains(3), !c.deleted) << c.name;
        if (c.deleted) {
            // The entry before it is selected and shown.
            EXPECT_EQ(b.selectedListId(), 8);
            EXPECT_EQ(b.currentListId(), 8);
            // Another user's browser no longer offers it.
            ListBrowser other;
            other.userId = 1;
            ASSERT_TRUE(other.ControlInitialize());
            other.selectOwner(1);
            EXPECT_FALSE(ids(other).contains(3));
        }
        TearDown();
    }
}

TEST_F(Browser, DeletingTheLastEntryClearsThePanel)
{
    ListBrowser b;
    b.userId = 5;
    ASSERT_TRUE(b.ControlInitialize());
    ASSERT_EQ(ids(b), (QList<long>{9}));
    boxes().clickButton(0);
    ASSERT_TRUE(b.ReportDelete());
    EXPECT_TRUE(b.lists().isEmpty());
    EXPECT_EQ(b.selectedListId(), -1);
    EXPECT_EQ(b.currentListId(), -1);
    EXPECT_TRUE(b.info().listType.isEmpty());
    EXPECT_TRUE(b.info().fields.isEmpty());
    for (int id : {cmd::Print, cmd::Delete, cmd::ExportToFile, cmd::ExcelExport, cmd::Assistant})
        EXPECT_FALSE(b.commands().isOn(id)) << id;
    EXPECT_FALSE(b.ReportDelete());
}

TEST_F(Browser, ListDeletedElsewhereIsNotShown)
{
    ListBrowser b;
    b.userId = 2;
    ASSERT_TRUE(b.ControlInitialize());
    db->Execute(u"UPDATE vlq_list_report SET del_status=1 WHERE id=3"_s);
    modTables::Reset();
    modTables::Initialize();
    selectId(b, 3);
    EXPECT_EQ(b.currentListId(), -1);
    EXPECT_FALSE(b.commands().isOn(cmd::Print));
}

}  // namespace
