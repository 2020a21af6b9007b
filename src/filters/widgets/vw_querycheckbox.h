#pragma once

// vW_QueryCheckBox: the filter of a Boolean field. Its check box, which
// carries the caption, is the activation box; the negation picture beside it
// turns "true" into "not true". A view on CheckBoxFilterModel.

#include "filters/widgets/vw_queryfilterbase.h"

namespace lg::filters {

class CheckBoxFilterModel;
class NegationPictureView;

class vW_QueryCheckBox : public vW_QueryFilterBase {
    Q_OBJECT
    Q_PROPERTY(QString QueryFieldCheckedValue READ QueryFieldCheckedValue WRITE setQueryFieldCheckedValue NOTIFY
                   QueryFieldCheckedValueChanged)
    Q_PROPERTY(bool NOTPictureVisible READ NOTPictureVisible WRITE setNOTPictureVisible NOTIFY
                   NOTPictureVisibleChanged)
    Q_PROPERTY(int NOTPictureValue READ NOTPictureValue WRITE setNOTPictureValue NOTIFY NOTValueChange)

public:
    explicit vW_QueryCheckBox(QWidget* parent = nullptr);
    ~vW_QueryCheckBox() override;

    CheckBoxFilterModel* model() const;

    QString QueryFieldCheckedValue() const;
    void setQueryFieldCheckedValue(const QString& value);
    bool NOTPictureVisible() const;
    void setNOTPictureVisible(bool visible);
    int NOTPictureValue() const;
    void setNOTPictureValue(int value);

    void SetFilterDefault() override;

    NegationPictureView* imgNot() const { return img_not_; }

Q_SIGNALS:
    void QueryFieldCheckedValueChanged(const QString& value);
    void NOTPictureVisibleChanged(bool visible);
    void NOTValueChange(int value);

protected:
    void applyActivationLook(bool active) override;
    void applyCaption() override;
    void applyQueryCheckVisible(bool) override;  // the check box is the filter: always shown

private:
    void showPicture();

    CheckBoxFilterModel* model_;
    NegationPictureView* img_not_;
};

}  // namespace lg::filters
