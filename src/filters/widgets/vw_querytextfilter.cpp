#include "filters/widgets/vw_querytextfilter.h"

#include "filters/textfiltermodel.h"
#include "filters/widgets/negationpicture.h"
#include "filters/widgets/twips.h"
#include "filters/widgets/vw_filtercontrol.h"
#include "ui/captions.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QToolButton>

namespace lg::filters {

namespace {
constexpr uint kWindowBackground = 0x80000005;
constexpr uint kExtendedLabelActive = 0x800000;
constexpr uint kExtendedLabelInactive = 0x80000003;

void paintBase(QWidget* w, uint color)
{
    QPalette p = w->palette();
    const QColor c = colorFromWin(color, QApplication::palette());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, c);
        p.setColor(g, QPalette::Button, c);
    }
    w->setPalette(p);
}

void fillCombo(QComboBox* combo, const QList<TextFilterModel::ListEntry>& entries, int selectedCode)
{
    const QSignalBlocker block(combo);
    combo->clear();
    for (const auto& e : entries)
        combo->addItem(e.text, e.code);
    combo->setCurrentIndex(combo->findData(selectedCode));
}
}  // namespace

struct vW_QueryTextFilter::Private {
    TextFilterModel* model = nullptr;
    vW_FilterControl* input1 = nullptr;
    vW_FilterControl* input2 = nullptr;
    QComboBox* relation = nullptr;
    QComboBox* filler = nullptr;
    NegationPictureView* negation = nullptr;
    QToolButton* extended = nullptr;
    QLabel* extendedLabel = nullptr;
    int inputHeight = 255;
    uint inputForeColor = 0x80000007;
    uint inputBackColor = 0x8000000E;
    int fillerListWidth = 2115;
};

vW_QueryTextFilter::vW_QueryTextFilter(QWidget* parent)
    : vW_QueryFilterBase(new TextFilterModel, parent), d(new Private)
{
    setObjectName(QStringLiteral("vW_QueryTextFilter"));
    TextFilterModel* m = d->model = static_cast<TextFilterModel*>(filter());

    d->negation = new NegationPictureView(this);
    d->relation = new QComboBox(this);
    d->relation->setObjectName(QStringLiteral("lstRelation"));
    d->input1 = new vW_FilterControl(m->input1(), this);
    d->input1->setObjectName(QStringLiteral("txtInput1"));
    d->input2 = new vW_FilterControl(m->input2(), this);
    d->input2->setObjectName(QStringLiteral("txtInput2"));
    d->filler = new QComboBox(this);
    d->filler->setObjectName(QStringLiteral("lstFiller"));
    d->extended = new QToolButton(this);
    d->extended->setObjectName(QStringLiteral("cmdExtendedFilter"));
    d->extendedLabel = new QLabel(QStringLiteral("…"), d->extended);
    d->extendedLabel->setObjectName(QStringLiteral("lblExtendedFilter"));
    d->extendedLabel->setAlignment(Qt::AlignCenter);
    d->extendedLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* extendedLayout = new QHBoxLayout(d->extended);
    extendedLayout->setContentsMargins(0, 0, 0, 0);
    extendedLayout->addWidget(d->extendedLabel);

    for (vW_FilterControl* input : {d->input1, d->input2}) {
        input->setBorderColor(0xA0A0A0);
        input->setBackColorDisabled(wincolor::DisabledLight);
        input->setBackColorActive(wincolor::SysInfoBackground);
        input->setForeColor(d->inputForeColor);
        input->setBackColor(d->inputBackColor);
        input->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(3);
    layout->addWidget(chkQueryFilter());
    layout->addWidget(lblCaption());
    layout->addWidget(d->negation);
    layout->addWidget(d->relation);
    layout->addWidget(d->input1, 1);
    layout->addWidget(d->input2, 1);
    layout->addWidget(d->filler);
    layout->addWidget(d->extended);

    // ---- model to view -----------------------------------------------------------
    fillCombo(d->relation, m->relationEntries(), m->relationListItemData());
    fillCombo(d->filler, m->fillerEntries(), m->fillerListItemData());
    connect(m, &TextFilterModel::inputTypeChanged, this, &vW_QueryTextFilter::InputTypeChanged);
    connect(m, &TextFilterModel::inputsChanged, this, &vW_QueryTextFilter::InputsChanged);
    connect(m, &TextFilterModel::input2VisibleChanged, this, [this](bool visible) {
        d->input2->setVisible(visible);
        Q_EMIT Input2VisibleChanged(visible);
    });
    connect(m, &TextFilterModel::relationListVisibleChanged, this, [this](bool visible) {
        d->relation->setVisible(visible);
        Q_EMIT RelationListVisibleChanged(visible);
    });
    connect(m, &TextFilterModel::relationListItemDataChanged, this, [this](int code) {
        const QSignalBlocker block(d->relation);
        d->relation->setCurrentIndex(d->relation->findData(code));
        Q_EMIT RelationListItemDataChanged(code);
    });
    connect(m, &TextFilterModel::relationListLockedChanged, this, [this](bool locked) {
        d->relation->setEnabled(!locked && d->model->isActive());
        paintBase(d->relation, locked ? wincolor::DisabledLight : kWindowBackground);
    });
    connect(m, &TextFilterModel::fillerListVisibleChanged, this, [this](bool visible) {
        d->filler->setVisible(visible);
        Q_EMIT FillerListVisibleChanged(visible);
    });
    connect(m, &TextFilterModel::fillerEntriesChanged, this,
            [this] { fillCombo(d->filler, d->model->fillerEntries(), d->model->fillerListItemData()); });
    connect(m, &TextFilterModel::fillerListItemDataChanged, this, [this](int code) {
        const QSignalBlocker block(d->filler);
        if (d->model->input1()->isDate())
            d->filler->setCurrentIndex(d->filler->findData(code));
        Q_EMIT FillerListItemDataChanged(code);
    });
    connect(m, &TextFilterModel::fillerClick, this, &vW_QueryTextFilter::FillerClick);
    connect(m, &TextFilterModel::notPictureVisibleChanged, this, [this](bool visible) {
        d->negation->setVisible(visible);
        Q_EMIT NOTPictureVisibleChanged(visible);
    });
    connect(m, &TextFilterModel::notValueChange, this, [this](int value) {
        d->negation->setNegated(value != 0);
        Q_EMIT NOTValueChange(value);
    });
    connect(m, &TextFilterModel::likeCharacterChanged, this, &vW_QueryTextFilter::LikeCharacterChanged);
    connect(m, &TextFilterModel::keyWordsFindChanged, this, &vW_QueryTextFilter::KeyWordsFindChanged);
    connect(m, &TextFilterModel::keyWordSeparatorChanged, this, &vW_QueryTextFilter::KeyWordSeparatorChanged);
    connect(m, &TextFilterModel::extendedFilterVisibleChanged, this, [this](bool visible) {
        d->extended->setVisible(visible);
        Q_EMIT ExtendedFilterVisibleChanged(visible);
    });
    connect(m, &TextFilterModel::extendedFilterRelationChanged, this,
            &vW_QueryTextFilter::ExtendedFilterRelationChanged);
    connect(m, &TextFilterModel::progIdsChanged, this, &vW_QueryTextFilter::ProgIDsChanged);

    // ---- view to model -----------------------------------------------------------
    connect(d->relation, &QComboBox::activated, this,
            [this](int index) { d->model->setRelationListItemData(d->relation->itemData(index).toInt()); });
    connect(d->filler, &QComboBox::activated, this, [this](int index) { d->model->clickFiller(index); });
    connect(d->negation, &NegationPictureView::clicked, m, &TextFilterModel::toggleNegation);

    d->input2->setVisible(m->input2Visible());
    d->relation->setVisible(m->relationListVisible());
    d->filler->setVisible(m->fillerListVisible());
    d->negation->setVisible(m->notPictureVisible());
    d->negation->setNegated(m->notPictureValue() != 0);
    d->extended->setVisible(m->extendedFilterVisible());
    setInputHeight(d->inputHeight);
    d->filler->setFixedWidth(twipsToPixelsX(d->fillerListWidth, this));
    applyCaption();
    applyActivationLook(m->isActive());
}

vW_QueryTextFilter::~vW_QueryTextFilter() = default;

TextFilterModel* vW_QueryTextFilter::model() const { return d->model; }
vW_FilterControl* vW_QueryTextFilter::txtInput1() const { return d->input1; }
vW_FilterControl* vW_QueryTextFilter::txtInput2() const { return d->input2; }
QComboBox* vW_QueryTextFilter::lstRelation() const { return d->relation; }
QComboBox* vW_QueryTextFilter::lstFiller() const { return d->filler; }
NegationPictureView* vW_QueryTextFilter::imgNot() const { return d->negation; }
QToolButton* vW_QueryTextFilter::cmdExtendedFilter() const { return d->extended; }
QLabel* vW_QueryTextFilter::lblExtendedFilter() const { return d->extendedLabel; }

// ---- forwarded to the model --------------------------------------------------------

int vW_QueryTextFilter::InputType() const { return d->model->inputType(); }
void vW_QueryTextFilter::setInputType(int type) { d->model->setInputType(type); }
QVariant vW_QueryTextFilter::Input1Text() const { return d->model->input1Text(); }
void vW_QueryTextFilter::setInput1Text(const QVariant& value) { d->model->setInput1Text(value); }
QVariant vW_QueryTextFilter::Input2Text() const { return d->model->input2Text(); }
void vW_QueryTextFilter::setInput2Text(const QVariant& value) { d->model->setInput2Text(value); }
bool vW_QueryTextFilter::Input2Visible() const { return d->model->input2Visible(); }
void vW_QueryTextFilter::setInput2Visible(bool visible) { d->model->setInput2Visible(visible); }
bool vW_QueryTextFilter::RelationListVisible() const { return d->model->relationListVisible(); }
void vW_QueryTextFilter::setRelationListVisible(bool visible) { d->model->setRelationListVisible(visible); }
int vW_QueryTextFilter::RelationListItemData() const { return d->model->relationListItemData(); }
void vW_QueryTextFilter::setRelationListItemData(int code) { d->model->setRelationListItemData(code); }
bool vW_QueryTextFilter::FillerListVisible() const { return d->model->fillerListVisible(); }
void vW_QueryTextFilter::setFillerListVisible(bool visible) { d->model->setFillerListVisible(visible); }
int vW_QueryTextFilter::FillerListItemData() const { return d->model->fillerListItemData(); }
void vW_QueryTextFilter::setFillerListItemData(int code) { d->model->setFillerListItemData(code); }
bool vW_QueryTextFilter::NOTPictureVisible() const { return d->model->notPictureVisible(); }
void vW_QueryTextFilter::setNOTPictureVisible(bool visible) { d->model->setNotPictureVisible(visible); }
int vW_QueryTextFilter::NOTPictureValue() const { return d->model->notPictureValue(); }
void vW_QueryTextFilter::setNOTPictureValue(int value) { d->model->setNotPictureValue(value); }
QString vW_QueryTextFilter::LikeCharacter() const { return d->model->likeCharacter(); }
void vW_QueryTextFilter::setLikeCharacter(const QString& c) { d->model->setLikeCharacter(c); }
bool vW_QueryTextFilter::KeyWordsFind() const { return d->model->keyWordsFind(); }
void vW_QueryTextFilter::setKeyWordsFind(bool on) { d->model->setKeyWordsFind(on); }
QString vW_QueryTextFilter::KeyWordSeparator() const { return d->model->keyWordSeparator(); }
void vW_QueryTextFilter::setKeyWordSeparator(const QString& s) { d->model->setKeyWordSeparator(s); }
bool vW_QueryTextFilter::ExtendedFilterVisible() const { return d->model->extendedFilterVisible(); }
void vW_QueryTextFilter::setExtendedFilterVisible(bool visible) { d->model->setExtendedFilterVisible(visible); }
int vW_QueryTextFilter::ExtendedFilterRelation() const { return d->model->extendedFilterRelation(); }
void vW_QueryTextFilter::setExtendedFilterRelation(int relation) { d->model->setExtendedFilterRelation(relation); }
QString vW_QueryTextFilter::QueryFieldProgID() const { return d->model->queryFieldProgID(); }
void vW_QueryTextFilter::setQueryFieldProgID(const QString& id) { d->model->setQueryFieldProgID(id); }
QString vW_QueryTextFilter::QueryFieldProgIDFilter() const { return d->model->queryFieldProgIDFilter(); }
void vW_QueryTextFilter::setQueryFieldProgIDFilter(const QString& id) { d->model->setQueryFieldProgIDFilter(id); }
QString vW_QueryTextFilter::QueryFieldProgIDField() const { return d->model->queryFieldProgIDField(); }
void vW_QueryTextFilter::setQueryFieldProgIDField(const QString& id) { d->model->setQueryFieldProgIDField(id); }

void vW_QueryTextFilter::FillerAddItem(const QString& item) { d->model->fillerAddItem(item); }

void vW_QueryTextFilter::SetFilterDefault()
{
    d->model->setFilterDefault();
    applyActivationLook(false);
}

// ---- the look ------------------------------------------------------------------------

int vW_QueryTextFilter::InputHeight() const { return d->inputHeight; }
void vW_QueryTextFilter::setInputHeight(int twips)
{
    twips = qMax(0, twips);
    const bool changed = d->inputHeight != twips;
    d->inputHeight = twips;
    // The box never gets lower than its font needs.
    const int px = qMax(twipsToPixelsY(twips, this), d->input1->sizeHint().height());
    d->input1->setFixedHeight(px);
    d->input2->setFixedHeight(px);
    if (changed)
        Q_EMIT InputLookChanged();
}

uint vW_QueryTextFilter::InputForeColor() const { return d->inputForeColor; }
void vW_QueryTextFilter::setInputForeColor(uint color)
{
    if (d->inputForeColor == color)
        return;
    d->inputForeColor = color;
    d->input1->setForeColor(color);
    d->input2->setForeColor(color);
    Q_EMIT InputLookChanged();
}

uint vW_QueryTextFilter::InputBackColor() const { return d->inputBackColor; }
void vW_QueryTextFilter::setInputBackColor(uint color)
{
    if (d->inputBackColor == color)
        return;
    d->inputBackColor = color;
    d->input1->setBackColor(color);
    d->input2->setBackColor(color);
    Q_EMIT InputLookChanged();
}

QFont vW_QueryTextFilter::InputFont() const { return d->input1->Font(); }
void vW_QueryTextFilter::setInputFont(const QFont& font)
{
    if (d->input1->Font() == font)
        return;
    d->input1->setInputFont(font);
    d->input2->setInputFont(font);
    setInputHeight(d->inputHeight);
    Q_EMIT InputLookChanged();
}

int vW_QueryTextFilter::FillerListWidth() const { return d->fillerListWidth; }
void vW_QueryTextFilter::setFillerListWidth(int twips)
{
    twips = qMax(0, twips);
    if (d->fillerListWidth == twips)
        return;
    d->fillerListWidth = twips;
    d->filler->setFixedWidth(twipsToPixelsX(twips, this));
    Q_EMIT FillerListWidthChanged(twips);
}

void vW_QueryTextFilter::applyActivationLook(bool active)
{
    const bool locked = d->model->relationListLocked();
    d->relation->setEnabled(active && !locked);
    paintBase(d->relation, active && !locked ? kWindowBackground : wincolor::DisabledLight);
    d->filler->setEnabled(active);
    paintBase(d->filler, active ? kWindowBackground : wincolor::DisabledLight);
    d->input1->setEnabledState(active);
    d->input2->setEnabledState(active);
    d->negation->setEnabled(active);
    d->negation->setActiveLook(active);
    d->extended->setEnabled(active);
    QPalette p = d->extendedLabel->palette();
    p.setColor(QPalette::WindowText,
               colorFromWin(active ? kExtendedLabelActive : kExtendedLabelInactive, QApplication::palette()));
    d->extendedLabel->setPalette(p);
}

void vW_QueryTextFilter::activationClicked(bool active)
{
    vW_QueryFilterBase::activationClicked(active);
    if (active)
        d->input1->setFocus(Qt::OtherFocusReason);
}

std::vector<PersistedProperty> vW_QueryTextFilter::viewProperties() const
{
    auto table = vW_QueryFilterBase::viewProperties();
    table.push_back({"InputHeight", 255});
    table.push_back({"InputForeColor", 0x80000007u});
    table.push_back({"InputBackColor", 0x8000000Eu});
    table.push_back({"InputFont", QVariant::fromValue(QFont())});
    table.push_back({"FillerListWidth", 2115});
    return table;
}

}  // namespace lg::filters
