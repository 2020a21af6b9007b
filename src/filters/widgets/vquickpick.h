#pragma once

// vQuickPick: the lookup box hosts put on their forms to find a record of a
// large table while the user types. The definition (table, search fields,
// their indexes and key layouts, the browse window) is read from
// vlq_quickpick / vlq_quickpick_field; every keystroke seeks the current
// search field's index through QuickPickSearch, completes the text box with
// the rest of the found value selected and shows the visible field in the
// result box. The widget only shows that state and forwards keys and mouse
// events; the search itself is headless (filters/quickpick.h).

#include "platform/propertybag.h"

#include <QtCore/QString>
#include <QtGui/QFont>
#include <QtWidgets/QWidget>

#include <functional>
#include <memory>
#include <vector>

class QKeyEvent;
class QLabel;
class QMouseEvent;
class QLineEdit;
class QToolButton;

namespace lg::dao {
class Database;
}

namespace lg::filters {

class QuickPickSearch;
/// The lookup box: finds a record of a large table while the user types, as the vlq_quickpick definition says. Call
/// InitializeQuickPick() once the shared connection is set.
class vQuickPick;

// What the browse window (F4, the browse button) needs: the browse
// definition, the filter already put together (surrounded by blanks), the
// window caption (the control's caption without ":" and "&"), the record to
// position on (-1 = none), the window's row count (0 = the definition's
// choice) and the shared connection.
struct QuickPickBrowseRequest {
    int browseId = -1;
    QString filter;
    QString caption;
    int currentId = -1;
    int rowCount = 0;
    std::shared_ptr<dao::Database> database;
};

// Who opens the browse window: returns the picked id, or -1 when the user
// cancelled or no window could be opened. Tests and hosts install their own;
// the default opens frmQuickPickBrowse.
using QuickPickBrowser = std::function<int(vQuickPick* control, const QuickPickBrowseRequest& request)>;
int defaultQuickPickBrowser(vQuickPick* control, const QuickPickBrowseRequest& request);

class vQuickPick : public QWidget {
    Q_OBJECT
    // --- definition and selection ---
    /// The definition's name (read from vlq_quickpick).
    Q_PROPERTY(QString QuickPickName READ QuickPickName STORED false NOTIFY DefinitionChanged)
    /// The table searched.
    Q_PROPERTY(QString QuickPickTable READ QuickPickTable STORED false NOTIFY DefinitionChanged)
    /// The definition's condition on the table's records.
    Q_PROPERTY(QString BrowseWhereClause READ BrowseWhereClause STORED false NOTIFY DefinitionChanged)
    /// The definition's browse window.
    Q_PROPERTY(int QuickPickBrowseID READ QuickPickBrowseID STORED false NOTIFY DefinitionChanged)
    /// The field shown in the result box.
    Q_PROPERTY(QString VisibleField READ VisibleField STORED false NOTIFY SearchFieldChanged)
    /// The current search field's caption.
    Q_PROPERTY(QString SearchFieldName READ SearchFieldName STORED false NOTIFY SearchFieldChanged)
    /// The index the current search field seeks.
    Q_PROPERTY(QString IndexName READ IndexName STORED false NOTIFY SearchFieldChanged)
    /// The key layout of that index.
    Q_PROPERTY(QString IndexStucture READ IndexStucture STORED false NOTIFY SearchFieldChanged)
    Q_PROPERTY(QString SearchField READ SearchField WRITE setSearchField STORED false NOTIFY SearchFieldChanged)
    /// The key of the record found; -1 when none.
    Q_PROPERTY(int ID READ ID WRITE setID STORED false NOTIFY ChangedItemID)
    /// A browse window of the host instead of the definition's.
    Q_PROPERTY(
        int CustomBrowseID READ CustomBrowseID WRITE setCustomBrowseID DESIGNABLE true NOTIFY CustomBrowseIDChanged)
    /// A condition of the host on the records, ANDed to the definition's.
    Q_PROPERTY(QString CustomRecordFilter READ CustomRecordFilter WRITE setCustomRecordFilter
                   DESIGNABLE true NOTIFY CustomRecordFilterChanged)
    /// The text box; setting it searches as if typed.
    Q_PROPERTY(QString Text READ Text WRITE setText STORED false NOTIFY Change)
    /// The result box: the visible field of the record found.
    Q_PROPERTY(QString ResultText READ ResultText STORED false NOTIFY Change)
    /// The value the host treats as "no record"; stored for the host, the control does not use it.
    Q_PROPERTY(int EmptyValue READ EmptyValue WRITE setEmptyValue DESIGNABLE true NOTIFY EmptyValueChanged)
    /// How many characters start a search.
    Q_PROPERTY(int SearchStartLength READ SearchStartLength WRITE setSearchStartLength
                   DESIGNABLE true NOTIFY SearchStartLengthChanged)
    /// Kept for hosts; it has no effect.
    Q_PROPERTY(int Waittime READ Waittime WRITE setWaittime DESIGNABLE true NOTIFY WaittimeChanged)
    // --- appearance ---
    /// The caption before the box; & marks the access key.
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption DESIGNABLE true NOTIFY CaptionChanged)
    /// Shows the caption.
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE setCaptionVisible DESIGNABLE true NOTIFY CaptionChanged)
    /// The caption's width in twips; 0: as wide as the text.
    Q_PROPERTY(int CaptionWidth READ CaptionWidth WRITE setCaptionWidth DESIGNABLE true NOTIFY CaptionChanged)
    /// The caption's font.
    Q_PROPERTY(QFont CaptionFont READ CaptionFont WRITE setCaptionFont DESIGNABLE true NOTIFY CaptionChanged)
    /// The caption's colour (a Windows colour code).
    Q_PROPERTY(
        uint CaptionForeColor READ CaptionForeColor WRITE setCaptionForeColor DESIGNABLE true NOTIFY CaptionChanged)
    /// Size of the text box and the result box, in twips.
    Q_PROPERTY(int TextBoxWidth READ TextBoxWidth WRITE setTextBoxWidth DESIGNABLE true NOTIFY GeometryChanged)
    Q_PROPERTY(int TextBoxHeight READ TextBoxHeight WRITE setTextBoxHeight DESIGNABLE true NOTIFY GeometryChanged)
    Q_PROPERTY(int ResultBoxWidth READ ResultBoxWidth WRITE setResultBoxWidth DESIGNABLE true NOTIFY GeometryChanged)
    Q_PROPERTY(int ResultBoxHeight READ ResultBoxHeight WRITE setResultBoxHeight DESIGNABLE true NOTIFY GeometryChanged)
    /// Shows the result box.
    Q_PROPERTY(
        bool ResultTextVisible READ ResultTextVisible WRITE setResultTextVisible DESIGNABLE true NOTIFY GeometryChanged)
    /// The result box's font.
    Q_PROPERTY(QFont ResultFont READ ResultFont WRITE setResultFont DESIGNABLE true NOTIFY ColorsChanged)
    /// Colours (Windows colour codes): result box, text box (normal, with focus, disabled), text, border and
    /// background.
    Q_PROPERTY(uint BackColorResult READ BackColorResult WRITE setBackColorResult DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColorActive READ BackColorActive WRITE setBackColorActive DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(
        uint BackColorDisabled READ BackColorDisabled WRITE setBackColorDisabled DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColorActive READ ForeColorActive WRITE setForeColorActive DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(
        uint ForeColorDisabled READ ForeColorDisabled WRITE setForeColorDisabled DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor DESIGNABLE true NOTIFY ColorsChanged)
    /// 0 none, 1 fixed single.
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle DESIGNABLE true NOTIFY ColorsChanged)
    Q_PROPERTY(uint Background READ Background WRITE setBackground DESIGNABLE true NOTIFY ColorsChanged)
    /// The colour of the search message over the box.
    Q_PROPERTY(uint SearchLabelForeColor READ SearchLabelForeColor WRITE setSearchLabelForeColor
                   DESIGNABLE true NOTIFY ColorsChanged)
    /// Shows the search message (" Keresés: …") over the box.
    Q_PROPERTY(bool SearchLabelNeed READ SearchLabelNeed WRITE setSearchLabelNeed
                   DESIGNABLE true NOTIFY SearchLabelNeedChanged)
    /// Shows the browse button.
    Q_PROPERTY(bool BrowseButtonVisible READ BrowseButtonVisible WRITE setBrowseButtonVisible
                   DESIGNABLE true NOTIFY GeometryChanged)
    /// F4 and the browse button open the browse window.
    Q_PROPERTY(
        bool IsGridExBrowse READ IsGridExBrowse WRITE setIsGridExBrowse DESIGNABLE true NOTIFY IsGridExBrowseChanged)
    /// Layout: caption, text box and result box, side by side or stacked (eUIMode).
    Q_PROPERTY(int UIMode READ UIMode WRITE setUIMode DESIGNABLE true NOTIFY GeometryChanged)
    /// Takes input.
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState DESIGNABLE true NOTIFY EnabledChanged)
    /// Shows its value but takes no input.
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked DESIGNABLE true NOTIFY LockedChanged)
    /// The longest text that can be typed; 0: no limit.
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength DESIGNABLE true NOTIFY MaxLengthChanged)
    /// The text box's tool tip.
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText DESIGNABLE true NOTIFY ToolTipTextChanged)
    /// The text box's font.
    Q_PROPERTY(QFont Font READ Font WRITE setInputFont DESIGNABLE true NOTIFY FontChanged)
    /// 0: Enter as usual; 1: Enter moves to the next field.
    Q_PROPERTY(
        int EnterBehaviour READ EnterBehaviour WRITE setEnterBehaviour DESIGNABLE true NOTIFY EnterBehaviourChanged)
    /// The native window handle (creates the native window).
    Q_PROPERTY(qulonglong hWnd READ hWnd DESIGNABLE false STORED false CONSTANT)

