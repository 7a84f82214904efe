#pragma once
// The login item as an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/com.kestrune.Kestrune.desktop (~/.config when
// XDG_CONFIG_HOME is unset or not absolute).
//
// Enabled while the entry in force (the user's, else one in an
// $XDG_CONFIG_DIRS autostart folder) exists and is neither Hidden=true nor
// X-GNOME-Autostart-enabled=false. Registering writes the user's entry
// atomically; unregistering removes it, or, when a system-wide entry would
// then take over, writes one with Hidden=true in its place.
//
// Main thread. The folders are read from the environment at construction.

#include "platform/System.h"

#include <QString>
#include <QStringList>

namespace kestrune {

class XdgAutostartLoginItem final : public LoginItem {
public:
    inline static const QString kEntryName = QStringLiteral("com.kestrune.Kestrune.desktop");

    // `command`: the program the entry starts; empty means this process's
    // executable (or "kestrune" on the PATH when there is no application object).
    explicit XdgAutostartLoginItem(const QString& command = {});

    LoginItemStatus status() const override;
    bool registerItem(QString* error) override;
    bool unregisterItem(QString* error) override;

    QString entryPath() const { return userEntry_; }

private:
    enum class Entry { Missing, Enabled, Disabled };
    static Entry read(const QString& path);
    Entry systemEntry() const;
    bool write(const QByteArray& content, QString* error) const;
    QByteArray content(bool hidden) const;

    QString command_;
    QString userEntry_;
    QStringList systemEntries_; // in order of precedence
};

} // namespace kestrune
