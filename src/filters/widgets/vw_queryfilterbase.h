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

class vW_QueryFilterBase : public QWidget, public QueryFilterControl {
    Q_OBJECT
    Q_PROPERTY(QString QueryField READ QueryField WRITE setQueryField NOTIFY QueryFieldChanged)
    Q_PROPERTY(QString QueryFieldDescription READ QueryFieldDescription WRITE setQueryFieldDescription NOTIFY
                   QueryFieldDescriptionChanged)
    Q_PROPERTY(QString QueryResultSQL READ QueryResultSQL NOTIFY ResultsChanged)
    Q_PROPERTY(QString QueryResultFilter READ QueryResultFilter NOTIFY ResultsChanged)
    Q_PROPERTY(QString QueryResultDescription READ QueryResultDescription NOTIFY ResultsChanged)
    Q_PROPERTY(int QueryCheckValue READ QueryCheckValue WRITE setQueryCheckValue NOTIFY QueryCheckValueChanged)
    Q_PROPERTY(bool QueryCheckVisible READ QueryCheckVisible WRITE setQueryCheckVisible NOTIFY
                   QueryCheckVisibleChanged)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption NOTIFY CaptionChanged)
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE setCaptionVisible NOTIFY CaptionChanged)
    Q_PROPERTY(int CaptionWidth READ CaptionWidth WRITE setCaptionWidth NOTIFY CaptionChanged)
    Q_PROPERTY(uint CaptionForeColor READ CaptionForeColor WRITE setCaptionForeColor NOTIFY CaptionChanged)
    Q_PROPERTY(QFont CaptionFont READ CaptionFont WRITE setCaptionFont NOTIFY CaptionChanged)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor NOTIFY BackColorChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState NOTIFY EnabledChanged)
    Q_PROPERTY(QString Version READ Version CONSTANT)

public:
    ~vW_QueryFilterBase() override;

    QueryFilter* filter() const override;
    QWidget* widget() override { return this; }

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

    void Refresh() { update(); }

    void initDesignProperties() override;
    void readDesignProperties(const PropertyBag& bag) override;
    void writeDesignProperties(PropertyBag& bag) const override;

    QCheckBox* chkQueryFilter() const;
    QLabel* lblCaption() const;

Q_SIGNALS:
    void QueryFieldChanged(const QString& field);
    void QueryFieldDescriptionChanged(const QString& description);
    void ResultsChanged();
    void QueryCheckValueChanged(int value);
    void QueryCheckVisibleChanged(bool visible);
    void CaptionChanged();
    void BackColorChanged(uint color);
    void EnabledChanged(bool enabled);
    // Key events of the control surface.
    void KeyDown(int keyCode, int shift);
    void KeyPress(int keyAscii);
    void KeyUp(int keyCode, int shift);

protected:
    vW_QueryFilterBase(QueryFilter* model, QWidget* parent);

    // The look's own persisted properties (caption, colours, fonts), after
    // the model's; subclasses append theirs.
    virtual std::vector<PersistedProperty> viewProperties() const;
    // Enables or disables the children for the activation state.
    virtual void applyActivationLook(bool active) = 0;
    // The user ticked or unticked the activation box (a click on it or on the caption).
    virtual void activationClicked(bool active);
    // Caption, width and colour changed: subclasses that show the caption
    // elsewhere (the check-box filter) override it.
    virtual void applyCaption();
    // Shows or hides the activation box for QueryCheckVisible.
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
