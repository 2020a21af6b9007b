// Every condition the filters build runs on the demo database through the
// Jet SQL translator, and its rows are compared with the rows an independent
// C++ condition picks from the same data.

#include "filters/checkboxfiltermodel.h"
#include "filters/keywordexpression.h"
#include "filters/listboxfiltermodel.h"
#include "filters/textfiltermodel.h"
#include "demodb.h"
#include "printing.h"

#include "platform/runtimeerror.h"
#include "support/pgbackend.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace lg::filters;
using lg::test::DemoDb;
using lg::test::Invoice;
using lg::test::Partner;

namespace {

std::string describe(const QList<int>& ids)
{
    QStringList s;
    for (int id : ids.mid(0, 20))
        s << QString::number(id);
    return QStringLiteral("%1 rows: %2").arg(ids.size()).arg(s.join(u',')).toStdString();
}

// Runs the condition; a statement that does not translate or run fails the test.
QList<int> run(const QString& table, const QString& condition)
{
    try {
        return DemoDb::instance().idsWhere(table, condition);
    } catch (const lg::RuntimeError& e) {
        ADD_FAILURE() << "the condition does not run: " << condition.toStdString() << "\n"
                      << e.description().toStdString();
        return {{-1}};
    }
}

std::unique_ptr<TextFilterModel> textFilter(int type, const char* field)
{
    auto f = std::make_unique<TextFilterModel>();
    f->setInputType(type);
    f->setActive(true);
    f->setQueryField(QString::fromLatin1(field));
    f->setQueryFieldDescription(QStringLiteral("Mező"));
    return f;
}

QChar baseLetter(const QString& name)
{
    const QString d = name.left(1).normalized(QString::NormalizationForm_D);
    return d.isEmpty() ? QChar() : d.at(0).toUpper();
}

bool containsCi(const QString& name, const char* word)
{
    return name.contains(QString::fromUtf8(word), Qt::CaseInsensitive);
}

TEST(FilterConditionsOnTheDemoDatabase, TextFilters)
{
    struct Case {
        const char* from;
        const char* to;
        int relation;
        bool keywords;
        std::function<bool(const Partner&)> expected;
    };
    const Case cases[] = {
        {"zala", nullptr, 0, false, [](const Partner& p) { return p.name.toUpper().startsWith(u"ZALA"); }},
        {"kárpát", nullptr, 0, false, [](const Partner& p) { return p.name.toUpper().startsWith(u"KÁRPÁT"); }},
        {"Dudás és", nullptr, 0, false, [](const Partner& p) { return p.name.startsWith(u"Dudás és"); }},
        {"zala agrár zrt.", nullptr, 2, false,
         [](const Partner& p) { return p.name.compare(u"Zala Agrár Zrt.", Qt::CaseInsensitive) == 0; }},
        {"b", "l", 0, false, [](const Partner& p) { return baseLetter(p.name) >= u'B' && baseLetter(p.name) <= u'L'; }},
        {"(zala kárpát)+kft", nullptr, 0, true,
         [](const Partner& p) {
             return (containsCi(p.name, "zala") || containsCi(p.name, "kárpát")) && containsCi(p.name, "kft");
         }},
        {"zala agrár", nullptr, 0, true,
         [](const Partner& p) { return containsCi(p.name, "zala") || containsCi(p.name, "agrár"); }},
        {"társa+(bt kkt) zöldség", nullptr, 0, true,
         [](const Partner& p) {
             return (containsCi(p.name, "társa") && (containsCi(p.name, "bt") || containsCi(p.name, "kkt"))) ||
                    containsCi(p.name, "zöldség");
         }},
        {"e.v.", nullptr, 0, true, [](const Partner& p) { return containsCi(p.name, "e.v."); }},
    };
    for (const Case& c : cases) {
        auto f = textFilter(TypedInput::TextInput, "nev");
        if (c.keywords) {
            f->setRelationListVisible(false);
            f->setKeyWordsFind(true);
        }
        f->input1()->setText(QString::fromUtf8(c.from));
        if (c.to)
            f->input2()->setText(QString::fromUtf8(c.to));
        f->setRelationListItemData(c.relation);
        const QString sql = f->queryResultSQL();
        ASSERT_FALSE(sql.isEmpty()) << c.from;
        const QList<int> expected = DemoDb::instance().partnerIds(c.expected);
        EXPECT_FALSE(expected.isEmpty()) << c.from;  // the case must mean something on the demo data
        EXPECT_EQ(run(QStringLiteral("partner"), sql), expected) << sql.toStdString() << "\n" << describe(expected);

        // Negated: exactly the other rows.
        f->setNotPictureValue(1);
        const QList<int> others =
            DemoDb::instance().partnerIds([&](const Partner& p) { return !c.expected(p); });
        EXPECT_EQ(run(QStringLiteral("partner"), f->queryResultSQL()), others) << f->queryResultSQL().toStdString();
    }
}

// The largest expressions the keyword scanner accepts still run: a long
// run of words and the deepest nesting of groups.
TEST(FilterConditionsOnTheDemoDatabase, LargestKeywordExpressionsRun)
{
    QStringList words{QStringLiteral("zala")};
    for (int i = 1; i < KeywordExpression::kMaxWords; ++i)
        words << QStringLiteral("nincs%1").arg(i);
    const QString deep = QString(KeywordExpression::kMaxDepth, u'(') + QStringLiteral("zala kárpát") +
                         QString(KeywordExpression::kMaxDepth, u')') + QStringLiteral("+kft");
    struct Case {
        QString text;
        std::function<bool(const Partner&)> expected;
    };
    const Case cases[] = {
        {words.join(u' '), [](const Partner& p) { return containsCi(p.name, "zala"); }},
        {words.join(u'+'), [](const Partner&) { return false; }},
        {deep,
         [](const Partner& p) {
             return (containsCi(p.name, "zala") || containsCi(p.name, "kárpát")) && containsCi(p.name, "kft");
         }},
    };
    for (const Case& c : cases) {
        auto f = textFilter(TypedInput::TextInput, "nev");
        f->setRelationListVisible(false);
        f->setKeyWordsFind(true);
        f->input1()->setText(c.text);
        const QString sql = f->queryResultSQL();
        ASSERT_FALSE(sql.isEmpty()) << c.text.left(80).toStdString();
        EXPECT_EQ(run(QStringLiteral("partner"), sql), DemoDb::instance().partnerIds(c.expected))
            << c.text.left(80).toStdString();
    }
}

TEST(FilterConditionsOnTheDemoDatabase, NumberFilters)
{
    struct Case {
        const char* from;
        const char* to;
        bool relationList;
        int relation;
        std::function<bool(double)> expected;
    };
    const Case cases[] = {
        {"5000000", nullptr, false, 0, [](double v) { return v == 5000000; }},
        {"1000000", "2000000", false, 0, [](double v) { return v >= 1000000 && v <= 2000000; }},
        {"9000000", nullptr, true, 3, [](double v) { return v > 9000000; }},
        {"900 000", nullptr, true, 6, [](double v) { return v <= 900000; }},
        {"0", nullptr, false, 0, [](double v) { return v == 0; }},
    };
    for (const Case& c : cases) {
        auto f = textFilter(TypedInput::NumberInput, "hitelkeret");
        f->setRelationListVisible(c.relationList);
        f->input1()->setText(QString::fromUtf8(c.from));
        if (c.to)
            f->input2()->setText(QString::fromUtf8(c.to));
        f->setRelationListItemData(c.relation);
        const QList<int> expected =
            DemoDb::instance().partnerIds([&](const Partner& p) { return c.expected(p.creditLimit); });
        EXPECT_FALSE(expected.isEmpty()) << c.from;
        EXPECT_EQ(run(QStringLiteral("partner"), f->queryResultSQL()), expected) << f->queryResultSQL().toStdString();
    }
}

TEST(FilterConditionsOnTheDemoDatabase, DateFilters)
{
    struct Case {
        int type;
        const char* from;
        const char* to;
        bool relationList;
        int relation;
        int period;
        QDate first, last;  // the invoices of these days, both included
    };
    const QDate none;
    const Case cases[] = {
        {4, "2024.03.05", nullptr, false, 0, -1, {2024, 3, 5}, {2024, 3, 5}},
        {4, "2024-03-01", "20240331", false, 1, -1, {2024, 3, 1}, {2024, 3, 31}},
        {5, "2022.01.03", "2022.01.03", false, 1, -1, {2022, 1, 3}, {2022, 1, 3}},
        {4, "2024.12.01", nullptr, true, 5, -1, {2024, 12, 1}, {2099, 1, 1}},
        {4, "2022.02.01", nullptr, true, 4, -1, {1900, 1, 1}, {2022, 1, 31}},
        {4, "2024.06.30", nullptr, true, 3, -1, {2024, 7, 1}, {2099, 1, 1}},
        {4, nullptr, nullptr, false, 0, 5, {2024, 3, 1}, {2024, 3, 31}},    // previous month of 2024-04-15
        {4, nullptr, nullptr, false, 0, 6, {2024, 1, 1}, {2024, 3, 31}},    // previous quarter
        {5, nullptr, nullptr, false, 0, 13, {1980, 1, 1}, {2024, 1, 16}},   // beyond 90 days
        {4, nullptr, nullptr, false, 0, 8, {2024, 3, 16}, {2024, 4, 15}},   // the last 30 days
    };
    for (const Case& c : cases) {
        auto f = textFilter(c.type, "kelt");
        f->setTodayProvider([] { return QDate(2024, 4, 15); });
        f->setRelationListVisible(c.relationList);
        if (c.from)
            f->input1()->setText(QString::fromUtf8(c.from));
        if (c.to)
            f->input2()->setText(QString::fromUtf8(c.to));
        f->setRelationListItemData(c.relation);
        if (c.period >= 0)
            ASSERT_TRUE(f->applyPeriod(c.period));
        const QList<int> expected = DemoDb::instance().invoiceIds(
            [&](const Invoice& i) { return i.issued >= c.first && i.issued <= c.last; });
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(run(QStringLiteral("szamla"), f->queryResultSQL()), expected)
            << f->queryResultSQL().toStdString() << "\n" << describe(expected);
    }
    (void)none;
}

TEST(FilterConditionsOnTheDemoDatabase, CheckAndListFilters)
{
    for (int negated : {0, 1}) {
        CheckBoxFilterModel f;
        f.setQueryField(QStringLiteral("aktiv"));
        f.setNotPictureValue(negated);
        f.setActive(true);
        const auto expected = DemoDb::instance().partnerIds([&](const Partner& p) { return p.active != bool(negated); });
        EXPECT_EQ(run(QStringLiteral("partner"), f.queryResultSQL()), expected) << f.queryResultSQL().toStdString();
    }

    ListBoxFilterModel ids(ListBoxFilterModel::Keys::Numeric);
    ids.setQueryField(QStringLiteral("partner.id"));
    for (int id : {7, 3, 5, 1000})
        ids.addFilterItem(QString::number(id), id);
    for (int i = 0; i < ids.count(); ++i)
        ids.setSelected(i, true);
    ids.setActive(true);
    EXPECT_EQ(run(QStringLiteral("partner"), ids.queryResultSQL()), (QList<int>{3, 5, 7}));

    const QList<Partner>& partners = DemoDb::instance().partners();
    ListBoxFilterModel names(ListBoxFilterModel::Keys::Text);
    names.setQueryField(QStringLiteral("nev"));
    names.setListItemChecked(true);
    names.addFilterItem(partners.at(0).name, 0);
    names.addFilterItem(partners.at(2).name, 0);
    names.addFilterItem(QStringLiteral("O'Brien & Fiai"), 0);
    names.setActive(true);
    EXPECT_EQ(run(QStringLiteral("partner"), names.queryResultSQL()),
              (QList<int>{partners.at(0).id, partners.at(2).id}));
}

// A Jet date literal with a dotted time ("#03/05/2024 23.59.59#") ends the
// day: the single-day condition holds every moment of that day and nothing
// of the next.
TEST(FilterConditionsOnTheDemoDatabase, DottedTimeEndsTheDay)
{
    const QString path = lg::test::testDatabaseName(QStringLiteral("times.db"));
    auto db = lg::dao::Database::open(path);
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG NOT NULL, d DATETIME, CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    const QDateTime moments[] = {
        {{2024, 3, 4}, {23, 59, 59}}, {{2024, 3, 5}, {0, 0, 0}},   {{2024, 3, 5}, {12, 30, 0}},
        {{2024, 3, 5}, {23, 59, 58}}, {{2024, 3, 5}, {23, 59, 59}}, {{2024, 3, 6}, {0, 0, 0}},
    };
    int id = 0;
    for (const QDateTime& m : moments)
        db->Execute(QStringLiteral("INSERT INTO t (id, d) VALUES (?, ?)"), lg::dao::Parameters(QVariantList{++id, m}));

    auto f = textFilter(TypedInput::DateInput, "d");
    f->input1()->setText(QStringLiteral("2024.03.05"));
    ASSERT_EQ(f->queryResultSQL(), QStringLiteral("(( d BETWEEN #03/05/2024# AND #03/05/2024 23.59.59# ))"));
    QList<int> ids;
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t WHERE ") + f->queryResultSQL() +
                                    QStringLiteral(" ORDER BY id"),
                                lg::dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        ids.append(rs->Fields(0).toInt());
    EXPECT_EQ(ids, (QList<int>{2, 3, 4, 5}));

    rs = db->OpenRecordset(QStringLiteral("SELECT #03/05/2024 23.59.59#, #03/05/2024 23.59.59# > #03/05/2024 23:59:58#"),
                           lg::dao::RecordsetType::Snapshot);
    EXPECT_EQ(rs->Fields(0).toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59)));
    EXPECT_NE(rs->Fields(1).toInt(), 0);
}

