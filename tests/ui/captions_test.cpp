#include <gtest/gtest.h>

#include "platform/strings.h"
#include "ui/captions.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

using namespace lg;

TEST(Captions, TaggedWidgetsGetTheirTextsOthersKeepTheirs)
{
    QDialog form;
    form.setWindowTitle(QStringLiteral("régi"));
    form.setProperty(kCaptionTag, 100);
    auto* label = new QLabel(QStringLiteral("x"), &form);
    label->setProperty(kCaptionTag, 1000);
    auto* button = new QPushButton(QStringLiteral("x"), &form);
    button->setProperty(kCaptionTag, QStringLiteral(" 3001 "));
    auto* group = new QGroupBox(QStringLiteral("x"), &form);
    group->setProperty(kCaptionTag, 30410);
    auto* check = new QCheckBox(QStringLiteral("x"), group);  // nested
    check->setProperty(kCaptionTag, 30035);

    auto* untagged = new QLabel(QStringLiteral("marad"), &form);
    auto* unknown = new QLabel(QStringLiteral("marad"), &form);
    unknown->setProperty(kCaptionTag, 99999);
    auto* notANumber = new QLabel(QStringLiteral("marad"), &form);
    notANumber->setProperty(kCaptionTag, QStringLiteral("lbl"));
    auto* edit = new QLineEdit(QStringLiteral("marad"), &form);  // has no caption
    edit->setProperty(kCaptionTag, 100);

    LoadCaptions(&form);

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Dinamikus listagenerátor"));
    EXPECT_EQ(label->text(), QStringLiteral("Tulajdonos:"));
    EXPECT_EQ(button->text(), QStringLiteral("<< &Vissza"));
    EXPECT_EQ(group->title(), QStringLiteral("Tábla adatai"));
    EXPECT_EQ(check->text(), QStringLiteral("Részlet elrejtése:"));
    EXPECT_EQ(untagged->text(), QStringLiteral("marad"));
    EXPECT_EQ(unknown->text(), QStringLiteral("marad"));
    EXPECT_EQ(notANumber->text(), QStringLiteral("marad"));
    EXPECT_EQ(edit->text(), QStringLiteral("marad"));

    LoadCaptions(nullptr);  // harmless

    // A host that chose English gets English captions on the forms it
    // builds afterwards.
    setUiLanguage(UiLanguage::English);
    LoadCaptions(&form);
    setUiLanguage(UiLanguage::Hungarian);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Dynamic list generator"));
    EXPECT_EQ(button->text(), QStringLiteral("<< &Back"));
    EXPECT_EQ(group->title(), QStringLiteral("Table details"));
    EXPECT_EQ(untagged->text(), QStringLiteral("marad"));
}

TEST(Colours, WindowsCodesAndSystemColours)
{
    QPalette p;
    p.setColor(QPalette::ToolTipBase, QColor(1, 2, 3));
    p.setColor(QPalette::Highlight, QColor(4, 5, 6));
    p.setColor(QPalette::Base, QColor(7, 8, 9));
    p.setColor(QPalette::ButtonText, QColor(10, 11, 12));

    EXPECT_EQ(colorFromWin(wincolor::SysInfoBackground, p), QColor(1, 2, 3));
    EXPECT_EQ(colorFromWin(wincolor::SysHighlight, p), QColor(4, 5, 6));
    EXPECT_EQ(colorFromWin(0x80000005, p), QColor(7, 8, 9));
    EXPECT_EQ(colorFromWin(0x80000012, p), QColor(10, 11, 12));
    EXPECT_FALSE(colorFromWin(0x80000040, p).isValid());

    // Plain colours are blue-green-red from the high byte down.
    EXPECT_EQ(colorFromWin(wincolor::Red, p), QColor(255, 0, 0));
    EXPECT_EQ(colorFromWin(0x00FF8000, p), QColor(0, 0x80, 0xFF));
    EXPECT_EQ(colorFromWin(wincolor::DisabledLight, p), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(colorFromWin(wincolor::White, p), QColor(Qt::white));
}

namespace {

class vW_TestInput : public QWidget {
public:
    using QWidget::QWidget;
};

}  // namespace

TEST(Theme, AppliesToWhatEachWidgetHas)
{
    setThemeColor(QColor(200, 210, 220));
    QWidget form;
    auto* radio = new QRadioButton(&form);
    auto* own = new vW_TestInput(&form);
    own->setObjectName(QStringLiteral("vW_date"));
    auto* picture = new QWidget(&form);
    picture->setObjectName(QStringLiteral("pic_logo"));
    auto* styled = new QLabel(&form);
    styled->setProperty("Background", QColor());
    styled->setProperty("BackColorDisabled", QColor());
    auto* plain = new QLabel(&form);
    const QColor plainBefore = plain->palette().color(QPalette::Window);

    SetCaptionsVisualTheme(&form);

    EXPECT_EQ(radio->palette().color(QPalette::Window), QColor(200, 210, 220));
    EXPECT_EQ(own->palette().color(QPalette::Window), QColor(200, 210, 220));
    EXPECT_EQ(picture->palette().color(QPalette::Window), QColor(200, 210, 220));
    EXPECT_EQ(styled->property("Background").value<QColor>(), QColor(200, 210, 220));
    EXPECT_EQ(styled->property("BackColorDisabled").value<QColor>(), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(plain->palette().color(QPalette::Window), plainBefore);
    EXPECT_FALSE(plain->property("Background").isValid());  // not added where missing

    setThemeColor(QColor());
    EXPECT_EQ(themeColor(), QApplication::palette().color(QPalette::Window));
}
