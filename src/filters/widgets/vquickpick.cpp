#include "filters/widgets/vquickpick.h"
#include "filters/widgets/frmquickpickbrowse.h"

#include "filters/quickpick.h"
#include "filters/widgets/twips.h"
#include "platform/message.h"
#include "store/context.h"
#include "ui/captions.h"

#include <QtCore/QTimer>
#include <QtGui/QFocusEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QToolButton>

namespace lg::filters {

namespace {

const QString kNotFound = QStringLiteral("<nem talált>");

int shiftState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

int buttonCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

// The Windows key code of a Qt key, for KeyDown / KeyUp.
int winKeyCode(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Space: return 32;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Home: return 36;
    case Qt::Key_End: return 35;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: return key & 0xFFFF;
    }
}

void paint(QWidget* w, uint back, uint fore)
{
    QPalette p = w->palette();
    const QColor b = colorFromWin(back, QApplication::palette());
    const QColor f = colorFromWin(fore, QApplication::palette());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, b);
        p.setColor(g, QPalette::Window, b);
        p.setColor(g, QPalette::Text, f);
        p.setColor(g, QPalette::WindowText, f);
    }
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

}  // namespace

int defaultQuickPickBrowser(vQuickPick* control, const QuickPickBrowseRequest& request)
{
    frmQuickPickBrowse window(control);
    if (request.rowCount > 0)
        window.setVisibleRowCount(request.rowCount);
    if (!window.LoadBrowse(request.browseId, request.filter, request.caption, request.database))
        return -1;  // the reason is in the shared Errors
    if (request.currentId > 0)
        window.RefreshBrowse(request.currentId);
    window.exec();
    return window.CurrentID();
}

struct vQuickPick::Private {
    QuickPickSearch search;
    QLabel* caption = nullptr;
    QLineEdit* edit = nullptr;
    QLabel* result = nullptr;
    QToolButton* browse = nullptr;
    QLabel* message = nullptr;
    QTimer messageTimer;
    QuickPickBrowser browser;

    int id = -1;
    int customBrowseId = -1;
    QString customRecordFilter;
    int emptyValue = -1;
    int waittime = 0;
    bool handling = false;      // a text change is being handled
    bool exactNext = false;     // Backspace / Delete: the next search is exact
    bool initialized = false;

    QString captionText = QStringLiteral("Caption");
    bool captionVisible = true;
    int captionWidth = 0;
    QFont captionFont;
    uint captionForeColor = 0x80000012;
    int textBoxWidth = 2000;
    int textBoxHeight = 285;
    int resultBoxWidth = 2000;
    int resultBoxHeight = 285;
    bool resultTextVisible = true;
    QFont resultFont;
    uint backColorResult = 0xE0E0E0;
    uint backColor = 0xFFFFFF;
    uint backColorActive = 0x80000018;
    uint backColorDisabled = 0xE0E0E0;
    uint foreColor = 0;
    uint foreColorActive = 0;
    uint foreColorDisabled = 0;
    uint borderColor = 0;
    int borderStyle = Fixed_Single;
    uint background = 0x8000000F;
    uint searchLabelForeColor = 0x80000015;
    bool searchLabelNeed = true;
    bool browseButtonVisible = true;
    bool isGridExBrowse = false;
    int uiMode = eUIPortrait_Result;
    bool locked = false;
    int maxLength = 0;
    QString toolTip;
    int enterBehaviour = Standard;
    QSize hint;
};

vQuickPick::vQuickPick(QWidget* parent) : QWidget(parent), d(new Private)
{
    setObjectName(QStringLiteral("vQuickPick"));
    d->caption = new QLabel(d->captionText, this);
    d->caption->setObjectName(QStringLiteral("lblCaption"));
    d->edit = new QLineEdit(this);
    d->edit->setObjectName(QStringLiteral("txtInput"));
    d->edit->installEventFilter(this);
    d->result = new QLabel(kNotFound, this);
    d->result->setObjectName(QStringLiteral("lblResult"));
    d->result->setFrameShape(QFrame::Panel);
    d->result->setFrameShadow(QFrame::Sunken);
    d->browse = new QToolButton(this);
    d->browse->setObjectName(QStringLiteral("cmdBrowse"));
    d->browse->setText(QStringLiteral("..."));
    d->browse->setFocusPolicy(Qt::NoFocus);
    d->message = new QLabel(this);
    d->message->setObjectName(QStringLiteral("lblMessage"));
    d->message->hide();
    d->messageTimer.setSingleShot(true);
    connect(&d->messageTimer, &QTimer::timeout, d->message, &QWidget::hide);
    for (QWidget* w : {static_cast<QWidget*>(d->caption), static_cast<QWidget*>(d->result)})
        w->installEventFilter(this);
    setFocusProxy(d->edit);
    setFocusPolicy(Qt::StrongFocus);

    connect(d->edit, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int caret = d->edit->cursorPosition();
        const bool exact = d->exactNext;
        d->exactNext = false;
        runSearch(text, caret, exact);
    });
    connect(d->browse, &QToolButton::clicked, this, &vQuickPick::ShowBrowse);

    paint(d->result, d->backColorResult, d->foreColor);
    paint(d->message, 0x80000018, d->searchLabelForeColor);
    setEnabledState(true);
    applyLayout();
}

vQuickPick::~vQuickPick() = default;

QuickPickSearch* vQuickPick::search() const { return &d->search; }
QLabel* vQuickPick::lblCaption() const { return d->caption; }
QLineEdit* vQuickPick::txtInput() const { return d->edit; }
QLabel* vQuickPick::lblResult() const { return d->result; }
QToolButton* vQuickPick::cmdBrowse() const { return d->browse; }
QLabel* vQuickPick::lblMessage() const { return d->message; }

// ---- the search --------------------------------------------------------------

void vQuickPick::runSearch(const QString& text, int caret, bool forcedExact)
{
    if (d->handling)
        return;
    d->handling = true;
    const int before = d->id;
    const bool exact = d->search.isExact(text, forcedExact);
    if (text.trimmed().isEmpty()) {
        d->id = -1;
        d->edit->clear();
        d->result->setText(kNotFound);
    } else {
        const QuickPickHit hit = d->initialized ? d->search.search(text, exact) : QuickPickHit();
        if (hit.found) {
            d->id = hit.id;
            d->edit->setText(hit.text);
            caret = qBound(0, caret, int(hit.text.size()));
            d->edit->setSelection(int(hit.text.size()), caret - int(hit.text.size()));
            d->result->setText(hit.result);
        } else {
            d->id = -1;
            d->result->setText(kNotFound);
        }
    }
    d->handling = false;
    if (d->id != before)
        Q_EMIT ChangedItemID(d->id);
    Q_EMIT Change();
}

void vQuickPick::showItem(int id)
{
    const int before = d->id;
    const QuickPickHit hit = d->initialized ? d->search.find(id) : QuickPickHit();
    d->handling = true;
    if (hit.found) {
        d->id = hit.id;
        d->edit->setText(hit.text);
        d->result->setText(hit.result);
    } else {
        d->id = -1;
        d->edit->clear();
        d->result->setText(kNotFound);
    }
    d->handling = false;
    if (d->id != before)
        Q_EMIT ChangedItemID(d->id);
}

bool vQuickPick::InitializeQuickPick(int lQuickPickID, const QString& sCustomBrowseID,
                                     const QString& sCustomRecordFilter)
{
    d->initialized = d->search.initialize(ctx().database, lQuickPickID);
    if (!sCustomBrowseID.isEmpty()) {
        bool ok = false;
        const int browseId = sCustomBrowseID.trimmed().toInt(&ok);
        setCustomBrowseID(ok ? browseId : -1);
    }
    if (!sCustomRecordFilter.isEmpty())
        setCustomRecordFilter(sCustomRecordFilter);
    Q_EMIT DefinitionChanged();
    Q_EMIT SearchFieldChanged(SearchField());
    Q_EMIT SearchStartLengthChanged(d->search.searchStartLength());
    return d->initialized;
}

bool vQuickPick::ValidateItem()
{
    showItem(d->id);
    return d->id != -1;
}

// ---- definition and selection ----------------------------------------------

QString vQuickPick::QuickPickName() const { return d->search.definition().name; }
QString vQuickPick::QuickPickTable() const { return d->search.definition().tableName; }
QString vQuickPick::BrowseWhereClause() const { return d->search.definition().browseWhereClause; }
int vQuickPick::QuickPickBrowseID() const { return d->search.definition().browseId; }
QString vQuickPick::VisibleField() const { return d->search.field().visibleField; }
QString vQuickPick::SearchFieldName() const { return d->search.field().searchFieldName; }
QString vQuickPick::IndexName() const { return d->search.field().indexName; }
QString vQuickPick::IndexStucture() const { return d->search.field().indexStructure; }
QString vQuickPick::SearchField() const { return d->search.field().searchField; }

void vQuickPick::setSearchField(const QString& field)
{
    if (!d->search.setSearchField(field))
        return;
    Q_EMIT SearchFieldChanged(SearchField());
    ValidateItem();
}

int vQuickPick::ID() const { return d->id; }
void vQuickPick::setID(int id) { showItem(id); }

int vQuickPick::CustomBrowseID() const { return d->customBrowseId; }
void vQuickPick::setCustomBrowseID(int id)
{
    if (d->customBrowseId == id)
        return;
    d->customBrowseId = id;
    Q_EMIT CustomBrowseIDChanged(id);
}

QString vQuickPick::CustomRecordFilter() const { return d->customRecordFilter; }
void vQuickPick::setCustomRecordFilter(const QString& filter)
{
    const bool changed = d->customRecordFilter != filter;
    d->customRecordFilter = filter;
    if (changed)
        Q_EMIT CustomRecordFilterChanged(filter);
    ValidateItem();
}

QString vQuickPick::Text() const { return d->edit->text(); }
void vQuickPick::setText(const QString& text)
{
    d->edit->setText(text);
    runSearch(text, int(text.size()), false);
}

QString vQuickPick::ResultText() const { return d->result->text(); }

int vQuickPick::EmptyValue() const { return d->emptyValue; }
void vQuickPick::setEmptyValue(int value)
{
    if (d->emptyValue == value)
        return;
    d->emptyValue = value;
    Q_EMIT EmptyValueChanged(value);
}

int vQuickPick::SearchStartLength() const { return d->search.searchStartLength(); }
void vQuickPick::setSearchStartLength(int length)
{
    if (d->search.searchStartLength() == length)
        return;
    d->search.setSearchStartLength(length);
    Q_EMIT SearchStartLengthChanged(length);
}

int vQuickPick::Waittime() const { return d->waittime; }
void vQuickPick::setWaittime(int value)
{
    if (d->waittime == value)
        return;
    d->waittime = value;
    Q_EMIT WaittimeChanged(value);
}

// ---- appearance ------------------------------------------------------------

QString vQuickPick::Caption() const { return d->captionText; }
void vQuickPick::setCaption(const QString& caption)
{
    if (d->captionText == caption)
        return;
    d->captionText = caption;
    d->caption->setText(caption);
    applyLayout();
    Q_EMIT CaptionChanged();
}

bool vQuickPick::CaptionVisible() const { return d->captionVisible; }
void vQuickPick::setCaptionVisible(bool visible)
{
    if (d->captionVisible == visible)
        return;
    d->captionVisible = visible;
    applyLayout();
    Q_EMIT CaptionChanged();
}

int vQuickPick::CaptionWidth() const { return d->captionWidth; }
void vQuickPick::setCaptionWidth(int twips)
{
    if (d->captionWidth == twips)
        return;
    d->captionWidth = twips;
    applyLayout();
    Q_EMIT CaptionChanged();
}

QFont vQuickPick::CaptionFont() const { return d->caption->font(); }
void vQuickPick::setCaptionFont(const QFont& font)
{
    if (d->caption->font() == font)
        return;
    d->caption->setFont(font);
    applyLayout();
    Q_EMIT CaptionChanged();
}

uint vQuickPick::CaptionForeColor() const { return d->captionForeColor; }
void vQuickPick::setCaptionForeColor(uint color)
{
    if (d->captionForeColor == color)
        return;
    d->captionForeColor = color;
    applyColors();
    Q_EMIT CaptionChanged();
}

#define LG_GEOMETRY_PROPERTY(Type, Name, member)      \
    Type vQuickPick::Name() const { return d->member; } \
    void vQuickPick::set##Name(Type value)            \
    {                                                 \
        if (d->member == value)                       \
            return;                                   \
        d->member = value;                            \
        applyLayout();                                \
        Q_EMIT GeometryChanged();                     \
    }

LG_GEOMETRY_PROPERTY(int, TextBoxWidth, textBoxWidth)
LG_GEOMETRY_PROPERTY(int, TextBoxHeight, textBoxHeight)
LG_GEOMETRY_PROPERTY(int, ResultBoxWidth, resultBoxWidth)
LG_GEOMETRY_PROPERTY(int, ResultBoxHeight, resultBoxHeight)
LG_GEOMETRY_PROPERTY(bool, ResultTextVisible, resultTextVisible)
LG_GEOMETRY_PROPERTY(bool, BrowseButtonVisible, browseButtonVisible)
#undef LG_GEOMETRY_PROPERTY

int vQuickPick::UIMode() const { return d->uiMode; }
void vQuickPick::setUIMode(int mode)
{
    mode = qBound(0, mode, 5);
    if (d->uiMode == mode)
        return;
    d->uiMode = mode;
    applyLayout();
    Q_EMIT GeometryChanged();
}

QFont vQuickPick::ResultFont() const { return d->result->font(); }
void vQuickPick::setResultFont(const QFont& font)
{
    if (d->result->font() == font)
        return;
    d->result->setFont(font);
    Q_EMIT ColorsChanged();
}

#define LG_COLOUR_PROPERTY(Name, member)            \
    uint vQuickPick::Name() const { return d->member; } \
    void vQuickPick::set##Name(uint color)          \
    {                                               \
        if (d->member == color)                     \
            return;                                 \
        d->member = color;                          \
        applyColors();                              \
        Q_EMIT ColorsChanged();                     \
    }

LG_COLOUR_PROPERTY(BackColorResult, backColorResult)
LG_COLOUR_PROPERTY(BackColor, backColor)
LG_COLOUR_PROPERTY(BackColorActive, backColorActive)
LG_COLOUR_PROPERTY(BackColorDisabled, backColorDisabled)
LG_COLOUR_PROPERTY(ForeColor, foreColor)
LG_COLOUR_PROPERTY(ForeColorActive, foreColorActive)
LG_COLOUR_PROPERTY(ForeColorDisabled, foreColorDisabled)
LG_COLOUR_PROPERTY(BorderColor, borderColor)
LG_COLOUR_PROPERTY(Background, background)
LG_COLOUR_PROPERTY(SearchLabelForeColor, searchLabelForeColor)
#undef LG_COLOUR_PROPERTY

int vQuickPick::BorderStyle() const { return d->borderStyle; }
void vQuickPick::setBorderStyle(int style)
{
    style = style ? Fixed_Single : None;
    if (d->borderStyle == style)
        return;
    d->borderStyle = style;
    applyColors();
    Q_EMIT ColorsChanged();
}

bool vQuickPick::SearchLabelNeed() const { return d->searchLabelNeed; }
void vQuickPick::setSearchLabelNeed(bool need)
{
    if (d->searchLabelNeed == need)
        return;
    d->searchLabelNeed = need;
    Q_EMIT SearchLabelNeedChanged(need);
}

