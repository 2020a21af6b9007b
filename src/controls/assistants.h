#pragma once

// Assistants: host-supplied objects that do further work for the lists of a
// list type (its com_assistant names the class). The registry maps a class
// name to a factory; a host registers its classes in code, or drops Qt
// plugins into a folder whose metadata names the classes they provide:
//
//   Q_PLUGIN_METADATA(IID LISTGEN_ASSISTANT_PLUGIN_IID FILE "assistant.json")
//   assistant.json: { "classNames": [ "Nagyker.SzamlaAsszisztens" ] }
//
// A plugin is loaded only when one of its classes is asked for.

#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QtPlugin>

#include <functional>
#include <memory>

namespace lg::dao {
class Database;
}

namespace lg::controls {

// The members the control calls, in this order: Database, UserID, Execute.
class Assistant {
public:
    virtual ~Assistant() = default;
    virtual void setDatabase(std::shared_ptr<dao::Database> database) = 0;
    virtual void setUserID(long userId) = 0;
    virtual void Execute() = 0;
};

// The interface of an assistant plugin.
class AssistantPlugin {
public:
    virtual ~AssistantPlugin() = default;
    virtual QStringList classNames() const = 0;
    virtual std::unique_ptr<Assistant> create(const QString& className) = 0;
};

class AssistantRegistry {
public:
    using Factory = std::function<std::unique_ptr<Assistant>()>;

    // Names compare case-insensitively; a later registration replaces.
    static void registerClass(const QString& className, Factory factory);
    static void unregisterClass(const QString& className);
    // Registers the classes named by the plugins in `folder` (their metadata
    // is read; the libraries are loaded on first use). Returns the number of
    // classes registered.
    static int loadPlugins(const QString& folder);
    // A new assistant; empty when no factory knows the name or the factory
    // could not make one.
    static std::unique_ptr<Assistant> create(const QString& className);
    static QStringList classNames();
};

// ExecuteAssistent after its checks: creates the class, text 5013 with the
// name when it cannot, else Database, UserID, Execute. True when it ran.
bool executeAssistant(const QString& className, long userId);

}  // namespace lg::controls

#define LISTGEN_ASSISTANT_PLUGIN_IID "hu.listgen.AssistantPlugin/1"
Q_DECLARE_INTERFACE(lg::controls::AssistantPlugin, LISTGEN_ASSISTANT_PLUGIN_IID)
