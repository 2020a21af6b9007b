#pragma once

// The query container (vW_QueryContainer) without a window: records picked
// one by one in the embedded quick pick collect in an entry list, and the
// condition is "field IN (the keys of all entries)". The quick pick itself
// is the widget's; the model keeps what the container knows of it (its
// definition id, table and search column) and reads entry texts and stored
// selections from the host database.

#include "filters/queryfilter.h"

#include <QtCore/QList>

#include <memory>
#include <optional>

namespace lg::dao {
class Database;
}

namespace lg::filters {

struct ContainerEntry {
    qint32 id = 0;
    QString text;
    bool operator==(const ContainerEntry&) const = default;
};

class QueryContainerModel : public QueryFilter {
    Q_OBJECT
    Q_PROPERTY(QString QueryFieldVisible1 READ queryFieldVisible1 WRITE setQueryFieldVisible1 NOTIFY settingsChanged)
    Q_PROPERTY(QString QueryField2 READ queryField2 WRITE setQueryField2 NOTIFY settingsChanged)
    Q_PROPERTY(QString QueryFieldVisible2 READ queryFieldVisible2 WRITE setQueryFieldVisible2 NOTIFY settingsChanged)
    Q_PROPERTY(QString QueryFieldDescription2 READ queryFieldDescription2 WRITE setQueryFieldDescription2 NOTIFY
                   settingsChanged)
    Q_PROPERTY(QString QueryFieldCheckedValue1 READ queryFieldCheckedValue1 WRITE setQueryFieldCheckedValue1 NOTIFY
                   settingsChanged)
    Q_PROPERTY(QString QueryFieldCheckedValue2 READ queryFieldCheckedValue2 WRITE setQueryFieldCheckedValue2 NOTIFY
                   settingsChanged)
    Q_PROPERTY(QString QueryFilterString READ queryFilterString WRITE setQueryFilterString NOTIFY settingsChanged)
    Q_PROPERTY(QString QueryField1ProgID READ queryField1ProgID WRITE setQueryField1ProgID NOTIFY settingsChanged)
    Q_PROPERTY(QString QueryField1ProgIDFilter READ queryField1ProgIDFilter WRITE setQueryField1ProgIDFilter NOTIFY
                   settingsChanged)
    Q_PROPERTY(QString PrimaryKeyFiled READ primaryKeyFiled WRITE setPrimaryKeyFiled NOTIFY settingsChanged)
    Q_PROPERTY(bool isExtendedFilter READ isExtendedFilter WRITE setIsExtendedFilter NOTIFY settingsChanged)
    Q_PROPERTY(QString ExtendedFilterCaption READ extendedFilterCaption WRITE setExtendedFilterCaption NOTIFY
                   settingsChanged)
    Q_PROPERTY(bool ExtendedFilterVisible READ extendedFilterVisible WRITE setExtendedFilterVisible NOTIFY
                   settingsChanged)

public:
    explicit QueryContainerModel(QObject* parent = nullptr);
    ~QueryContainerModel() override;

    Kind kind() const override { return Kind::Container; }

    // ---- settings (QueryField1 and QueryFieldDescription1 are the
    // contract's QueryField and QueryFieldDescription) ----------------------
    QString queryField1() const { return queryField(); }
    void setQueryField1(const QString& v) { setQueryField(v); }
    QString queryFieldDescription1() const { return queryFieldDescription(); }
    void setQueryFieldDescription1(const QString& v) { setQueryFieldDescription(v); }
    QString queryFieldVisible1() const { return m_visible1; }
    void setQueryFieldVisible1(const QString& v) { assign(m_visible1, v); }
    QString queryField2() const { return m_field2; }
    void setQueryField2(const QString& v) { assign(m_field2, v); }
    QString queryFieldVisible2() const { return m_visible2; }
    void setQueryFieldVisible2(const QString& v) { assign(m_visible2, v); }
    QString queryFieldDescription2() const { return m_description2; }
    void setQueryFieldDescription2(const QString& v) { assign(m_description2, v); }
    QString queryFieldCheckedValue1() const { return m_checked1; }
    void setQueryFieldCheckedValue1(const QString& v) { assign(m_checked1, v); }
    QString queryFieldCheckedValue2() const { return m_checked2; }
    void setQueryFieldCheckedValue2(const QString& v) { assign(m_checked2, v); }
    QString queryFilterString() const { return m_filterString; }
    void setQueryFilterString(const QString& v) { assign(m_filterString, v); }
    QString queryField1ProgID() const { return m_progId; }
    void setQueryField1ProgID(const QString& v) { assign(m_progId, v); }
    QString queryField1ProgIDFilter() const { return m_progIdFilter; }
    void setQueryField1ProgIDFilter(const QString& v) { assign(m_progIdFilter, v); }
    QString primaryKeyFiled() const { return m_primaryKey; }
    void setPrimaryKeyFiled(const QString& v) { assign(m_primaryKey, v); }
    bool isExtendedFilter() const { return m_isExtended; }
    void setIsExtendedFilter(bool v);
    QString extendedFilterCaption() const { return m_extendedCaption; }
    void setExtendedFilterCaption(const QString& v) { assign(m_extendedCaption, v); }
    bool extendedFilterVisible() const { return m_extendedVisible; }
    void setExtendedFilterVisible(bool v);

