#include "filters/widgets/vw_filtercontrol.h"

#include "filters/typedinput.h"
#include "filters/widgets/frmmonthview.h"
#include "filters/widgets/twips.h"
#include "ui/captions.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTimer>
#include <QtGui/QFocusEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

namespace lg::filters {

struct vW_FilterControl::Private {
    TypedInput* model = nullptr;
    QLineEdit* edit = nullptr;
    bool borderVisible = true;
    int borderWidth = 1;
    uint borderColor = 0;
    uint backColor = 0xEFEEE7;
    uint backColorActive = 0x80000018;
    uint backColorDisabled = 0x808080;
    uint foreColor = 0;
    uint foreColorActive = 0;
    uint foreColorDisabled = 0;
    uint background = 0x8000000F;
    bool refocusQueued = false;
    DatePicker picker;
};

namespace {

// The shift state of a key event: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

vW_FilterControl::vW_FilterControl(QWidget* parent) : vW_FilterControl(nullptr, parent) {}

vW_FilterControl::vW_FilterControl(TypedInput* model, QWidget* parent) : QWidget(parent), d(new Private)
{
    setObjectName(QStringLiteral("vW_FilterControl"));
    d->model = model ? model : new TypedInput(this);
    d->edit = new QLineEdit(this);
    d->edit->setObjectName(QStringLiteral("txtInput"));
    d->edit->setFrame(false);
    d->edit->installEventFilter(this);
    setFocusProxy(d->edit);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);

    TypedInput* m = d->model;
    d->edit->setText(m->text());
    d->edit->setAlignment(m->alignment() | Qt::AlignVCenter);
    connect(d->edit, &QLineEdit::textEdited, m, &TypedInput::setText);
    connect(m, &TypedInput::textChanged, this, [this](const QString& text) {
        if (d->edit->text() != text)
            d->edit->setText(text);
        Q_EMIT TextChanged();
    });
    connect(m, &TypedInput::changed, this, &vW_FilterControl::Change);
    connect(m, &TypedInput::inputTypeChanged, this, [this](int type) {
        d->edit->setAlignment(d->model->alignment() | Qt::AlignVCenter);
        Q_EMIT InputTypeChanged(type);
    });
    connect(m, &TypedInput::boundsChanged, this, &vW_FilterControl::BoundsChanged);
    connect(m, &TypedInput::formatStringChanged, this, &vW_FilterControl::FormatStringChanged);
    connect(m, &TypedInput::enterBehaviourChanged, this, &vW_FilterControl::EnterBehaviourChanged);

    resize(sizeHint());
    setEnabledState(true);  // the normal colours until focus comes
}

vW_FilterControl::~vW_FilterControl() = default;

TypedInput* vW_FilterControl::model() const { return d->model; }
QLineEdit* vW_FilterControl::txtInput() const { return d->edit; }

QSize vW_FilterControl::sizeHint() const
{
    const QSize edit = d->edit->sizeHint();
    const int inset = d->borderVisible ? d->borderWidth : 0;
    return {qMax(90, edit.width()) + 2 * inset, edit.height() + 2 * inset};
}

// ---- colours by state -------------------------------------------------------

static void paintEdit(QLineEdit* edit, uint back, uint fore)
{
    QPalette p = edit->palette();
    const QColor b = colorFromWin(back, QApplication::palette());
    const QColor f = colorFromWin(fore, QApplication::palette());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, b);
        p.setColor(g, QPalette::Window, b);
        p.setColor(g, QPalette::Text, f);
    }
    edit->setPalette(p);
}

void vW_FilterControl::setEnabledState(bool enabled)
{
    const bool was = isEnabled();
    setEnabled(enabled);
    if (enabled)
        paintEdit(d->edit, d->backColor, d->foreColor);
    else
        paintEdit(d->edit, d->backColorDisabled, d->foreColorDisabled);
    if (was != enabled)
        Q_EMIT EnabledChanged(enabled);
}

void vW_FilterControl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (isEnabled())
            paintEdit(d->edit, d->edit->hasFocus() ? d->backColorActive : d->backColor,
                      d->edit->hasFocus() ? d->foreColorActive : d->foreColor);
        else
            paintEdit(d->edit, d->backColorDisabled, d->foreColorDisabled);
    }
    QWidget::changeEvent(event);
}

// ---- properties ------------------------------------------------------------

int vW_FilterControl::InputType() const { return d->model->inputType(); }
void vW_FilterControl::setInputType(int type) { d->model->setInputType(type); }

QFont vW_FilterControl::Font() const { return d->edit->font(); }
void vW_FilterControl::setInputFont(const QFont& font)
{
    if (d->edit->font() == font)
        return;
    d->edit->setFont(font);
    updateGeometry();
    Q_EMIT FontChanged(font);
}

QDate vW_FilterControl::MinDate() const { return d->model->minDate(); }
void vW_FilterControl::setMinDate(const QDate& date) { d->model->setMinDate(date); }
QDate vW_FilterControl::MaxDate() const { return d->model->maxDate(); }
void vW_FilterControl::setMaxDate(const QDate& date) { d->model->setMaxDate(date); }
QVariant vW_FilterControl::Value() const { return d->model->value(); }
void vW_FilterControl::setValue(const QVariant& value) { d->model->setValue(value); }
QString vW_FilterControl::Text() const { return d->model->valueText(); }
void vW_FilterControl::setText(const QString& text) { d->model->setValueText(text); }
int vW_FilterControl::Week() const { return d->model->week(); }
int vW_FilterControl::Year() const { return d->model->year(); }
int vW_FilterControl::Month() const { return d->model->month(); }
int vW_FilterControl::Day() const { return d->model->day(); }
QString vW_FilterControl::FilterValue() const { return d->model->filterValue(); }
QString vW_FilterControl::FormatString() const { return d->model->formatString(); }
void vW_FilterControl::setFormatString(const QString& format) { d->model->setFormatString(format); }
int vW_FilterControl::EnterBehaviour() const { return d->model->enterBehaviour(); }
void vW_FilterControl::setEnterBehaviour(int behaviour) { d->model->setEnterBehaviour(behaviour); }

bool vW_FilterControl::BorderVisible() const { return d->borderVisible; }
void vW_FilterControl::setBorderVisible(bool visible)
{
    if (d->borderVisible == visible)
        return;
    d->borderVisible = visible;
    resizeEvent(nullptr);
    update();
    Q_EMIT BorderChanged();
}

int vW_FilterControl::BorderWidth() const { return d->borderWidth; }
void vW_FilterControl::setBorderWidth(int width)
{
    width = qBound(0, width, 255);  // a byte
    if (d->borderWidth == width && d->borderVisible == (width > 0))
        return;
    d->borderWidth = width;
    d->borderVisible = width > 0;
    resizeEvent(nullptr);
    update();
    Q_EMIT BorderChanged();
}

#define LG_COLOUR_PROPERTY(Name, member, apply)        \
    uint vW_FilterControl::Name() const { return d->member; } \
    void vW_FilterControl::set##Name(uint color)       \
    {                                                  \
        if (d->member == color)                        \
            return;                                    \
        d->member = color;                             \
        apply;                                         \
        Q_EMIT ColorsChanged();                        \
    }

LG_COLOUR_PROPERTY(BorderColor, borderColor, update())
LG_COLOUR_PROPERTY(BackColor, backColor, if (isEnabled() && !d->edit->hasFocus()) paintEdit(d->edit, d->backColor, d->foreColor))
LG_COLOUR_PROPERTY(BackColorActive, backColorActive, if (isEnabled() && d->edit->hasFocus()) paintEdit(d->edit, d->backColorActive, d->foreColorActive))
LG_COLOUR_PROPERTY(BackColorDisabled, backColorDisabled, if (!isEnabled()) paintEdit(d->edit, d->backColorDisabled, d->foreColorDisabled))
LG_COLOUR_PROPERTY(ForeColor, foreColor, if (isEnabled() && !d->edit->hasFocus()) paintEdit(d->edit, d->backColor, d->foreColor))
LG_COLOUR_PROPERTY(ForeColorActive, foreColorActive, if (isEnabled() && d->edit->hasFocus()) paintEdit(d->edit, d->backColorActive, d->foreColorActive))
LG_COLOUR_PROPERTY(ForeColorDisabled, foreColorDisabled, if (!isEnabled()) paintEdit(d->edit, d->backColorDisabled, d->foreColorDisabled))
LG_COLOUR_PROPERTY(Background, background, update())

#undef LG_COLOUR_PROPERTY

// ---- layout and painting -----------------------------------------------------

void vW_FilterControl::resizeEvent(QResizeEvent*)
{
    const int inset = d->borderVisible ? d->borderWidth : 0;
    d->edit->setGeometry(rect().adjusted(inset, inset, -inset, -inset));
}

void vW_FilterControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), colorFromWin(d->background, QApplication::palette()));
    if (d->borderVisible && d->borderWidth > 0)
        p.fillRect(rect(), colorFromWin(d->borderColor, QApplication::palette()));
}

// ---- keyboard, focus and the calendar ------------------------------------------

void vW_FilterControl::setDatePicker(DatePicker picker) { d->picker = std::move(picker); }

void vW_FilterControl::showCalendar()
{
    const QVariant value = d->model->value();
    const QDate shown = value.toDate().isValid() ? value.toDate() : d->model->currentDate();
    if (d->picker) {
        if (const std::optional<QDate> picked = d->picker(this, shown))
            d->model->setValue(*picked);
        return;
    }
    frmMonthView view(this);
    view.setSelectedDate(shown);
    if (view.popUpBelow(this))
        d->model->setValue(view.SelectedDate());
}

bool vW_FilterControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != d->edit)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        TypedInput* m = d->model;

        if ((k == Qt::Key_Tab || k == Qt::Key_Backtab) && !m->leave())
            return true;  // an invalid entry keeps the focus
        if (isEnter(k) && mods == Qt::NoModifier && m->enterBehaviour() == MoveNextField) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(d->edit, &tab);
            return true;
        }
        if (k == Qt::Key_Escape) {
            m->escape();
            return true;
        }
        if (m->isDate() && k == Qt::Key_T && mods == Qt::ControlModifier) {
            m->typeToday();
            return true;
        }
        if (m->isDate() && k == Qt::Key_F4 && mods == Qt::NoModifier) {
            showCalendar();
            return true;
        }
        if (k != Qt::Key_Tab && k != Qt::Key_Backtab)
            Q_EMIT KeyDown(k, shiftState(mods));

        // The number box's keystroke filter works on the typed character.
        QChar typed = key->text().isEmpty() ? QChar() : key->text().at(0);
        if (mods == Qt::ControlModifier && k >= Qt::Key_A && k <= Qt::Key_Z)
            typed = QChar(char16_t(k - Qt::Key_A + 1));  // Ctrl+V is character 22, Ctrl+C 3
        if (m->isNumber() && !typed.isNull() && k != Qt::Key_Delete && !isEnter(k) && k != Qt::Key_Tab
            && k != Qt::Key_Backtab) {
            const bool all = !d->edit->text().isEmpty() && d->edit->selectedText() == d->edit->text();
            if (!m->acceptsCharacter(typed, all))
                return true;
        }
        break;
    }
    case QEvent::FocusIn: {
        auto* focus = static_cast<QFocusEvent*>(event);
        // A box parked off-screen passes the focus on.
        if (x() < twipsToPixelsX(-3000, this) && focus->reason() != Qt::PopupFocusReason) {
            QTimer::singleShot(0, d->edit, [edit = d->edit] {
                QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                QCoreApplication::sendEvent(edit, &tab);
            });
            break;
        }
        if (isEnabled()) {
            QTimer::singleShot(0, d->edit, &QLineEdit::selectAll);
            d->edit->selectAll();
            paintEdit(d->edit, d->backColorActive, d->foreColorActive);
        } else {
            paintEdit(d->edit, d->backColorDisabled, d->foreColorDisabled);
        }
        break;
    }
    case QEvent::FocusOut: {
        auto* focus = static_cast<QFocusEvent*>(event);
        const bool leavesForGood = focus->reason() != Qt::PopupFocusReason
                                   && focus->reason() != Qt::ActiveWindowFocusReason;
        if (leavesForGood && isEnabled() && isVisible() && !d->model->leave()) {
            // The entry is invalid: focus comes back once the change is done.
            if (!d->refocusQueued) {
                d->refocusQueued = true;
                QTimer::singleShot(0, d->edit, [this] {
                    d->refocusQueued = false;
                    d->edit->setFocus(Qt::OtherFocusReason);
                });
            }
            break;
        }
        if (isEnabled())
            paintEdit(d->edit, d->backColor, d->foreColor);
        else
            paintEdit(d->edit, d->backColorDisabled, d->foreColorDisabled);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- design-time properties -------------------------------------------------------

std::vector<PersistedProperty> vW_FilterControl::designProperties()
{
    const QVariant today = QDate::currentDate();
    return {
        {"FormatString", TypedInput::kShortDate},
        {"BorderWidth", 1},
        {"BorderColor", 0u},
        {"ForeColor", 0u},
        {"ForeColorDisabled", 0u},
        {"ForeColorActive", 0u},
        {"Font", QVariant::fromValue(QFont())},
        {"MaxDate", QDate(2029, 12, 31)},
        {"MinDate", QDate(1953, 1, 1)},
        {"BackColorDisabled", 0x808080u},
        {"BackColorActive", 0x80000018u},
        {"BackColor", 0xEFEEE7u},
        {"Value", today},
        {"Background", 0x8000000Fu},
        {"Enabled", true},
        {"EnterBehaviour", int(Standard)},
        {"InputType", 1},
        {"Value", today},  // once more, in the form of the type just read
    };
}

void vW_FilterControl::initDesignProperties()
{
    const auto table = designProperties();
    initProperties(this, table);
}

void vW_FilterControl::readDesignProperties(const PropertyBag& bag)
{
    const auto table = designProperties();
    readProperties(this, bag, table);
}

void vW_FilterControl::writeDesignProperties(PropertyBag& bag) const
{
    const auto table = designProperties();
    writeProperties(this, bag, table);
}

}  // namespace lg::filters
