-- The definition store, in Jet DDL. Statements end with ";" at the end of a
-- line. "-- when missing: NAME" before a statement installs it only when the
-- host has no table or query of that name.

-- Saved lists.
CREATE TABLE vlq_list_report (
    id LONG NOT NULL,
    list_type_id LONG DEFAULT -1,
    name TEXT(255) DEFAULT "",
    detail_invisible LONG DEFAULT 0,
    description MEMO,
    sql_source MEMO,
    sql_description MEMO,
    report_file TEXT(255) DEFAULT "",
    table_priority LONG DEFAULT -1,
    filterform LONG DEFAULT 0,
    private YESNO DEFAULT 0,
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    temp_status LONG DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
-- The permission selections read the live lists in name order: from this
-- index alone, already sorted, without a sort of every list by the Hungarian
-- collation.
CREATE INDEX live_by_name ON vlq_list_report (del_status, temp_status, name, id, list_type_id, private, create_user);

-- Grouping fields of a list.
CREATE TABLE vlq_list_report_group_field (
    id LONG NOT NULL,
    vlq_list_report_id LONG DEFAULT -1,
    table_field_id LONG DEFAULT -1,
    sort_order LONG DEFAULT 1,
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
-- A list's live children in order: seek (list, 1, 0) and read forward.
CREATE INDEX real_sort_order ON vlq_list_report_group_field (vlq_list_report_id, sort_order, del_status, id);

-- Displayed fields of a list with their aggregates.
CREATE TABLE vlq_list_report_visible_field (
    id LONG NOT NULL,
    vlq_list_report_id LONG DEFAULT -1,
    table_field_id LONG DEFAULT -1,
    sort_order LONG DEFAULT 1,
    group1_aggregate LONG DEFAULT -1,
    group2_aggregate LONG DEFAULT -1,
    group3_aggregate LONG DEFAULT -1,
    group4_aggregate LONG DEFAULT -1,
    group5_aggregate LONG DEFAULT -1,
    group6_aggregate LONG DEFAULT -1,
    group7_aggregate LONG DEFAULT -1,
    group8_aggregate LONG DEFAULT -1,
    group9_aggregate LONG DEFAULT -1,
    group10_aggregate LONG DEFAULT -1,
    total_aggregate LONG DEFAULT -1,
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
CREATE INDEX real_sort_order ON vlq_list_report_visible_field (vlq_list_report_id, sort_order, del_status, id);

-- Stored filter conditions of a list.
CREATE TABLE vlq_list_report_where_field (
    id LONG NOT NULL,
    vlq_list_report_id LONG DEFAULT -1,
    table_field_id LONG DEFAULT -1,
    not_value LONG DEFAULT 0,
    relation_type LONG DEFAULT 1,
    number_from DOUBLE DEFAULT 0,
    number_to DOUBLE DEFAULT 0,
    date_from DATETIME,
    date_to DATETIME,
    text_from TEXT(255) DEFAULT "",
    text_to TEXT(255) DEFAULT "",
    boolean_value LONG DEFAULT 0,
    selected_items MEMO,
    sql_where MEMO,
    sql_description MEMO,
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
-- A list's live conditions: seek (list, 0) and read forward.
CREATE INDEX live_filter ON vlq_list_report_where_field (vlq_list_report_id, del_status, id);
-- The stored condition of one catalogue field of a list: seek (list, field, 0).
CREATE INDEX where_field_id ON vlq_list_report_where_field (vlq_list_report_id, table_field_id, del_status);

-- Catalogue tables.
CREATE TABLE vlq_list_wizard_table (
    id LONG NOT NULL,
    table_name TEXT(255) DEFAULT "",
    table_alias TEXT(255) DEFAULT "",
    visible_name TEXT(255) DEFAULT "",
    quickpick_id LONG DEFAULT -1,
    where_clause_qpi MEMO,
    where_clause_sql MEMO,
    primarykey_indexname TEXT(255) DEFAULT "",
    primarykey_filedname TEXT(255) DEFAULT "",
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    temp_status LONG DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);

-- Catalogue fields.
CREATE TABLE vlq_list_wizard_table_field (
    id LONG NOT NULL,
    table_id LONG DEFAULT -1,
    field_name TEXT(255) DEFAULT "",
    visible_name TEXT(255) DEFAULT "",
    group_field_name TEXT(255) DEFAULT "",
    field_type LONG DEFAULT 1,
    field_control_type LONG DEFAULT 1,
    visibled YESNO DEFAULT -1,
    filtered YESNO DEFAULT -1,
    groupable YESNO DEFAULT -1,
    aggregated YESNO DEFAULT -1,
    field_width LONG DEFAULT 100,
    field_format TEXT(255) DEFAULT "",
    where_clause MEMO,
    default_search_field TEXT(255) DEFAULT "",
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    temp_status LONG DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
CREATE INDEX table_id ON vlq_list_wizard_table_field (table_id);

-- Catalogue tables of a list type and their join chain.
CREATE TABLE vlq_list_wizard_table_type_connection (
    id LONG NOT NULL,
    list_type_id LONG DEFAULT -1,
    table_id LONG DEFAULT -1,
    sort_order LONG DEFAULT 0,
    table_join MEMO,
    table_parent_id LONG DEFAULT 0,
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    temp_status LONG DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
CREATE INDEX list_type_id ON vlq_list_wizard_table_type_connection (list_type_id, sort_order);

-- List types.
CREATE TABLE vlq_list_wizard_type (
    id LONG NOT NULL,
    name TEXT(255) DEFAULT "",
    description MEMO,
    required_table LONG DEFAULT -1,
    required_where MEMO,
    com_assistant TEXT(255) DEFAULT "",
    com_assistant_visible_name TEXT(255) DEFAULT "",
    modul_id LONG DEFAULT -1,
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    temp_status LONG DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);

-- Permission denials per user group.
CREATE TABLE vlq_list_auth_unit (
    id LONG NOT NULL,
    auth_type LONG DEFAULT 0,
    user_group_id LONG DEFAULT -1,
    list_type_id LONG DEFAULT -1,
    list_report_id LONG DEFAULT -1,
    create_user LONG,
    create_date DATETIME,
    last_action_user_id1 LONG,
    last_action_date1 DATETIME,
    last_action_user_id2 LONG,
    last_action_date2 DATETIME,
    del_status YESNO DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
CREATE INDEX Exist_auth ON vlq_list_auth_unit (auth_type, user_group_id, list_type_id, list_report_id, del_status);
CREATE INDEX list_report_id ON vlq_list_auth_unit (list_report_id);

-- The cross-process write lock; it never holds data.
CREATE TABLE excl_0 (
    CC SHORT
);

-- Users and user groups, for a host that has no queries of its own.
-- when missing: qry_vlq_list_wizard_user_table
CREATE TABLE vlq_user (
    id LONG NOT NULL,
    display_name TEXT(255) DEFAULT "",
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);
-- when missing: qry_vlq_list_wizard_user_table
CREATE TABLE vlq_user_group_member (
    user_id LONG NOT NULL,
    user_group_id LONG NOT NULL,
    CONSTRAINT PrimaryKey PRIMARY KEY (user_id, user_group_id)
);
-- when missing: qry_vlq_list_wizard_user_group_table
CREATE TABLE vlq_user_group (
    id LONG NOT NULL,
    name TEXT(255) DEFAULT "",
    CONSTRAINT PrimaryKey PRIMARY KEY (id)
);

-- One row per membership of a user in a group; a user in no group has one
-- row with a Null group.
CREATE VIEW qry_vlq_list_wizard_user_table AS
SELECT u.id AS id, m.user_group_id AS user_group_id, u.display_name AS display_name
FROM vlq_user AS u LEFT JOIN vlq_user_group_member AS m ON u.id = m.user_id;

CREATE VIEW qry_vlq_list_wizard_user_group_table AS
SELECT g.id AS id, g.name AS name FROM vlq_user_group AS g;
