#pragma once

// The persistent record: one object holds one row of a definition-store table.
// Every class shares one lifecycle, implemented once here:
//
//   CoreDefault   new-record values, isNew, temporary
//   CoreLoad      row by id (a logically deleted row does not load), isLoaded, temporary
//   set_<column>  a different value turns isLoaded into isModified
//   SetFinal      Validate, then no longer temporary (a temporary object is never written)
//   Delete        isDeleted, not temporary: the next CoreUpdate marks the row deleted
//   CoreUpdate    writes inside the lock / transaction / exclusive-table steps of table access
//   Clone         a new object with the same values, id -1, CloneSourceID = source id
//
// A class lists its own columns once, declaratively (an X-macro of
// C(kind, property, column, new-record value, flags)); the list yields the
// column numbers, the typed accessors and the column table that the lifecycle
// reads and writes. The common columns (id and the audit columns) live here.

#include <QtCore/QDateTime>
#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <memory>
#include <vector>

#include "platform/runtimeerror.h"
#include "store/enums.h"

namespace lg {

namespace dao {
class Recordset;
}

enum class ColumnKind {
    Long,       // 32-bit integer
    Flag,       // Yes/No read and written as a Long: -1 true, 0 false
    Text,       // string, "" when new
    Date,       // date and time, now when new
    DateToday,  // date and time, today at midnight when new
    Number,     // numeric value held as a variant
};

namespace column_flags {
inline constexpr int None = 0;
inline constexpr int AfterAudit = 1;       // stored after the audit columns
inline constexpr int WrittenOnDelete = 2;  // written together with del_status
inline constexpr int NotCloned = 4;        // a clone gets the new-record value
}  // namespace column_flags

struct ColumnSpec {
    const char* property;
    const char* column;
    ColumnKind kind;
    int newValue;  // Long, Flag and Number columns
    int flags;
};

struct TableSpec {
    eTables table;
    eObjects objectKind;
    const char* className;  // source name of run-time errors
    const ColumnSpec* columns;
    int columnCount;
};

namespace detail {
template <ColumnKind K> struct ColumnType {
    using type = long;
};
template <> struct ColumnType<ColumnKind::Text> {
    using type = QString;
};
template <> struct ColumnType<ColumnKind::Date> {
    using type = QDateTime;
};
template <> struct ColumnType<ColumnKind::DateToday> {
    using type = QDateTime;
};
template <> struct ColumnType<ColumnKind::Number> {
    using type = QVariant;
};
}  // namespace detail

class PersistentRecord {
public:
    virtual ~PersistentRecord();
    PersistentRecord(const PersistentRecord&) = default;
    PersistentRecord& operator=(const PersistentRecord&) = default;

    const TableSpec& spec() const { return *m_spec; }
    eTables table() const { return m_spec->table; }
    eObjects objectKind() const { return m_spec->objectKind; }
    QString className() const { return QString::fromLatin1(m_spec->className); }

    // --- state ---------------------------------------------------------------
    eItemStatus ItemStatus() const { return m_status; }
    void set_ItemStatus(eItemStatus status) { m_status = status; }
    bool IsTemp() const { return m_isTemp; }
    long CloneSourceID() const { return m_cloneSourceId; }
    long Right_New() const { return 0; }
    long Right_Modify() const { return 0; }
    long Right_Delete() const { return 0; }

    // --- common columns ------------------------------------------------------
    long ID() const { return m_id; }
    void set_ID(long v);
    long create_user() const { return m_createUser; }
    void set_create_user(long v);
    QDateTime create_date() const { return m_createDate; }
    void set_create_date(const QDateTime& v);
    long last_action_user_id1() const { return m_lastUser1; }
    void set_last_action_user_id1(long v);
    QDateTime last_action_date1() const { return m_lastDate1; }
    void set_last_action_date1(const QDateTime& v);
    long last_action_user_id2() const { return m_lastUser2; }
    void set_last_action_user_id2(long v);
    QDateTime last_action_date2() const { return m_lastDate2; }
    void set_last_action_date2(const QDateTime& v);

    // A column of the class by its column name (common columns included);
    // an invalid QVariant for an unknown name.
    QVariant columnValue(const QString& column) const;

    // --- lifecycle -----------------------------------------------------------
    bool CoreDefault();
    bool CoreLoad(const QVariant& lID);
    bool CoreLoad(long lID) { return CoreLoad(QVariant(qlonglong(lID))); }
    bool CoreUpdate() { return coreUpdate(false); }
    bool Delete();
    void SetModified();
    bool SetFinal();
    virtual bool Validate();
    virtual bool RightCheck(long lRight);

protected:
    explicit PersistentRecord(const TableSpec& spec);

    template <ColumnKind K> typename detail::ColumnType<K>::type value(int column) const;
    template <ColumnKind K> void setValue(int column, const typename detail::ColumnType<K>::type& v);

    // The write, with a flag that the list uses for its commit.
    bool coreUpdate(bool commit);
    // Hooks of the write: before the row is written (inside the transaction)
    // and after it was written (still inside it).
    virtual void beforeWrite(bool commit);
    virtual void afterWrite(bool commit);

    // Stores a column value without marking the object modified.
    void storeValue(int column, const QVariant& v);

    // Copies every column of `source` (not the id) for Clone.
    void copyForClone(const PersistentRecord& source);
    void setCloneSourceID(long id) { m_cloneSourceId = id; }

private:
    bool updateNative();
    void readRow(const dao::Recordset& rs);
    void writeRow(dao::Recordset& rs, bool deleted) const;
    QVariant newValueOf(const ColumnSpec& c) const;
    void changed() { SetModified(); }

    const TableSpec* m_spec;
    std::vector<QVariant> m_values;  // own columns, in the order of the column table
    long m_id = -1;
    long m_createUser = -1;
    QDateTime m_createDate;
    long m_lastUser1 = -1;
    QDateTime m_lastDate1;
    long m_lastUser2 = -1;
    QDateTime m_lastDate2;
    eItemStatus m_status = isNew;
    bool m_isTemp = true;
    long m_cloneSourceId = 0;
    long m_rowId = -1;  // id of the row this object was loaded from or last written to
};

// The class-typed part of the lifecycle: Clone returns the same class.
template <class Derived> class Record : public PersistentRecord {
public:
    std::shared_ptr<Derived> Clone() const
    {
        return traced(className(), TraceKind::Function, QStringLiteral("Clone"), [&] {
            auto copy = std::make_shared<Derived>();
            copy->copyForClone(*this);
            return copy;
        });
    }

protected:
    using PersistentRecord::PersistentRecord;
};

// Ordered collection of records, each under a unique key ("R" + id for the
// children of a list). Positions are 1-based; a bad position or an unknown key
// gives an empty pointer.
template <class T> class RecordCollection {
public:
    using Item_t = std::shared_ptr<T>;

    // False (and nothing added) when the key is already taken.
    bool Add(Item_t item, const QString& key)
    {
        if (m_index.contains(key))
            return false;
        m_index.insert(key, int(m_items.size()));
        m_items.push_back(std::move(item));
        m_keys.append(key);
        return true;
    }
    int Count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    Item_t Item(int position) const
    {
        return position >= 1 && position <= Count() ? m_items[size_t(position - 1)] : Item_t();
    }
    Item_t Item(const QString& key) const
    {
        auto it = m_index.constFind(key);
        return it == m_index.constEnd() ? Item_t() : m_items[size_t(*it)];
    }
    bool Contains(const QString& key) const { return m_index.contains(key); }
    const QStringList& Keys() const { return m_keys; }
    void Clear()
    {
        m_items.clear();
        m_keys.clear();
        m_index.clear();
    }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<Item_t> m_items;
    QStringList m_keys;
    QHash<QString, int> m_index;
};

// Key of a child in its list's collections.
inline QString recordKey(long id)
{
    return QStringLiteral("R") + QString::number(id);
}

}  // namespace lg

// --- declaring a class's columns ---------------------------------------------

#define LG_COLUMN_ENUM(kind, prop, column, newValue, flags) c_##prop,
#define LG_COLUMN_SPEC(kind, prop, column, newValue, flags) {#prop, column, ::lg::ColumnKind::kind, newValue, flags},
#define LG_COLUMN_ACCESS(kind, prop, column, newValue, flags)                                                          \
    ::lg::detail::ColumnType<::lg::ColumnKind::kind>::type prop() const                                                \
    {                                                                                                                  \
        return value<::lg::ColumnKind::kind>(c_##prop);                                                                \
    }                                                                                                                  \
    void set_##prop(const ::lg::detail::ColumnType<::lg::ColumnKind::kind>::type& v)                                   \
    {                                                                                                                  \
        setValue<::lg::ColumnKind::kind>(c_##prop, v);                                                                 \
    }

// Inside a class body: column numbers, accessors and the class's table.
#define LG_RECORD_COLUMNS(LIST)                                                                                        \
public:                                                                                                                \
    enum Column { LIST(LG_COLUMN_ENUM) kColumnCount };                                                                 \
    LIST(LG_COLUMN_ACCESS)                                                                                             \
    static const ::lg::TableSpec& tableSpec();

// In the class's source file (inside namespace lg): its column table and constructor.
#define LG_DEFINE_RECORD(Class, LIST, tableNo, objectKind)                                                             \
    namespace {                                                                                                        \
    const ColumnSpec k##Class##Columns[] = {LIST(LG_COLUMN_SPEC)};                                                     \
    }                                                                                                                  \
    const TableSpec& Class::tableSpec()                                                                                \
    {                                                                                                                  \
        static const TableSpec spec{tableNo, objectKind, #Class, k##Class##Columns,                                    \
                                    int(sizeof(k##Class##Columns) / sizeof(k##Class##Columns[0]))};                    \
        return spec;                                                                                                   \
    }                                                                                                                  \
    Class::Class() : Record(tableSpec()) {}
