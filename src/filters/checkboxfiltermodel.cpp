#include "filters/checkboxfiltermodel.h"

#include "platform/strings.h"

namespace lg::filters {

CheckBoxFilterModel::CheckBoxFilterModel(QObject* parent) : QueryFilter(parent)
{
    setQueryCheckVisible(false);  // the check box is the filter itself
}

CheckBoxFilterModel::~CheckBoxFilterModel() = default;

void CheckBoxFilterModel::setQueryFieldCheckedValue(const QString& value)
{
    if (value == m_checkedValue)
        return;
    m_checkedValue = value;
    Q_EMIT queryFieldCheckedValueChanged(value);
    build();
}

void CheckBoxFilterModel::setNotPictureVisible(bool visible)
{
    if (visible == m_notPictureVisible)
        return;
    m_notPictureVisible = visible;
    Q_EMIT notPictureVisibleChanged(visible);
    build();
}

void CheckBoxFilterModel::setNotPictureValue(int value)
{
    if (value != 0 && value != 1)
        return;
    m_notValue = value;
    Q_EMIT notValueChange(value);
    build();
}

void CheckBoxFilterModel::build()
{
    if (!isActive()) {
        clearResults();
        return;
    }
    const QString field = queryField().toUpper();
    QString sql;
    QString valueText;
    if (m_notPictureVisible) {
        const bool negated = m_notValue == 1;
        sql = QStringLiteral("( ") + field + (negated ? QStringLiteral("= 0)") : QStringLiteral("= -1)"));
        valueText = LoadResString(negated ? 30000 : 30001);
    } else {
        sql = QStringLiteral("( ") + field + (m_checkedValue.isEmpty() ? QStringLiteral("= -1") : m_checkedValue) +
              u')';
        valueText = LoadResString(30001);
    }
    const QString filter = QStringLiteral("( ") + queryFieldDescription() + u' ' + valueText + u')';
    setResults(sql, filter, u'(' + filter + u')');
}

void CheckBoxFilterModel::setFilterDefault()
{
    setQueryCheckValue(0);
    setNotPictureValue(0);
    setQueryField(QString());
    setQueryFieldCheckedValue(QString());
    setQueryFieldDescription(QString());
    clearResults();
}

std::span<const PersistedProperty> CheckBoxFilterModel::designProperties() const
{
    static const PersistedProperty table[] = {
        {"QueryField", QString()},
        {"QueryFieldDescription", QString()},
        {"QueryFieldCheckedValue", QString()},
        {"NOTPictureVisible", true},
        {"QueryResultSQL", QString()},
        {"QueryResultDescription", QString()},
    };
    return table;
}

}  // namespace lg::filters