    // The host database; the library-wide one when none is set.
    void setDatabase(std::shared_ptr<dao::Database> db) { m_db = std::move(db); }
    std::shared_ptr<dao::Database> database() const;

    // ---- the embedded quick pick, as the container knows it ----------------
    // The definition the quick pick was initialised with, and its record
    // filter; the widget initialises its quick pick from them.
    qint32 quickPickId() const { return m_quickPickId; }
    QString customRecordFilter() const { return m_recordFilter; }
    // Remembers the definition and reads the quick pick's table and first
    // search column from it; `searchField` (when not blank) replaces the
    // search column. False when the definition does not load.
    bool initializeQuickPick(qint32 quickPickId, const QString& customRecordFilter = {},
                             const QString& searchField = {});
    // What the embedded quick pick reports after its own initialisation.
    void setQuickPickSource(const QString& table, const QString& searchField);
    QString quickPickTable() const { return m_qpTable; }
    QString searchField() const { return m_searchField; }
    void currentSearchField(const QString& field);

    // ---- entries --------------------------------------------------------------
    const QList<ContainerEntry>& entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    void addFilterItem(const QString& text, qint32 id);
    void removeFilterItem();  // removes all entries
    bool listContainsItemData(qint32 id) const;
    // The selected (current) entry; -1 for none.
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    qint32 selectedItemData() const;  // -1 for none
    void selectFirstFilterItem();

    // Enter in the quick pick on record `id` (its text `quickPickText`): adds
    // the record once and makes it current. False when nothing was added
    // (no record, already listed, its text could not be read).
    bool addPickedRecord(qint32 id, const QString& quickPickText);
    // F8 or Delete in the list: removes the current entry; false when none.
    bool removeCurrentEntry();

    // ---- the contract --------------------------------------------------------
    QString queryResultIDs() const override { return m_ids; }
    // Reloads the list from a stored selection ("3,5,7"): the existing
    // records among the ids, in the table's order. Parts that are not whole
    // numbers are ignored. False (the list unchanged) when the statement
    // fails.
    bool setQueryResultIDs(const QString& ids);
    // The statement setQueryResultIDs runs; empty when no part is a number.
    QString reloadStatement(const QString& ids) const;

    void build() override;
    bool collectWhereAndFilter(WhereCollection& collection) override;
    void setFilterDefault() override;
    std::span<const PersistedProperty> designProperties() const override;

Q_SIGNALS:
    void settingsChanged();
    void entriesChanged();
    void currentIndexChanged(int index);
    void quickPickChanged();
    // initializeQuickPick ran: the widget initialises its quick pick likewise.
    void quickPickInitialized(qint32 quickPickId, const QString& customRecordFilter);
    // SetFilterDefault: the quick pick's ID and text are to be emptied.
    void quickPickCleared();
    void checkChange(int value);
    void filterCreateSQLTag(int itemIndex, const QString& itemText, QString* tag, QString* description);

protected:
    void activationChanged() override;

private:
    void assign(QString& member, const QString& value);
    std::optional<QString> entryText(qint32 id, const QString& quickPickText) const;

    QString m_visible1, m_field2, m_visible2, m_description2, m_checked1, m_checked2, m_filterString;
    QString m_progId, m_progIdFilter, m_primaryKey, m_extendedCaption;
    bool m_isExtended = false;
    bool m_extendedVisible = false;
    std::shared_ptr<dao::Database> m_db;
    qint32 m_quickPickId = -1;
    QString m_recordFilter;
    QString m_qpTable, m_searchField;
    QList<ContainerEntry> m_entries;
    int m_current = -1;
    QString m_ids;
};

// The whole-number parts of a comma-separated id list, in order; parts with
// anything else (a quote, a letter, a blank inside) are left out.
QList<qint32> numericIdParts(const QString& ids);

}  // namespace lg::filters
