// What a user types into a date or number box. A date that comes out is a
// real date and reads the same from its own normal form; a number comes out
// as SQL that is a plain decimal literal.

#include "fuzzer.h"

#include "filters/typedinput.h"

#include <QtCore/QRegularExpression>

using lg::filters::TypedInput;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1024)
        return 0;
    const QString typed = lg::fuzz::text(data, size);

    const QString normal = TypedInput::normaliseDateText(typed);
    const auto date = TypedInput::parseDate(typed);
    if (date) {
        lg::fuzz::check(date->isValid(), "parseDate gave an invalid date", typed);
        const auto again = TypedInput::parseDate(normal);
        lg::fuzz::check(again && *again == *date, "the normal form reads as another date",
                        typed + QStringLiteral(" => ") + normal);
    }

    if (const auto number = TypedInput::parseNumber(typed)) {
        static const QRegularExpression literal(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?$"));
        lg::fuzz::check(literal.match(*number).hasMatch(), "parseNumber gave no decimal literal",
                        typed + QStringLiteral(" => ") + *number);
    }
    return 0;
}
