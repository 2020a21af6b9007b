#include "filters/textfiltermodel.h"
#include "demodb.h"
#include "printing.h"

#include "platform/propertybag.h"

#include <gtest/gtest.h>

using namespace lg::filters;
using lg::test::DemoDb;
using lg::test::SampleRow;

namespace {

// One text filter set up the way a user or host leaves it.
struct Given {
    int type = TypedInput::TextInput;
    const char* field = "NAME";
    const char* caption = "Név";
    int relationList = -1;  // -1: as the input type leaves it
    bool input2Visible = true;
    bool keywords = false;
    const char* likeChar = "*";
    const char* from = "";
    const char* to = nullptr;
    int relation = -1;
    bool negated = false;
};

struct Expected {
    const char* sql;
    const char* filter;
};

void apply(TextFilterModel& f, const Given& s)
{
    f.setInputType(s.type);
    f.setActive(true);
    f.setQueryField(QString::fromUtf8(s.field));
    f.setQueryFieldDescription(QString::fromUtf8(s.caption));
    if (s.relationList >= 0)
        f.setRelationListVisible(s.relationList == 1);
    f.setInput2Visible(s.input2Visible);
    f.setKeyWordsFind(s.keywords);
    f.setLikeCharacter(QString::fromUtf8(s.likeChar));
    f.input1()->setText(QString::fromUtf8(s.from));
    if (s.to)
        f.input2()->setText(QString::fromUtf8(s.to));
    if (s.relation >= 0)
        f.setRelationListItemData(s.relation);
    if (s.negated)
        f.setNotPictureValue(1);
}

// Rows of the sample table t, told by C++ rather than by SQL.
using Pick = std::function<bool(const SampleRow&)>;

// Letters without accents, upper case: the primary order of the collation
// for the texts compared here.
QString folded(const QString& s)
{
    QString out;
    for (QChar c : s.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c.toUpper());
    }
    return out;
}
bool startsCi(const SampleRow& r, const char* prefix)
{
    return r.NAME.toUpper().startsWith(QString::fromUtf8(prefix).toUpper());
}
bool hasCi(const SampleRow& r, const char* part)
{
    return r.NAME.contains(QString::fromUtf8(part), Qt::CaseInsensitive);
}
bool onDay(const SampleRow& r, QDate day)
{
    return r.D.date() == day;
}

