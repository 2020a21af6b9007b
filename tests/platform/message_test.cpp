#include <gtest/gtest.h>

#include "platform/message.h"

#include <functional>

using namespace lg;

namespace {

struct BoxCase {
    const char* name;
    std::function<int(cMessage2&)> call;
    int typeCode;
    QString title;
    QStringList captions;
    QList<int> codes;
    int closeResult;
    MessageIcon icon;
};

QList<BoxCase> boxCases()
{
    const QString ok = QStringLiteral("&OK"), cancel = QStringLiteral("&Mégsem");
    const QString yes = QStringLiteral("&Igen"), no = QStringLiteral("&Nem");
    const QString question = QStringLiteral("Kérdés!");
    return {
        {"OkCancel",
         [](cMessage2& m) { return m.MsgQuestionOkCancel(QStringLiteral("m"), QStringLiteral("s")); },
         33,
         question,
         {ok, cancel},
         {0, 1},
         1,
         MessageIcon::Question},
        {"YesNo",
         [](cMessage2& m) { return m.MsgQuestionYesNo(QStringLiteral("m"), QStringLiteral("s")); },
         35,
         question,
         {yes, no},
         {2, 3},
         3,
         MessageIcon::Question},
        {"YesNoCancel",
         [](cMessage2& m) { return m.MsgQuestionYesNoCancel(QStringLiteral("m"), QStringLiteral("s")); },
         34,
         question,
         {yes, no, cancel},
         {2, 3, 1},
         1,
         MessageIcon::Question},
        {"Warning",
         [](cMessage2& m) { return m.MsgWarning(QStringLiteral("m"), QStringLiteral("s")); },
         128,
         QStringLiteral("Figyelem!"),
         {ok},
         {0},
         0,
         MessageIcon::Warning},
        {"Info",
         [](cMessage2& m) { return m.MsgInfo(QStringLiteral("m"), QStringLiteral("s")); },
         64,
         QStringLiteral("Információ"),
         {ok},
         {0},
         0,
         MessageIcon::Information},
        {"Error",
         [](cMessage2& m) { return m.MsgError(QStringLiteral("m"), QStringLiteral("s")); },
         16,
         QStringLiteral("Hiba!"),
         {ok},
         {0},
         0,
         MessageIcon::Error},
    };
}

}  // namespace

TEST(MessageService, EveryBoxShowsItsButtonsAndAnswersWithTheirCodes)
{
    for (const BoxCase& c : boxCases()) {
        SCOPED_TRACE(c.name);
        auto presenter = std::make_shared<ScriptedMessagePresenter>();
        cMessage2 service(presenter);

        for (int i = 0; i < c.codes.size(); ++i)
            presenter->clickButton(i);
        for (int i = 0; i < c.codes.size(); ++i)
            EXPECT_EQ(c.call(service), c.codes[i]) << "button " << i;
        // Script used up: the box is closed with its close box.
        EXPECT_EQ(c.call(service), c.closeResult);

        ASSERT_FALSE(presenter->requests().isEmpty());
        const MessageRequest& r = presenter->requests().first();
        EXPECT_EQ(r.typeCode, c.typeCode);
        EXPECT_EQ(r.title, c.title);
        EXPECT_EQ(r.captions, c.captions);
        EXPECT_EQ(r.codes, c.codes);
        EXPECT_EQ(r.defaultResult, c.closeResult);
        EXPECT_EQ(r.icon, c.icon);
        EXPECT_EQ(r.message, QStringLiteral("m"));
        EXPECT_EQ(r.subMessage, QStringLiteral("s"));
        EXPECT_FALSE(r.inputMode);
    }
}

TEST(MessageService, RetryAndNewItemBoxes)
{
    auto presenter = std::make_shared<ScriptedMessagePresenter>();
    cMessage2 service(presenter);

    presenter->clickButton(0);
    EXPECT_EQ(service.ShowMessageBox(4, QStringLiteral("m"), {}, QStringLiteral("t")), msg::Retry);
    EXPECT_EQ(presenter->requests().last().captions,
              QStringList({QStringLiteral("Új&ból"), QStringLiteral("&Mégsem")}));
    EXPECT_EQ(service.ShowMessageBox(4, QStringLiteral("m"), {}, QStringLiteral("t")), msg::Cancel);

    presenter->clickButton(0);
    EXPECT_EQ(service.ShowMessageBox(5, QStringLiteral("m"), {}, QStringLiteral("t")), msg::NewItem);
    EXPECT_EQ(presenter->requests().last().captions,
              QStringList({QStringLiteral("Új &elem"), QStringLiteral("&Mégsem")}));
    EXPECT_EQ(service.ShowMessageBox(5, QStringLiteral("m"), {}, QStringLiteral("t")), msg::Cancel);
    EXPECT_EQ(presenter->requests().last().title, QStringLiteral("t"));
    EXPECT_EQ(presenter->requests().last().icon, MessageIcon::None);
}

