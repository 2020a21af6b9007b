#include "reportengine/objectfactory.h"

#include "reportengine/reportengine.h"

#include <QtCore/QHash>

namespace lg {

namespace {

QHash<QString, ObjectFactory::Creator>& registry()
{
    // The library's own creatable classes are there from the start.
    static QHash<QString, ObjectFactory::Creator> r = [] {
        QHash<QString, ObjectFactory::Creator> h;
        h.insert(reportengine::ReportEngine::kClassName.toLower(),
                 [] { return std::unique_ptr<QObject>(new reportengine::ReportEngine); });
        return h;
    }();
    return r;
}

}  // namespace

void ObjectFactory::registerClass(const QString& name, Creator creator)
{
    registry().insert(name.toLower(), std::move(creator));
}

void ObjectFactory::unregisterClass(const QString& name) { registry().remove(name.toLower()); }

std::unique_ptr<QObject> ObjectFactory::create(const QString& name)
{
    auto it = registry().constFind(name.trimmed().toLower());
    if (it == registry().constEnd() || !*it)
        return {};
    return (*it)();
}

QStringList ObjectFactory::names() { return registry().keys(); }

}  // namespace lg
