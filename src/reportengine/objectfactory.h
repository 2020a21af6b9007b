#pragma once

// Creatable classes by name: the library asks for an object by its class
// name ("vLQVsView7.clsView") and gets nothing for a name nobody registered,
// so the caller can report that the object could not be created.

#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>

namespace lg {

class ObjectFactory {
public:
    using Creator = std::function<std::unique_ptr<QObject>()>;

    // Registers (or replaces) a class. Names compare case-insensitively.
    static void registerClass(const QString& name, Creator creator);
    static void unregisterClass(const QString& name);
    // A new object of the class; empty for an unknown name.
    static std::unique_ptr<QObject> create(const QString& name);
    static QStringList names();

    template <class T>
    static std::unique_ptr<T> createAs(const QString& name)
    {
        std::unique_ptr<QObject> o = create(name);
        if (auto* t = qobject_cast<T*>(o.get())) {
            o.release();
            return std::unique_ptr<T>(t);
        }
        return {};
    }
};

}  // namespace lg
