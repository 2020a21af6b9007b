// What the catalogue editor validates and writes, locked and unlocked, and
// the unlock gate with a password of the test's own.

#include "admin/catalogueedit.h"
#include "admin/unlockgate.h"
#include "adminfixture.h"
#include "store/errors.h"
#include "store/records.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::admin;

namespace {

const QByteArray kSalt = "tests-own-salt";

// The tests' password replaces the library's for the whole test program.
void useTestPassword(const QString& password)
{
    ASSERT_TRUE(setPasswordDigest(kSalt, passwordDigest(kSalt, password)));
}

class CatalogueEdit : public test::AdminDatabase {
protected:
    void TearDown() override
    {
        resetUnlock();
        restoreDefaultPassword();
        AdminDatabase::TearDown();
    }
    QStringList errors()
    {
        QStringList out;
        for (const auto& e : ctx().currentErrors())
            out << e->description();
        return out;
    }
    QString column(const QString& table, long id, const QString& name)
    {
        auto rs = db->OpenRecordset(u"SELECT %1 FROM %2 WHERE id = %3"_s.arg(name, table).arg(id),
                                    dao::RecordsetType::Snapshot, dao::dbReadOnly);
        return rs->Eof() ? u"<none>"_s : rs->Fields(0).toString();
    }
};

TEST_F(CatalogueEdit, UnlockGateThreeTriesPerForm)
{
    useTestPassword(u"próba-jelszó"_s);
    auto& presenter = boxes();
    UnlockGate gate;
    presenter.clickButton(0, u"rossz"_s);
    presenter.clickButton(0);  // closes the error box
    EXPECT_EQ(gate.gesture(ctx().messageService()), UnlockGate::Outcome::Wrong);
    presenter.closeBox();      // the input box closed without answer
    presenter.clickButton(0);
    EXPECT_EQ(gate.gesture(ctx().messageService()), UnlockGate::Outcome::Cancelled);
    presenter.clickButton(0, u"PRÓBA-JELSZÓ"_s);  // compared case-sensitively
    presenter.clickButton(0);
    EXPECT_EQ(gate.gesture(ctx().messageService()), UnlockGate::Outcome::NoMoreTries);
    EXPECT_EQ(gate.gesture(ctx().messageService()), UnlockGate::Outcome::Ignored);
    EXPECT_FALSE(isUnlocked());

    QStringList shown;
    for (const MessageRequest& r : presenter.requests())
        shown << r.message + u" | "_s + r.subMessage;
    EXPECT_EQ(shown, (QStringList{u"Jelszó:  | "_s, u"Hibás a megadott jelszó! | Már csak 2 lehetősége van!"_s,
                                  u"Jelszó:  | "_s, u"Hibás a megadott jelszó! | Már csak 1 lehetősége van!"_s,
                                  u"Jelszó:  | "_s, u"Hibás a megadott jelszó! | Nincs több lehetősége!"_s}));
    EXPECT_TRUE(presenter.requests().at(0).inputMode);

    // A new form has three new tries; the right answer unlocks the library.
    presenter.clearRequests();
    UnlockGate fresh;
    presenter.clickButton(0, u"próba-jelszó"_s);
    presenter.clickButton(0);
    EXPECT_EQ(fresh.gesture(ctx().messageService()), UnlockGate::Outcome::Accepted);
    EXPECT_TRUE(isUnlocked());
    EXPECT_EQ(presenter.requests().at(1).message, u"A jelszó megfelelő!"_s);
}

TEST_F(CatalogueEdit, PasswordDigestIsReplacedOnlyByAValidOne)
{
    EXPECT_FALSE(setPasswordDigest({}, QByteArray(32, 'x')));
    EXPECT_FALSE(setPasswordDigest(kSalt, QByteArray(31, 'x')));
    useTestPassword(u"egy"_s);
    EXPECT_TRUE(isPassword(u"egy"_s));
    EXPECT_FALSE(isPassword(u"egy "_s));
    EXPECT_FALSE(isPassword(QString()));
    // The digest depends on the salt.
    EXPECT_NE(passwordDigest("a", u"egy"_s), passwordDigest("b", u"egy"_s));
}

TEST_F(CatalogueEdit, StatementsQuoteTheDefaultSearchField)
{
    EXPECT_EQ(defaultSearchFieldNameSql(1, u"x' or '1'='1"_s),
              u"select top 1 search_field_name from vlq_quickpick_field where quickpick_id=1 and search_field = "
              "'x'' or ''1''=''1'"_s);
    // The quoted text is one literal: the statement finds nothing instead of everything.
    auto rs = db->OpenRecordset(defaultSearchFieldIdSql(1, u"x' or '1'='1"_s));
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(editorListTypesSql(0),
              u"select id,name from vlq_list_wizard_type as ty where ty.del_status=0 and ty.temp_status=0 order by "
              "name"_s);
    EXPECT_EQ(editorListTypesSql(2), u"select id,name from vlq_list_wizard_type as ty where modul_id=2 and "
                                     "ty.del_status=0 and ty.temp_status=0 order by name"_s);
}

struct TextCase {
    long value;
    bool filterable;
    QString type, control;
};

TEST_F(CatalogueEdit, DetailTexts)
{
    const TextCase cases[] = {
        {1, true, u"Szám"_s, u"Szám szűrő"_s},
        {2, true, u"Szám"_s, u"Szám szűrő"_s},
        {3, true, u"Dátum"_s, u"Dátum szűrő"_s},
        {4, true, u"Szöveg"_s, u"Szöveg szűrő"_s},
        {5, true, u"Igaz-Hamis"_s, u"Igaz-Hamis szűrő"_s},
        {6, true, u"Ismeretlen (Hibás paraméterezés!)"_s, u"Lista szűrő"_s},
        {7, false, u"Ismeretlen (Hibás paraméterezés!)"_s, u"Quickpick szűrő"_s},
        {0, true, u"Ismeretlen (Hibás paraméterezés!)"_s, u"Ismeretlen (Hibás paraméterezés!)"_s},
        {9, false, u"Ismeretlen (Hibás paraméterezés!)"_s, u"A mező nem szűrhető."_s},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(fieldTypeText(c.value), c.type);
        EXPECT_EQ(filterControlText(c.value, c.filterable), c.control);
    }
    EXPECT_EQ(flagText(true), u"Igen"_s);
    EXPECT_EQ(flagText(false), u"Nem"_s);
}

TEST_F(CatalogueEdit, LockedTableSaveWritesOnlyTheVisibleName)
{
    ListWizardTable table;
    ASSERT_TRUE(table.CoreLoad(2));
    TableDraft draft = tableDraft(table);
    draft.visibleName = u"Régiók"_s;
    draft.tableAlias = u"RX"_s;
    draft.quickPickId = 1;
    ASSERT_TRUE(saveTable(table, draft, false));
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"visible_name"_s), u"Régiók"_s);
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"table_alias"_s), u"R"_s);
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"quickpick_id"_s), u"-1"_s);
    EXPECT_EQ(table.table_alias(), u"R"_s);

    ASSERT_TRUE(saveTable(table, draft, true));
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"table_alias"_s), u"RX"_s);
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"quickpick_id"_s), u"1"_s);
}

