#pragma once

// The persistent classes of the definition store, one per table. Columns:
// C(kind, property, column, new-record value, flags); the common columns (id,
// audit columns) come from PersistentRecord. ListReport is in listreport.h.

#include <functional>

#include "store/record.h"

namespace lg {

#define LG_LIST_REPORT_GROUP_FIELD_COLUMNS(C)                                                                          \
    C(Long, vlq_list_report_id, "vlq_list_report_id", -1, 0)                                                           \
    C(Long, table_field_id, "table_field_id", -1, 0)                                                                   \
    C(Long, sort_order, "sort_order", 1, 0)

class ListReportGroupField : public Record<ListReportGroupField> {
    LG_RECORD_COLUMNS(LG_LIST_REPORT_GROUP_FIELD_COLUMNS)
public:
    ListReportGroupField();
};

#define LG_LIST_REPORT_VISIBLE_FIELD_COLUMNS(C)                                                                        \
    C(Long, vlq_list_report_id, "vlq_list_report_id", -1, 0)                                                           \
    C(Long, table_field_id, "table_field_id", -1, 0)                                                                   \
    C(Long, sort_order, "sort_order", 1, 0)                                                                            \
    C(Long, group1_aggregate, "group1_aggregate", -1, 0)                                                               \
    C(Long, group2_aggregate, "group2_aggregate", -1, 0)                                                               \
    C(Long, group3_aggregate, "group3_aggregate", -1, 0)                                                               \
    C(Long, group4_aggregate, "group4_aggregate", -1, 0)                                                               \
    C(Long, group5_aggregate, "group5_aggregate", -1, 0)                                                               \
    C(Long, group6_aggregate, "group6_aggregate", -1, 0)                                                               \
    C(Long, group7_aggregate, "group7_aggregate", -1, 0)                                                               \
    C(Long, group8_aggregate, "group8_aggregate", -1, 0)                                                               \
    C(Long, group9_aggregate, "group9_aggregate", -1, 0)                                                               \
    C(Long, group10_aggregate, "group10_aggregate", -1, 0)                                                             \
    C(Long, total_aggregate, "total_aggregate", -1, 0)

class ListReportVisibleField : public Record<ListReportVisibleField> {
    LG_RECORD_COLUMNS(LG_LIST_REPORT_VISIBLE_FIELD_COLUMNS)
public:
    ListReportVisibleField();
    // group<level>_aggregate for level 1 to 10; -1 for any other level.
    long groupAggregate(int level) const;
    void setGroupAggregate(int level, long aggregate);
};

#define LG_LIST_REPORT_WHERE_FIELD_COLUMNS(C)                                                                          \
    C(Long, vlq_list_report_id, "vlq_list_report_id", -1, 0)                                                           \
    C(Long, table_field_id, "table_field_id", -1, 0)                                                                   \
    C(Long, not_value, "not_value", 0, 0)                                                                              \
    C(Long, relation_type, "relation_type", 1, 0)                                                                      \
    C(Number, number_from, "number_from", 0, 0)                                                                        \
    C(Number, number_to, "number_to", 0, 0)                                                                            \
    C(DateToday, date_from, "date_from", 0, 0)                                                                         \
    C(DateToday, date_to, "date_to", 0, 0)                                                                             \
    C(Text, text_from, "text_from", 0, 0)                                                                              \
    C(Text, text_to, "text_to", 0, 0)                                                                                  \
    C(Long, boolean_value, "boolean_value", 0, 0)                                                                      \
    C(Text, selected_items, "selected_items", 0, 0)                                                                    \
    C(Text, sql_where, "sql_where", 0, 0)                                                                              \
    C(Text, sql_description, "sql_description", 0, 0)

class ListReportWhereField : public Record<ListReportWhereField> {
    LG_RECORD_COLUMNS(LG_LIST_REPORT_WHERE_FIELD_COLUMNS)
public:
    ListReportWhereField();
};

#define LG_LIST_WIZARD_TABLE_COLUMNS(C)                                                                                \
    C(Text, table_name, "table_name", 0, 0)                                                                            \
    C(Text, table_alias, "table_alias", 0, 0)                                                                          \
    C(Text, visible_name, "visible_name", 0, 0)                                                                        \
    C(Long, quickpick_id, "quickpick_id", -1, 0)                                                                       \
    C(Text, where_clause_qpi, "where_clause_qpi", 0, 0)                                                                \
    C(Text, where_clause_sql, "where_clause_sql", 0, 0)                                                                \
    C(Text, primarykey_indexname, "primarykey_indexname", 0, 0)                                                        \
    C(Text, primarykey_filedname, "primarykey_filedname", 0, 0)

class ListWizardTable : public Record<ListWizardTable> {
    LG_RECORD_COLUMNS(LG_LIST_WIZARD_TABLE_COLUMNS)
public:
    ListWizardTable();
    // Opens the table-editing form for this object and returns its result
    // (0 confirmed, 1 cancelled). The form is installed by the user interface;
    // without one the result is 1.
    short ShowForm();
    using FormHandler = std::function<short(ListWizardTable&)>;
    static void setFormHandler(FormHandler handler);
};

#define LG_LIST_WIZARD_TABLE_FIELD_COLUMNS(C)                                                                          \
    C(Long, table_id, "table_id", -1, 0)                                                                               \
    C(Text, field_name, "field_name", 0, 0)                                                                            \
    C(Text, visible_name, "visible_name", 0, 0)                                                                        \
    C(Text, group_field_name, "group_field_name", 0, 0)                                                                \
    C(Long, field_type, "field_type", 1, 0)                                                                            \
    C(Long, field_control_type, "field_control_type", 1, 0)                                                            \
    C(Flag, visibled, "visibled", -1, 0)                                                                               \
    C(Flag, filtered, "filtered", -1, 0)                                                                               \
    C(Flag, groupable, "groupable", -1, 0)                                                                             \
    C(Flag, aggregated, "aggregated", -1, 0)                                                                           \
    C(Long, field_width, "field_width", 100, 0)                                                                        \
    C(Text, field_format, "field_format", 0, 0)                                                                        \
    C(Text, where_clause, "where_clause", 0, 0)                                                                        \
    C(Text, default_search_field, "default_search_field", 0, 0)

class ListWizardTableField : public Record<ListWizardTableField> {
    LG_RECORD_COLUMNS(LG_LIST_WIZARD_TABLE_FIELD_COLUMNS)
public:
    ListWizardTableField();
    // The field-editing form; see ListWizardTable::ShowForm.
    short ShowForm();
    using FormHandler = std::function<short(ListWizardTableField&)>;
    static void setFormHandler(FormHandler handler);
};

#define LG_LIST_WIZARD_TABLE_TYPE_CONN_COLUMNS(C)                                                                      \
    C(Long, list_type_id, "list_type_id", -1, 0)                                                                       \
    C(Long, table_id, "table_id", -1, 0)                                                                               \
    C(Long, sort_order, "sort_order", 0, 0)                                                                            \
    C(Text, table_join, "table_join", 0, 0)

class ListWizardTableTypeConn : public Record<ListWizardTableTypeConn> {
    LG_RECORD_COLUMNS(LG_LIST_WIZARD_TABLE_TYPE_CONN_COLUMNS)
public:
    ListWizardTableTypeConn();
};

#define LG_LIST_WIZARD_TYPE_COLUMNS(C)                                                                                 \
    C(Text, name, "name", 0, 0)                                                                                        \
    C(Text, description, "description", 0, 0)                                                                          \
    C(Long, required_table, "required_table", -1, 0)                                                                   \
    C(Text, required_where, "required_where", 0, 0)                                                                    \
    C(Text, com_assistant, "com_assistant", 0, 0)                                                                      \
    C(Text, com_assistant_visible_name, "com_assistant_visible_name", 0, 0)                                            \
    C(Long, modul_id, "modul_id", -1, 0)

class ListWizardType : public Record<ListWizardType> {
    LG_RECORD_COLUMNS(LG_LIST_WIZARD_TYPE_COLUMNS)
public:
    ListWizardType();
};

#define LG_LIST_AUTH_UNIT_COLUMNS(C)                                                                                   \
    C(Long, auth_type, "auth_type", 0, 0)                                                                              \
    C(Long, user_group_id, "user_group_id", -1, 0)                                                                     \
    C(Long, list_type_id, "list_type_id", -1, 0)                                                                       \
    C(Long, list_report_id, "list_report_id", -1, 0)

class ListAuthUnit : public Record<ListAuthUnit> {
    LG_RECORD_COLUMNS(LG_LIST_AUTH_UNIT_COLUMNS)
public:
    ListAuthUnit();
    // Lifts denials in bulk by marking them deleted (del_status 2). -1 for the
    // group or the type means any; lListReportID counts only for auth type 1;
    // lModulID above 0 restricts to list types of that module.
    static bool DeleteAuthUnitWithGroup(long lAuthType, long lUserGroupID, long lListTypeID, long lListReportID,
                                        long lModulID);
};

}  // namespace lg
