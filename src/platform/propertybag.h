#pragma once

// Design-time properties of the public controls.
//
// A host keeps what its designer set on a control (colours, captions, flags)
// in a property bag and hands it back when the form is loaded again. The
// controls read every persisted key with its default and write it back the
// same way; a value equal to its default is not stored, so a bag only holds
// what the designer actually changed.
//
// Two bags come with the library: MemoryPropertyBag (tests, hosts that keep
// their own storage) and SettingsPropertyBag over a QSettings group.
//
// PersistedProperty tables tie a control's Q_PROPERTYs to their keys, so a
// control declares its table once and initProperties / readProperties /
// writeProperties do the rest.

#include <QtCore/QString>
#include <QtCore/QVariant>
#include <QtCore/QVariantMap>

#include <span>

class QObject;
class QSettings;

namespace lg {

class PropertyBag {
public:
    virtual ~PropertyBag();

    // The stored value of key, or defaultValue when nothing is stored.
    virtual QVariant read(const QString& key, const QVariant& defaultValue = {}) const = 0;

    // Stores value under key; a value equal to defaultValue removes the key.
    // Marks the bag changed when what it holds changes.
    void write(const QString& key, const QVariant& value, const QVariant& defaultValue = {});

    virtual bool contains(const QString& key) const = 0;

    // Set by every write that changed the bag; the host clears it after saving.
    bool isChanged() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

protected:
    virtual void store(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;

private:
    bool changed_ = false;
};

class MemoryPropertyBag final : public PropertyBag {
public:
    QVariant read(const QString& key, const QVariant& defaultValue = {}) const override;
    bool contains(const QString& key) const override;
    QVariantMap values() const { return values_; }

protected:
    void store(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

private:
    QVariantMap values_;
};

// Keys live under group (may be empty) of settings, which must outlive the bag.
class SettingsPropertyBag final : public PropertyBag {
public:
    explicit SettingsPropertyBag(QSettings& settings, QString group = {});

    QVariant read(const QString& key, const QVariant& defaultValue = {}) const override;
    bool contains(const QString& key) const override;

protected:
    void store(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

private:
    QString path(const QString& key) const;
    QSettings& settings_;
    QString group_;
};

// One persisted property of a control: the Q_PROPERTY name, its default, and
// the key in the bag when it differs from the property's name.
struct PersistedProperty {
    const char* property;
    QVariant defaultValue;
    const char* key = nullptr;

    QString bagKey() const { return QString::fromLatin1(key ? key : property); }
};

// A new instance: every property gets its default.
void initProperties(QObject* control, std::span<const PersistedProperty> table);
// A stored instance: every property is read from the bag, with its default.
void readProperties(QObject* control, const PropertyBag& bag, std::span<const PersistedProperty> table);
// Saving: every property is written to the bag, with its default.
void writeProperties(const QObject* control, PropertyBag& bag, std::span<const PersistedProperty> table);

}  // namespace lg
