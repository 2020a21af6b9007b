// The permission operations on the demo database: deny (new, existing,
// refused), lift one, lift in bulk, and the live denials with their names.
// The demo holds the live denials 1 (edit, Értékesítők, Partnerek),
// 2 (run, Raktárosok, Számlák), 3 (run, Könyvelők, Partnerek, list 2) and
// 4 (edit, Könyvelők, Termékek); 5 is lifted already.

#include "admin/authadmin.h"
#include "adminfixture.h"
#include "store/errors.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::admin;

namespace {

AuthChoice ch(long kind, long group, long type, long list)
{
    AuthChoice c;
    c.kind = kind;
    c.groupId = group;
    c.typeId = type;
    c.listId = list;
    return c;
}

class AuthOperations : public test::AdminDatabase {
protected:
    QStringList errors()
    {
        QStringList out;
        for (const auto& e : ctx().currentErrors())
            out << e->description();
        return out;
    }
};

TEST_F(AuthOperations, DenyWritesOnceAndFindsTheExistingDenial)
{
    const AuthChoice c = ch(kRunDenial, 3, 2, -1);
    long id = -1;
    ASSERT_EQ(deny(c, id), DenyOutcome::Written);
    EXPECT_EQ(denialRow(id), (QList<long>{1, 3, 2, -1, 0}));
    long again = -1;
    EXPECT_EQ(deny(c, again), DenyOutcome::Existing);
    EXPECT_EQ(again, id);
    EXPECT_EQ(liveIds(), (QList<long>{1, 2, 3, 4, id}));
    // An existing demo denial is found, not written again.
    EXPECT_EQ(deny(ch(kRunDenial, 3, 1, 2), again), DenyOutcome::Existing);
    EXPECT_EQ(again, 3);
}

TEST_F(AuthOperations, EditDenialIgnoresTheList)
{
    long id = -1;
    ASSERT_EQ(deny(ch(kEditDenial, 2, 1, 10), id), DenyOutcome::Existing);
    EXPECT_EQ(id, 1);
}

TEST_F(AuthOperations, LiftedDenialCanBeRecordedAgain)
{
    // Denial 5 (run, Értékesítők, Számlatételek) was lifted.
    long id = -1;
    ASSERT_EQ(deny(ch(kRunDenial, 2, 3, -1), id), DenyOutcome::Written);
    EXPECT_NE(id, 5);
}

struct RefusedCase {
    const char* name;
    AuthChoice choice;
    QString message;
};

TEST_F(AuthOperations, DenyRefusesWhatDoesNotExist)
{
    const RefusedCase cases[] = {
        {"no group", ch(kRunDenial, -1, 2, -1),
         u"A tiltáshoz a felhasználó csoport és a lista típus megadása kötelező!"_s},
        {"no type", ch(kEditDenial, 2, -1, -1),
         u"A tiltáshoz a felhasználó csoport és a lista típus megadása kötelező!"_s},
        {"unknown group", ch(kRunDenial, 99, 2, -1), u"Nincs 99 azonosítójú felhasználó csoport."_s},
        {"unknown type", ch(kRunDenial, 2, 99, -1), u"Nincs 99 azonosítójú lista típus."_s},
        {"list of another type", ch(kRunDenial, 2, 2, 10),
         u"Nincs 10 azonosítójú lista a(z) 2 azonosítójú lista típusban."_s},
        {"unknown list", ch(kRunDenial, 2, 2, 77), u"Nincs 77 azonosítójú lista a(z) 2 azonosítójú lista típusban."_s},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        ctx().currentErrors().Clear();
        long id = 0;
        EXPECT_EQ(deny(c.choice, id), DenyOutcome::Refused);
        EXPECT_EQ(id, -1);
        EXPECT_EQ(errors(), QStringList{c.message});
    }
    EXPECT_EQ(liveIds(), (QList<long>{1, 2, 3, 4}));
}

TEST_F(AuthOperations, LiftOneMarksItDeleted)
{
    ASSERT_TRUE(lift(2));
    EXPECT_NE(denialRow(2).value(4), 0);
    EXPECT_FALSE(lift(2));
    EXPECT_EQ(errors(), QStringList{u"Nincs 2 azonosítójú élő tiltás."_s});
    EXPECT_FALSE(lift(4711));
    EXPECT_EQ(liveIds(), (QList<long>{1, 3, 4}));
}

struct BulkCase {
    const char* name;
    AuthChoice choice;
    long modul;
    QList<long> live;
};

TEST_F(AuthOperations, BulkLift)
{
    const BulkCase cases[] = {
        // Edit mode ignores the list: denial 1 has none, and is lifted.
        {"edit, group and type, list ignored", ch(kEditDenial, 2, 1, 10), 0, {2, 3, 4}},
        {"edit, every group of a type", ch(kEditDenial, -1, 4, -1), 0, {1, 2, 3}},
        {"edit, one group, every type", ch(kEditDenial, 3, -1, -1), 0, {1, 2, 3}},
        {"edit, everything", ch(kEditDenial, -1, -1, -1), 0, {2, 3}},
        {"run, everything", ch(kRunDenial, -1, -1, -1), 0, {1, 4}},
        {"run, one list", ch(kRunDenial, -1, 1, 2), 0, {1, 2, 4}},
        {"run, another list of the type", ch(kRunDenial, -1, 1, 1), 0, {1, 2, 3, 4}},
        {"run, type covers its lists", ch(kRunDenial, 3, 1, -1), 0, {1, 2, 4}},
        // Module 1 holds Számlák and Számlatételek; module 2 the others.
        {"run, everything of module 2", ch(kRunDenial, -1, -1, -1), 2, {1, 2, 4}},
        {"edit, everything of module 1", ch(kEditDenial, -1, -1, -1), 1, {1, 2, 3, 4}},
    };
    for (const BulkCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        ASSERT_TRUE(liftInBulk(c.choice, c.modul));
        EXPECT_EQ(liveIds(), c.live);
    }
}

TEST_F(AuthOperations, LiveDenialsCarryTheirNames)
{
    const QList<Denial> run = liveDenials(kRunDenial);
    ASSERT_EQ(run.size(), 2);
    EXPECT_EQ(run[0].group, u"Könyvelők"_s);
    EXPECT_EQ(run[0].type, u"Partnerek"_s);
    EXPECT_EQ(run[0].list, u"Vevők hitelkerete"_s);
    EXPECT_EQ(run[1].group, u"Raktárosok"_s);
    EXPECT_EQ(run[1].list, QString());
    EXPECT_EQ(liveDenials().size(), 4);
}

}  // namespace
