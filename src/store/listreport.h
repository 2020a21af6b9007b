#pragma once

// A saved list: its vlq_list_report row and its three sets of children
// (grouping fields, displayed fields, filter conditions).
//
// Editing never touches the saved rows: DBClone writes a temporary work copy
// with copies of all live children; CoreUpdate(true) of the copy finalises it,
// moves the permission denials of its source to it and deletes the source, so
// an edited list comes back under a new id. DeleteTempItem discards a copy.

#include "store/records.h"

namespace lg {

namespace errnum {
// DeleteTempItem was asked to discard a list that is stored as final.
constexpr long ListNotTemporary = ElementIsTemporary + 1;
}  // namespace errnum

#define LG_LIST_REPORT_COLUMNS(C)                                                                                      \
    C(Long, list_type_id, "list_type_id", -1, 0)                                                                       \
    C(Text, name, "name", 0, 0)                                                                                        \
    C(Long, detail_invisible, "detail_invisible", 0, 0)                                                                \
    C(Text, description, "description", 0, 0)                                                                          \
    C(Text, sql_source, "sql_source", 0, 0)                                                                            \
    C(Text, sql_description, "sql_description", 0, 0)                                                                  \
    C(Text, report_file, "report_file", 0, 0)                                                                          \
    C(Long, table_priority, "table_priority", -1, 0)                                                                   \
    C(Long, filterform, "filterform", 0, 0)                                                                            \
    C(Flag, private_report, "private", 0, 0)                                                                           \
    C(Long, temp_status, "temp_status", 0,                                                                             \
      ::lg::column_flags::AfterAudit | ::lg::column_flags::WrittenOnDelete | ::lg::column_flags::NotCloned)

class ListReport : public Record<ListReport> {
    LG_RECORD_COLUMNS(LG_LIST_REPORT_COLUMNS)
public:
    using Groups = RecordCollection<ListReportGroupField>;
    using Fields = RecordCollection<ListReportVisibleField>;
    using Wheres = RecordCollection<ListReportWhereField>;

    ListReport();

    // The live children in order, keyed "R" + id. Every read reloads them from
    // the store (one keyed read per child): read once and keep the result.
    Groups ReportGroups();
    Fields ReportFields();
    Wheres ReportWheres();
    // Assigned contents are not kept: the next read reloads.
    void set_ReportGroups(const Groups& groups) { m_groups = groups; }
    void set_ReportFields(const Fields& fields) { m_fields = fields; }
    void set_ReportWheres(const Wheres& wheres) { m_wheres = wheres; }

    // Writes the list. With bCommit the list becomes final (temp_status 0);
    // a work copy with a source replaces that source (denials move, the
    // source and its children are deleted), and children marked deleted are
    // purged. Everything runs in one transaction.
    bool CoreUpdate(bool bCommit = false);

    // Writes a temporary work copy of this list with copies of all its live
    // children in one transaction; empty on failure (nothing written). With
    // ectCopy the copy replaces nothing when committed.
    std::shared_ptr<ListReport> DBClone(eCloneType eCType);

    // Physically removes this work copy's row and all its children's rows.
    // A list that is stored as final is refused (a collected error, false);
    // an id with no stored row removes nothing and succeeds.
    bool DeleteTempItem();

protected:
    void beforeWrite(bool commit) override;
    void afterWrite(bool commit) override;

private:
    bool LoadReportGroups(bool bClone, long lNewReportID);
    bool LoadReportFields(bool bClone, long lNewReportID);
    bool LoadReportWheres(bool bClone, long lNewReportID);
    template <class Child>
    bool loadChildren(RecordCollection<Child>& target, eTables table, const QString& indexName, bool bClone,
                      long lNewReportID);

    Groups m_groups;
    Fields m_fields;
    Wheres m_wheres;
    bool m_replacesSource = false;  // set by beforeWrite for the current write
};

}  // namespace lg
