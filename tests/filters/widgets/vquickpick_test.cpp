// vQuickPick driven with typed keys on a host database laid out as the demo
// one is (partners, two quick-pick definitions, a constant key).

#include <gtest/gtest.h>

#include "filters/quickpick.h"
#include "filters/widgets/vquickpick.h"
#include "platform/dao/dao.h"
#include "platform/message.h"
#include "platform/propertybag.h"
#include "store/context.h"
#include "support/testsupport.h"
#include "ui/captions.h"
#include "widgettest.h"

#include <QtTest/QSignalSpy>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QToolButton>

using namespace lg;
using namespace lg::filters;
using lg::test::Form;
using lg::test::settle;

namespace {

std::shared_ptr<dao::Database> hostDatabase()
{
    auto db = dao::Database::open(lg::test::tempPath(QStringLiteral("quickpick-host.db")));
    for (const char* ddl : {
             "CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(100), table_name TEXT(64), browse_id LONG, "
             "browse_where_clause MEMO, use_where_in_browse YESNO, primarykey_indexname TEXT(64), "
             "primarykey_filedname TEXT(64), search_start_length LONG, browse_row_count LONG, "
             "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE TABLE vlq_quickpick_field (id LONG NOT NULL, quickpick_id LONG, sort_order LONG, "
             "search_field TEXT(64), search_field_name TEXT(100), visible_field TEXT(64), index_name TEXT(64), "
             "index_stucture TEXT(255), CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE INDEX Quickpick_sort ON vlq_quickpick_field (quickpick_id, sort_order)",
             "CREATE TABLE partner (id LONG NOT NULL, kod TEXT(10), nev TEXT(120), tipus TEXT(1), varos TEXT(40), "
             "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
             "CREATE INDEX nev ON partner (nev)",
             "CREATE INDEX kod ON partner (kod)",
             "CREATE INDEX tipus_nev ON partner (tipus, nev)",
             "INSERT INTO vlq_quickpick VALUES (1, 'Partnerek', 'partner', 1, 'aktiv=-1', -1, 'PrimaryKey', 'id', "
             "3, 20)",
             "INSERT INTO vlq_quickpick VALUES (3, 'Vevők', 'partner', 3, NULL, 0, NULL, NULL, 2, 15)",
             "INSERT INTO vlq_quickpick_field VALUES (1, 1, 1, 'nev', 'Név', 'kod', 'nev', '%SEARCH%')",
             "INSERT INTO vlq_quickpick_field VALUES (2, 1, 2, 'kod', 'Kód', 'nev', 'kod', '%SEARCH%')",
             "INSERT INTO vlq_quickpick_field VALUES (5, 3, 1, 'nev', 'Vevő neve', 'varos', 'tipus_nev', "
             "'V;%SEARCH%')",
         })
        db->Execute(QString::fromUtf8(ddl));
    struct P {
        int id;
        const char* kod;
        const char* nev;
        const char* tipus;
        const char* varos;
    } rows[] = {
        {1, "P001", "Kovács Béla", "V", "Győr"},     {2, "P002", "Kovacsics Kft.", "S", "Pécs"},
        {3, "P003", "ab", "V", "Eger"},              {4, "P004", "Abádi Zrt.", "V", "Szeged"},
        {5, "P005", "Kis Anna", "S", "Budapest"},    {6, "P006", "Kiss és Társa", "V", "Debrecen"},
        {7, "P007", "O'Brien Bt.", "V", "Sopron"},   {8, "P008", "Kovács Anna", "S", "Vác"},
    };
    for (const P& p : rows)
        db->Execute(QStringLiteral("INSERT INTO partner (id, kod, nev, tipus, varos) VALUES (?, ?, ?, ?, ?)"),
                    dao::Parameters(QVariantList{p.id, QString::fromUtf8(p.kod), QString::fromUtf8(p.nev),
                                                 QString::fromUtf8(p.tipus), QString::fromUtf8(p.varos)}));
    return db;
}

struct Fixture {
    std::shared_ptr<ScriptedMessagePresenter> presenter = std::make_shared<ScriptedMessagePresenter>();
    vQuickPick* qp = new vQuickPick;
    std::unique_ptr<Form> form;

    explicit Fixture(int definition = 1)
    {
        Context::reset();
        ctx().database = hostDatabase();
        ctx().messages = std::make_shared<cMessage2>(presenter);
        qp->initDesignProperties();
        EXPECT_TRUE(qp->InitializeQuickPick(definition));
        form = std::make_unique<Form>(qp);
        qp->txtInput()->setFocus();
        settle();
    }
    ~Fixture() { Context::reset(); }

    QLineEdit* edit() const { return qp->txtInput(); }
    void type(const QString& text) { lg::test::typeText(edit(), text); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(edit(), k, m); }
};

}  // namespace

TEST(QuickPick, TypingCompletesWithTheRestSelected)
{
    Fixture f;
    QSignalSpy changed(f.qp, &vQuickPick::ChangedItemID);
    QSignalSpy change(f.qp, &vQuickPick::Change);

    f.type(QStringLiteral("ko"));  // below the start length: exact, nothing is called "ko"
    EXPECT_EQ(f.qp->ID(), -1);
    EXPECT_EQ(f.qp->Text(), QStringLiteral("ko"));
    EXPECT_EQ(f.qp->ResultText(), QStringLiteral("<nem talált>"));

    f.type(QStringLiteral("v"));
    EXPECT_EQ(f.qp->Text(), QStringLiteral("Kovács Anna"));
    EXPECT_EQ(f.qp->ID(), 8);
    EXPECT_EQ(f.qp->ResultText(), QStringLiteral("P008"));
    EXPECT_EQ(f.edit()->cursorPosition(), 3);
    EXPECT_EQ(f.edit()->selectedText(), QStringLiteral("ács Anna"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 8);
    EXPECT_EQ(change.count(), 3);

    // Typing over the selection narrows the search.
    f.type(QStringLiteral("acsi"));
    EXPECT_EQ(f.qp->Text(), QStringLiteral("Kovacsics Kft."));
    EXPECT_EQ(f.qp->ID(), 2);
    EXPECT_EQ(f.edit()->selectedText(), QStringLiteral("cs Kft."));
}

TEST(QuickPick, BackspaceMakesTheNextSearchExact)
{
    Fixture f;
    f.type(QStringLiteral("Kis"));
    EXPECT_EQ(f.qp->Text(), QStringLiteral("Kis Anna"));
    EXPECT_EQ(f.qp->ID(), 5);
    f.key(Qt::Key_Backspace);  // removes the selected completion
    EXPECT_EQ(f.qp->Text(), QStringLiteral("Kis"));
    EXPECT_EQ(f.qp->ID(), -1);  // exact: nobody is called "Kis"
    EXPECT_EQ(f.qp->ResultText(), QStringLiteral("<nem talált>"));
    f.type(QStringLiteral("s"));  // the flag was used once
    EXPECT_EQ(f.qp->Text(), QStringLiteral("Kiss és Társa"));
    EXPECT_EQ(f.qp->ID(), 6);

    // Emptying the box: no item.
    f.edit()->selectAll();
    f.key(Qt::Key_Delete);
    EXPECT_EQ(f.qp->ID(), -1);
    EXPECT_EQ(f.qp->Text(), QString());
    EXPECT_EQ(f.qp->ResultText(), QStringLiteral("<nem talált>"));

    // Below the start length only the whole value matches, in any case.
    f.type(QStringLiteral("AB"));
    EXPECT_EQ(f.qp->ID(), 3);
    EXPECT_EQ(f.qp->Text(), QStringLiteral("ab"));
}

TEST(QuickPick, ConstantKeySearchesCustomersOnly)
{
    Fixture f(3);  // "V;%SEARCH%", start length 2 from the definition
    EXPECT_EQ(f.qp->SearchStartLength(), 2);
    EXPECT_EQ(f.qp->IndexStucture(), QStringLiteral("V;%SEARCH%"));
    f.type(QStringLiteral("Kov"));
    EXPECT_EQ(f.qp->ID(), 1);  // Kovács Anna and Kovacsics are suppliers
    EXPECT_EQ(f.qp->ResultText(), QStringLiteral("Győr"));
    f.edit()->clear();
    f.type(QStringLiteral("o'b"));
    EXPECT_EQ(f.qp->ID(), 7);
    EXPECT_EQ(f.qp->Text(), QStringLiteral("O'Brien Bt."));
}

TEST(QuickPick, F5CyclesTheSearchFieldsAndShowsTheMessage)
{
    Fixture f;
    QSignalSpy fieldSpy(f.qp, &vQuickPick::SearchFieldChanged);
    f.type(QStringLiteral("Kis"));
    EXPECT_EQ(f.qp->SearchField(), QStringLiteral("nev"));

    f.key(Qt::Key_F5, Qt::ShiftModifier);  // only the message
    EXPECT_EQ(f.qp->SearchField(), QStringLiteral("nev"));
    EXPECT_EQ(f.qp->messageText(), QStringLiteral(" Keresés: Név "));

    f.key(Qt::Key_F5);
    EXPECT_EQ(f.qp->SearchField(), QStringLiteral("kod"));
    EXPECT_EQ(f.qp->VisibleField(), QStringLiteral("nev"));
    EXPECT_EQ(f.qp->messageText(), QStringLiteral(" Keresés: Kód "));
    EXPECT_EQ(f.qp->ID(), -1);  // "Kis Anna" is no code
    f.edit()->clear();
    f.type(QStringLiteral("p00"));
    EXPECT_EQ(f.qp->ID(), 1);
    EXPECT_EQ(f.qp->Text(), QStringLiteral("P001"));
    EXPECT_EQ(f.qp->ResultText(), QStringLiteral("Kovács Béla"));

    f.key(Qt::Key_F5);  // after the last field the first
    EXPECT_EQ(f.qp->SearchField(), QStringLiteral("nev"));
    EXPECT_EQ(fieldSpy.count(), 2);

    // The message hides itself after its time (5 × 100 ms for the start length).
    f.key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(f.qp->messageText(), QStringLiteral(" Keresés: 4. karatertől "));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.qp->messageText().isEmpty(); }, 5000));
}

