#include "filters/queryfilter.h"

#include "platform/strings.h"

namespace lg::filters {

QString WhereCollection::filter(int index) const
{
    return index >= 1 && index <= filters.size() ? filters.at(index - 1) : QString();
}

void WhereCollection::add(const QString& sql, const QString& filterText, const QString& descriptionText)
{
    if (counter > 0) {
        where += QStringLiteral(" AND ");
        description += LoadResString(30002);
    }
    where += sql;
    description += descriptionText;
    ++counter;
    while (filters.size() < counter)
        filters.append(QString());
    filters[counter - 1] = filterText;
}

QueryFilter::QueryFilter(QObject* parent) : QObject(parent) {}

QueryFilter::~QueryFilter() = default;

void QueryFilter::setQueryField(const QString& field)
{
    if (field == m_queryField)
        return;
    m_queryField = field;
    Q_EMIT queryFieldChanged(field);
    build();
}

void QueryFilter::setQueryFieldDescription(const QString& description)
{
    if (description == m_queryFieldDescription)
        return;
    m_queryFieldDescription = description;
    Q_EMIT queryFieldDescriptionChanged(description);
    build();
}

void QueryFilter::setQueryCheckValue(int value)
{
    value = value ? 1 : 0;
    if (value == m_queryCheckValue)
        return;
    m_queryCheckValue = value;
    Q_EMIT queryCheckValueChanged(value);
    activationChanged();
    build();
}

void QueryFilter::setQueryCheckVisible(bool visible)
{
    if (visible == m_queryCheckVisible)
        return;
    m_queryCheckVisible = visible;
    Q_EMIT queryCheckVisibleChanged(visible);
    build();
}

bool QueryFilter::collectWhereAndFilter(WhereCollection& collection)
{
    build();
    if (m_sql.isEmpty())
        return false;
    collection.add(m_sql, m_filter, m_description);
    return true;
}

bool QueryFilter::createExtendedSQLTag(WhereCollection&)
{
    return false;
}

void QueryFilter::initDesignProperties()
{
    lg::initProperties(this, designProperties());
}

void QueryFilter::readDesignProperties(const PropertyBag& bag)
{
    lg::readProperties(this, bag, designProperties());
}

void QueryFilter::writeDesignProperties(PropertyBag& bag) const
{
    lg::writeProperties(this, bag, designProperties());
}

void QueryFilter::restoreQueryResultSQL(const QString& sql)
{
    if (sql == m_sql)
        return;
    m_sql = sql;
    Q_EMIT resultsChanged();
}

void QueryFilter::restoreQueryResultDescription(const QString& description)
{
    if (description == m_description)
        return;
    m_description = description;
    Q_EMIT resultsChanged();
}

void QueryFilter::setResults(const QString& sql, const QString& filter, const QString& description)
{
    if (sql == m_sql && filter == m_filter && description == m_description)
        return;
    m_sql = sql;
    m_filter = filter;
    m_description = description;
    Q_EMIT resultsChanged();
}

int CollectWhereAndFilter(const QList<QueryFilter*>& filters, WhereCollection& collection)
{
    int added = 0;
    for (QueryFilter* filter : filters) {
        if (filter && filter->collectWhereAndFilter(collection))
            ++added;
    }
    return added;
}

QString withoutControlCharacters(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || c.category() == QChar::Other_Format)
            continue;
        result.append(c);
    }
    return result;
}

QString sqlQuoted(const QString& text)
{
    QString result = withoutControlCharacters(text);
    result.replace(QLatin1Char('\''), QLatin1String("''"));
    return result;
}

}  // namespace lg::filters
