#pragma once

// The library-wide message and input box service. cMessage2 decides what a box
// shows (buttons, codes, icon, title) and what the caller gets back; showing
// it is left to a MessagePresenter, so the logic runs unchanged headless.
//
// A type code selects the buttons with its low four bits and the icon with the
// bits 16 (error), 32 (question), 64 (information) and 128 (warning):
//
//   0  "&OK"                               close box: 0
//   1  "&OK" "&Mégsem"                     close box: 1
//   2  "&Igen" "&Nem" "&Mégsem"            close box: 1
//   3  "&Igen" "&Nem"                      close box: 3
//   4  "Új&ból" "&Mégsem"                  close box: 1
//   5  "Új &elem" "&Mégsem"                close box: 1
//   6  input box, OK / Cancel              close box: 1
//   7  up to three captions of the caller, codes 0, 1, 2 by position (an
//      empty caption leaves its button out);
//      close box: -1 (none of them)

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <deque>
#include <functional>
#include <memory>

namespace lg {

// Button codes returned by the boxes.
namespace msg {
constexpr int OK = 0;
constexpr int Cancel = 1;
constexpr int Yes = 2;
constexpr int No = 3;
constexpr int NewItem = 4;
constexpr int Retry = 5;
constexpr int None = -1;  // a caller-defined box closed without a choice

// Type codes.
constexpr int ButtonsOk = 0;
constexpr int ButtonsOkCancel = 1;
constexpr int ButtonsYesNoCancel = 2;
constexpr int ButtonsYesNo = 3;
constexpr int ButtonsRetryCancel = 4;
constexpr int ButtonsNewItemCancel = 5;
constexpr int ButtonsInput = 6;
constexpr int ButtonsCustom = 7;
constexpr int IconError = 16;
constexpr int IconQuestion = 32;
constexpr int IconInformation = 64;
constexpr int IconWarning = 128;
}  // namespace msg

enum class MessageIcon { None, Error, Question, Information, Warning };

// The icon a type code asks for; the first of error, question, information,
// warning whose bit is set.
MessageIcon iconForType(int typeCode);

// Everything a presenter needs to show one box.
struct MessageRequest {
    int typeCode = 0;
    MessageIcon icon = MessageIcon::None;
    QString title;
    QString message;
    QString subMessage;     // the second label; hidden when empty
    QStringList captions;   // buttons, left to right
    QList<int> codes;       // the code of each button
    int defaultResult = 0;  // the code when the box is closed otherwise
    bool inputMode = false;
    QString inputText;  // pre-filled text of the input box
};

// What the user did: the index of the clicked button, or -1 for the close box
// (Esc, the window's close button), and the text typed into the input box.
struct MessageAnswer {
    int button = -1;
    QString text;
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows the box modally and reports the user's choice.
    virtual MessageAnswer present(const MessageRequest& request) = 0;
    // Lays the open box out again for its texts and buttons.
    virtual void relayout() {}
};

// A presenter that answers from a script instead of a person; used headless and
// in tests. Every request is recorded. With the script used up it answers as
// if the box had been closed with its close box.
class ScriptedMessagePresenter : public MessagePresenter {
public:
    MessageAnswer present(const MessageRequest& request) override;

    void enqueue(const MessageAnswer& answer) { m_script.push_back(answer); }
    void clickButton(int index, const QString& text = {}) { enqueue({index, text}); }
    void closeBox() { enqueue({-1, {}}); }

    const QList<MessageRequest>& requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    std::size_t pendingAnswers() const { return m_script.size(); }

private:
    std::deque<MessageAnswer> m_script;
    QList<MessageRequest> m_requests;
};

// The presenter new message services get. The user interface installs its own
// factory at start-up; without one a ScriptedMessagePresenter is used.
using MessagePresenterFactory = std::function<std::shared_ptr<MessagePresenter>()>;
void setMessagePresenterFactory(MessagePresenterFactory factory);
std::shared_ptr<MessagePresenter> createMessagePresenter();

class cMessage2 {
public:
    explicit cMessage2(std::shared_ptr<MessagePresenter> presenter = {});

    MessagePresenter& presenter() const { return *m_presenter; }

    int MsgQuestionOkCancel(const QString& message, const QString& subMessage = {});
    int MsgQuestionYesNo(const QString& message, const QString& subMessage = {});
    int MsgQuestionYesNoCancel(const QString& message, const QString& subMessage = {});
    int MsgWarning(const QString& message, const QString& subMessage = {});
    int MsgInfo(const QString& message, const QString& subMessage = {});
    int MsgError(const QString& message, const QString& subMessage = {});

    // The input box: returns the button code as text ("0" OK, "1" Cancel).
    // On OK `text` receives the entered text; otherwise it stays as it was.
    // The box is pre-filled with `text` and titled with `title` (the
    // library's title when empty).
    QString MsgInputBox(const QString& message, const QString& subMessage, QString& text, const QString& title = {});
    QString MsgInputBox(const QString& message, QString& text) { return MsgInputBox(message, QString(), text); }

    // A question with up to three buttons of the caller; codes 0, 1, 2 by
    // position. Without any caption it becomes a warning with an OK button.
    int MsgQuestionUDT(const QString& message, const QString& subMessage = {}, const QString& caption1 = {},
                       const QString& caption2 = {}, const QString& caption3 = {});

    // Shows a box of the given type code; `captions` are used for type 7.
    int ShowMessageBox(int typeCode, const QString& message, const QString& subMessage, const QString& title,
                       const QStringList& captions = {});

    void ResizeMessageForm();

    QString GetInputText() const { return m_inputText; }
    void SetInputText(const QString& text) { m_inputText = text; }

    // State of the last box shown.
    bool inputMode() const { return m_inputMode; }
    const QList<int>& buttonCodes() const { return m_codes; }
    int buttonCount() const { return static_cast<int>(m_codes.size()); }
    int defaultResult() const { return m_defaultResult; }

    // The request ShowMessageBox would hand to the presenter.
    static MessageRequest buildRequest(int typeCode, const QString& message, const QString& subMessage,
                                       const QString& title, const QStringList& captions = {});

private:
    std::shared_ptr<MessagePresenter> m_presenter;
    QString m_inputText;
    bool m_inputMode = false;
    QList<int> m_codes;
    int m_defaultResult = 0;
};

}  // namespace lg
