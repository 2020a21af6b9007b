#include "jeterrors.h"

namespace lg::jetsql {

long jetErrorNumber(const QString& message)
{
    struct Known {
        const char* text;
        long number;
    };
    static const Known exact[] = {
        {kMsgInvalidCall, jeterr::InvalidCall},
        {kMsgOverflow, jeterr::Overflow},
        {kMsgDivisionByZero, jeterr::DivisionByZero},
        {kMsgTypeMismatch, jeterr::CriteriaTypeMismatch},
        {kMsgAtMostOneRecord, jeterr::AtMostOneRecord},
        {kMsgQueryTooComplex, jeterr::QueryTooComplex},
        // The engine's own limits on how deep a statement may nest.
        {"parser stack overflow", jeterr::QueryTooComplex},
    };
    for (const Known& k : exact)
        if (message == QLatin1String(k.text))
            return k.number;
    if (message.startsWith(QLatin1String("Expression tree is too large")))
        return jeterr::QueryTooComplex;
    if (message.startsWith(QLatin1String(kMsgFieldTooSmallStart)) &&
        message.contains(QLatin1String(kMsgFieldTooSmallEnd)))
        return jeterr::FieldTooSmall;
    if (message.startsWith(QLatin1String(kMsgConversionStart)))
        return jeterr::ConversionError;
    return 0;
}

}  // namespace lg::jetsql
