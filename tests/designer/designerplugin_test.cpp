#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QMetaProperty>
#include <QtCore/QPluginLoader>
#include <QtCore/QXmlStreamReader>
#include <QtGui/QIcon>
#include <QtGui/QPixmap>
#include <QtTest/QSignalSpy>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <QtWidgets/QWidget>

#include <memory>

namespace {

QDesignerCustomWidgetCollectionInterface* collection()
{
    static QPluginLoader loader(QStringLiteral(LISTGEN_DESIGNER_PLUGIN));
    static QObject* instance = loader.instance();
    if (!instance)
        ADD_FAILURE() << "the plugin does not load: " << loader.errorString().toStdString();
    return qobject_cast<QDesignerCustomWidgetCollectionInterface*>(instance);
}

QDesignerCustomWidgetInterface* widgetInterface(const QString& name)
{
    auto* c = collection();
    if (!c)
        return nullptr;
    for (QDesignerCustomWidgetInterface* w : c->customWidgets())
        if (w->name() == name)
            return w;
    return nullptr;
}

// One designable property per control, set as Designer sets it.
struct Case {
    const char* className;
    const char* header;  // under src/, as installed under include/listgen/
    const char* property;
    QVariant value;
};

const Case kCases[] = {
    {"lg::controls::ListWizard", "controls/listwizard.h", "ReportFolderPath", QStringLiteral("/srv/lists")},
    {"lg::controls::SmallListWizard", "controls/smalllistwizard.h", "UserID", 7},
    {"lg::admin::ListWizardAuthUnit", "admin/listwizardauthunit.h", "ModulID", 3},
    {"lg::filters::vW_QueryContainer", "filters/widgets/vw_querycontainer.h", "ExtendedFilterCaption",
     QStringLiteral("Bővített szűrés")},
    {"lg::filters::vQuickPick", "filters/widgets/vquickpick.h", "Caption", QStringLiteral("Partner:")},
};

class DesignerPlugin : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST(DesignerPluginCollection, OffersEveryPublicControlOnce)
{
    auto* c = collection();
    ASSERT_NE(c, nullptr);
    QStringList names;
    for (QDesignerCustomWidgetInterface* w : c->customWidgets())
        names << w->name();
    QStringList expected;
    for (const Case& k : kCases)
        expected << QLatin1String(k.className);
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);
}

TEST_P(DesignerPlugin, DescribesTheControl)
{
    const Case& k = GetParam();
    QDesignerCustomWidgetInterface* w = widgetInterface(QLatin1String(k.className));
    ASSERT_NE(w, nullptr) << k.className;

    EXPECT_EQ(w->group(), QStringLiteral("listgen"));
    EXPECT_FALSE(w->isContainer());
    EXPECT_FALSE(w->toolTip().trimmed().isEmpty());
    EXPECT_FALSE(w->whatsThis().trimmed().isEmpty());
    EXPECT_FALSE(w->icon().isNull());
    EXPECT_FALSE(w->icon().pixmap(16, 16).isNull());

    // The include line names the header as installed, and that header is a
    // public one of the source tree.
    const QString include = w->includeFile();
    EXPECT_EQ(include, QStringLiteral("listgen/") + QLatin1String(k.header));
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(LISTGEN_SOURCE_DIR "/src/") + QLatin1String(k.header))) << k.header;

    // The XML a new instance gets: one widget of the class, with a name and
    // a usable size.
    QXmlStreamReader xml(w->domXml());
    int widgets = 0;
    QString cls, objectName;
    int width = 0, height = 0;
    QString element;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            element = xml.name().toString();
            if (element == QLatin1String("widget")) {
                ++widgets;
                cls = xml.attributes().value(QLatin1String("class")).toString();
                objectName = xml.attributes().value(QLatin1String("name")).toString();
            }
        } else if (xml.isCharacters() && !xml.isWhitespace()) {
            if (element == QLatin1String("width"))
                width = xml.text().toInt();
            else if (element == QLatin1String("height"))
                height = xml.text().toInt();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(widgets, 1);
    EXPECT_EQ(cls, QLatin1String(k.className));
    EXPECT_FALSE(objectName.isEmpty());
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
}

TEST_P(DesignerPlugin, CreatesThePropertySettableControlWithoutDatabase)
{
    const Case& k = GetParam();
    QDesignerCustomWidgetInterface* w = widgetInterface(QLatin1String(k.className));
    ASSERT_NE(w, nullptr) << k.className;

    std::unique_ptr<QWidget> widget(w->createWidget(nullptr));
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), k.className);

    const QMetaObject* meta = widget->metaObject();
    const int index = meta->indexOfProperty(k.property);
    ASSERT_GE(index, 0) << k.property;
    const QMetaProperty property = meta->property(index);
    EXPECT_TRUE(property.isDesignable());
    EXPECT_TRUE(property.isStored());
    ASSERT_TRUE(property.hasNotifySignal());

    QSignalSpy notified(widget.get(), property.notifySignal());
    EXPECT_TRUE(widget->setProperty(k.property, k.value));
    EXPECT_EQ(widget->property(k.property), k.value);
    EXPECT_GE(notified.count(), 1);

    // It paints as it would on a form, with no database behind it.
    widget->resize(widget->sizeHint().expandedTo(QSize(200, 40)));
    const QPixmap shot = widget->grab();
    EXPECT_FALSE(shot.isNull());
    const QString shots = qEnvironmentVariable("LISTGEN_DESIGNER_SHOTS");
    if (!shots.isEmpty())
        shot.save(QDir(shots).filePath(QString::fromLatin1(k.className).section(QLatin1String("::"), -1) +
                                       QStringLiteral(".png")));
}

// What Designer shows it also writes into the .ui file: a property it stores
// must be writable and tell when it changes; run-time values (results, the
// selection, the window handle) are not stored.
TEST_P(DesignerPlugin, StoredPropertiesAreWritableAndNotify)
{
    const Case& k = GetParam();
    QDesignerCustomWidgetInterface* w = widgetInterface(QLatin1String(k.className));
    ASSERT_NE(w, nullptr);
    std::unique_ptr<QWidget> widget(w->createWidget(nullptr));
    const QMetaObject* meta = widget->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isDesignable() || !p.isStored())
            continue;
        EXPECT_TRUE(p.isWritable()) << k.className << "." << p.name();
        EXPECT_TRUE(p.hasNotifySignal()) << k.className << "." << p.name();
    }
    // A password never ends up in a form file.
    const int password = meta->indexOfProperty("DatabasePassword");
    if (password >= 0) {
        EXPECT_FALSE(meta->property(password).isStored());
        EXPECT_FALSE(meta->property(password).isDesignable());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Controls, DesignerPlugin, ::testing::ValuesIn(kCases), [](const ::testing::TestParamInfo<Case>& info) {
        return QString::fromLatin1(info.param.className).section(QLatin1String("::"), -1).toStdString();
    });