struct RefusedTable {
    const char* name;
    TableDraft draft;
    QStringList messages;
};

TEST_F(CatalogueEdit, TableValidationCollectsEveryMessage)
{
    const RefusedTable cases[] = {
        {"all three empty", {u" "_s, {}, u"  "_s, -1, {}, {}, {}, {}}, {u"A táblanév megadása kötelező!"_s,
                                                    u"A fizikai táblanév megadása kötelező!"_s,
                                                    u"Az alias megadása kötelező!"_s}},
        {"bracket in the alias", {u"Régió"_s, u"regio"_s, u"R]; drop"_s, -1, {}, {}, {}, {}},
         {u"Alias: a név nem tartalmazhat szögletes zárójelet."_s}},
        {"control character in the name", {u"Régió"_s, u"re\ngio"_s, u"R"_s, -1, {}, {}, {}, {}},
         {u"Fizikai táblanév: a név nem tartalmazhat vezérlőkaraktert."_s}},
        {"clause that breaks out", {u"Régió"_s, u"regio"_s, u"R"_s, -1, {}, u"1=1) UNION SELECT (1"_s, {}, {}},
         {u"SQL szűrőfeltétel: a feltétel hibás (a(z) 4. pozíción ')' áll '(' nélkül)."_s}},
    };
    ListWizardTable table;
    ASSERT_TRUE(table.CoreLoad(2));
    const ListWizardTable before = table;
    for (const RefusedTable& c : cases) {
        SCOPED_TRACE(c.name);
        ctx().currentErrors().Clear();
        EXPECT_FALSE(saveTable(table, c.draft, true));
        EXPECT_EQ(errors().join(u'\n').toStdString(), c.messages.join(u'\n').toStdString());
        EXPECT_EQ(table.visible_name(), before.visible_name());
        EXPECT_EQ(table.table_alias(), before.table_alias());
    }
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"visible_name"_s), u"Régió"_s);
}

