// Pictures of the filter controls for the README: each control in its
// active and inactive look, and the calendar pop-up, as
// <folder>/filter-<name>-active.png and -inactive.png.

#include "filters/listboxfiltermodel.h"
#include "filters/textfiltermodel.h"
#include "filters/typedinput.h"
#include "filters/widgets/frmmonthview.h"
#include "filters/widgets/vw_filtercontrol.h"
#include "filters/widgets/vw_querycheckbox.h"
#include "filters/widgets/vw_querylistboxfilter.h"
#include "filters/widgets/vw_querytextfilter.h"
#include "filters/widgets/vw_querytlistboxfilter.h"

#include <QtCore/QDir>
#include <QtGui/QFontDatabase>
#include <QtWidgets/QApplication>
#include <QtWidgets/QVBoxLayout>

#include <cstdio>
#include <functional>

using namespace lg::filters;

namespace {

const QDate kToday(2024, 3, 5);

bool save(QWidget* w, const QString& folder, const QString& name)
{
    w->show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "screenshot_filters: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Draws one control on a form of the library's colour, active then inactive.
bool shoot(const QString& folder, const QString& name, int width,
           const std::function<vW_QueryFilterBase*(QWidget*)>& make)
{
    bool ok = true;
    for (bool active : {true, false}) {
        QWidget form;
        form.setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(&form);
        layout->setContentsMargins(6, 6, 6, 6);
        vW_QueryFilterBase* control = make(&form);
        layout->addWidget(control);
        control->setQueryCheckValue(active ? 1 : 0);
        form.resize(width, form.sizeHint().height());
        ok &= save(&form, folder, QStringLiteral("filter-%1-%2").arg(name, active ? u"active" : u"inactive"));
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_filters FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")))
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));

    bool ok = true;
    ok &= shoot(folder, QStringLiteral("text"), 620, [](QWidget* parent) {
        auto* f = new vW_QueryTextFilter(parent);
        f->setCaption(QStringLiteral("Név"));
        f->setQueryField(QStringLiteral("NAME"));
        f->setQueryFieldDescription(QStringLiteral("Név"));
        f->setInputType(1);
        f->setRelationListVisible(true);
        f->setInput1Text(QStringLiteral("Kovács"));
        f->setNOTPictureValue(1);
        return f;
    });
    ok &= shoot(folder, QStringLiteral("number"), 620, [](QWidget* parent) {
        auto* f = new vW_QueryTextFilter(parent);
        f->setCaption(QStringLiteral("Összeg"));
        f->setQueryField(QStringLiteral("AMOUNT"));
        f->setInputType(2);
        f->setInput1Text(5000);
        f->setInput2Text(12000);
        return f;
    });
    ok &= shoot(folder, QStringLiteral("date"), 620, [](QWidget* parent) {
        auto* f = new vW_QueryTextFilter(parent);
        f->model()->setTodayProvider([] { return kToday; });
        f->setCaption(QStringLiteral("Kelte"));
        f->setQueryField(QStringLiteral("D"));
        f->setInputType(5);
        f->setQueryCheckValue(1);
        f->model()->applyPeriod(2);
        return f;
    });
    ok &= shoot(folder, QStringLiteral("check"), 300, [](QWidget* parent) {
        auto* f = new vW_QueryCheckBox(parent);
        f->setCaption(QStringLiteral("Aktív partner"));
        f->setQueryField(QStringLiteral("ACTIVE"));
        return f;
    });
    ok &= shoot(folder, QStringLiteral("list"), 360, [](QWidget* parent) {
        auto* f = new vW_QueryListBoxFilter(parent);
        f->setCaption(QStringLiteral("Raktár"));
        f->setQueryField(QStringLiteral("T.ID"));
        const QStringList names = {QStringLiteral("Budapest"), QStringLiteral("Debrecen"), QStringLiteral("Győr"),
                                   QStringLiteral("Miskolc"), QStringLiteral("Pécs"), QStringLiteral("Szeged")};
        for (int i = 0; i < names.size(); ++i)
            f->AddFilterItem(names.at(i), i + 1);
        f->SelectItem(2);
        f->SelectItem(5);
        f->Filter()->setFixedHeight(92);
        return f;
    });
    ok &= shoot(folder, QStringLiteral("textlist"), 360, [](QWidget* parent) {
        auto* f = new vW_QueryTListBoxFilter(parent);
        f->setCaption(QStringLiteral("Pénznem"));
        f->setQueryField(QStringLiteral("CURRENCY"));
        for (const char* c : {"EUR", "HUF", "USD", "CHF"})
            f->AddFilterItem(QString::fromLatin1(c), 0);
        f->model()->setSelected(0, true);
        f->model()->setSelected(1, true);
        f->Filter()->setFixedHeight(76);
        return f;
    });

    // The typed input box: normal and focused colours, and the calendar.
    {
        QWidget form;
        form.setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(&form);
        auto* box = new vW_FilterControl(&form);
        box->model()->setTodayProvider([] { return kToday; });
        box->setInputType(4);
        box->setValue(kToday);
        layout->addWidget(box);
        form.resize(180, form.sizeHint().height());
        ok &= save(&form, folder, QStringLiteral("filter-input-inactive"));
        form.show();
        box->setFocus();
        QApplication::processEvents();
        ok &= save(&form, folder, QStringLiteral("filter-input-active"));

        frmMonthView calendar;
        calendar.setSelectedDate(kToday);
        ok &= save(&calendar, folder, QStringLiteral("filter-calendar"));
    }
    return ok ? 0 : 1;
}
