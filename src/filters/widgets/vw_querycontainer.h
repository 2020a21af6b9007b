#pragma once

// vW_QueryContainer: filters a list on records of a related table too large
// for a pick list. The embedded quick pick (qpiFilter) finds a record, Enter
// adds it to the entry list (lstFilter), F8 or Delete removes the current
// entry; the condition is "field IN (the keys of all entries)". A view on
// QueryContainerModel, which holds the entries and builds the condition.

#include "filters/widgets/vw_queryfilterbase.h"

#include <memory>

class QLabel;
class QListWidget;

namespace lg::dao {
class Database;
}

namespace lg::filters {

class QueryContainerModel;
class vQuickPick;
/// The filter on records of a related table too large for a pick list: the embedded quick pick finds a record, Enter
/// adds it to the entry list; the condition is "field IN (the keys of all entries)".

class vW_QueryContainer : public vW_QueryFilterBase {
    Q_OBJECT
    /// The column the condition is written on (the same as QueryField).
    Q_PROPERTY(QString QueryField1 READ QueryField WRITE setQueryField DESIGNABLE true NOTIFY SettingsChanged)
    /// The field's name in the description (the same as QueryFieldDescription).
    Q_PROPERTY(QString QueryFieldDescription1 READ QueryFieldDescription WRITE setQueryFieldDescription
                   DESIGNABLE true NOTIFY SettingsChanged)
    /// The field shown for an entry.
    Q_PROPERTY(QString QueryFieldVisible1 READ QueryFieldVisible1 WRITE setQueryFieldVisible1
                   DESIGNABLE true NOTIFY SettingsChanged)
    /// A condition on the records the quick pick offers.
    Q_PROPERTY(QString QueryField1ProgIDFilter READ QueryField1ProgIDFilter WRITE setQueryField1ProgIDFilter
                   DESIGNABLE true NOTIFY SettingsChanged)
    /// The related table's key column.
    Q_PROPERTY(
        QString PrimaryKeyFiled READ PrimaryKeyFiled WRITE setPrimaryKeyFiled DESIGNABLE true NOTIFY SettingsChanged)
    /// The keys of the entries ("3,5,7"); setting it reloads the entries.
    Q_PROPERTY(QString QueryResultIDs READ QueryResultIDs WRITE setQueryResultIDs STORED false NOTIFY ResultsChanged)
    /// The quick pick's text box width, in twips.
    Q_PROPERTY(int TextBoxWidth READ TextBoxWidth WRITE setTextBoxWidth DESIGNABLE true NOTIFY TextBoxWidthChanged)
    /// Shows the quick pick.
    Q_PROPERTY(bool QpiFilterVisible READ QpiFilterVisible WRITE setQpiFilterVisible
                   DESIGNABLE true NOTIFY QpiFilterVisibleChanged)
    /// The key of the record the quick pick found.
    Q_PROPERTY(int QpiInput1Value READ QpiInput1Value WRITE setQpiInput1Value STORED false NOTIFY QpiInput1Changed)
    /// The quick pick's text.
    Q_PROPERTY(QString QpiInput1Text READ QpiInput1Text STORED false NOTIFY QpiInput1Changed)
    /// Offers the extended filter.
    Q_PROPERTY(
        bool isExtendedFilter READ isExtendedFilter WRITE setIsExtendedFilter DESIGNABLE true NOTIFY SettingsChanged)
    /// The extended filter's caption.
    Q_PROPERTY(QString ExtendedFilterCaption READ ExtendedFilterCaption WRITE setExtendedFilterCaption
                   DESIGNABLE true NOTIFY SettingsChanged)
    /// Shows the extended filter.
    Q_PROPERTY(bool ExtendedFilterVisible READ ExtendedFilterVisible WRITE setExtendedFilterVisible
                   DESIGNABLE true NOTIFY SettingsChanged)
    /// The current entry's text.
    Q_PROPERTY(QString FilterText READ FilterText STORED false NOTIFY FilterTextChanged)

public:
    /// Builds an empty filter; it needs no database until InitializeQuickPick().
    explicit vW_QueryContainer(QWidget* parent = nullptr);
    ~vW_QueryContainer() override;
    /// The headless model: the entries and the condition.

    QueryContainerModel* model() const;
    /// The embedded quick pick.
    vQuickPick* qpiFilter() const;
    /// The entry list.
    QListWidget* lstFilter() const;
    /// Property accessors; see the properties.

    QString QueryFieldVisible1() const;
    void setQueryFieldVisible1(const QString& field);
    QString QueryField1ProgIDFilter() const;
    void setQueryField1ProgIDFilter(const QString& filter);
    QString PrimaryKeyFiled() const;
    void setPrimaryKeyFiled(const QString& field);
    QString QueryResultIDs() const;
    /// Reloads the entries from a stored selection ("3,5,7").
    void setQueryResultIDs(const QString& ids);
    int TextBoxWidth() const;  // twips, the quick pick's
    void setTextBoxWidth(int twips);
    bool QpiFilterVisible() const;
    void setQpiFilterVisible(bool visible);
    int QpiInput1Value() const;
    void setQpiInput1Value(int id);
    QString QpiInput1Text() const;
    bool isExtendedFilter() const;
    void setIsExtendedFilter(bool on);
    QString ExtendedFilterCaption() const;
    void setExtendedFilterCaption(const QString& caption);
    bool ExtendedFilterVisible() const;
    void setExtendedFilterVisible(bool visible);
    QString FilterText() const;  // the current entry's text
                                 /// The connection the quick pick searches.

    void setDatabase(std::shared_ptr<dao::Database> db);
    /// Loads the quick pick's definition (see vQuickPick::InitializeQuickPick) and chooses its search field.

    bool InitializeQuickPick(int lQuickPickID, const QString& sCustomBrowseID = {},
                             const QString& sCustomRecordFilter = {}, const QString& sSearchField = {});
    /// Chooses the quick pick's search field.
    void CurrentSearchField(const QString& sField);
    /// Adds an entry: its text and its key.
    void AddFilterItem(const QString& sItem, qint32 lItemID);
    /// Removes the current entry.
    void RemoveFilterItem();
    /// Shows or hides the entry list.
    void ListBoxVisible(bool bVisible);
    /// Makes the first entry current.
    void SelectFirstFilterItem();
    /// Returns the filter to its defaults.
    void SetFilterDefault() override;

    QSize sizeHint() const override;

Q_SIGNALS:
    /// Mouse events of the control.
    void DblClick();
    void Click();
    void Resize();
    /// The activation box changed.
    void CheckChange(int value);
    /// Lets the host write an entry's condition and description itself.
    void FilterCreateSQLTag(int lItemData, const QString& sItem, QString* sSQLTag, QString* sDescription);
    /// Property notifications.
    void SettingsChanged();
    void TextBoxWidthChanged(int twips);
    void QpiFilterVisibleChanged(bool visible);
    void QpiInput1Changed();
    void FilterTextChanged(const QString& text);

protected:
    std::vector<PersistedProperty> viewProperties() const override;
    void applyActivationLook(bool active) override;
    void activationClicked(bool active) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void showEntries();
    void pickCurrentRecord();

    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters
