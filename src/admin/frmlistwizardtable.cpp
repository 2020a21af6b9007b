#include "admin/frmlistwizardtable.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
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

struct frmListWizardTable::Private {
    ListWizardTable* data = nullptr;
    int returnValue = 1;
    QLineEdit* visibleName = nullptr;
    QLineEdit* tableName = nullptr;
    QLineEdit* alias = nullptr;
    QComboBox* qpi = nullptr;
    QPlainTextEdit* whereQpi = nullptr;
    QPlainTextEdit* whereSql = nullptr;
    QLineEdit* pkName = nullptr;
    QLineEdit* pkField = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
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

frmListWizardTable::frmListWizardTable(QWidget* parent) : QDialog(parent), d(new Private)
{
    setObjectName(u"frmListWizardTable"_s);
    setProperty(kCaptionTag, 30860);
    d->visibleName = named<QLineEdit>(this, "txt_visible_name");
    d->tableName = named<QLineEdit>(this, "txt_table_name");
    d->alias = named<QLineEdit>(this, "txt_table_alias");
    d->qpi = named<QComboBox>(this, "cbo_qpi");
    d->whereQpi = named<QPlainTextEdit>(this, "txt_where_clause_qpi");
    d->whereSql = named<QPlainTextEdit>(this, "txt_where_clause_sql");
    d->pkName = named<QLineEdit>(this, "txt_primarykey_name");
    d->pkField = named<QLineEdit>(this, "txt_primarykey_field");
    for (QPlainTextEdit* e : {d->whereQpi, d->whereSql}) {
        e->setTabChangesFocus(true);
        e->setFixedHeight(fontMetrics().lineSpacing() * 3 + 12);
    }
    d->ok = named<QPushButton>(this, "cmd_ok");
    d->ok->setProperty(kCaptionTag, 31140);
    d->ok->setDefault(true);
    d->cancel = named<QPushButton>(this, "cmd_cancel");
    d->cancel->setProperty(kCaptionTag, 31150);

    auto* form = new QFormLayout;
    form->addRow(caption(30870, d->visibleName, this), d->visibleName);
    form->addRow(caption(30880, d->tableName, this), d->tableName);
    form->addRow(caption(30890, d->alias, this), d->alias);
    form->addRow(caption(30900, d->qpi, this), d->qpi);
    form->addRow(caption(30910, d->whereQpi, this), d->whereQpi);
    form->addRow(caption(30920, d->whereSql, this), d->whereSql);
    form->addRow(caption(30930, d->pkName, this), d->pkName);
    form->addRow(caption(30940, d->pkField, this), d->pkField);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(d->ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(d->cancel, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());

    connect(d->ok, &QPushButton::clicked, this, [this] { save(); });
    connect(d->cancel, &QPushButton::clicked, this, &frmListWizardTable::reject);
    new CtrlEnter(this, [this] { save(); });
    LoadCaptions(this);
}

frmListWizardTable::~frmListWizardTable() = default;

ListWizardTable* frmListWizardTable::oData() const { return d->data; }
void frmListWizardTable::setOData(ListWizardTable* record) { d->data = record; }
int frmListWizardTable::ReturnValue() const { return d->returnValue; }

void frmListWizardTable::Initialize()
{
    d->returnValue = 1;
    Q_EMIT ReturnValueChanged(1);
    if (!d->data)
        return;
    LoadCaptions(this);
    lg::SetCaptionsVisualTheme(this);
    d->qpi->clear();
    d->qpi->addItem(noneText(), -1);
    try {
        if (ctx().database) {
            auto rs = ctx().database->OpenRecordset(quickPicksSql(), dao::RecordsetType::Snapshot, dao::dbReadOnly);
            for (; !rs->Eof(); rs->MoveNext())
                d->qpi->addItem(rs->Fields(u"name"_s).toString(), rs->Fields(u"id"_s).toLongLong());
        }
    } catch (const RuntimeError&) {
        // Without the quick picks only "<NINCSEN>" is offered.
        while (d->qpi->count() > 1)
            d->qpi->removeItem(1);
    }
    const TableDraft t = tableDraft(*d->data);
    d->visibleName->setText(t.visibleName);
    d->tableName->setText(t.tableName);
    d->alias->setText(t.tableAlias);
    if (!SelectListItemByData(d->qpi, qlonglong(t.quickPickId)))
        d->qpi->setCurrentIndex(0);
    d->whereQpi->setPlainText(t.whereClauseQpi);
    d->whereSql->setPlainText(t.whereClauseSql);
    d->pkName->setText(t.primaryKeyIndex);
    d->pkField->setText(t.primaryKeyField);
    const bool unlocked = isUnlocked();
    for (QWidget* w : std::initializer_list<QWidget*>{d->tableName, d->alias, d->qpi, d->whereQpi, d->whereSql,
                                                      d->pkName, d->pkField})
        w->setEnabled(unlocked);
}

bool frmListWizardTable::save()
{
    if (!d->data)
        return false;
    TableDraft t;
    t.visibleName = d->visibleName->text();
    t.tableName = d->tableName->text();
    t.tableAlias = d->alias->text();
    t.quickPickId = long(GetSelectedItemData(d->qpi, -1).toLongLong());
    t.whereClauseQpi = d->whereQpi->toPlainText();
    t.whereClauseSql = d->whereSql->toPlainText();
    t.primaryKeyIndex = d->pkName->text();
    t.primaryKeyField = d->pkField->text();
    ctx().currentErrors().Clear();
    bool saved = false;
    runUserFacing(u"frmListWizardTable"_s, u"cmd_ok_Click"_s, [&] { saved = saveTable(*d->data, t, isUnlocked()); });
    if (!saved) {
        ShowErrors();
        return false;
    }
    d->returnValue = 0;
    Q_EMIT ReturnValueChanged(0);
    QDialog::done(QDialog::Accepted);
    return true;
}

void frmListWizardTable::reject()
{
    d->returnValue = 1;
    QDialog::reject();
}

QLineEdit* frmListWizardTable::txt_visible_name() const { return d->visibleName; }
QLineEdit* frmListWizardTable::txt_table_name() const { return d->tableName; }
QLineEdit* frmListWizardTable::txt_table_alias() const { return d->alias; }
QComboBox* frmListWizardTable::cbo_qpi() const { return d->qpi; }
QPlainTextEdit* frmListWizardTable::txt_where_clause_qpi() const { return d->whereQpi; }
QPlainTextEdit* frmListWizardTable::txt_where_clause_sql() const { return d->whereSql; }
QLineEdit* frmListWizardTable::txt_primarykey_name() const { return d->pkName; }
QLineEdit* frmListWizardTable::txt_primarykey_field() const { return d->pkField; }
QPushButton* frmListWizardTable::cmd_ok() const { return d->ok; }
QPushButton* frmListWizardTable::cmd_cancel() const { return d->cancel; }

}  // namespace lg::admin
