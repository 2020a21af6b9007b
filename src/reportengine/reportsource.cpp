#include "reportengine/reportsource.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QStringDecoder>
#include <QtCore/QXmlStreamReader>

namespace lg::reportengine {

using namespace Qt::StringLiterals;

const SectionDef* ReportSource::section(int type) const
{
    for (const SectionDef& s : sections)
        if (s.type == type)
            return &s;
    return nullptr;
}

bool ReportSource::sectionVisible(int type) const
{
    const SectionDef* s = section(type);
    return s && s->visible;
}

namespace {

// Thrown inside the reader; carries the message with its line.
struct ParseError {
    QString message;
};

class Reader {
public:
    explicit Reader(const QString& text) : m_xml(text) {}

    void run(ReportSource& out)
    {
        bool seenReport = false;
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (!m_xml.isStartElement() || m_xml.name() == "Reports"_L1)
                continue;  // the children of <Reports> come through this loop too
            if (m_xml.name() == "Report"_L1 && !seenReport) {
                readReport(out);
                seenReport = true;
            } else {
                m_xml.skipCurrentElement();
            }
        }
        checkXml();
        if (!seenReport)
            throw ParseError{u"the file holds no <Report> element"_s};
    }

private:
    [[noreturn]] void fail(const QString& what, qint64 line = -1)
    {
        throw ParseError{u"line %1: %2"_s.arg(line < 0 ? m_xml.lineNumber() : line).arg(what)};
    }

    void checkXml()
    {
        if (m_xml.hasError())
            fail(m_xml.errorString());
    }

    QString text()
    {
        QString t = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
        checkXml();
        return t;
    }

    int integer()
    {
        const qint64 line = m_xml.lineNumber();
        const QString name = m_xml.name().toString();
        const QString t = text().trimmed();
        bool ok = false;
        const int v = t.toInt(&ok);
        if (!ok)
            fail(u"<%1> expects a whole number, not \"%2\""_s.arg(name, t), line);
        return v;
    }

    double decimal()
    {
        const qint64 line = m_xml.lineNumber();
        const QString name = m_xml.name().toString();
        const QString raw = text().trimmed();
        QString t = raw;
        t.replace(u',', u'.');
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok || v < 0)
            fail(u"<%1> expects a number, not \"%2\""_s.arg(name, raw), line);
        return v;
    }

    bool flag() { return integer() != 0; }

    // Colours come as decimal numbers or as &H..& hexadecimal.
    quint32 colour()
    {
        const qint64 line = m_xml.lineNumber();
        QString t = text().trimmed();
        bool ok = false;
        quint32 v = 0;
        if (t.startsWith("&H"_L1, Qt::CaseInsensitive)) {
            t = t.mid(2);
            if (t.endsWith(u'&'))
                t.chop(1);
            v = t.toUInt(&ok, 16);
        } else {
            v = static_cast<quint32>(t.toLongLong(&ok));
        }
        if (!ok)
            fail(u"not a colour: \"%1\""_s.arg(t), line);
        return v & 0xFFFFFF;
    }

    void readFont(FontSpec& f)
    {
        while (m_xml.readNextStartElement()) {
            const auto n = m_xml.name();
            if (n == "Name"_L1)
                f.name = text().trimmed();
            else if (n == "Size"_L1)
                f.size = decimal();
            else if (n == "Bold"_L1)
                f.bold = flag();
            else if (n == "Italic"_L1)
                f.italic = flag();
            else if (n == "Underline"_L1)
                f.underline = flag();
            else
                m_xml.skipCurrentElement();
        }
        checkXml();
    }

