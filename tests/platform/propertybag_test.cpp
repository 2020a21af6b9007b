#include "platform/propertybag.h"
#include "platform/runtimeerror.h"

#include <QtCore/QObject>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Sample : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString caption MEMBER caption)
    Q_PROPERTY(int width MEMBER width)
    Q_PROPERTY(bool visible MEMBER visible)
    Q_PROPERTY(uint backColor MEMBER backColor)

public:
    QString caption;
    int width = -1;
    bool visible = false;
    uint backColor = 0;
};

const lg::PersistedProperty kTable[] = {
    {"caption", QStringLiteral("Caption")},
    {"width", 2000},
    {"visible", true},
    {"backColor", 0x80000018u, "BackColorActive"},
};

}  // namespace

TEST(PropertyBag, NewInstanceGetsDefaultsAndSavesNothing)
{
    Sample s;
    lg::initProperties(&s, kTable);
    EXPECT_EQ(s.caption, "Caption");
    EXPECT_EQ(s.width, 2000);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.backColor, 0x80000018u);

    lg::MemoryPropertyBag bag;
    lg::writeProperties(&s, bag, kTable);
    EXPECT_TRUE(bag.values().isEmpty());
    EXPECT_FALSE(bag.isChanged());
}

TEST(PropertyBag, ChangedValuesRoundTripUnderTheirKeys)
{
    Sample s;
    lg::initProperties(&s, kTable);
    s.caption = QStringLiteral("Partner");
    s.backColor = 0xFFFFFF;

    lg::MemoryPropertyBag bag;
    lg::writeProperties(&s, bag, kTable);
    EXPECT_TRUE(bag.isChanged());
    EXPECT_EQ(bag.values().keys(), (QStringList{"BackColorActive", "caption"}));

    Sample loaded;
    lg::readProperties(&loaded, bag, kTable);
    EXPECT_EQ(loaded.caption, "Partner");
    EXPECT_EQ(loaded.width, 2000);
    EXPECT_EQ(loaded.backColor, 0xFFFFFFu);

    // Setting a value back to its default removes the key again.
    bag.setChanged(false);
    bag.write(QStringLiteral("caption"), QStringLiteral("Caption"), QStringLiteral("Caption"));
    EXPECT_TRUE(bag.isChanged());
    EXPECT_FALSE(bag.contains(QStringLiteral("caption")));
    // Writing what is already stored is no change.
    bag.setChanged(false);
    bag.write(QStringLiteral("BackColorActive"), 0xFFFFFFu, 0x80000018u);
    EXPECT_FALSE(bag.isChanged());
}

TEST(PropertyBag, SettingsBagReadsBackInTheDefaultsTypes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("form.ini"));
    {
        QSettings settings(file, QSettings::IniFormat);
        lg::SettingsPropertyBag bag(settings, QStringLiteral("Filter1"));
        Sample s;
        lg::initProperties(&s, kTable);
        s.visible = false;
        s.width = 1500;
        lg::writeProperties(&s, bag, kTable);
        EXPECT_TRUE(bag.isChanged());
    }
    QSettings settings(file, QSettings::IniFormat);
    lg::SettingsPropertyBag bag(settings, QStringLiteral("Filter1"));
    EXPECT_EQ(bag.read(QStringLiteral("visible"), true), QVariant(false));
    Sample loaded;
    lg::readProperties(&loaded, bag, kTable);
    EXPECT_FALSE(loaded.visible);
    EXPECT_EQ(loaded.width, 1500);
    EXPECT_EQ(loaded.caption, "Caption");
}

TEST(PropertyBag, StoredValueOfTheWrongKindFallsBackToTheDefault)
{
    lg::MemoryPropertyBag bag;
    bag.write(QStringLiteral("width"), QStringLiteral("wide"));
    Sample s;
    lg::readProperties(&s, bag, kTable);
    EXPECT_EQ(s.width, 2000);
}

TEST(PropertyBag, UnknownPropertyIsAnError)
{
    const lg::PersistedProperty bad[] = {{"nosuch", 1}};
    Sample s;
    EXPECT_THROW(lg::initProperties(&s, bad), lg::RuntimeError);
}

#include "propertybag_test.moc"
