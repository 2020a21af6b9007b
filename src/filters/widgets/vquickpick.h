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
    // Definition and selection.
    Q_PROPERTY(QString QuickPickName READ QuickPickName NOTIFY DefinitionChanged)
    Q_PROPERTY(QString QuickPickTable READ QuickPickTable NOTIFY DefinitionChanged)
    Q_PROPERTY(QString BrowseWhereClause READ BrowseWhereClause NOTIFY DefinitionChanged)
    Q_PROPERTY(int QuickPickBrowseID READ QuickPickBrowseID NOTIFY DefinitionChanged)
    Q_PROPERTY(QString VisibleField READ VisibleField NOTIFY SearchFieldChanged)
    Q_PROPERTY(QString SearchFieldName READ SearchFieldName NOTIFY SearchFieldChanged)
    Q_PROPERTY(QString IndexName READ IndexName NOTIFY SearchFieldChanged)
    Q_PROPERTY(QString IndexStucture READ IndexStucture NOTIFY SearchFieldChanged)
    Q_PROPERTY(QString SearchField READ SearchField WRITE setSearchField NOTIFY SearchFieldChanged)
    Q_PROPERTY(int ID READ ID WRITE setID NOTIFY ChangedItemID)
    Q_PROPERTY(int CustomBrowseID READ CustomBrowseID WRITE setCustomBrowseID NOTIFY CustomBrowseIDChanged)
    Q_PROPERTY(QString CustomRecordFilter READ CustomRecordFilter WRITE setCustomRecordFilter NOTIFY
                   CustomRecordFilterChanged)
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY Change)
    Q_PROPERTY(QString ResultText READ ResultText NOTIFY Change)
    Q_PROPERTY(int EmptyValue READ EmptyValue WRITE setEmptyValue NOTIFY EmptyValueChanged)
    Q_PROPERTY(int SearchStartLength READ SearchStartLength WRITE setSearchStartLength NOTIFY
                   SearchStartLengthChanged)
    Q_PROPERTY(int Waittime READ Waittime WRITE setWaittime NOTIFY WaittimeChanged)
    // Appearance.
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption NOTIFY CaptionChanged)
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE setCaptionVisible NOTIFY CaptionChanged)
    Q_PROPERTY(int CaptionWidth READ CaptionWidth WRITE setCaptionWidth NOTIFY CaptionChanged)
    Q_PROPERTY(QFont CaptionFont READ CaptionFont WRITE setCaptionFont NOTIFY CaptionChanged)
    Q_PROPERTY(uint CaptionForeColor READ CaptionForeColor WRITE setCaptionForeColor NOTIFY CaptionChanged)
    Q_PROPERTY(int TextBoxWidth READ TextBoxWidth WRITE setTextBoxWidth NOTIFY GeometryChanged)
    Q_PROPERTY(int TextBoxHeight READ TextBoxHeight WRITE setTextBoxHeight NOTIFY GeometryChanged)
    Q_PROPERTY(int ResultBoxWidth READ ResultBoxWidth WRITE setResultBoxWidth NOTIFY GeometryChanged)
    Q_PROPERTY(int ResultBoxHeight READ ResultBoxHeight WRITE setResultBoxHeight NOTIFY GeometryChanged)
    Q_PROPERTY(bool ResultTextVisible READ ResultTextVisible WRITE setResultTextVisible NOTIFY GeometryChanged)
    Q_PROPERTY(QFont ResultFont READ ResultFont WRITE setResultFont NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColorResult READ BackColorResult WRITE setBackColorResult NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColorActive READ BackColorActive WRITE setBackColorActive NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColorDisabled READ BackColorDisabled WRITE setBackColorDisabled NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColorActive READ ForeColorActive WRITE setForeColorActive NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColorDisabled READ ForeColorDisabled WRITE setForeColorDisabled NOTIFY ColorsChanged)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor NOTIFY ColorsChanged)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle NOTIFY ColorsChanged)
    Q_PROPERTY(uint Background READ Background WRITE setBackground NOTIFY ColorsChanged)
    Q_PROPERTY(uint SearchLabelForeColor READ SearchLabelForeColor WRITE setSearchLabelForeColor NOTIFY
                   ColorsChanged)
    Q_PROPERTY(bool SearchLabelNeed READ SearchLabelNeed WRITE setSearchLabelNeed NOTIFY SearchLabelNeedChanged)
    Q_PROPERTY(bool BrowseButtonVisible READ BrowseButtonVisible WRITE setBrowseButtonVisible NOTIFY
                   GeometryChanged)
    Q_PROPERTY(bool IsGridExBrowse READ IsGridExBrowse WRITE setIsGridExBrowse NOTIFY IsGridExBrowseChanged)
    Q_PROPERTY(int UIMode READ UIMode WRITE setUIMode NOTIFY GeometryChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState NOTIFY EnabledChanged)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked NOTIFY LockedChanged)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength NOTIFY MaxLengthChanged)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText NOTIFY ToolTipTextChanged)
    Q_PROPERTY(QFont Font READ Font WRITE setInputFont NOTIFY FontChanged)
    Q_PROPERTY(int EnterBehaviour READ EnterBehaviour WRITE setEnterBehaviour NOTIFY EnterBehaviourChanged)
    Q_PROPERTY(qulonglong hWnd READ hWnd CONSTANT)

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

    explicit vQuickPick(QWidget* parent = nullptr);
    ~vQuickPick() override;

    // The headless search behind the box (definition, seek, exact mode).
    QuickPickSearch* search() const;

    // Loads the definition `lQuickPickID` and its search fields and opens the
    // table on the shared connection (lg::ctx().database). An empty
    // sCustomBrowseID / sCustomRecordFilter leaves the property unchanged.
    // True also for an id without definition (no search fields then); False
    // when reading failed or there is no shared connection.
    bool InitializeQuickPick(int lQuickPickID, const QString& sCustomBrowseID = {},
                             const QString& sCustomRecordFilter = {});
    // Looks the current ID up again; when it is gone, ID becomes -1 and the
    // answer is false.
    bool ValidateItem();
    void Refresh() { update(); }

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
    // Puts text into the box as if typed (the search runs).
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

    // F4 / the browse button: the browse window (only with IsGridExBrowse
    // and a browse id of at least 1). The filter it would receive:
    void ShowBrowse();
    QString browseFilter() const;
    // Who opens the browse window; an empty browser restores the default.
    void setBrowser(QuickPickBrowser browser);

    // The text of the Ctrl+Alt+F12 diagnostic box, one "name value" per line.
    QString diagnosticText() const;
    // The message label over the control (" Keresés: …"), hidden again after
    // duration × 100 ms.
    void showMessage(const QString& text, int duration);
    QString messageText() const;  // empty while hidden

    // Design-time properties, in the order a stored instance reads them.
    static std::vector<PersistedProperty> designProperties();
    void initDesignProperties();
    void readDesignProperties(const PropertyBag& bag);
    void writeDesignProperties(PropertyBag& bag) const;

    QLabel* lblCaption() const;
    QLineEdit* txtInput() const;
    QLabel* lblResult() const;
    QToolButton* cmdBrowse() const;
    QLabel* lblMessage() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Events, in the order of their declaration.
    void ChangedItemID(int ItemID);
    void Click();
    void DblClick();
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, int X, int Y);
    void MouseMove(int Button, int Shift, int X, int Y);
    void MouseUp(int Button, int Shift, int X, int Y);
    void Change();
    // Property notifications.
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
