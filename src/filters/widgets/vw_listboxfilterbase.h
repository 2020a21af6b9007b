#pragma once

// What the two list-box filters share (vW_QueryListBoxFilter by numeric
// keys, vW_QueryTListBoxFilter by texts): the activation box, the caption and
// a multi-select list the host fills with AddFilterItem. A view on
// ListBoxFilterModel; the condition is built when the activation box is
// clicked and when the list loses focus.

#include "filters/widgets/vw_queryfilterbase.h"

#include <QtWidgets/QListWidget>

namespace lg::filters {

class ListBoxFilterModel;

class vW_ListBoxFilterBase : public vW_QueryFilterBase {
    Q_OBJECT
    Q_PROPERTY(bool ListItemChecked READ ListItemChecked WRITE setListItemChecked NOTIFY ListItemCheckedChanged)
    Q_PROPERTY(QString PrimaryKeyFiled READ PrimaryKeyFiled WRITE setPrimaryKeyFiled NOTIFY PrimaryKeyFiledChanged)
    Q_PROPERTY(QString QueryResultIDs READ QueryResultIDs NOTIFY ResultsChanged)
    // A host may fill the list itself (text, key in Qt::UserRole); the
    // filter takes its entries from it.
    Q_PROPERTY(QListWidget* Filter READ Filter CONSTANT)
    Q_PROPERTY(QString FilterText READ FilterText NOTIFY FilterTextChanged)
    Q_PROPERTY(uint FilterBackColor READ FilterBackColor WRITE setFilterBackColor NOTIFY FilterBackColorChanged)
    Q_PROPERTY(QFont FilterFont READ FilterFont WRITE setFilterFont NOTIFY FilterFontChanged)

public:
    ~vW_ListBoxFilterBase() override;

    ListBoxFilterModel* model() const;

    bool ListItemChecked() const;
    void setListItemChecked(bool checked);
    QString PrimaryKeyFiled() const;
    void setPrimaryKeyFiled(const QString& field);
    QString QueryResultIDs() const;
    QListWidget* Filter() const { return lstFilter_; }
    QString FilterText() const;
    uint FilterBackColor() const { return filterBackColor_; }
    void setFilterBackColor(uint color);
    QFont FilterFont() const;
    void setFilterFont(const QFont& font);

    void AddFilterItem(const QString& sItem, qint32 lItemID);
    void RemoveFilterItem();
    void SelectItem(qint32 lItemID);
    void ListBoxVisible(bool bVisible);
    void SelectFirstFilterItem();

    void SetFilterDefault() override;

Q_SIGNALS:
    void ListItemCheckedChanged(bool checked);
    void PrimaryKeyFiledChanged(const QString& field);
    void FilterTextChanged(const QString& text);
    void FilterBackColorChanged(uint color);
    void FilterFontChanged(const QFont& font);
    // The activation box was clicked; its new value.
    void CheckChange(int value);
    // While a condition is built: a direct connection may change the tag
    // ("( 3,5 )") and the value text.
    void FilterCreateSQLTag(int lItemData, const QString& sItem, QString* sSQLTag, QString* sDescription);

protected:
    vW_ListBoxFilterBase(ListBoxFilterModel* model, QWidget* parent);

    std::vector<PersistedProperty> viewProperties() const override;
    void applyActivationLook(bool active) override;
    void activationClicked(bool active) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showItems();
    void takeItemsFromList();
    void showSelection();
    void paintList(uint color);

    ListBoxFilterModel* model_;
    QListWidget* lstFilter_;
    uint filterBackColor_ = 0x80000005;
    bool syncing_ = false;
};

}  // namespace lg::filters
