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

class vW_QueryContainer : public vW_QueryFilterBase {
    Q_OBJECT
    Q_PROPERTY(QString QueryField1 READ QueryField WRITE setQueryField NOTIFY SettingsChanged)
    Q_PROPERTY(QString QueryFieldDescription1 READ QueryFieldDescription WRITE setQueryFieldDescription NOTIFY
                   SettingsChanged)
    Q_PROPERTY(QString QueryFieldVisible1 READ QueryFieldVisible1 WRITE setQueryFieldVisible1 NOTIFY SettingsChanged)
    Q_PROPERTY(QString QueryField1ProgIDFilter READ QueryField1ProgIDFilter WRITE setQueryField1ProgIDFilter NOTIFY
                   SettingsChanged)
    Q_PROPERTY(QString PrimaryKeyFiled READ PrimaryKeyFiled WRITE setPrimaryKeyFiled NOTIFY SettingsChanged)
    Q_PROPERTY(QString QueryResultIDs READ QueryResultIDs WRITE setQueryResultIDs NOTIFY ResultsChanged)
    Q_PROPERTY(int TextBoxWidth READ TextBoxWidth WRITE setTextBoxWidth NOTIFY TextBoxWidthChanged)
    Q_PROPERTY(bool QpiFilterVisible READ QpiFilterVisible WRITE setQpiFilterVisible NOTIFY QpiFilterVisibleChanged)
    Q_PROPERTY(int QpiInput1Value READ QpiInput1Value WRITE setQpiInput1Value NOTIFY QpiInput1Changed)
    Q_PROPERTY(QString QpiInput1Text READ QpiInput1Text NOTIFY QpiInput1Changed)
    Q_PROPERTY(bool isExtendedFilter READ isExtendedFilter WRITE setIsExtendedFilter NOTIFY SettingsChanged)
    Q_PROPERTY(QString ExtendedFilterCaption READ ExtendedFilterCaption WRITE setExtendedFilterCaption NOTIFY
                   SettingsChanged)
    Q_PROPERTY(bool ExtendedFilterVisible READ ExtendedFilterVisible WRITE setExtendedFilterVisible NOTIFY
                   SettingsChanged)
    Q_PROPERTY(QString FilterText READ FilterText NOTIFY FilterTextChanged)

public:
    explicit vW_QueryContainer(QWidget* parent = nullptr);
    ~vW_QueryContainer() override;

    QueryContainerModel* model() const;
    vQuickPick* qpiFilter() const;
    QListWidget* lstFilter() const;

    QString QueryFieldVisible1() const;
    void setQueryFieldVisible1(const QString& field);
    QString QueryField1ProgIDFilter() const;
    void setQueryField1ProgIDFilter(const QString& filter);
    QString PrimaryKeyFiled() const;
    void setPrimaryKeyFiled(const QString& field);
    QString QueryResultIDs() const;
    // Reloads the entries from a stored selection ("3,5,7").
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

    void setDatabase(std::shared_ptr<dao::Database> db);

    bool InitializeQuickPick(int lQuickPickID, const QString& sCustomBrowseID = {},
                             const QString& sCustomRecordFilter = {}, const QString& sSearchField = {});
    void CurrentSearchField(const QString& sField);
    void AddFilterItem(const QString& sItem, qint32 lItemID);
    void RemoveFilterItem();
    void ListBoxVisible(bool bVisible);
    void SelectFirstFilterItem();
    void SetFilterDefault() override;

    QSize sizeHint() const override;

Q_SIGNALS:
    void DblClick();
    void Click();
    void Resize();
    void CheckChange(int value);
    void FilterCreateSQLTag(int lItemData, const QString& sItem, QString* sSQLTag, QString* sDescription);
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
