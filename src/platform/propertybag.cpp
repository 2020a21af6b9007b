#include "propertybag.h"

#include "runtimeerror.h"

#include <QtCore/QMetaProperty>
#include <QtCore/QObject>
#include <QtCore/QSettings>

namespace lg {

namespace {

// Values come back from QSettings as text; compare them in the default's type
// so that a stored "0" equals a default 0.
QVariant inTypeOf(const QVariant& value, const QVariant& like)
{
    if (!like.isValid() || !value.isValid() || value.metaType() == like.metaType())
        return value;
    QVariant converted = value;
    return converted.convert(like.metaType()) ? converted : value;
}

QMetaProperty metaProperty(const QObject* control, const PersistedProperty& p)
{
    const QMetaObject* meta = control->metaObject();
    const int index = meta->indexOfProperty(p.property);
    if (index < 0)
        throw RuntimeError(errnum::Internal, QStringLiteral("PropertyBag"),
                           QStringLiteral("%1 has no property %2")
                               .arg(QString::fromLatin1(meta->className()), QString::fromLatin1(p.property)));
    return meta->property(index);
}

}  // namespace

PropertyBag::~PropertyBag() = default;

void PropertyBag::write(const QString& key, const QVariant& value, const QVariant& defaultValue)
{
    const bool isDefault = defaultValue.isValid() && inTypeOf(value, defaultValue) == defaultValue;
    if (isDefault) {
        if (contains(key)) {
            remove(key);
            changed_ = true;
        }
        return;
    }
    if (contains(key) && inTypeOf(read(key), value) == value)
        return;
    store(key, value);
    changed_ = true;
}

QVariant MemoryPropertyBag::read(const QString& key, const QVariant& defaultValue) const
{
    return values_.value(key, defaultValue);
}

bool MemoryPropertyBag::contains(const QString& key) const { return values_.contains(key); }
void MemoryPropertyBag::store(const QString& key, const QVariant& value) { values_.insert(key, value); }
void MemoryPropertyBag::remove(const QString& key) { values_.remove(key); }

SettingsPropertyBag::SettingsPropertyBag(QSettings& settings, QString group)
    : settings_(settings), group_(std::move(group))
{
}

QString SettingsPropertyBag::path(const QString& key) const
{
    return group_.isEmpty() ? key : group_ + QLatin1Char('/') + key;
}

QVariant SettingsPropertyBag::read(const QString& key, const QVariant& defaultValue) const
{
    if (!settings_.contains(path(key)))
        return defaultValue;
    return inTypeOf(settings_.value(path(key)), defaultValue);
}

bool SettingsPropertyBag::contains(const QString& key) const { return settings_.contains(path(key)); }
void SettingsPropertyBag::store(const QString& key, const QVariant& value) { settings_.setValue(path(key), value); }
void SettingsPropertyBag::remove(const QString& key) { settings_.remove(path(key)); }

void initProperties(QObject* control, std::span<const PersistedProperty> table)
{
    for (const PersistedProperty& p : table)
        metaProperty(control, p).write(control, p.defaultValue);
}

void readProperties(QObject* control, const PropertyBag& bag, std::span<const PersistedProperty> table)
{
    for (const PersistedProperty& p : table) {
        const QMetaProperty property = metaProperty(control, p);
        QVariant value = bag.read(p.bagKey(), p.defaultValue);
        // A QVariant property (a typed input's Value) takes the stored value as it is.
        const bool anyType = property.metaType() == QMetaType::fromType<QVariant>();
        if ((!anyType && !value.convert(property.metaType())) || !property.write(control, value))
            property.write(control, p.defaultValue);  // a stored value of the wrong kind
    }
}

void writeProperties(const QObject* control, PropertyBag& bag, std::span<const PersistedProperty> table)
{
    for (const PersistedProperty& p : table)
        bag.write(p.bagKey(), metaProperty(control, p).read(control), p.defaultValue);
}

}  // namespace lg