TEST(TextFilter, ConditionTexts)
{
    const QDate mar5(2024, 3, 5);
    const std::tuple<Given, Expected, Pick> cases[] = {
        // text: the prefix test, its length counting typed characters
        {{.from = "abc"}, {"(( ucase$(left(NAME,3))= ucase$('abc')))", "( Név olyan mint 'abc')"},
         [](const SampleRow& r) { return startsCi(r, "abc"); }},
        {{.from = "O'Neil"}, {"(( ucase$(left(NAME,6))= ucase$('O''Neil')))", "( Név olyan mint 'O'Neil')"},
         [](const SampleRow& r) { return startsCi(r, "O'Neil"); }},
        {{.from = "abc", .relation = 1}, {"(( ucase$(left(NAME,3))= ucase$('abc')))", "( Név olyan mint 'abc')"},
         [](const SampleRow& r) { return startsCi(r, "abc"); }},
        {{.from = "abc", .relation = 5}, {"(( NAME >= 'abc'))", "( Név >=  abc)"},
         [](const SampleRow& r) { return folded(r.NAME) >= u"ABC"; }},
        {{.from = "a'b", .relation = 2}, {"(( NAME = 'a''b'))", "( Név =  a'b)"},
         [](const SampleRow& r) { return r.NAME.compare(u"a'b", Qt::CaseInsensitive) == 0; }},
        {{.from = "abc", .negated = true}, {"(NOT ( ucase$(left(NAME,3))= ucase$('abc')))", "NEM( Név olyan mint 'abc')"},
         [](const SampleRow& r) { return !startsCi(r, "abc"); }},
        {{.relationList = 0, .from = "abc"}, {"(( ucase$(left(NAME,3))= ucase$('abc')))", "( Név olyan mint 'abc')"},
         [](const SampleRow& r) { return startsCi(r, "abc"); }},
        {{.from = "b", .to = "l"},
         {"(( (NAME >= 'b*' OR  (ucase$(left(NAME,1))= ucase$('b')) ) AND (NAME <= 'l*' OR  (ucase$(left(NAME,1))= "
          "ucase$('l')) ) ))",
          "( Név b és l között )"},
         [](const SampleRow& r) { return folded(r.NAME.left(1)) >= u"B" && folded(r.NAME.left(1)) <= u"L"; }},
        {{.input2Visible = false, .from = "b", .to = "l"},
         {"(( ucase$(left(NAME,1))= ucase$('b')))", "( Név olyan mint 'b')"},
         [](const SampleRow& r) { return startsCi(r, "b"); }},
        {{.from = "b", .to = "   "}, {"(( ucase$(left(NAME,1))= ucase$('b')))", "( Név olyan mint 'b')"},
         [](const SampleRow& r) { return startsCi(r, "b"); }},
        {{.relationList = 0, .keywords = true, .from = "a b+c"},
         {"((  (  (NAME LIKE '*a*')  OR  (NAME LIKE '*b*')  AND  (NAME LIKE '*c*')  ) ))",
          "( Név  (olyan mint 'a' VAGY olyan mint 'b' ÉS olyan mint 'c') )"},
         [](const SampleRow& r) { return hasCi(r, "a") || (hasCi(r, "b") && hasCi(r, "c")); }},
        {{.relationList = 0, .keywords = true, .likeChar = "%", .from = "x"},
         {"((  (  (NAME LIKE '%x%')  ) ))", "( Név  (olyan mint 'x') )"},
         [](const SampleRow& r) { return r.NAME == u"%x%"; }},  // "%" is no wildcard in Jet
        // number
        {{.type = 2, .field = "PRICE", .caption = "Ár", .from = "5"}, {"(( PRICE = 5))", "( Ár =5)"},
         [](const SampleRow& r) { return r.PRICE == 5; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .from = "5", .to = "9"},
         {"(( PRICE BETWEEN 5 AND 9))", "( Ár 5 és 9 között )"},
         [](const SampleRow& r) { return r.PRICE >= 5 && r.PRICE <= 9; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .from = "5", .to = "0"}, {"(( PRICE = 5))", "( Ár =5)"},
         [](const SampleRow& r) { return r.PRICE == 5; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .from = "5", .to = "x"}, {"(( PRICE = 5))", "( Ár =5)"},
         [](const SampleRow& r) { return r.PRICE == 5; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .input2Visible = false, .from = "5", .to = "9"},
         {"(( PRICE = 5))", "( Ár =5)"}, [](const SampleRow& r) { return r.PRICE == 5; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .from = "5", .negated = true},
         {"(NOT ( PRICE = 5))", "NEM( Ár =5)"}, [](const SampleRow& r) { return r.PRICE != 5; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .from = "12,5"}, {"(( PRICE = 12.5))", "( Ár =12,5)"},
         [](const SampleRow& r) { return r.PRICE == 12.5; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .relationList = 1, .from = "5"},
         {"(( PRICE = 5))", "( Ár = 5)"}, [](const SampleRow& r) { return r.PRICE == 5; }},
        {{.type = 2, .field = "PRICE", .caption = "Ár", .relationList = 1, .from = "5", .relation = 4},
         {"(( PRICE <  5))", "( Ár <  5)"}, [](const SampleRow& r) { return r.PRICE < 5; }},
        // dates
        {{.type = 4, .field = "D", .caption = "Kelt", .from = "2024.03.05"},
         {"(( D BETWEEN #03/05/2024# AND #03/05/2024 23.59.59# ))", "( Kelt = 2024.03.05)"},
         [mar5](const SampleRow& r) { return onDay(r, mar5); }},
        {{.type = 5, .field = "D", .caption = "Kelt", .from = "20240305", .to = "2024-03-09", .relation = 1},
         {"(( D BETWEEN #03/05/2024# AND #03/09/2024 23.59.59# ))", "( Kelt 2024.03.05 és 2024.03.09 között )"},
         [mar5](const SampleRow& r) { return r.D.date() >= mar5 && r.D.date() <= mar5.addDays(4); }},
        {{.type = 4, .field = "D", .caption = "Kelt", .input2Visible = false, .from = "2024.03.05", .to = "2024.03.09",
          .relation = 1},
         {"(( D BETWEEN #03/05/2024# AND #03/05/2024 23.59.59# ))", "( Kelt = 2024.03.05)"},
         [mar5](const SampleRow& r) { return onDay(r, mar5); }},
        {{.type = 4, .field = "D", .caption = "Kelt", .relationList = 1, .from = "2024.03.05", .relation = 5},
         {"(( D >=   #03/05/2024# ))", "( Kelt >=  2024.03.05)"},
         [mar5](const SampleRow& r) { return r.D.date() >= mar5; }},
        {{.type = 4, .field = "D", .caption = "Kelt", .from = "2024.03.05", .negated = true},
         {"(NOT ( D BETWEEN #03/05/2024# AND #03/05/2024 23.59.59# ))", "NEM( Kelt = 2024.03.05)"},
         [mar5](const SampleRow& r) { return !onDay(r, mar5); }},
    };
    for (const auto& [given, expected, pick] : cases) {
        TextFilterModel f;
        apply(f, given);
        SCOPED_TRACE(std::string("input type ") + std::to_string(given.type) + ", from \"" + given.from + "\"");
        EXPECT_EQ(f.queryResultSQL(), QString::fromUtf8(expected.sql));
        EXPECT_EQ(f.queryResultFilter(), QString::fromUtf8(expected.filter));
        EXPECT_EQ(f.queryResultDescription(), u'(' + QString::fromUtf8(expected.filter) + u')');
        // The condition finds what it says.
        auto& db = DemoDb::instance();
        EXPECT_EQ(db.idsWhere(QStringLiteral("t"), f.queryResultSQL()), db.sampleIds(pick));
    }
}

