#include "filters/widgets/frmmonthview.h"

#include "platform/strings.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace lg::filters {

frmMonthView::frmMonthView(QWidget* parent) : QDialog(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("frmMonthView"));
    setModal(true);
    monthNames_ = LoadResString(20000).split(QLatin1Char(','));
    const QStringList dayNames = LoadResString(20001).split(QLatin1Char(','));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);

    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("ctDate"));
    calendar_->setLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));
    calendar_->setFirstDayOfWeek(Qt::Sunday);  // after setLocale, which resets it
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setHorizontalHeaderFormat(QCalendarWidget::NoHorizontalHeader);
    calendar_->setGridVisible(false);

    // The weekday names come from the string table, which the calendar cannot
    // take, so they sit in a row of their own above the day grid.
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("dayNames"));
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(1, 2, 1, 2);
    headerLayout->setSpacing(0);
    for (int i = 0; i < 7; ++i) {
        auto* l = new QLabel(i < dayNames.size() ? dayNames.at(i) : QString(), header);
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        headerLayout->addWidget(l, 1);
    }

    auto* today = new QPushButton(LoadResString(20002), this);
    today->setObjectName(QStringLiteral("cmdToday"));
    today->setAutoDefault(false);
    connect(today, &QPushButton::clicked, this, [this] { pick(QDate::currentDate()); });

    // The day grid goes below the navigation bar; the names row between them.
    if (auto* nav = calendar_->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"))) {
        if (auto* inner = qobject_cast<QVBoxLayout*>(calendar_->layout()))
            inner->insertWidget(inner->indexOf(nav) + 1, header);
        else
            layout->addWidget(header);
    } else {
        layout->addWidget(header);
    }
    layout->addWidget(calendar_, 1);
    layout->addWidget(today);

    connect(calendar_, &QCalendarWidget::currentPageChanged, this, [this] { applyMonthNames(); });
    connect(calendar_, &QCalendarWidget::clicked, this, &frmMonthView::pick);
    connect(calendar_, &QCalendarWidget::activated, this, &frmMonthView::pick);
    connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] {
        const qint64 count = baseDate().daysTo(calendar_->selectedDate());
        if (count != dayCount_) {
            dayCount_ = count;
            Q_EMIT SelectedDateChanged(SelectedDate());
        }
    });
    if (auto* view = calendar_->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview")))
        view->installEventFilter(this);

    setSelectedDate(QDate::currentDate());
    applyMonthNames();
    resize(260, 220);
}

QDate frmMonthView::SelectedDate() const { return baseDate().addDays(dayCount_); }

void frmMonthView::setSelectedDate(const QDate& date)
{
    if (!date.isValid())
        return;
    const qint64 count = baseDate().daysTo(date);
    calendar_->setSelectedDate(date);
    if (count != dayCount_) {
        dayCount_ = count;
        Q_EMIT SelectedDateChanged(SelectedDate());
    }
}

void frmMonthView::setUserSelected(bool selected)
{
    if (userSelected_ == selected)
        return;
    userSelected_ = selected;
    Q_EMIT UserSelectedChanged(selected);
}

void frmMonthView::pick(const QDate& date)
{
    setSelectedDate(date);
    setUserSelected(true);
    accept();
}

bool frmMonthView::popUpBelow(const QWidget* anchor)
{
    setUserSelected(false);
    if (anchor) {
        QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height()));
        if (const QScreen* screen = anchor->screen()) {
            const QRect avail = screen->availableGeometry();
            at.setX(qBound(avail.left(), at.x(), qMax(avail.left(), avail.right() - width())));
            if (at.y() + height() > avail.bottom())  // no room below: above the box
                at.setY(anchor->mapToGlobal(QPoint(0, 0)).y() - height());
        }
        move(at);
    }
    exec();
    return userSelected_;
}

void frmMonthView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        setUserSelected(false);
        reject();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick(calendar_->selectedDate());
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool frmMonthView::eventFilter(QObject* watched, QEvent* event)
{
    // The day grid takes Enter and Escape itself; they close the pop-up.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            keyPressEvent(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMonthView::applyMonthNames()
{
    if (monthNames_.size() != 12)
        return;
    auto* button = calendar_->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    if (!button)
        return;
    button->setText(monthNames_.at(calendar_->monthShown() - 1));
    if (QMenu* menu = button->menu()) {
        const auto actions = menu->actions();
        for (int i = 0; i < actions.size() && i < 12; ++i)
            actions[i]->setText(monthNames_.at(i));
    }
}

}  // namespace lg::filters
