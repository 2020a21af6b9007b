#include "filters/listboxfiltermodel.h"

#include "platform/strings.h"

namespace lg::filters {

ListBoxFilterModel::ListBoxFilterModel(Keys keys, QObject* parent) : QueryFilter(parent), m_keys(keys) {}

ListBoxFilterModel::~ListBoxFilterModel() = default;

void ListBoxFilterModel::addFilterItem(const QString& text, qint32 id)
{
    m_items.append({id, text, m_listItemChecked});
    Q_EMIT itemsChanged();
    if (m_listItemChecked)
        Q_EMIT selectionChanged();
    if (m_current < 0)
        setCurrentIndex(0);
}

void ListBoxFilterModel::removeFilterItem()
{
    if (m_items.isEmpty())
        return;
    m_items.clear();
    Q_EMIT itemsChanged();
    Q_EMIT selectionChanged();
    setCurrentIndex(-1);
}

bool ListBoxFilterModel::selectItem(qint32 id)
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).id == id) {
            setSelected(i, true);
            return true;
        }
    }
    return false;
}

void ListBoxFilterModel::selectFirstFilterItem()
{
    if (!m_items.isEmpty()) {
        setSelected(0, true);
        setCurrentIndex(0);
    }
}

void ListBoxFilterModel::setSelected(int index, bool selected)
{
    if (index < 0 || index >= m_items.size() || m_items.at(index).selected == selected)
        return;
    m_items[index].selected = selected;
    Q_EMIT selectionChanged();
}

bool ListBoxFilterModel::isSelected(int index) const
{
    return index >= 0 && index < m_items.size() && m_items.at(index).selected;
}

int ListBoxFilterModel::selectedCount() const
{
    int n = 0;
    for (const FilterItem& item : m_items)
        n += item.selected ? 1 : 0;
    return n;
}

void ListBoxFilterModel::setCurrentIndex(int index)
{
    if (index < -1 || index >= m_items.size())
        return;
    if (index == m_current)
        return;
    m_current = index;
    Q_EMIT currentIndexChanged(index);
}

QString ListBoxFilterModel::filterText() const
{
    return m_current >= 0 && m_current < m_items.size() ? m_items.at(m_current).text : QString();
}

void ListBoxFilterModel::setListItemChecked(bool checked)
{
    if (checked == m_listItemChecked)
        return;
    m_listItemChecked = checked;
    Q_EMIT listItemCheckedChanged(checked);
}

void ListBoxFilterModel::setPrimaryKeyFiled(const QString& field)
{
    if (field == m_primaryKeyFiled)
        return;
    m_primaryKeyFiled = field;
    Q_EMIT primaryKeyFiledChanged(field);
}

void ListBoxFilterModel::activationChanged()
{
    Q_EMIT checkChange(queryCheckValue());
}

void ListBoxFilterModel::build()
{
    if ((queryCheckVisible() && !isActive()) || selectedCount() == 0) {
        m_ids.clear();
        clearResults();
        return;
    }
    QStringList keys;
    QStringList texts;
    for (const FilterItem& item : m_items) {
        if (!item.selected)
            continue;
        if (m_keys == Keys::Numeric)
            keys.append(QString::number(item.id));
        else
            keys.append(u'\'' + sqlQuoted(item.text) + u'\'');
        texts.append(item.text);
    }
    const QString ids = keys.join(u',');
    QString tag = QStringLiteral("( ") + ids + QStringLiteral(" )");
    QString valueText = texts.join(QStringLiteral(", "));
    Q_EMIT filterCreateSQLTag(m_current, filterText(), &tag, &valueText);
    m_ids = ids;
    const QString filter = queryFieldDescription() + u' ' + valueText;
    setResults(QStringLiteral("( ") + queryField() + QStringLiteral(" IN ") + tag + QStringLiteral(" )"), filter,
               u'(' + filter + u')');
}

void ListBoxFilterModel::setFilterDefault()
{
    setQueryCheckValue(0);
    setQueryField(QString());
    setQueryFieldDescription(QString());
    removeFilterItem();
    m_ids.clear();
    clearResults();
}

std::span<const PersistedProperty> ListBoxFilterModel::designProperties() const
{
    static const PersistedProperty table[] = {
        {"QueryField", QString()},
        {"QueryFieldDescription", QString()},
        {"QueryCheckVisible", true},
        {"ListItemChecked", false},
        {"PrimaryKeyFiled", QString()},
        {"QueryResultSQL", QString()},
        {"QueryResultDescription", QString()},
    };
    return table;
}

}  // namespace lg::filters
