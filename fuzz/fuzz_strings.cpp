// The string-table reader on any file: every entry it keeps has a numeric
// id, appears once, and every line it drops is reported.

#include "fuzzer.h"

#include "platform/strings.h"

#include <QtCore/QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 16384)
        return 0;
    const QString source = lg::fuzz::text(data, size);
    QStringList problems;
    const auto table = lg::strings::parseTable(source, &problems);

    // Count the lines that could hold an entry: each one is kept or reported.
    qsizetype candidates = 0;
    for (QString line : source.split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty() && !t.startsWith(u'#'))
            ++candidates;
    }
    lg::fuzz::check(table.size() + problems.size() == candidates, "a line was neither read nor reported",
                    QStringLiteral("%1 kept, %2 reported, %3 lines").arg(table.size()).arg(problems.size()).arg(candidates));
    return 0;
}
