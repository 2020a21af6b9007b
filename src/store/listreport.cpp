#include "store/listreport.h"

#include "platform/strings.h"

#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"

namespace lg {

namespace {

const QString kSource = QStringLiteral("ListReport");

template <class F> auto fn(const char* name, F&& body)
{
    return traced(kSource, TraceKind::Function, QString::fromLatin1(name), std::forward<F>(body));
}

QString num(long v)
{
    return QString::number(v);
}

}  // namespace

LG_DEFINE_RECORD(ListReport, LG_LIST_REPORT_COLUMNS, tListReport, oListReport)

// --- children -----------------------------------------------------------------------

template <class Child>
bool ListReport::loadChildren(RecordCollection<Child>& target, eTables table, const QString& indexName, bool bClone,
                              long lNewReportID)
{
    target.Clear();
    const qlonglong listId = ID();
    QList<QVariant> keys{QVariant(listId)};
    if (indexName == QLatin1String("real_sort_order"))
        keys << QVariant(1) << QVariant(0);
    else
        keys << QVariant(0);

    // Collect the ids first: loading a child moves the same shared cursor.
    QList<long> ids;
    dao::Recordset& rs = modTables::SharedTable(table);
    rs.setIndex(indexName);
    rs.Seek(QStringLiteral("="), keys);
    if (!rs.NoMatch()) {
        const QString listColumn = QStringLiteral("vlq_list_report_id");
        const QString delColumn = QStringLiteral("del_status");
        const QString idColumn = QStringLiteral("id");
        while (!rs.Eof()) {
            if (rs.Fields(listColumn).toLongLong() != listId ||
                modTables::NullToDefault(rs.Fields(delColumn), modTables::vt::Long).toLongLong() != 0)
                break;
            ids << long(rs.Fields(idColumn).toLongLong());
            rs.MoveNext();
        }
    }
    rs.setIndex(QString());

    for (long id : ids) {
        auto child = std::make_shared<Child>();
        if (!child->CoreLoad(QVariant(qlonglong(id))))
            return false;
        if (!bClone) {
            target.Add(child, recordKey(id));
            continue;
        }
        auto copy = child->Clone();
        copy->set_vlq_list_report_id(lNewReportID);
        if (!copy->SetFinal() || !copy->CoreUpdate())
            return false;
        target.Add(copy, recordKey(copy->ID()));
    }
    return true;
}

bool ListReport::LoadReportGroups(bool bClone, long lNewReportID)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("LoadReportGroups"), [&] {
        return loadChildren(m_groups, tListReportGroupField, QStringLiteral("real_sort_order"), bClone, lNewReportID);
    });
}

bool ListReport::LoadReportFields(bool bClone, long lNewReportID)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("LoadReportFields"), [&] {
        return loadChildren(m_fields, tListReportVisibleField, QStringLiteral("real_sort_order"), bClone, lNewReportID);
    });
}

bool ListReport::LoadReportWheres(bool bClone, long lNewReportID)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("LoadReportWheres"), [&] {
        return loadChildren(m_wheres, tListReportWhereField, QStringLiteral("live_filter"), bClone, lNewReportID);
    });
}

ListReport::Groups ListReport::ReportGroups()
{
    LoadReportGroups(false, 0);
    return m_groups;
}

ListReport::Fields ListReport::ReportFields()
{
    LoadReportFields(false, 0);
    return m_fields;
}

ListReport::Wheres ListReport::ReportWheres()
{
    LoadReportWheres(false, 0);
    return m_wheres;
}

// --- writing ------------------------------------------------------------------------

bool ListReport::CoreUpdate(bool bCommit)
{
    return coreUpdate(bCommit);
}

void ListReport::beforeWrite(bool commit)
{
    // Only a temporary work copy that is being finalised replaces its source:
    // a list that is final already, one being deleted or one whose object was
    // reused never removes another list.
    m_replacesSource = commit && ItemStatus() != isDeleted && temp_status() != 0 && CloneSourceID() > 0;
    // Finalising changes the row even when nothing else did: a work copy must
    // never replace its source while it stays temporary itself.
    if (commit)
        set_temp_status(0);
}

