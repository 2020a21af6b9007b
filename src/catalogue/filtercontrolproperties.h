#pragma once

// The filter-control properties of a catalogue field: one flat record that
// tells the list wizard and the pre-filter dialog which filter control a
// field uses, which SQL column it filters, its caption and pick-list
// condition, and the values of the condition a list has stored for it.
// Setting a control up from the record is the filters' business
// (filters/filtercontrolsetup.h); this module only reads the catalogue.

#include <QtCore/QDateTime>
#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <memory>

namespace lg::dao {
class Recordset;
}

namespace lg::catalogue {

// The kinds of filter control (field_control_type).
enum eReportFieldFilterControlType {
    fctNumberLong = 1,
    fctNumberDecimal = 2,
    fctDate = 3,
    fctText = 4,
    fctCheckBox = 5,
    fctListBox = 6,
    fctContainer = 7,
    fctTextListBox = 8,
};

// tTF*: the catalogue field; tWF*: the stored condition; tT*: the field's table.
struct tFilterControlPropertys {
    qint32 tTFID = -1;
    qint32 tTFControlType = -1;
    QString tTFQueryField;
    QString tTFQueryAliasField;
    QString tTFQueryFieldVisible;
    QString tTFQueryFieldProgID;
    QString tTFQueryFieldProgIDFilter;
    QString tTFQueryFieldTable;
    qint32 tTFBrowseID = -1;
    bool tTFUserBrowseData = false;
    qint32 tTFQuickpickID = -1;
    QString tTFDefaultSearchField;
    qint32 tWFID = -1;
    qint32 tWFNotValue = 0;
    qint32 tWFRelationType = 0;
    QDateTime tWFDateFrom = QDateTime::currentDateTime();
    QDateTime tWFDateTo = QDateTime::currentDateTime();
    qint32 tWFNumberFrom = 0;
    qint32 tWFNumberTo = 0;
    QString tWFTextFrom;
    QString tWFTextTo;
    qint32 tWFBooleanValue = 0;
    QString tWFSelectedItems;
    QString tWFSQLDescription;
    QString tWFSQLWhere;
    QString tTPrimaryKeyName;
    QString tTPrimaryKeyFiled;

    // A stored condition was copied in.
    bool hasCondition() const { return tWFID != -1; }
    // Back to the reset values (the dates to the current date and time).
    void reset() { *this = tFilterControlPropertys(); }
};

// The members in the record's order, as (name, value) pairs.
QList<QPair<QString, QVariant>> members(const tFilterControlPropertys& record);

// Fills the whole record for one field of one list (list id -1: no stored
// condition). `tableNameOnReport` prefixes the caption with the table's name.
bool GetTableFieldFilterControlPropertys(long tableFieldId, long listReportId, bool tableNameOnReport,
                                         tFilterControlPropertys& record);
// The list's live stored condition for the field; -1 when there is none.
bool GetWhereFieldIDFromTableField(long listReportId, long tableFieldId, long& whereFieldId);
// Copies a stored condition into the condition members.
bool GetWhereFieldFilterControlPropertys(long whereFieldId, tFilterControlPropertys& record);
// Opens a read-only recordset on the host database.
bool LoadRecordSet(const QString& sql, std::shared_ptr<dao::Recordset>& rs);

// Whole-number text of a stored number, as the condition members keep it:
// rounded, and clamped to the 32-bit range.
qint32 storedNumberToInt(const QVariant& value);

}  // namespace lg::catalogue
