#pragma once

// Display formats of report fields: number patterns ("#,##0.00", "0", "###")
// and date patterns ("yyyy.mm.dd") as the field catalogue writes them, shown
// the Hungarian way (decimal comma, non-breaking blank between thousands).

#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <memory>

namespace lg::reportengine {

bool isNumber(const QVariant& v);
bool isDateValue(const QVariant& v);
QDateTime toDateTime(const QVariant& v);

// The text of a value without a format, as CStr shows it.
QString plainText(const QVariant& v);

// The text of `v` in `format`; an empty format gives plainText(v). Null gives "".
QString formatValue(const QVariant& v, const QString& format);

// A format read once and applied to many values (a report field shows the
// same format on every row). apply() gives what formatValue() gives.
class ValueFormat {
public:
    ValueFormat();
    explicit ValueFormat(const QString& format);
    ~ValueFormat();
    ValueFormat(const ValueFormat&);
    ValueFormat& operator=(const ValueFormat&);

    QString apply(const QVariant& v) const;
    const QString& text() const { return m_text; }

    struct Parsed;

private:
    QString m_text;
    std::shared_ptr<const Parsed> m_parsed;  // null for the empty format
};

// True when the value counts as "true" for a check box: non-zero numbers,
// true Booleans, "true"/"-1" texts.
bool isTruthy(const QVariant& v);

}  // namespace lg::reportengine
