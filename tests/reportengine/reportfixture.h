#pragma once

// Report sources for tests and benchmarks, written line by line the way the
// list generator writes them: windows-1250, CR LF, the fixed page frame, one
// caption and one data field per column, group sections with aggregates.

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringEncoder>
#include <QtCore/QStringList>

#include <vector>

namespace lg::test {

struct FixtureColumn {
    QString alias;    // RF<id>
    QString caption;
    int width = 1500;
    int align = 6;
    QString format;
    bool text = false;
    bool boolean = false;
    QString footerAggregate;  // e.g. "SUM" (every group level and the total); empty: none
    QString footerFormat;
};

struct FixtureReport {
    std::vector<FixtureColumn> columns;
    QStringList groupAliases;  // RG<id>, outermost first
    QStringList groupCaptions;
    bool detailInvisible = false;
    bool landscape = false;
};

inline QString reportSourceText(const FixtureReport& r)
{
    const int w = r.landscape ? 15825 : 10875;
    const int o = r.landscape ? 2 : 1;
    const int groups = static_cast<int>(r.groupAliases.size());
    const int pageHeader = r.detailInvisible ? 195 * groups + 315 : 195 * (groups + 1) + 315;
    bool anyAggregate = false;
    for (const auto& c : r.columns)
        anyAggregate = anyAggregate || !c.footerAggregate.isEmpty();
    QStringList l;
    auto add = [&](const QString& s) { l << s; };
    add(QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1250\" ?>"));
    add(QStringLiteral("<Reports>"));
    add(QStringLiteral("<!--"));
    add(QString(55, u'/'));
    add(QStringLiteral("//"));
    add(QStringLiteral("// Report Definition File"));
    add(QStringLiteral("//"));
    add(QStringLiteral("// This file contains the following reports:"));
    add(QStringLiteral("//   1) BROWSE"));
    add(QStringLiteral("//"));
    add(QString(55, u'/'));
    add(QStringLiteral("-->"));
    add(QString());
    add(QStringLiteral("<!-- Report *** BROWSE *** -->"));
    add(QStringLiteral("<Report>"));
    add(QStringLiteral("    <Name>BROWSE</Name>"));
    add(QStringLiteral("    <DataSource>"));
    add(QStringLiteral("      <ConnectionString>dev.mdb</ConnectionString>"));
    add(QStringLiteral("      <RecordSource>SELECT 1</RecordSource>"));
    add(QStringLiteral("    </DataSource>"));
    add(QStringLiteral("        <Layout>"));
    add(QStringLiteral("          <Width>%1</Width>").arg(w));
    add(QStringLiteral("          <MarginLeft>500</MarginLeft>"));
    add(QStringLiteral("          <MarginTop>500</MarginTop>"));
    add(QStringLiteral("          <MarginRight>1000</MarginRight>"));
    add(QStringLiteral("          <MarginBottom>500</MarginBottom>"));
    add(QStringLiteral("          <Orientation>%1</Orientation>").arg(o));
    add(QStringLiteral("          <PaperSize>%1</PaperSize>").arg(o));
    add(QStringLiteral("        </Layout>"));
    add(QStringLiteral("    <Font>"));
    add(QStringLiteral("      <Name>Tahoma</Name>"));
    add(QStringLiteral("    </Font>"));
    add(QStringLiteral("    <Groups>"));
    for (int n = 1; n <= groups; ++n) {
        add(QStringLiteral("      <Group>"));
        add(QStringLiteral("        <Name>Group %1</Name>").arg(n));
        add(QStringLiteral("        <GroupBy>%1</GroupBy>").arg(r.groupAliases[n - 1]));
        add(QStringLiteral("      </Group>"));
    }
    add(QStringLiteral("    </Groups>"));
    add(QStringLiteral("    <Sections>"));
    auto section = [&](const QString& name, int type, int height, bool visible) {
        add(QStringLiteral("      <Section>"));
        add(QStringLiteral("        <Name>%1</Name>").arg(name));
        add(QStringLiteral("        <Type>%1</Type>").arg(type));
        add(QStringLiteral("        <Height>%1</Height>").arg(height));
        if (!visible)
            add(QStringLiteral("        <Visible>0</Visible>"));
        add(QStringLiteral("      </Section>"));
    };
    section(QStringLiteral("Detail"), 0, 195, !r.detailInvisible);
    section(QStringLiteral("Header"), 1, 900, true);
    section(QStringLiteral("Footer"), 2, 500, anyAggregate);
    section(QStringLiteral("Page Header"), 3, pageHeader, true);
    section(QStringLiteral("Page Footer"), 4, 495, true);
    for (int n = 1; n <= groups; ++n) {
        section(QStringLiteral("Group %1 Header").arg(n), 3 + 2 * n, 195, !(r.detailInvisible && n == groups));
        section(QStringLiteral("Group %1 Footer").arg(n), 4 + 2 * n, 195, anyAggregate || (r.detailInvisible && n == groups));
    }
    add(QStringLiteral("    </Sections>"));
    add(QStringLiteral("    <Fields>"));
    auto field = [&](const QStringList& lines) {
        add(QStringLiteral("      <Field>"));
        for (const QString& s : lines)
            add(QStringLiteral("        ") + s);
        add(QStringLiteral("      </Field>"));
    };
    const QString q = QStringLiteral("\"");
    field({QStringLiteral("<Name>report_name</Name>"), QStringLiteral("<Section>1</Section>"),
           QStringLiteral("<Text>#report_name#</Text>"), QStringLiteral("<Top>5</Top>"),
           QStringLiteral("<Width>%1</Width>").arg(w), QStringLiteral("<Height>600</Height>"),
           QStringLiteral("<Align>8</Align>"), QStringLiteral("<Font>"), QStringLiteral("  <Size>15,75</Size>"),
           QStringLiteral("  <Bold>-1</Bold>"), QStringLiteral("</Font>")});
    field({QStringLiteral("<Name>FooterRight</Name>"), QStringLiteral("<Section>4</Section>"),
           QStringLiteral("<Text>") + q + QStringLiteral("Oldalszám: ") + q + QStringLiteral("&amp; [Pages] &amp; ") + q +
               QStringLiteral(" / ") + q + QStringLiteral(" &amp; [Page]</Text>"),
           QStringLiteral("<Calculated>-1</Calculated>"), QStringLiteral("<Top>90</Top>"),
           QStringLiteral("<Width>4512</Width>"), QStringLiteral("<Height>210</Height>"), QStringLiteral("<Align>6</Align>")});
    field({QStringLiteral("<Name>DivLine1</Name>"), QStringLiteral("<Section>3</Section>"),
           QStringLiteral("<Top>%1</Top>").arg(pageHeader), QStringLiteral("<Width>%1</Width>").arg(w),
           QStringLiteral("<Height>30</Height>"), QStringLiteral("<BackStyle>1</BackStyle>"),
           QStringLiteral("<BackColor>0</BackColor>"), QStringLiteral("<Font>"), QStringLiteral("  <Name>Tahoma</Name>"),
           QStringLiteral("  <Size>8</Size>"), QStringLiteral("</Font>")});
    // The columns.
    int counter = 0;
    int left = 0;
    const int captionTop = r.detailInvisible ? 195 * groups + 315 - 195 : 195 * groups + 315;
    for (const auto& c : r.columns) {
        ++counter;
        QStringList cap{QStringLiteral("<Name>DESCRIPTION_%1</Name>").arg(counter), QStringLiteral("<Section>3</Section>"),
                        QStringLiteral("<Text>%1</Text>").arg(c.caption)};
        if (left)
            cap << QStringLiteral("<Left>%1</Left>").arg(left);
        cap << QStringLiteral("<Top>%1</Top>").arg(captionTop) << QStringLiteral("<Width>%1</Width>").arg(c.width)
            << QStringLiteral("<Height>195</Height>") << QStringLiteral("<Align>%1</Align>").arg(c.align)
            << QStringLiteral("<WordWrap>-1</WordWrap>") << QStringLiteral("<CanGrow>-1</CanGrow>")
            << QStringLiteral("<Font>") << QStringLiteral("   <Bold>-1</Bold>") << QStringLiteral("</Font>");
        field(cap);
        ++counter;
        QStringList data{QStringLiteral("<Name>DATAFIELD_%1</Name>").arg(counter), QStringLiteral("<Section>0</Section>"),
                         QStringLiteral("<Text>%1</Text>").arg(c.alias), QStringLiteral("<Calculated>-1</Calculated>")};
        if (!c.format.isEmpty())
            data << QStringLiteral("<Format>%1</Format>").arg(c.format);
        if (c.boolean)
            data << QStringLiteral("<CheckBox>1</CheckBox>");
        if (left)
            data << QStringLiteral("<Left>%1</Left>").arg(left);
        data << QStringLiteral("<Width>%1</Width>").arg(c.width) << QStringLiteral("<Height>210</Height>")
             << QStringLiteral("<Align>%1</Align>").arg(c.align)
             << QStringLiteral("<CanGrow>%1</CanGrow>").arg(c.text ? -1 : 0);
        if (c.boolean)
            data << QStringLiteral("<Font>") << QStringLiteral("  <Name>Wingdings</Name>") << QStringLiteral("</Font>");
        field(data);
        left += c.width + 20;
    }
    // Group sections: caption and value in the header; line, label and aggregates in the footer.
    auto footer = [&](int section, const QString& label) {
        ++counter;
        field({QStringLiteral("<Name>LINE_%1</Name>").arg(counter), QStringLiteral("<Section>%1</Section>").arg(section),
               QStringLiteral("<Width>%1</Width>").arg(w), QStringLiteral("<BorderStyle>1</BorderStyle>"),
               QStringLiteral("<LineSlant>2</LineSlant>")});
        ++counter;
        field({QStringLiteral("<Name>LABEL_%1</Name>").arg(counter), QStringLiteral("<Section>%1</Section>").arg(section),
               QStringLiteral("<Text>%1</Text>").arg(label), QStringLiteral("<Calculated>-1</Calculated>"),
               QStringLiteral("<Width>3000</Width>"), QStringLiteral("<Height>195</Height>"),
               QStringLiteral("<Align>6</Align>"), QStringLiteral("<Font>"), QStringLiteral("   <Bold>-1</Bold>"),
               QStringLiteral("</Font>")});
        int x = 0;
        for (const auto& c : r.columns) {
            if (!c.footerAggregate.isEmpty()) {
                ++counter;
                QStringList a{QStringLiteral("<Name>AGGRAGATEVALUE_%1</Name>").arg(counter),
                              QStringLiteral("<Section>%1</Section>").arg(section),
                              QStringLiteral("<Text>%1(%2)</Text>").arg(c.footerAggregate, c.alias),
                              QStringLiteral("<Calculated>-1</Calculated>"),
                              QStringLiteral("<Format>%1</Format>").arg(c.footerFormat.isEmpty() ? c.format : c.footerFormat)};
                if (x)
                    a << QStringLiteral("<Left>%1</Left>").arg(x);
                a << QStringLiteral("<Width>%1</Width>").arg(c.width) << QStringLiteral("<Height>195</Height>")
                  << QStringLiteral("<Align>%1</Align>").arg(c.align);
                field(a);
            }
            x += c.width + 20;
        }
    };
    for (int n = 1; n <= groups; ++n) {
        ++counter;
        field({QStringLiteral("<Name>GROUPVALUE_%1</Name>").arg(counter), QStringLiteral("<Section>%1</Section>").arg(3 + 2 * n),
               QStringLiteral("<Text>") + q + r.groupCaptions.value(n - 1) + QStringLiteral(": ") + q +
                   QStringLiteral(" &amp; ") + r.groupAliases[n - 1] + QStringLiteral("</Text>"),
               QStringLiteral("<Calculated>-1</Calculated>"), QStringLiteral("<Left>%1</Left>").arg(200 * (n - 1)),
               QStringLiteral("<Width>6000</Width>"), QStringLiteral("<Height>195</Height>"), QStringLiteral("<Align>6</Align>"),
               QStringLiteral("<Font>"), QStringLiteral("   <Bold>-1</Bold>"), QStringLiteral("</Font>")});
        if (anyAggregate)
            footer(4 + 2 * n, r.groupAliases[n - 1] + QStringLiteral(" &amp; ") + q + QStringLiteral(" összesen:") + q);
    }
    if (anyAggregate)
        footer(2, q + QStringLiteral("Mindösszesen:") + q);
    add(QStringLiteral("      <Field>"));
    add(QStringLiteral("        <Name>Line</Name>"));
    add(QStringLiteral("        <Section>1</Section>"));
    add(QStringLiteral("        <Top>570</Top>"));
    add(QStringLiteral("        <Width>%1</Width>").arg(w));
    add(QStringLiteral("        <BorderStyle>1</BorderStyle>"));
    add(QStringLiteral("        <LineSlant>2</LineSlant>"));
    add(QStringLiteral("      </Field>"));
    field({QStringLiteral("<Name>copy_right</Name>"), QStringLiteral("<Section>4</Section>"),
           QStringLiteral("<Text>Minden jog fenntartva</Text>"), QStringLiteral("<Left>%1</Left>").arg(w - 3750),
           QStringLiteral("<Top>285</Top>"), QStringLiteral("<Width>3750</Width>"), QStringLiteral("<Height>210</Height>"),
           QStringLiteral("<Align>8</Align>")});
    field({QStringLiteral("<Name>printed_date</Name>"), QStringLiteral("<Section>4</Section>"),
           QStringLiteral("<Text>") + q + QStringLiteral("Nyomtatva:  ") + q + QStringLiteral("&amp; CStr(Date) &amp; ") +
               q + q + QStringLiteral(" &amp; CStr(Time)</Text>"),
           QStringLiteral("<Calculated>-1</Calculated>"), QStringLiteral("<Left>%1</Left>").arg(w - 3750),
           QStringLiteral("<Top>90</Top>"), QStringLiteral("<Width>3750</Width>"), QStringLiteral("<Height>210</Height>"),
           QStringLiteral("<Align>8</Align>")});
    field({QStringLiteral("<Name>Line3</Name>"), QStringLiteral("<Section>4</Section>"), QStringLiteral("<Top>30</Top>"),
           QStringLiteral("<Width>%1</Width>").arg(w), QStringLiteral("<BorderStyle>1</BorderStyle>"),
           QStringLiteral("<LineSlant>2</LineSlant>")});
    field({QStringLiteral("<Name>Label2</Name>"), QStringLiteral("<Section>1</Section>"),
           QStringLiteral("<Text>Szűkítések:</Text>"), QStringLiteral("<Top>660</Top>"), QStringLiteral("<Width>1155</Width>"),
           QStringLiteral("<Height>210</Height>"), QStringLiteral("<Align>6</Align>"), QStringLiteral("<Font>"),
           QStringLiteral("   <Size>8,25</Size>"), QStringLiteral("   <Bold>-1</Bold>"), QStringLiteral("</Font>")});
    field({QStringLiteral("<Name>filter_string</Name>"), QStringLiteral("<Section>1</Section>"),
           QStringLiteral("<Left>1140</Left>"), QStringLiteral("<Top>660</Top>"), QStringLiteral("<Width>%1</Width>").arg(w - 1140),
           QStringLiteral("<Height>210</Height>"), QStringLiteral("<Align>6</Align>"), QStringLiteral("<WordWrap>-1</WordWrap>"),
           QStringLiteral("<CanGrow>-1</CanGrow>")});
    field({QStringLiteral("<Name>Line4</Name>"), QStringLiteral("<Section>3</Section>"), QStringLiteral("<Width>%1</Width>").arg(w),
           QStringLiteral("<BorderStyle>1</BorderStyle>"), QStringLiteral("<LineSlant>2</LineSlant>")});
    field({QStringLiteral("<Name>sub_report_name</Name>"), QStringLiteral("<Section>3</Section>"),
           QStringLiteral("<Text>#report_name#</Text>"), QStringLiteral("<Width>%1</Width>").arg(w),
           QStringLiteral("<Height>300</Height>"), QStringLiteral("<Align>8</Align>"), QStringLiteral("<WordWrap>0</WordWrap>"),
           QStringLiteral("<Font>"), QStringLiteral("   <Bold>-1</Bold>"), QStringLiteral("</Font>")});
    field({QStringLiteral("<Name>sub_report_line</Name>"), QStringLiteral("<Section>3</Section>"), QStringLiteral("<Top>285</Top>"),
           QStringLiteral("<Width>%1</Width>").arg(w), QStringLiteral("<Height>30</Height>"),
           QStringLiteral("<BackStyle>1</BackStyle>"), QStringLiteral("<BackColor>0</BackColor>"), QStringLiteral("<Font>"),
           QStringLiteral("   <Name>Tahoma</Name>"), QStringLiteral("</Font>")});
    add(QStringLiteral("    </Fields>"));
    add(QStringLiteral("  </Report>"));
    add(QStringLiteral("</Reports>"));
    return l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// The text in windows-1250; characters outside it become character references.
inline QByteArray windows1250(const QString& text)
{
    QStringEncoder enc("windows-1250");
    QByteArray out;
    for (const QChar c : text) {
        QStringEncoder one("windows-1250");
        const QByteArray b = one.encode(QString(c));
        if (one.hasError() || (b == "?" && c != u'?'))
            out += "&#" + QByteArray::number(c.unicode()) + ";";
        else
            out += b;
    }
    (void)enc;
    return out;
}

// The sales list of the tests: two groups (city, partner), five columns.
inline FixtureReport salesReport(bool landscape = false, bool detailInvisible = false)
{
    FixtureReport r;
    r.landscape = landscape;
    r.detailInvisible = detailInvisible;
    r.groupAliases = {QStringLiteral("RG1"), QStringLiteral("RG2")};
    r.groupCaptions = {QStringLiteral("Város"), QStringLiteral("Partner")};
    r.columns = {
        {QStringLiteral("RF1"), QStringLiteral("Termék"), 3000, 6, {}, true, false, {}, {}},
        {QStringLiteral("RF2"), QStringLiteral("Mennyiség"), 1200, 8, QStringLiteral("0"), false, false, QStringLiteral("COUNT"), QStringLiteral("###")},
        {QStringLiteral("RF3"), QStringLiteral("Összeg"), 1800, 8, QStringLiteral("#,##0.00"), false, false, QStringLiteral("SUM"), {}},
        {QStringLiteral("RF4"), QStringLiteral("Dátum"), 1400, 7, QStringLiteral("yyyy.mm.dd"), false, false, {}, {}},
        {QStringLiteral("RF5"), QStringLiteral("Fizetve"), 900, 7, {}, false, true, {}, {}},
    };
    if (landscape)
        r.columns.push_back({QStringLiteral("RF6"), QStringLiteral("Megjegyzés"), 6000, 6, {}, true, false, {}, {}});
    return r;
}

}  // namespace lg::test
