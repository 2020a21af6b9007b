#include "jetdate.h"

namespace lg::jetsql {

QString toCanonicalDate(const QDateTime& value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<QDateTime> fromCanonicalDate(QStringView text)
{
    QDateTime d = QDateTime::fromString(text.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!d.isValid())
        return std::nullopt;
    return d;
}

}  // namespace lg::jetsql
