#pragma once

// vW_QueryTextFilter: the filter of a text, number or date field. Caption,
// activation box, negation picture, relation list, two typed inputs (from,
// to), the quick-fill list (date periods, or the host's entries) and the
// extended-filter button. A view on TextFilterModel, which builds the
// condition; this widget shows the state and forwards clicks and typing.

#include "filters/widgets/vw_queryfilterbase.h"

#include <QtCore/QVariant>

class QComboBox;
class QLabel;
class QToolButton;

namespace lg::filters {

class NegationPictureView;
class TextFilterModel;
class vW_FilterControl;

class vW_QueryTextFilter : public vW_QueryFilterBase {
    Q_OBJECT
    Q_PROPERTY(int InputType READ InputType WRITE setInputType NOTIFY InputTypeChanged)
    Q_PROPERTY(QVariant Input1Text READ Input1Text WRITE setInput1Text NOTIFY InputsChanged)
    Q_PROPERTY(QVariant Input2Text READ Input2Text WRITE setInput2Text NOTIFY InputsChanged)
    Q_PROPERTY(bool Input2Visible READ Input2Visible WRITE setInput2Visible NOTIFY Input2VisibleChanged)
    Q_PROPERTY(int InputHeight READ InputHeight WRITE setInputHeight NOTIFY InputLookChanged)
    Q_PROPERTY(uint InputForeColor READ InputForeColor WRITE setInputForeColor NOTIFY InputLookChanged)
    Q_PROPERTY(uint InputBackColor READ InputBackColor WRITE setInputBackColor NOTIFY InputLookChanged)
    Q_PROPERTY(QFont InputFont READ InputFont WRITE setInputFont NOTIFY InputLookChanged)
    Q_PROPERTY(bool RelationListVisible READ RelationListVisible WRITE setRelationListVisible NOTIFY
                   RelationListVisibleChanged)
    Q_PROPERTY(int RelationListItemData READ RelationListItemData WRITE setRelationListItemData NOTIFY
                   RelationListItemDataChanged)
    Q_PROPERTY(bool FillerListVisible READ FillerListVisible WRITE setFillerListVisible NOTIFY
                   FillerListVisibleChanged)
    Q_PROPERTY(int FillerListWidth READ FillerListWidth WRITE setFillerListWidth NOTIFY FillerListWidthChanged)
    Q_PROPERTY(int FillerListItemData READ FillerListItemData WRITE setFillerListItemData NOTIFY
                   FillerListItemDataChanged)
    Q_PROPERTY(bool NOTPictureVisible READ NOTPictureVisible WRITE setNOTPictureVisible NOTIFY
                   NOTPictureVisibleChanged)
    Q_PROPERTY(int NOTPictureValue READ NOTPictureValue WRITE setNOTPictureValue NOTIFY NOTValueChange)
    Q_PROPERTY(QString LikeCharacter READ LikeCharacter WRITE setLikeCharacter NOTIFY LikeCharacterChanged)
    Q_PROPERTY(bool KeyWordsFind READ KeyWordsFind WRITE setKeyWordsFind NOTIFY KeyWordsFindChanged)
    Q_PROPERTY(QString KeyWordSeparator READ KeyWordSeparator WRITE setKeyWordSeparator NOTIFY
                   KeyWordSeparatorChanged)
    Q_PROPERTY(bool ExtendedFilterVisible READ ExtendedFilterVisible WRITE setExtendedFilterVisible NOTIFY
                   ExtendedFilterVisibleChanged)
    Q_PROPERTY(int ExtendedFilterRelation READ ExtendedFilterRelation WRITE setExtendedFilterRelation NOTIFY
                   ExtendedFilterRelationChanged)
    Q_PROPERTY(QString QueryFieldProgID READ QueryFieldProgID WRITE setQueryFieldProgID NOTIFY ProgIDsChanged)
    Q_PROPERTY(QString QueryFieldProgIDFilter READ QueryFieldProgIDFilter WRITE setQueryFieldProgIDFilter NOTIFY
                   ProgIDsChanged)
    Q_PROPERTY(QString QueryFieldProgIDField READ QueryFieldProgIDField WRITE setQueryFieldProgIDField NOTIFY
                   ProgIDsChanged)

public:
    explicit vW_QueryTextFilter(QWidget* parent = nullptr);
    ~vW_QueryTextFilter() override;

    TextFilterModel* model() const;

    int InputType() const;
    void setInputType(int type);
    QVariant Input1Text() const;
    void setInput1Text(const QVariant& value);
    QVariant Input2Text() const;
    void setInput2Text(const QVariant& value);
    bool Input2Visible() const;
    void setInput2Visible(bool visible);
    int InputHeight() const;  // twips
    void setInputHeight(int twips);
    uint InputForeColor() const;
    void setInputForeColor(uint color);
    uint InputBackColor() const;
    void setInputBackColor(uint color);
    QFont InputFont() const;
    void setInputFont(const QFont& font);
    bool RelationListVisible() const;
    void setRelationListVisible(bool visible);
    int RelationListItemData() const;
    void setRelationListItemData(int code);
    bool FillerListVisible() const;
    void setFillerListVisible(bool visible);
    int FillerListWidth() const;  // twips
    void setFillerListWidth(int twips);
    int FillerListItemData() const;
    void setFillerListItemData(int code);
    bool NOTPictureVisible() const;
    void setNOTPictureVisible(bool visible);
    int NOTPictureValue() const;
    void setNOTPictureValue(int value);
    QString LikeCharacter() const;
    void setLikeCharacter(const QString& character);
    bool KeyWordsFind() const;
    void setKeyWordsFind(bool on);
    QString KeyWordSeparator() const;
    void setKeyWordSeparator(const QString& separator);
    bool ExtendedFilterVisible() const;
    void setExtendedFilterVisible(bool visible);
    int ExtendedFilterRelation() const;
    void setExtendedFilterRelation(int relation);
    QString QueryFieldProgID() const;
    void setQueryFieldProgID(const QString& id);
    QString QueryFieldProgIDFilter() const;
    void setQueryFieldProgIDFilter(const QString& id);
    QString QueryFieldProgIDField() const;
    void setQueryFieldProgIDField(const QString& id);

    void FillerAddItem(const QString& item);
    void SetFilterDefault() override;

    vW_FilterControl* txtInput1() const;
    vW_FilterControl* txtInput2() const;
    QComboBox* lstRelation() const;
    QComboBox* lstFiller() const;
    NegationPictureView* imgNot() const;
    QToolButton* cmdExtendedFilter() const;
    QLabel* lblExtendedFilter() const;

Q_SIGNALS:
    void FillerClick(const QString& text);
    void NOTValueChange(int value);
    void InputTypeChanged(int type);
    void InputsChanged();
    void Input2VisibleChanged(bool visible);
    void InputLookChanged();
    void RelationListVisibleChanged(bool visible);
    void RelationListItemDataChanged(int code);
    void FillerListVisibleChanged(bool visible);
    void FillerListWidthChanged(int twips);
    void FillerListItemDataChanged(int code);
    void NOTPictureVisibleChanged(bool visible);
    void LikeCharacterChanged(const QString& character);
    void KeyWordsFindChanged(bool on);
    void KeyWordSeparatorChanged(const QString& separator);
    void ExtendedFilterVisibleChanged(bool visible);
    void ExtendedFilterRelationChanged(int relation);
    void ProgIDsChanged();

protected:
    std::vector<PersistedProperty> viewProperties() const override;
    void applyActivationLook(bool active) override;
    void activationClicked(bool active) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters
