#include "messagebox.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace lg {

namespace {

QStyle::StandardPixmap pixmapFor(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QStyle::SP_MessageBoxCritical;
    case MessageIcon::Question:
        return QStyle::SP_MessageBoxQuestion;
    case MessageIcon::Information:
        return QStyle::SP_MessageBoxInformation;
    case MessageIcon::Warning:
    case MessageIcon::None:
        break;
    }
    return QStyle::SP_MessageBoxWarning;
}

// Shows the ordinary arrow while a box is open, whatever pointer the caller
// had set, and puts the caller's pointer back afterwards.
class DefaultPointer {
public:
    DefaultPointer() : m_active(QGuiApplication::overrideCursor() != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~DefaultPointer()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    DefaultPointer(const DefaultPointer&) = delete;
    DefaultPointer& operator=(const DefaultPointer&) = delete;

private:
    bool m_active;
};

}  // namespace

frmMessage::frmMessage(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    lblIcon = new QLabel(this);
    lblIcon->setObjectName(QStringLiteral("lblIcon"));
    lblIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSubMessage = new QLabel(this);
    lblSubMessage->setObjectName(QStringLiteral("lblSubMessage"));
    lblSubMessage->setWordWrap(true);
    lblSubMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtInput = new QLineEdit(this);
    txtInput->setObjectName(QStringLiteral("txtInput"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblMessage);
    texts->addWidget(lblSubMessage);
    texts->addWidget(txtInput);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(lblIcon);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("cmdButton%1").arg(i));
        connect(b, &QPushButton::clicked, this, [this, i] { buttonClicked(i); });
        buttons->addWidget(b);
        cmdButtons[static_cast<std::size_t>(i)] = b;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

void frmMessage::configure(const MessageRequest& request)
{
    m_clicked = -1;
    m_inputMode = request.inputMode;
    m_buttonCount = static_cast<int>(std::min<qsizetype>(request.captions.size(), 3));

    setWindowTitle(request.title);
    if (request.icon == MessageIcon::None) {
        lblIcon->clear();
        lblIcon->setVisible(false);
    } else {
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        lblIcon->setPixmap(style()->standardIcon(pixmapFor(request.icon), nullptr, this).pixmap(size, size));
        lblIcon->setVisible(true);
    }
    lblMessage->setText(request.message);
    lblSubMessage->setText(request.subMessage);
    lblSubMessage->setVisible(!request.subMessage.isEmpty());

    txtInput->setVisible(request.inputMode);
    txtInput->setText(request.inputMode ? request.inputText : QString());

    for (int i = 0; i < 3; ++i) {
        QPushButton* b = cmdButtons[static_cast<std::size_t>(i)];
        const bool used = i < m_buttonCount;
        b->setVisible(used);
        b->setText(used ? request.captions.at(i) : QString());
        b->setDefault(used && i == 0);
        b->setAutoDefault(used);
    }
    relayout();
}

void frmMessage::relayout()
{
    // Keep long messages readable: wrap at a sensible width instead of
    // stretching the box across the screen.
    const int width = std::clamp(fontMetrics().horizontalAdvance(lblMessage->text()) + 16, 240, 520);
    lblMessage->setMinimumWidth(width);
    adjustSize();
}

MessageAnswer frmMessage::answer() const
{
    return {m_clicked, m_inputMode ? txtInput->text() : QString()};
}

void frmMessage::buttonClicked(int index)
{
    if (index >= m_buttonCount)
        return;
    m_clicked = index;
    accept();
}

MessageAnswer frmMessage::present(const MessageRequest& request)
{
    // A box asked for while this one is still open (from a timer, say) gets a
    // form of its own instead of taking this one over.
    if (isVisible()) {
        frmMessage nested;
        return nested.present(request);
    }
    DefaultPointer pointer;
    configure(request);
    if (request.inputMode)
        txtInput->setFocus();
    else if (m_buttonCount > 0)
        cmdButtons[0]->setFocus();
    exec();
    return answer();
}

void installMessageBoxPresenter()
{
    // No parent: the service outlives any window it is shown over, and an
    // application-modal box blocks them all anyway.
    setMessagePresenterFactory([] { return std::shared_ptr<MessagePresenter>(std::make_shared<frmMessage>()); });
}

}  // namespace lg