bool vQuickPick::IsGridExBrowse() const { return d->isGridExBrowse; }
void vQuickPick::setIsGridExBrowse(bool on)
{
    if (d->isGridExBrowse == on)
        return;
    d->isGridExBrowse = on;
    Q_EMIT IsGridExBrowseChanged(on);
}

void vQuickPick::setEnabledState(bool enabled)
{
    const bool was = isEnabled();
    setEnabled(enabled);
    applyColors();
    if (was != enabled)
        Q_EMIT EnabledChanged(enabled);
}

bool vQuickPick::Locked() const { return d->locked; }
void vQuickPick::setLocked(bool locked)
{
    if (d->locked == locked)
        return;
    d->locked = locked;
    d->edit->setReadOnly(locked);
    Q_EMIT LockedChanged(locked);
}

int vQuickPick::MaxLength() const { return d->maxLength; }
void vQuickPick::setMaxLength(int length)
{
    length = qMax(0, length);
    if (d->maxLength == length)
        return;
    d->maxLength = length;
    d->edit->setMaxLength(length > 0 ? length : 32767);
    Q_EMIT MaxLengthChanged(length);
}

QString vQuickPick::ToolTipText() const { return d->toolTip; }
void vQuickPick::setToolTipText(const QString& text)
{
    if (d->toolTip == text)
        return;
    d->toolTip = text;
    d->edit->setToolTip(text);
    Q_EMIT ToolTipTextChanged(text);
}

QFont vQuickPick::Font() const { return d->edit->font(); }
void vQuickPick::setInputFont(const QFont& font)
{
    if (d->edit->font() == font)
        return;
    d->edit->setFont(font);
    Q_EMIT FontChanged(font);
}

int vQuickPick::EnterBehaviour() const { return d->enterBehaviour; }
void vQuickPick::setEnterBehaviour(int behaviour)
{
    behaviour = behaviour == MoveNextField ? MoveNextField : Standard;
    if (d->enterBehaviour == behaviour)
        return;
    d->enterBehaviour = behaviour;
    Q_EMIT EnterBehaviourChanged(behaviour);
}

void vQuickPick::applyColors()
{
    const bool focused = d->edit->hasFocus();
    if (!isEnabled())
        paint(d->edit, d->backColorDisabled, d->foreColorDisabled);
    else if (focused)
        paint(d->edit, d->backColorActive, d->foreColorActive);
    else
        paint(d->edit, d->backColor, d->foreColor);
    paint(d->result, d->backColorResult, d->foreColor);
    paint(d->message, 0x80000018, d->searchLabelForeColor);
    QPalette p = d->caption->palette();
    p.setColor(QPalette::WindowText, colorFromWin(d->captionForeColor, QApplication::palette()));
    d->caption->setPalette(p);
    QPalette own = palette();
    own.setColor(QPalette::Window, colorFromWin(d->background, QApplication::palette()));
    setPalette(own);
    setAutoFillBackground(true);
    d->edit->setFrame(d->borderStyle == Fixed_Single);
    d->result->setFrameShape(d->borderStyle == Fixed_Single ? QFrame::Panel : QFrame::NoFrame);
}

