#include "jettypes.h"

namespace lg::jetsql {

QString sqliteDeclaredType(JetType type, int size)
{
    switch (type) {
    case JetType::Long:
        return QStringLiteral("LONG");
    case JetType::Integer:
        return QStringLiteral("SHORT");
    case JetType::Text:
        return QStringLiteral("TEXT(%1)").arg(size > 0 ? size : 255);
    case JetType::Memo:
        return QStringLiteral("LONGTEXT");
    case JetType::DateTime:
        return QStringLiteral("DATETIME");
    case JetType::YesNo:
        return QStringLiteral("YESNO");
    case JetType::Double:
        return QStringLiteral("DOUBLE");
    case JetType::Currency:
        return QStringLiteral("CURRENCY");
    case JetType::Counter:
        return QStringLiteral("COUNTER");
    case JetType::Unknown:
        break;
    }
    return {};
}

JetType jetTypeFromDeclared(QStringView declared)
{
    QString t = declared.trimmed().toString().toUpper();
    const qsizetype paren = t.indexOf(QLatin1Char('('));
    if (paren >= 0)
        t = t.left(paren).trimmed();
    if (t == QLatin1String("LONG") || t == QLatin1String("INTEGER") || t == QLatin1String("INT"))
        return JetType::Long;
    if (t == QLatin1String("SHORT") || t == QLatin1String("SMALLINT") || t == QLatin1String("BYTE"))
        return JetType::Integer;
    if (t == QLatin1String("TEXT") || t == QLatin1String("VARCHAR") || t == QLatin1String("CHAR"))
        return JetType::Text;
    if (t == QLatin1String("LONGTEXT") || t == QLatin1String("MEMO"))
        return JetType::Memo;
    if (t == QLatin1String("DATETIME") || t == QLatin1String("DATE"))
        return JetType::DateTime;
    if (t == QLatin1String("YESNO") || t == QLatin1String("BIT"))
        return JetType::YesNo;
    if (t == QLatin1String("DOUBLE") || t == QLatin1String("REAL") || t == QLatin1String("FLOAT") ||
        t == QLatin1String("DECIMAL"))
        return JetType::Double;
    if (t == QLatin1String("CURRENCY"))
        return JetType::Currency;
    if (t == QLatin1String("COUNTER"))
        return JetType::Counter;
    return JetType::Unknown;
}

}  // namespace lg::jetsql
