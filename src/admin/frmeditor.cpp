#include "admin/frmeditor.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include "admin/catalogueedit.h"
#include "admin/frmlistwizardtable.h"
#include "admin/frmlistwizardtablefield.h"
#include "admin/unlockgate.h"
#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/message.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/records.h"
#include "store/tables.h"
#include "ui/captions.h"
#include "ui/listutils.h"

namespace lg::admin {

using namespace Qt::StringLiterals;

namespace {

const char* const kTableDetails[] = {"table_visible_name", "table_name", "table_alias", "quickpick_name"};
const int kTableCaptions[] = {30420, 30430, 30440, 30450};
const char* const kFieldDetails[] = {"field_visible_name", "field_name",   "group_field_name", "field_type",
                                     "field_control_type", "visibled",     "filtered",         "groupable",
                                     "aggregated",         "field_width",  "field_format",     "default_search_field"};
const int kFieldCaptions[] = {30500, 30510, 30520, 30530, 30540, 30550, 30560, 30570, 30580, 30590, 30600, 31130};

template <class W> W* named(QWidget* parent, const QString& name)
{
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

QLabel* caption(int id, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setProperty(kCaptionTag, id);
    return l;
}

// Runs a list query; a failed one leaves the list empty.
template <class F> void readRows(const QString& sql, F&& row)
{
    if (!ctx().database)
        return;
    try {
        auto rs = ctx().database->OpenRecordset(sql, dao::RecordsetType::Snapshot, dao::dbReadOnly);
        for (; !rs->Eof(); rs->MoveNext())
            row(*rs);
    } catch (const RuntimeError&) {
    }
}

bool plainKey(const QKeyEvent* e, int key)
{
    return e->key() == key && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

struct frmEditor::Private {
    long modulId = -1;
    bool initializing = false;
    UnlockGate gate;
    QComboBox* types = nullptr;
    QListWidget* tables = nullptr;
    QListWidget* fields = nullptr;
    QHash<QString, QLabel*> details;
    QPlainTextEdit* whereQpi = nullptr;
    QPlainTextEdit* whereSql = nullptr;
    QPlainTextEdit* fieldWhere = nullptr;
    QLabel* god = nullptr;
    QPushButton* cancel = nullptr;

    void clearTableDetails()
    {
        for (const char* c : kTableDetails)
            details.value(QLatin1String(c))->clear();
        whereQpi->clear();
        whereSql->clear();
    }
    void clearFieldDetails()
    {
        for (const char* c : kFieldDetails)
            details.value(QLatin1String(c))->clear();
        fieldWhere->clear();
    }
    void set(const char* column, const QString& text) { details.value(QLatin1String(column))->setText(text); }

    void fillTypes()
    {
        const QSignalBlocker block(types);
        types->clear();
        readRows(editorListTypesSql(modulId), [&](dao::Recordset& rs) {
            types->addItem(rs.Fields(u"name"_s).toString(), rs.Fields(u"id"_s).toLongLong());
        });
    }

    void typeChosen()
    {
        tables->clear();
        fields->clear();
        clearTableDetails();
        clearFieldDetails();
        const long type = long(GetSelectedItemData(types, -1).toLongLong());
        if (type == -1)
            return;
        {
            const QSignalBlocker block(tables);
            readRows(editorTablesSql(type), [&](dao::Recordset& rs) {
                auto* item = new QListWidgetItem(rs.Fields(u"visible_name"_s).toString(), tables);
                item->setData(Qt::UserRole, rs.Fields(u"id"_s).toLongLong());
            });
        }
        if (tables->count() > 0)
            tables->setCurrentRow(0);
        tableChosen();
    }

    long currentId(QListWidget* list) const { return long(GetSelectedItemData(list, -1).toLongLong()); }

    void showTable(const ListWizardTable& t)
    {
        set("table_visible_name", t.visible_name());
        set("table_name", t.table_name());
        set("table_alias", t.table_alias());
        QString qpi;
        readRows(quickPickNameSql(t.quickpick_id()), [&](dao::Recordset& rs) { qpi = rs.Fields(0).toString(); });
        set("quickpick_name", qpi);
        whereQpi->setPlainText(t.where_clause_qpi());
        whereSql->setPlainText(t.where_clause_sql());
    }

    void tableChosen()
    {
        fields->clear();
        clearTableDetails();
        clearFieldDetails();
        const long id = currentId(tables);
        if (id == -1)
            return;
        ListWizardTable table;
        if (table.CoreLoad(id))
            showTable(table);
        {
            const QSignalBlocker block(fields);
            readRows(editorFieldsSql(id), [&](dao::Recordset& rs) {
                auto* item = new QListWidgetItem(rs.Fields(u"visible_name"_s).toString(), fields);
                item->setData(Qt::UserRole, rs.Fields(u"id"_s).toLongLong());
            });
        }
        if (fields->count() > 0)
            fields->setCurrentRow(0);
        fieldChosen();
    }

    void showField(const ListWizardTableField& f)
    {
        set("field_visible_name", f.visible_name());
        set("field_name", f.field_name());
        set("group_field_name", f.group_field_name());
        set("field_type", fieldTypeText(f.field_type()));
        set("field_control_type", filterControlText(f.field_control_type(), f.filtered() != 0));
        set("visibled", flagText(f.visibled() == -1));
        set("filtered", flagText(f.filtered() == -1));
        set("groupable", flagText(f.groupable() == -1));
        set("aggregated", flagText(f.aggregated() == -1));
        set("field_width", QString::number(f.field_width()));
        set("field_format", f.field_format());
        fieldWhere->setPlainText(f.where_clause());
        QString search;
        if (f.field_control_type() == kQuickPickFilter) {
            readRows(defaultSearchFieldNameSql(quickPickOfTable(f.table_id()), f.default_search_field()),
                     [&](dao::Recordset& rs) { search = rs.Fields(0).toString(); });
        }
        set("default_search_field", search);
    }

    void fieldChosen()
    {
        clearFieldDetails();
        const long id = currentId(fields);
        if (id == -1)
            return;
        ListWizardTableField field;
        if (field.CoreLoad(id))
            showField(field);
    }
};

frmEditor::frmEditor(QWidget* parent) : QDialog(parent), d(new Private)
{
    installEditForms();
    setObjectName(u"frmEditor"_s);
    setProperty(kCaptionTag, 30370);
    d->types = named<QComboBox>(this, u"cbo_list_type"_s);
    d->tables = named<QListWidget>(this, u"lst_tables"_s);
    d->fields = named<QListWidget>(this, u"lst_fields"_s);
    for (QListWidget* l : {d->tables, d->fields})
        l->installEventFilter(this);

    auto* left = new QVBoxLayout;
    left->addWidget(caption(30380, this));
    left->addWidget(d->types);
    left->addWidget(caption(30390, this));
    left->addWidget(d->tables, 1);
    left->addWidget(caption(30400, this));
    left->addWidget(d->fields, 2);

    const auto clauseBox = [&](const char* name) {
        auto* box = named<QPlainTextEdit>(this, QLatin1String(name));
        box->setReadOnly(true);
        box->setFixedHeight(fontMetrics().lineSpacing() * 3 + 12);
        return box;
    };
    const auto detailLabel = [&](const char* column) {
        auto* l = named<QLabel>(this, u"lbl_"_s + QLatin1String(column));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setMinimumWidth(220);
        d->details.insert(QLatin1String(column), l);
        return l;
    };

    auto* tableBox = new QGroupBox(this);
    tableBox->setProperty(kCaptionTag, 30410);
    auto* tableForm = new QFormLayout(tableBox);
    for (int i = 0; i < 4; ++i)
        tableForm->addRow(caption(kTableCaptions[i], this), detailLabel(kTableDetails[i]));
    d->whereQpi = clauseBox("txt_where_clause_qpi");
    d->whereSql = clauseBox("txt_where_clause_sql");
    tableForm->addRow(caption(30460, this), d->whereQpi);
    tableForm->addRow(caption(30480, this), d->whereSql);

    auto* fieldBox = new QGroupBox(this);
    fieldBox->setProperty(kCaptionTag, 30490);
    auto* fieldForm = new QFormLayout(fieldBox);
    for (int i = 0; i < 12; ++i)
        fieldForm->addRow(caption(kFieldCaptions[i], this), detailLabel(kFieldDetails[i]));
    d->fieldWhere = clauseBox("txt_field_where_clause");
    fieldForm->addRow(caption(31050, this), d->fieldWhere);

    auto* right = new QVBoxLayout;
    right->addWidget(tableBox);
    right->addWidget(fieldBox);
    right->addStretch();

    d->god = named<QLabel>(this, u"lbl_god_label"_s);
    d->god->setFixedSize(24, 24);
    d->god->installEventFilter(this);
    d->cancel = named<QPushButton>(this, u"cmd_cancel"_s);
    d->cancel->setProperty(kCaptionTag, 30470);
    d->cancel->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(d->god);
    bottom->addStretch();
    bottom->addWidget(d->cancel);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(bottom);
    resize(820, 640);

    connect(d->types, &QComboBox::currentIndexChanged, this, [this] {
        if (!d->initializing)
            d->typeChosen();
    });
    connect(d->tables, &QListWidget::currentRowChanged, this, [this] {
        if (!d->initializing)
            d->tableChosen();
    });
    connect(d->fields, &QListWidget::currentRowChanged, this, [this] {
        if (!d->initializing)
            d->fieldChosen();
    });
    connect(d->tables, &QListWidget::itemDoubleClicked, this, [this] { editTable(); });
    connect(d->fields, &QListWidget::itemDoubleClicked, this, [this] { editField(); });
    connect(d->cancel, &QPushButton::clicked, this, &QDialog::hide);
    LoadCaptions(this);
}

frmEditor::~frmEditor() = default;

int frmEditor::ModulID() const { return int(d->modulId); }
void frmEditor::setModulID(int v)
{
    if (d->modulId == v)
        return;
    d->modulId = v;
    Q_EMIT ModulIDChanged(v);
}

bool frmEditor::Initialize()
{
    if (!ctx().database)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    modTables::Initialize();
    LoadCaptions(this);
    lg::SetCaptionsVisualTheme(this);
    d->initializing = true;
    d->tables->clear();
    d->fields->clear();
    d->clearTableDetails();
    d->clearFieldDetails();
    d->fillTypes();
    d->initializing = false;
    if (d->types->count() > 0)
        d->types->setCurrentIndex(0);
    d->typeChosen();
    return true;
}

bool frmEditor::editTable()
{
    const long id = d->currentId(d->tables);
    if (id == -1)
        return false;
    bool saved = false;
    runUserFacing(u"frmEditor"_s, u"lst_tables_DblClick"_s, [&] {
        ListWizardTable table;
        if (!table.CoreLoad(id) || table.ShowForm() != 0)
            return;
        saved = true;
        ListWizardTable fresh;
        if (fresh.CoreLoad(id)) {
            d->tables->currentItem()->setText(fresh.visible_name());
            d->showTable(fresh);
        }
    });
    ShowErrors();
    if (saved)
        Q_EMIT tableSaved(int(id));
    return saved;
}

bool frmEditor::editField()
{
    const long id = d->currentId(d->fields);
    if (id == -1)
        return false;
    bool saved = false;
    runUserFacing(u"frmEditor"_s, u"lst_fields_DblClick"_s, [&] {
        ListWizardTableField field;
        if (!field.CoreLoad(id) || field.ShowForm() != 0)
            return;
        saved = true;
        ListWizardTableField fresh;
        if (fresh.CoreLoad(id)) {
            d->fields->currentItem()->setText(fresh.visible_name());
            d->showField(fresh);
        }
    });
    ShowErrors();
    if (saved)
        Q_EMIT fieldSaved(int(id));
    return saved;
}

void frmEditor::unlockGesture() { d->gate.gesture(ctx().messageService()); }
int frmEditor::unlockTries() const { return d->gate.tries(); }

bool frmEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->god && event->type() == QEvent::MouseButtonPress) {
        const auto* e = static_cast<QMouseEvent*>(event);
        const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if (e->button() == Qt::RightButton && (e->modifiers() & all) == all) {
            unlockGesture();
            return true;
        }
    }
    if ((watched == d->tables || watched == d->fields) && event->type() == QEvent::KeyPress) {
        if (plainKey(static_cast<QKeyEvent*>(event), Qt::Key_F7)) {
            if (watched == d->tables)
                editTable();
            else
                editField();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmEditor::keyPressEvent(QKeyEvent* event)
{
    if (plainKey(event, Qt::Key_Escape)) {
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

QComboBox* frmEditor::cbo_list_type() const { return d->types; }
QListWidget* frmEditor::lst_tables() const { return d->tables; }
QListWidget* frmEditor::lst_fields() const { return d->fields; }
QLabel* frmEditor::lbl_god_label() const { return d->god; }
QPushButton* frmEditor::cmd_cancel() const { return d->cancel; }
QLabel* frmEditor::detail(const QString& column) const { return d->details.value(column); }
QPlainTextEdit* frmEditor::txt_where_clause_qpi() const { return d->whereQpi; }
QPlainTextEdit* frmEditor::txt_where_clause_sql() const { return d->whereSql; }
QPlainTextEdit* frmEditor::txt_field_where_clause() const { return d->fieldWhere; }

void installEditForms()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    ListWizardTable::setFormHandler([](ListWizardTable& record) -> short {
        frmListWizardTable form(QApplication::activeWindow());
        form.setOData(&record);
        form.Initialize();
        form.exec();
        form.setOData(nullptr);
        return short(form.ReturnValue());
    });
    ListWizardTableField::setFormHandler([](ListWizardTableField& record) -> short {
        frmListWizardTableField form(QApplication::activeWindow());
        form.setOData(&record);
        form.Initialize();
        form.exec();
        form.setOData(nullptr);
        return short(form.ReturnValue());
    });
}

}  // namespace lg::admin
