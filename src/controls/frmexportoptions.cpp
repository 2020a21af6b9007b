#include "controls/frmexportoptions.h"

#include "controls/reportrun.h"
#include "platform/message.h"
#include "platform/strings.h"
#include "reportengine/filedialogservice.h"
#include "store/context.h"
#include "ui/captions.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lg::controls {

frmExportOptions::frmExportOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"frmExportOptions"_s);
    setModal(true);
    setProperty(kCaptionTag, 500);
    lblInstruction = new QLabel(this);
    lblInstruction->setObjectName(u"lblInstruction"_s);
    lblInstruction->setProperty(kCaptionTag, 501);
    lblInstruction->setWordWrap(true);
    lblFile = new QLabel(this);
    lblFile->setObjectName(u"lblFile"_s);
    lblFile->setProperty(kCaptionTag, 502);
    txtFileName = new QLineEdit(this);
    txtFileName->setObjectName(u"txtFileName"_s);
    txtFileName->setMinimumWidth(320);
    lblFile->setBuddy(txtFileName);
    cmdBrowse = new QPushButton(u"..."_s, this);
    cmdBrowse->setObjectName(u"cmdBrowse"_s);
    cmdBrowse->setAutoDefault(false);
    chkShowExportedFile = new QCheckBox(this);
    chkShowExportedFile->setObjectName(u"chkShowExportedFile"_s);
    chkShowExportedFile->setProperty(kCaptionTag, 503);
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setProperty(kCaptionTag, 504);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdCancel->setProperty(kCaptionTag, 505);
    cmdCancel->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(lblFile, 0, 0);
    grid->addWidget(txtFileName, 0, 1);
    grid->addWidget(cmdBrowse, 0, 2);
    grid->addWidget(chkShowExportedFile, 1, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInstruction);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    LoadCaptions(this);
    SetCaptionsVisualTheme();

    connect(cmdBrowse, &QPushButton::clicked, this, &frmExportOptions::browse);
    connect(cmdOK, &QPushButton::clicked, this, &frmExportOptions::confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &frmExportOptions::reject);
    connect(txtFileName, &QLineEdit::textChanged, this, [this] { Q_EMIT FilePathChanged(FilePath()); });
    connect(chkShowExportedFile, &QCheckBox::toggled, this, &frmExportOptions::ExportFileOpenChanged);
}

QString frmExportOptions::fileFilter() { return LoadResString(32103); }

QString frmExportOptions::FilePath() const { return txtFileName->text().trimmed(); }
void frmExportOptions::setFilePath(const QString& path) { txtFileName->setText(path); }
bool frmExportOptions::ExportFileOpen() const { return chkShowExportedFile->isChecked(); }
void frmExportOptions::setExportFileOpen(bool open) { chkShowExportedFile->setChecked(open); }

void frmExportOptions::setReturnValue(int value)
{
    if (value == m_returnValue)
        return;
    m_returnValue = value;
    Q_EMIT ReturnValueChanged(value);
}

void frmExportOptions::SetCaptionsVisualTheme() { lg::SetCaptionsVisualTheme(this); }

void frmExportOptions::browse()
{
    const QString chosen =
        reportengine::defaultFileDialogService()->getSaveFileName(this, windowTitle(), fileFilter());
    if (!chosen.isEmpty())
        txtFileName->setText(exportTargetPath(chosen));
}

void frmExportOptions::confirm()
{
    QString message;
    if (!checkExportFileName(txtFileName->text(), message)) {
        ctx().messageService().MsgWarning(message);
        txtFileName->setFocus();
        return;  // the dialog stays open
    }
    setReturnValue(0);
    accept();
}

void frmExportOptions::reject()
{
    setReturnValue(1);
    QDialog::reject();
}

}  // namespace lg::controls
