#include "controls/vw_stepheader.h"

#include "platform/strings.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lg::controls {

struct vW_StepHeader::Private {
    QLabel* main = nullptr;
    QLabel* sub = nullptr;
    int step = 1;
};

vW_StepHeader::vW_StepHeader(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>())
{
    setObjectName(u"vW_StepHeader"_s);
    d->main = new QLabel(this);
    d->main->setObjectName(u"lblMainCaption"_s);
    QFont bold = d->main->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    d->main->setFont(bold);
    d->sub = new QLabel(this);
    d->sub->setObjectName(u"lblSubCaption"_s);
    d->sub->setWordWrap(true);
    d->sub->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The explanation is indented under the title; both labels take the
    // control's width less their own left edge.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(3);
    layout->addWidget(d->main);
    auto* subRow = new QHBoxLayout;
    subRow->setContentsMargins(16, 0, 0, 0);
    subRow->addWidget(d->sub, 1);
    layout->addLayout(subRow);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setCurrentStep(1);
}

vW_StepHeader::~vW_StepHeader() = default;

int vW_StepHeader::mainCaptionId(int step) { return step >= 1 && step <= 5 ? 2000 + 2 * (step - 1) : -1; }
int vW_StepHeader::subCaptionId(int step) { return step >= 1 && step <= 5 ? 2001 + 2 * (step - 1) : -1; }

QString vW_StepHeader::MainCaption() const { return d->main->text(); }
void vW_StepHeader::setMainCaption(const QString& caption)
{
    if (caption == d->main->text())
        return;
    d->main->setText(caption);
    Q_EMIT MainCaptionChanged(caption);
}

QString vW_StepHeader::SubCaption() const { return d->sub->text(); }
void vW_StepHeader::setSubCaption(const QString& caption)
{
    if (caption == d->sub->text())
        return;
    d->sub->setText(caption);
    updateGeometry();
    Q_EMIT SubCaptionChanged(caption);
}

int vW_StepHeader::CurrentStep() const { return d->step; }
void vW_StepHeader::setCurrentStep(int step)
{
    if (mainCaptionId(step) < 0)
        return;
    setMainCaption(LoadResString(mainCaptionId(step)));
    setSubCaption(LoadResString(subCaptionId(step)));
    if (step != d->step) {
        d->step = step;
        Q_EMIT CurrentStepChanged(step);
    }
}

QLabel* vW_StepHeader::lblMain() const { return d->main; }
QLabel* vW_StepHeader::lblSub() const { return d->sub; }

QSize vW_StepHeader::sizeHint() const
{
    // Room for the title and three lines of explanation, so the pages below
    // do not jump when a step's text is longer.
    const QFontMetrics sub(d->sub->font());
    const QFontMetrics main(d->main->font());
    return {560, 6 + main.height() + 3 + 3 * sub.lineSpacing() + 6};
}

}  // namespace lg::controls