TEST(MessageService, IconBitsAreTestedErrorFirst)
{
    EXPECT_EQ(iconForType(16 | 32 | 64 | 128), MessageIcon::Error);
    EXPECT_EQ(iconForType(32 | 64 | 128), MessageIcon::Question);
    EXPECT_EQ(iconForType(64 | 128 | 3), MessageIcon::Information);
    EXPECT_EQ(iconForType(128 | 7), MessageIcon::Warning);
    EXPECT_EQ(iconForType(15), MessageIcon::None);
}

TEST(MessageService, AnswerOutsideTheButtonsCountsAsClosing)
{
    auto presenter = std::make_shared<ScriptedMessagePresenter>();
    cMessage2 service(presenter);
    presenter->clickButton(2);  // a Yes/No box has only two buttons
    EXPECT_EQ(service.MsgQuestionYesNo(QStringLiteral("m")), msg::No);
    EXPECT_EQ(presenter->requests().last().subMessage, QString());
}

TEST(MessageService, InputBoxOkTakesTheTextCancelKeepsIt)
{
    auto presenter = std::make_shared<ScriptedMessagePresenter>();
    cMessage2 service(presenter);

    QString text = QStringLiteral("előző");
    presenter->clickButton(0, QStringLiteral("új szöveg"));
    EXPECT_EQ(service.MsgInputBox(QStringLiteral("Jelszó: "), QString(), text), QStringLiteral("0"));
    EXPECT_EQ(text, QStringLiteral("új szöveg"));
    EXPECT_EQ(service.GetInputText(), QStringLiteral("új szöveg"));

    const MessageRequest& first = presenter->requests().last();
    EXPECT_TRUE(first.inputMode);
    EXPECT_EQ(first.typeCode, 6);
    EXPECT_EQ(first.inputText, QStringLiteral("előző"));  // pre-filled with the caller's text
    EXPECT_EQ(first.codes, QList<int>({0, 1}));
    EXPECT_FALSE(first.title.isEmpty());  // the library's title stands in for a missing one

    presenter->clickButton(1, QStringLiteral("eldobott"));
    EXPECT_EQ(service.MsgInputBox(QStringLiteral("m"), text), QStringLiteral("1"));
    EXPECT_EQ(text, QStringLiteral("új szöveg"));

    presenter->closeBox();
    EXPECT_EQ(service.MsgInputBox(QStringLiteral("m"), QStringLiteral("s"), text, QStringLiteral("Cím")),
              QStringLiteral("1"));
    EXPECT_EQ(text, QStringLiteral("új szöveg"));
    EXPECT_EQ(presenter->requests().last().title, QStringLiteral("Cím"));
}

TEST(MessageService, CallerDefinedButtonsKeepTheirPositionAsCode)
{
    auto presenter = std::make_shared<ScriptedMessagePresenter>();
    cMessage2 service(presenter);

    presenter->clickButton(2);
    EXPECT_EQ(
        service.MsgQuestionUDT(QStringLiteral("m"), {}, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")),
        2);
    MessageRequest r = presenter->requests().last();
    EXPECT_EQ(r.typeCode, 39);
    EXPECT_EQ(r.title, QStringLiteral("Kérdés!"));
    EXPECT_EQ(r.captions, QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(service.buttonCount(), 3);

    // A gap keeps the later button's code.
    presenter->clickButton(1);
    EXPECT_EQ(service.MsgQuestionUDT(QStringLiteral("m"), {}, QStringLiteral("A"), {}, QStringLiteral("C")), 2);
    EXPECT_EQ(presenter->requests().last().captions, QStringList({QStringLiteral("A"), QStringLiteral("C")}));

    // Closed without a choice: none of the callers' codes.
    EXPECT_EQ(service.MsgQuestionUDT(QStringLiteral("m"), {}, QStringLiteral("A")), msg::None);

    // Without captions it is a warning with OK.
    presenter->clickButton(0);
    EXPECT_EQ(service.MsgQuestionUDT(QStringLiteral("m")), msg::OK);
    r = presenter->requests().last();
    EXPECT_EQ(r.typeCode, 128);
    EXPECT_EQ(r.title, QStringLiteral("Figyelem!"));
    EXPECT_EQ(r.captions, QStringList({QStringLiteral("&OK")}));
}

TEST(MessageService, NewServicesUseTheInstalledPresenter)
{
    auto installed = std::make_shared<ScriptedMessagePresenter>();
    setMessagePresenterFactory([installed] { return installed; });
    cMessage2 service;
    service.MsgInfo(QStringLiteral("x"));
    EXPECT_EQ(installed->requests().size(), 1);

    setMessagePresenterFactory({});
    cMessage2 headless;
    EXPECT_NE(dynamic_cast<ScriptedMessagePresenter*>(&headless.presenter()), nullptr);
    EXPECT_EQ(headless.MsgQuestionYesNo(QStringLiteral("x")), msg::No);
}