    void readReport(ReportSource& r)
    {
        while (m_xml.readNextStartElement()) {
            const auto n = m_xml.name();
            if (n == "Name"_L1) {
                r.name = text();
            } else if (n == "DataSource"_L1) {
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() == "ConnectionString"_L1)
                        r.connectionString = text();
                    else if (m_xml.name() == "RecordSource"_L1)
                        r.recordSource = text();
                    else
                        m_xml.skipCurrentElement();
                }
            } else if (n == "Layout"_L1) {
                readLayout(r.layout);
            } else if (n == "Font"_L1) {
                readFont(r.font);
            } else if (n == "Groups"_L1) {
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() == "Group"_L1)
                        r.groups.append(readGroup());
                    else
                        m_xml.skipCurrentElement();
                }
            } else if (n == "Sections"_L1) {
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() == "Section"_L1)
                        r.sections.append(readSection());
                    else
                        m_xml.skipCurrentElement();
                }
            } else if (n == "Fields"_L1) {
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() == "Field"_L1)
                        r.fields.append(readField());
                    else
                        m_xml.skipCurrentElement();
                }
            } else {
                m_xml.skipCurrentElement();
            }
            checkXml();
        }
        checkXml();
    }

    void readLayout(PageLayout& l)
    {
        while (m_xml.readNextStartElement()) {
            const auto n = m_xml.name();
            if (n == "Width"_L1)
                l.width = integer();
            else if (n == "MarginLeft"_L1)
                l.marginLeft = integer();
            else if (n == "MarginTop"_L1)
                l.marginTop = integer();
            else if (n == "MarginRight"_L1)
                l.marginRight = integer();
            else if (n == "MarginBottom"_L1)
                l.marginBottom = integer();
            else if (n == "Orientation"_L1)
                l.orientation = integer();
            else if (n == "PaperSize"_L1)
                l.paperSize = integer();
            else
                m_xml.skipCurrentElement();
        }
        if (l.width <= 0)
            fail(u"the layout width must be positive"_s);
    }

    GroupDef readGroup()
    {
        const qint64 line = m_xml.lineNumber();
        GroupDef g;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == "Name"_L1)
                g.name = text();
            else if (m_xml.name() == "GroupBy"_L1)
                g.groupBy = text().trimmed();
            else
                m_xml.skipCurrentElement();
        }
        checkXml();
        if (g.groupBy.isEmpty())
            fail(u"group \"%1\" has no <GroupBy>"_s.arg(g.name), line);
        return g;
    }

    SectionDef readSection()
    {
        const qint64 line = m_xml.lineNumber();
        SectionDef s;
        while (m_xml.readNextStartElement()) {
            const auto n = m_xml.name();
            if (n == "Name"_L1)
                s.name = text();
            else if (n == "Type"_L1)
                s.type = integer();
            else if (n == "Height"_L1)
                s.height = integer();
            else if (n == "Visible"_L1)
                s.visible = flag();
            else
                m_xml.skipCurrentElement();
        }
        checkXml();
        if (s.type < 0 || s.height < 0)
            fail(u"section \"%1\" has a negative type or height"_s.arg(s.name), line);
        return s;
    }

    FieldDef readField()
    {
        FieldDef f;
        f.line = static_cast<int>(m_xml.lineNumber());
        bool hasSection = false;
        while (m_xml.readNextStartElement()) {
            const auto n = m_xml.name();
            if (n == "Name"_L1) {
                f.name = text();
            } else if (n == "Section"_L1) {
                f.section = integer();
                hasSection = true;
            } else if (n == "Text"_L1) {
                f.text = text();
            } else if (n == "Calculated"_L1) {
                f.calculated = flag();
            } else if (n == "Left"_L1) {
                f.left = integer();
            } else if (n == "Top"_L1) {
                f.top = integer();
            } else if (n == "Width"_L1) {
                f.width = integer();
            } else if (n == "Height"_L1) {
                f.height = integer();
            } else if (n == "Align"_L1) {
                f.align = integer();
            } else if (n == "Format"_L1) {
                f.format = text();
            } else if (n == "CheckBox"_L1) {
                f.checkBox = flag();
            } else if (n == "CanGrow"_L1) {
                f.canGrow = flag();
            } else if (n == "WordWrap"_L1) {
                f.wordWrap = flag();
            } else if (n == "Visible"_L1) {
                f.visible = flag();
            } else if (n == "BorderStyle"_L1) {
                f.borderStyle = integer();
            } else if (n == "LineSlant"_L1) {
                f.lineSlant = integer();
            } else if (n == "BackStyle"_L1) {
                f.backStyle = integer();
            } else if (n == "BackColor"_L1) {
                f.backColor = colour();
            } else if (n == "ForeColor"_L1) {
                f.foreColor = colour();
            } else if (n == "Font"_L1) {
                readFont(f.font);
            } else {
                m_xml.skipCurrentElement();
            }
        }
        checkXml();
        if (!hasSection)
            fail(u"field \"%1\" has no <Section>"_s.arg(f.name), f.line);
        if (f.width < 0 || f.height < 0)
            fail(u"field \"%1\" has a negative size"_s.arg(f.name), f.line);
        return f;
    }

    QXmlStreamReader m_xml;
};

QByteArray declaredEncoding(const QByteArray& bytes)
{
    static const QRegularExpression decl(uR"(^\s*<\?xml[^>]*encoding\s*=\s*["']([A-Za-z0-9._-]+)["'])"_s);
    const auto m = decl.match(QString::fromLatin1(bytes.left(256)));
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

}  // namespace

bool parseReportSource(const QByteArray& bytes, ReportSource& out, QString& error)
{
    QByteArray encoding = declaredEncoding(bytes);
    if (encoding.isEmpty())
        encoding = bytes.startsWith("\xEF\xBB\xBF") ? "UTF-8" : "windows-1250";
    QStringDecoder decoder(encoding.constData());
    if (!decoder.isValid()) {
        error = u"line 1: unknown encoding \"%1\""_s.arg(QString::fromLatin1(encoding));
        return false;
    }
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        error = u"the file is not valid %1 text"_s.arg(QString::fromLatin1(encoding));
        return false;
    }
    // The text is decoded already: the XML reader must not decode it again.
    static const QRegularExpression declEncoding(uR"(^(\s*<\?xml[^>]*?)\sencoding\s*=\s*["'][^"']*["'])"_s);
    text.replace(declEncoding, u"\\1"_s);
    ReportSource parsed;
    try {
        Reader(text).run(parsed);
    } catch (const ParseError& e) {
        error = e.message;
        return false;
    }
    out = std::move(parsed);
    error.clear();
    return true;
}

bool loadReportSource(const QString& path, ReportSource& out, QString& error)
{
    QFile f(path);
    if (!f.exists()) {
        error = u"the report file does not exist: %1"_s.arg(path);
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        error = u"the report file cannot be read: %1 (%2)"_s.arg(path, f.errorString());
        return false;
    }
    if (!parseReportSource(f.readAll(), out, error)) {
        error = path + u": "_s + error;
        return false;
    }
    return true;
}

void paperSizeTwips(int code, int& width, int& height)
{
    switch (code) {
    case 8:  // A3
        width = 16838;
        height = 23811;
        break;
    case 11:  // A5
        width = 8391;
        height = 11906;
        break;
    case 5:  // Legal
        width = 12240;
        height = 20160;
        break;
    default:  // A4
        width = 11906;
        height = 16838;
        break;
    }
}

}  // namespace lg::reportengine
