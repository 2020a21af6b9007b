// A form saved by Designer, loaded at run time through the plugin: the
// properties it stores reach the controls.

#include <gtest/gtest.h>

#include <QtCore/QBuffer>
#include <QtCore/QFileInfo>
#include <QtUiTools/QUiLoader>
#include <QtWidgets/QWidget>

#include <memory>

namespace {

const char kForm[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>HostForm</class>
 <widget class="QWidget" name="HostForm">
  <property name="geometry"><rect><x>0</x><y>0</y><width>800</width><height>600</height></rect></property>
  <widget class="lg::controls::ListWizard" name="listWizard">
   <property name="UserID"><number>7</number></property>
   <property name="ModulID"><number>2</number></property>
   <property name="ReportFolderPath"><string>/srv/listák</string></property>
   <property name="AuthenticExport"><bool>false</bool></property>
  </widget>
  <widget class="lg::filters::vQuickPick" name="quickPick">
   <property name="Caption"><string>&amp;Partner:</string></property>
   <property name="SearchStartLength"><number>2</number></property>
  </widget>
  <widget class="lg::admin::ListWizardAuthUnit" name="authUnit">
   <property name="ModulID"><number>5</number></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget><class>lg::controls::ListWizard</class><extends>QWidget</extends><header>listgen/controls/listwizard.h</header></customwidget>
  <customwidget><class>lg::filters::vQuickPick</class><extends>QWidget</extends><header>listgen/filters/widgets/vquickpick.h</header></customwidget>
  <customwidget><class>lg::admin::ListWizardAuthUnit</class><extends>QWidget</extends><header>listgen/admin/listwizardauthunit.h</header></customwidget>
 </customwidgets>
</ui>
)";

}  // namespace

TEST(DesignerForm, StoredPropertiesReachTheControls)
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QFileInfo(QStringLiteral(LISTGEN_DESIGNER_PLUGIN)).absolutePath());
    const QStringList available = loader.availableWidgets();
    ASSERT_TRUE(available.contains(QStringLiteral("lg::controls::ListWizard")))
        << available.join(QLatin1Char(' ')).toStdString();

    QByteArray xml(kForm);
    QBuffer buffer(&xml);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> form(loader.load(&buffer));
    ASSERT_NE(form, nullptr) << loader.errorString().toStdString();

    struct Expected {
        const char* object;
        const char* className;
        const char* property;
        QVariant value;
    };
    const Expected expected[] = {
        {"listWizard", "lg::controls::ListWizard", "UserID", 7},
        {"listWizard", "lg::controls::ListWizard", "ModulID", 2},
        {"listWizard", "lg::controls::ListWizard", "ReportFolderPath", QStringLiteral("/srv/listák")},
        {"listWizard", "lg::controls::ListWizard", "AuthenticExport", false},
        {"quickPick", "lg::filters::vQuickPick", "Caption", QStringLiteral("&Partner:")},
        {"quickPick", "lg::filters::vQuickPick", "SearchStartLength", 2},
        {"authUnit", "lg::admin::ListWizardAuthUnit", "ModulID", 5},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(std::string(e.object) + "." + e.property);
        QWidget* w = form->findChild<QWidget*>(QLatin1String(e.object));
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), e.className);
        EXPECT_EQ(w->property(e.property), e.value);
    }
}
