#include "admin/frmlistwizardtablefield.h"

#include <algorithm>

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

#include "admin/catalogueedit.h"
#include "admin/ctrlenter.h"
#include "admin/unlockgate.h"
#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/records.h"
#include "ui/captions.h"
#include "ui/listutils.h"

namespace lg::admin {

using namespace Qt::StringLiterals;

namespace {
constexpr int kWidestPreview = 340;
}

struct frmListWizardTableField::Private {
    frmListWizardTableField* q;
    ListWizardTableField* data = nullptr;
    int returnValue = 1;
    bool initializing = false;
    QLineEdit* visibleName = nullptr;
    QLineEdit* fieldName = nullptr;
    QLineEdit* groupFieldName = nullptr;
    QComboBox* fieldType = nullptr;
    QComboBox* controlType = nullptr;
    QPlainTextEdit* where = nullptr;
    QCheckBox* visibled = nullptr;
    QCheckBox* filtered = nullptr;
    QCheckBox* groupable = nullptr;
    QCheckBox* aggregated = nullptr;
    QSpinBox* width = nullptr;
    QLineEdit* format = nullptr;
    QComboBox* searchField = nullptr;
    QLabel* preview = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

    void updatePreview()
    {
        preview->setText(visibleName->text() + u' ');
        // Wider columns than the form are shown as wide as the form allows.
        preview->setFixedWidth(std::min(width->value(), kWidestPreview));
    }

