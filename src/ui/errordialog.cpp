#include "errordialog.h"

#include "platform/strings.h"

#include "messagebox.h"

#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

namespace lg {

frmErrorDialog::frmErrorDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmErrorDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblNumber = new QLabel(this);
    lblNumber->setObjectName(QStringLiteral("lblNumber"));
    lblNumber->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSource = new QLabel(this);
    lblSource->setObjectName(QStringLiteral("lblSource"));
    lblSource->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtTrace = new QPlainTextEdit(this);
    txtTrace->setObjectName(QStringLiteral("txtTrace"));
    txtTrace->setReadOnly(true);
    txtTrace->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* details = new QFormLayout;
    details->addRow(LoadResString(7253), lblNumber);
    details->addRow(LoadResString(7254), lblSource);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    auto* texts = new QVBoxLayout;
    texts->addWidget(lblMessage);
    texts->addLayout(details);
    top->addLayout(texts, 1);

    cmdRetry = new QPushButton(LoadResString(7255), this);
    cmdRetry->setObjectName(QStringLiteral("cmdRetry"));
    cmdContinue = new QPushButton(LoadResString(7256), this);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    cmdGiveUp = new QPushButton(LoadResString(7257), this);
    cmdGiveUp->setObjectName(QStringLiteral("cmdGiveUp"));
    cmdGiveUp->setDefault(true);

    connect(cmdRetry, &QPushButton::clicked, this, [this] {
        m_answer = {true, false};
        accept();
    });
    connect(cmdContinue, &QPushButton::clicked, this, [this] {
        m_answer = {false, true};
        accept();
    });
    connect(cmdGiveUp, &QPushButton::clicked, this, [this] {
        m_answer = {};
        reject();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRetry);
    buttons->addWidget(cmdContinue);
    buttons->addWidget(cmdGiveUp);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(txtTrace, 1);
    layout->addLayout(buttons);
    resize(560, 320);
}

void frmErrorDialog::configure(const QString& message, const QString& title, const RuntimeError& error)
{
    m_answer = {};
    setWindowTitle(title);
    lblMessage->setText(message);
    lblNumber->setText(QString::number(error.number()));
    lblSource->setText(error.source());
    // The trace lines are separated by CR LF; show one per line.
    QString trace = error.description();
    trace.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtTrace->setPlainText(trace);
}

ErrorDialogAnswer frmErrorDialog::show(const QString& message, const QString& title, const RuntimeError& error)
{
    configure(message, title, error);
    cmdGiveUp->setFocus();
    exec();  // closing the window any other way gives up
    return m_answer;
}

void installErrorDialog()
{
    setErrorDialogFactory([] { return std::shared_ptr<ErrorDialogService>(std::make_shared<frmErrorDialog>()); });
}

void installUserInterfaceServices()
{
    installMessageBoxPresenter();
    installErrorDialog();
}

}  // namespace lg
