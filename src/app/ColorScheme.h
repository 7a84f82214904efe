#pragma once
// Follows the desktop's light or dark preference and hands it to the Theme:
// the freedesktop appearance setting (the settings portal's
// "org.freedesktop.appearance" "color-scheme": 1 dark, 2 light), and where
// no portal answers, the lightness of the application palette. Main thread.

#include <QObject>
#include <QDBusVariant>
#include <QVariant>
#include <optional>

namespace kestrune {

class ColorScheme : public QObject {
    Q_OBJECT
public:
    explicit ColorScheme(QObject* parent = nullptr);

    // Asks the portal without waiting for it; the answer arrives later.
    void start();
    bool prefersDark() const { return prefersDark_; }

    // 1 means dark, 2 light, anything else no preference (see above).
    static std::optional<bool> darkFromPortalValue(const QVariant& value);

signals:
    void changed(bool dark);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void onSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void apply(bool dark);
    void applyPalette();

    bool prefersDark_ = false;
    bool portalAnswered_ = false;
};

} // namespace kestrune
