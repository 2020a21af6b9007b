#pragma once

// frmQuickPickBrowse: the quick pick's browse window. It reads a browse
// definition from the host table vlq_view (caption by language, statement,
// columns, sort field), shows its rows narrowed by the quick pick's filter in
// a BrowseView, positions on the current record and reports the record the
// user picks: a double-click or Enter sets CurrentID and closes the window,
// Escape closes it with CurrentID -1.

#include <QtWidgets/QDialog>

#include <memory>
#include <optional>

#include "ui/browsestatement.h"

namespace lg::dao {
class Database;
}

namespace lg::ui {
class BrowseView;
}

namespace lg::filters {

// A browse definition as vlq_view holds it.
struct QuickPickBrowseDefinition {
    int id = 0;
    QString caption;  // name1, name2 or name3 by the language number
    QString tableName;
    ui::BrowseDefinition browse;
};

// Reads row `browseId` of vlq_view. The caption is name1, name2 or name3 for
// the language numbers 1, 2, 3 (name1 for any other, and when the chosen one
// is blank). field_list gives the columns ("field", "field|caption" or
// "field|caption|width" separated by ";"); a column without its own caption
// takes the catalogue's visible name and width of that field of table_name
// when the catalogue has one. Nullopt when there is no such row; a database
// failure throws lg::RuntimeError.
std::optional<QuickPickBrowseDefinition> readQuickPickBrowse(dao::Database& db, int browseId, int language);

// The filter the quick pick hands to its browse window: without
// `useWhereInBrowse` the custom record filter, with it the browse where
// clause and the custom record filter joined by " AND " (either alone when
// the other is blank); " (TRUE) " when nothing is left. Surrounded by blanks.
QString quickPickBrowseFilter(bool useWhereInBrowse, const QString& browseWhereClause,
                              const QString& customRecordFilter);

class frmQuickPickBrowse : public QDialog {
    Q_OBJECT
    // The picked record's id; -1 when nothing was picked.
    Q_PROPERTY(int CurrentID READ CurrentID NOTIFY CurrentIDChanged)
    // Which vlq_view name is the caption: 1, 2 or 3.
    Q_PROPERTY(int LanguageNumber READ LanguageNumber WRITE setLanguageNumber NOTIFY LanguageNumberChanged)
    // Rows the window shows without scrolling (0: the default height).
    Q_PROPERTY(int VisibleRowCount READ VisibleRowCount WRITE setVisibleRowCount NOTIFY VisibleRowCountChanged)

public:
    explicit frmQuickPickBrowse(QWidget* parent = nullptr);
    ~frmQuickPickBrowse() override;

    // Loads browse `browseId` narrowed by `filter` on `db`. The window title is
    // the definition's caption, or `caption` when the definition has none.
    // False (and the reason in the shared Errors) when there is no such
    // definition or its statement cannot run.
    bool LoadBrowse(int browseId, const QString& filter, const QString& caption,
                    std::shared_ptr<dao::Database> db);
    // Reads the rows again and positions on `currentId` when it is above 0.
    void RefreshBrowse(int currentId);

    int CurrentID() const;
    int LanguageNumber() const;
    void setLanguageNumber(int language);
    int VisibleRowCount() const;
    void setVisibleRowCount(int rows);

    ui::BrowseView* view() const;

    // Closing without a pick (Escape, the window's close button) leaves CurrentID -1.
    void reject() override;

Q_SIGNALS:
    void CurrentIDChanged(int id);
    void LanguageNumberChanged(int language);
    void VisibleRowCountChanged(int rows);

private:
    void setCurrentID(int id);
    void fitSize();

    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters
