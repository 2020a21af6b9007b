#include "reportengine/reportsource.h"
#include "reportfixture.h"

#include <gtest/gtest.h>

using namespace lg::reportengine;

namespace {

ReportSource parseOk(const QByteArray& bytes)
{
    ReportSource r;
    QString error;
    EXPECT_TRUE(parseReportSource(bytes, r, error)) << error.toStdString();
    return r;
}

QString parseError(const QByteArray& bytes)
{
    ReportSource r;
    QString error;
    EXPECT_FALSE(parseReportSource(bytes, r, error));
    return error;
}

const FieldDef* field(const ReportSource& r, const QString& name)
{
    for (const FieldDef& f : r.fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

}  // namespace

TEST(ReportSource, ReadsGeneratedFileInWindows1250)
{
    auto fx = lg::test::salesReport();
    const QByteArray bytes = lg::test::windows1250(lg::test::reportSourceText(fx));
    ASSERT_TRUE(bytes.contains("Sz\xFBk\xEDt\xE9sek:"));  // ű, í, é as single windows-1250 bytes
    const ReportSource r = parseOk(bytes);

    EXPECT_EQ(r.name, "BROWSE");
    EXPECT_EQ(r.layout.width, 10875);
    EXPECT_EQ(r.layout.orientation, 1);
    EXPECT_EQ(r.layout.marginRight, 1000);
    EXPECT_EQ(r.font.name, "Tahoma");
    ASSERT_EQ(r.groups.size(), 2);
    EXPECT_EQ(r.groups[1].groupBy, "RG2");

    ASSERT_NE(r.section(stPageHeader), nullptr);
    EXPECT_EQ(r.section(stPageHeader)->height, 900);  // two groups, visible detail
    ASSERT_NE(r.section(groupFooterType(2)), nullptr);
    EXPECT_EQ(r.section(groupFooterType(2))->type, 8);
    EXPECT_TRUE(r.sectionVisible(stDetail));

    const FieldDef* title = field(r, "report_name");
    ASSERT_TRUE(title);
    EXPECT_DOUBLE_EQ(title->font.size, 15.75);  // decimal comma
    EXPECT_TRUE(title->font.bold);
    EXPECT_EQ(title->align, 8);

    const FieldDef* pageNo = field(r, "FooterRight");
    ASSERT_TRUE(pageNo);
    EXPECT_TRUE(pageNo->calculated);
    EXPECT_EQ(pageNo->text, QString::fromUtf8("\"Oldalszám: \"& [Pages] & \" / \" & [Page]"));

    EXPECT_EQ(field(r, "Label2")->text, QString::fromUtf8("Szűkítések:"));
    EXPECT_DOUBLE_EQ(field(r, "Label2")->font.size, 8.25);
    EXPECT_TRUE(field(r, "Line")->isLine());
    EXPECT_EQ(field(r, "DivLine1")->backStyle, 1);
    EXPECT_FALSE(field(r, "sub_report_name")->wordWrap);
    EXPECT_TRUE(field(r, "DATAFIELD_10")->checkBox);
    EXPECT_EQ(field(r, "DATAFIELD_6")->format, "#,##0.00");
    EXPECT_EQ(field(r, "DATAFIELD_6")->left, 3000 + 20 + 1200 + 20);
}

TEST(ReportSource, CharacterReferencesAndLandscape)
{
    auto fx = lg::test::salesReport(true, true);
    fx.columns[0].caption = QString::fromUtf8("Termék → név");  // the arrow is outside windows-1250
    const QByteArray bytes = lg::test::windows1250(lg::test::reportSourceText(fx));
    ASSERT_TRUE(bytes.contains("&#8594;"));
    const ReportSource r = parseOk(bytes);
    EXPECT_EQ(field(r, "DESCRIPTION_1")->text, QString::fromUtf8("Termék → név"));
    EXPECT_EQ(r.layout.orientation, 2);
    EXPECT_EQ(r.layout.width, 15825);
    EXPECT_FALSE(r.sectionVisible(stDetail));
    EXPECT_FALSE(r.sectionVisible(groupHeaderType(2)));
}

TEST(ReportSource, MalformedFilesNameTheLine)
{
    const QString good = lg::test::reportSourceText(lg::test::salesReport());

    // Cut in the middle of an element.
    QString cut = good.left(good.indexOf(QStringLiteral("<Fields>")) + 40);
    QString e = parseError(lg::test::windows1250(cut));
    EXPECT_TRUE(e.startsWith(QStringLiteral("line "))) << e.toStdString();

    // A measure that is not a number: the message names its line.
    QString bad = good;
    bad.replace(QStringLiteral("<Top>660</Top>"), QStringLiteral("<Top>6x0</Top>"));
    const int line = static_cast<int>(good.left(good.indexOf(QStringLiteral("<Top>660</Top>"))).count(u'\n')) + 1;
    e = parseError(lg::test::windows1250(bad));
    EXPECT_TRUE(e.contains(QStringLiteral("line %1:").arg(line))) << e.toStdString();
    EXPECT_TRUE(e.contains(QStringLiteral("6x0")));

    // Mismatched tags.
    bad = good;
    bad.replace(QStringLiteral("</Groups>"), QStringLiteral("</Group>"));
    EXPECT_TRUE(parseError(lg::test::windows1250(bad)).contains(QStringLiteral("line ")));

    // Well-formed, but not a report.
    EXPECT_TRUE(parseError("<?xml version=\"1.0\"?><Other/>").contains(QStringLiteral("no <Report>")));
    // A group without GroupBy, a field without section.
    EXPECT_TRUE(parseError("<Reports><Report><Groups><Group><Name>G</Name></Group></Groups></Report></Reports>")
                    .contains(QStringLiteral("GroupBy")));
    EXPECT_TRUE(parseError("<Report><Fields><Field><Name>x</Name></Field></Fields></Report>")
                    .contains(QStringLiteral("no <Section>")));
    EXPECT_TRUE(parseError("<?xml version=\"1.0\" encoding=\"no-such-charset\"?><Report/>").contains(
        QStringLiteral("unknown encoding")));
    EXPECT_TRUE(parseError(QByteArray()).size() > 0);
}

TEST(ReportSource, LoadReportsMissingFile)
{
    ReportSource r;
    QString error;
    EXPECT_FALSE(loadReportSource(QStringLiteral("/nonexistent/REPORT1.XML"), r, error));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/REPORT1.XML")));
}