TEST(TextFilter, NoConditionWithoutActivationOrInput)
{
    const Given cases[] = {
        {.from = ""},
        {.type = 2, .from = "abc"},  // pasted letters are no number
        {.type = 2, .from = "5) OR (1=1"},
        {.type = 4, .from = "2024.02.30"},
        {.type = 4, .from = "yesterday"},
        {.type = 4, .from = "2024.03.05", .to = "x", .relation = 1},
        {.relationList = 0, .keywords = true, .from = "+ ( ) +"},
        {.type = 3, .from = "abc"},
    };
    for (const Given& s : cases) {
        TextFilterModel f;
        apply(f, s);
        EXPECT_EQ(f.queryResultSQL(), QString()) << s.type << " " << s.from;
        EXPECT_EQ(f.queryResultFilter(), QString()) << s.type << " " << s.from;
    }
    TextFilterModel f;
    apply(f, {.from = "abc"});
    ASSERT_FALSE(f.queryResultSQL().isEmpty());
    f.setActive(false);
    EXPECT_EQ(f.queryResultSQL(), QString());
    f.setQueryCheckVisible(false);  // a hidden box does not switch the condition off
    EXPECT_FALSE(f.queryResultSQL().isEmpty());
}

TEST(TextFilter, CollectingFilters)
{
    TextFilterModel name, price, date, idle, emptied;
    apply(name, {.from = "abc"});
    apply(price, {.type = 2, .field = "PRICE", .caption = "Ár", .from = "5"});
    apply(date, {.type = 4, .field = "D", .caption = "Kelt", .from = "2024.03.05"});
    apply(idle, {.field = "X", .from = "x"});
    idle.setActive(false);
    apply(emptied, {.field = "Y", .from = "y"});
    ASSERT_FALSE(emptied.queryResultSQL().isEmpty());
    emptied.input1()->setText(QString());

    WhereCollection run;
    EXPECT_EQ(CollectWhereAndFilter({&name, &idle, &price, &emptied, &date}, run), 3);
    EXPECT_EQ(run.counter, 3);
    EXPECT_EQ(run.where, name.queryResultSQL() + QStringLiteral(" AND ") + price.queryResultSQL() +
                             QStringLiteral(" AND ") + date.queryResultSQL());
    EXPECT_EQ(run.description, name.queryResultDescription() + QStringLiteral(" ÉS ") +
                                   price.queryResultDescription() + QStringLiteral(" ÉS ") +
                                   date.queryResultDescription());
    EXPECT_EQ(run.filter(1), name.queryResultFilter());
    EXPECT_EQ(run.filter(2), price.queryResultFilter());
    EXPECT_EQ(run.filter(3), date.queryResultFilter());
    EXPECT_EQ(run.filter(0), QString());
    EXPECT_EQ(run.filter(4), QString());

    // A run that already holds conditions goes on with " AND ".
    WhereCollection more{1, QStringLiteral("(A)"), {QStringLiteral("a")}, QStringLiteral("((a))")};
    name.collectWhereAndFilter(more);
    EXPECT_EQ(more.counter, 2);
    EXPECT_EQ(more.where, QStringLiteral("(A) AND ") + name.queryResultSQL());
    EXPECT_EQ(more.filter(2), name.queryResultFilter());
}

