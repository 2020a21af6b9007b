#include "filters/widgets/frmquickpickbrowse.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QVBoxLayout>

#include "filters/widgets/twips.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "store/errors.h"
#include "ui/browsemodel.h"
#include "ui/browseview.h"

using namespace Qt::StringLiterals;

namespace lg::filters {

namespace {

constexpr int kLoadFailed = 7100;
constexpr int kNoDefinition = 7101;
constexpr int kNoDatabase = 7102;
constexpr int kRowCount = 7103;
constexpr int kKeysHint = 7104;

QString text(const QVariant& v)
{
    return dao::isNull(v) ? QString() : v.toString();
}

// The catalogue's caption (first letter upper case) and width in twips of
// the fields of one table, by field name in lower case.
QHash<QString, std::pair<QString, int>> catalogueColumns(dao::Database& db, const QString& table)
{
    QHash<QString, std::pair<QString, int>> out;
    if (table.isEmpty() || !db.hasTable(u"vlq_list_wizard_table"_s) ||
        !db.hasTable(u"vlq_list_wizard_table_field"_s))
        return out;
    auto rs = db.OpenRecordset(
        u"SELECT f.field_name, f.visible_name, f.field_width FROM vlq_list_wizard_table_field AS f "
        "INNER JOIN vlq_list_wizard_table AS t ON f.table_id = t.id WHERE t.table_name = ? ORDER BY t.id, f.id"_s,
        dao::Parameters(QVariantList{table}), dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
    for (; !rs->Eof(); rs->MoveNext()) {
        const QString name = text(rs->Fields(0)).trimmed().toLower();
        QString caption = text(rs->Fields(1)).trimmed();
        if (name.isEmpty() || caption.isEmpty() || out.contains(name))
            continue;
        caption[0] = caption[0].toUpper();
        out.insert(name, {caption, int(rs->Fields(2).toLongLong())});
    }
    return out;
}

}  // namespace

std::optional<QuickPickBrowseDefinition> readQuickPickBrowse(dao::Database& db, int browseId, int language)
{
    auto rs = db.OpenRecordset(
        u"SELECT id, name1, name2, name3, table_name, sql_source, field_list, sort_field FROM vlq_view WHERE id = ?"_s,
        dao::Parameters(QVariantList{browseId}), dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
    if (rs->Eof())
        return std::nullopt;
    QuickPickBrowseDefinition def;
    def.id = browseId;
    const int nameColumn = language == 2 ? 2 : language == 3 ? 3 : 1;
    def.caption = text(rs->Fields(nameColumn)).trimmed();
    if (def.caption.isEmpty())
        def.caption = text(rs->Fields(1)).trimmed();
    def.tableName = text(rs->Fields(4)).trimmed();
    def.browse.statement = text(rs->Fields(5));
    def.browse.columns = ui::parseColumnList(text(rs->Fields(6)));
    def.browse.sortField = text(rs->Fields(7)).trimmed();
    rs.reset();

    const auto catalogue = catalogueColumns(db, def.tableName);
    for (ui::BrowseColumn& column : def.browse.columns) {
        if (column.caption != column.field)
            continue;  // the definition's own caption
        const auto it = catalogue.constFind(column.field.toLower());
        if (it == catalogue.constEnd())
            continue;
        column.caption = it->first;
        if (column.width == 0 && it->second > 0)
            column.width = twipsToPixelsX(it->second, nullptr);
    }
    return def;
}

QString quickPickBrowseFilter(bool useWhereInBrowse, const QString& browseWhereClause,
                              const QString& customRecordFilter)
{
    const QString where = browseWhereClause.trimmed();
    const QString custom = customRecordFilter.trimmed();
    QString filter;
    if (!useWhereInBrowse)
        filter = custom;
    else if (!where.isEmpty() && !custom.isEmpty())
        filter = where + u" AND "_s + custom;
    else
        filter = where.isEmpty() ? custom : where;
    if (filter.isEmpty())
        filter = u"(TRUE)"_s;
    return u' ' + filter + u' ';
}

struct frmQuickPickBrowse::Private {
    ui::BrowseView* view = nullptr;
    QLabel* status = nullptr;
    int currentId = -1;
    int language = 1;
    int visibleRows = 0;
    int browseId = 0;
};

frmQuickPickBrowse::frmQuickPickBrowse(QWidget* parent) : QDialog(parent), d(std::make_unique<Private>())
{
    setObjectName(u"frmQuickPickBrowse"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    d->view = new ui::BrowseView(this);
    d->view->setObjectName(u"grdBrowse"_s);
    layout->addWidget(d->view, 1);
    d->status = new QLabel(this);
    d->status->setObjectName(u"lblStatus"_s);
    layout->addWidget(d->status);

    connect(d->view, &ui::BrowseView::chosen, this, [this](int id) {
        setCurrentID(id);
        accept();
    });
    connect(d->view, &ui::BrowseView::cancelled, this, &frmQuickPickBrowse::reject);
    connect(d->view, &ui::BrowseView::rowTotalChanged, this, [this](int rows) {
        d->status->setText(LoadResString(kRowCount).arg(rows) + u"    "_s + LoadResString(kKeysHint));
    });
    d->status->setText(LoadResString(kRowCount).arg(0) + u"    "_s + LoadResString(kKeysHint));
}

frmQuickPickBrowse::~frmQuickPickBrowse() = default;

bool frmQuickPickBrowse::LoadBrowse(int browseId, const QString& filter, const QString& caption,
                                    std::shared_ptr<dao::Database> db)
{
    d->browseId = browseId;
    setCurrentID(-1);
    auto fail = [browseId](const QString& reason) {
        AddError(kLoadFailed, LoadResString(kLoadFailed).arg(browseId).arg(reason));
        return false;
    };
    if (!db)
        return fail(LoadResString(kNoDatabase));
    std::optional<QuickPickBrowseDefinition> def;
    try {
        def = readQuickPickBrowse(*db, browseId, d->language);
    } catch (const RuntimeError& e) {
        return fail(e.description());
    }
    if (!def)
        return fail(LoadResString(kNoDefinition));
    setWindowTitle(def->caption.isEmpty() ? caption : def->caption);
    if (!d->view->open(std::move(db), def->browse, filter))
        return fail(d->view->lastError());
    fitSize();
    return true;
}

void frmQuickPickBrowse::RefreshBrowse(int currentId)
{
    if (!d->view->reload(currentId) && !d->view->lastError().isEmpty())
        AddError(kLoadFailed, LoadResString(kLoadFailed).arg(d->browseId).arg(d->view->lastError()));
}

int frmQuickPickBrowse::CurrentID() const
{
    return d->currentId;
}

void frmQuickPickBrowse::setCurrentID(int id)
{
    if (d->currentId == id)
        return;
    d->currentId = id;
    Q_EMIT CurrentIDChanged(id);
}

int frmQuickPickBrowse::LanguageNumber() const
{
    return d->language;
}

void frmQuickPickBrowse::setLanguageNumber(int language)
{
    if (d->language == language)
        return;
    d->language = language;
    Q_EMIT LanguageNumberChanged(language);
}

int frmQuickPickBrowse::VisibleRowCount() const
{
    return d->visibleRows;
}

void frmQuickPickBrowse::setVisibleRowCount(int rows)
{
    rows = std::max(0, rows);
    if (d->visibleRows == rows)
        return;
    d->visibleRows = rows;
    fitSize();
    Q_EMIT VisibleRowCountChanged(rows);
}

void frmQuickPickBrowse::reject()
{
    setCurrentID(-1);
    QDialog::reject();
}

ui::BrowseView* frmQuickPickBrowse::view() const
{
    return d->view;
}

void frmQuickPickBrowse::fitSize()
{
    int width = 0;
    for (int c = 0; c < d->view->browseModel()->columnCount(); ++c)
        width += d->view->columnWidth(c);
    width += d->view->verticalScrollBar()->sizeHint().width() + 2 * d->view->frameWidth() + 8;
    const int rows = d->visibleRows > 0 ? d->visibleRows : 20;
    const int height = d->view->heightForRows(rows) + d->status->sizeHint().height() + 10;
    resize(std::clamp(width, 320, 1200), std::clamp(height, 160, 900));
}

}  // namespace lg::filters
