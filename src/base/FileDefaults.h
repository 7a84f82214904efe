#pragma once
// The user defaults store as a settings file, for Linux and the sim backend.
//
// <directory>/settings.json holds {"version":1,"values":{…}}: a Boolean is a
// JSON bool, a string a JSON string, data {"data":"<base64>"}. Values of any
// other shape read as absent (said once per key); they and any other
// top-level members are written back untouched. Every change replaces the
// whole file atomically (temporary file, fsync, rename), mode 0600, in a
// folder created 0700; when settings.json is a symbolic link, the file it
// points to is replaced and the link stays. Temporary files left by an
// interrupted write are removed by the next one.
// A file that cannot be read (or is larger than kMaxFileSize) is left as it
// is until the first change, which moves it aside to
// settings.json.unreadable-<date>-<time> and says so on the console; the
// values that could still be read from a damaged file are kept.
// A file of a newer version is read as far as it is understood and written
// back with its version and everything not understood left in place.
// A settings.json its owner made read-only is respected: it is read, never
// replaced, and changes hold until quit. So is a settings folder that is
// not a folder (a file in its place), said from the start.
// Each of these is also kept as loadProblem() or saveProblem(), for the
// interface to show.
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

    // Larger files are not read at all: no settings file is anywhere near it.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // The members of a settings file's "values" object that parse, in order,
    // up to the first damaged one. For files that are not valid JSON.
    static QJsonObject salvageValues(const QByteArray& bytes);

    std::optional<DefaultsValue> value(const QString& key) const override;
    // A change that cannot be saved stays in memory and is reported on the console.
    void setValue(const QString& key, const DefaultsValue& value) override;
    void removeValue(const QString& key) override;

protected:
    void noticeWrongType(const QString& key) const override;

private:
    void load();
    void save();
    QString writeTarget() const;
    bool moveUnreadableAside(QString* error);
    bool writeAtomically(const QByteArray& bytes, QString* error);
    void report(const QString& line) const;

    QString directory_;
    QString path_;
    Console* console_;
    QJsonObject root_;        // the file's other top-level members, kept as they were
    QJsonObject values_;      // as stored, including shapes we do not read
    bool unreadable_ = false; // the file on disk could not be read and is still in place
    bool readOnly_ = false;   // never overwritten: a newer file we cannot read at all, a read-only
                              // file, a folder that is not one
};

} // namespace kestrune
