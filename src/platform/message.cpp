#include "message.h"

#include "strings.h"

namespace lg {

namespace {

QString questionTitle() { return LoadResString(7300); }
QString warningTitle() { return LoadResString(7301); }
QString infoTitle() { return LoadResString(7302); }
QString errorTitle() { return LoadResString(7303); }

QString okCaption() { return LoadResString(7304); }
QString cancelCaption() { return LoadResString(7305); }
QString yesCaption() { return LoadResString(7306); }
QString noCaption() { return LoadResString(7307); }
QString retryCaption() { return LoadResString(7308); }
QString newItemCaption() { return LoadResString(7309); }

MessagePresenterFactory& presenterFactory()
{
    static MessagePresenterFactory factory;
    return factory;
}

}  // namespace

MessageIcon iconForType(int typeCode)
{
    if (typeCode & msg::IconError)
        return MessageIcon::Error;
    if (typeCode & msg::IconQuestion)
        return MessageIcon::Question;
    if (typeCode & msg::IconInformation)
        return MessageIcon::Information;
    if (typeCode & msg::IconWarning)
        return MessageIcon::Warning;
    return MessageIcon::None;
}

MessageAnswer ScriptedMessagePresenter::present(const MessageRequest& request)
{
    m_requests.append(request);
    if (m_script.empty())
        return {-1, request.inputText};
    MessageAnswer answer = m_script.front();
    m_script.pop_front();
    return answer;
}

void setMessagePresenterFactory(MessagePresenterFactory factory)
{
    presenterFactory() = std::move(factory);
}

std::shared_ptr<MessagePresenter> createMessagePresenter()
{
    if (presenterFactory()) {
        if (auto presenter = presenterFactory()())
            return presenter;
    }
    return std::make_shared<ScriptedMessagePresenter>();
}

cMessage2::cMessage2(std::shared_ptr<MessagePresenter> presenter)
    : m_presenter(presenter ? std::move(presenter) : createMessagePresenter())
{
}

MessageRequest cMessage2::buildRequest(int typeCode, const QString& message, const QString& subMessage,
                                       const QString& title, const QStringList& captions)
{
    MessageRequest r;
    r.typeCode = typeCode;
    r.icon = iconForType(typeCode);
    r.title = title;
    r.message = message;
    r.subMessage = subMessage;
    switch (typeCode & 15) {
    case msg::ButtonsOk:
        r.captions = {okCaption()};
        r.codes = {msg::OK};
        r.defaultResult = msg::OK;
        break;
    case msg::ButtonsOkCancel:
        r.captions = {okCaption(), cancelCaption()};
        r.codes = {msg::OK, msg::Cancel};
        r.defaultResult = msg::Cancel;
        break;
    case msg::ButtonsYesNoCancel:
        r.captions = {yesCaption(), noCaption(), cancelCaption()};
        r.codes = {msg::Yes, msg::No, msg::Cancel};
        r.defaultResult = msg::Cancel;
        break;
    case msg::ButtonsYesNo:
        r.captions = {yesCaption(), noCaption()};
        r.codes = {msg::Yes, msg::No};
        r.defaultResult = msg::No;
        break;
    case msg::ButtonsRetryCancel:
        r.captions = {retryCaption(), cancelCaption()};
        r.codes = {msg::Retry, msg::Cancel};
        r.defaultResult = msg::Cancel;
        break;
    case msg::ButtonsNewItemCancel:
        r.captions = {newItemCaption(), cancelCaption()};
        r.codes = {msg::NewItem, msg::Cancel};
        r.defaultResult = msg::Cancel;
        break;
    case msg::ButtonsInput:
        r.captions = {okCaption(), cancelCaption()};
        r.codes = {msg::OK, msg::Cancel};
        r.defaultResult = msg::Cancel;
        r.inputMode = true;
        break;
    case msg::ButtonsCustom:
        // A button's code is its caption's position; an empty caption leaves
        // its position out without renumbering the others.
        for (qsizetype i = 0; i < captions.size() && i < 3; ++i) {
            if (captions.at(i).isEmpty())
                continue;
            r.captions.append(captions.at(i));
            r.codes.append(static_cast<int>(i));
        }
        r.defaultResult = msg::None;
        break;
    default:
        // Unused button selections fall back to a plain OK box.
        r.captions = {okCaption()};
        r.codes = {msg::OK};
        r.defaultResult = msg::OK;
        break;
    }
    return r;
}

int cMessage2::ShowMessageBox(int typeCode, const QString& message, const QString& subMessage, const QString& title,
                              const QStringList& captions)
{
    MessageRequest request = buildRequest(typeCode, message, subMessage, title, captions);
    if (request.inputMode)
        request.inputText = m_inputText;
    m_inputMode = request.inputMode;
    m_codes = request.codes;
    m_defaultResult = request.defaultResult;

    const MessageAnswer answer = m_presenter->present(request);
    if (answer.button < 0 || answer.button >= m_codes.size())
        return m_defaultResult;
    if (m_inputMode)
        m_inputText = answer.text;
    return m_codes.at(answer.button);
}

void cMessage2::ResizeMessageForm()
{
    m_presenter->relayout();
}

int cMessage2::MsgQuestionOkCancel(const QString& message, const QString& subMessage)
{
    return ShowMessageBox(msg::IconQuestion | msg::ButtonsOkCancel, message, subMessage, questionTitle());
}

int cMessage2::MsgQuestionYesNo(const QString& message, const QString& subMessage)
{
    return ShowMessageBox(msg::IconQuestion | msg::ButtonsYesNo, message, subMessage, questionTitle());
}

int cMessage2::MsgQuestionYesNoCancel(const QString& message, const QString& subMessage)
{
    return ShowMessageBox(msg::IconQuestion | msg::ButtonsYesNoCancel, message, subMessage, questionTitle());
}

int cMessage2::MsgWarning(const QString& message, const QString& subMessage)
{
    return ShowMessageBox(msg::IconWarning | msg::ButtonsOk, message, subMessage, warningTitle());
}

int cMessage2::MsgInfo(const QString& message, const QString& subMessage)
{
    return ShowMessageBox(msg::IconInformation | msg::ButtonsOk, message, subMessage, infoTitle());
}

int cMessage2::MsgError(const QString& message, const QString& subMessage)
{
    return ShowMessageBox(msg::IconError | msg::ButtonsOk, message, subMessage, errorTitle());
}

QString cMessage2::MsgInputBox(const QString& message, const QString& subMessage, QString& text, const QString& title)
{
    m_inputText = text;
    const int code = ShowMessageBox(msg::ButtonsInput, message, subMessage, title.isEmpty() ? LibraryTitle() : title);
    if (code == msg::OK)
        text = m_inputText;
    return QString::number(code);
}

int cMessage2::MsgQuestionUDT(const QString& message, const QString& subMessage, const QString& caption1,
                              const QString& caption2, const QString& caption3)
{
    if (caption1.isEmpty() && caption2.isEmpty() && caption3.isEmpty())
        return ShowMessageBox(msg::IconWarning, message, subMessage, warningTitle());
    return ShowMessageBox(msg::IconQuestion | msg::ButtonsCustom, message, subMessage, questionTitle(),
                          {caption1, caption2, caption3});
}

}  // namespace lg
