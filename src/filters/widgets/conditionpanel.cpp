#include "filters/widgets/conditionpanel.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

#include "filters/textfiltermodel.h"
#include "filters/widgets/setupfiltercontrol.h"
#include "filters/widgets/vw_querycheckbox.h"
#include "filters/widgets/vw_querycontainer.h"
#include "filters/widgets/vw_querylistboxfilter.h"
#include "filters/widgets/vw_querytextfilter.h"
#include "filters/widgets/vw_querytlistboxfilter.h"
#include "platform/strings.h"
#include "ui/captions.h"

namespace lg::filters {

namespace {

// The places of the page; the list place holds three controls.
enum Slot { NumberSlot, DateSlot, TextSlot, CheckSlot, ListSlot, SlotCount };

int slotOf(int controlType)
{
    switch (controlType) {
    case catalogue::fctNumberLong:
    case catalogue::fctNumberDecimal:
        return NumberSlot;
    case catalogue::fctDate:
        return DateSlot;
    case catalogue::fctText:
        return TextSlot;
    case catalogue::fctCheckBox:
        return CheckSlot;
    case catalogue::fctListBox:
    case catalogue::fctContainer:
    case catalogue::fctTextListBox:
        return ListSlot;
    default:
        return -1;
    }
}

constexpr quint32 kGreyText = 0x80000011;
// Room for a field's name before the control's inputs.
constexpr int kCaptionTwips = 2100;
const QString kNoCaption = QStringLiteral("-");

}  // namespace

struct ConditionPanel::Private {
    vW_QueryTextFilter* number = nullptr;
    vW_QueryTextFilter* date = nullptr;
    vW_QueryTextFilter* text = nullptr;
    vW_QueryCheckBox* check = nullptr;
    vW_QueryListBoxFilter* list = nullptr;
    vW_QueryContainer* container = nullptr;
    vW_QueryTListBoxFilter* textList = nullptr;
    QLabel* labels[SlotCount] = {};
    int current = -1;

    vW_QueryFilterBase* widgetFor(int type) const
    {
        switch (type) {
        case catalogue::fctNumberLong:
        case catalogue::fctNumberDecimal:
            return number;
        case catalogue::fctDate:
            return date;
        case catalogue::fctText:
            return text;
        case catalogue::fctCheckBox:
            return check;
        case catalogue::fctListBox:
            return list;
        case catalogue::fctContainer:
            return container;
        case catalogue::fctTextListBox:
            return textList;
        default:
            return nullptr;
        }
    }

    void setLabelLook(int slot, bool highlighted)
    {
        QLabel* l = labels[slot];
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colorFromWin(highlighted ? wincolor::SysHighlight : kGreyText));
        l->setPalette(p);
        QFont f = l->font();
        f.setBold(highlighted);
        l->setFont(f);
    }

    void showInListSlot(int type)
    {
        list->setVisible(type == catalogue::fctListBox);
        container->setVisible(type == catalogue::fctContainer);
        textList->setVisible(type == catalogue::fctTextListBox);
    }
};

