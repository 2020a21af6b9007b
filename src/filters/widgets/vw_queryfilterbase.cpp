#include "filters/widgets/vw_queryfilterbase.h"

#include "filters/widgets/twips.h"
#include "platform/version.h"
#include "ui/captions.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>

namespace lg::filters {

QueryFilterControl::~QueryFilterControl() = default;

int CollectWhereAndFilter(const QList<QueryFilterControl*>& controls, WhereCollection& collection)
{
    int added = 0;
    for (QueryFilterControl* c : controls)
        if (c && c->CollectWhereAndFilter(collection))
            ++added;
    return added;
}

struct vW_QueryFilterBase::Private {
    QueryFilter* model = nullptr;
    QCheckBox* check = nullptr;
    QLabel* caption = nullptr;
    QString captionText = QStringLiteral("-");
    bool captionVisible = true;
    int captionWidth = 975;
    uint captionForeColor = 0x80000007;
    uint backColor = 0x8000000F;
};

vW_QueryFilterBase::vW_QueryFilterBase(QueryFilter* model, QWidget* parent) : QWidget(parent), d(new Private)
{
    d->model = model;
    model->setParent(this);
    d->check = new QCheckBox(this);
    d->check->setObjectName(QStringLiteral("chkQueryFilter"));
    d->caption = new QLabel(d->captionText, this);
    d->caption->setObjectName(QStringLiteral("lblCaption"));
    d->caption->installEventFilter(this);
    d->caption->setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);

    connect(d->check, &QCheckBox::clicked, this, [this](bool on) { activationClicked(on); });
    connect(model, &QueryFilter::queryFieldChanged, this, &vW_QueryFilterBase::QueryFieldChanged);
    connect(model, &QueryFilter::queryFieldDescriptionChanged, this,
            &vW_QueryFilterBase::QueryFieldDescriptionChanged);
    connect(model, &QueryFilter::resultsChanged, this, &vW_QueryFilterBase::ResultsChanged);
    connect(model, &QueryFilter::queryCheckValueChanged, this, [this](int value) {
        d->check->setChecked(value == 1);
        applyActivationLook(value == 1);
        Q_EMIT QueryCheckValueChanged(value);
    });
    connect(model, &QueryFilter::queryCheckVisibleChanged, this, [this](bool visible) {
        applyQueryCheckVisible(visible);
        Q_EMIT QueryCheckVisibleChanged(visible);
    });
    d->check->setChecked(model->isActive());
    d->check->setVisible(model->queryCheckVisible());  // subclasses apply it again once built
}

vW_QueryFilterBase::~vW_QueryFilterBase()
{
    // The children show the model: they go first.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

QueryFilter* vW_QueryFilterBase::filter() const { return d->model; }
QCheckBox* vW_QueryFilterBase::chkQueryFilter() const { return d->check; }
QLabel* vW_QueryFilterBase::lblCaption() const { return d->caption; }

QString vW_QueryFilterBase::QueryField() const { return d->model->queryField(); }
void vW_QueryFilterBase::setQueryField(const QString& field) { d->model->setQueryField(field); }
QString vW_QueryFilterBase::QueryFieldDescription() const { return d->model->queryFieldDescription(); }
void vW_QueryFilterBase::setQueryFieldDescription(const QString& description)
{
    d->model->setQueryFieldDescription(description);
}
QString vW_QueryFilterBase::QueryResultSQL() const { return d->model->queryResultSQL(); }
QString vW_QueryFilterBase::QueryResultFilter() const { return d->model->queryResultFilter(); }
QString vW_QueryFilterBase::QueryResultDescription() const { return d->model->queryResultDescription(); }
int vW_QueryFilterBase::QueryCheckValue() const { return d->model->queryCheckValue(); }
void vW_QueryFilterBase::setQueryCheckValue(int value) { d->model->setQueryCheckValue(value); }
bool vW_QueryFilterBase::QueryCheckVisible() const { return d->model->queryCheckVisible(); }
void vW_QueryFilterBase::setQueryCheckVisible(bool visible) { d->model->setQueryCheckVisible(visible); }

void vW_QueryFilterBase::applyQueryCheckVisible(bool visible) { d->check->setVisible(visible); }

void vW_QueryFilterBase::activationClicked(bool active) { d->model->setQueryCheckValue(active ? 1 : 0); }

QString vW_QueryFilterBase::Caption() const { return d->captionText; }
void vW_QueryFilterBase::setCaption(const QString& caption)
{
    if (d->captionText == caption)
        return;
    d->captionText = caption;
    applyCaption();
    Q_EMIT CaptionChanged();
}

bool vW_QueryFilterBase::CaptionVisible() const { return d->captionVisible; }
void vW_QueryFilterBase::setCaptionVisible(bool visible)
{
    if (d->captionVisible == visible)
        return;
    d->captionVisible = visible;
    applyCaption();
    Q_EMIT CaptionChanged();
}

int vW_QueryFilterBase::CaptionWidth() const { return d->captionWidth; }
void vW_QueryFilterBase::setCaptionWidth(int twips)
{
    twips = qMax(0, twips);
    if (d->captionWidth == twips)
        return;
    d->captionWidth = twips;
    applyCaption();
    Q_EMIT CaptionChanged();
}

uint vW_QueryFilterBase::CaptionForeColor() const { return d->captionForeColor; }
void vW_QueryFilterBase::setCaptionForeColor(uint color)
{
    if (d->captionForeColor == color)
        return;
    d->captionForeColor = color;
    applyCaption();
    Q_EMIT CaptionChanged();
}

QFont vW_QueryFilterBase::CaptionFont() const { return d->caption->font(); }
void vW_QueryFilterBase::setCaptionFont(const QFont& font)
{
    if (d->caption->font() == font)
        return;
    d->caption->setFont(font);
    applyCaption();
    Q_EMIT CaptionChanged();
}

void vW_QueryFilterBase::applyCaption()
{
    d->caption->setText(d->captionText);
    d->caption->setVisible(d->captionVisible);
    d->caption->setFixedWidth(twipsToPixelsX(d->captionWidth, this));
    QPalette p = d->caption->palette();
    p.setColor(QPalette::WindowText, colorFromWin(d->captionForeColor, QApplication::palette()));
    d->caption->setPalette(p);
}

uint vW_QueryFilterBase::BackColor() const { return d->backColor; }
void vW_QueryFilterBase::setBackColor(uint color)
{
    if (d->backColor == color)
        return;
    d->backColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, colorFromWin(color, QApplication::palette()));
    setPalette(p);
    Q_EMIT BackColorChanged(color);
}

void vW_QueryFilterBase::setEnabledState(bool enabled)
{
    if (isEnabled() == enabled)
        return;
    setEnabled(enabled);
    Q_EMIT EnabledChanged(enabled);
}

QString vW_QueryFilterBase::Version()
{
    // major "." minor "." revision of the library
    return QStringLiteral(LISTGEN_VERSION);
}

std::vector<PersistedProperty> vW_QueryFilterBase::viewProperties() const
{
    return {
        {"Caption", QStringLiteral("-")},
        {"CaptionVisible", true},
        {"CaptionWidth", 975},
        {"CaptionForeColor", 0x80000007u},
        {"CaptionFont", QVariant::fromValue(QFont())},
        {"BackColor", 0x8000000Fu},
        {"Enabled", true},
    };
}

void vW_QueryFilterBase::initDesignProperties()
{
    d->model->initDesignProperties();
    const auto table = viewProperties();
    initProperties(this, table);
}

void vW_QueryFilterBase::readDesignProperties(const PropertyBag& bag)
{
    d->model->readDesignProperties(bag);
    const auto table = viewProperties();
    readProperties(this, bag, table);
}

void vW_QueryFilterBase::writeDesignProperties(PropertyBag& bag) const
{
    d->model->writeDesignProperties(bag);
    const auto table = viewProperties();
    writeProperties(this, bag, table);
}

bool vW_QueryFilterBase::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the caption ticks or unticks the activation box.
    if (watched == d->caption && event->type() == QEvent::MouseButtonRelease && isEnabled()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            activationClicked(!d->model->isActive());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int vW_QueryFilterBase::shiftState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

void vW_QueryFilterBase::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT KeyDown(event->key(), shiftState(event->modifiers()));
    if (!event->text().isEmpty())
        Q_EMIT KeyPress(event->text().at(0).unicode());
    QWidget::keyPressEvent(event);
}

void vW_QueryFilterBase::keyReleaseEvent(QKeyEvent* event)
{
    Q_EMIT KeyUp(event->key(), shiftState(event->modifiers()));
    QWidget::keyReleaseEvent(event);
}

}  // namespace lg::filters
