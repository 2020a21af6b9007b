#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QStringDecoder>
#include <QtCore/QXmlStreamReader>

#include "report/reportsource.h"
#include "support/testsupport.h"

using namespace lg::report;

namespace {

ReportColumn column(const QString& alias, int type, long width, const QString& caption = QStringLiteral("c"))
{
    ReportColumn c;
    c.alias = alias;
    c.caption = caption;
    c.dataType = type;
    c.width = width;
    return c;
}

QList<long> lefts(const QList<ReportColumn>& cs)
{
    QList<long> out;
    for (const auto& c : cs)
        out << c.left;
    return out;
}

QList<long> widths(const QList<ReportColumn>& cs)
{
    QList<long> out;
    for (const auto& c : cs)
        out << c.width;
    return out;
}

QString writeText(ReportSourceInput in)
{
    in.page = layoutColumns(in.columns);
    ReportSourceWriter w(in);
    return w.text();
}

// The <Section> block whose name is `name`.
QString sectionBlock(const QString& text, const QString& name)
{
    const qsizetype at = text.indexOf(QStringLiteral("<Name>") + name + QStringLiteral("</Name>"));
    if (at < 0)
        return QString();
    const qsizetype start = text.lastIndexOf(QStringLiteral("<Section>"), at);
    const qsizetype end = text.indexOf(QStringLiteral("</Section>"), at);
    return text.mid(start, end - start);
}

}  // namespace

TEST(ColumnLayout, OrientationSwitchesOneTwipPastThePortraitWidth)
{
    // Two numbers: 5000 + 20 + 5855 = 10875 stays portrait, unchanged.
    QList<ReportColumn> cs{column("RF1", 1, 5000), column("RF2", 2, 5855)};
    PageSetup p = layoutColumns(cs);
    EXPECT_EQ(p.orientation, 1);
    EXPECT_EQ(p.width, 10875);
    EXPECT_EQ(lefts(cs), (QList<long>{0, 5020}));

    cs = {column("RF1", 1, 5000), column("RF2", 4, 5856)};
    p = layoutColumns(cs);
    EXPECT_EQ(p.orientation, 2);
    EXPECT_EQ(p.width, 15825);
    // Landscape pages are not adjusted, not even with a text column.
    EXPECT_EQ(widths(cs), (QList<long>{5000, 5856}));

    // Beyond the landscape width the columns are written as they are.
    cs = {column("RF1", 4, 16000)};
    p = layoutColumns(cs);
    EXPECT_EQ(p.orientation, 2);
    EXPECT_EQ(cs.first().width, 16000);
}

TEST(ColumnLayout, SpareWidthGoesToTheFirstWidestTextColumn)
{
    // Right edge 9000: 1000 | 2000 text | 2000 text | 3940 date.
    QList<ReportColumn> cs{column("RF1", 1, 1000), column("RF2", 4, 2000), column("RF3", 4, 2000),
                           column("RF4", 3, 3940)};
    const PageSetup p = layoutColumns(cs);
    ASSERT_EQ(cs.last().right(), 10875);
    EXPECT_EQ(p.orientation, 1);
    EXPECT_EQ(widths(cs), (QList<long>{1000, 3875, 2000, 3940}));
    EXPECT_EQ(lefts(cs), (QList<long>{0, 1020, 4915, 6935}));

    // Without a text column nothing moves.
    cs = {column("RF1", 1, 1000), column("RF2", 5, 2000)};
    layoutColumns(cs);
    EXPECT_EQ(widths(cs), (QList<long>{1000, 2000}));
    EXPECT_EQ(lefts(cs), (QList<long>{0, 1020}));
}

TEST(ReportSource, FootersFollowTheAggregates)
{
    ReportSourceInput in;
    in.columns = {column("RF1", 4, 2000), column("RF2", 2, 1500)};
    in.groups = {{"RG1", {}, "Város"}, {"RG2", "RGF2", "Név"}};

    // Without any aggregate: no footer fields anywhere, the report footer
    // and both group footers hidden.
    QString text = writeText(in);
    EXPECT_FALSE(text.contains(QStringLiteral("AGGRAGATEVALUE_")));
    EXPECT_FALSE(text.contains(QStringLiteral("LINE_")));
    EXPECT_TRUE(sectionBlock(text, "Footer").contains(QStringLiteral("<Visible>0</Visible>")));
    EXPECT_TRUE(sectionBlock(text, "Group 1 Footer").contains(QStringLiteral("<Visible>0</Visible>")));
    EXPECT_TRUE(sectionBlock(text, "Group 2 Footer").contains(QStringLiteral("<Visible>0</Visible>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<GroupBy>RG1</GroupBy>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<GroupBy>RGF2</GroupBy>")));
    // Page header: 195 * (2 + 1) + 315.
    EXPECT_TRUE(sectionBlock(text, "Page Header").contains(QStringLiteral("<Height>900</Height>")));

    // A sum at group level 2 and a count in the total.
    in.columns[1].aggregates[1] = 4;
    in.columns[0].aggregates[kTotalLevel] = 1;
    text = writeText(in);
    EXPECT_TRUE(sectionBlock(text, "Group 1 Footer").contains(QStringLiteral("<Visible>0</Visible>")));
    EXPECT_FALSE(sectionBlock(text, "Group 2 Footer").contains(QStringLiteral("<Visible>")));
    EXPECT_TRUE(sectionBlock(text, "Footer").contains(QStringLiteral("<Height>500</Height>")));
    EXPECT_EQ(text.count(QStringLiteral("AGGRAGATEVALUE_")), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("<Section>8</Section>\r\n        <Text>SUM(RF2)</Text>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Section>2</Section>\r\n        <Text>COUNT(RF1)</Text>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Text>RG2 &amp; \" összesen:\"</Text>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Text>\"Mindösszesen:\"</Text>")));
}

TEST(ReportSource, HiddenDetailKeepsDataFieldsAndShowsTheInnermostFooter)
{
    ReportSourceInput in;
    in.detailInvisible = true;
    in.columns = {column("RF1", 4, 2000)};
    in.groups = {{"RG1", {}, "Város"}, {"RG2", {}, "Név"}};
    const QString text = writeText(in);
    EXPECT_TRUE(sectionBlock(text, "Detail").contains(QStringLiteral("<Visible>0</Visible>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Name>DATAFIELD_")));
    EXPECT_FALSE(sectionBlock(text, "Group 1 Header").contains(QStringLiteral("<Visible>")));
    EXPECT_TRUE(sectionBlock(text, "Group 2 Header").contains(QStringLiteral("<Visible>0</Visible>")));
    EXPECT_FALSE(sectionBlock(text, "Group 2 Footer").contains(QStringLiteral("<Visible>")));
    EXPECT_TRUE(sectionBlock(text, "Group 1 Footer").contains(QStringLiteral("<Visible>0</Visible>")));
    // Page header: 195 * 2 + 315.
    EXPECT_TRUE(sectionBlock(text, "Page Header").contains(QStringLiteral("<Height>705</Height>")));
}

TEST(ReportSource, GroupsPastTheTenthHaveNoAggregatesOfTheirOwn)
{
    ReportSourceInput in;
    in.columns = {column("RF1", 2, 2000)};
    in.columns[0].aggregates[kTotalLevel] = 4;
    for (int i = 1; i <= 11; ++i)
        in.groups.append({QStringLiteral("RG%1").arg(i), {}, QStringLiteral("g%1").arg(i)});
    const QString text = writeText(in);
    EXPECT_TRUE(sectionBlock(text, "Group 11 Footer").contains(QStringLiteral("<Visible>0</Visible>")));
    EXPECT_EQ(text.count(QStringLiteral("<Text>SUM(RF1)</Text>")), 1);  // the total only
}

TEST(ReportSource, NoGroupsWritesAnEmptyGroupsElement)
{
    ReportSourceInput in;
    in.columns = {column("RF1", 4, 2000)};
    const QString text = writeText(in);
    EXPECT_TRUE(text.contains(QStringLiteral("    <Groups>\r\n    </Groups>\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("Group 1")));
    EXPECT_TRUE(sectionBlock(text, "Page Header").contains(QStringLiteral("<Height>510</Height>")));
}

TEST(Windows1250, EncodesWhatTheCodePageHoldsAndReferencesTheRest)
{
    EXPECT_EQ(encodeWindows1250(QStringLiteral("Őrült ű € x")), QByteArray("\xD5r\xFClt \xFB \x80 x"));
    EXPECT_EQ(encodeWindows1250(QStringLiteral("Ω漢")), QByteArray("&#937;&#28450;"));
    EXPECT_EQ(encodeWindows1250(QString::fromUcs4(U"\U0001F600")), QByteArray("&#128512;"));
    EXPECT_EQ(escapeXml(QStringLiteral("Ár <nettó> & \"x\"")), QStringLiteral("Ár &lt;nettó&gt; &amp; \"x\""));
    // What XML cannot carry is left out, line ends and tabs stay, and a
    // character beyond the basic plane keeps both its halves.
    const QString pasted = QStringLiteral("a\x01" "b\tc\r\nd") + QChar(0xFFFE) + QChar(0xD800) + QStringLiteral("e") +
                           QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(escapeXml(pasted), QStringLiteral("ab\tc\r\nde") + QString::fromUcs4(U"\U0001F600"));
}

// The complete file of a small list: one group whose field has a separate
// grouping field, a text column with markup characters and a letter the code
// page lacks, a number column summed per group and in total.
TEST(ReportSource, SmallListByteForByte)
{
    ReportSourceInput in;
    in.listReportId = 42;
    in.columns = {column("RF30", 4, 2000, QStringLiteral("Ár <nettó> & Ω")), column("RF31", 2, 1500, "Összeg")};
    in.columns[1].format = QStringLiteral("#,##0.00");
    in.columns[1].aggregates[0] = 4;
    in.columns[1].aggregates[kTotalLevel] = 4;
    in.groups = {{"RG12", "RGF12", "Partner"}};
    in.page = layoutColumns(in.columns);
    FrameTexts texts;
    texts.rightsNotice = QStringLiteral("(c) listgen");
    ReportSourceWriter writer(in, texts);
    const QByteArray bytes = encodeWindows1250(writer.text());

    QFile golden(QStringLiteral(LISTGEN_SOURCE_DIR "/tests/report/data/small_list.xml"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray expected = golden.readAll();
    if (bytes != expected) {
        QFile actual(QStringLiteral(LISTGEN_BINARY_DIR "/small_list.actual.xml"));
        if (actual.open(QIODevice::WriteOnly))
            actual.write(bytes);
        ADD_FAILURE() << "differs from the expected file; written to " << actual.fileName().toStdString();
    }

    EXPECT_FALSE(bytes.contains("\n\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
    EXPECT_TRUE(bytes.endsWith("</Reports>\r\n"));
    EXPECT_TRUE(bytes.contains("<Text>\xC1r &lt;nett\xF3&gt; &amp; &#937;</Text>"));

    // It is well-formed XML, and the caption reads back.
    QStringDecoder decoder("windows-1250");
    QXmlStreamReader xml(QString(decoder(bytes)));
    QStringList captions;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Text"))
            captions << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(captions.contains(QStringLiteral("Ár <nettó> & Ω")));
}