TEST_F(CatalogueEdit, DemoClausesAreAccepted)
{
    auto rs = db->OpenRecordset(u"SELECT where_clause_qpi, where_clause_sql FROM vlq_list_wizard_table "
                                "UNION ALL SELECT where_clause, '' FROM vlq_list_wizard_table_field"_s);
    for (; !rs->Eof(); rs->MoveNext()) {
        EXPECT_EQ(clauseProblem(u"x"_s, rs->Fields(0).toString()), QString()) << rs->Fields(0).toString().toStdString();
        EXPECT_EQ(clauseProblem(u"x"_s, rs->Fields(1).toString()), QString());
    }
}

TEST_F(CatalogueEdit, FieldSaveLockedAndUnlocked)
{
    ListWizardTableField field;
    ASSERT_TRUE(field.CoreLoad(9));  // hitelkeret: decimal number, filter 2
    FieldDraft draft = fieldDraft(field);
    EXPECT_EQ(draft.fieldType, 1);
    EXPECT_EQ(draft.controlType, 1);
    draft.visibleName = u"Hitelkeret"_s;
    draft.width = 140;
    draft.aggregated = false;
    draft.fieldName = u"keret"_s;
    ASSERT_TRUE(saveField(field, draft, false));
    const QString t = u"vlq_list_wizard_table_field"_s;
    EXPECT_EQ(column(t, 9, u"visible_name"_s), u"Hitelkeret"_s);
    EXPECT_EQ(column(t, 9, u"field_width"_s), u"140"_s);
    EXPECT_EQ(column(t, 9, u"aggregated"_s), u"0"_s);
    EXPECT_EQ(column(t, 9, u"field_name"_s), u"hitelkeret"_s);
    ASSERT_TRUE(saveField(field, draft, true));
    EXPECT_EQ(column(t, 9, u"field_name"_s), u"keret"_s);
    EXPECT_EQ(column(t, 9, u"field_type"_s), u"1"_s);
    EXPECT_EQ(column(t, 9, u"field_control_type"_s), u"1"_s);
}

struct FieldRule {
    const char* name;
    bool filtered;
    long controlType;
    long fieldType;
    QStringList messages;
};

TEST_F(CatalogueEdit, FilterableFieldNeedsAFilterControl)
{
    const FieldRule cases[] = {
        {"filterable without control", true, -1, 4, {u"A szűrőkontrol megadása kötelező!"_s}},
        {"not filterable without control", false, -1, 4, {}},
        {"no type", false, 4, -1, {u"A mező típus megadása kötelező!"_s}},
        {"decimal type is no choice any more", true, 2, 2,
         {u"A mező típus megadása kötelező!"_s, u"A szűrőkontrol megadása kötelező!"_s}},
    };
    for (const FieldRule& c : cases) {
        SCOPED_TRACE(c.name);
        FieldDraft d;
        d.visibleName = u"név"_s;
        d.fieldName = u"nev"_s;
        d.filtered = c.filtered;
        d.controlType = c.controlType;
        d.fieldType = c.fieldType;
        EXPECT_EQ(validateField(d, false), c.messages);
    }
}

TEST_F(CatalogueEdit, DefaultSearchFieldOnlyForTheQuickPickFilter)
{
    ListWizardTableField field;
    ASSERT_TRUE(field.CoreLoad(2));
    FieldDraft draft = fieldDraft(field);
    EXPECT_EQ(draft.defaultSearchField, u"nev"_s);
    draft.controlType = 6;
    ASSERT_TRUE(saveField(field, draft, true));
    EXPECT_EQ(column(u"vlq_list_wizard_table_field"_s, 2, u"default_search_field"_s), QString());
}

}  // namespace
