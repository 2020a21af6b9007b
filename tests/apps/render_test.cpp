// `listgen run` rendering demo lists to PDF, HTML and Excel, read back with
// the poppler tools and unzip and checked against independent SQL.

#include <gtest/gtest.h>

#include <QtCore/QDate>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QRegularExpression>
#include <QtCore/QXmlStreamReader>

#include <cmath>

#include "rawdb.h"
#include "support/testsupport.h"

using namespace Qt::StringLiterals;
using lg::test::RawDb;

namespace {

const QString kCli = QStringLiteral(LISTGEN_CLI);

// Kovács Anna's invoices of 2024 (list 3): not cancelled, partners she may see.
const QString kList3Rows = u"FROM szamla s JOIN partner p ON p.id = s.partner_id WHERE s.kelt BETWEEN '2024-01-01' "
                           "AND '2024-12-31 23:59:59' AND s.sztornozott = 0 AND (p.bizalmas = 0 OR p.felelos_id = 2)"_s;
// The administrator's invoice lines of December 2024 (list 7).
const QString kList7Where = u"[SZ].[kelt] BETWEEN #12/01/2024# AND #12/31/2024#"_s;
const QString kList7Rows = u"FROM szamla_tetel t JOIN szamla s ON s.id = t.szamla_id JOIN partner p ON p.id = "
                           "s.partner_id WHERE s.kelt BETWEEN '2024-12-01' AND '2024-12-31 23:59:59' AND "
                           "(p.bizalmas = 0 OR p.felelos_id = 1)"_s;

// Text as the reader sees it: no-break blanks as blanks, ligatures undone.
QString plain(QString text)
{
    text.replace(QChar(0x00A0), u' ').replace(QChar(0x202F), u' ');
    return text.replace(QChar(0xFB01), u"fi"_s).replace(QChar(0xFB02), u"fl"_s);
}

// The pages of a PDF as `pdftotext -layout` lays them out.
QStringList pdfPages(const QString& path)
{
    const auto r = lg::test::runProgram(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList pages = plain(r.out).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString pdfInfo(const QString& path, const QString& key)
{
    const auto r = lg::test::runProgram(u"pdfinfo"_s, {path});
    for (const QString& line : r.out.split(u'\n'))
        if (line.startsWith(key + u':'))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

// A whole number as the reports print "#,##0": groups of three digits.
QString grouped(double value)
{
    QString digits = QString::number(std::llround(std::fabs(value)));
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u' ');
    return value < -0.5 ? u"-"_s + digits : digits;
}

// A footer line of a group or of the report: label, count, two sums. The
// columns stand at least two blanks apart; digit groups one blank.
struct Totals {
    QString count, net, gross;
    bool operator==(const Totals&) const = default;
};
const QRegularExpression kTotalsLine(u"(\\d+)\\s{2,}(\\d{1,3}(?: \\d{3})*)\\s{2,}(\\d{1,3}(?: \\d{3})*)\\s*$"_s);
const QRegularExpression kDate(u"\\d{4}\\.\\d\\d\\.\\d\\d"_s);

std::ostream& operator<<(std::ostream& os, const Totals& t)
{
    return os << t.count.toStdString() << " / " << t.net.toStdString() << " / " << t.gross.toStdString();
}

// The groups of a report in the order printed: the value after the group
// caption and the totals of the group's footer.
QList<std::pair<QString, Totals>> printedGroups(const QStringList& pages, const QString& caption)
{
    QList<std::pair<QString, Totals>> groups;
    bool open = false;
    for (const QString& page : pages)
        for (const QString& line : page.split(u'\n')) {
            const QString t = line.trimmed();
            if (t.startsWith(caption)) {
                EXPECT_FALSE(open) << "a group without footer before " << t.toStdString();
                groups.append({t.mid(caption.size()).trimmed(), {}});
                open = true;
            } else if (open && !kDate.match(t).hasMatch()) {
                if (const auto m = kTotalsLine.match(t); m.hasMatch()) {
                    groups.last().second = {m.captured(1), m.captured(2), m.captured(3)};
                    open = false;
                }
            }
        }
    return groups;
}

Totals grandTotals(const QStringList& pages)
{
    for (const QString& line : pages.value(pages.size() - 1).split(u'\n'))
        if (line.trimmed().startsWith(u"Mindösszesen:"_s)) {
            const auto m = kTotalsLine.match(line);
            if (m.hasMatch())
                return {m.captured(1), m.captured(2), m.captured(3)};
            // Sums only (a list without a count aggregate).
            const QStringList parts = line.split(QRegularExpression(u"\\s{2,}"_s), Qt::SkipEmptyParts);
            return {QString(), parts.value(parts.size() - 2), parts.value(parts.size() - 1)};
        }
    ADD_FAILURE() << "no grand total on the last page";
    return {};
}

// Captions of a list's displayed fields as the report prints them (full names).
QStringList captions(const RawDb& raw, long list, const char* table)
{
    return raw.rows(
        QStringLiteral("SELECT t.visible_name || ' ' || f.visible_name FROM %1 x JOIN "
                       "vlq_list_wizard_table_field f ON f.id = x.table_field_id JOIN vlq_list_wizard_table t "
                       "ON t.id = f.table_id WHERE x.vlq_list_report_id = %2 AND x.del_status = 0 "
                       "ORDER BY x.sort_order, x.id")
            .arg(QLatin1String(table))
            .arg(list));
}

// One worksheet cell read back from the .xlsx: its type attribute, style and
// value (inline or shared text, or the raw number).
struct Cell {
    QString type, style, value;
};
using Sheet = QList<QList<Cell>>;

QByteArray unzipEntry(const QString& file, const QString& entry)
{
    const auto r = lg::test::runProgram(u"unzip"_s, {u"-p"_s, file, entry});
    return r.exitCode == 0 ? r.out.toUtf8() : QByteArray();
}

Sheet readSheet(const QString& file)
{
    QStringList shared;
    QXmlStreamReader ss(unzipEntry(file, u"xl/sharedStrings.xml"_s));
    while (!ss.atEnd())
        if (ss.readNext() == QXmlStreamReader::StartElement && ss.name() == u"t"_s)
            shared << ss.readElementText();
    Sheet sheet;
    QXmlStreamReader x(unzipEntry(file, u"xl/worksheets/sheet1.xml"_s));
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == u"row"_s) {
            sheet.append(QList<Cell>());
        } else if (x.name() == u"c"_s) {
            sheet.last().append(
                Cell{x.attributes().value(u"t"_s).toString(), x.attributes().value(u"s"_s).toString(), {}});
        } else if (x.name() == u"v"_s || x.name() == u"t"_s) {
            Cell& c = sheet.last().last();
            c.value = x.readElementText();
            if (c.type == u"s"_s)
                c.value = shared.value(c.value.toInt());
        }
    }
    EXPECT_FALSE(x.hasError()) << x.errorString().toStdString();
    return sheet;
}

class RenderDemo : public ::testing::Test {
protected:
    // One demo database whose report sources lie next to it, where `run`
    // looks for them by default; the outputs are made once and shared.
    static void SetUpTestSuite()
    {
        s_dir = lg::test::tempDir();
        s_db = s_dir + u"/nagyker.db"_s;
        auto r = lg::test::runProgram(kCli, {u"demo-db"_s, u"--out"_s, s_db});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        for (const auto& [list, user, format, extra] :
             std::initializer_list<std::tuple<int, int, QString, QStringList>>{
                 {3, 2, u"pdf"_s, {}},
                 {3, 2, u"html"_s, {}},
                 {3, 2, u"xlsx"_s, {u"--where"_s, u"[SZ].[fizetve]=0"_s}},
                 {7, 1, u"pdf"_s, {u"--where"_s, kList7Where}},
             }) {
            const QString out = QStringLiteral("%1/list%2.%3").arg(s_dir).arg(list).arg(format);
            r = run(list, user, QStringList{u"--format"_s, format, u"--out"_s, out} + extra);
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        }
    }
    static lg::test::ProcessResult run(long list, long user, const QStringList& extra)
    {
        return lg::test::runProgram(kCli, QStringList{u"run"_s, u"--db"_s, s_db, u"--list"_s, QString::number(list),
                                                      u"--user"_s, QString::number(user)} +
                                              extra);
    }
    static QString out(const QString& name) { return s_dir + u'/' + name; }

