#pragma once

// vW_FilterControl: the typed input box of the query filters (text, number
// or date), a thin view on lg::filters::TypedInput. The model parses,
// validates and formats; this widget shows its text in the state colours,
// forwards what the user types, refuses to let focus go while the entry is
// invalid, and opens the calendar pop-up (F4) for dates.

#include "platform/propertybag.h"

#include <QtCore/QDate>
#include <QtCore/QVariant>
#include <QtGui/QFont>
#include <QtWidgets/QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLineEdit;

namespace lg::filters {

class TypedInput;

class vW_FilterControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState NOTIFY EnabledChanged)
    Q_PROPERTY(int InputType READ InputType WRITE setInputType NOTIFY InputTypeChanged)
    Q_PROPERTY(QFont Font READ Font WRITE setInputFont NOTIFY FontChanged)
    Q_PROPERTY(QDate MinDate READ MinDate WRITE setMinDate NOTIFY BoundsChanged)
    Q_PROPERTY(QDate MaxDate READ MaxDate WRITE setMaxDate NOTIFY BoundsChanged)
    Q_PROPERTY(QVariant Value READ Value WRITE setValue NOTIFY TextChanged)
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY TextChanged)
    Q_PROPERTY(int Week READ Week WRITE setWeek NOTIFY TextChanged)
    Q_PROPERTY(int Year READ Year NOTIFY TextChanged)
    Q_PROPERTY(int Month READ Month NOTIFY TextChanged)
    Q_PROPERTY(int Day READ Day NOTIFY TextChanged)
    Q_PROPERTY(QString FilterValue READ FilterValue NOTIFY TextChanged)
    Q_PROPERTY(bool BorderVisible READ BorderVisible WRITE setBorderVisible NOTIFY BorderChanged)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth NOTIFY BorderChanged)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColorActive READ BackColorActive WRITE setBackColorActive NOTIFY ColorsChanged)
    Q_PROPERTY(uint BackColorDisabled READ BackColorDisabled WRITE setBackColorDisabled NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColorActive READ ForeColorActive WRITE setForeColorActive NOTIFY ColorsChanged)
    Q_PROPERTY(uint ForeColorDisabled READ ForeColorDisabled WRITE setForeColorDisabled NOTIFY ColorsChanged)
    Q_PROPERTY(uint Background READ Background WRITE setBackground NOTIFY ColorsChanged)
    Q_PROPERTY(QString FormatString READ FormatString WRITE setFormatString NOTIFY FormatStringChanged)
    Q_PROPERTY(int EnterBehaviour READ EnterBehaviour WRITE setEnterBehaviour NOTIFY EnterBehaviourChanged)
    Q_PROPERTY(qulonglong hWnd READ hWnd CONSTANT)

public:
    enum eEnterBehaviour { Standard = 0, MoveNextField = 1 };
    Q_ENUM(eEnterBehaviour)

    // A box with a model of its own.
    explicit vW_FilterControl(QWidget* parent = nullptr);
    // A box showing `model`, which must outlive it (a filter's input).
    explicit vW_FilterControl(TypedInput* model, QWidget* parent = nullptr);
    ~vW_FilterControl() override;

    TypedInput* model() const;
    QLineEdit* txtInput() const;

    bool Enabled() const { return isEnabled(); }
    void setEnabledState(bool enabled);
    int InputType() const;
    void setInputType(int type);
    QFont Font() const;
    void setInputFont(const QFont& font);
    QDate MinDate() const;
    void setMinDate(const QDate& date);
    QDate MaxDate() const;
    void setMaxDate(const QDate& date);
    QVariant Value() const;
    void setValue(const QVariant& value);
    QString Text() const;
    void setText(const QString& text);
    int Week() const;
    void setWeek(int) {}  // derived from the date; assigning changes nothing
    int Year() const;
    int Month() const;
    int Day() const;
    QString FilterValue() const;
    bool BorderVisible() const;
    void setBorderVisible(bool visible);
    int BorderWidth() const;
    void setBorderWidth(int width);
    uint BorderColor() const;
    void setBorderColor(uint color);
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
    uint Background() const;
    void setBackground(uint color);
    QString FormatString() const;
    void setFormatString(const QString& format);
    int EnterBehaviour() const;
    void setEnterBehaviour(int behaviour);
    qulonglong hWnd() const { return qulonglong(const_cast<vW_FilterControl*>(this)->winId()); }

    // F4 on a date box: the calendar below the box; a picked date becomes Value.
    void showCalendar();
    // Who answers F4 instead of the calendar pop-up (a host's own picker, a
    // script in headless use): given the date to show, the picked date or
    // nothing when the user cancelled. An empty picker restores the pop-up.
    using DatePicker = std::function<std::optional<QDate>(vW_FilterControl* box, const QDate& shown)>;
    void setDatePicker(DatePicker picker);

    // Design-time properties, in the order a stored instance reads them.
    static std::vector<PersistedProperty> designProperties();
    void initDesignProperties();  // a newly placed instance: the defaults, Value today
    void readDesignProperties(const PropertyBag& bag);
    void writeDesignProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void Change();
    void KeyDown(int keyCode, int shift);
    void EnabledChanged(bool enabled);
    void InputTypeChanged(int type);
    void FontChanged(const QFont& font);
    void BoundsChanged();
    void TextChanged();
    void BorderChanged();
    void ColorsChanged();
    void FormatStringChanged(const QString& format);
    void EnterBehaviourChanged(int behaviour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters
