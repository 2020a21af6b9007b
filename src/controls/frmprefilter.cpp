#include "controls/frmprefilter.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QVBoxLayout>

#include "controls/prefiltermodel.h"
#include "filters/widgets/conditionpanel.h"
#include "filters/widgets/queryfiltercontrol.h"
#include "store/errors.h"
#include "ui/captions.h"
#include "ui/fieldtree.h"

using namespace Qt::StringLiterals;

namespace lg::controls {

struct frmPreFilter::Private {
    PreFilterRequest request;
    std::unique_ptr<PreFilterModel> model = std::make_unique<PreFilterModel>();
    int returnValue = 1;
    bool initializing = false;
    QLabel* lblFields = nullptr;
    ui::FieldTree* tree = nullptr;
    filters::ConditionPanel* panel = nullptr;
    QLabel* lblDescription = nullptr;
    QPlainTextEdit* description = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

frmPreFilter::frmPreFilter(QWidget* parent) : QDialog(parent), d(std::make_unique<Private>())
{
    setObjectName(u"frmPreFilter"_s);
    setModal(true);

    d->lblFields = new QLabel(this);
    d->lblFields->setObjectName(u"lbl_where_fields"_s);
    d->lblFields->setProperty(kCaptionTag, 6005);
    d->tree = new ui::FieldTree(this);
    d->tree->setObjectName(u"tree_where_fields"_s);
    d->lblFields->setBuddy(d->tree);

    d->panel = new filters::ConditionPanel;
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(u"conditions"_s);
    scroll->setWidget(d->panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    d->lblDescription = new QLabel(this);
    d->lblDescription->setObjectName(u"lbl_sql_description"_s);
    d->lblDescription->setProperty(kCaptionTag, 6011);
    d->description = new QPlainTextEdit(this);
    d->description->setObjectName(u"txt_sql_description"_s);
    d->description->setReadOnly(true);
    d->description->setFixedHeight(d->description->fontMetrics().lineSpacing() * 3 + 12);
    d->lblDescription->setBuddy(d->description);

    d->ok = new QPushButton(this);
    d->ok->setObjectName(u"cmd_ok"_s);
    d->ok->setProperty(kCaptionTag, 31140);
    d->cancel = new QPushButton(this);
    d->cancel->setObjectName(u"cmd_cancel"_s);
    d->cancel->setProperty(kCaptionTag, 31150);
    // Enter belongs to the control with the focus; Ctrl+Enter confirms.
    for (QPushButton* b : {d->ok, d->cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(d->lblFields);
    left->addWidget(d->tree, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(scroll, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(d->ok);
    buttons->addWidget(d->cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(d->lblDescription);
    layout->addWidget(d->description);
    layout->addLayout(buttons);
    resize(940, 620);

    LoadCaptions(this);
    lg::SetCaptionsVisualTheme(this);

    connect(d->tree, &ui::FieldTree::currentFieldIdChanged, this, [this](int id) {
        if (!d->initializing)
            InitCurrentFilterControl(id);
    });
    connect(d->ok, &QPushButton::clicked, this, &frmPreFilter::confirm);
    connect(d->cancel, &QPushButton::clicked, this, &frmPreFilter::reject);
}

frmPreFilter::~frmPreFilter()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

int frmPreFilter::ReturnValue() const { return d->returnValue; }

void frmPreFilter::setReturnValue(int value)
{
    if (value == d->returnValue)
        return;
    d->returnValue = value;
    Q_EMIT ReturnValueChanged(value);
}

#define LG_SETTING(Getter, Setter, Type, member)                                                                      \
    Type frmPreFilter::Getter() const { return Type(d->request.member); }                                            \
    void frmPreFilter::Setter(Type value)                                                                             \
    {                                                                                                                  \
        if (Type(d->request.member) == value)                                                                          \
            return;                                                                                                    \
        d->request.member = value;                                                                                     \
        Q_EMIT settingsChanged();                                                                                      \
    }
LG_SETTING(TableFieldNameCompletteOnUI, setTableFieldNameCompletteOnUI, bool, tableFieldNameCompletteOnUI)
LG_SETTING(TableFieldNameCompletteOnReport, setTableFieldNameCompletteOnReport, bool, tableFieldNameCompletteOnReport)
LG_SETTING(UserID, setUserID, int, userId)
LG_SETTING(TablePriority, setTablePriority, int, tablePriority)
LG_SETTING(ListWizardType, setListWizardType, int, listTypeId)
#undef LG_SETTING

QString frmPreFilter::original_sql_description() const { return d->request.originalSqlDescription; }
void frmPreFilter::set_original_sql_description(const QString& description)
{
    if (description == d->request.originalSqlDescription)
        return;
    d->request.originalSqlDescription = description;
    Q_EMIT settingsChanged();
}
QString frmPreFilter::ReportName() const { return d->request.reportName; }
void frmPreFilter::setReportName(const QString& name)
{
    if (name == d->request.reportName)
        return;
    d->request.reportName = name;
    Q_EMIT settingsChanged();
}

void frmPreFilter::setRequest(const PreFilterRequest& request)
{
    d->request = request;
    Q_EMIT settingsChanged();
}

QString frmPreFilter::sql_description() const { return d->model->sqlDescription(); }
QString frmPreFilter::sql_field_where() const { return d->model->sqlFieldWhere(); }

bool frmPreFilter::Initialize()
{
    d->initializing = true;
    setReturnValue(1);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoadCaptions(this);
    d->panel->resetAll();
    d->model = std::make_unique<PreFilterModel>(d->request);
    setWindowTitle(d->request.reportName);
    const bool ok = d->model->Initialize();
    if (ok)
        d->tree->fill(d->model->fieldRows());
    showDescription();
    d->initializing = false;
    QApplication::restoreOverrideCursor();
    return ok;
}

bool frmPreFilter::InitCurrentFilterControl(long tableFieldId)
{
    if (tableFieldId == d->model->currentFieldId())
        return true;
    filters::QueryFilterControl* control = d->panel->currentControl();
    const bool ok = d->model->InitCurrentFilterControl(tableFieldId, control ? control->filter() : nullptr);
    showDescription();
    if (tableFieldId == PreFilterModel::kConfirm)
        return ok;
    d->panel->resetCurrent();
    if (!ok || d->model->currentFieldId() == -1)
        return ok;
    return d->panel->setUp(d->model->current());
}

void frmPreFilter::showDescription()
{
    d->description->setPlainText(d->model->sqlDescription());
    Q_EMIT resultChanged();
}

void frmPreFilter::confirm()
{
    InitCurrentFilterControl(PreFilterModel::kConfirm);
    setReturnValue(0);
    QDialog::accept();
}

void frmPreFilter::reject()
{
    setReturnValue(1);
    QDialog::reject();
}

PreFilterModel& frmPreFilter::model() const { return *d->model; }
ui::FieldTree* frmPreFilter::tree_where_fields() const { return d->tree; }
filters::ConditionPanel* frmPreFilter::conditions() const { return d->panel; }
QPlainTextEdit* frmPreFilter::txt_sql_description() const { return d->description; }
QPushButton* frmPreFilter::cmd_ok() const { return d->ok; }
QPushButton* frmPreFilter::cmd_cancel() const { return d->cancel; }

void frmPreFilter::showEvent(QShowEvent* event)
{
    // The dialog's keys come first, whichever of its controls has the focus.
    QCoreApplication::instance()->installEventFilter(this);
    QDialog::showEvent(event);
}

void frmPreFilter::hideEvent(QHideEvent* event)
{
    QCoreApplication::instance()->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool frmPreFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QDialog::eventFilter(watched, event);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this || !isVisible())
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool ctrlEnter = enter && mods == Qt::ControlModifier;
    const bool esc = key->key() == Qt::Key_Escape && mods == Qt::NoModifier;
    if (!ctrlEnter && !esc)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();  // the key press follows and is handled below
        return true;
    }
    if (ctrlEnter)
        confirm();
    else
        reject();
    return true;
}

PreFilterAnswer PreFilterDialogPrompt::ask(QWidget* parent, const PreFilterRequest& request)
{
    frmPreFilter dialog(parent);
    dialog.setRequest(request);
    if (!dialog.Initialize()) {
        lg::ShowErrors();
        PreFilterAnswer answer;
        answer.initialized = false;
        answer.returnValue = 1;
        return answer;
    }
    dialog.exec();
    return dialog.model().answer(dialog.ReturnValue());
}

}  // namespace lg::controls
