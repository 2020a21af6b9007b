#include "report/reportsource.h"

#include <QtCore/QHash>
#include <QtCore/QStringConverter>
#include <QtCore/QStringList>

#include <algorithm>

#include "platform/strings.h"

namespace lg::report {

namespace {

constexpr int kString = 4;
constexpr int kBoolean = 5;

QString n(long value) { return QString::number(value); }

// One element on a line of its own: indent, <tag>value</tag>.
QString el(int indent, const char* tag, const QString& value)
{
    const QLatin1String t(tag);
    return QString(indent, QLatin1Char(' ')) % QLatin1Char('<') % t % QLatin1Char('>') % value % QStringLiteral("</")
           % t % QLatin1Char('>');
}

QString el(int indent, const char* tag, long value) { return el(indent, tag, n(value)); }

QString field(const QString& name) { return el(8, "Name", name); }

// Lines of a <Field> block.
QString block(const QStringList& lines)
{
    return QStringLiteral("      <Field>\r\n") % lines.join(QStringLiteral("\r\n")) % QStringLiteral("\r\n      </Field>");
}

const char* aggregateFunction(long code)
{
    switch (code) {
    case 1:
        return "COUNT";
    case 2:
        return "MAX";
    case 3:
        return "MIN";
    case 4:
        return "SUM";
    case 5:
        return "AVG";
    default:
        return nullptr;
    }
}

bool isAggregate(long code) { return code >= 1 && code <= 5; }

// A text literal of the report expressions: in double quotes, quotes doubled.
QString quoted(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') % t % QLatin1Char('"');
}

}  // namespace

int alignmentOf(int dataType)
{
    switch (dataType) {
    case 1:
    case 2:
        return 8;
    case 3:
    case 5:
        return 7;
    default:
        return 6;
    }
}

PageSetup layoutColumns(QList<ReportColumn>& columns)
{
    long left = 0;
    for (ReportColumn& c : columns) {
        c.left = left;
        left = c.right() + kColumnGap;
    }
    PageSetup page;
    if (columns.isEmpty())
        return page;
    const long lastRight = columns.last().right();
    if (lastRight < kPortraitWidth + 1) {
        page = {1, kPortraitWidth};
    } else {
        page = {2, kLandscapeWidth};
        return page;
    }
    if (lastRight >= page.width)
        return page;
    qsizetype widest = -1;
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (columns[i].dataType == kString && (widest < 0 || columns[i].width > columns[widest].width))
            widest = i;
    if (widest < 0)
        return page;
    const long spare = page.width - lastRight;
    columns[widest].width += spare;
    for (qsizetype i = widest + 1; i < columns.size(); ++i)
        columns[i].left += spare;
    return page;
}

bool needGroupFooter(const QList<ReportColumn>& columns, int level)
{
    if (level < 0 || level >= kAggregateLevels)
        return false;
    return std::any_of(columns.begin(), columns.end(),
                       [level](const ReportColumn& c) { return isAggregate(c.aggregates[level]); });
}

FrameTexts FrameTexts::fromStringTable()
{
    FrameTexts t;
    auto pick = [](int id, QString& target) {
        const QString text = LoadResString(id);
        if (!text.isEmpty())
            target = text;
    };
    pick(10000, t.printedCaption);
    pick(10001, t.filterCaption);
    pick(10002, t.rightsNotice);
    pick(10003, t.pageCaption);
    return t;
}

ReportSourceWriter::ReportSourceWriter(const ReportSourceInput& input, FrameTexts texts)
    : m_in(input), m_texts(std::move(texts))
{
}

long ReportSourceWriter::pageHeaderHeight() const
{
    const long groups = m_in.groups.size();
    return m_in.detailInvisible ? 195 * groups + 315 : 195 * (groups + 1) + 315;
}

bool ReportSourceWriter::groupFooterVisible(int index) const
{
    if (m_in.detailInvisible && index == m_in.groups.size() - 1)
        return true;
    return index < kTotalLevel && needGroupFooter(m_in.columns, index);
}

QString ReportSourceWriter::footerFields(int section, int level, const QString& label, long labelLeft)
{
    const long w = m_in.page.width;
    QStringList blocks;
    blocks << block({field(QStringLiteral("LINE_") % n(++m_counter)), el(8, "Section", section), el(8, "Width", w),
                     el(8, "BorderStyle", 1), el(8, "LineSlant", 2)});

    const bool hasLevel = level >= 0 && level < kAggregateLevels;
    const ReportColumn* firstAggregate = nullptr;
    if (hasLevel)
        for (const ReportColumn& c : m_in.columns)
            if (isAggregate(c.aggregates[level])) {
                firstAggregate = &c;
                break;
            }

    // The label fills the room left of the first aggregate. A number is
    // right-aligned in its column, so when that room is small the label may
    // also take the column's left part, keeping kNumberRoom for the value.
    constexpr long kNumberRoom = 1200;
    long labelWidth = w - labelLeft;
    if (firstAggregate) {
        long labelRight = firstAggregate->left - kColumnGap;
        const bool rightAligned =
            firstAggregate->aggregates[level] == 1 || alignmentOf(firstAggregate->dataType) == 8;
        if (rightAligned && labelRight - labelLeft < 3000)
            labelRight = std::max(labelRight, firstAggregate->left + firstAggregate->width - kNumberRoom);
        labelWidth = std::max(1000L, labelRight - labelLeft);
    }
    QStringList labelLines{field(QStringLiteral("LABEL_") % n(++m_counter)), el(8, "Section", section),
                           el(8, "Text", escapeXml(label)), el(8, "Calculated", -1)};
    if (labelLeft != 0)
        labelLines << el(8, "Left", labelLeft);
    labelLines << el(8, "Width", labelWidth) << el(8, "Height", 195) << el(8, "Align", 6)
               << QStringLiteral("        <Font>") << QStringLiteral("           <Bold>-1</Bold>")
               << QStringLiteral("        </Font>");
    blocks << block(labelLines);

    if (hasLevel) {
        for (const ReportColumn& c : m_in.columns) {
            const char* function = aggregateFunction(c.aggregates[level]);
            if (!function)
                continue;
            const bool count = c.aggregates[level] == 1;
            QStringList lines{field(QStringLiteral("AGGRAGATEVALUE_") % n(++m_counter)), el(8, "Section", section),
                              el(8, "Text", QLatin1String(function) % QLatin1Char('(') % c.alias % QLatin1Char(')')),
                              el(8, "Calculated", -1),
                              el(8, "Format", escapeXml(count ? QStringLiteral("###") : c.format))};
            if (c.left != 0)
                lines << el(8, "Left", c.left);
            lines << el(8, "Width", c.width) << el(8, "Height", 195)
                  << el(8, "Align", count ? 8 : alignmentOf(c.dataType)) << QStringLiteral("        <Font>")
                  << QStringLiteral("           <Bold>-1</Bold>") << QStringLiteral("        </Font>");
            blocks << block(lines);
        }
    }
    return blocks.join(QStringLiteral("\r\n"));
}

QString ReportSourceWriter::groupFields(int index)
{
    if (index < 0 || index >= m_in.groups.size())
        return QString();
    const ReportGroup& g = m_in.groups.at(index);
    const int level = index + 1;
    const long w = m_in.page.width;
    const long indent = 200L * index;
    const long captionWidth = 3000;
    const int header = 3 + 2 * level;
    const int footer = 4 + 2 * level;

    QStringList blocks;
    QStringList caption{field(QStringLiteral("GROUPCAPTION_") % n(++m_counter)), el(8, "Section", header),
                        el(8, "Text", escapeXml(g.caption + QLatin1Char(':')))};
    if (indent != 0)
        caption << el(8, "Left", indent);
    caption << el(8, "Width", captionWidth) << el(8, "Height", 195) << el(8, "Align", 6)
            << QStringLiteral("        <Font>") << QStringLiteral("           <Bold>-1</Bold>")
            << QStringLiteral("        </Font>");
    blocks << block(caption);
    const long valueLeft = indent + captionWidth + kColumnGap;
    blocks << block({field(QStringLiteral("GROUPVALUE_") % n(++m_counter)), el(8, "Section", header),
                     el(8, "Text", g.alias), el(8, "Calculated", -1), el(8, "Left", valueLeft),
                     el(8, "Width", std::max(1000L, w - valueLeft)), el(8, "Height", 195), el(8, "Align", 6),
                     QStringLiteral("        <Font>"), QStringLiteral("           <Bold>-1</Bold>"),
                     QStringLiteral("        </Font>")});
    // Levels past the tenth have no aggregate slots of their own.
    const int aggregateLevel = index < kTotalLevel ? index : -1;
    if (groupFooterVisible(index))
        blocks << footerFields(footer, aggregateLevel,
                               g.alias % QStringLiteral(" & ") % quoted(QStringLiteral(" összesen:")), indent);
    return blocks.join(QStringLiteral("\r\n"));
}

QString ReportSourceWriter::columnFields(const ReportColumn& c)
{
    const int align = alignmentOf(c.dataType);
    const long headerHeight = std::max(195L, pageHeaderHeight() - 315);
    QStringList caption{QStringLiteral("      <Field>"), field(QStringLiteral("DESCRIPTION_") % n(++m_counter)),
                        el(8, "Section", 3), el(8, "Text", escapeXml(c.caption))};
    if (c.left != 0)
        caption << el(8, "Left", c.left);
    caption << el(8, "Top", 315) << el(8, "Width", c.width) << el(8, "Height", headerHeight) << el(8, "Align", align)
            << el(8, "WordWrap", -1) << el(8, "CanGrow", -1) << QStringLiteral("        <Font>")
            << QStringLiteral("           <Bold>-1</Bold>") << QStringLiteral("        </Font>")
            << QStringLiteral("      </Field>");

    QStringList data{QStringLiteral("      <Field>"), field(QStringLiteral("DATAFIELD_") % n(++m_counter)),
                     el(8, "Section", 0), el(8, "Text", c.alias), el(8, "Calculated", -1)};
    if (!c.format.isEmpty())
        data << el(8, "Format", escapeXml(c.format));
    if (c.dataType == kBoolean)
        data << el(8, "CheckBox", 1);
    if (c.left != 0)
        data << el(8, "Left", c.left);
    data << el(8, "Width", c.width) << el(8, "Height", 210) << el(8, "Align", align)
         << el(8, "CanGrow", c.dataType == kString ? -1 : 0);
    if (c.dataType == kBoolean)
        data << QStringLiteral("        <Font>") << QStringLiteral("          <Name>Wingdings</Name>")
             << QStringLiteral("        </Font>");
    data << QStringLiteral("      </Field>");
    return (caption + data).join(QStringLiteral("\r\n"));
}

QString ReportSourceWriter::totalFields()
{
    if (!needGroupFooter(m_in.columns, kTotalLevel))
        return QString();
    return footerFields(2, kTotalLevel, quoted(QStringLiteral("Mindösszesen:")), 0);
}

QString ReportSourceWriter::text()
{
    m_counter = 0;
    const long w = m_in.page.width;
    const int o = m_in.page.orientation;
    const int groups = m_in.groups.size();
    const long pageHeader = pageHeaderHeight();

    QStringList generated;
    for (int i = 0; i < groups; ++i)
        generated << groupFields(i);
    for (const ReportColumn& c : m_in.columns)
        generated << columnFields(c);
    const QString totalText = totalFields();
    if (!totalText.isEmpty())
        generated << totalText;

    const QString slashes(55, QLatin1Char('/'));
    QStringList L;
    L << QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1250\" ?>") << QStringLiteral("<Reports>")
      << QStringLiteral("<!--") << slashes << QStringLiteral("//") << QStringLiteral("// VSReport Report Definition File")
      << QStringLiteral("//") << QStringLiteral("// This file contains the following reports:")
      << QStringLiteral("//   1) BROWSE") << QStringLiteral("//") << slashes << QStringLiteral("-->") << QString();
    L << QStringLiteral("<!-- Report *** BROWSE *** -->") << QStringLiteral("<Report>")
      << QStringLiteral("    <Name>BROWSE</Name>");
    L << QStringLiteral("    <DataSource>") << QStringLiteral("      <ConnectionString></ConnectionString>")
      << QStringLiteral("      <RecordSource>BROWSE</RecordSource>") << QStringLiteral("    </DataSource>");
    L << QStringLiteral("        <Layout>") << el(10, "Width", w) << el(10, "MarginLeft", 500)
      << el(10, "MarginTop", 500) << el(10, "MarginRight", 1000) << el(10, "MarginBottom", 500)
      << el(10, "Orientation", o) << el(10, "PaperSize", o) << QStringLiteral("        </Layout>");
    L << QStringLiteral("    <Font>") << QStringLiteral("      <Name>Tahoma</Name>") << QStringLiteral("    </Font>");

    L << QStringLiteral("    <Groups>");
    for (int i = 0; i < groups; ++i)
        L << QStringLiteral("      <Group>") << el(8, "Name", QStringLiteral("Group ") % n(i + 1))
          << el(8, "GroupBy", m_in.groups.at(i).groupBy()) << QStringLiteral("      </Group>");
    L << QStringLiteral("    </Groups>");

    auto section = [&L](const QString& name, int type, long height, bool visible) {
        L << QStringLiteral("      <Section>") << el(8, "Name", name) << el(8, "Type", type);
        if (height > 0)
            L << el(8, "Height", height);
        if (!visible)
            L << QStringLiteral("        <Visible>0</Visible>");
        L << QStringLiteral("      </Section>");
    };
    const bool total = needGroupFooter(m_in.columns, kTotalLevel);
    L << QStringLiteral("    <Sections>");
    section(QStringLiteral("Detail"), 0, 195, !m_in.detailInvisible);
    section(QStringLiteral("Header"), 1, 900, true);
    section(QStringLiteral("Footer"), 2, total ? 500 : 0, total);
    section(QStringLiteral("Page Header"), 3, pageHeader, true);
    section(QStringLiteral("Page Footer"), 4, 495, true);
    for (int i = 0; i < groups; ++i) {
        const int level = i + 1;
        const bool innermost = i == groups - 1;
        section(QStringLiteral("Group ") % n(level) % QStringLiteral(" Header"), 3 + 2 * level, 195,
                !(m_in.detailInvisible && innermost));
        section(QStringLiteral("Group ") % n(level) % QStringLiteral(" Footer"), 4 + 2 * level, 195,
                groupFooterVisible(i));
    }
    L << QStringLiteral("    </Sections>");

