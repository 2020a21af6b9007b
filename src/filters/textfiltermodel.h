#pragma once

// The text, number and date filter (vW_QueryTextFilter) without a window:
// two typed inputs, the relation list, the negation, the quick-fill list
// (date periods for date types, host entries otherwise), and the condition
// it builds.
//
// Input types: 1 text (relation list shown, quick-fill hidden), 2 number
// (both hidden), 4 and 5 date (relation list hidden, quick-fill shows the
// period list; 5 also lists codes 11 to 13).

#include "filters/dateperiods.h"
#include "filters/queryfilter.h"
#include "filters/typedinput.h"

#include <QtCore/QList>
#include <QtCore/QVariant>

namespace lg::filters {

// The negation picture's four looks.
enum class NegationPicture { Ok, Cancel, OkDisabled, CancelDisabled };
// The image key of a look: "_ok", "_cancel", "_ok_disabled", "_cancel_disabled".
QString negationPictureKey(NegationPicture picture);
NegationPicture negationPicture(bool negated, bool active);

class TextFilterModel : public QueryFilter {
    Q_OBJECT
    Q_PROPERTY(int InputType READ inputType WRITE setInputType NOTIFY inputTypeChanged)
    Q_PROPERTY(QVariant Input1Text READ input1Text WRITE setInput1Text NOTIFY inputsChanged)
    Q_PROPERTY(QVariant Input2Text READ input2Text WRITE setInput2Text NOTIFY inputsChanged)
    Q_PROPERTY(bool Input2Visible READ input2Visible WRITE setInput2Visible NOTIFY input2VisibleChanged)
    Q_PROPERTY(bool RelationListVisible READ relationListVisible WRITE setRelationListVisible NOTIFY
                   relationListVisibleChanged)
    Q_PROPERTY(int RelationListItemData READ relationListItemData WRITE setRelationListItemData NOTIFY
                   relationListItemDataChanged)
    Q_PROPERTY(bool FillerListVisible READ fillerListVisible WRITE setFillerListVisible NOTIFY
                   fillerListVisibleChanged)
    Q_PROPERTY(int FillerListItemData READ fillerListItemData WRITE setFillerListItemData NOTIFY
                   fillerListItemDataChanged)
    Q_PROPERTY(bool NOTPictureVisible READ notPictureVisible WRITE setNotPictureVisible NOTIFY
                   notPictureVisibleChanged)
    Q_PROPERTY(int NOTPictureValue READ notPictureValue WRITE setNotPictureValue NOTIFY notValueChange)
    Q_PROPERTY(QString LikeCharacter READ likeCharacter WRITE setLikeCharacter NOTIFY likeCharacterChanged)
    Q_PROPERTY(bool KeyWordsFind READ keyWordsFind WRITE setKeyWordsFind NOTIFY keyWordsFindChanged)
    Q_PROPERTY(QString KeyWordSeparator READ keyWordSeparator WRITE setKeyWordSeparator NOTIFY
                   keyWordSeparatorChanged)
    Q_PROPERTY(bool ExtendedFilterVisible READ extendedFilterVisible WRITE setExtendedFilterVisible NOTIFY
                   extendedFilterVisibleChanged)
    Q_PROPERTY(int ExtendedFilterRelation READ extendedFilterRelation WRITE setExtendedFilterRelation NOTIFY
                   extendedFilterRelationChanged)
    Q_PROPERTY(QString QueryFieldProgID READ queryFieldProgID WRITE setQueryFieldProgID NOTIFY progIdsChanged)
    Q_PROPERTY(QString QueryFieldProgIDFilter READ queryFieldProgIDFilter WRITE setQueryFieldProgIDFilter NOTIFY
                   progIdsChanged)
    Q_PROPERTY(QString QueryFieldProgIDField READ queryFieldProgIDField WRITE setQueryFieldProgIDField NOTIFY
                   progIdsChanged)

public:
    // Relation codes (the relation list's item data).
    enum Relation { Like = 0, Between = 1, Equal = 2, Greater = 3, Less = 4, GreaterEqual = 5, LessEqual = 6 };

    struct ListEntry {
        QString text;
        int code;  // relation code, period code, or the host entry's position
        bool operator==(const ListEntry&) const = default;
    };

    explicit TextFilterModel(QObject* parent = nullptr);
    ~TextFilterModel() override;

    Kind kind() const override { return Kind::Text; }

    // The two inputs; the widget shows them, the model listens to them.
    TypedInput* input1() const { return m_input1; }
    TypedInput* input2() const { return m_input2; }

    // The day the period codes and Ctrl+T count from; the date inputs of a
    // date filter are set to it.
    void setTodayProvider(TodayProvider today);
    QDate today() const;

    // ---- input type ------------------------------------------------------
    int inputType() const { return m_inputType; }
    void setInputType(int type);

    QVariant input1Text() const;
    void setInput1Text(const QVariant& value);
    QVariant input2Text() const;
    void setInput2Text(const QVariant& value);

    bool input2Visible() const { return m_input2Visible; }
    void setInput2Visible(bool visible);

    // ---- relation list ------------------------------------------------------
    // "Mint", "Közt", "=", ">", "<", ">=", "<=" with codes 0 to 6.
    QList<ListEntry> relationEntries() const;
    bool relationListVisible() const { return m_relationListVisible; }
    void setRelationListVisible(bool visible);
    int relationListItemData() const { return m_relation; }
    // Selects the entry with that code; an unknown code changes nothing.
    void setRelationListItemData(int code);
    // Locked while input 2 of a text filter holds text (Közt is forced).
    bool relationListLocked() const { return m_relationLocked; }

    // ---- quick-fill list ------------------------------------------------------
    bool fillerListVisible() const { return m_fillerListVisible; }
    void setFillerListVisible(bool visible);
    // Date types: the period entries of the type; others: the host's entries.
    QList<ListEntry> fillerEntries() const;
    void fillerAddItem(const QString& item);
    void clearFillerItems();
    int fillerListItemData() const { return m_fillerCode; }
    void setFillerListItemData(int code);
    // A click on the quick-fill entry at index: raises fillerClick, and for
    // date types applies its period code. False for an index out of range.
    bool clickFiller(int index);
    // A click on the period entry with that code; false when the input type
    // does not list it.
    bool applyPeriod(int code);

    // ---- negation --------------------------------------------------------------
    bool notPictureVisible() const { return m_notPictureVisible; }
    void setNotPictureVisible(bool visible);
    int notPictureValue() const { return m_notValue; }
    // 0 or 1; other values are ignored. Always raises notValueChange.
    void setNotPictureValue(int value);
    void toggleNegation() { setNotPictureValue(m_notValue ? 0 : 1); }
    NegationPicture notPicture() const { return negationPicture(m_notValue != 0, isActive()); }

    // ---- text options --------------------------------------------------------------
    QString likeCharacter() const { return m_likeCharacter; }
    void setLikeCharacter(const QString& character);
    bool keyWordsFind() const { return m_keyWordsFind; }
    void setKeyWordsFind(bool on);
    QString keyWordSeparator() const { return m_keyWordSeparator; }
    // Keeps the first character of the trimmed value, "+" when blank.
    void setKeyWordSeparator(const QString& separator);

    bool extendedFilterVisible() const { return m_extendedFilterVisible; }
    void setExtendedFilterVisible(bool visible);
    int extendedFilterRelation() const { return m_extendedFilterRelation; }
    void setExtendedFilterRelation(int relation);
    QString queryFieldProgID() const { return m_progId; }
    void setQueryFieldProgID(const QString& id);
    QString queryFieldProgIDFilter() const { return m_progIdFilter; }
    void setQueryFieldProgIDFilter(const QString& id);
    QString queryFieldProgIDField() const { return m_progIdField; }
    void setQueryFieldProgIDField(const QString& id);

    // ---- the contract ------------------------------------------------------------------
    void build() override;
    bool collectWhereAndFilter(WhereCollection& collection) override;
    void setFilterDefault() override;
    std::span<const PersistedProperty> designProperties() const override;

Q_SIGNALS:
    void inputTypeChanged(int type);
    void inputsChanged();
    void input2VisibleChanged(bool visible);
    void relationListVisibleChanged(bool visible);
    void relationListItemDataChanged(int code);
    void relationListLockedChanged(bool locked);
    void fillerListVisibleChanged(bool visible);
    void fillerEntriesChanged();
    void fillerListItemDataChanged(int code);
    void fillerClick(const QString& text);
    void notPictureVisibleChanged(bool visible);
    void notValueChange(int value);
    void likeCharacterChanged(const QString& character);
    void keyWordsFindChanged(bool on);
    void keyWordSeparatorChanged(const QString& separator);
    void extendedFilterVisibleChanged(bool visible);
    void extendedFilterRelationChanged(int relation);
    void progIdsChanged();

protected:
    void activationChanged() override;

private:
    bool isDateType() const;
    void onInput2Changed();
    void setRelationLocked(bool locked);

    TypedInput* m_input1;
    TypedInput* m_input2;
    TodayProvider m_today;
    int m_inputType = TypedInput::TextInput;
    bool m_applyingType = false;
    bool m_building = false;  // SetFilterDefault: no rebuild per step
    bool m_input2Visible = true;
    bool m_relationListVisible = false;
    int m_relation = Like;
    bool m_relationLocked = false;
    bool m_fillerListVisible = true;
    QStringList m_hostFillerItems;
    int m_fillerCode = 0;
    bool m_notPictureVisible = true;
    int m_notValue = 0;
    QString m_likeCharacter = QStringLiteral("*");
    bool m_keyWordsFind = false;
    QString m_keyWordSeparator = QStringLiteral("+");
    bool m_extendedFilterVisible = true;
    int m_extendedFilterRelation = 1;
    QString m_progId, m_progIdFilter, m_progIdField;
};

}  // namespace lg::filters