TEST(TextFilter, SecondInputLocksTheRelationListOfATextFilter)
{
    TextFilterModel f;
    apply(f, {.from = "b"});
    QList<bool> locks;
    QObject::connect(&f, &TextFilterModel::relationListLockedChanged, [&](bool l) { locks.append(l); });
    f.setRelationListItemData(TextFilterModel::Greater);
    f.input2()->setText(QStringLiteral("k"));
    EXPECT_TRUE(f.relationListLocked());
    EXPECT_EQ(f.relationListItemData(), int(TextFilterModel::Between));
    f.input2()->setText(QString());
    EXPECT_FALSE(f.relationListLocked());
    EXPECT_EQ(locks, (QList<bool>{true, false}));

    // Number and date filters never lock it, nor does applying the type.
    TextFilterModel n;
    apply(n, {.type = 2, .from = "1", .to = "2"});
    EXPECT_FALSE(n.relationListLocked());
    f.input2()->setText(QStringLiteral("k"));
    f.setInputType(TypedInput::TextInput);
    EXPECT_FALSE(f.relationListLocked());
}

TEST(TextFilter, InputTypeShowsAndHidesTheLists)
{
    TextFilterModel f;
    f.fillerAddItem(QStringLiteral("host entry"));
    const std::tuple<int, bool, bool, int> cases[] = {
        {1, true, false, 1}, {2, false, false, 1}, {4, false, true, 11}, {5, false, true, 14},
    };
    for (const auto& [type, relation, filler, entries] : cases) {
        f.setInputType(type);
        EXPECT_EQ(f.relationListVisible(), relation) << type;
        EXPECT_EQ(f.fillerListVisible(), filler) << type;
        EXPECT_EQ(f.fillerEntries().size(), entries) << type;
    }
    EXPECT_EQ(f.relationEntries().size(), 7);
    EXPECT_EQ(f.relationEntries().at(0).text, QStringLiteral("Mint"));
    EXPECT_EQ(f.relationEntries().at(1).text, QStringLiteral("Közt"));

    f.setInputType(TypedInput::TextInput);
    QString clicked;
    QObject::connect(&f, &TextFilterModel::fillerClick, [&](const QString& t) { clicked = t; });
    EXPECT_TRUE(f.clickFiller(0));
    EXPECT_EQ(clicked, QStringLiteral("host entry"));
    EXPECT_FALSE(f.clickFiller(1));
}

TEST(TextFilter, NegationStatesAndPictures)
{
    TextFilterModel f;
    QList<int> changes;
    QObject::connect(&f, &TextFilterModel::notValueChange, [&](int v) { changes.append(v); });
    f.setNotPictureValue(2);  // ignored
    f.setNotPictureValue(1);
    f.setNotPictureValue(1);
    f.toggleNegation();
    EXPECT_EQ(changes, (QList<int>{1, 1, 0}));

    const std::tuple<bool, bool, const char*> pictures[] = {
        {false, true, "_ok"}, {true, true, "_cancel"}, {false, false, "_ok_disabled"}, {true, false, "_cancel_disabled"},
    };
    for (const auto& [negated, active, key] : pictures) {
        f.setNotPictureValue(negated ? 1 : 0);
        f.setActive(active);
        EXPECT_EQ(negationPictureKey(f.notPicture()), QString::fromLatin1(key));
    }

    // A hidden negation toggle does not negate.
    TextFilterModel g;
    apply(g, {.from = "abc", .negated = true});
    g.setNotPictureVisible(false);
    EXPECT_TRUE(g.queryResultSQL().startsWith(QStringLiteral("(( ")));
}

TEST(TextFilter, InputTextsByType)
{
    TextFilterModel f;
    f.setInputType(TypedInput::NumberInput);
    f.setInput1Text(17);
    f.setInput2Text(QStringLiteral("30"));
    EXPECT_EQ(f.input1Text().toInt(), 17);
    EXPECT_EQ(f.input2Text().toInt(), 30);
    f.setInput1Text(QStringLiteral("x"));  // fails: input 2 goes back to 0
    EXPECT_EQ(f.input1Text().toInt(), 17);
    EXPECT_EQ(f.input2()->text(), QStringLiteral("0"));

    f.setInputType(TypedInput::DateInput);
    f.setInput1Text(QDate(2024, 3, 5));
    f.setInput2Text(QStringLiteral("2024.03.09"));
    EXPECT_EQ(f.input1Text().toDate(), QDate(2024, 3, 5));
    EXPECT_EQ(f.input2Text().toDate(), QDate(2024, 3, 9));

    f.setInputType(TypedInput::TextInput);
    f.setInput1Text(QStringLiteral("abc"));
    EXPECT_EQ(f.input1Text().toString(), QStringLiteral("abc"));
}

TEST(TextFilter, SetFilterDefault)
{
    TextFilterModel f;
    f.setTodayProvider([] { return QDate(2024, 6, 1); });
    apply(f, {.type = 4, .field = "D", .from = "2024.03.05", .to = "2024.03.09", .relation = 1, .negated = true});
    f.applyPeriod(2);
    ASSERT_FALSE(f.queryResultSQL().isEmpty());
    f.setFilterDefault();
    EXPECT_FALSE(f.isActive());
    EXPECT_EQ(f.notPictureValue(), 0);
    EXPECT_EQ(f.queryField(), QString());
    EXPECT_EQ(f.queryFieldDescription(), QString());
    EXPECT_EQ(f.queryResultSQL(), QString());
    EXPECT_EQ(f.queryResultDescription(), QString());
    EXPECT_EQ(f.relationListItemData(), 0);
    EXPECT_EQ(f.fillerListItemData(), 0);
    EXPECT_EQ(f.input1Text().toDate(), QDate(2024, 6, 1));
    EXPECT_EQ(f.input2Text().toDate(), QDate(2024, 6, 1));

    TextFilterModel n;
    apply(n, {.type = 2, .from = "5", .to = "9"});
    n.setFilterDefault();
    EXPECT_EQ(n.input1()->text(), QStringLiteral("0"));
    EXPECT_EQ(n.input2()->text(), QStringLiteral("0"));
}

TEST(TextFilter, KeyWordSeparatorKeepsOneCharacter)
{
    TextFilterModel f;
    const std::pair<const char*, const char*> cases[] = {{" ;x ", ";"}, {"   ", "+"}, {"", "+"}, {"&", "&"}};
    for (const auto& [given, kept] : cases) {
        f.setKeyWordSeparator(QString::fromLatin1(given));
        EXPECT_EQ(f.keyWordSeparator(), QString::fromLatin1(kept)) << given;
    }
}

}  // namespace

namespace {

// A filter whose extended condition replaces its own.
class ExtendedFilter : public TextFilterModel {
public:
    bool createExtendedSQLTag(WhereCollection& run) override
    {
        run.add(QStringLiteral("(EXT)"), QStringLiteral("ext"), QStringLiteral("((ext))"));
        return true;
    }
};

TEST(TextFilter, ExtendedConditionReplacesTheFiltersOwn)
{
    ExtendedFilter f;
    apply(f, {.from = "abc"});
    WhereCollection run;
    EXPECT_TRUE(f.collectWhereAndFilter(run));
    EXPECT_EQ(run.where, QStringLiteral("(EXT)"));
    run = {};
    f.setExtendedFilterVisible(false);
    EXPECT_TRUE(f.collectWhereAndFilter(run));
    EXPECT_EQ(run.where, f.queryResultSQL());
    run = {};
    f.setActive(false);
    EXPECT_FALSE(f.collectWhereAndFilter(run));
    EXPECT_EQ(run.counter, 0);
}

TEST(TextFilter, DesignPropertiesRoundTrip)
{
    lg::MemoryPropertyBag bag;
    {
        TextFilterModel f;
        apply(f, {.type = 4, .field = "D", .caption = "Kelt", .relationList = 1, .from = "2024.03.05", .relation = 5});
        f.setLikeCharacter(QStringLiteral("%"));
        f.setExtendedFilterRelation(3);
        f.setQueryFieldProgID(QStringLiteral("Host.Picker"));
        f.writeDesignProperties(bag);
        EXPECT_EQ(bag.read(QStringLiteral("QueryResultSQL")).toString(), f.queryResultSQL());
    }
    TextFilterModel g;
    g.readDesignProperties(bag);
    EXPECT_EQ(g.inputType(), 4);
    EXPECT_TRUE(g.relationListVisible());  // read after the input type, which hides it
    EXPECT_EQ(g.relationListItemData(), 5);
    EXPECT_EQ(g.likeCharacter(), QStringLiteral("%"));
    EXPECT_EQ(g.extendedFilterRelation(), 3);
    EXPECT_EQ(g.queryFieldProgID(), QStringLiteral("Host.Picker"));
    EXPECT_EQ(g.queryField(), QStringLiteral("D"));
    EXPECT_EQ(g.queryResultSQL(), QStringLiteral("(( D >=   #03/05/2024# ))"));
    EXPECT_FALSE(bag.contains(QStringLiteral("KeyWordsFind")));  // defaults are not stored
}

}  // namespace