// Whatever is typed, the condition is well formed (or there is none), it
// finds what it says, and the data stays as it was.
TEST(FilterConditionsOnTheDemoDatabase, HostileInput)
{
    const QString hostile[] = {
        QStringLiteral("'"),
        QStringLiteral("''"),
        QStringLiteral("' OR '1'='1"),
        QStringLiteral("x'); DELETE FROM partner; --"),
        QStringLiteral("["),
        QStringLiteral("]"),
        QStringLiteral("[a-z]"),
        QStringLiteral("*"),
        QStringLiteral("%"),
        QStringLiteral("_"),
        QStringLiteral("?"),
        QStringLiteral("#"),
        QStringLiteral("#01/01/2024#"),
        QStringLiteral("\""),
        QStringLiteral("\\"),
        QStringLiteral("a\tb"),
        QStringLiteral("\n"),
        QString(QChar(1)) + QStringLiteral("Zala"),
        QStringLiteral("%LIKE1%"),
        QStringLiteral("%LIKE2%"),
        QStringLiteral("NULL"),
        QStringLiteral(")"),
        QStringLiteral("(("),
        QStringLiteral("Ωμέγα"),
        QStringLiteral("日本語"),
        QStringLiteral("😀 Zala"),
        QStringLiteral("ÿ"),
        QStringLiteral("Zala").repeated(1500),
        QStringLiteral("."),
        QStringLiteral("(").repeated(3000) + QStringLiteral("a"),
        QStringLiteral("(Zala)").repeated(64),
        QStringLiteral("w ").repeated(64) + QStringLiteral("Zala"),
        QStringLiteral("w+").repeated(63) + QStringLiteral("Zala"),
    };
    for (const QString& typed : hostile) {
        const QString clean = withoutControlCharacters(typed);
        SCOPED_TRACE(typed.left(40).toStdString());
        if (clean.isEmpty()) {
            auto f = textFilter(TypedInput::TextInput, "nev");
            f->input1()->setText(typed);
            EXPECT_EQ(f->queryResultSQL(), QString());
            continue;
        }

        // The prefix test.
        auto prefix = textFilter(TypedInput::TextInput, "nev");
        prefix->input1()->setText(typed);
        EXPECT_EQ(run(QStringLiteral("partner"), prefix->queryResultSQL()),
                  DemoDb::instance().partnerIds(
                      [&](const Partner& p) { return p.name.toUpper().startsWith(clean.toUpper()); }));

        // Equality.
        prefix->setRelationListItemData(TextFilterModel::Equal);
        EXPECT_EQ(run(QStringLiteral("partner"), prefix->queryResultSQL()),
                  DemoDb::instance().partnerIds(
                      [&](const Partner& p) { return p.name.compare(clean, Qt::CaseInsensitive) == 0; }));

        // A range with the text at either end runs.
        prefix->input2()->setText(typed);
        run(QStringLiteral("partner"), prefix->queryResultSQL());

        // Keywords: one word, no operators, is a literal substring test.
        auto keywords = textFilter(TypedInput::TextInput, "nev");
        keywords->setRelationListVisible(false);
        keywords->setKeyWordsFind(true);
        keywords->input1()->setText(typed);
        const QString sql = keywords->queryResultSQL();
        const QList<int> rows = sql.isEmpty() ? QList<int>() : run(QStringLiteral("partner"), sql);
        if (typed.count(u'(') > 100)
            EXPECT_EQ(sql, QString());  // too deep: no condition rather than one the database refuses
        const QString word = clean.trimmed();
        const bool plainWord = !word.isEmpty() && !word.contains(u' ') && !word.contains(u'\t') &&
                               !word.contains(u'(') && !word.contains(u')') && !word.contains(u'+');
        if (plainWord)
            EXPECT_EQ(rows, DemoDb::instance().partnerIds(
                                [&](const Partner& p) { return p.name.contains(word, Qt::CaseInsensitive); }))
                << sql.toStdString();

        // A text list box entry.
        ListBoxFilterModel list(ListBoxFilterModel::Keys::Text);
        list.setQueryField(QStringLiteral("nev"));
        list.setListItemChecked(true);
        list.addFilterItem(typed, 1);
        list.setActive(true);
        EXPECT_EQ(run(QStringLiteral("partner"), list.queryResultSQL()),
                  DemoDb::instance().partnerIds(
                      [&](const Partner& p) { return p.name.compare(clean, Qt::CaseInsensitive) == 0; }));
    }
    // A host's odd wildcard character still gives a well-formed literal.
    for (const char* wildcard : {"'", "''", "\\"}) {
        auto f = textFilter(TypedInput::TextInput, "nev");
        f->setLikeCharacter(QString::fromLatin1(wildcard));
        f->input1()->setText(QStringLiteral("b"));
        f->input2()->setText(QStringLiteral("c"));
        run(QStringLiteral("partner"), f->queryResultSQL());
        f->setRelationListVisible(false);
        f->setKeyWordsFind(true);
        f->input2()->setText(QString());
        run(QStringLiteral("partner"), f->queryResultSQL());
    }
    EXPECT_EQ(run(QStringLiteral("partner"), QStringLiteral("TRUE")).size(), DemoDb::instance().partners().size());
}

}  // namespace
