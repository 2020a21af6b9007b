#include "reportengine/reportlayout.h"
#include "reportengine/valueformat.h"
#include "reportfixture.h"

#include <gtest/gtest.h>

#include <map>

using namespace lg::reportengine;

namespace {

// Remembers every text per page with its rectangle.
struct RecordingSink : PageSink {
    struct Text {
        QRectF rect;
        QString text;
        QFont font;
        int flags = 0;
    };
    std::map<int, std::vector<Text>> pages;
    std::map<int, std::vector<QRectF>> bars;  // filled rectangles per page
    std::map<int, int> checks;
    int current = 0;
    int wanted = 0;  // 0: all
    bool wantsPage(int page) const override { return wanted == 0 || page == wanted; }
    void beginPage(int page) override { current = page; }
    void drawText(const QRectF& r, const QString& t, const QFont& f, int flags, const QColor&) override
    {
        pages[current].push_back({r, t, f, flags});
    }
    void drawLine(const QPointF&, const QPointF&) override {}
    void fillRect(const QRectF& r, const QColor&) override { bars[current].push_back(r); }
    void drawCheck(const QRectF&, bool checked) override { checks[current] += checked ? 1 : 0; }

    QStringList texts(int page) const
    {
        QStringList out;
        if (auto it = pages.find(page); it != pages.end())
            for (const auto& t : it->second)
                out << t.text;
        return out;
    }
    int count(const QString& text) const
    {
        int n = 0;
        for (const auto& [p, list] : pages)
            for (const auto& t : list)
                n += t.text == text ? 1 : 0;
        return n;
    }
};

const QStringList kColumns = {QStringLiteral("RG1"), QStringLiteral("RG2"), QStringLiteral("RF1"), QStringLiteral("RF2"),
                              QStringLiteral("RF3"), QStringLiteral("RF4"), QStringLiteral("RF5")};

// Rows sorted by city and partner: city c (0..cities-1), partner p, n rows each.
std::shared_ptr<QList<QList<QVariant>>> salesRows(int cities, int partners, int perPartner)
{
    auto rows = std::make_shared<QList<QList<QVariant>>>();
    int k = 0;
    for (int c = 0; c < cities; ++c)
        for (int p = 0; p < partners; ++p)
            for (int i = 0; i < perPartner; ++i, ++k)
                rows->append({QStringLiteral("City%1").arg(c), QStringLiteral("Partner%1-%2").arg(c).arg(p),
                              QStringLiteral("Item %1").arg(k), QVariant(qlonglong(i + 1)), QVariant(10.5 * (i + 1)),
                              QVariant(QDateTime(QDate(2024, 3, 1 + i % 28), QTime(0, 0))), QVariant(qlonglong(k % 2 ? -1 : 0))});
    return rows;
}

std::unique_ptr<ReportLayout> makeLayout(const lg::test::FixtureReport& fx, const QStringList& columns = kColumns)
{
    ReportSource src;
    QString error;
    EXPECT_TRUE(parseReportSource(lg::test::windows1250(lg::test::reportSourceText(fx)), src, error))
        << error.toStdString();
    auto layout = std::make_unique<ReportLayout>(
        src, QHash<QString, QString>{{QStringLiteral("report_name"), QStringLiteral("Eladások")},
                                     {QStringLiteral("filter_string"), QStringLiteral("Minden város")}});
    layout->setNow(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    EXPECT_TRUE(layout->prepare(columns, error)) << error.toStdString();
    return layout;
}

}  // namespace

TEST(ValueFormat, CatalogueFormats)
{
    EXPECT_EQ(formatValue(1234567.891, QStringLiteral("#,##0.00")), QString::fromUtf8("1\u00A0234\u00A0567,89"));
    EXPECT_EQ(formatValue(-1234.5, QStringLiteral("#,##0.00")), QString::fromUtf8("-1\u00A0234,50"));
    EXPECT_EQ(formatValue(0.5, QStringLiteral("#,##0.00")), QStringLiteral("0,50"));
    EXPECT_EQ(formatValue(qlonglong(42), QStringLiteral("0")), QStringLiteral("42"));
    EXPECT_EQ(formatValue(2.5, QStringLiteral("0")), QStringLiteral("3"));
    EXPECT_EQ(formatValue(qlonglong(7), QStringLiteral("###")), QStringLiteral("7"));
    EXPECT_EQ(formatValue(qlonglong(1234), QStringLiteral("###")), QStringLiteral("1234"));
    EXPECT_EQ(formatValue(QDateTime(QDate(2024, 3, 5), QTime(13, 4)), QStringLiteral("yyyy.mm.dd")),
              QStringLiteral("2024.03.05"));
    EXPECT_EQ(formatValue(QDateTime(QDate(2024, 3, 5), QTime(13, 4)), QStringLiteral("yyyy.mm.dd hh:mm")),
              QStringLiteral("2024.03.05 13:04"));
    EXPECT_EQ(formatValue(QVariant(), QStringLiteral("#,##0.00")), QString());
    EXPECT_EQ(formatValue(QStringLiteral("abc"), QStringLiteral("#,##0.00")), QStringLiteral("abc"));
    EXPECT_EQ(plainText(3.25), QStringLiteral("3,25"));

    // Negative and zero sections, mandatory digits grouped with the rest, percent, numbers held as text.
    const QString sections = QStringLiteral("#,##0;(#,##0);\"nulla\"");
    EXPECT_EQ(formatValue(-1234, sections), QString::fromUtf8("(1\u00A0234)"));
    EXPECT_EQ(formatValue(0.0, sections), QStringLiteral("nulla"));
    EXPECT_EQ(formatValue(1234567, sections), QString::fromUtf8("1\u00A0234\u00A0567"));
    EXPECT_EQ(formatValue(qlonglong(42), QStringLiteral("00000")), QStringLiteral("00042"));
    EXPECT_EQ(formatValue(qlonglong(5), QStringLiteral("0,000")), QString::fromUtf8("0\u00A0005"));
    EXPECT_EQ(formatValue(0.256, QStringLiteral("0.0%")), QStringLiteral("25,6%"));
    EXPECT_EQ(formatValue(QStringLiteral(" 1234,5 "), QStringLiteral("#,##0.00")), QString::fromUtf8("1\u00A0234,50"));
    EXPECT_EQ(formatValue(QStringLiteral("12"), QStringLiteral("yyyy.mm.dd")), QStringLiteral("12"));

    // A format read once gives the same texts for every value it is applied to.
    const ValueFormat money(QStringLiteral("#,##0.00"));
    EXPECT_EQ(money.apply(1234567.891), QString::fromUtf8("1\u00A0234\u00A0567,89"));
    EXPECT_EQ(money.apply(-0.5), QStringLiteral("-0,50"));
    EXPECT_EQ(money.apply(QVariant()), QString());
    EXPECT_EQ(ValueFormat().apply(3.25), QStringLiteral("3,25"));
}

TEST(Expression, TextsColumnsPagesAndAggregates)
{
    const QStringList cols = {QStringLiteral("RF1"), QStringLiteral("RF2")};
    QString error;
    Expression e;
    ASSERT_TRUE(Expression::parse(QStringLiteral("\"Oldalszám: \"& [Pages] & \" / \" & [Page]"), cols, e, error));
    EXPECT_TRUE(e.usesPageCount());
    EvalContext ctx;
    ctx.page = 2;
    ctx.pages = 7;
    EXPECT_EQ(e.evaluate(ctx).toString(), QString::fromUtf8("Oldalszám: 7 / 2"));

    ctx.now = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    ASSERT_TRUE(Expression::parse(QStringLiteral("\"Nyomtatva:  \"& CStr(Date) & \"\" & CStr(Time)"), cols, e, error));
    EXPECT_EQ(e.evaluate(ctx).toString(), QStringLiteral("Nyomtatva:  2024.05.06.7:08:09"));

    const QList<QVariant> row = {QStringLiteral("Pécs"), QVariant()};
    ctx.row = &row;
    ASSERT_TRUE(Expression::parse(QStringLiteral("rf1 & \" összesen:\""), cols, e, error));
    EXPECT_EQ(e.evaluate(ctx).toString(), QString::fromUtf8("Pécs összesen:"));
    ASSERT_TRUE(Expression::parse(QStringLiteral("RF2 & RF2"), cols, e, error));
    EXPECT_TRUE(e.evaluate(ctx).isNull());  // Null & Null stays Null
    ASSERT_TRUE(Expression::parse(QStringLiteral("RF1 & RF2"), cols, e, error));
    EXPECT_EQ(e.evaluate(ctx).toString(), QString::fromUtf8("Pécs"));

    for (const char* bad : {"\"open", "RF9", "SUM(RF1", "Foo(RF1)", "RF1 &", "[Page"}) {
        EXPECT_FALSE(Expression::parse(QString::fromLatin1(bad), cols, e, error)) << bad;
        EXPECT_FALSE(error.isEmpty());
    }

    Accumulator sum{AggregateKind::Sum}, avg{AggregateKind::Avg}, mn{AggregateKind::Min}, cnt{AggregateKind::Count};
    for (const QVariant& v : {QVariant(4.0), QVariant(), QVariant(qlonglong(2)), QVariant(9.0)}) {
        sum.add(v);
        avg.add(v);
        mn.add(v);
        cnt.add(v);
    }
    EXPECT_DOUBLE_EQ(sum.result().toDouble(), 15.0);
    EXPECT_DOUBLE_EQ(avg.result().toDouble(), 5.0);  // Null does not count
    EXPECT_EQ(mn.result().toLongLong(), 2);
    EXPECT_EQ(cnt.result().toLongLong(), 3);
    Accumulator empty{AggregateKind::Sum};
    EXPECT_TRUE(empty.result().isNull());
}

TEST(ReportLayout, GroupsTotalsAndFrameOnEveryPage)
{
    auto layout = makeLayout(lg::test::salesReport());
    auto rows = salesRows(3, 2, 25);  // 150 rows: several pages
    MemoryRowSource count(kColumns, rows);
    const int pages = layout->countPages(count);
    ASSERT_GE(pages, 3);

    RecordingSink sink;
    MemoryRowSource draw(kColumns, rows);
    EXPECT_EQ(layout->run(draw, sink, pages), pages);
    ASSERT_EQ(static_cast<int>(sink.pages.size()), pages);

    const double bottom = layout->geometry().contentHeight - 495;  // page footer
    for (int p = 1; p <= pages; ++p) {
        const QStringList t = sink.texts(p);
        EXPECT_TRUE(t.contains(QString::fromUtf8("Oldalszám: %1 / %2").arg(pages).arg(p))) << p;
        EXPECT_TRUE(t.contains(QString::fromUtf8("Összeg"))) << "captions on page " << p;
        EXPECT_TRUE(t.contains(QString::fromUtf8("Eladások"))) << "sub title on page " << p;
        EXPECT_TRUE(t.contains(QStringLiteral("Nyomtatva:  2024.05.06.7:08:09")));
        for (const auto& x : sink.pages[p]) {
            if (x.text.startsWith(QStringLiteral("Item "))) {
                EXPECT_LE(x.rect.bottom(), bottom + 0.01) << "a row crosses the page footer on page " << p;
            }
        }
    }
    EXPECT_EQ(sink.count(QStringLiteral("Minden város")), 1);  // filter_string, report header only

    // Every row printed exactly once.
    for (int k = 0; k < 150; ++k)
        EXPECT_EQ(sink.count(QStringLiteral("Item %1").arg(k)), 1) << k;

    // Partner totals: 25 rows of 10.5 * (1..25) = 3412.5; city: 2 partners; grand: 6.
    EXPECT_EQ(sink.count(QString::fromUtf8("Partner1-0 összesen:")), 1);
    EXPECT_EQ(sink.count(QString::fromUtf8("3\u00A0412,50")), 6);
    EXPECT_EQ(sink.count(QString::fromUtf8("6\u00A0825,00")), 3);
    EXPECT_EQ(sink.count(QString::fromUtf8("City2 összesen:")), 1);
    EXPECT_EQ(sink.count(QString::fromUtf8("20\u00A0475,00")), 1);
    EXPECT_EQ(sink.count(QString::fromUtf8("Mindösszesen:")), 1);
    EXPECT_EQ(sink.count(QStringLiteral("25")), 6 + 6);  // COUNT per partner, and the quantity of each 25th row
    EXPECT_EQ(sink.count(QStringLiteral("50")), 3);      // COUNT per city
    EXPECT_EQ(sink.count(QStringLiteral("150")), 1);
    EXPECT_EQ(sink.count(QString::fromUtf8("Város: City1")), 1);

    int checks = 0;
    for (const auto& [p, n] : sink.checks)
        checks += n;
    EXPECT_EQ(checks, 75);  // every second row is paid
}

TEST(ReportLayout, PagesDrawnFromCheckpointsMatchTheFullRun)
{
    auto layout = makeLayout(lg::test::salesReport());
    auto rows = salesRows(2, 3, 20);
    MemoryRowSource count(kColumns, rows);
    std::vector<LayoutCheckpoint> cps;
    const int pages = layout->countPages(count, &cps);
    ASSERT_EQ(static_cast<int>(cps.size()), pages);

    RecordingSink full;
    MemoryRowSource all(kColumns, rows);
    layout->run(all, full, pages);
    for (int p : {1, 2, pages}) {
        RecordingSink one;
        MemoryRowSource fresh(kColumns, rows);
        layout->drawPage(cps[p - 1], fresh, one, pages);
        ASSERT_EQ(one.pages.size(), 1u);
        EXPECT_EQ(one.texts(p), full.texts(p)) << "page " << p;
    }
}

TEST(ReportLayout, HiddenDetailEmptyDataAndGrowingText)
{
    {
        auto layout = makeLayout(lg::test::salesReport(false, true));
        auto rows = salesRows(2, 2, 5);
        MemoryRowSource src(kColumns, rows);
        RecordingSink sink;
        layout->run(src, sink, 1);
        EXPECT_EQ(sink.count(QStringLiteral("Item 0")), 0);
        EXPECT_EQ(sink.count(QString::fromUtf8("Partner0-1 összesen:")), 1);
        EXPECT_EQ(sink.count(QString::fromUtf8("Mindösszesen:")), 1);
    }
    {
        auto layout = makeLayout(lg::test::salesReport());
        MemoryRowSource src(kColumns, std::make_shared<QList<QList<QVariant>>>());
        RecordingSink sink;
        EXPECT_EQ(layout->run(src, sink, 1), 1);
        EXPECT_EQ(sink.count(QString::fromUtf8("Mindösszesen:")), 1);
        EXPECT_EQ(sink.count(QStringLiteral("0")), 0);  // COUNT over nothing, formatted "###", shows nothing
        EXPECT_EQ(sink.count(QString::fromUtf8("Oldalszám: 1 / 1")), 1);
    }
    {
        auto layout = makeLayout(lg::test::salesReport());
        auto rows = salesRows(1, 1, 3);
        (*rows)[1][2] = QString(QStringLiteral("hosszú szöveg ")).repeated(30);
        MemoryRowSource src(kColumns, rows);
        RecordingSink sink;
        layout->run(src, sink, 1);
        double y0 = -1, y2 = -1, h1 = 0;
        for (const auto& t : sink.pages[1]) {
            if (t.text == QStringLiteral("Item 0"))
                y0 = t.rect.top();
            if (t.text == QStringLiteral("Item 2"))
                y2 = t.rect.top();
            if (t.text.startsWith(QString::fromUtf8("hosszú")))
                h1 = t.rect.height();
        }
        EXPECT_GT(h1, 600);  // wrapped onto several lines
        EXPECT_NEAR(y2 - y0, 195 + 195 + (h1 - 210), 0.5);  // the second row grew by the extra lines
    }
}

TEST(ReportLayout, PrepareRejectsUnknownColumns)
{
    ReportSource src;
    QString error;
    ASSERT_TRUE(parseReportSource(lg::test::windows1250(lg::test::reportSourceText(lg::test::salesReport())), src, error));
    ReportLayout a(src, {});
    EXPECT_FALSE(a.prepare({QStringLiteral("RG1"), QStringLiteral("RF1")}, error));
    EXPECT_TRUE(error.contains(QStringLiteral("RG2")));
    ReportLayout b(src, {});
    QStringList cols = kColumns;
    cols.removeAll(QStringLiteral("RF3"));
    EXPECT_FALSE(b.prepare(cols, error));
    EXPECT_TRUE(error.contains(QStringLiteral("RF3")) && error.contains(QStringLiteral("line ")));
}

TEST(ReportLayout, StringParametersInCalculatedFields)
{
    ReportSource src;
    QString error;
    ASSERT_TRUE(parseReportSource(lg::test::windows1250(lg::test::reportSourceText(lg::test::salesReport())), src, error));
    FieldDef f;
    f.name = QStringLiteral("title2");
    f.section = stReportHeader;
    f.calculated = true;
    f.text = QStringLiteral("\"Lista: #report_name# (\" & #filter_string# & \") #nope#\"");
    f.top = 300;
    f.width = 9000;
    f.height = 210;
    src.fields.push_back(f);
    // A value with quotes stays one text, inside a quoted text or standing alone.
    ReportLayout layout(src, {{QStringLiteral("report_name"), QStringLiteral("Eladások \"2024\"")},
                              {QStringLiteral("filter_string"), QStringLiteral("\" & RF1 & \"")}});
    ASSERT_TRUE(layout.prepare(kColumns, error)) << error.toStdString();
    MemoryRowSource rows(kColumns, salesRows(1, 1, 2));
    RecordingSink sink;
    layout.run(rows, sink, 1);
    EXPECT_EQ(sink.count(QString::fromUtf8("Lista: Eladások \"2024\" (\" & RF1 & \") #nope#")), 1);
    EXPECT_EQ(sink.count(QString::fromUtf8("Eladások \"2024\"")), 2);  // the plain title and the sub title
}

// Widths are decided without shaping where a text is plainly narrower than
// its field; near the limit the result must be the exact one, both for
// growing (wrapped) text and for text that is shortened to fit.
TEST(ReportLayout, TextsNearTheFieldWidthAreMeasuredExactly)
{
    auto rows = std::make_shared<QList<QList<QVariant>>>();
    QStringList texts;
    for (const char* unit : {"W", "i", "AV", "To", "ffi", "12 345,67 ", "Őű", "L'"}) {
        QString t = QStringLiteral("x:");
        for (int k = 0; k < 80 && t.size() < 120; ++k) {
            t += QString::fromUtf8(unit);
            texts << t;
        }
    }
    texts << QStringLiteral("x:a\tb") << QStringLiteral("x:\u05D0\u05D1\u05D2 mixed") << QStringLiteral("x:e\u0301e\u0301");
    for (int i = 0; i < texts.size(); ++i)
        rows->append({QStringLiteral("City"), QStringLiteral("Partner"), texts[i], QVariant(qlonglong(1)), QVariant(1.0),
                      QVariant(QDateTime(QDate(2024, 3, 1), QTime(0, 0))), QVariant(qlonglong(0))});

    ReportSource src;
    QString error;
    ASSERT_TRUE(parseReportSource(lg::test::windows1250(lg::test::reportSourceText(lg::test::salesReport())), src, error));
    auto drawn = [&](bool wrap) {
        ReportSource s = src;
        for (FieldDef& f : s.fields)
            if (f.section == stDetail && f.text == QStringLiteral("RF1"))
                f.wordWrap = wrap;
        ReportLayout layout(s, {});
        QString why;
        EXPECT_TRUE(layout.prepare(kColumns, why)) << why.toStdString();
        MemoryRowSource count(kColumns, rows);
        const int pages = layout.countPages(count);
        MemoryRowSource draw(kColumns, rows);
        RecordingSink sink;
        layout.run(draw, sink, pages);
        std::vector<RecordingSink::Text> out;
        for (const auto& [p, list] : sink.pages)
            for (const auto& t : list)
                if (t.text.startsWith(QStringLiteral("x:")))
                    out.push_back(t);
        return out;
    };

    const auto wrapped = drawn(true);
    ASSERT_EQ(wrapped.size(), static_cast<size_t>(texts.size()));
    int grew = 0;
    for (size_t i = 0; i < wrapped.size(); ++i) {
        const QFontMetricsF fm(wrapped[i].font);
        const QString& t = texts[static_cast<qsizetype>(i)];
        // A word wider than the field is broken inside the word.
        int flags = Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap;
        for (const auto& word : QStringView(t).tokenize(u' ', Qt::SkipEmptyParts))
            if (fm.horizontalAdvance(word.toString()) > 3000)
                flags |= Qt::TextWrapAnywhere;
        const double need = fm.horizontalAdvance(t) <= 3000 ? fm.height()
                                                           : fm.boundingRect(QRectF(0, 0, 3000, 1e7), flags, t).height();
        EXPECT_EQ(wrapped[i].text, t);
        EXPECT_NEAR(wrapped[i].rect.height(), std::max(210.0, need), 0.01) << t.toStdString();
        grew += need > 210 ? 1 : 0;
    }
    EXPECT_GT(grew, 5);

    const auto cut = drawn(false);
    ASSERT_EQ(cut.size(), static_cast<size_t>(texts.size()));
    int shortened = 0;
    for (size_t i = 0; i < cut.size(); ++i) {
        const QFontMetricsF fm(cut[i].font);
        const QString& t = texts[static_cast<qsizetype>(i)];
        const bool over = fm.horizontalAdvance(t) > 3000;
        EXPECT_EQ(cut[i].text, over ? fm.elidedText(t, Qt::ElideRight, 3000) : t) << t.toStdString();
        EXPECT_NEAR(cut[i].rect.height(), 210, 0.01);
        shortened += over ? 1 : 0;
    }
    EXPECT_GT(shortened, 5);
}

namespace {

// Lays the report out completely and records every page.
std::unique_ptr<RecordingSink> runAll(ReportLayout& layout, const std::shared_ptr<QList<QList<QVariant>>>& rows,
                                      const QStringList& columns = kColumns)
{
    MemoryRowSource count(columns, rows);
    const int pages = layout.countPages(count);
    auto sink = std::make_unique<RecordingSink>();
    MemoryRowSource draw(columns, rows);
    layout.run(draw, *sink, pages);
    return sink;
}

// Rows with partners of uneven sizes, so that group headers land at every
// height of a page somewhere in the report.
std::shared_ptr<QList<QList<QVariant>>> unevenRows(bool withNote = false)
{
    auto rows = std::make_shared<QList<QList<QVariant>>>();
    int k = 0;
    for (int c = 0; c < 6; ++c)
        for (int p = 0; p < 9; ++p)
            for (int i = 0; i < 1 + (c * 7 + p * 3) % 6; ++i, ++k)
                rows->append({QStringLiteral("City%1").arg(c), QStringLiteral("Partner%1-%2").arg(c).arg(p),
                              QStringLiteral("Item %1").arg(k), QVariant(qlonglong(i + 1)), QVariant(1.0 * i),
                              QVariant(QDateTime(QDate(2024, 3, 1), QTime(0, 0))), QVariant(qlonglong(0))});
    if (withNote)
        for (auto& r : *rows)
            r << QStringLiteral("megjegyzés");
    return rows;
}

QStringList columnsOf(bool landscape) { return landscape ? kColumns + QStringList{QStringLiteral("RF6")} : kColumns; }

}  // namespace

TEST(ReportLayout, AGroupHeaderIsKeptWithItsFirstRow)
{
    for (bool landscape : {false, true}) {
        auto layout = makeLayout(lg::test::salesReport(landscape), columnsOf(landscape));
        auto rows = unevenRows(landscape);
        auto sink = runAll(*layout, rows, columnsOf(landscape));
        ASSERT_GT(sink->pages.size(), 3u);
        int headers = 0;
        for (const auto& [page, texts] : sink->pages) {
            for (const auto& t : texts) {
                if (!t.text.startsWith(QString::fromUtf8("Város: ")) && !t.text.startsWith(QStringLiteral("Partner: ")))
                    continue;
                ++headers;
                // The first row of the group is on the same page, below its header.
                const bool rowBelow = std::any_of(texts.begin(), texts.end(), [&](const RecordingSink::Text& x) {
                    return x.text.startsWith(QStringLiteral("Item ")) && x.rect.top() >= t.rect.bottom() - 0.01;
                });
                EXPECT_TRUE(rowBelow) << t.text.toStdString() << " alone at the bottom of page " << page;
            }
        }
        EXPECT_EQ(headers, 6 + 6 * 9);
        for (int k = 0; k < rows->size(); ++k)
            EXPECT_EQ(sink->count(QStringLiteral("Item %1").arg(k)), 1) << k;
    }
}

TEST(ReportLayout, CaptionsBreakOnlyBetweenWords)
{
    // A column a little narrower than the caption's longer word at 8 pt.
    QFont bold(QStringLiteral("Tahoma"));
    bold.setPixelSize(160);
    bold.setBold(true);
    bold.setStyleStrategy(QFont::PreferNoShaping);
    const int narrow = static_cast<int>(QFontMetricsF(bold).horizontalAdvance(QString::fromUtf8("Számlatétel")) * 0.85);
    ASSERT_GT(narrow, 500);
    auto fx = lg::test::salesReport(true);
    fx.columns[1].caption = QString::fromUtf8("Számlatétel mennyisége");
    fx.columns[1].width = narrow;
    fx.columns[2].caption = QString::fromUtf8("Megrendelésállapotváltozás-összesítő");  // too wide even at the floor
    fx.columns[2].width = 900;
    fx.columns[3].caption = QString::fromUtf8("Fizetési határidő");  // fits as it is
    fx.columns[3].width = 1400;
    QStringList columns = kColumns;
    columns << QStringLiteral("RF6");
    auto layout = makeLayout(fx, columns);
    auto rows = salesRows(1, 1, 3);
    for (auto& r : *rows)
        r << QStringLiteral("megjegyzés");
    auto sink = runAll(*layout, rows, columns);
    ASSERT_FALSE(sink->pages.empty());

    std::map<QString, RecordingSink::Text> captions;
    for (const auto& t : sink->pages[1])
        if (t.text.startsWith(QString::fromUtf8("Számlatétel")) || t.text.startsWith(QString::fromUtf8("Megrendelés")) ||
            t.text.startsWith(QString::fromUtf8("Fizetési")))
            captions[t.text] = t;
    ASSERT_EQ(captions.size(), 3u);
    const int basePixels = 160;  // 8 pt in twips
    for (const auto& [text, t] : captions) {
        EXPECT_FALSE(t.flags & Qt::TextWrapAnywhere) << text.toStdString();
        const QFontMetricsF fm(t.font);
        for (const auto& word : QStringView(text).tokenize(u' ', Qt::SkipEmptyParts))
            EXPECT_LE(fm.horizontalAdvance(word.toString()), t.rect.width() + 0.01) << text.toStdString();
        // Laid out with these flags, the text needs no more room than it got.
        EXPECT_LE(fm.boundingRect(QRectF(0, 0, t.rect.width(), 1e6), t.flags, text).height(), t.rect.height() + 0.01);
        EXPECT_GE(t.font.pixelSize(), 120) << "never below 6 pt";
    }
    EXPECT_TRUE(captions.count(QString::fromUtf8("Számlatétel mennyisége")));
    EXPECT_LT(captions[QString::fromUtf8("Számlatétel mennyisége")].font.pixelSize(), basePixels);
    EXPECT_EQ(captions[QString::fromUtf8("Fizetési határidő")].font.pixelSize(), basePixels);
    const auto elided = std::find_if(captions.begin(), captions.end(),
                                     [](const auto& c) { return c.first.startsWith(QString::fromUtf8("Megrendelés")); });
    ASSERT_NE(elided, captions.end());
    EXPECT_TRUE(elided->first.contains(QChar(0x2026)));
    EXPECT_EQ(elided->second.font.pixelSize(), 120);
}

TEST(ReportLayout, ThickRulesNeverCoverATextOnAnyPage)
{
    for (bool landscape : {false, true}) {
        auto layout = makeLayout(lg::test::salesReport(landscape), columnsOf(landscape));
        auto sink = runAll(*layout, unevenRows(landscape), columnsOf(landscape));
        int bars = 0;
        for (const auto& [page, rects] : sink->bars) {
            for (const QRectF& bar : rects) {
                if (bar.height() <= 0)
                    continue;
                ++bars;
                for (const auto& t : sink->pages[page]) {
                    const QRectF overlap = bar.intersected(t.rect);
                    EXPECT_TRUE(overlap.isEmpty() || overlap.height() < 0.01)
                        << "page " << page << ": the rule at " << bar.top() << " covers \"" << t.text.toStdString()
                        << "\" at " << t.rect.top() << ".." << t.rect.bottom();
                }
            }
        }
        EXPECT_GE(bars, 2 * static_cast<int>(sink->pages.size()));
    }
}
