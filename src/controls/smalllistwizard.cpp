#include "controls/smalllistwizard.h"

#include "controls/aggregates.h"
#include "controls/progress.h"
#include "controls/reportrun.h"
#include "platform/errorhandler.h"
#include "platform/propertybag.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"
#include "ui/about.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lg::controls {

namespace {
const PersistedProperty kProperties[] = {
    {"ReportFolderPath", QString()},
    {"AuthenticExport", true},
    {"AuthenticPrint", true},
    {"UserID", -1},
    {"TableFieldNameCompletteOnUI", true},
    {"TableFieldNameCompletteOnReport", true},
};
}  // namespace

struct SmallListWizard::Private {
    RunSettings settings;
    ControlServices services = defaultControlServices();
    QLabel* image = nullptr;
};

SmallListWizard::SmallListWizard(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>())
{
    setObjectName(u"SmallListWizard"_s);
    ctx().newErrors();
    LoadAggregateNames();
    d->image = new QLabel(this);
    d->image->setObjectName(u"Image1"_s);
    d->image->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->image);
    setFixedSize(sizeHint());
}

SmallListWizard::~SmallListWizard() = default;

QSize SmallListWizard::sizeHint() const { return d->image->sizeHint(); }

std::span<const PersistedProperty> SmallListWizard::persistedProperties() { return kProperties; }
void SmallListWizard::InitProperties() { initProperties(this, kProperties); }
void SmallListWizard::ReadProperties(const PropertyBag& bag)
{
    readProperties(this, bag, kProperties);
    ctx().userId = d->settings.userId;
}
void SmallListWizard::WriteProperties(PropertyBag& bag) const { writeProperties(this, bag, kProperties); }

void SmallListWizard::setDatabasePassword(const QString& password) { ctx().databasePassword = password; }

#define LG_PARAMETER(N)                                                                                                \
    QString SmallListWizard::Parameter##N() const { return d->settings.parameters[N - 1]; }                           \
    void SmallListWizard::setParameter##N(const QString& v)                                                            \
    {                                                                                                                  \
        if (d->settings.parameters[N - 1] == v)                                                                        \
            return;                                                                                                    \
        d->settings.parameters[N - 1] = v;                                                                             \
        Q_EMIT Parameter##N##Changed(v);                                                                               \
    }
LG_PARAMETER(1)
LG_PARAMETER(2)
LG_PARAMETER(3)
LG_PARAMETER(4)
LG_PARAMETER(5)
#undef LG_PARAMETER

#define LG_SETTING(Type, Name, member)                                                                                 \
    Type SmallListWizard::Name() const { return d->settings.member; }                                                  \
    void SmallListWizard::set##Name(Type v)                                                                            \
    {                                                                                                                  \
        d->settings.member = v;                                                                                        \
        Q_EMIT Name##Changed(v);                                                                                       \
        Q_EMIT PropertyChanged(QStringLiteral(#Name));                                                                 \
    }
LG_SETTING(bool, AuthenticExport, authenticExport)
LG_SETTING(bool, AuthenticPrint, authenticPrint)
LG_SETTING(bool, TableFieldNameCompletteOnUI, tableFieldNameCompletteOnUI)
LG_SETTING(bool, TableFieldNameCompletteOnReport, tableFieldNameCompletteOnReport)
#undef LG_SETTING

QString SmallListWizard::ReportFolderPath() const { return d->settings.reportFolderPath; }
void SmallListWizard::setReportFolderPath(const QString& v)
{
    d->settings.reportFolderPath = v;
    Q_EMIT ReportFolderPathChanged(v);
    Q_EMIT PropertyChanged(u"ReportFolderPath"_s);
}

int SmallListWizard::UserID() const { return int(d->settings.userId); }
void SmallListWizard::setUserID(int v)
{
    d->settings.userId = v;
    ctx().userId = v;
    Q_EMIT UserIDChanged(v);
    Q_EMIT PropertyChanged(u"UserID"_s);
}

std::shared_ptr<dao::Database> SmallListWizard::Database() const { return ctx().database; }
void SmallListWizard::setDatabase(std::shared_ptr<dao::Database> database)
{
    ctx().database = std::move(database);
    Q_EMIT DatabaseChanged();
}

void SmallListWizard::setServices(const ControlServices& services)
{
    d->services = completedControlServices(services);
}

bool SmallListWizard::ShowReport(long lReportID, bool bRiportRenderToFile, const QString& sFilter)
{
    bool result = false;
    runUserFacing(QString::fromLatin1(kSource), u"ShowReport"_s, [&] {
        result = runReport(lReportID, bRiportRenderToFile, d->settings, d->services, this, sFilter);
    });
    ShowErrors();
    return result;
}

bool SmallListWizard::ExcelExport(long lReportID, const QString& sFilter)
{
    bool result = false;
    runUserFacing(QString::fromLatin1(kSource), u"ExcelExport"_s, [&] {
        if (!d->settings.authenticExport || !ctx().database)
            return;
        // No file name is asked for a list that does not exist.
        ListReport probe;
        if (!probe.CoreLoad(lReportID))
            return;
        const ExportOptions options = d->services.exportOptions->ask(this);
        if (options.returnValue == 1)
            return;
        RowProgress progress(this, LoadResString(500));
        result = exportList(lReportID, options.filePath, options.openAfterExport, d->settings, d->services, this,
                            sFilter, progress.callback());
    });
    ShowErrors();
    return result;
}

void SmallListWizard::showAbout()
{
    frmAbout about(this);
    about.exec();
}

}  // namespace lg::controls