    static inline QString s_dir, s_db;
};

}  // namespace

TEST_F(RenderDemo, PortraitPdfShowsTitleCaptionsGroupsAndTotals)
{
    RawDb raw(s_db);
    const QString pdf = out(u"list3.pdf"_s);
    EXPECT_TRUE(pdfInfo(pdf, u"Page size"_s).startsWith(u"595"_s)) << pdfInfo(pdf, u"Page size"_s).toStdString();
    const QStringList pages = pdfPages(pdf);
    ASSERT_GT(pages.size(), 2);
    EXPECT_EQ(pdfInfo(pdf, u"Pages"_s).toInt(), pages.size());

    // Title and the condition description on the first page; every page has
    // the column captions and "Oldalszám: <pages> / <page>".
    EXPECT_TRUE(pages.first().contains(u"Számlák partnerenként 2024"_s));
    EXPECT_TRUE(pages.first().contains(u"Számla kelte 2024.01.01 és 2024.12.31 között"_s));
    const QStringList columnCaptions = captions(raw, 3, "vlq_list_report_visible_field");
    ASSERT_EQ(columnCaptions.size(), 6);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const QString header = pages.at(i).section(u"Partner név:"_s, 0, 0);
        for (const QString& caption : columnCaptions)
            for (const QString& word : caption.split(u' '))
                EXPECT_TRUE(header.contains(word)) << word.toStdString();
        EXPECT_TRUE(pages.at(i).contains(QStringLiteral("Oldalszám: %1 / %2").arg(pages.size()).arg(i + 1)));
    }

    // The printed groups are the partners of the selection, each with its
    // invoice count and sums. Partners that share a name with another
    // selected partner are left to the test below.
    QMap<QString, Totals> expected;
    QSet<QString> sharedNames;
    for (const QString& row :
         raw.rows(u"SELECT p.nev, count(*), sum(s.netto), sum(s.brutto), count(DISTINCT p.kod) "_s + kList3Rows +
                  u" GROUP BY p.nev"_s)) {
        const QStringList c = row.split(u'\t');
        expected.insert(c.at(0), {c.at(1), grouped(c.at(2).toDouble()), grouped(c.at(3).toDouble())});
        if (c.at(4) != u"1"_s)
            sharedNames.insert(c.at(0));
    }
    const auto groups = printedGroups(pages, u"Partner név:"_s);
    QSet<QString> printedNames;
    for (const auto& [name, totals] : groups) {
        printedNames.insert(name);
        if (!sharedNames.contains(name)) {
            EXPECT_EQ(totals, expected.value(name)) << name.toStdString();
        }
    }
    EXPECT_EQ(printedNames, QSet<QString>(expected.keyBegin(), expected.keyEnd()));
    EXPECT_GE(groups.size(), expected.size());
    EXPECT_GT(expected.size() - sharedNames.size(), 50);

    const QStringList all = raw.value(u"SELECT count(*), sum(s.netto), sum(s.brutto) "_s + kList3Rows).split(u'\t');
    EXPECT_EQ(grandTotals(pages), (Totals{all.at(0), grouped(all.at(1).toDouble()), grouped(all.at(2).toDouble())}));
}

// The report groups by partner code while the list is ordered by the
// partner's name: two partners of the same name must still each be printed as
// one group with its whole totals.
TEST_F(RenderDemo, PartnersSharingANameKeepOneGroupEach)
{
    RawDb raw(s_db);
    auto line = [](const QString& name, const Totals& t) -> QString {
        return name + u": "_s + t.count + u" / "_s + t.net + u" / "_s + t.gross;
    };
    QStringList expected, printed;
    for (const QString& row :
         raw.rows(u"SELECT p.nev, count(*), sum(s.netto), sum(s.brutto) "_s + kList3Rows + u" GROUP BY p.kod"_s)) {
        const QStringList c = row.split(u'\t');
        expected << line(c.at(0), {c.at(1), grouped(c.at(2).toDouble()), grouped(c.at(3).toDouble())});
    }
    for (const auto& [name, totals] : printedGroups(pdfPages(out(u"list3.pdf"_s)), u"Partner név:"_s))
        printed << line(name, totals);
    expected.sort();
    printed.sort();
    EXPECT_EQ(printed.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

TEST_F(RenderDemo, LandscapePdfCountsItsPagesAndTotalsItsRows)
{
    RawDb raw(s_db);
    const QString pdf = out(u"list7.pdf"_s);
    EXPECT_TRUE(pdfInfo(pdf, u"Page size"_s).startsWith(u"842"_s)) << pdfInfo(pdf, u"Page size"_s).toStdString();
    const QStringList pages = pdfPages(pdf);
    ASSERT_GT(pages.size(), 3);
    EXPECT_TRUE(pages.first().contains(u"Összes számlatétel"_s));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages.at(i).contains(QStringLiteral("Oldalszám: %1 / %2").arg(pages.size()).arg(i + 1))) << i;
    }

    // Every selected line is printed once, and the sums close the report.
    QString text = pages.join(u'\n');
    const QStringList numbers = raw.rows(u"SELECT s.szamlaszam "_s + kList7Rows);
    ASSERT_GT(numbers.size(), 200);
    qsizetype printed = 0;
    for (qsizetype at = 0; (at = text.indexOf(u"SZ-2024/"_s, at)) >= 0; ++at)
        ++printed;
    EXPECT_EQ(printed, numbers.size());
    const QStringList sums = raw.value(u"SELECT sum(t.netto), sum(t.brutto) "_s + kList7Rows).split(u'\t');
    const Totals total = grandTotals(pages);
    EXPECT_EQ(total.net, grouped(sums.at(0).toDouble()));
    EXPECT_EQ(total.gross, grouped(sums.at(1).toDouble()));
}

TEST_F(RenderDemo, HtmlCarriesTitleGroupsAndTotals)
{
    RawDb raw(s_db);
    QFile f(out(u"list3.html"_s));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = plain(QString::fromUtf8(f.readAll()));
    EXPECT_TRUE(html.contains(u"Számlák partnerenként 2024"_s));
    EXPECT_TRUE(html.contains(u"Mindösszesen:"_s));
    const QStringList all = raw.value(u"SELECT count(*), sum(s.netto), sum(s.brutto) "_s + kList3Rows).split(u'\t');
    EXPECT_TRUE(html.contains(u'>' + grouped(all.at(1).toDouble()) + u'<'));
    EXPECT_TRUE(html.contains(u'>' + grouped(all.at(2).toDouble()) + u'<'));
    const QString partner = raw.value(u"SELECT p.nev "_s + kList3Rows +
                                      u" GROUP BY p.nev HAVING "
                                      "count(DISTINCT p.kod) = 1 LIMIT 1"_s);
    const QString sum = raw.value(u"SELECT sum(s.brutto) "_s + kList3Rows + u" AND p.nev = '"_s + partner + u"'"_s);
    EXPECT_TRUE(html.contains(partner.toHtmlEscaped()));
    EXPECT_TRUE(html.contains(u'>' + grouped(sum.toDouble()) + u'<')) << partner.toStdString();
    EXPECT_TRUE(html.contains(u"Oldalszám: "_s));
}

TEST_F(RenderDemo, XlsxHasCaptionsTypedCellsAndEveryRow)
{
    RawDb raw(s_db);
    const Sheet sheet = readSheet(out(u"list3.xlsx"_s));
    const QString unpaid = kList3Rows + u" AND s.fizetve = 0"_s;
    ASSERT_EQ(sheet.size(), raw.value(u"SELECT count(*) "_s + unpaid).toLong() + 1);

    // Captions: the group's, then the displayed fields'; the partner code that
    // only keys the group has no column.
    QStringList header;
    for (const Cell& c : sheet.first())
        header << c.value;
    EXPECT_EQ(header,
              captions(raw, 3, "vlq_list_report_group_field") + captions(raw, 3, "vlq_list_report_visible_field"));

    // Name, number as text; dates and amounts as numbers (dates as day
    // serials); the paid flag as a Boolean.
    QMap<QString, QList<Cell>> byNumber;
    double net = 0;
    for (qsizetype i = 1; i < sheet.size(); ++i) {
        const QList<Cell>& r = sheet.at(i);
        ASSERT_EQ(r.size(), 7) << i;
        byNumber.insert(r.at(1).value, r);
        net += r.at(4).value.toDouble();
        EXPECT_EQ(r.at(6).type, u"b"_s);
        EXPECT_EQ(r.at(6).value, u"0"_s);
    }
    EXPECT_EQ(grouped(net), grouped(raw.value(u"SELECT sum(s.netto) "_s + unpaid).toDouble()));
    const QStringList sample = raw.value(u"SELECT p.nev, s.szamlaszam, substr(s.kelt, 1, 10), s.brutto "_s + unpaid +
                                         u" ORDER BY s.szamlaszam LIMIT 1"_s)
                                   .split(u'\t');
    const QList<Cell> row = byNumber.value(sample.at(1));
    ASSERT_EQ(row.size(), 7);
    EXPECT_TRUE(row.at(0).type == u"inlineStr"_s || row.at(0).type == u"s"_s) << row.at(0).type.toStdString();
    EXPECT_EQ(row.at(0).value, sample.at(0));
    EXPECT_TRUE(row.at(2).type.isEmpty());
    EXPECT_EQ(row.at(2).value.toLong(), QDate(1899, 12, 30).daysTo(QDate::fromString(sample.at(2), u"yyyy-MM-dd"_s)));
    EXPECT_NE(row.at(2).style, row.at(5).style);
    EXPECT_TRUE(row.at(5).type.isEmpty());
    EXPECT_DOUBLE_EQ(row.at(5).value.toDouble(), sample.at(3).toDouble());
}

TEST_F(RenderDemo, EmptySelectionStillGivesAReportAndACaptionRow)
{
    const QString pdf = out(u"empty.pdf"_s), xlsx = out(u"empty.xlsx"_s);
    auto r = run(3, 2, {u"--where"_s, u"1=0"_s, u"--format"_s, u"pdf"_s, u"--out"_s, pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages.first().contains(u"Oldalszám: 1 / 1"_s));
    EXPECT_FALSE(pages.first().contains(u"Partner név:"_s));
    r = run(3, 2, {u"--where"_s, u"1=0"_s, u"--format"_s, u"xlsx"_s, u"--out"_s, xlsx});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readSheet(xlsx).size(), 1);
}

TEST_F(RenderDemo, FailuresAreClearAndKeepEarlierFiles)
{
    const QString kept = out(u"kept.pdf"_s);
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("earlier");
    f.close();
    auto keptIntact = [&] {
        QFile k(kept);
        return k.open(QIODevice::ReadOnly) && k.readAll() == "earlier";
    };

    // --out is needed; the user's denial holds as for the text formats.
    EXPECT_EQ(run(3, 2, {u"--format"_s, u"pdf"_s}).exitCode, 2);
    auto r = run(3, 5, {u"--format"_s, u"pdf"_s, u"--out"_s, kept});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"may not run list 3"_s)) << r.err.toStdString();
    EXPECT_TRUE(keptIntact());

    // A report folder without the list's report file.
    const QString empty = lg::test::tempDir();
    r = run(3, 2, {u"--format"_s, u"html"_s, u"--reports"_s, empty, u"--out"_s, out(u"none.html"_s)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"report file"_s) && r.err.contains(u"REPORT3.XML"_s)) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out(u"none.html"_s)));

    // Outputs that cannot be written: a missing folder, a folder.
    for (const QString& format : {u"pdf"_s, u"xlsx"_s}) {
        r = run(3, 2, {u"--format"_s, format, u"--out"_s, s_dir + u"/missing/x."_s + format});
        EXPECT_EQ(r.exitCode, 1) << format.toStdString();
        EXPECT_TRUE(r.err.contains(u"cannot write"_s)) << r.err.toStdString();
        r = run(3, 2, {u"--format"_s, format, u"--out"_s, empty});
        EXPECT_EQ(r.exitCode, 1) << format.toStdString();
        EXPECT_TRUE(QFileInfo(empty).isDir());
    }

    // A condition the database rejects leaves the earlier file as it was.
    for (const QString& format : {u"pdf"_s, u"xlsx"_s}) {
        r = run(3, 2, {u"--where"_s, u"[SZ].[nincs_ilyen]=1"_s, u"--format"_s, format, u"--out"_s, kept});
        EXPECT_EQ(r.exitCode, 1) << format.toStdString();
        EXPECT_TRUE(keptIntact()) << format.toStdString();
    }
    EXPECT_EQ(QDir(s_dir).entryList({u"*.tmp"_s, u"*.part"_s}, QDir::Files | QDir::Hidden).size(), 0);
}
