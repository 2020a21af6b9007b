#pragma once

// What the four query-filter widgets share: the contract's properties
// forwarded to the model, the caption label, the activation check box, the
// control's colours and its key events. Each filter widget derives from it
// and lays out its own children.

#include "filters/widgets/queryfiltercontrol.h"

#include <QtGui/QFont>
#include <QtWidgets/QWidget>

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;

namespace lg::filters {
/// The common surface of the filter controls: the activation box, the caption, the field the condition is written on
/// and the results of a run.

class vW_QueryFilterBase : public QWidget, public QueryFilterControl {
    Q_OBJECT
    /// The column the condition is written on ("[alias].[column]").
    Q_PROPERTY(QString QueryField READ QueryField WRITE setQueryField DESIGNABLE true NOTIFY QueryFieldChanged)
    /// The field's name in the condition's description.
    Q_PROPERTY(QString QueryFieldDescription READ QueryFieldDescription WRITE setQueryFieldDescription
                   DESIGNABLE true NOTIFY QueryFieldDescriptionChanged)
    /// The condition in Jet SQL, after collectWhereAndFilter.
    Q_PROPERTY(QString QueryResultSQL READ QueryResultSQL STORED false NOTIFY ResultsChanged)
    /// The condition as stored with the list.
    Q_PROPERTY(QString QueryResultFilter READ QueryResultFilter STORED false NOTIFY ResultsChanged)
    /// The condition in words, for the report's header.
    Q_PROPERTY(QString QueryResultDescription READ QueryResultDescription STORED false NOTIFY ResultsChanged)
    /// The activation box: 1 the filter takes part in the condition, 0 not.
    Q_PROPERTY(
        int QueryCheckValue READ QueryCheckValue WRITE setQueryCheckValue DESIGNABLE true NOTIFY QueryCheckValueChanged)
    /// Shows the activation box.
    Q_PROPERTY(bool QueryCheckVisible READ QueryCheckVisible WRITE setQueryCheckVisible
                   DESIGNABLE true NOTIFY QueryCheckVisibleChanged)
    /// The caption; & marks the access key.
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption DESIGNABLE true NOTIFY CaptionChanged)
    /// Shows the caption.
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE setCaptionVisible DESIGNABLE true NOTIFY CaptionChanged)
    /// The caption's width in twips.
    Q_PROPERTY(int CaptionWidth READ CaptionWidth WRITE setCaptionWidth DESIGNABLE true NOTIFY CaptionChanged)
    /// The caption's colour (a Windows colour code).
    Q_PROPERTY(
        uint CaptionForeColor READ CaptionForeColor WRITE setCaptionForeColor DESIGNABLE true NOTIFY CaptionChanged)
    /// The caption's font.
    Q_PROPERTY(QFont CaptionFont READ CaptionFont WRITE setCaptionFont DESIGNABLE true NOTIFY CaptionChanged)
    /// The background (a Windows colour code).
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor DESIGNABLE true NOTIFY BackColorChanged)
    /// Takes input.
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState DESIGNABLE true NOTIFY EnabledChanged)
    /// The library's version.
    Q_PROPERTY(QString Version READ Version STORED false CONSTANT)

public:
    ~vW_QueryFilterBase() override;
    /// The headless filter model behind the control.

    QueryFilter* filter() const override;
    QWidget* widget() override { return this; }
    /// Property accessors; see the properties.

    QString QueryField() const;
    void setQueryField(const QString& field);
    QString QueryFieldDescription() const;
    void setQueryFieldDescription(const QString& description);
    QString QueryResultSQL() const;
    QString QueryResultFilter() const;
    QString QueryResultDescription() const;
    int QueryCheckValue() const;
    void setQueryCheckValue(int value);
    bool QueryCheckVisible() const;
    void setQueryCheckVisible(bool visible);

    QString Caption() const;
    void setCaption(const QString& caption);
    bool CaptionVisible() const;
    void setCaptionVisible(bool visible);
    int CaptionWidth() const;  // twips
    void setCaptionWidth(int twips);
    uint CaptionForeColor() const;
    void setCaptionForeColor(uint color);
    QFont CaptionFont() const;
    void setCaptionFont(const QFont& font);
    uint BackColor() const;
    void setBackColor(uint color);
    bool Enabled() const { return isEnabled(); }
    void setEnabledState(bool enabled);
    static QString Version();
    /// Repaints the control.

    void Refresh() { update(); }
    /// Design-time properties of the model and the look: defaults, read from and written to a property bag.

    void initDesignProperties() override;
    void readDesignProperties(const PropertyBag& bag) override;
    void writeDesignProperties(PropertyBag& bag) const override;
    /// The child controls, for hosts that restyle them and for tests.

    QCheckBox* chkQueryFilter() const;
    QLabel* lblCaption() const;

Q_SIGNALS:
    /// Property notifications.
    void QueryFieldChanged(const QString& field);
    void QueryFieldDescriptionChanged(const QString& description);
    void ResultsChanged();
    void QueryCheckValueChanged(int value);
    void QueryCheckVisibleChanged(bool visible);
    void CaptionChanged();
    void BackColorChanged(uint color);
    void EnabledChanged(bool enabled);
    /// Key events of the control surface.
    void KeyDown(int keyCode, int shift);
    void KeyPress(int keyAscii);
    void KeyUp(int keyCode, int shift);

protected:
    vW_QueryFilterBase(QueryFilter* model, QWidget* parent);

    /// The look's own persisted properties (caption, colours, fonts), after
    /// the model's; subclasses append theirs.
    virtual std::vector<PersistedProperty> viewProperties() const;
    /// Enables or disables the children for the activation state.
    virtual void applyActivationLook(bool active) = 0;
    /// The user ticked or unticked the activation box (a click on it or on the caption).
    virtual void activationClicked(bool active);
    /// Caption, width and colour changed: subclasses that show the caption
    /// elsewhere (the check-box filter) override it.
    virtual void applyCaption();
    /// Shows or hides the activation box for QueryCheckVisible.
    virtual void applyQueryCheckVisible(bool visible);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

    static int shiftState(Qt::KeyboardModifiers modifiers);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters
