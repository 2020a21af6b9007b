#pragma once

// The calendar pop-up of a date input: one month page, Hungarian month and
// weekday names from the string table (20000, 20001, Sunday first) and a
// today button (20002). A picked date or Enter closes it with UserSelected
// set; Escape closes it without.

#include <QtCore/QDate>
#include <QtWidgets/QDialog>

class QCalendarWidget;

namespace lg::filters {

class frmMonthView : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QDate SelectedDate READ SelectedDate WRITE setSelectedDate NOTIFY SelectedDateChanged)
    Q_PROPERTY(bool UserSelected READ UserSelected NOTIFY UserSelectedChanged)

public:
    explicit frmMonthView(QWidget* parent = nullptr);

    // The calendar keeps its date as a day count since 1900-01-01.
    QDate SelectedDate() const;
    void setSelectedDate(const QDate& date);
    qint64 dayCount() const { return dayCount_; }

    bool UserSelected() const { return userSelected_; }

    QCalendarWidget* calendar() const { return calendar_; }

    // Opens below `anchor` (its bottom-left corner on the screen) and waits
    // for the user; returns UserSelected.
    bool popUpBelow(const QWidget* anchor);

    static QDate baseDate() { return {1900, 1, 1}; }

Q_SIGNALS:
    void SelectedDateChanged(const QDate& date);
    void UserSelectedChanged(bool selected);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pick(const QDate& date);
    void setUserSelected(bool selected);
    void applyMonthNames();

    QCalendarWidget* calendar_ = nullptr;
    QStringList monthNames_;
    qint64 dayCount_ = 0;
    bool userSelected_ = false;
};

}  // namespace lg::filters
