#pragma once

// The typed input box's model: what a filter's from / to box holds and
// decides, without a window. The widget (vW_FilterControl) shows text() and
// alignment(), forwards what the user types through setText() and the key
// helpers, and asks canLeave() / leave() before it lets focus go.
//
// Input types: 1 text, 2 number, 3 none, 4 date, 5 date (the text filter
// lists more period codes for it), 6 text.

#include <QtCore/QDate>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <functional>
#include <optional>

namespace lg::filters {

// Today without a time; tests and the command-line tool replace it.
using TodayProvider = std::function<QDate()>;

class TypedInput : public QObject {
    Q_OBJECT
    Q_PROPERTY(int InputType READ inputType WRITE setInputType NOTIFY inputTypeChanged)
    Q_PROPERTY(QDate MinDate READ minDate WRITE setMinDate NOTIFY boundsChanged)
    Q_PROPERTY(QDate MaxDate READ maxDate WRITE setMaxDate NOTIFY boundsChanged)
    Q_PROPERTY(QVariant Value READ value WRITE setValue NOTIFY textChanged)
    Q_PROPERTY(QString Text READ valueText WRITE setValueText NOTIFY textChanged)
    Q_PROPERTY(QString FormatString READ formatString WRITE setFormatString NOTIFY formatStringChanged)
    Q_PROPERTY(int EnterBehaviour READ enterBehaviour WRITE setEnterBehaviour NOTIFY enterBehaviourChanged)

public:
    enum InputKind { TextInput = 1, NumberInput = 2, NoInput = 3, DateInput = 4, DateInputExtended = 5, TextInput2 = 6 };
    enum EnterBehaviourValue { Standard = 0, MoveNextField = 1 };

    // The format name that stands for the library's short date form.
    static inline const QString kShortDate = QStringLiteral("short date");

    explicit TypedInput(QObject* parent = nullptr);
    ~TypedInput() override;

    // ---- input type ------------------------------------------------------
    int inputType() const { return m_inputType; }
    // Stores the type; 1 and 6 clear the text, 2 shows "0", 4 and 5 show the
    // current date. Other values change nothing else.
    void setInputType(int type);
    bool isText() const { return m_inputType == TextInput || m_inputType == TextInput2; }
    bool isNumber() const { return m_inputType == NumberInput; }
    bool isDate() const { return m_inputType == DateInput || m_inputType == DateInputExtended; }
    Qt::Alignment alignment() const;

    // ---- text and value ----------------------------------------------------
    // The text in the box, as typed.
    QString text() const { return m_text; }
    // The user's edit (typing, pasting): stores the text as it is and raises
    // changed() (for dates only while the text is a date).
    void setText(const QString& text);

    // Value: text types the text; numbers the decimal value of a numeric
    // text, else 0; dates the date of the text (a date before MinDate puts
    // MinDate into the box first), else the last accepted date; type 3 an
    // invalid variant.
    QVariant value();
    void setValue(const QVariant& value);

    // The Text property: the box's text for text types, Value's string form
    // for numbers and dates; setting it assigns Value.
    QString valueText();
    void setValueText(const QString& text);

    // The number in the box in SQL form ("." as the decimal separator, no
    // grouping), or nothing when the text is not a number.
    std::optional<QString> numberSql() const;

    // ---- dates ---------------------------------------------------------------
    QDate currentDate() const { return m_currentDate; }
    QVariant lastAccepted() const { return m_lastAccepted; }
    int week() const;  // weeks start on Sunday; week 1 holds 1 January
    void setWeek(int) {}
    int year() const { return m_currentDate.year(); }
    int month() const { return m_currentDate.month(); }
    int day() const { return m_currentDate.day(); }
    QString filterValue() const;  // MM/DD/YYYY of the current date

    QDate minDate() const { return m_minDate; }
    QDate maxDate() const { return m_maxDate; }
    // Out-of-order or too early bounds are ignored; false then.
    bool setMinDate(const QDate& date);
    bool setMaxDate(const QDate& date);

    QString formatString() const { return m_formatString; }
    void setFormatString(const QString& format);
    // A date in FormatString's form.
    QString formatDate(const QDate& date) const;

    int enterBehaviour() const { return m_enterBehaviour; }
    void setEnterBehaviour(int behaviour);

    void setTodayProvider(TodayProvider today);
    QDate today() const;

    // ---- validation and keys -----------------------------------------------
    // Whether focus may leave the box: numbers must be numeric, dates a date
    // within the bounds (an empty date box is refused), text always.
    bool canLeave() const;
    // canLeave(), and for an accepted date the text is reformatted.
    bool leave();

    // The number box's keystroke filter: whether a typed character goes in.
    // Digits, Backspace, Ctrl+V, Ctrl+C over a full selection, and one
    // decimal separator ("," or ".") while the text has none or all of it is
    // selected. `selectedAll` tells whether the whole text is selected.
    bool acceptsCharacter(QChar c, bool selectedAll) const;

    void escape();     // Escape: text cleared, number "0", date the last accepted one
    void typeToday();  // Ctrl+T on a date box

    // ---- parsing helpers -------------------------------------------------------
    // The forgiving date form: separators become blanks, eight or six bare
    // digits are split into year, month and day; the result is "yyyy mm dd"
    // when the text is a date, else the text unchanged.
    static QString normaliseDateText(const QString& text);
    // The date of a typed text (any form normaliseDateText knows), year,
    // month and day in that order.
    static std::optional<QDate> parseDate(const QString& text);
    // The decimal value of a number text ("," or "." as the decimal
    // separator, blanks ignored), in SQL form; nothing when not a number.
    static std::optional<QString> parseNumber(const QString& text);

Q_SIGNALS:
    void textChanged(const QString& text);  // any change of the box's text
    void changed();                         // the control's Change event
    void inputTypeChanged(int type);
    void boundsChanged();
    void formatStringChanged(const QString& format);
    void enterBehaviourChanged(int behaviour);

private:
    void putText(const QString& text);

    int m_inputType = TextInput;
    QString m_text;
    QDate m_currentDate;
    QVariant m_lastAccepted;
    QDate m_minDate{1899, 1, 1};
    QDate m_maxDate{2029, 12, 31};
    QString m_formatString = kShortDate;
    int m_enterBehaviour = Standard;
    TodayProvider m_today;
};

}  // namespace lg::filters
