#pragma once
// The user defaults store: a small typed key-value store that survives
// relaunches. Main thread only.

#include <QByteArray>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace kestrune {

using DefaultsValue = std::variant<bool, QString, QByteArray>;

// Something about the stored settings the user should be told of.
struct DefaultsProblem {
    enum class Kind {
        none,
        unreadable,      // nothing could be read: defaults are in use
        partlyReadable,  // `count` values could be read; defaults for the rest
        newerUnreadable, // a newer version's file this one cannot read: defaults, and changes are not saved
        wrongType,       // the value of `key` has a shape this version does not read; its default is used
        notSaved,        // the last change could not be written; it holds until quit
        readOnly,        // the owner made the file read-only: it is read, and changes hold until quit
        notAFolder,      // the settings folder is something else (a file): changes hold until quit
    };
    Kind kind = Kind::none;
    QString location; // the file (or domain) concerned
    QString detail;   // the system's reason as it gave it; may be empty
    QString key;
    int count = 0;

    bool operator==(const DefaultsProblem&) const = default;
};

class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    // The stored value, or nullopt when the key is absent.
    virtual std::optional<DefaultsValue> value(const QString& key) const = 0;
    // Stores the value at once (durably, before returning).
    virtual void setValue(const QString& key, const DefaultsValue& value) = 0;
    virtual void removeValue(const QString& key) = 0;

    // Typed reads: a value of another type reads as absent.
    std::optional<bool> boolValue(const QString& key) const;
    std::optional<QString> stringValue(const QString& key) const;
    std::optional<QByteArray> dataValue(const QString& key) const;

    // What went wrong reading the settings (until a save replaces what could
    // not be read), and with the last save (until one succeeds).
    const DefaultsProblem& loadProblem() const { return loadProblem_; }
    const DefaultsProblem& saveProblem() const { return saveProblem_; }
    // Told after either changes; one observer, which must outlive the store
    // or be cleared.
    void setProblemObserver(std::function<void()> observer) { problemObserver_ = std::move(observer); }

    // A stored value whose reader could not decode it (a list with a broken
    // record): the user is told as of a value of the wrong type.
    void noticeUndecodable(const QString& key) const { noticeWrongType(key); }
    // Where a reader keeps such a value before it writes `key` afresh, so
    // that replacing it loses nothing: "<key>.unreadable".
    static QString keptAsideKey(const QString& key) { return key + QStringLiteral(".unreadable"); }

protected:
    // Const: a typed read may be what finds a problem.
    void setLoadProblem(const DefaultsProblem& problem) const;
    void setSaveProblem(const DefaultsProblem& problem) const;

    // Told when a typed read finds a value of another type; a store that can
    // tell the user about it does so here.
    virtual void noticeWrongType(const QString& key) const { (void)key; }
    // For those stores: sets the wrong-type problem for `key` in `location`
    // unless a larger one stands; true only the first time for the key.
    bool markWrongType(const QString& key, const QString& location) const;
    // A new value for `key` replaces the one that could not be read.
    void clearWrongType(const QString& key) const;

private:
    template <typename T>
    std::optional<T> typed(const QString& key) const;

    mutable DefaultsProblem loadProblem_;
    mutable DefaultsProblem saveProblem_;
    mutable QSet<QString> wrongTypeKeys_;
    std::function<void()> problemObserver_;
};

// An in-memory store, for previews and for tests that do not need the disk.
class MemoryDefaults final : public UserDefaults {
public:
    std::optional<DefaultsValue> value(const QString& key) const override;
    void setValue(const QString& key, const DefaultsValue& value) override;
    void removeValue(const QString& key) override;

private:
    std::vector<std::pair<QString, DefaultsValue>> values_;
};

} // namespace kestrune
