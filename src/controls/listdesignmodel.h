#pragma once

// The list wizard without a window: everything the five-step wizard decides
// and writes, driven by the dialog (frmWizard), by `listgen design` and by
// tests alike. The dialog shows this model's state and forwards the user's
// input to it; it never touches the definition store itself.
//
// Life of a design:
//   set the properties (UserID, ModulID, ReportFolderPath, …, CurrentItemID)
//   Initialize()                 list types, lists, the preselected list
//   step 1: chooseListType / chooseReport / setName / setMode / …
//   move(+1) / move(-1)          validate, process the step, change step
//   steps 2, 3: addField / removeField / moveField on the chosen lists
//   step 4: aggregateGrid(), chooseAggregate, AutomaticFillAgregate
//   step 5: InitCurrentFilterControl(field) with a ConditionSource
//   move(+1) on step 5           final save; ReturnValue() becomes 0
//   Exit() or destruction        the temporary list is discarded
//
// Step 1 writes a temporary list (temp_status 1): a new one, or a work copy
// of the chosen list (DBClone). Every later step writes its part of that
// temporary list when it is left; the final step commits it. A temporary
// list is held by its model: while the model lives, a lock file beside the
// database (or, for a database without a file, the model itself) tells
// every process that the list is in use. CleanupStaleTemporaryLists removes
// the temporary lists whose holder is gone (a killed process); it never
// touches a list whose temp_status is 0.
//
// Decisions the model makes:
//   - Leaving step 2 or 3 in either direction saves the chosen list whenever
//     it differs from what is stored (not only after a change flag), so a
//     selection made and then left backwards is never lost.
//   - A failed step-1 save leaves nothing behind (the half-made temporary
//     list is discarded) and is retried on the next move forward.
//
// Failures: validation messages and business failures are added to the
// shared Errors collection and the operation returns false; the dialog
// shows them together and empties the collection. Run-time errors inside a
// step are recorded in Errors too (source "vlqTabula2.frmWizard" and the
// step's name), so a move never throws.

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QString>

#include <memory>

#include "catalogue/filtercontrolproperties.h"
#include "controls/aggregategrid.h"

namespace lg {
class ListReport;
class ListWizardType;
}  // namespace lg

namespace lg::filters {
class QueryFilter;
}

namespace lg::controls {

// An entry of a drop-down: item data and text.
struct DesignChoice {
    long id = -1;
    QString name;
};

// A row of a field tree (the free side of a field picker, in its order).
struct FreeFieldRow {
    long tableId = -1;
    QString tableName;
    long fieldId = -1;
    QString fieldName;      // the node's text
    QString caption;        // the field's caption (full or short name): the chosen list's text
    long tableParentId = -1;
};

// An entry of a chosen list (grouping or displayed fields): the catalogue
// table-field id and the field's caption.
struct ChosenField {
    long tableFieldId = -1;
    QString caption;
    bool operator==(const ChosenField& other) const = default;
};

// The three modes of step 1 (the option buttons' indexes).
enum class DesignMode { New = 0, Edit = 1, Copy = 2 };

// The chosen lists of steps 2 and 3.
enum class FieldPage { Group = 2, Visible = 3 };

// Where the condition of the field being edited on step 5 comes from: the
// filter control of the record's kind (a widget in the dialog, a filter
// model headless).
class ConditionSource {
public:
    virtual ~ConditionSource() = default;
    // Fills the condition members of `record` (tWF…, including tWFSQLWhere
    // and tWFSQLDescription) from the control of record.tTFControlType and
    // tells whether its condition is active (to be stored).
    virtual bool harvest(catalogue::tFilterControlPropertys& record) = 0;
    // Resets the control of the record's kind (SetFilterDefault) and
    // disables it; its label is greyed.
    virtual void release(const catalogue::tFilterControlPropertys& record) = 0;
    // Sets the control of the record's kind up from the record (with its
    // stored condition), enables it and highlights its label; for kinds 6
    // to 8 it becomes the visible one of the three. False on failure.
    virtual bool setup(const catalogue::tFilterControlPropertys& record) = 0;
};

// The ConditionSource without a window: one filter model of the current
// field's kind, set up from its record (with the stored condition) and read
// back with the condition harvest. `listgen design` and tests type into
// filter() between the switches of fields.
class FilterModelConditionSource : public ConditionSource {
public:
    FilterModelConditionSource();
    ~FilterModelConditionSource() override;
    bool harvest(catalogue::tFilterControlPropertys& record) override;
    void release(const catalogue::tFilterControlPropertys& record) override;
    bool setup(const catalogue::tFilterControlPropertys& record) override;
    // The filter of the field being edited (null when none).
    filters::QueryFilter* filter() const { return m_filter.get(); }

private:
    std::unique_ptr<filters::QueryFilter> m_filter;
};

class ListDesignModel : public QObject {
    Q_OBJECT
public:
    // The grouping list holds at most this many fields.
    static constexpr int kMaxGroupFields = 10;
    // The id InitCurrentFilterControl is given by the final save.
    static constexpr long kFinalSaveFieldId = -1000;

    explicit ListDesignModel(QObject* parent = nullptr);
    // Discards the temporary list unless it was committed (the clean-up of
    // the dialog's destruction).
    ~ListDesignModel() override;

    // --- properties set before Initialize ----------------------------------
    bool TableFieldNameCompletteOnUI() const { return m_namesOnUI; }
    void setTableFieldNameCompletteOnUI(bool full) { m_namesOnUI = full; }
    bool TableFieldNameCompletteOnReport() const { return m_namesOnReport; }
    void setTableFieldNameCompletteOnReport(bool full) { m_namesOnReport = full; }
    QString ReportFolderPath() const { return m_reportFolder; }
    void setReportFolderPath(const QString& path) { m_reportFolder = path; }
    long ModulID() const { return m_modulId; }
    void setModulID(long id) { m_modulId = id; }
    long UserID() const { return m_userId; }
    // Also sets the library-wide current user.
    void setUserID(long id);
    bool AuthenticAllReport() const { return m_allReports; }
    void setAuthenticAllReport(bool all) { m_allReports = all; }
    // In: the list to preselect (-1 none). Out: the list being edited (the
    // held list's id when one is held), after finishing the saved list.
    long CurrentItemID() const;
    void setCurrentItemID(long id) { m_currentItemId = id; }
    // 0 when the wizard was finished, 1 otherwise.
    int ReturnValue() const { return m_returnValue; }

    // --- start-up -----------------------------------------------------------
    // Removes the work copies of wizards whose process was killed
    // (CleanupStaleTemporaryLists), loads the list types and lists and shows
    // the preselected list (or the first one). False without an open
    // database.
    bool Initialize();
    bool isInitializing() const { return m_initializing; }

    // --- step 1 -------------------------------------------------------------
    const QList<DesignChoice>& listTypes() const { return m_listTypes; }
    long selectedListTypeId() const { return m_selectedListType; }
    const QList<DesignChoice>& reports() const { return m_reports; }
    long selectedReportId() const { return m_selectedReport; }
    // The combo events: another type reloads the lists (first one chosen);
    // a list shows its name and flags. Ignored while initializing and once
    // step 1 has been saved.
    void chooseListType(long listTypeId);
    void chooseReport(long listId);

    QString name() const { return m_name; }
    void setName(const QString& text);
    QString description() const { return m_description; }
    void setDescription(const QString& text);
    bool filterForm() const { return m_filterForm; }
    void setFilterForm(bool on);
    bool detailInvisible() const { return m_detailInvisible; }
    void setDetailInvisible(bool on);
    bool privateReport() const { return m_private; }
    void setPrivateReport(bool on);
    DesignMode mode() const { return m_mode; }
    // Edit is refused (false) while it is disabled.
    bool setMode(DesignMode mode);
    // Edit is allowed only on the user's own list.
    bool editModeEnabled() const { return m_editEnabled; }
    // Mode, type and source list can change only until step 1 is saved.
    bool step1ChoicesEnabled() const { return !m_processed[1]; }

    // --- navigation ---------------------------------------------------------
    int currentStep() const { return m_step; }
    // Validates the current step for the direction (+1 next, -1 back),
    // processes it and changes the step; on step 5 forward it finishes
    // (ReturnValue 0). False when a check or the processing failed: the
    // messages are in the Errors collection and the step stays.
    bool move(int direction);
    // The checks of the validation table only (messages added to Errors).
    bool validateStep(int direction);
    // ProcessStep1 … ProcessStep5 by the current step.
    bool ProcessCurrentStep(int direction);
    bool ProcessStep1(int direction);
    bool ProcessStep2(int direction);
    bool ProcessStep3(int direction);
    bool ProcessStep4(int direction);
    bool ProcessStep5(int direction);
    bool stepProcessed(int step) const { return step >= 1 && step <= 5 && m_processed[step]; }
    // The back button is offered on steps 2 to 5; the next button reads
    // "&Befejezés" on step 5 and "&Tovább >>" before.
    bool backEnabled() const { return m_step > 1; }
    QString nextCaption() const;
    // Leaves the wizard without finishing: ReturnValue 1, the temporary list
    // is discarded at once.
    void Exit();
    bool finished() const { return m_returnValue == 0; }

    // Set by every change of a chosen list and every aggregate edit, cleared
    // by every successful move.
    bool pageChanged() const { return m_pageChanged; }
    void setPageChanged() { m_pageChanged = true; m_gridStale = true; }
    bool aggregateGridStale() const { return m_gridStale; }

    // --- the held list --------------------------------------------------------
    // The temporary list (null before step 1 is saved).
    std::shared_ptr<ListReport> listReport() const { return m_list; }
    long listReportId() const;
    std::shared_ptr<ListWizardType> listWizardType() const { return m_type; }

    // --- steps 2 and 3: field trees and chosen lists ----------------------------
    // The free fields of the page's tree; filled when the previous step is
    // left forward for the first time.
    const QList<FreeFieldRow>& freeFields(FieldPage page) const;
    const QList<ChosenField>& chosenFields(FieldPage page) const;
    // Double-click on a tree field: appends it unless it is chosen already or
    // the grouping list is full (false then, nothing changes).
    bool addField(FieldPage page, long tableFieldId);
    // Double-click on a chosen entry: removes it; returns the entry to select
    // afterwards (the one before, or the first; -1 when the list is empty).
    int removeField(FieldPage page, int index);
    // Shift+Up (-1) / Shift+Down (+1): swaps the entry with its neighbour;
    // returns its new index (unchanged at the ends).
    int moveField(FieldPage page, int index, int delta);
    // Replaces a chosen list at once (scripted use); unknown, duplicate or
    // (for grouping) surplus fields are refused with a message in Errors.
    bool setChosenFields(FieldPage page, const QList<long>& tableFieldIds);

    // --- step 4: aggregates -----------------------------------------------------
    const AggregateGrid& aggregateGrid() const { return m_grid; }
    // Rebuilds the grid from the store when it is stale.
    bool LoadAggregateFieldToGrid();
    // The cell editor's choice (-1: nothing chosen); sets the page changed
    // flag when the aggregate changed.
    bool chooseAggregate(int row, int column, long code);
    // The automatic-filling menus (see aggregategrid.h); marks the page
    // changed when a cell changed.
    int AutomaticFillAgregate(long dataType, long code, bool allCells);
    bool runAutoFillCommand(int commandId);
    // Scripted use: the aggregates of the displayed field `tableFieldId`, one
    // per grouping level and then the grand total. False (message in
    // Errors) for a field not in the grid or a wrong count or code.
    bool setFieldAggregates(long tableFieldId, const QList<long>& codes);

    // --- step 5: conditions -------------------------------------------------------
    const QList<FreeFieldRow>& whereFields() const { return m_whereFields; }
    void setConditionSource(ConditionSource* source) { m_conditionSource = source; }
    ConditionSource* conditionSource() const { return m_conditionSource; }
    // The field whose control is in use, its properties and stored condition.
    const catalogue::tFilterControlPropertys& currentFilterControl() const { return m_current; }
    // Switches the condition being edited to `tableFieldId` (-1 for none,
    // kFinalSaveFieldId on the final save): the condition of the previous
    // field is harvested from the ConditionSource and stored, or its stored
    // condition deleted when the control is not active. Without a source
    // nothing is harvested and stored conditions stay.
    bool InitCurrentFilterControl(long tableFieldId);
    // Writes (or, with `remove`, deletes) the stored condition described by
    // the current record.
    bool SaveWhereField(bool remove);
    // Scripted use: stores `record`'s condition for its field (tTFID) as the
    // current control would (replacing any stored condition of the field).
    bool storeCondition(const catalogue::tFilterControlPropertys& record);
    // The stored conditions' descriptions joined by " ÉS "; also recomputes
    // sqlWhere().
    QString GetReportSQLDescription();
    QString sqlDescription() const { return m_sqlDescription; }
    QString sqlWhere() const { return m_sqlWhere; }

    // --- clean-up -----------------------------------------------------------------
    // Removes the temporary lists (temp_status > 0) that no live model holds:
    // their lock file is stale (its process is gone), or they have no lock
    // file and were last written more than `unlockedAgeSeconds` ago. Lists
    // with temp_status 0 are never touched. Returns the number removed, -1
    // when the store could not be read (reason in Errors).
    static int CleanupStaleTemporaryLists(long unlockedAgeSeconds = 24 * 3600);
    // The lock file that marks list `listId` as held (empty for a database
    // without a file).
    static QString holdFilePath(long listId);

Q_SIGNALS:
    void stepChanged(int step);
    // The drop-downs' contents or selection changed.
    void listTypesChanged();
    void reportsChanged();
    // Name, description, flags, mode or edit-mode availability changed.
    void currentItemChanged();
    // A tree was filled (steps 2, 3, 5).
    void freeFieldsChanged(int page);
    // A chosen list changed (steps 2 and 3).
    void chosenFieldsChanged(int page);
    void aggregateGridChanged();
    // The field being edited on step 5 changed (its record is current).
    void currentFilterControlChanged();
    void sqlDescriptionChanged(const QString& description);
    void pageChangedChanged(bool changed);
    // The wizard was finished (ReturnValue 0) or left (ReturnValue 1).
    void done(int returnValue);

private:
    class Hold;
    void LoadListWizardTypes(long listTypeId);
    void LoadReports(long listId);
    void DisplayCurrentItem();
    bool LoadCurrentItem();
    bool fillPage(int step);
    bool saveChosen(FieldPage page);
    bool chosenDiffersFromStore(FieldPage page);
    bool saveAggregates();
    void discardTemporaryList();
    QList<ChosenField>& chosen(FieldPage page);

    bool m_namesOnUI = true;
    bool m_namesOnReport = true;
    QString m_reportFolder;
    long m_modulId = -1;
    long m_userId = -1;
    bool m_allReports = false;
    long m_currentItemId = -1;
    int m_returnValue = 1;

    bool m_initializing = false;
    bool m_processed[6] = {};
    bool m_pageChanged = false;
    bool m_gridStale = true;
    int m_step = 1;

    QList<DesignChoice> m_listTypes;
    QList<DesignChoice> m_reports;
    long m_selectedListType = -1;
    long m_selectedReport = -1;
    QString m_name;
    QString m_description;
    bool m_filterForm = false;
    bool m_detailInvisible = false;
    bool m_private = false;
    DesignMode m_mode = DesignMode::New;
    bool m_editEnabled = true;

    std::shared_ptr<ListReport> m_list;
    std::shared_ptr<ListWizardType> m_type;
    std::unique_ptr<Hold> m_hold;
    bool m_committed = false;

    QList<FreeFieldRow> m_groupFree;
    QList<FreeFieldRow> m_visibleFree;
    QList<FreeFieldRow> m_whereFields;
    QList<ChosenField> m_groupChosen;
    QList<ChosenField> m_visibleChosen;

    AggregateGrid m_grid;

    ConditionSource* m_conditionSource = nullptr;
    catalogue::tFilterControlPropertys m_current;
    QString m_sqlDescription;
    QString m_sqlWhere;
};

}  // namespace lg::controls