ConditionPanel::ConditionPanel(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto addLabel = [&](int slot, const char* name, int stringId) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setProperty(kCaptionTag, stringId);
        l->setText(LoadResString(stringId));
        d->labels[slot] = l;
        if (slot != NumberSlot)
            layout->addSpacing(6);
        layout->addWidget(l);
    };
    auto place = [&](vW_QueryFilterBase* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        w->setEnabled(false);
        w->setCaptionWidth(kCaptionTwips);
        layout->addWidget(w);
        connect(w, &vW_QueryFilterBase::ResultsChanged, this, [this, w] {
            if (d->widgetFor(d->current) == w)
                Q_EMIT conditionChanged();
        });
        connect(w, &vW_QueryFilterBase::QueryCheckValueChanged, this, [this, w] {
            if (d->widgetFor(d->current) == w)
                Q_EMIT conditionChanged();
        });
    };

    addLabel(NumberSlot, "lbl_number", 6007);
    d->number = new vW_QueryTextFilter(this);
    d->number->setInputType(TypedInput::NumberInput);
    place(d->number, "qtf_number");

    addLabel(DateSlot, "lbl_date", 6006);
    d->date = new vW_QueryTextFilter(this);
    d->date->setInputType(TypedInput::DateInput);
    place(d->date, "qtf_date");

    addLabel(TextSlot, "lbl_text", 6008);
    d->text = new vW_QueryTextFilter(this);
    d->text->setInputType(TypedInput::TextInput);
    place(d->text, "qtf_text");

    addLabel(CheckSlot, "lbl_check", 6009);
    d->check = new vW_QueryCheckBox(this);
    place(d->check, "qtf_check");

    addLabel(ListSlot, "lbl_list", 6010);
    d->list = new vW_QueryListBoxFilter(this);
    place(d->list, "qtf_list");
    d->container = new vW_QueryContainer(this);
    place(d->container, "qtf_container");
    d->textList = new vW_QueryTListBoxFilter(this);
    place(d->textList, "qtf_textlist");
    layout->addStretch(1);

    for (int slot = 0; slot < SlotCount; ++slot)
        d->setLabelLook(slot, false);
    d->showInListSlot(catalogue::fctListBox);
}

ConditionPanel::~ConditionPanel() = default;

int ConditionPanel::currentControlType() const { return d->current; }

QueryFilterControl* ConditionPanel::control(int controlType) const { return d->widgetFor(controlType); }

QLabel* ConditionPanel::label(int controlType) const
{
    const int slot = slotOf(controlType);
    return slot < 0 ? nullptr : d->labels[slot];
}

QueryFilterControl* ConditionPanel::currentControl() const { return d->widgetFor(d->current); }

bool ConditionPanel::setUp(const catalogue::tFilterControlPropertys& record)
{
    if (d->current != -1)
        resetCurrent();
    vW_QueryFilterBase* w = d->widgetFor(record.tTFControlType);
    if (!w)
        return false;
    if (slotOf(record.tTFControlType) == ListSlot)
        d->showInListSlot(record.tTFControlType);
    if (!SetFilterControlPropertys(record, *w)) {
        w->SetFilterDefault();
        w->setEnabled(false);
        return false;
    }
    w->setEnabled(true);
    // The control names the field it filters.
    w->setCaption(record.tTFQueryFieldVisible);
    w->lblCaption()->setToolTip(record.tTFQueryFieldVisible);
    d->setLabelLook(slotOf(record.tTFControlType), true);
    d->current = record.tTFControlType;
    Q_EMIT currentControlTypeChanged(d->current);
    return true;
}

HarvestedCondition ConditionPanel::harvest(catalogue::tFilterControlPropertys& record)
{
    vW_QueryFilterBase* w = d->widgetFor(d->current);
    if (!w || record.tTFControlType != d->current)
        return {};
    return HarvestCondition(*w->filter(), record);
}

void ConditionPanel::resetCurrent()
{
    vW_QueryFilterBase* w = d->widgetFor(d->current);
    if (!w)
        return;
    w->SetFilterDefault();
    w->setEnabled(false);
    w->setCaption(kNoCaption);
    w->lblCaption()->setToolTip(QString());
    d->setLabelLook(slotOf(d->current), false);
    d->current = -1;
    Q_EMIT currentControlTypeChanged(-1);
}

void ConditionPanel::resetAll()
{
    resetCurrent();
    for (int type = catalogue::fctNumberLong; type <= catalogue::fctTextListBox; ++type) {
        if (type == catalogue::fctNumberDecimal)
            continue;
        vW_QueryFilterBase* w = d->widgetFor(type);
        w->SetFilterDefault();
        w->setEnabled(false);
    }
    for (int slot = 0; slot < SlotCount; ++slot)
        d->setLabelLook(slot, false);
}

}  // namespace lg::filters
