#include <gtest/gtest.h>

#include "filters/widgets/vw_filtercontrol.h"
#include "filters/widgets/vw_querycheckbox.h"
#include "filters/widgets/vw_querylistboxfilter.h"
#include "filters/widgets/vw_querytextfilter.h"
#include "filters/widgets/vw_querytlistboxfilter.h"
#include "platform/propertybag.h"

#include <QtCore/QMetaProperty>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QLabel>

#include <memory>

using namespace lg;
using namespace lg::filters;

namespace {

const QStringList kContract = {
    QStringLiteral("QueryField"),     QStringLiteral("QueryFieldDescription"), QStringLiteral("QueryResultSQL"),
    QStringLiteral("QueryResultFilter"), QStringLiteral("QueryResultDescription"), QStringLiteral("QueryCheckValue"),
    QStringLiteral("QueryCheckVisible"), QStringLiteral("Caption"), QStringLiteral("CaptionVisible"),
    QStringLiteral("CaptionWidth"), QStringLiteral("CaptionForeColor"), QStringLiteral("Enabled"),
    QStringLiteral("BackColor"), QStringLiteral("Version")};

}  // namespace

// Every property the controls document exists under its name and announces
// its changes (only the constant ones have no signal).
TEST(FilterWidgets, DocumentedPropertiesExistAndNotify)
{
    struct Case {
        const char* name;
        std::unique_ptr<QWidget> widget;
        QStringList properties;
    };
    std::vector<Case> cases;
    cases.push_back({"vW_FilterControl", std::make_unique<vW_FilterControl>(),
                     {"Enabled", "InputType", "Font", "MinDate", "MaxDate", "Value", "Text", "Week", "Year", "Month",
                      "Day", "FilterValue", "BorderVisible", "BorderWidth", "BorderColor", "BackColor",
                      "BackColorActive", "BackColorDisabled", "ForeColor", "ForeColorActive", "ForeColorDisabled",
                      "Background", "FormatString", "EnterBehaviour", "hWnd"}});
    cases.push_back({"vW_QueryTextFilter", std::make_unique<vW_QueryTextFilter>(),
                     kContract + QStringList{"InputType", "Input1Text", "Input2Text", "Input2Visible", "InputHeight",
                                             "InputForeColor", "InputBackColor", "InputFont", "RelationListVisible",
                                             "RelationListItemData", "FillerListVisible", "FillerListWidth",
                                             "FillerListItemData", "NOTPictureVisible", "NOTPictureValue",
                                             "LikeCharacter", "KeyWordsFind", "KeyWordSeparator",
                                             "ExtendedFilterVisible", "ExtendedFilterRelation", "QueryFieldProgID",
                                             "QueryFieldProgIDFilter", "QueryFieldProgIDField", "CaptionFont"}});
    cases.push_back({"vW_QueryCheckBox", std::make_unique<vW_QueryCheckBox>(),
                     kContract + QStringList{"QueryFieldCheckedValue", "NOTPictureVisible", "NOTPictureValue"}});
    for (auto [name, make] : {std::pair<const char*, std::function<QWidget*()>>{
                                  "vW_QueryListBoxFilter", [] { return new vW_QueryListBoxFilter; }},
                              {"vW_QueryTListBoxFilter", [] { return new vW_QueryTListBoxFilter; }}})
        cases.push_back({name, std::unique_ptr<QWidget>(make()),
                         kContract + QStringList{"ListItemChecked", "PrimaryKeyFiled", "QueryResultIDs", "Filter",
                                                 "FilterText", "FilterBackColor", "FilterFont"}});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QMetaObject* meta = c.widget->metaObject();
        EXPECT_EQ(QByteArray(meta->className()), QByteArray("lg::filters::") + QByteArray(c.name));
        for (const QString& p : c.properties) {
            const int i = meta->indexOfProperty(p.toLatin1().constData());
            ASSERT_GE(i, 0) << p.toStdString();
            const QMetaProperty property = meta->property(i);
            EXPECT_TRUE(property.hasNotifySignal() || property.isConstant()) << p.toStdString();
        }
    }
}

// The controls keep their design-time properties in a QSettings file as well.
TEST(FilterWidgets, DesignPropertiesSurviveASettingsFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("form.ini"));
    {
        QSettings settings(path, QSettings::IniFormat);
        SettingsPropertyBag bag(settings, QStringLiteral("Forms/wizard/flt1"));
        vW_QueryTextFilter f;
        f.initDesignProperties();
        f.setCaption(QStringLiteral("Kelte"));
        f.setInputType(4);
        f.setCaptionForeColor(0x80000012);
        f.setInputBackColor(0xC0FFFF);
        f.setInputFont(QFont(QStringLiteral("DejaVu Serif"), 11));
        f.writeDesignProperties(bag);
        EXPECT_TRUE(bag.isChanged());
    }
    QSettings settings(path, QSettings::IniFormat);
    SettingsPropertyBag bag(settings, QStringLiteral("Forms/wizard/flt1"));
    vW_QueryTextFilter f;
    f.readDesignProperties(bag);
    EXPECT_EQ(f.Caption(), QStringLiteral("Kelte"));
    EXPECT_EQ(f.InputType(), 4);
    EXPECT_EQ(f.CaptionForeColor(), 0x80000012u);
    EXPECT_EQ(f.InputBackColor(), 0xC0FFFFu);
    EXPECT_EQ(f.InputFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(f.InputFont().pointSize(), 11);
    EXPECT_EQ(f.CaptionWidth(), 975);  // never stored: the default
}
