#pragma once

// Collected errors: expected, business-level failures. The operation that
// detects one calls AddError and returns false; the user-facing caller shows
// everything collected in one box with ShowErrors, which empties the
// collection again.

#include "store/enums.h"

#include <QtCore/QString>
#include <QtCore/QVariant>

#include <memory>
#include <vector>

class QObject;

namespace lg {

// One collected error.
class Error {
public:
    long Number() const { return m_number; }
    const QString& description() const { return m_description; }
    // The library never records the object an error came from.
    QObject* SourceObject() const { return nullptr; }

    // Library-internal.
    void setNumber(long number) { m_number = number; }
    void setDescription(const QString& description) { m_description = description; }

private:
    long m_number = 0;
    QString m_description;
};

// An ordered collection of errors, positions counted from 1.
class Errors {
public:
    using Items = std::vector<std::shared_ptr<Error>>;

    // The error at `index` (1 to Count); an empty pointer for any other index.
    std::shared_ptr<Error> Item(long index) const;
    // The same for a variant index; one that is not a whole number yields an
    // empty pointer.
    std::shared_ptr<Error> Item(const QVariant& index) const;
    long Count() const { return static_cast<long>(m_items.size()); }
    void Clear() { m_items.clear(); }

    // Iteration for hosts.
    Items::const_iterator begin() const { return m_items.begin(); }
    Items::const_iterator end() const { return m_items.end(); }

    // Stored and returned; nothing in the library reads it.
    const QString& DescriptionLanguage() const { return m_descriptionLanguage; }
    void setDescriptionLanguage(const QString& language) { m_descriptionLanguage = language; }

    // Library-internal: appends a new, empty error and returns it.
    Error& Add();

private:
    Items m_items;
    QString m_descriptionLanguage;
};

// The root object offered to hosts.
class Handler {
public:
    // The collection the controls use.
    std::shared_ptr<lg::Errors> Errors() const;
    bool Initialize(long userId) const;
    bool Terminate() const { return true; }
    QVariant ObjCounter(eObjects object) const;
};

// Appends an error to the shared collection. `sourceObject` is accepted for
// the callers' convenience and not kept.
void AddError(long number, const QString& description, QObject* sourceObject = nullptr);

// Shows every collected description, each followed by CR LF, in one error box
// and empties the collection. Does nothing while the collection is empty.
void ShowErrors();

}  // namespace lg