TEST(QuickPick, CtrlUpAndDownKeepTheStartLengthBetweenOneAndTen)
{
    Fixture f;
    struct Step {
        Qt::Key key;
        int times;
        int expected;
    } steps[] = {{Qt::Key_Up, 20, 10}, {Qt::Key_Down, 3, 7}, {Qt::Key_Down, 20, 1}};
    for (const Step& s : steps) {
        for (int i = 0; i < s.times; ++i)
            f.key(s.key, Qt::ControlModifier);
        EXPECT_EQ(f.qp->SearchStartLength(), s.expected);
    }
}

TEST(QuickPick, IdLooksTheRecordUp)
{
    Fixture f;
    QSignalSpy changed(f.qp, &vQuickPick::ChangedItemID);
    struct Case {
        int id;
        int expectedId;
        const char* text;
        const char* result;
    } cases[] = {
        {6, 6, "Kiss és Társa", "P006"},
        {6, 6, "Kiss és Társa", "P006"},  // the same id: no event
        {4711, -1, "", "<nem talált>"},
        {2, 2, "Kovacsics Kft.", "P002"},
    };
    for (const Case& c : cases) {
        f.qp->setID(c.id);
        EXPECT_EQ(f.qp->ID(), c.expectedId);
        EXPECT_EQ(f.qp->Text(), QString::fromUtf8(c.text));
        EXPECT_EQ(f.qp->ResultText(), QString::fromUtf8(c.result));
    }
    EXPECT_EQ(changed.count(), 3);
    EXPECT_TRUE(f.qp->ValidateItem());

    // The record goes away: validation drops it.
    ctx().database->Execute(QStringLiteral("DELETE FROM partner WHERE id = 2"));
    EXPECT_FALSE(f.qp->ValidateItem());
    EXPECT_EQ(f.qp->ID(), -1);

    // Setting the search field validates too.
    f.qp->setID(5);
    f.qp->setSearchField(QStringLiteral("kod"));
    EXPECT_EQ(f.qp->Text(), QStringLiteral("P005"));
    EXPECT_EQ(f.qp->ResultText(), QStringLiteral("Kis Anna"));
}

TEST(QuickPick, WithoutInitialisationNothingIsFound)
{
    Context::reset();
    auto* qp = new vQuickPick;
    Form form(qp);
    EXPECT_FALSE(qp->InitializeQuickPick(1));  // no shared connection
    lg::test::typeText(qp->txtInput(), QStringLiteral("Kov"));
    EXPECT_EQ(qp->ID(), -1);
    qp->setID(1);
    EXPECT_EQ(qp->ID(), -1);
}

TEST(QuickPick, F4OpensTheBrowserOnlyForAGridBrowse)
{
    Fixture f;
    QList<QuickPickBrowseRequest> requests;
    int answer = 5;
    f.qp->setBrowser([&](vQuickPick*, const QuickPickBrowseRequest& r) {
        requests.append(r);
        return answer;
    });
    f.qp->setCaption(QStringLiteral("&Partner:"));
    f.key(Qt::Key_F4);
    EXPECT_TRUE(requests.isEmpty());  // IsGridExBrowse False
    EXPECT_EQ(f.qp->ID(), -1);

    f.qp->setIsGridExBrowse(true);
    f.qp->setID(1);
    f.key(Qt::Key_F4);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].browseId, 1);
    EXPECT_EQ(requests[0].filter, QStringLiteral(" aktiv=-1 "));
    EXPECT_EQ(requests[0].caption, QStringLiteral("Partner"));
    EXPECT_EQ(requests[0].currentId, 1);
    EXPECT_EQ(requests[0].rowCount, 20);
    EXPECT_EQ(f.qp->ID(), 5);
    EXPECT_EQ(f.qp->Text(), QStringLiteral("Kis Anna"));

    // Cancelled: the item stays; a custom browse id and filter are used.
    answer = -1;
    f.qp->setCustomBrowseID(7);
    f.qp->setCustomRecordFilter(QStringLiteral("tipus='V'"));
    QTest::mouseClick(f.qp->cmdBrowse(), Qt::LeftButton);
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1].browseId, 7);
    EXPECT_EQ(requests[1].filter, QStringLiteral(" aktiv=-1 AND tipus='V' "));
    EXPECT_EQ(f.qp->ID(), 5);
}

TEST(QuickPick, BrowseFilterRule)
{
    Fixture f(3);  // use_where_in_browse off
    struct Case {
        const char* custom;
        const char* filter;
    } cases[] = {{"", "  (TRUE)  "}, {"varos='Eger'", " varos='Eger' "}};
    for (const Case& c : cases) {
        f.qp->setCustomRecordFilter(QString::fromUtf8(c.custom));
        EXPECT_EQ(f.qp->browseFilter(), QString::fromUtf8(c.filter));
    }
}

TEST(QuickPick, CtrlAltF12ShowsTheDiagnosticBox)
{
    Fixture f;
    f.qp->setID(8);
    f.key(Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(f.presenter->requests().size(), 1);
    const MessageRequest& r = f.presenter->requests().first();
    EXPECT_EQ(r.title, QStringLiteral("vLQDQuickPick információ"));
    const QStringList lines = r.message.split(QLatin1Char('\n'));
    const QStringList expected = {
        QStringLiteral("QUICK PICK ID: 1"),      QStringLiteral("Index name:nev"),
        QStringLiteral("Index stucture:%SEARCH%"), QStringLiteral("BROWSE WHERE CLAUSE:aktiv=-1"),
        QStringLiteral("CUSTOM RECORD FILTER:"), QStringLiteral("BROWSE FILTER: aktiv=-1 "),
        QStringLiteral("EXACT SEARCH: NO"),      QStringLiteral("SEARCH FIELD: nev"),
        QStringLiteral("VISIBLE FIELD: kod"),    QStringLiteral("CURRENT ITEM ID: 8"),
        QStringLiteral("BROWSE ID: 1"),
    };
    EXPECT_EQ(lines, expected);
}

TEST(QuickPick, KeysAndEnterBehaviour)
{
    Fixture f;
    QSignalSpy keyDown(f.qp, &vQuickPick::KeyDown);
    f.key(Qt::Key_Return);
    ASSERT_EQ(keyDown.count(), 1);
    EXPECT_EQ(keyDown.at(0).at(0).toInt(), 13);
    EXPECT_TRUE(f.edit()->hasFocus());

    f.key(Qt::Key_F5);  // handled: no KeyDown
    EXPECT_EQ(keyDown.count(), 1);

    f.qp->setEnterBehaviour(vQuickPick::MoveNextField);
    f.key(Qt::Key_Return);
    settle();
    EXPECT_TRUE(f.form->next->hasFocus());
}

TEST(QuickPick, FocusColoursAndPropertyBag)
{
    Fixture f;
    const QColor active = f.edit()->palette().color(QPalette::Base);
    EXPECT_EQ(active, colorFromWin(0x80000018, QApplication::palette()));
    f.form->next->setFocus();
    settle();
    EXPECT_EQ(f.edit()->palette().color(QPalette::Base), QColor(255, 255, 255));

    MemoryPropertyBag bag;
    f.qp->setCaption(QStringLiteral("Vevő:"));
    f.qp->setUIMode(vQuickPick::eUILandscape_Caption_and_Result);
    f.qp->setSearchStartLength(5);
    f.qp->setBackColorResult(0x00FF00);
    f.qp->writeDesignProperties(bag);
    vQuickPick copy;
    copy.readDesignProperties(bag);
    for (const PersistedProperty& p : vQuickPick::designProperties())
        EXPECT_EQ(copy.property(p.property), f.qp->property(p.property)) << p.property;
    EXPECT_EQ(copy.Caption(), QStringLiteral("Vevő:"));
    EXPECT_EQ(copy.UIMode(), 3);

    // Layouts: landscape puts the result right of the text box, portrait below.
    EXPECT_GT(f.qp->lblResult()->x(), f.edit()->x());
    f.qp->setUIMode(vQuickPick::eUIPortrait_Caption);
    EXPECT_FALSE(f.qp->lblResult()->isVisibleTo(f.qp));
    EXPECT_TRUE(f.qp->lblCaption()->isVisibleTo(f.qp));
    f.qp->setUIMode(vQuickPick::eUIPortrait_Result);
    EXPECT_FALSE(f.qp->lblCaption()->isVisibleTo(f.qp));
    EXPECT_GT(f.qp->lblResult()->y(), f.edit()->y());
}
