#include "base/QSettingsDefaults.h"

#include <QSettings>

namespace kestrune {

QSettingsDefaults::QSettingsDefaults(QSettings& settings)
    : settings_(settings)
{
}

std::optional<DefaultsValue> QSettingsDefaults::value(const QString& key) const
{
    const QVariant v = settings_.value(key);
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::QString:
        return v.toString();
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return std::nullopt;
    }
}

void QSettingsDefaults::setValue(const QString& key, const DefaultsValue& value)
{
    settings_.setValue(key, std::visit([](const auto& v) { return QVariant::fromValue(v); }, value));
    settings_.sync();
}

void QSettingsDefaults::removeValue(const QString& key)
{
    settings_.remove(key);
    settings_.sync();
}

} // namespace kestrune
