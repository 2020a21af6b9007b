// Names, captions and formats of a list as an administrator or a user typed
// them, written into a report source: the file is always well formed, the
// reader reads it back, and every caption comes back as it was written
// (less what XML cannot carry at all).

#include "fuzzer.h"

#include "report/reportsource.h"
#include "reportengine/reportsource.h"

#include <QtCore/QList>

namespace {

// Splits the input into pieces at NUL bytes: captions of columns, then of
// groups, then formats.
QStringList pieces(const uint8_t* data, size_t size)
{
    QStringList out;
    for (const QByteArray& part : lg::fuzz::bytes(data, size).split('\0'))
        out << QString::fromUtf8(part);
    return out;
}

// What a caption looks like after a trip through XML: characters XML 1.0
// cannot hold are gone, and a line end is one line feed.
QString carried(const QString& text)
{
    // The writer leaves out what XML cannot carry; the reader then sees the
    // line ends that remain, each as one line feed.
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += text.mid(i, 2);
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF || (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r'))
            continue;
        out += text.at(i);
    }
    return out.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8192)
        return 0;
    const QStringList texts = pieces(data, size);

    using namespace lg::report;
    ReportSourceInput input;
    input.listReportId = 7;
    for (int i = 0; i < texts.size() && i < 12; ++i) {
        ReportColumn c;
        c.alias = QStringLiteral("RF%1").arg(i + 1);
        c.caption = texts.at(i);
        c.dataType = 1 + i % 5;
        c.width = 600 + 100 * i;
        c.format = i + 12 < texts.size() ? texts.at(i + 12) : QString();
        c.aggregates[kTotalLevel] = i % 2 ? 4 : 1;
        c.aggregates[0] = i % 3 ? -1 : 1;
        input.columns << c;
    }
    for (int i = 0; i < 2 && i < texts.size(); ++i)
        input.groups << ReportGroup{QStringLiteral("RG%1").arg(i + 1), QString(), texts.at(texts.size() - 1 - i)};
    input.detailInvisible = size % 2;
    input.page = layoutColumns(input.columns);

    const QByteArray file = encodeWindows1250(ReportSourceWriter(input).text());
    lg::reportengine::ReportSource read;
    QString error;
    if (!lg::reportengine::parseReportSource(file, read, error))
        lg::fuzz::fault("the written report source does not read back", error);

    // The column headings come back in order, each as it was written.
    QStringList headings;
    for (const auto& f : read.fields)
        if (f.name.startsWith(QLatin1String("DESCRIPTION_")))
            headings << f.text;
    lg::fuzz::check(headings.size() == input.columns.size(), "a column heading went missing");
    for (int i = 0; i < headings.size(); ++i)
        lg::fuzz::check(headings.at(i) == carried(input.columns.at(i).caption), "a column heading changed",
                        input.columns.at(i).caption + QStringLiteral(" => ") + headings.at(i));
    return 0;
}
