#pragma once

// The list-box filters without a window: vW_QueryListBoxFilter picks records
// by their numeric keys (Keys::Numeric), vW_QueryTListBoxFilter by their
// texts (Keys::Text). The condition is "field IN (the selected keys)".

#include "filters/queryfilter.h"

#include <QtCore/QList>

namespace lg::filters {

struct FilterItem {
    qint32 id = 0;
    QString text;
    bool selected = false;
    bool operator==(const FilterItem&) const = default;
};

class ListBoxFilterModel : public QueryFilter {
    Q_OBJECT
    Q_PROPERTY(bool ListItemChecked READ listItemChecked WRITE setListItemChecked NOTIFY listItemCheckedChanged)
    Q_PROPERTY(QString PrimaryKeyFiled READ primaryKeyFiled WRITE setPrimaryKeyFiled NOTIFY primaryKeyFiledChanged)
    Q_PROPERTY(QString FilterText READ filterText NOTIFY currentIndexChanged)

public:
    enum class Keys { Numeric, Text };

    explicit ListBoxFilterModel(Keys keys, QObject* parent = nullptr);
    ~ListBoxFilterModel() override;

    Kind kind() const override { return m_keys == Keys::Numeric ? Kind::ListBox : Kind::TextListBox; }
    Keys keys() const { return m_keys; }

    // ---- entries ---------------------------------------------------------
    const QList<FilterItem>& items() const { return m_items; }
    int count() const { return int(m_items.size()); }
    // Appends an entry (selected when ListItemChecked); the first entry
    // becomes the current one.
    void addFilterItem(const QString& text, qint32 id);
    void removeFilterItem();  // removes all entries
    // Selects the first entry with that id; false when none has it.
    bool selectItem(qint32 id);
    void selectFirstFilterItem();
    void setSelected(int index, bool selected);
    bool isSelected(int index) const;
    int selectedCount() const;

    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    QString filterText() const;  // the current entry's text

    bool listItemChecked() const { return m_listItemChecked; }
    void setListItemChecked(bool checked);
    QString primaryKeyFiled() const { return m_primaryKeyFiled; }
    void setPrimaryKeyFiled(const QString& field);

    // ---- the contract --------------------------------------------------------
    QString queryResultIDs() const override { return m_ids; }
    // Rebuilt when the activation box is clicked and when the list loses
    // focus (the widget calls build() then).
    void build() override;
    void setFilterDefault() override;
    std::span<const PersistedProperty> designProperties() const override;

Q_SIGNALS:
    void itemsChanged();
    void selectionChanged();
    void currentIndexChanged(int index);
    void listItemCheckedChanged(bool checked);
    void primaryKeyFiledChanged(const QString& field);
    // The activation box was clicked (its new value).
    void checkChange(int value);
    // Raised while a condition is built; a direct connection may change
    // the tag ("( 3,5 )") and the value text.
    void filterCreateSQLTag(int itemIndex, const QString& itemText, QString* tag, QString* description);

protected:
    void activationChanged() override;

private:
    Keys m_keys;
    QList<FilterItem> m_items;
    int m_current = -1;
    bool m_listItemChecked = false;
    QString m_primaryKeyFiled;
    QString m_ids;
};

}  // namespace lg::filters
