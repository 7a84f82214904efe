#pragma once
// The user defaults store over a QSettings; on macOS the composition root
// passes a native-format QSettings for the application's defaults domain,
// where Booleans, strings and data keep their types.
//
// Values are typed by their QVariant type only: QMetaType::Bool, QString and
// QByteArray; anything else (a number, or the string "true") reads as absent.
// Formats that store everything as text (IniFormat) therefore lose Booleans
// across reloads; they read back as strings. Main thread only.

#include "base/UserDefaults.h"

class QSettings;

namespace kestrune {

class QSettingsDefaults final : public UserDefaults {
public:
    // `settings` must outlive the store.
    explicit QSettingsDefaults(QSettings& settings);

    std::optional<DefaultsValue> value(const QString& key) const override;
    // Both write through with QSettings::sync().
    void setValue(const QString& key, const DefaultsValue& value) override;
    void removeValue(const QString& key) override;

private:
    QSettings& settings_;
};

} // namespace kestrune
