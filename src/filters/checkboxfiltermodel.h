#pragma once

// The check-box filter (vW_QueryCheckBox) without a window: a Boolean field
// is true (or false, negated), or compared with a stored code. The check box
// itself is the activation box.

#include "filters/queryfilter.h"
#include "filters/textfiltermodel.h"  // NegationPicture

namespace lg::filters {

class CheckBoxFilterModel : public QueryFilter {
    Q_OBJECT
    Q_PROPERTY(QString QueryFieldCheckedValue READ queryFieldCheckedValue WRITE setQueryFieldCheckedValue NOTIFY
                   queryFieldCheckedValueChanged)
    Q_PROPERTY(bool NOTPictureVisible READ notPictureVisible WRITE setNotPictureVisible NOTIFY
                   notPictureVisibleChanged)
    Q_PROPERTY(int NOTPictureValue READ notPictureValue WRITE setNotPictureValue NOTIFY notValueChange)

public:
    explicit CheckBoxFilterModel(QObject* parent = nullptr);
    ~CheckBoxFilterModel() override;

    Kind kind() const override { return Kind::CheckBox; }

    // An SQL comparison appended to the field, such as "= 'A'"; used when
    // the negation toggle is hidden.
    QString queryFieldCheckedValue() const { return m_checkedValue; }
    void setQueryFieldCheckedValue(const QString& value);

    bool notPictureVisible() const { return m_notPictureVisible; }
    void setNotPictureVisible(bool visible);
    int notPictureValue() const { return m_notValue; }
    void setNotPictureValue(int value);  // 0 or 1; others ignored
    void toggleNegation() { setNotPictureValue(m_notValue ? 0 : 1); }
    NegationPicture notPicture() const { return negationPicture(m_notValue != 0, isActive()); }

    void build() override;
    void setFilterDefault() override;
    std::span<const PersistedProperty> designProperties() const override;

Q_SIGNALS:
    void queryFieldCheckedValueChanged(const QString& value);
    void notPictureVisibleChanged(bool visible);
    void notValueChange(int value);

private:
    QString m_checkedValue;
    bool m_notPictureVisible = true;
    int m_notValue = 0;
};

}  // namespace lg::filters
