// ListWizardAuthUnit driven offscreen with QTest on the demo database, and
// the effect of its denials on what ListWizard shows to a group's member.

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#include "admin/authadmin.h"
#include "admin/listwizardauthunit.h"
#include "adminfixture.h"
#include "controls/commands.h"
#include "controls/listwizard.h"
#include "platform/propertybag.h"
#include "platform/strings.h"
#include "ui/browsemodel.h"
#include "ui/browseview.h"
#include "ui/captions.h"
#include "ui/listutils.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::admin;

namespace {

class AuthUnit : public test::AdminDatabase {
protected:
    std::unique_ptr<ListWizardAuthUnit> makeControl(int modul = -1)
    {
        auto w = std::make_unique<ListWizardAuthUnit>();
        w->InitProperties();
        w->setDatabase(db);
        w->setUserID(1);
        w->setModulID(modul);
        w->resize(700, 500);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        EXPECT_TRUE(w->ControlInitialize());
        return w;
    }
    static void choose(QComboBox* combo, long id) { ASSERT_TRUE(SelectListItemByData(combo, qlonglong(id))); }
    static QStringList texts(const QComboBox* combo)
    {
        QStringList out;
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }
};

TEST_F(AuthUnit, StartsInEditModeWithTheRequirement)
{
    auto w = makeControl();
    EXPECT_EQ(w->authType(), 0);
    EXPECT_EQ(texts(w->cbo_auth_type()), (QStringList{u"Szerkesztési jogosultság"_s, u"Futtatási jogosultság"_s}));
    EXPECT_EQ(texts(w->cbo_user_group()), (QStringList{u"<Nincs meghatározva>"_s, u"Értékesítők"_s,
                                                       u"Könyvelők"_s, u"Raktárosok"_s, u"Rendszergazdák"_s,
                                                       u"Vezetők"_s}));
    EXPECT_EQ(w->cbo_report()->count(), 0);
    EXPECT_FALSE(w->cbo_report()->isVisible());
    EXPECT_FALSE(w->cmd_disabled()->isEnabled());
    EXPECT_EQ(w->lbl_sub_2()->text(), u"A tiltáshoz a felhasználó csoport és a lista típus megadása kötelező!"_s);
    EXPECT_EQ(w->lbl_sub_2()->palette().color(QPalette::WindowText), colorFromWin(wincolor::Red));
    EXPECT_EQ(w->lbl_sub()->text(),
              u"Az összes felhasználó csoportnak az összes lista típus szerkeszthetőségi tiltásának feloldása."_s);
    // The edit denials of the demo: 1 and 4.
    EXPECT_EQ(w->grid()->rowTotal(), 2);
    EXPECT_EQ(w->cmd_disabled()->text(), u"&Tiltás"_s);
}

TEST_F(AuthUnit, ModuleRestrictsTheTypes)
{
    auto w = makeControl(1);
    EXPECT_EQ(texts(w->cbo_type()), (QStringList{u"<Nincs meghatározva>"_s, u"Számlák"_s, u"Számlatételek"_s}));
}

TEST_F(AuthUnit, RunModeShowsTheListsOfTheType)
{
    auto w = makeControl();
    choose(w->cbo_auth_type(), 1);
    EXPECT_TRUE(w->cbo_report()->isVisible());
    EXPECT_EQ(w->grid()->rowTotal(), 2);
    EXPECT_EQ(w->grid()->browseModel()->columnCount(), 3);
    choose(w->cbo_type(), 2);
    EXPECT_EQ(texts(w->cbo_report()),
              (QStringList{u"<Nincs meghatározva>"_s, u"Forgalom régió, fizetési mód és partner szerint"_s,
                           u"Lejárt, kifizetetlen számlák"_s, u"Számlák partnerenként 2024"_s}));
    choose(w->cbo_user_group(), 3);
    EXPECT_TRUE(w->cmd_disabled()->isEnabled());
    choose(w->cbo_report(), 4);
    EXPECT_EQ(w->lbl_sub_2()->text(), u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típuson bellül "
                                      "a(z) 'Lejárt, kifizetetlen számlák' nevű lista futtathatóságának tiltása."_s);
    EXPECT_EQ(w->lbl_sub_2()->palette().color(QPalette::WindowText), colorFromWin(wincolor::SysHighlight));
    // Back to edit mode: the list is gone and the grid has no list column.
    choose(w->cbo_auth_type(), 0);
    EXPECT_EQ(w->cbo_report()->count(), 0);
    EXPECT_FALSE(w->cbo_report()->isVisible());
    EXPECT_EQ(w->grid()->browseModel()->columnCount(), 2);
    EXPECT_EQ(w->lbl_sub()->text(),
              u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Számlák' lista típus szerkeszthetőségi tiltásának "
              "feloldása."_s);
}

TEST_F(AuthUnit, DenyByClickOnceAndPositionsOnIt)
{
    auto w = makeControl();
    QSignalSpy changed(w.get(), &ListWizardAuthUnit::DenialsChanged);
    choose(w->cbo_user_group(), 3);
    choose(w->cbo_type(), 2);
    QTest::mouseClick(w->cmd_disabled(), Qt::LeftButton);
    ASSERT_EQ(changed.size(), 1);
    const int id = changed.at(0).at(0).toInt();
    EXPECT_EQ(w->grid()->currentId(), id);
    EXPECT_EQ(liveIds(0), (QList<long>{1, 4, id}));
    // The same again: nothing written, the grid stays on it.
    w->grid()->setCurrentId(1);
    QTest::mouseClick(w->cmd_disabled(), Qt::LeftButton);
    EXPECT_EQ(liveIds(0), (QList<long>{1, 4, id}));
    EXPECT_EQ(w->grid()->currentId(), id);
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(AuthUnit, LiftSelectedAsksFirst)
{
    auto w = makeControl();
    ASSERT_TRUE(w->grid()->setCurrentId(4));
    boxes().clickButton(1);  // "Nem"
    QTest::mouseClick(w->cmd_enabled(), Qt::LeftButton);
    EXPECT_EQ(liveIds(0), (QList<long>{1, 4}));
    boxes().clickButton(0);  // "Igen"
    QTest::mouseClick(w->cmd_enabled(), Qt::LeftButton);
    EXPECT_EQ(liveIds(0), (QList<long>{1}));
    EXPECT_EQ(shownMessages(), (QStringList{u"Biztosan fel kívánja oldani a kiválasztott tiltást?"_s,
                                            u"Biztosan fel kívánja oldani a kiválasztott tiltást?"_s}));
    EXPECT_EQ(w->grid()->rowTotal(), 1);
}

TEST_F(AuthUnit, BulkLiftOfEverythingOfTheKind)
{
    auto w = makeControl();
    choose(w->cbo_auth_type(), 1);
    boxes().clickButton(0);
    QTest::mouseClick(w->cmd_enabled_all(), Qt::LeftButton);
    EXPECT_EQ(shownMessages(), QStringList{u"Biztosan fel kívánja oldani a tiltást?"_s});
    EXPECT_EQ(liveIds(), (QList<long>{1, 4}));
    EXPECT_EQ(w->grid()->rowTotal(), 0);
}

TEST_F(AuthUnit, WithoutDatabaseEveryCommandFails)
{
    ListWizardAuthUnit w;
    ctx().database.reset();
    EXPECT_FALSE(w.ControlInitialize());
    EXPECT_FALSE(w.AuthNew());
    EXPECT_FALSE(w.AuthDel());
    EXPECT_FALSE(w.AuthDelWithGroup());
    EXPECT_TRUE(boxes().requests().isEmpty());
}

TEST_F(AuthUnit, PropertiesPersist)
{
    ListWizardAuthUnit w;
    QSignalSpy modul(&w, &ListWizardAuthUnit::ModulIDChanged);
    w.InitProperties();
    EXPECT_EQ(w.ModulID(), -1);
    w.setModulID(2);
    w.setUserID(7);
    EXPECT_EQ(modul.size(), 1);
    EXPECT_EQ(ctx().userId, 7);
    MemoryPropertyBag bag;
    w.WriteProperties(bag);
    ListWizardAuthUnit other;
    other.ReadProperties(bag);
    EXPECT_EQ(other.ModulID(), 2);
    EXPECT_EQ(other.UserID(), 7);
    w.setDatabasePassword(u"titok"_s);
    EXPECT_EQ(ctx().databasePassword, u"titok"_s);
    EXPECT_EQ(w.DatabasePassword(), QString());
}

// A run denial recorded through the control hides the type from a member of
// the group at the wizard's next ControlInitialize; lifting it brings it back.
// Szabó Katalin (4) is a Könyvelő; Nagy Péter (3) is not.
TEST_F(AuthUnit, DenialReachesListWizardOfTheGroupsMembers)
{
    const auto typesSeenBy = [&](int user) {
        controls::ListWizard wizard;
        wizard.InitProperties();
        wizard.setDatabase(db);
        wizard.setUserID(user);
        wizard.setAuthenticAllReport(true);
        EXPECT_TRUE(wizard.ControlInitialize());
        return texts(wizard.listTypeSelector());
    };
    const QStringList before4 = typesSeenBy(4);
    const QStringList before3 = typesSeenBy(3);
    ASSERT_TRUE(before4.contains(u"Számlák"_s));

    auto w = makeControl();
    choose(w->cbo_auth_type(), 1);
    choose(w->cbo_user_group(), 3);
    choose(w->cbo_type(), 2);
    ASSERT_TRUE(w->AuthNew());

    QStringList expected = before4;
    expected.removeAll(u"Számlák"_s);
    EXPECT_EQ(typesSeenBy(4), expected);
    EXPECT_EQ(typesSeenBy(3), before3);

    boxes().clickButton(0);
    ASSERT_TRUE(w->AuthDel());
    EXPECT_EQ(typesSeenBy(4), before4);
}

}  // namespace

// A host that chooses English before it builds its forms gets English
// captions on the administration and wizard controls too; forms built after
// switching back speak Hungarian again.
TEST(ControlLanguage, CaptionsFollowTheLanguageChosenBeforeTheControlIsBuilt)
{
    struct Restore {
        ~Restore() { setUiLanguage(UiLanguage::Hungarian); }
    } restore;
    struct Expected {
        UiLanguage language;
        QString deny, liftAll, owner, listType, print;
    };
    const Expected cases[] = {
        {UiLanguage::English, u"&Deny"_s, u"&Lift denials in bulk"_s, u"Owner:"_s, u"List type:"_s, u"Print list"_s},
        {UiLanguage::Hungarian, u"&Tiltás"_s, u"Tiltás &feloldása csoportosan"_s, u"Tulajdonos:"_s,
         u"Lista típusa:"_s, u"Lista nyomtatása"_s},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(int(e.language));
        setUiLanguage(e.language);
        ListWizardAuthUnit unit;
        EXPECT_EQ(unit.cmd_disabled()->text(), e.deny);
        EXPECT_EQ(unit.cmd_enabled_all()->text(), e.liftAll);

        controls::ListWizard wizard;
        ASSERT_NE(wizard.findChild<QLabel*>(u"lbl_owner"_s), nullptr);
        EXPECT_EQ(wizard.findChild<QLabel*>(u"lbl_owner"_s)->text(), e.owner);
        ASSERT_NE(wizard.findChild<QLabel*>(u"lbl_list_type"_s), nullptr);
        EXPECT_EQ(wizard.findChild<QLabel*>(u"lbl_list_type"_s)->text(), e.listType);
        EXPECT_EQ(wizard.commandAction(controls::cmd::Print)->text(), e.print);
    }
}
