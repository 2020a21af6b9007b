#include <gtest/gtest.h>

#include "platform/message.h"
#include "store/context.h"
#include "ui/about.h"
#include "ui/errordialog.h"
#include "ui/messagebox.h"
#include "uitest.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

using namespace lg;
using lg::test::whenModal;

namespace {

QPushButton* button(QWidget* dialog, const char* name)
{
    return dialog->findChild<QPushButton*>(QLatin1String(name));
}

}  // namespace

TEST(MessageBoxForm, ShowsWhatTheRequestAsksFor)
{
    frmMessage box;
    MessageRequest r = cMessage2::buildRequest(34, QStringLiteral("Biztosan?"), QString(), QStringLiteral("Kérdés!"));
    box.configure(r);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Kérdés!"));
    EXPECT_EQ(box.lblMessage->text(), QStringLiteral("Biztosan?"));
    EXPECT_TRUE(box.lblSubMessage->isHidden());
    EXPECT_TRUE(box.txtInput->isHidden());
    EXPECT_FALSE(box.lblIcon->isHidden());
    EXPECT_EQ(box.cmdButtons[0]->text(), QStringLiteral("&Igen"));
    EXPECT_EQ(box.cmdButtons[2]->text(), QStringLiteral("&Mégsem"));
    EXPECT_FALSE(box.cmdButtons[2]->isHidden());

    r = cMessage2::buildRequest(6, QStringLiteral("Jelszó: "), QStringLiteral("második sor"), QStringLiteral("t"));
    r.inputText = QStringLiteral("előtöltve");
    box.configure(r);
    EXPECT_FALSE(box.lblSubMessage->isHidden());
    EXPECT_FALSE(box.txtInput->isHidden());
    EXPECT_EQ(box.txtInput->text(), QStringLiteral("előtöltve"));
    EXPECT_TRUE(box.lblIcon->isHidden());
    EXPECT_TRUE(box.cmdButtons[2]->isHidden());
    EXPECT_EQ(box.answer().button, -1);
}

TEST(MessageBoxForm, ClicksAndTheCloseBoxReachTheCaller)
{
    auto box = std::make_shared<frmMessage>();
    cMessage2 service(box);

    whenModal([](QWidget* w) { button(w, "cmdButton1")->click(); });
    EXPECT_EQ(service.MsgQuestionYesNoCancel(QStringLiteral("m")), msg::No);

    whenModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(service.MsgQuestionYesNo(QStringLiteral("m")), msg::No);

    whenModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(service.MsgQuestionOkCancel(QStringLiteral("m")), msg::Cancel);

    QString text = QStringLiteral("régi");
    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>(QStringLiteral("txtInput"))->setText(QStringLiteral("lampa"));
        button(w, "cmdButton0")->click();
    });
    EXPECT_EQ(service.MsgInputBox(QStringLiteral("Jelszó: "), text), QStringLiteral("0"));
    EXPECT_EQ(text, QStringLiteral("lampa"));

    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>(QStringLiteral("txtInput"))->setText(QStringLiteral("eldobva"));
        button(w, "cmdButton1")->click();
    });
    EXPECT_EQ(service.MsgInputBox(QStringLiteral("Jelszó: "), text), QStringLiteral("1"));
    EXPECT_EQ(text, QStringLiteral("lampa"));
}

TEST(MessageBoxForm, InstalledAsTheLibraryPresenter)
{
    installMessageBoxPresenter();
    Context::reset();
    EXPECT_NE(dynamic_cast<frmMessage*>(&ctx().messageService().presenter()), nullptr);
    setMessagePresenterFactory({});
    Context::reset();
    EXPECT_NE(dynamic_cast<ScriptedMessagePresenter*>(&ctx().messageService().presenter()), nullptr);
}

TEST(ErrorDialogForm, ShowsTheErrorAndReportsTheChoice)
{
    frmErrorDialog dialog;
    const RuntimeError error(3078, QStringLiteral("vlqTabula2.ListWizardShowReport"),
                             QStringLiteral("no such table\r\nmodTables in Function OpenTable "));

    dialog.configure(QStringLiteral("Váratlan hiba történt."), QStringLiteral("Hibakezelő"), error);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Hibakezelő"));
    EXPECT_EQ(dialog.lblMessage->text(), QStringLiteral("Váratlan hiba történt."));
    EXPECT_EQ(dialog.lblNumber->text(), QStringLiteral("3078"));
    EXPECT_EQ(dialog.lblSource->text(), QStringLiteral("vlqTabula2.ListWizardShowReport"));
    EXPECT_EQ(dialog.txtTrace->toPlainText(), QStringLiteral("no such table\nmodTables in Function OpenTable "));

    struct Case {
        const char* button;
        bool retry;
        bool cont;
    };
    for (const Case& c : {Case{"cmdRetry", true, false}, Case{"cmdContinue", false, true},
                          Case{"cmdGiveUp", false, false}, Case{nullptr, false, false}}) {
        SCOPED_TRACE(c.button ? c.button : "close box");
        whenModal([&c](QWidget* w) {
            if (c.button)
                button(w, c.button)->click();
            else
                w->close();
        });
        const ErrorDialogAnswer a = dialog.show(QStringLiteral("m"), QStringLiteral("t"), error);
        EXPECT_EQ(a.retry, c.retry);
        EXPECT_EQ(a.continueAfter, c.cont);
    }
}

TEST(ErrorDialogForm, UserFacingRunThroughTheInstalledDialog)
{
    installErrorDialog();
    Context::reset();
    int runs = 0;
    whenModal([](QWidget* w) {
        button(w, "cmdRetry")->click();
        whenModal([](QWidget* again) { button(again, "cmdContinue")->click(); });
    });
    // Retry, then Continue: the export did not happen, so the caller hears false.
    EXPECT_FALSE(runUserFacing(QStringLiteral("vlqTabula2.ListWizard"), QStringLiteral("ExcelExport"), [&] {
        ++runs;
        throw RuntimeError(1004, QStringLiteral("Excel"), QStringLiteral("automation failed"));
    }));
    EXPECT_EQ(runs, 2);
    setErrorDialogFactory({});
    Context::reset();
}

TEST(AboutBox, TitleVersionAndSystemInformation)
{
    frmAbout about(nullptr, QStringLiteral("Listák"), QStringLiteral("2.5"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Listák névjegye"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Listák"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Verzió 2.5.0"));

    frmAbout library;
    EXPECT_EQ(library.lblTitle->text(), QStringLiteral("Dinamikus listagenerátor"));
    EXPECT_TRUE(library.lblVersion->text().startsWith(QStringLiteral("Verzió ")));
    EXPECT_EQ(library.lblVersion->text().count(QLatin1Char('.')), 2);

    Context::reset();
    auto presenter = std::make_shared<ScriptedMessagePresenter>();
    ctx().messages = std::make_shared<cMessage2>(presenter);
    library.cmdSysInfo->click();
    ASSERT_EQ(presenter->requests().size(), 1);
    const QString info = presenter->requests().first().message;
    EXPECT_TRUE(info.contains(QStringLiteral("Qt: ") + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(info.contains(QStringLiteral("SQLite: 3.")));
    Context::reset();
}
