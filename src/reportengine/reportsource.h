#pragma once

// The report source: the XML file that describes one report (page frame,
// groups, sections and fields). Reading it yields plain data; nothing here
// draws or touches a database.
//
// Measures are twips (1/1440 inch) throughout.

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QString>

namespace lg::reportengine {

// Section types as the source numbers them. Group n (counted from 1) has its
// header at 3 + 2n and its footer at 4 + 2n.
enum SectionType : int {
    stDetail = 0,
    stReportHeader = 1,
    stReportFooter = 2,
    stPageHeader = 3,
    stPageFooter = 4,
};
inline int groupHeaderType(int level) { return 3 + 2 * level; }
inline int groupFooterType(int level) { return 4 + 2 * level; }

struct FontSpec {
    QString name;      // empty: the report's font
    double size = 0;   // points; 0: the report's size
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct FieldDef {
    QString name;
    int section = 0;
    QString text;
    bool calculated = false;
    int left = 0, top = 0, width = 0, height = 0;
    int align = 6;  // 0..8: row = vertical (top, middle, bottom), column = horizontal (left, centre, right)
    QString format;
    bool checkBox = false;
    bool canGrow = false;
    bool wordWrap = true;  // growing text wraps unless the source says <WordWrap>0</WordWrap>
    bool visible = true;
    int borderStyle = 0;  // 0 none; otherwise a solid line
    int lineSlant = 0;    // 0 no line; 1 top-left to bottom-right; 2 bottom-left to top-right
    int backStyle = 0;    // 1: filled with backColor
    quint32 backColor = 0xFFFFFF;  // 0x00BBGGRR
    quint32 foreColor = 0;
    FontSpec font;
    int line = 0;  // line of the <Field> element in the file (for messages)

    bool isLine() const { return lineSlant != 0 && borderStyle != 0; }
};

struct SectionDef {
    QString name;
    int type = 0;
    int height = 0;
    bool visible = true;
};

struct GroupDef {
    QString name;
    QString groupBy;  // a column name of the data source
};

struct PageLayout {
    int width = 10875;  // usable width
    int marginLeft = 500;
    int marginTop = 500;
    int marginRight = 1000;
    int marginBottom = 500;
    int orientation = 1;  // 1 portrait, 2 landscape
    int paperSize = 9;
};

struct ReportSource {
    QString name;
    QString connectionString;
    QString recordSource;
    PageLayout layout;
    FontSpec font;  // the report's default font
    QList<GroupDef> groups;
    QList<SectionDef> sections;
    QList<FieldDef> fields;

    const SectionDef* section(int type) const;  // nullptr when the source has none
    bool sectionVisible(int type) const;         // present and visible
};

// Reads a report source. The bytes are taken in the encoding that the XML
// declaration names (windows-1250 when it names none). Returns false and a
// message naming the line for a file that is not a well-formed report source.
bool parseReportSource(const QByteArray& bytes, ReportSource& out, QString& error);
bool loadReportSource(const QString& path, ReportSource& out, QString& error);

// The Windows paper size code as a page size in twips (portrait). Codes the
// engine does not know, and 1/2 (which the generator writes as a copy of the
// orientation), give A4.
void paperSizeTwips(int code, int& width, int& height);

}  // namespace lg::reportengine
