#include "about.h"

#include "platform/dao/dao.h"
#include "platform/message.h"
#include "platform/strings.h"
#include "platform/version.h"
#include "store/context.h"

#include <QtCore/QSysInfo>
#include <QtCore/QVersionNumber>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace lg {

namespace {

QString libraryVersion() { return QStringLiteral(LISTGEN_VERSION); }

}  // namespace

frmAbout::frmAbout(QWidget* parent, const QString& title, const QString& version) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    const QString appTitle = title.isEmpty() ? LibraryTitle() : title;
    // Always three parts, whatever the version string leaves out.
    const QVersionNumber v = QVersionNumber::fromString(version.isEmpty() ? libraryVersion() : version);
    const QString versionText =
        QStringLiteral("%1.%2.%3").arg(v.majorVersion()).arg(v.minorVersion()).arg(v.microVersion());

    setWindowTitle(LoadResString(32300).arg(appTitle));
    lblTitle = new QLabel(appTitle, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    lblTitle->setFont(f);
    lblVersion = new QLabel(LoadResString(7250) + versionText, this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    cmdOK = new QPushButton(LoadResString(31140), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(LoadResString(7251), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { showSystemInformation(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addStretch();
    layout->addLayout(buttons);
}

QString frmAbout::systemInformation()
{
    return LoadResString(7252) + QSysInfo::prettyProductName() + QStringLiteral(" (") +
           QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion() + QStringLiteral(", ") +
           QSysInfo::currentCpuArchitecture() + QStringLiteral(")\r\nQt: ") + QString::fromLatin1(qVersion()) +
           QStringLiteral("\r\n") + dao::Database::backendName() + QStringLiteral(": ") + dao::Database::backendVersion();
}

void frmAbout::showSystemInformation()
{
    ctx().messageService().MsgInfo(systemInformation());
}

}  // namespace lg