// Portrait: caption above the text box, the result box below it; landscape:
// all three side by side. The browse button stands right of the text box.
void vQuickPick::applyLayout()
{
    const bool landscape = d->uiMode >= eUILandscape_Caption_and_Result;
    const int part = d->uiMode % 3;  // 0 both, 1 caption only, 2 result only
    const bool showCaption = d->captionVisible && part != 2;
    const bool showResult = d->resultTextVisible && part != 1;
    const int textW = twipsToPixelsX(d->textBoxWidth, this);
    const int textH = qMax(12, twipsToPixelsY(d->textBoxHeight, this));
    const int resultW = twipsToPixelsX(d->resultBoxWidth, this);
    const int resultH = qMax(12, twipsToPixelsY(d->resultBoxHeight, this));
    const int buttonW = d->browseButtonVisible ? textH : 0;
    const int captionW = d->captionWidth > 0 ? twipsToPixelsX(d->captionWidth, this)
                                             : d->caption->sizeHint().width();
    const int captionH = d->caption->sizeHint().height();

    d->caption->setVisible(showCaption);
    d->result->setVisible(showResult);
    d->browse->setVisible(d->browseButtonVisible);
    int x = 0, y = 0, w = 0, h = 0;
    if (landscape) {
        if (showCaption) {
            d->caption->setGeometry(0, 0, captionW, textH);
            x = captionW + 4;
        }
        d->edit->setGeometry(x, 0, textW, textH);
        x += textW;
        if (buttonW) {
            d->browse->setGeometry(x, 0, buttonW, textH);
            x += buttonW;
        }
        if (showResult) {
            d->result->setGeometry(x + 4, 0, resultW, resultH);
            x += 4 + resultW;
        }
        w = x;
        h = qMax(textH, showResult ? resultH : 0);
    } else {
        if (showCaption) {
            d->caption->setGeometry(0, 0, qMax(captionW, textW), captionH);
            y = captionH + 2;
        }
        d->edit->setGeometry(0, y, textW, textH);
        if (buttonW)
            d->browse->setGeometry(textW, y, buttonW, textH);
        y += textH;
        w = textW + buttonW;
        if (showResult) {
            d->result->setGeometry(0, y + 2, resultW, resultH);
            y += 2 + resultH;
            w = qMax(w, resultW);
        }
        h = y;
    }
    d->message->setGeometry(0, 0, qMax(w, 10), qMin(h, d->message->sizeHint().height()));
    d->message->raise();
    d->hint = QSize(w, h);
    updateGeometry();
}

QSize vQuickPick::sizeHint() const { return d->hint.isValid() ? d->hint : QSize(140, 45); }

void vQuickPick::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    d->message->setGeometry(0, 0, width(), d->message->sizeHint().height());
}

void vQuickPick::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        applyColors();
    QWidget::changeEvent(event);
}

// ---- messages, diagnostics, browse -----------------------------------------

void vQuickPick::showMessage(const QString& text, int duration)
{
    d->message->setText(text);
    d->message->adjustSize();
    d->message->setGeometry(0, 0, qMax(width(), d->message->sizeHint().width()), d->message->sizeHint().height());
    d->message->show();
    d->message->raise();
    d->messageTimer.start(qMax(1, duration) * 100);
}

QString vQuickPick::messageText() const { return d->message->isVisible() || d->messageTimer.isActive() ? d->message->text() : QString(); }

QString vQuickPick::browseFilter() const
{
    const QuickPickDefinition& def = d->search.definition();
    const QString custom = d->customRecordFilter;
    QString filter;
    if (!def.useWhereInBrowse) {
        filter = custom.isEmpty() ? QStringLiteral(" (TRUE) ") : custom;
    } else {
        const QString where = def.browseWhereClause;
        if (!where.isEmpty() && !custom.isEmpty())
            filter = where + QStringLiteral(" AND ") + custom;
        else if (!where.isEmpty())
            filter = where;
        else if (!custom.isEmpty())
            filter = custom;
        else
            filter = QStringLiteral(" (TRUE) ");
    }
    return QLatin1Char(' ') + filter + QLatin1Char(' ');
}

void vQuickPick::setBrowser(QuickPickBrowser browser) { d->browser = std::move(browser); }

void vQuickPick::ShowBrowse()
{
    if (!d->isGridExBrowse || !d->initialized)
        return;
    const int browseId = d->customBrowseId != -1 ? d->customBrowseId : d->search.definition().browseId;
    if (browseId < 1)
        return;
    QuickPickBrowseRequest request;
    request.browseId = browseId;
    request.filter = browseFilter();
    request.caption = d->captionText;
    request.caption.remove(QLatin1Char(':'));
    request.caption.remove(QLatin1Char('&'));
    request.currentId = d->id;
    request.rowCount = d->search.definition().browseRowCount;
    request.database = ctx().database;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int picked = -1;
    try {
        QApplication::restoreOverrideCursor();
        picked = d->browser ? d->browser(this, request) : defaultQuickPickBrowser(this, request);
    } catch (...) {
        picked = -1;
    }
    if (picked != -1)
        showItem(picked);
    d->edit->setFocus();
}

QString vQuickPick::diagnosticText() const
{
    const bool exact = d->search.isExact(Text(), d->exactNext);
    const int browseId = d->customBrowseId != -1 ? d->customBrowseId : d->search.definition().browseId;
    QStringList lines;
    lines << QStringLiteral("QUICK PICK ID: ") + QString::number(d->search.definition().id)
          << QStringLiteral("Index name:") + IndexName() << QStringLiteral("Index stucture:") + IndexStucture()
          << QStringLiteral("BROWSE WHERE CLAUSE:") + BrowseWhereClause()
          << QStringLiteral("CUSTOM RECORD FILTER:") + d->customRecordFilter
          << QStringLiteral("BROWSE FILTER:") + browseFilter()
          << QStringLiteral("EXACT SEARCH: ") + (exact ? QStringLiteral("YES") : QStringLiteral("NO"))
          << QStringLiteral("SEARCH FIELD: ") + SearchField() << QStringLiteral("VISIBLE FIELD: ") + VisibleField()
          << QStringLiteral("CURRENT ITEM ID: ") + QString::number(d->id)
          << QStringLiteral("BROWSE ID: ") + QString::number(browseId);
    return lines.join(QLatin1Char('\n'));
}

// ---- keys and mouse ----------------------------------------------------------

bool vQuickPick::handleKey(QKeyEvent* e)
{
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int shift = shiftState(mods);
    if (key == Qt::Key_F12 && mods == (Qt::ControlModifier | Qt::AltModifier)) {
        ctx().messageService().ShowMessageBox(msg::IconInformation, diagnosticText(), QString(),
                                              QStringLiteral("vLQDQuickPick információ"));
        return true;
    }
    if (key == Qt::Key_F4 && mods == Qt::NoModifier) {
        ShowBrowse();
        return true;
    }
    if (key == Qt::Key_F5 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        if (mods == Qt::NoModifier) {
            d->search.nextField();
            Q_EMIT SearchFieldChanged(SearchField());
        }
        if (d->searchLabelNeed)
            showMessage(QStringLiteral(" Keresés: ") + SearchFieldName() + QLatin1Char(' '), 10);
        if (mods == Qt::NoModifier) {
            d->edit->setCursorPosition(0);
            if (!Text().isEmpty())
                runSearch(Text(), 0, false);
        }
        return true;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && mods == Qt::ControlModifier) {
        const int n = qBound(1, SearchStartLength() + (key == Qt::Key_Up ? 1 : -1), 10);
        setSearchStartLength(n);
        showMessage(QStringLiteral(" Keresés: ") + QString::number(n) + QStringLiteral(". karatertől "), 5);
        return true;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
        d->exactNext = true;
    Q_EMIT KeyDown(winKeyCode(key), shift);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier &&
        d->enterBehaviour == MoveNextField) {
        focusNextChild();
        return true;
    }
    return false;
}

bool vQuickPick::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->edit) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* e = static_cast<QKeyEvent*>(event);
            if (handleKey(e))
                return true;
            if (!e->text().isEmpty() && e->text().at(0).unicode() >= 32)
                Q_EMIT KeyPress(e->text().at(0).unicode());
            else if (e->key() == Qt::Key_Backspace)
                Q_EMIT KeyPress(8);
            else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
                Q_EMIT KeyPress(13);
            break;
        }
        case QEvent::KeyRelease: {
            auto* e = static_cast<QKeyEvent*>(event);
            Q_EMIT KeyUp(winKeyCode(e->key()), shiftState(e->modifiers()));
            break;
        }
        case QEvent::FocusIn:
            if (pixelsToTwipsX(x(), this) < -3000) {
                QTimer::singleShot(0, this, [this] { focusNextChild(); });
                break;
            }
            applyColors();
            QTimer::singleShot(0, d->edit, [e = d->edit] { e->selectAll(); });
            break;
        case QEvent::FocusOut:
            applyColors();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::MouseButtonDblClick: {
            auto* e = static_cast<QMouseEvent*>(event);
            forwardMouse(e, d->edit->mapTo(this, e->position().toPoint()));
            break;
        }
        default:
            break;
        }
    } else if (watched == d->caption || watched == d->result) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
            event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonDblClick) {
            auto* e = static_cast<QMouseEvent*>(event);
            forwardMouse(e, static_cast<QWidget*>(watched)->mapTo(this, e->position().toPoint()));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void vQuickPick::forwardMouse(QMouseEvent* e, QPoint at)
{
    const int shift = shiftState(e->modifiers());
    const int x = int(pixelsToTwipsX(at.x(), this));
    const int y = int(at.y() * 1440.0 / logicalDpiY());
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        Q_EMIT MouseDown(buttonCode(e->button()), shift, x, y);
        break;
    case QEvent::MouseButtonRelease:
        Q_EMIT MouseUp(buttonCode(e->button()), shift, x, y);
        Q_EMIT Click();
        break;
    case QEvent::MouseMove:
        Q_EMIT MouseMove(buttonCode(e->buttons()), shift, x, y);
        break;
    case QEvent::MouseButtonDblClick:
        Q_EMIT DblClick();
        break;
    default:
        break;
    }
}

void vQuickPick::mousePressEvent(QMouseEvent* e) { forwardMouse(e, e->position().toPoint()); }
void vQuickPick::mouseMoveEvent(QMouseEvent* e) { forwardMouse(e, e->position().toPoint()); }
void vQuickPick::mouseReleaseEvent(QMouseEvent* e) { forwardMouse(e, e->position().toPoint()); }
void vQuickPick::mouseDoubleClickEvent(QMouseEvent* e) { forwardMouse(e, e->position().toPoint()); }

// ---- property bag ------------------------------------------------------------

std::vector<PersistedProperty> vQuickPick::designProperties()
{
    return {
        {"Caption", QStringLiteral("Caption")},
        {"CaptionVisible", true},
        {"CaptionWidth", 0},
        {"CaptionFont", QVariant::fromValue(QFont())},
        {"CaptionForeColor", 0x80000012u},
        {"TextBoxWidth", 2000},
        {"TextBoxHeight", 285},
        {"ResultBoxWidth", 2000},
        {"ResultBoxHeight", 285},
        {"ResultTextVisible", true},
        {"ResultFont", QVariant::fromValue(QFont())},
        {"BackColorResult", 0xE0E0E0u},
        {"BackColor", 0xFFFFFFu},
        {"BackColorActive", 0x80000018u},
        {"BackColorDisabled", 0xE0E0E0u},
        {"ForeColor", 0u},
        {"ForeColorActive", 0u},
        {"ForeColorDisabled", 0u},
        {"BorderColor", 0u},
        {"BorderStyle", int(Fixed_Single)},
        {"Background", 0x8000000Fu},
        {"SearchLabelForeColor", 0x80000015u},
        {"SearchLabelNeed", true},
        {"BrowseButtonVisible", true},
        {"IsGridExBrowse", false},
        {"UIMode", int(eUIPortrait_Result)},
        {"Enabled", true},
        {"Locked", false},
        {"MaxLength", 0},
        {"ToolTipText", QString()},
        {"Font", QVariant::fromValue(QFont())},
        {"EnterBehaviour", int(Standard)},
        {"EmptyValue", -1},
        {"SearchStartLength", 3},
        {"Waittime", 0},
    };
}

void vQuickPick::initDesignProperties()
{
    const auto table = designProperties();
    initProperties(this, table);
}

void vQuickPick::readDesignProperties(const PropertyBag& bag)
{
    const auto table = designProperties();
    readProperties(this, bag, table);
}

void vQuickPick::writeDesignProperties(PropertyBag& bag) const
{
    const auto table = designProperties();
    writeProperties(this, bag, table);
}

}  // namespace lg::filters