    const QString font = QStringLiteral("        <Font>");
    const QString fontEnd = QStringLiteral("        </Font>");
    const QString fieldStart = QStringLiteral("      <Field>");
    const QString fieldEnd = QStringLiteral("      </Field>");
    auto frame = [&](const QStringList& lines) { L << fieldStart << lines << fieldEnd; };

    L << QStringLiteral("    <Fields>");
    frame({field(QStringLiteral("report_name")), el(8, "Section", 1), el(8, "Text", QStringLiteral("#report_name#")),
           el(8, "Top", 5), el(8, "Width", w), el(8, "Height", 600), el(8, "Align", 8), font,
           QStringLiteral("          <Size>15,75</Size>"), QStringLiteral("          <Bold>-1</Bold>"), fontEnd});
    frame({field(QStringLiteral("FooterRight")), el(8, "Section", 4),
           el(8, "Text",
              escapeXml(quoted(m_texts.pageCaption + QLatin1Char(' ')) % QStringLiteral("& [Pages] & ")
                        % quoted(QStringLiteral(" / ")) % QStringLiteral(" & [Page]"))),
           el(8, "Calculated", -1), el(8, "Top", 90), el(8, "Width", 4512), el(8, "Height", 210), el(8, "Align", 6)});
    frame({field(QStringLiteral("DivLine1")), el(8, "Section", 3), el(8, "Top", pageHeader), el(8, "Width", w),
           el(8, "Height", 30), el(8, "BackStyle", 1), el(8, "BackColor", 0), font,
           QStringLiteral("          <Name>Tahoma</Name>"), QStringLiteral("          <Size>8</Size>"), fontEnd});
    L << (generated.isEmpty() ? QString() : generated.join(QStringLiteral("\r\n")));
    frame({field(QStringLiteral("Line")), el(8, "Section", 1), el(8, "Top", 570), el(8, "Width", w),
           el(8, "BorderStyle", 1), el(8, "LineSlant", 2)});
    frame({field(QStringLiteral("Line1")), el(8, "Section", 1), el(8, "Top", 615), el(8, "Width", w),
           el(8, "BorderStyle", 1), el(8, "LineSlant", 2)});
    frame({field(QStringLiteral("copy_right")), el(8, "Section", 4), el(8, "Text", escapeXml(m_texts.rightsNotice)),
           el(8, "Left", w - 3750), el(8, "Top", 285), el(8, "Width", 3750), el(8, "Height", 210), el(8, "Align", 8)});
    frame({field(QStringLiteral("printed_date")), el(8, "Section", 4),
           el(8, "Text",
              escapeXml(quoted(m_texts.printedCaption + QStringLiteral("  ")) % QStringLiteral("& CStr(Date) & ")
                        % quoted(QString()) % QStringLiteral(" & CStr(Time)"))),
           el(8, "Calculated", -1), el(8, "Left", w - 3750), el(8, "Top", 90), el(8, "Width", 3750),
           el(8, "Height", 210), el(8, "Align", 8)});
    frame({field(QStringLiteral("Line2")), el(8, "Section", 4), el(8, "Width", w), el(8, "BorderStyle", 1),
           el(8, "LineSlant", 2)});
    frame({field(QStringLiteral("Line3")), el(8, "Section", 4), el(8, "Top", 30), el(8, "Width", w),
           el(8, "BorderStyle", 1), el(8, "LineSlant", 2)});
    frame({field(QStringLiteral("Label2")), el(8, "Section", 1), el(8, "Text", escapeXml(m_texts.filterCaption)),
           el(8, "Top", 660), el(8, "Width", 1155), el(8, "Height", 210), el(8, "Align", 6), font,
           QStringLiteral("           <Size>8,25</Size>"), QStringLiteral("           <Bold>-1</Bold>"), fontEnd});
    frame({field(QStringLiteral("filter_string")), el(8, "Section", 1), el(8, "Left", 1140), el(8, "Top", 660),
           el(8, "Width", w - 1140), el(8, "Height", 210), el(8, "Align", 6), el(8, "WordWrap", -1),
           el(8, "CanGrow", -1)});
    frame({field(QStringLiteral("Line4")), el(8, "Section", 3), el(8, "Width", w), el(8, "BorderStyle", 1),
           el(8, "LineSlant", 2)});
    frame({field(QStringLiteral("sub_report_name")), el(8, "Section", 3),
           el(8, "Text", QStringLiteral("#report_name#")), el(8, "Width", w), el(8, "Height", 300), el(8, "Align", 8),
           el(8, "WordWrap", 0), font, QStringLiteral("           <Bold>-1</Bold>"), fontEnd});
    frame({field(QStringLiteral("sub_report_line")), el(8, "Section", 3), el(8, "Top", 285), el(8, "Width", w),
           el(8, "Height", 30), el(8, "BackStyle", 1), el(8, "BackColor", 0), font,
           QStringLiteral("           <Name>Tahoma</Name>"), fontEnd});
    L << QStringLiteral("    </Fields>") << QStringLiteral("  </Report>") << QStringLiteral("</Reports>");
    return L.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString escapeXml(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        switch (ch.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            continue;
        case '<':
            out += QStringLiteral("&lt;");
            continue;
        case '>':
            out += QStringLiteral("&gt;");
            continue;
        case '\t':
        case '\n':
        case '\r':
            out += ch;
            continue;
        default:
            break;
        }
        // A caption may carry anything a user typed or pasted; characters
        // XML cannot hold, not even as a reference, would make the whole file
        // unreadable, so they are left out.
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += ch;
            out += text.at(++i);
            continue;
        }
        if (ch.unicode() < 0x20 || ch.isSurrogate() || ch.unicode() == 0xFFFE || ch.unicode() == 0xFFFF)
            continue;
        out += ch;
    }
    return out;
}

namespace {

// Unicode code point -> windows-1250 byte, for every byte the code page
// defines.
const QHash<char32_t, char>& windows1250Table()
{
    static const QHash<char32_t, char> table = [] {
        QHash<char32_t, char> t;
        QStringDecoder decoder("windows-1250");
        QStringEncoder encoder("windows-1250");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString decoded = decoder.decode(QByteArrayView(&byte, 1));
            if (decoded.size() != 1 || decoded.at(0) == QChar::ReplacementCharacter)
                continue;
            const QByteArray back = encoder.encode(decoded);
            if (back.size() == 1 && back.at(0) == byte)
                t.insert(decoded.at(0).unicode(), byte);
        }
        return t;
    }();
    return table;
}

}  // namespace

QByteArray encodeWindows1250(const QString& text)
{
    const QHash<char32_t, char>& table = windows1250Table();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text.at(i).unicode();
        if (cp < 0x80) {
            out += char(cp);
            continue;
        }
        if (QChar::isHighSurrogate(cp) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        const auto it = table.constFind(cp);
        if (it != table.constEnd())
            out += *it;
        else
            out += "&#" + QByteArray::number(quint32(cp)) + ';';
    }
    return out;
}

}  // namespace lg::report
