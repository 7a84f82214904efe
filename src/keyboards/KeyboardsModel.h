#pragma once
// The Keyboards window's list: every keyboard present, then those seen
// before and absent now, each with the user's choice of whether Kestrune
// remaps it, and the setting for keyboards not seen before. The choices
// live in the settings file ("keyboards", "remapNewKeyboards") and are
// handed to the roster whenever they change. Main thread.

#include "base/UserDefaults.h"
#include "platform/KeyboardRoster.h"

#include <QAbstractListModel>
#include <QString>

#include <optional>
#include <vector>

namespace kestrune {

class KeyboardsModel final : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(bool remapNewKeyboards READ remapNewKeyboards WRITE setRemapNewKeyboards NOTIFY remapNewKeyboardsChanged)
    // Another program's virtual keyboard is present: another remapper may be
    // running, and keys may be remapped twice.
    Q_PROPERTY(bool otherVirtualKeyboardPresent READ otherVirtualKeyboardPresent NOTIFY keyboardsChanged)
    // No keyboard present can be listed now (no input access, or the input
    // service is away); remembered ones are still shown.
    Q_PROPERTY(bool listingUnavailable READ listingUnavailable NOTIFY keyboardsChanged)
    Q_PROPERTY(int count READ rowCount NOTIFY keyboardsChanged)

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        KindRole,     // "builtIn", "usb", "bluetooth", "virtual", "other"
        KindTextRole, // what it is, in the user's words
        PresentRole,
        RemapRole,    // the choice
        SharedRole,   // shares its choice with an identical keyboard
        KeyRole,
    };

    struct Remembered {
        QString key;
        QString name;
        int bus = 0;
        bool remap = true;
        friend bool operator==(const Remembered&, const Remembered&) = default;
    };

    // The roster outlives the model.
    KeyboardsModel(UserDefaults& defaults, KeyboardRoster& roster, QObject* parent = nullptr);
    ~KeyboardsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    bool remapNewKeyboards() const { return remapNew_; }
    void setRemapNewKeyboards(bool remap);
    bool otherVirtualKeyboardPresent() const;
    bool listingUnavailable() const { return present_.empty(); }

    Q_INVOKABLE void setRemap(int row, bool remap);
    // An absent keyboard only: its choice is dropped; should it come back,
    // it is a new keyboard again.
    Q_INVOKABLE void forget(int row);

    // What the roster is given now.
    KeyboardChoices choices() const;
    const std::vector<Remembered>& remembered() const { return remembered_; }

    // The choices as stored: a JSON array of {"key","name","bus","remap"};
    // anything malformed rejects the whole list.
    static std::optional<std::vector<Remembered>> decode(const QByteArray& data);
    static QByteArray encode(const std::vector<Remembered>& remembered);
    static QString kindText(KeyboardKind kind);

signals:
    void remapNewKeyboardsChanged();
    void keyboardsChanged();
    // A keyboard plugged in for the first time, and whether it is remapped.
    void firstSeen(const QString& name, bool remapped);

private:
    struct Row {
        QString key;
        QString name;
        int bus = 0;
        bool present = false;
        bool remap = true;
        bool shared = false;
        KeyboardKind kind() const { return keyboardKind({static_cast<uint16_t>(bus), 0, 0, {}, {}}); }
    };

    void refresh();
    void rebuildRows();
    void store();
    void pushChoices();
    const Remembered* rememberedFor(const PresentKeyboard& keyboard) const;
    bool matchesPresent(const Remembered& remembered) const;

    UserDefaults& defaults_;
    KeyboardRoster& roster_;
    bool remapNew_ = true;
    std::vector<Remembered> remembered_;
    std::vector<PresentKeyboard> present_;
    std::vector<Row> rows_;
    bool storedListUnreadable_ = false;
    bool quietUntilListed_ = false;
};

} // namespace kestrune
