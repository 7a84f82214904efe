#pragma once
// The user defaults store over a QSettings; on macOS the composition root
// passes a native-format QSettings for the application's defaults domain,
// where Booleans, strings and data keep their types.
//
// Values are typed by their QVariant type only: QMetaType::Bool, QString and
// QByteArray; anything else (a number, or the string "true") reads as absent.
// Formats that store everything as text (IniFormat) therefore lose Booleans
// across reloads; they read back as strings.
//
// Problems are those QSettings reports, kept as loadProblem() and
// saveProblem(): a file it could not read or parse at the start (defaults,
// or what could be parsed, are in use; the file is kept aside before the
// first change replaces it, as FileDefaults does), and a write that failed.
// Main thread only.

#include "base/UserDefaults.h"

class QSettings;

namespace kestrune {

class Console;

class QSettingsDefaults final : public UserDefaults {
public:
    // `settings` and `console` (when given) must outlive the store.
    explicit QSettingsDefaults(QSettings& settings, Console* console = nullptr);

    std::optional<DefaultsValue> value(const QString& key) const override;
    // Both write through with QSettings::sync().
    void setValue(const QString& key, const DefaultsValue& value) override;
    void removeValue(const QString& key) override;

protected:
    void noticeWrongType(const QString& key) const override;

private:
    void save();
    bool keepUnreadableAside();
    bool synced();
    void report(const QString& line) const;

    QSettings& settings_;
    Console* console_;
    bool unreadable_ = false; // a file QSettings could not read is still in place
};

} // namespace kestrune
