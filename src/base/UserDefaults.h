#pragma once
// The user defaults store: a small typed key-value store that survives
// relaunches. Main thread only.

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace kestrune {

using DefaultsValue = std::variant<bool, QString, QByteArray>;

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

protected:
    // Told when a typed read finds a value of another type; a store that can
    // tell the user about it does so here.
    virtual void noticeWrongType(const QString& key) const { (void)key; }

private:
    template <typename T>
    std::optional<T> typed(const QString& key) const;
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
