#include <gtest/gtest.h>

#include "platform/errorhandler.h"
#include "platform/message.h"
#include "store/context.h"
#include "store/errors.h"

#include <QtCore/QObject>

using namespace lg;

namespace {

class ErrorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Context::reset();
        presenter = std::make_shared<ScriptedMessagePresenter>();
        ctx().messages = std::make_shared<cMessage2>(presenter);
    }
    void TearDown() override { Context::reset(); }

    std::shared_ptr<ScriptedMessagePresenter> presenter;
};

}  // namespace

TEST_F(ErrorsTest, ShowErrorsShowsAllInOneBoxAndEmptiesTheCollection)
{
    AddError(10, QStringLiteral("A táblanév megadása kötelező!"));
    AddError(10, QStringLiteral("A fizikai táblanév megadása kötelező!"));
    AddError(errnum::ElementIsTemporary, QStringLiteral("This element is temporary"));
    ASSERT_EQ(ctx().currentErrors().Count(), 3);

    ShowErrors();

    ASSERT_EQ(presenter->requests().size(), 1);
    const MessageRequest& box = presenter->requests().first();
    EXPECT_EQ(box.message, QStringLiteral("A táblanév megadása kötelező!\r\n"
                                          "A fizikai táblanév megadása kötelező!\r\n"
                                          "This element is temporary\r\n"));
    EXPECT_EQ(box.title, QStringLiteral("Hiba!"));
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_EQ(ctx().currentErrors().Count(), 0);

    // Nothing collected: nothing shown.
    ShowErrors();
    EXPECT_EQ(presenter->requests().size(), 1);
}

TEST_F(ErrorsTest, CollectionIsOneBasedAndForgiving)
{
    QObject owner;
    AddError(1, QStringLiteral("első"), &owner);
    AddError(2, QStringLiteral("második"));
    Errors& errors = ctx().currentErrors();

    EXPECT_EQ(errors.Item(1)->Number(), 1);
    EXPECT_EQ(errors.Item(2)->description(), QStringLiteral("második"));
    EXPECT_EQ(errors.Item(1)->SourceObject(), nullptr);  // the given object is not kept
    EXPECT_EQ(errors.Item(0), nullptr);
    EXPECT_EQ(errors.Item(3), nullptr);
    EXPECT_EQ(errors.Item(-1), nullptr);
    EXPECT_EQ(errors.Item(QVariant(2))->Number(), 2);
    EXPECT_EQ(errors.Item(QVariant(QStringLiteral("R1"))), nullptr);
    EXPECT_EQ(errors.Item(QVariant()), nullptr);

    QStringList seen;
    for (const auto& e : errors)
        seen << e->description();
    EXPECT_EQ(seen, QStringList({QStringLiteral("első"), QStringLiteral("második")}));

    errors.setDescriptionLanguage(QStringLiteral("hu"));
    EXPECT_EQ(errors.DescriptionLanguage(), QStringLiteral("hu"));
    errors.Clear();
    EXPECT_EQ(errors.Count(), 0);
}

TEST_F(ErrorsTest, NewErrorsDropsWhatWasCollected)
{
    AddError(1, QStringLiteral("régi"));
    Handler handler;
    auto before = handler.Errors();
    ctx().newErrors();
    EXPECT_EQ(ctx().currentErrors().Count(), 0);
    EXPECT_NE(handler.Errors(), before);
    EXPECT_EQ(handler.Errors().get(), &ctx().currentErrors());
}

TEST_F(ErrorsTest, UserFacingHandlerUsesTheContextDialog)
{
    auto dialog = std::make_shared<ScriptedErrorDialog>();
    ctx().errorDialog = dialog;
    dialog->answerContinue();
    EXPECT_FALSE(runUserFacing(QStringLiteral("vlqTabula2.ListWizard"), QStringLiteral("ShowReport"),
                               [] { throw RuntimeError(3078, QStringLiteral("x"), QStringLiteral("no table")); }));
    ASSERT_EQ(dialog->shown().size(), 1);
    EXPECT_EQ(dialog->shown().first().error.source(), QStringLiteral("vlqTabula2.ListWizardShowReport"));
}