    void controlChosen()
    {
        const bool quickPick = GetSelectedItemData(controlType, -1).toLongLong() == kQuickPickFilter;
        if (!quickPick)
            searchField->setCurrentIndex(0);
        searchField->setEnabled(quickPick);
    }
};

namespace {
template <class W> W* named(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}
QLabel* caption(int id, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setProperty(kCaptionTag, id);
    l->setBuddy(buddy);
    return l;
}
}  // namespace

frmListWizardTableField::frmListWizardTableField(QWidget* parent) : QDialog(parent), d(new Private{this})
{
    setObjectName(u"frmListWizardTableField"_s);
    setProperty(kCaptionTag, 30990);
    d->visibleName = named<QLineEdit>(this, "txt_visible_name");
    d->fieldName = named<QLineEdit>(this, "txt_field_name");
    d->groupFieldName = named<QLineEdit>(this, "txt_group_field_name");
    d->fieldType = named<QComboBox>(this, "cbo_field_type");
    d->controlType = named<QComboBox>(this, "cbo_field_control_type");
    d->where = named<QPlainTextEdit>(this, "txt_where_clause");
    d->where->setTabChangesFocus(true);
    d->where->setFixedHeight(fontMetrics().lineSpacing() * 3 + 12);
    d->visibled = named<QCheckBox>(this, "chk_visibled");
    d->filtered = named<QCheckBox>(this, "chk_filtered");
    d->groupable = named<QCheckBox>(this, "chk_groupable");
    d->aggregated = named<QCheckBox>(this, "chk_aggregated");
    d->visibled->setProperty(kCaptionTag, 31060);
    d->filtered->setProperty(kCaptionTag, 31070);
    d->groupable->setProperty(kCaptionTag, 31080);
    d->aggregated->setProperty(kCaptionTag, 31090);
    d->width = named<QSpinBox>(this, "nb_field_width");
    d->width->setRange(0, 99999);
    d->format = named<QLineEdit>(this, "txt_field_format");
    d->searchField = named<QComboBox>(this, "cbo_default_search_field");
    d->preview = named<QLabel>(this, "lbl_width_preview");
    d->preview->setFrameShape(QFrame::Box);
    d->preview->setAutoFillBackground(true);
    d->preview->setBackgroundRole(QPalette::Base);
    auto* previewCaption = new QLabel(this);
    previewCaption->setObjectName(u"lbl_width_caption"_s);
    previewCaption->setProperty(kCaptionTag, 31100);
    d->ok = named<QPushButton>(this, "cmd_ok");
    d->ok->setProperty(kCaptionTag, 31140);
    d->ok->setDefault(true);
    d->cancel = named<QPushButton>(this, "cmd_cancel");
    d->cancel->setProperty(kCaptionTag, 31150);

    for (const Choice& c : fieldTypeChoices())
        d->fieldType->addItem(c.text, c.data);
    for (const Choice& c : filterControlChoices())
        d->controlType->addItem(c.text, c.data);

    auto* form = new QFormLayout;
    form->addRow(caption(31000, d->visibleName, this), d->visibleName);
    form->addRow(caption(31010, d->fieldName, this), d->fieldName);
    form->addRow(caption(31020, d->groupFieldName, this), d->groupFieldName);
    form->addRow(caption(31030, d->fieldType, this), d->fieldType);
    form->addRow(caption(31040, d->controlType, this), d->controlType);
    form->addRow(caption(31050, d->where, this), d->where);
    auto* flags = new QGridLayout;
    flags->addWidget(d->visibled, 0, 0);
    flags->addWidget(d->filtered, 0, 1);
    flags->addWidget(d->groupable, 1, 0);
    flags->addWidget(d->aggregated, 1, 1);
    form->addRow(QString(), flags);
    form->addRow(caption(31110, d->width, this), d->width);
    form->addRow(previewCaption, d->preview);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(caption(31120, d->format, this), d->format);
    form->addRow(caption(31130, d->searchField, this), d->searchField);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(d->ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(d->cancel, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());
    setMinimumWidth(560);

    connect(d->visibleName, &QLineEdit::textChanged, this, [this] { d->updatePreview(); });
    connect(d->width, &QSpinBox::valueChanged, this, [this] { d->updatePreview(); });
    connect(d->controlType, &QComboBox::currentIndexChanged, this, [this] {
        if (!d->initializing)
            d->controlChosen();
    });
    connect(d->ok, &QPushButton::clicked, this, [this] { save(); });
    connect(d->cancel, &QPushButton::clicked, this, &frmListWizardTableField::reject);
    new CtrlEnter(this, [this] { save(); });
    LoadCaptions(this);
    d->updatePreview();
}

frmListWizardTableField::~frmListWizardTableField() = default;

ListWizardTableField* frmListWizardTableField::oData() const { return d->data; }
void frmListWizardTableField::setOData(ListWizardTableField* record) { d->data = record; }
int frmListWizardTableField::ReturnValue() const { return d->returnValue; }

void frmListWizardTableField::Initialize()
{
    d->returnValue = 1;
    Q_EMIT ReturnValueChanged(1);
    if (!d->data)
        return;
    d->initializing = true;
    LoadCaptions(this);
    lg::SetCaptionsVisualTheme(this);
    // The decimal number type is shown and saved as a number.
    if (d->data->field_type() == 2)
        d->data->set_field_type(1);
    if (d->data->field_control_type() == 2)
        d->data->set_field_control_type(1);
    const FieldDraft f = fieldDraft(*d->data);

    d->searchField->clear();
    d->searchField->addItem(noneText(), -1);
    long selectedSearchField = -1;
    try {
        const long quickPick = quickPickOfTable(d->data->table_id());
        if (ctx().database && quickPick != -1) {
            auto rs = ctx().database->OpenRecordset(searchFieldsSql(quickPick), dao::RecordsetType::Snapshot,
                                                    dao::dbReadOnly);
            for (; !rs->Eof(); rs->MoveNext())
                d->searchField->addItem(rs->Fields(u"search_field_name"_s).toString(),
                                        rs->Fields(u"id"_s).toLongLong());
            auto found = ctx().database->OpenRecordset(defaultSearchFieldIdSql(quickPick, f.defaultSearchField),
                                                       dao::RecordsetType::Snapshot, dao::dbReadOnly);
            if (!found->Eof())
                selectedSearchField = long(found->Fields(0).toLongLong());
        }
    } catch (const RuntimeError&) {
        // A failed list query leaves only "<NINCSEN>".
        while (d->searchField->count() > 1)
            d->searchField->removeItem(1);
    }
    if (!SelectListItemByData(d->searchField, qlonglong(selectedSearchField)))
        d->searchField->setCurrentIndex(0);

    d->visibleName->setText(f.visibleName);
    d->fieldName->setText(f.fieldName);
    d->groupFieldName->setText(f.groupFieldName);
    if (!SelectListItemByData(d->fieldType, qlonglong(f.fieldType)))
        d->fieldType->setCurrentIndex(-1);
    if (!SelectListItemByData(d->controlType, qlonglong(f.controlType)))
        d->controlType->setCurrentIndex(-1);
    d->where->setPlainText(f.whereClause);
    d->visibled->setChecked(f.visibled);
    d->filtered->setChecked(f.filtered);
    d->groupable->setChecked(f.groupable);
    d->aggregated->setChecked(f.aggregated);
    d->width->setValue(int(f.width));
    d->format->setText(f.format);
    d->controlChosen();
    const bool unlocked = isUnlocked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{d->fieldName, d->groupFieldName, d->fieldType, d->controlType, d->where})
        w->setEnabled(unlocked);
    d->updatePreview();
    d->initializing = false;
}

bool frmListWizardTableField::save()
{
    if (!d->data)
        return false;
    FieldDraft f;
    f.visibleName = d->visibleName->text();
    f.fieldName = d->fieldName->text();
    f.groupFieldName = d->groupFieldName->text();
    f.fieldType = long(GetSelectedItemData(d->fieldType, -1).toLongLong());
    f.controlType = long(GetSelectedItemData(d->controlType, -1).toLongLong());
    f.whereClause = d->where->toPlainText();
    f.visibled = d->visibled->isChecked();
    f.filtered = d->filtered->isChecked();
    f.groupable = d->groupable->isChecked();
    f.aggregated = d->aggregated->isChecked();
    f.width = d->width->value();
    f.format = d->format->text();
    ctx().currentErrors().Clear();
    bool saved = false;
    runUserFacing(u"frmListWizardTableField"_s, u"cmd_ok_Click"_s, [&] {
        const long row = long(GetSelectedItemData(d->searchField, -1).toLongLong());
        f.defaultSearchField = row == -1 ? QString() : searchFieldOfRow(row);
        saved = saveField(*d->data, f, isUnlocked());
    });
    if (!saved) {
        ShowErrors();
        return false;
    }
    d->returnValue = 0;
    Q_EMIT ReturnValueChanged(0);
    QDialog::done(QDialog::Accepted);
    return true;
}

void frmListWizardTableField::reject()
{
    d->returnValue = 1;
    QDialog::reject();
}

QLineEdit* frmListWizardTableField::txt_visible_name() const { return d->visibleName; }
QLineEdit* frmListWizardTableField::txt_field_name() const { return d->fieldName; }
QLineEdit* frmListWizardTableField::txt_group_field_name() const { return d->groupFieldName; }
QComboBox* frmListWizardTableField::cbo_field_type() const { return d->fieldType; }
QComboBox* frmListWizardTableField::cbo_field_control_type() const { return d->controlType; }
QPlainTextEdit* frmListWizardTableField::txt_where_clause() const { return d->where; }
QCheckBox* frmListWizardTableField::chk_visibled() const { return d->visibled; }
QCheckBox* frmListWizardTableField::chk_filtered() const { return d->filtered; }
QCheckBox* frmListWizardTableField::chk_groupable() const { return d->groupable; }
QCheckBox* frmListWizardTableField::chk_aggregated() const { return d->aggregated; }
QSpinBox* frmListWizardTableField::nb_field_width() const { return d->width; }
QLineEdit* frmListWizardTableField::txt_field_format() const { return d->format; }
QComboBox* frmListWizardTableField::cbo_default_search_field() const { return d->searchField; }
QLabel* frmListWizardTableField::lbl_width_preview() const { return d->preview; }
QPushButton* frmListWizardTableField::cmd_ok() const { return d->ok; }
QPushButton* frmListWizardTableField::cmd_cancel() const { return d->cancel; }

}  // namespace lg::admin
