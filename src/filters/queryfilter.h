#pragma once

// The contract every query filter shares: the text, number and date filter,
// the check-box filter and the two list-box filters. The list wizard and the
// pre-filter dialog hold any of them as a QueryFilter, collect their
// conditions with CollectWhereAndFilter and keep their design-time
// properties in a property bag.
//
// A filter is a model: it holds all state and builds the three results
// (SQL condition, condition text, description); its widget only shows the
// state and forwards input. Every state change is announced by a signal.

#include "platform/propertybag.h"

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <span>

namespace lg::filters {

// What a run collects from its filters: the number of conditions, the SQL
// joined by " AND ", the condition texts (one per condition, index 1 first),
// and the description joined by " ÉS ".
struct WhereCollection {
    int counter = 0;
    QString where;
    QStringList filters;  // filters[i - 1] is the text of condition i
    QString description;

    // The condition text at a one-based index; empty outside 1..counter.
    QString filter(int index) const;
    // Appends one condition with the joining words.
    void add(const QString& sql, const QString& filterText, const QString& description);
};

class QueryFilter : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString QueryField READ queryField WRITE setQueryField NOTIFY queryFieldChanged)
    Q_PROPERTY(QString QueryFieldDescription READ queryFieldDescription WRITE setQueryFieldDescription NOTIFY
                   queryFieldDescriptionChanged)
    Q_PROPERTY(int QueryCheckValue READ queryCheckValue WRITE setQueryCheckValue NOTIFY queryCheckValueChanged)
    Q_PROPERTY(bool QueryCheckVisible READ queryCheckVisible WRITE setQueryCheckVisible NOTIFY
                   queryCheckVisibleChanged)
    // Stored with the design-time properties and read back with them.
    Q_PROPERTY(QString QueryResultSQL READ queryResultSQL WRITE restoreQueryResultSQL NOTIFY resultsChanged)
    Q_PROPERTY(QString QueryResultDescription READ queryResultDescription WRITE restoreQueryResultDescription
                   NOTIFY resultsChanged)
    Q_PROPERTY(QString QueryResultFilter READ queryResultFilter NOTIFY resultsChanged)
    Q_PROPERTY(QString QueryResultIDs READ queryResultIDs NOTIFY resultsChanged)

public:
    enum class Kind { Text, CheckBox, ListBox, TextListBox, Container };
    Q_ENUM(Kind)

    ~QueryFilter() override;

    virtual Kind kind() const = 0;

    QString queryField() const { return m_queryField; }
    void setQueryField(const QString& field);
    QString queryFieldDescription() const { return m_queryFieldDescription; }
    void setQueryFieldDescription(const QString& description);

    // The activation check box: 1 ticked, 0 not. Ticking or unticking
    // rebuilds the condition.
    int queryCheckValue() const { return m_queryCheckValue; }
    void setQueryCheckValue(int value);
    bool isActive() const { return m_queryCheckValue == 1; }
    void setActive(bool active) { setQueryCheckValue(active ? 1 : 0); }
    bool queryCheckVisible() const { return m_queryCheckVisible; }
    void setQueryCheckVisible(bool visible);

    QString queryResultSQL() const { return m_sql; }
    QString queryResultFilter() const { return m_filter; }
    QString queryResultDescription() const { return m_description; }
    // The selected keys of the list-box filters; empty for the others.
    virtual QString queryResultIDs() const { return {}; }

    // Builds the three results from the current state.
    virtual void build() = 0;

    // Adds this filter's condition to a run; false when it adds nothing.
    virtual bool collectWhereAndFilter(WhereCollection& collection);
    // A hook for an extended condition a filter adds itself; true when it did.
    virtual bool createExtendedSQLTag(WhereCollection& collection);

    // Back to the neutral state: unticked, no field, no results.
    virtual void setFilterDefault() = 0;

    // The filter's persisted design-time properties, under their own names.
    virtual std::span<const PersistedProperty> designProperties() const = 0;
    void initDesignProperties();
    void readDesignProperties(const PropertyBag& bag);
    void writeDesignProperties(PropertyBag& bag) const;

    void restoreQueryResultSQL(const QString& sql);
    void restoreQueryResultDescription(const QString& description);

Q_SIGNALS:
    void queryFieldChanged(const QString& field);
    void queryFieldDescriptionChanged(const QString& description);
    void queryCheckValueChanged(int value);
    void queryCheckVisibleChanged(bool visible);
    void resultsChanged();

protected:
    explicit QueryFilter(QObject* parent = nullptr);
    void setResults(const QString& sql, const QString& filter, const QString& description);
    void clearResults() { setResults({}, {}, {}); }
    // Called after the activation box changed, before the rebuild.
    virtual void activationChanged() {}

private:
    QString m_queryField;
    QString m_queryFieldDescription;
    int m_queryCheckValue = 0;
    bool m_queryCheckVisible = true;
    QString m_sql;
    QString m_filter;
    QString m_description;
};

// Collects the conditions of filters, in order, into one run.
// Returns the number of conditions added.
int CollectWhereAndFilter(const QList<QueryFilter*>& filters, WhereCollection& collection);

// Jet literal helpers shared by the filters.
// Every "'" doubled; control characters dropped (they cannot be typed into a
// one-line box and only break the statement).
QString sqlQuoted(const QString& text);
QString withoutControlCharacters(const QString& text);

}  // namespace lg::filters
