// The describing sentences of the permission administration, one row per
// situation of the deny and bulk-lift tables, with the exact texts.

#include <gtest/gtest.h>

#include "admin/authadmin.h"
#include "ui/captions.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::admin;

namespace {

constexpr long C = 5;   // some chosen id
constexpr long A = -1;  // not chosen

AuthChoice choice(long kind, long group, long type, long list)
{
    return {kind, group, type, list, u"Könyvelők"_s, u"Számlák"_s, u"Havi 'nagy' számlák"_s};
}

struct DenyRow {
    long kind, group, type, list;
    QString text;
    quint32 colour;
};

TEST(Sentences, DenySentenceForEverySituation)
{
    const QString required = u"A tiltáshoz a felhasználó csoport és a lista típus megadása kötelező!"_s;
    const DenyRow rows[] = {
        {kEditDenial, A, C, A, required, wincolor::Red},
        {kEditDenial, C, A, A, required, wincolor::Red},
        {kRunDenial, A, A, C, required, wincolor::Red},
        {kEditDenial, C, C, A,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típus szerkeszthetőségének tiltása."_s,
         wincolor::SysHighlight},
        // An edit denial ignores the list.
        {kEditDenial, C, C, C,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típus szerkeszthetőségének tiltása."_s,
         wincolor::SysHighlight},
        {kRunDenial, C, C, A,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típus futtathatóságának tiltása."_s,
         wincolor::SysHighlight},
        {kRunDenial, C, C, C,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típuson bellül a(z) 'Havi 'nagy' számlák' "
         "nevű lista futtathatóságának tiltása."_s,
         wincolor::SysHighlight},
    };
    for (const DenyRow& r : rows) {
        const AuthChoice c = choice(r.kind, r.group, r.type, r.list);
        SCOPED_TRACE(r.text.toStdString());
        EXPECT_EQ(denySentence(c), (Sentence{r.text, r.colour}));
        EXPECT_EQ(canDeny(c), r.colour != wincolor::Red);
    }
}

struct LiftRow {
    long kind, group, type, list;
    QString text;
};

TEST(Sentences, BulkLiftSentenceForEveryRow)
{
    const LiftRow rows[] = {
        {kRunDenial, C, C, C,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típuson bellül a(z) 'Havi 'nagy' számlák' "
         "nevű lista futatthatási tiltásának feloldása."_s},
        {kRunDenial, A, C, C,
         u"Az összes felhasználó csoportnak a(z) 'Számlák' lista típuson bellül a(z) 'Havi 'nagy' számlák' nevű "
         "lista futatthatási tiltásának feloldása."_s},
        {kRunDenial, A, C, A,
         u"Az összes felhasználó csoportnak a(z) 'Számlák' lista típus futatthatási tiltásának feloldása."_s},
        {kRunDenial, C, C, A,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típus futatthatási tiltásának feloldása."_s},
        {kRunDenial, C, A, A,
         u"A(z) 'Könyvelők' felhasználó csoportnak az összes lista típus futatthatási tiltásának feloldása."_s},
        {kRunDenial, A, A, A,
         u"Az összes felhasználó csoportnak az összes lista típus futatthatási tiltásának feloldása."_s},
        {kEditDenial, C, C, A,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típus szerkeszthetőségi tiltásának "
         "feloldása."_s},
        {kEditDenial, C, C, C,
         u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típus szerkeszthetőségi tiltásának "
         "feloldása."_s},
        {kEditDenial, A, C, C,
         u"Az összes felhasználó csoportnak a(z) 'Számlák' lista típus szerkeszthetőségi tiltásának feloldása."_s},
        {kEditDenial, C, A, C,
         u"A(z) 'Könyvelők' felhasználó csoportnak az összes lista típus szerkeszthetőségi tiltásának feloldása."_s},
        {kEditDenial, A, A, A,
         u"Az összes felhasználó csoportnak az összes lista típus szerkeszthetőségi tiltásának feloldása."_s},
    };
    for (const LiftRow& r : rows) {
        SCOPED_TRACE(r.text.toStdString());
        EXPECT_EQ(bulkLiftSentence(choice(r.kind, r.group, r.type, r.list)), r.text);
    }
}

}  // namespace
