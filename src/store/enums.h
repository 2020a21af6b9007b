#pragma once

// Enumerations of the definition store. Their values are stored in the data
// or cross the public interface, so they never change.

namespace lg {

// The nine definition-store tables, as table access numbers them.
enum eTables {
    tListReport = 0,
    tListReportGroupField = 1,
    tListReportVisibleField = 2,
    tListReportWhereField = 3,
    tListWizardTable = 4,
    tListWizardTableField = 5,
    tListWizardTableTypeConn = 6,
    tListWizardType = 7,
    tListAuthUnit = 8,
};
inline constexpr int kTableCount = 9;

// Kinds of the library's public objects.
enum eObjects {
    oHandler = 0,
    oErrors = 1,
    oError = 2,
    oListReport = 3,
    oListReportGroupField = 4,
    oListReportVisibleField = 5,
    oListReportWhereField = 6,
    oListWizardTable = 7,
    oListWizardTableField = 8,
    oListWizardTableTypeConn = 9,
    oListWizardType = 10,
    oListAuthUnit = 11,
};

// vlq_list_wizard_table_field.field_type
enum eReportFieldDataType {
    eRFDTLongNumber = 1,
    eRFDTDecimalNumber = 2,
    eRFDTDate = 3,
    eRFDTString = 4,
    eRFDTBoolean = 5,
};

// vlq_list_wizard_table_field.field_control_type
enum eReportFieldFilterControlType {
    eRFFCTUnknown = -1,
    eRFFCTQueryInputLongNumber = 1,
    eRFFCTQueryInputDecimalNumber = 2,
    eRFFCTQueryInputDate = 3,
    eRFFCTQueryInputString = 4,
    eRFFCTQueryCheckBox = 5,
    eRFFCTQueryListBox = 6,
    eRFFCTQueryContainer = 7,
    eRFFCTQueryTextListBox = 8,
};

// group1_aggregate ... group10_aggregate, total_aggregate
enum eReportFieldAggregateType {
    eRFATUnknown = -1,
    eRFATCount = 1,
    eRFATMax = 2,
    eRFATMin = 3,
    eRFATsum = 4,
    eRFATAvg = 5,
};

// Which field picker to fill.
enum eReportFieldFillType {
    eRFFTFieldGroupable = 0,
    eRFFTFieldVisibled = 1,
    eRFFTFieldFiltered = 2,
    eRFFTFieldAggregated = 3,
    eRFFTFieldPreFiltered = 4,
};

// Free or used side of a field picker.
enum eReportFieldFillSideType {
    eRFFSTFieldFree = 0,
    eRFFSTFieldUsed = 1,
};

// State of a persistent object.
enum eItemStatus {
    isNew = 0,
    isLoaded = 1,
    isModified = 2,
    isDeleted = 3,
};

// How a list is copied: a work copy that replaces its source, or a new list.
enum eCloneType {
    ectModify = 0,
    ectCopy = 1,
};

// Mode of the list control.
enum eWizardType {
    eWTViewer = 1,
    eWTEditor = 2,
};

}  // namespace lg
