#pragma once
// The user defaults store as a settings file, for Linux and the sim backend.
//
// <directory>/settings.json holds {"version":1,"values":{…}}: a Boolean is a
// JSON bool, a string a JSON string, data {"data":"<base64>"}. Values of any
// other shape read as absent; they and any other top-level members are
// written back untouched. Every change replaces the whole file atomically
// (temporary file, fsync, rename), mode 0600, in a folder created 0700.
// A file that cannot be read is left as it is until the first change, which
// moves it aside to settings.json.unreadable-<date>-<time> and says so on
// the console.
// Main thread only.

#include "base/UserDefaults.h"

#include <QJsonObject>

namespace kestrune {

class Console;

class FileDefaults final : public UserDefaults {
public:
    // Reads the file now; later reads are served from memory. `console`, when
    // given, must outlive the store.
    explicit FileDefaults(const QString& directory, Console* console = nullptr);

    // $XDG_CONFIG_HOME/Kestrune, or ~/.config/Kestrune when that is unset or empty.
    static QString defaultDirectory();

    QString filePath() const { return path_; }

    std::optional<DefaultsValue> value(const QString& key) const override;
    // A change that cannot be saved stays in memory and is reported on the console.
    void setValue(const QString& key, const DefaultsValue& value) override;
    void removeValue(const QString& key) override;

private:
    void load();
    void save();
    bool moveUnreadableAside(QString* error);
    bool writeAtomically(const QByteArray& bytes, QString* error);
    void report(const QString& line) const;

    QString directory_;
    QString path_;
    Console* console_;
    QJsonObject root_;        // the file's other top-level members, kept as they were
    QJsonObject values_;      // as stored, including shapes we do not read
    bool unreadable_ = false; // the file on disk could not be read and is still in place
};

} // namespace kestrune
