#include "filters/querycontainermodel.h"

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "store/context.h"

namespace lg::filters {

QList<qint32> numericIdParts(const QString& ids)
{
    QList<qint32> out;
    const QStringList parts = ids.split(u',');
    for (const QString& part : parts) {
        bool ok = false;
        const qint32 id = part.trimmed().toInt(&ok);
        if (ok)
            out.append(id);
    }
    return out;
}

QueryContainerModel::QueryContainerModel(QObject* parent) : QueryFilter(parent)
{
    // The condition follows the entries and the selection at once.
    connect(this, &QueryContainerModel::entriesChanged, this, &QueryContainerModel::build);
    connect(this, &QueryContainerModel::currentIndexChanged, this, &QueryContainerModel::build);
}

QueryContainerModel::~QueryContainerModel() = default;

void QueryContainerModel::assign(QString& member, const QString& value)
{
    if (member == value)
        return;
    member = value;
    Q_EMIT settingsChanged();
}

void QueryContainerModel::setIsExtendedFilter(bool v)
{
    if (v == m_isExtended)
        return;
    m_isExtended = v;
    Q_EMIT settingsChanged();
}

void QueryContainerModel::setExtendedFilterVisible(bool v)
{
    if (v == m_extendedVisible)
        return;
    m_extendedVisible = v;
    Q_EMIT settingsChanged();
}

std::shared_ptr<dao::Database> QueryContainerModel::database() const
{
    return m_db ? m_db : ctx().database;
}

bool QueryContainerModel::initializeQuickPick(qint32 quickPickId, const QString& customRecordFilter,
                                              const QString& searchField)
{
    m_quickPickId = quickPickId;
    m_recordFilter = customRecordFilter;
    QString table, column;
    bool ok = false;
    if (auto db = database()) {
        try {
            auto rs = db->OpenRecordset(
                QStringLiteral("SELECT q.table_name, f.search_field FROM vlq_quickpick AS q LEFT JOIN "
                               "vlq_quickpick_field AS f ON f.quickpick_id = q.id WHERE q.id = ? "
                               "ORDER BY f.sort_order, f.id"),
                dao::Parameters(QVariantList{QVariant(quickPickId)}));
            if (!rs->Eof()) {
                table = rs->Fields(0).toString();
                column = rs->Fields(1).toString();
                ok = true;
            }
        } catch (const RuntimeError&) {
            ok = false;
        }
    }
    if (!searchField.trimmed().isEmpty())
        column = searchField.trimmed();
    setQuickPickSource(table, column);
    Q_EMIT quickPickInitialized(quickPickId, customRecordFilter);
    return ok;
}

void QueryContainerModel::setQuickPickSource(const QString& table, const QString& searchField)
{
    if (table == m_qpTable && searchField == m_searchField)
        return;
    m_qpTable = table;
    m_searchField = searchField;
    Q_EMIT quickPickChanged();
}

void QueryContainerModel::currentSearchField(const QString& field)
{
    setQuickPickSource(m_qpTable, field);
}

void QueryContainerModel::addFilterItem(const QString& text, qint32 id)
{
    m_entries.append({id, text});
    Q_EMIT entriesChanged();
}

void QueryContainerModel::removeFilterItem()
{
    if (m_entries.isEmpty())
        return;
    m_entries.clear();
    Q_EMIT entriesChanged();
    setCurrentIndex(-1);
}

bool QueryContainerModel::listContainsItemData(qint32 id) const
{
    for (const ContainerEntry& e : m_entries) {
        if (e.id == id)
            return true;
    }
    return false;
}

void QueryContainerModel::setCurrentIndex(int index)
{
    if (index < -1 || index >= m_entries.size() || index == m_current)
        return;
    m_current = index;
    Q_EMIT currentIndexChanged(index);
}

qint32 QueryContainerModel::selectedItemData() const
{
    return m_current >= 0 && m_current < m_entries.size() ? m_entries.at(m_current).id : -1;
}

void QueryContainerModel::selectFirstFilterItem()
{
    if (!m_entries.isEmpty())
        setCurrentIndex(0);
}

std::optional<QString> QueryContainerModel::entryText(qint32 id, const QString& quickPickText) const
{
    // A blank shown column means the search column: there is nothing else to read.
    if (m_visible1.trimmed().isEmpty() || m_visible1.compare(m_searchField, Qt::CaseInsensitive) == 0)
        return quickPickText;
    auto db = database();
    if (!db)
        return std::nullopt;
    try {
        auto rs = db->OpenRecordset(QStringLiteral("SELECT TOP 1 ") + m_visible1 + QStringLiteral(" FROM ")
                                    + m_qpTable + QStringLiteral(" WHERE  ID=") + QString::number(id));
        if (rs->Eof())
            return std::nullopt;
        const dao::Value v = rs->Fields(0);
        return dao::isNull(v) ? QString() : v.toString();
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

bool QueryContainerModel::addPickedRecord(qint32 id, const QString& quickPickText)
{
    if (id < 0 || listContainsItemData(id))
        return false;
    const std::optional<QString> text = entryText(id, quickPickText);
    if (!text)
        return false;
    addFilterItem(*text, id);
    setCurrentIndex(int(m_entries.size()) - 1);
    return true;
}

bool QueryContainerModel::removeCurrentEntry()
{
    if (selectedItemData() == -1)
        return false;
    const int at = m_current;
    m_entries.removeAt(at);
    m_current = -1;
    Q_EMIT entriesChanged();
    setCurrentIndex(m_entries.isEmpty() ? -1 : qMin(at, int(m_entries.size()) - 1));
    if (m_current == -1)
        Q_EMIT currentIndexChanged(-1);
    return true;
}

QString QueryContainerModel::reloadStatement(const QString& ids) const
{
    const QList<qint32> keys = numericIdParts(ids);
    if (keys.isEmpty())
        return {};
    QStringList parts;
    for (qint32 k : keys)
        parts.append(QString::number(k));
    const QString list = parts.join(u',');
    if (!m_primaryKey.isEmpty())
        return QStringLiteral("SELECT ") + m_primaryKey + QStringLiteral(" as id , ") + m_searchField
               + QStringLiteral(" FROM ") + m_qpTable + QStringLiteral(" WHERE ") + m_primaryKey
               + QStringLiteral(" in (") + list + u')';
    return QStringLiteral("SELECT id, ") + m_searchField + QStringLiteral(" FROM ") + m_qpTable
           + QStringLiteral(" WHERE  ID in (") + list + u')';
}

bool QueryContainerModel::setQueryResultIDs(const QString& ids)
{
    const QString sql = reloadStatement(ids);
    QList<ContainerEntry> loaded;
    if (!sql.isEmpty()) {
        auto db = database();
        if (!db)
            return false;
        try {
            auto rs = db->OpenRecordset(sql);
            for (; !rs->Eof(); rs->MoveNext()) {
                bool ok = false;
                const qint32 id = rs->Fields(0).toInt(&ok);
                if (!ok)
                    continue;
                const dao::Value text = rs->Fields(1);
                loaded.append({id, dao::isNull(text) ? QString() : text.toString()});
            }
        } catch (const RuntimeError&) {
            return false;
        }
    }
    m_entries = loaded;
    m_current = -1;
    Q_EMIT entriesChanged();
    Q_EMIT currentIndexChanged(-1);
    return true;
}

void QueryContainerModel::activationChanged()
{
    Q_EMIT checkChange(queryCheckValue());
}

void QueryContainerModel::build()
{
    if ((queryCheckVisible() && !isActive()) || m_current < 0) {
        m_ids.clear();
        clearResults();
        return;
    }
    QStringList keys, texts;
    for (const ContainerEntry& e : m_entries) {
        keys.append(QString::number(e.id));
        texts.append(e.text);
    }
    const QString ids = keys.join(u',');
    QString tag = QStringLiteral("( ") + ids + QStringLiteral(" )");
    QString valueText = texts.join(QStringLiteral(", "));
    Q_EMIT filterCreateSQLTag(m_current, m_entries.at(m_current).text, &tag, &valueText);
    m_ids = ids;
    const QString filter = queryFieldDescription() + u' ' + valueText;
    setResults(QStringLiteral("( ") + queryField() + QStringLiteral(" IN ") + tag + QStringLiteral(" )"), filter,
               u'(' + filter + u')');
}

bool QueryContainerModel::collectWhereAndFilter(WhereCollection& collection)
{
    if (!isActive()) {
        clearResults();
        return false;
    }
    if (m_extendedVisible && createExtendedSQLTag(collection))
        return true;
    return QueryFilter::collectWhereAndFilter(collection);
}

void QueryContainerModel::setFilterDefault()
{
    setQueryCheckValue(0);
    setQueryField(QString());
    setQueryFieldVisible1(QString());
    setQueryFieldCheckedValue1(QString());
    setQueryFieldDescription(QString());
    setQueryField1ProgID(QString());
    setQueryField1ProgIDFilter(QString());
    setQueryField2(QString());
    setQueryFieldVisible2(QString());
    setQueryFieldCheckedValue2(QString());
    setQueryFieldDescription2(QString());
    Q_EMIT quickPickCleared();
    removeFilterItem();
    m_ids.clear();
    clearResults();
}

std::span<const PersistedProperty> QueryContainerModel::designProperties() const
{
    static const PersistedProperty table[] = {
        {"QueryField", QString()},
        {"QueryFieldDescription", QString()},
        {"QueryFieldVisible1", QString()},
        {"QueryField2", QString()},
        {"QueryFieldVisible2", QString()},
        {"QueryFieldDescription2", QString()},
        {"QueryFieldCheckedValue1", QString()},
        {"QueryFieldCheckedValue2", QString()},
        {"QueryFilterString", QString()},
        {"QueryField1ProgID", QString()},
        {"QueryField1ProgIDFilter", QString()},
        {"PrimaryKeyFiled", QString()},
        {"QueryCheckVisible", true},
        {"isExtendedFilter", false},
        {"ExtendedFilterCaption", QString()},
        {"ExtendedFilterVisible", false},
        {"QueryResultSQL", QString()},
        {"QueryResultDescription", QString()},
    };
    return table;
}

}  // namespace lg::filters
