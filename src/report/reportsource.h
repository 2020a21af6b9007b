#pragma once

// The report-source file of a list: the plain description of its columns and
// groups, the page rules that place the columns, and the writer that turns
// the description into the file's text and bytes.
//
// Lengths are in twips. The file refers to the data by the column aliases of
// the list's statement: RG<id> and RGF<id> for groups, RF<id> for columns.

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QString>

#include <array>

namespace lg::report {

// Aggregate slots of a column: group levels 1 to 10, then the report total.
inline constexpr int kAggregateLevels = 11;
inline constexpr int kTotalLevel = 10;

struct ReportColumn {
    QString alias;    // RF<visible field row id>
    QString caption;  // full or short field name
    int dataType = 4;  // eReportFieldDataType
    long width = 100;
    QString format;
    std::array<long, kAggregateLevels> aggregates{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

    // Filled by layoutColumns().
    long left = 0;
    long right() const { return left + width; }
};

struct ReportGroup {
    QString alias;       // RG<group row id>
    QString groupAlias;  // RGF<group row id> when the field has a separate grouping field, else empty
    QString caption;
    QString groupBy() const { return groupAlias.isEmpty() ? alias : groupAlias; }
};

inline constexpr long kPortraitWidth = 10875;
inline constexpr long kLandscapeWidth = 15825;
inline constexpr long kColumnGap = 20;

struct PageSetup {
    int orientation = 1;  // 1 portrait, 2 landscape
    long width = kPortraitWidth;
};

// Places the columns side by side (20 twips apart, the first at 0), chooses
// the orientation by the last column's right edge and, on a portrait page,
// gives the spare width to the widest text column.
PageSetup layoutColumns(QList<ReportColumn>& columns);

// Alignment code of a data type: 8 numbers, 7 dates and Booleans, 6 text.
int alignmentOf(int dataType);

// True when a column has an aggregate (codes 1 to 5) at `level` (0 to 9 for
// the groups, kTotalLevel for the report total).
bool needGroupFooter(const QList<ReportColumn>& columns, int level);

struct ReportSourceInput {
    long listReportId = 0;
    bool detailInvisible = false;
    QList<ReportColumn> columns;  // laid out
    QList<ReportGroup> groups;
    PageSetup page;
};

// Fixed texts of the page frame (string table 10000 to 10003).
struct FrameTexts {
    QString printedCaption = QStringLiteral("Nyomtatva:");
    QString filterCaption = QStringLiteral("Szűkítések:");
    QString rightsNotice = QStringLiteral("Minden jog fenntartva.");
    QString pageCaption = QStringLiteral("Oldalszám:");
    // From the string table, with the texts above for ids it does not hold.
    static FrameTexts fromStringTable();
};

// Builds the file's text (lines joined by CR LF, with a final CR LF).
class ReportSourceWriter {
public:
    explicit ReportSourceWriter(const ReportSourceInput& input, FrameTexts texts = {});

    // The fields of group `index` (0-based): header caption and value, and
    // the footer's line, label and aggregates when the level has a footer.
    // Takes numbers from the running field counter.
    QString groupFields(int index);
    QString text();

private:
    QString columnFields(const ReportColumn& column);
    QString totalFields();
    QString footerFields(int section, int level, const QString& label, long labelLeft);
    long pageHeaderHeight() const;
    bool groupFooterVisible(int index) const;

    const ReportSourceInput& m_in;
    FrameTexts m_texts;
    int m_counter = 0;
};

// "&", "<" and ">" as entities; characters XML cannot carry at all (control
// characters other than tab and line ends, unpaired surrogates, U+FFFE and
// U+FFFF) are left out.
QString escapeXml(const QString& text);

// windows-1250 bytes of `text`; a character that code page cannot hold is
// written as a decimal character reference (&#NNNN;).
QByteArray encodeWindows1250(const QString& text);

}  // namespace lg::report