public:
    enum eUIMode {
        eUIPortrait_Caption_and_Result = 0,
        eUIPortrait_Caption = 1,
        eUIPortrait_Result = 2,
        eUILandscape_Caption_and_Result = 3,
        eUILandscape_Caption = 4,
        eUILandscape_Result = 5,
    };
    Q_ENUM(eUIMode)
    enum eBorderStyle { None = 0, Fixed_Single = 1 };
    Q_ENUM(eBorderStyle)
    enum eEnterBehaviour { Standard = 0, MoveNextField = 1 };
    Q_ENUM(eEnterBehaviour)
    /// Builds an empty box; it needs no database until InitializeQuickPick().

    explicit vQuickPick(QWidget* parent = nullptr);
    ~vQuickPick() override;

    /// The headless search behind the box (definition, seek, exact mode).
    QuickPickSearch* search() const;

    /// Loads the definition `lQuickPickID` and its search fields and opens the
    /// table on the shared connection (lg::ctx().database). An empty
    /// sCustomBrowseID / sCustomRecordFilter leaves the property unchanged.
    /// True also for an id without definition (no search fields then); False
    /// when reading failed or there is no shared connection.
    bool InitializeQuickPick(int lQuickPickID, const QString& sCustomBrowseID = {},
                             const QString& sCustomRecordFilter = {});
    /// Looks the current ID up again; when it is gone, ID becomes -1 and the
    /// answer is false.
    bool ValidateItem();
    void Refresh() { update(); }
    /// Property accessors; see the properties.

    QString QuickPickName() const;
    QString QuickPickTable() const;
    QString BrowseWhereClause() const;
    int QuickPickBrowseID() const;
    QString VisibleField() const;
    QString SearchFieldName() const;
    QString IndexName() const;
    QString IndexStucture() const;
    QString SearchField() const;
    void setSearchField(const QString& field);
    int ID() const;
    void setID(int id);
    int CustomBrowseID() const;
    void setCustomBrowseID(int id);
    QString CustomRecordFilter() const;
    void setCustomRecordFilter(const QString& filter);
    QString Text() const;
    /// Puts text into the box as if typed (the search runs).
    void setText(const QString& text);
    QString ResultText() const;  // the result box
    int EmptyValue() const;
    void setEmptyValue(int value);
    int SearchStartLength() const;
    void setSearchStartLength(int length);
    int Waittime() const;
    void setWaittime(int value);  // kept for hosts; it has no effect

    QString Caption() const;
    void setCaption(const QString& caption);
    bool CaptionVisible() const;
    void setCaptionVisible(bool visible);
    int CaptionWidth() const;  // twips; 0 = as wide as the text
    void setCaptionWidth(int twips);
    QFont CaptionFont() const;
    void setCaptionFont(const QFont& font);
    uint CaptionForeColor() const;
    void setCaptionForeColor(uint color);
    int TextBoxWidth() const;  // twips
    void setTextBoxWidth(int twips);
    int TextBoxHeight() const;  // twips
    void setTextBoxHeight(int twips);
    int ResultBoxWidth() const;  // twips
    void setResultBoxWidth(int twips);
    int ResultBoxHeight() const;  // twips
    void setResultBoxHeight(int twips);
    bool ResultTextVisible() const;
    void setResultTextVisible(bool visible);
    QFont ResultFont() const;
    void setResultFont(const QFont& font);
    uint BackColorResult() const;
    void setBackColorResult(uint color);
    uint BackColor() const;
    void setBackColor(uint color);
    uint BackColorActive() const;
    void setBackColorActive(uint color);
    uint BackColorDisabled() const;
    void setBackColorDisabled(uint color);
    uint ForeColor() const;
    void setForeColor(uint color);
    uint ForeColorActive() const;
    void setForeColorActive(uint color);
    uint ForeColorDisabled() const;
    void setForeColorDisabled(uint color);
    uint BorderColor() const;
    void setBorderColor(uint color);
    int BorderStyle() const;
    void setBorderStyle(int style);
    uint Background() const;
    void setBackground(uint color);
    uint SearchLabelForeColor() const;
    void setSearchLabelForeColor(uint color);
    bool SearchLabelNeed() const;
    void setSearchLabelNeed(bool need);
    bool BrowseButtonVisible() const;
    void setBrowseButtonVisible(bool visible);
    bool IsGridExBrowse() const;
    void setIsGridExBrowse(bool on);
    int UIMode() const;
    void setUIMode(int mode);
    bool Enabled() const { return isEnabled(); }
    void setEnabledState(bool enabled);
    bool Locked() const;
    void setLocked(bool locked);
    int MaxLength() const;
    void setMaxLength(int length);
    QString ToolTipText() const;
    void setToolTipText(const QString& text);
    QFont Font() const;
    void setInputFont(const QFont& font);
    int EnterBehaviour() const;
    void setEnterBehaviour(int behaviour);
    qulonglong hWnd() const { return qulonglong(const_cast<vQuickPick*>(this)->winId()); }

    /// F4 / the browse button: the browse window (only with IsGridExBrowse
    /// and a browse id of at least 1). The filter it would receive:
    void ShowBrowse();
    QString browseFilter() const;
    /// Who opens the browse window; an empty browser restores the default.
    void setBrowser(QuickPickBrowser browser);

    /// The text of the Ctrl+Alt+F12 diagnostic box, one "name value" per line.
    QString diagnosticText() const;
    /// The message label over the control (" Keresés: …"), hidden again after
    /// duration × 100 ms.
    void showMessage(const QString& text, int duration);
    QString messageText() const;  // empty while hidden

    /// Design-time properties, in the order a stored instance reads them.
    static std::vector<PersistedProperty> designProperties();
    void initDesignProperties();
    void readDesignProperties(const PropertyBag& bag);
    void writeDesignProperties(PropertyBag& bag) const;
    /// The child controls, for hosts that restyle them and for tests.

    QLabel* lblCaption() const;
    QLineEdit* txtInput() const;
    QLabel* lblResult() const;
    QToolButton* cmdBrowse() const;
    QLabel* lblMessage() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // --- events, in the order of their declaration ---
    /// The found record changed.
    void ChangedItemID(int ItemID);
    /// Mouse and key events of the box, with their Windows-style arguments.
    void Click();
    void DblClick();
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, int X, int Y);
    void MouseMove(int Button, int Shift, int X, int Y);
    void MouseUp(int Button, int Shift, int X, int Y);
    /// The text changed.
    void Change();
    // --- property notifications ---
    /// Notifications of the properties.
    void DefinitionChanged();
    void SearchFieldChanged(const QString& field);
    void CustomBrowseIDChanged(int id);
    void CustomRecordFilterChanged(const QString& filter);
    void EmptyValueChanged(int value);
    void SearchStartLengthChanged(int length);
    void WaittimeChanged(int value);
    void CaptionChanged();
    void GeometryChanged();
    void ColorsChanged();
    void SearchLabelNeedChanged(bool need);
    void IsGridExBrowseChanged(bool on);
    void EnabledChanged(bool enabled);
    void LockedChanged(bool locked);
    void MaxLengthChanged(int length);
    void ToolTipTextChanged(const QString& text);
    void FontChanged(const QFont& font);
    void EnterBehaviourChanged(int behaviour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void runSearch(const QString& text, int caret, bool forcedExact);
    void showItem(int id);
    bool handleKey(QKeyEvent* event);
    void forwardMouse(QMouseEvent* event, QPoint at);
    void applyLayout();
    void applyColors();

    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters
