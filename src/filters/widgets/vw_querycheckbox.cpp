#include "filters/widgets/vw_querycheckbox.h"

#include "filters/checkboxfiltermodel.h"
#include "filters/widgets/negationpicture.h"
#include "ui/captions.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>

namespace lg::filters {

vW_QueryCheckBox::vW_QueryCheckBox(QWidget* parent)
    : vW_QueryFilterBase(new CheckBoxFilterModel, parent),
      model_(static_cast<CheckBoxFilterModel*>(filter())),
      img_not_(new NegationPictureView(this))
{
    setObjectName(QStringLiteral("vW_QueryCheckBox"));
    lblCaption()->hide();  // the check box carries the caption
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(4);
    layout->addWidget(img_not_);
    layout->addWidget(chkQueryFilter());
    layout->addStretch(1);

    connect(img_not_, &NegationPictureView::clicked, model_, &CheckBoxFilterModel::toggleNegation);
    connect(model_, &CheckBoxFilterModel::notValueChange, this, [this](int value) {
        showPicture();
        Q_EMIT NOTValueChange(value);
    });
    connect(model_, &CheckBoxFilterModel::notPictureVisibleChanged, this, [this](bool visible) {
        img_not_->setVisible(visible);
        Q_EMIT NOTPictureVisibleChanged(visible);
    });
    connect(model_, &CheckBoxFilterModel::queryFieldCheckedValueChanged, this,
            &vW_QueryCheckBox::QueryFieldCheckedValueChanged);
    img_not_->setVisible(model_->notPictureVisible());
    chkQueryFilter()->show();
    applyCaption();
    applyActivationLook(model_->isActive());
}

vW_QueryCheckBox::~vW_QueryCheckBox() = default;

CheckBoxFilterModel* vW_QueryCheckBox::model() const { return model_; }

QString vW_QueryCheckBox::QueryFieldCheckedValue() const { return model_->queryFieldCheckedValue(); }
void vW_QueryCheckBox::setQueryFieldCheckedValue(const QString& value) { model_->setQueryFieldCheckedValue(value); }
bool vW_QueryCheckBox::NOTPictureVisible() const { return model_->notPictureVisible(); }
void vW_QueryCheckBox::setNOTPictureVisible(bool visible) { model_->setNotPictureVisible(visible); }
int vW_QueryCheckBox::NOTPictureValue() const { return model_->notPictureValue(); }
void vW_QueryCheckBox::setNOTPictureValue(int value) { model_->setNotPictureValue(value); }

void vW_QueryCheckBox::SetFilterDefault()
{
    model_->setFilterDefault();
    applyActivationLook(false);
}

void vW_QueryCheckBox::showPicture()
{
    img_not_->setNegated(model_->notPictureValue() != 0);
    img_not_->setActiveLook(model_->isActive());
}

void vW_QueryCheckBox::applyActivationLook(bool) { showPicture(); }

void vW_QueryCheckBox::applyQueryCheckVisible(bool) { chkQueryFilter()->show(); }

void vW_QueryCheckBox::applyCaption()
{
    vW_QueryFilterBase::applyCaption();
    lblCaption()->hide();
    QCheckBox* check = chkQueryFilter();
    check->setText(CaptionVisible() ? Caption() : QString());
    check->setFont(CaptionFont());
    QPalette p = check->palette();
    p.setColor(QPalette::WindowText, colorFromWin(CaptionForeColor(), QApplication::palette()));
    p.setColor(QPalette::ButtonText, colorFromWin(CaptionForeColor(), QApplication::palette()));
    check->setPalette(p);
}

}  // namespace lg::filters
