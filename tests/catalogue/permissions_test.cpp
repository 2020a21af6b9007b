#include <gtest/gtest.h>

#include "catalogue/catalogue_fixture.h"
#include "catalogue/permissions.h"
#include "platform/runtimeerror.h"

using namespace lg;
using namespace lg::catalogue;
using lg::test::CatalogueDb;

namespace {

QStringList names(const std::shared_ptr<dao::Recordset>& rs) { return lg::test::column(*rs, QStringLiteral("name")); }

QStringList typesShown(long user, long modul)
{
    std::shared_ptr<dao::Recordset> rs;
    EXPECT_TRUE(GetListWizardTypeEnableShow(user, modul, rs));
    return names(rs);
}

QStringList typesEditable(long user, long modul)
{
    std::shared_ptr<dao::Recordset> rs;
    EXPECT_TRUE(GetListWizardTypeEnableEdit(user, modul, rs));
    return names(rs);
}

QStringList listsShown(long user, long modul, long type, long all)
{
    std::shared_ptr<dao::Recordset> rs;
    EXPECT_TRUE(GetListReportEnableShow(user, modul, type, all, rs));
    return names(rs);
}

QStringList listsEditable(long user, long type, long all)
{
    std::shared_ptr<dao::Recordset> rs;
    EXPECT_TRUE(GetListReportEnableEdit(user, type, all, rs));
    return names(rs);
}

// Three types in two modules, lists of two users, users in groups.
class Permissions : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = c.addType(QStringLiteral("A típus"), 1);
        b = c.addType(QStringLiteral("B típus"), 1);
        m2 = c.addType(QStringLiteral("M2 típus"), 2);
        c.addUserGroup(10, QStringLiteral("Könyvelők"));
        c.addUserGroup(20, QStringLiteral("Vezetők"));
        c.addUserGroup(30, QStringLiteral("Mások"));
        c.addUser(7, {10, 20});
        c.addUser(8, {30});
        c.addUser(9, {});
        a1 = c.addList(a, QStringLiteral("a1"), 7);
        a2 = c.addList(a, QStringLiteral("a2"), 7);
        b1 = c.addList(b, QStringLiteral("b1"), 7);
        m21 = c.addList(m2, QStringLiteral("m2-1"), 7);
        a8 = c.addList(a, QStringLiteral("a8 (8-asé)"), 8);
        p8 = c.addList(a, QStringLiteral("privát 8"), 8, true);
        p7 = c.addList(a, QStringLiteral("privát 7"), 7, true);
    }

    CatalogueDb c;
    long a = 0, b = 0, m2 = 0;
    long a1 = 0, a2 = 0, b1 = 0, m21 = 0, a8 = 0, p8 = 0, p7 = 0;
};

}  // namespace

TEST_F(Permissions, NothingDeniedShowsEverythingLiveOrderedByName)
{
    EXPECT_EQ(typesShown(7, 0), (QStringList{"A típus", "B típus", "M2 típus"}));
    EXPECT_EQ(typesEditable(7, 0), (QStringList{"A típus", "B típus", "M2 típus"}));
    EXPECT_EQ(listsShown(7, 0, -1, 0), (QStringList{"a1", "a2", "b1", "m2-1", "privát 7"}));
    // A user in no group at all is denied nothing either.
    EXPECT_EQ(typesShown(9, 0).size(), 3);
}

TEST_F(Permissions, ModuleFilterAppliesOnlyFromModuleOne)
{
    EXPECT_EQ(typesShown(7, 2), (QStringList{"M2 típus"}));
    EXPECT_EQ(typesEditable(7, 1), (QStringList{"A típus", "B típus"}));
    EXPECT_EQ(listsShown(7, 2, -1, 0), (QStringList{"m2-1"}));
    for (long none : {0L, -1L}) {
        EXPECT_EQ(typesShown(7, none).size(), 3) << none;
        EXPECT_EQ(typesEditable(7, none).size(), 3) << none;
        EXPECT_EQ(listsShown(7, none, -1, 0).size(), 5) << none;
    }
}

// The user is in groups 10 and 20; one of them is denied a whole type. The
// denial rows of other groups and types are mixed in so that the user's row
// is first in one case and last in the other.
class TypeDenial : public Permissions, public ::testing::WithParamInterface<bool> {};

TEST_P(TypeDenial, HidesTheTypeAndAllItsListsWhicheverGroupRowComesFirst)
{
    if (GetParam()) {
        c.addDenial(1, 20, a);
        c.addDenial(1, 30, b);
        c.addDenial(1, 10, b);
    } else {
        c.addDenial(1, 30, b);
        c.addDenial(1, 10, b);
        c.addDenial(1, 20, a);
    }
    EXPECT_EQ(typesShown(7, 0), (QStringList{"M2 típus"}));
    EXPECT_EQ(listsShown(7, 0, -1, 1), (QStringList{"m2-1"}));
    EXPECT_TRUE(listsShown(7, 1, a, 1).isEmpty());
    // Editing is a different right; the type stays editable.
    EXPECT_EQ(typesEditable(7, 0).size(), 3);
    // User 8 (group 30) is denied only b.
    EXPECT_EQ(typesShown(8, 0), (QStringList{"A típus", "M2 típus"}));
}

INSTANTIATE_TEST_SUITE_P(BothOrders, TypeDenial, ::testing::Bool());

TEST_F(Permissions, ListDenialHidesOnlyThatList)
{
    c.addDenial(1, 10, a, a1);
    EXPECT_EQ(listsShown(7, 0, a, 0), (QStringList{"a2", "privát 7"}));
    EXPECT_EQ(typesShown(7, 0).size(), 3);
    // Another user's group is not concerned.
    EXPECT_EQ(listsShown(8, 0, a, 1), (QStringList{"a1", "a2", "a8 (8-asé)", "privát 8"}));
}

TEST_F(Permissions, LiftedOrEditDenialsDoNotHideLists)
{
    c.addDenial(1, 10, a, -1, 2);   // lifted in bulk
    c.addDenial(1, 20, b, b1, -1);  // deleted by a class
    c.addDenial(0, 10, a);          // edit denial
    EXPECT_EQ(listsShown(7, 0, -1, 0).size(), 5);
    EXPECT_EQ(typesShown(7, 0).size(), 3);
    EXPECT_EQ(typesEditable(7, 0), (QStringList{"B típus", "M2 típus"}));
}

TEST_F(Permissions, PrivateListsOfOthersStayHiddenEvenWithTheAllListsFlag)
{
    EXPECT_EQ(listsShown(7, 0, a, 1), (QStringList{"a1", "a2", "a8 (8-asé)", "privát 7"}));
    EXPECT_EQ(listsShown(8, 0, a, 1), (QStringList{"a1", "a2", "a8 (8-asé)", "privát 8"}));
    EXPECT_EQ(listsEditable(7, a, 1), (QStringList{"a1", "a2", "a8 (8-asé)", "privát 7"}));
    // Without the flag only the user's own lists, his private one included.
    EXPECT_EQ(listsEditable(8, a, 0), (QStringList{"a8 (8-asé)", "privát 8"}));
    EXPECT_EQ(listsShown(8, 0, -1, 0), (QStringList{"a8 (8-asé)", "privát 8"}));
}

TEST_F(Permissions, DeletedAndTemporaryRowsAreInvisible)
{
    c.exec(QStringLiteral("update vlq_list_wizard_type set temp_status = 1 where id = %1").arg(b));
    c.exec(QStringLiteral("update vlq_list_report set del_status = 2 where id = %1").arg(a2));
    c.exec(QStringLiteral("update vlq_list_report set temp_status = 1 where id = %1").arg(a1));
    EXPECT_EQ(typesShown(7, 0), (QStringList{"A típus", "M2 típus"}));
    EXPECT_EQ(typesEditable(7, 0), (QStringList{"A típus", "M2 típus"}));
    EXPECT_EQ(listsEditable(7, a, 0), (QStringList{"privát 7"}));
}

TEST(PermissionsWithoutDatabase, FailureCarriesTheTraceLine)
{
    Context::reset();
    std::shared_ptr<dao::Recordset> rs;
    try {
        GetListReportEnableShow(1, 0, -1, 0, rs);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("vlqTabul2/modWizardUtils/ in Function GetListReportEnableShow ")))
            << e.description().toStdString();
    }
}

TEST_F(Permissions, UnknownUserIsToldApartFromAUserInNoGroup)
{
    // Both see the same lists, so only the user query can tell them apart.
    EXPECT_TRUE(UserExists(7));
    EXPECT_TRUE(UserExists(9)) << "a user in no group";
    EXPECT_FALSE(UserExists(99));
    EXPECT_EQ(listsShown(99, -1, -1, 1), listsShown(9, -1, -1, 1));

    // A host's own user query decides.
    c.exec(QStringLiteral("DROP VIEW qry_vlq_list_wizard_user_table"));
    c.exec(QStringLiteral("CREATE VIEW qry_vlq_list_wizard_user_table AS SELECT id, 10 AS user_group_id FROM vlq_user "
                          "WHERE id = 9"));
    EXPECT_TRUE(UserExists(9));
    EXPECT_FALSE(UserExists(7));
}