void ListReport::afterWrite(bool commit)
{
    if (!commit)
        return;
    dao::Database& db = modTables::CurrentDatabase();
    const QVariant id = qlonglong(ID());
    if (m_replacesSource) {
        // The work copy takes the place of the list it was made from.
        const QVariantList source{qlonglong(CloneSourceID())};
        db.Execute(QStringLiteral("update vlq_list_auth_unit set list_report_id=@copy where list_report_id=@source"),
                   QVariantMap{{QStringLiteral("copy"), id}, {QStringLiteral("source"), source.first()}});
        db.Execute(QStringLiteral("delete * from vlq_list_report  where id=?"), source);
        db.Execute(QStringLiteral("delete * from vlq_list_report_group_field  where vlq_list_report_id=?"), source);
        db.Execute(QStringLiteral("delete * from vlq_list_report_where_field  where vlq_list_report_id=?"), source);
        db.Execute(QStringLiteral("delete * from vlq_list_report_visible_field  where vlq_list_report_id=?"), source);
    }
    // Children removed while the copy was edited.
    const QVariantList copy{id};
    db.Execute(QStringLiteral("delete * from vlq_list_report_group_field  where vlq_list_report_id=? and del_status<>0"),
               copy);
    db.Execute(QStringLiteral("delete * from vlq_list_report_where_field  where vlq_list_report_id=? and del_status<>0"),
               copy);
    db.Execute(
        QStringLiteral("delete * from vlq_list_report_visible_field  where vlq_list_report_id=? and del_status<>0"),
        copy);
}

// --- copies ---------------------------------------------------------------------------

std::shared_ptr<ListReport> ListReport::DBClone(eCloneType eCType)
{
    return fn("DBClone", [&]() -> std::shared_ptr<ListReport> {
        dao::Database& db = modTables::CurrentDatabase();
        // Hold the write lock for the whole copy, so that no other process
        // writes between the rows of one copy.
        if (!modTables::OpenTableForTransGroup(0))
            return {};
        struct LockRelease {
            ~LockRelease()
            {
                // A destructor must not throw; on the success path the
                // commit has already made the copy durable, and on the error
                // path that error is the one reported.
                try {
                    modTables::CloseTableForTransGroup(0);
                } catch (...) {
                }
            }
        } lockRelease;

        // Every early return leaves the guard uncommitted: nothing of a
        // half-made copy stays.
        dao::Transaction transaction(db);
        auto source = std::make_shared<ListReport>();
        if (!source->CoreLoad(QVariant(qlonglong(ID()))))
            return {};
        auto copy = source->Clone();
        copy->set_temp_status(1);
        if (!copy->SetFinal() || !copy->CoreUpdate(false))
            return {};
        if (eCType == ectCopy)
            copy->setCloneSourceID(-1);
        const long copyId = copy->ID();
        if (!source->LoadReportGroups(true, copyId) || !source->LoadReportFields(true, copyId) ||
            !source->LoadReportWheres(true, copyId))
            return {};
        transaction.commit(dao::dbForceOSFlush);
        return copy;
    });
}

bool ListReport::DeleteTempItem()
{
    return traced(kSource, TraceKind::Function, QStringLiteral("DeleteTempItem"), [&] {
        dao::Database& db = modTables::CurrentDatabase();
        const QString n = num(ID());
        // Only a work copy may be discarded this way: the stored row decides,
        // not the object, which may have been reused since.
        if (ID() <= 0 ||
            !modTables::TableSeekSpec(tListReport, QStringLiteral("PrimaryKey"), {QVariant(qlonglong(ID()))}))
            return true;  // nothing stored under this id
        const long storedTemp =
            long(modTables::NullToDefault(modTables::SharedTable(tListReport).Fields(QStringLiteral("temp_status")),
                                          modTables::vt::Long)
                     .toLongLong());
        if (storedTemp == 0) {
            AddError(errnum::ListNotTemporary,
                     LoadResString(7243).arg(n));
            return false;
        }
        // All or nothing: a list without its row but with children (or the
        // reverse) is never left behind.
        const QVariantList id{qlonglong(ID())};
        dao::Transaction transaction(db);
        db.Execute(QStringLiteral("delete * from vlq_list_report  where id=?"), id);
        db.Execute(QStringLiteral("delete * from vlq_list_report_group_field  where vlq_list_report_id=?"), id);
        db.Execute(QStringLiteral("delete * from vlq_list_report_where_field  where vlq_list_report_id=?"), id);
        db.Execute(QStringLiteral("delete * from vlq_list_report_visible_field  where vlq_list_report_id=?"), id);
        transaction.commit(dao::dbForceOSFlush);
        db.Idle(dao::dbFreeLocks);
        return true;
    });
}

}  // namespace lg
