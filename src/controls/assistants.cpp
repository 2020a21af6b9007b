#include "controls/assistants.h"

#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"

#include <QtCore/QDir>
#include <QtCore/QHash>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonObject>
#include <QtCore/QPluginLoader>

using namespace Qt::StringLiterals;

namespace lg::controls {

namespace {
struct Entry {
    QString name;
    AssistantRegistry::Factory factory;
};
QHash<QString, Entry>& registry()
{
    static QHash<QString, Entry> r;
    return r;
}
}  // namespace

void AssistantRegistry::registerClass(const QString& className, Factory factory)
{
    registry().insert(className.trimmed().toLower(), {className.trimmed(), std::move(factory)});
}

void AssistantRegistry::unregisterClass(const QString& className) { registry().remove(className.trimmed().toLower()); }

int AssistantRegistry::loadPlugins(const QString& folder)
{
    int count = 0;
    const QDir dir(folder);
    for (const QString& file : dir.entryList(QDir::Files)) {
        if (!QLibrary::isLibrary(file))
            continue;
        auto loader = std::make_shared<QPluginLoader>(dir.absoluteFilePath(file));
        const QJsonObject meta = loader->metaData();
        if (meta.value(u"IID"_s).toString() != QLatin1String(LISTGEN_ASSISTANT_PLUGIN_IID))
            continue;
        for (const QJsonValue& v : meta.value(u"MetaData"_s).toObject().value(u"classNames"_s).toArray()) {
            const QString name = v.toString();
            if (name.trimmed().isEmpty())
                continue;
            registerClass(name, [loader, name]() -> std::unique_ptr<Assistant> {
                auto* plugin = qobject_cast<AssistantPlugin*>(loader->instance());
                return plugin ? plugin->create(name) : nullptr;
            });
            ++count;
        }
    }
    return count;
}

std::unique_ptr<Assistant> AssistantRegistry::create(const QString& className)
{
    const auto it = registry().constFind(className.trimmed().toLower());
    if (it == registry().constEnd() || !it->factory)
        return nullptr;
    return it->factory();
}

QStringList AssistantRegistry::classNames()
{
    QStringList names;
    for (const Entry& e : registry())
        names << e.name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool executeAssistant(const QString& className, long userId)
{
    const QString name = className.trimmed();
    if (name.isEmpty())
        return false;
    std::unique_ptr<Assistant> assistant = AssistantRegistry::create(name);
    if (!assistant) {
        AddError(0, LoadResString(5013) + u" ("_s + name + u")"_s);
        ShowErrors();
        return false;
    }
    assistant->setDatabase(ctx().database);
    assistant->setUserID(userId);
    assistant->Execute();
    return true;
}

}  // namespace lg::controls
