#include "app/ColorScheme.h"

#include "style/Theme.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace kestrune {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// The portal wraps the value in one or two variants depending on the call.
QVariant unwrap(QVariant value)
{
    for (int depth = 0; depth < 3; ++depth) {
        if (value.canConvert<QDBusVariant>())
            value = value.value<QDBusVariant>().variant();
        else if (value.canConvert<QDBusArgument>()) {
            const QDBusArgument argument = value.value<QDBusArgument>();
            QDBusVariant inner;
            argument >> inner;
            value = inner.variant();
        } else
            break;
    }
    return value;
}
} // namespace

ColorScheme::ColorScheme(QObject* parent) : QObject(parent)
{
}

std::optional<bool> ColorScheme::darkFromPortalValue(const QVariant& value)
{
    bool ok = false;
    const uint scheme = unwrap(value).toUInt(&ok);
    if (!ok || (scheme != 1 && scheme != 2))
        return std::nullopt;
    return scheme == 1;
}

void ColorScheme::start()
{
    applyPalette();
    qApp->installEventFilter(this);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    call << kGroup << kKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return;
        if (const auto dark = darkFromPortalValue(reply.arguments().first())) {
            portalAnswered_ = true;
            apply(*dark);
        }
    });
}

void ColorScheme::onSettingChanged(const QString& group, const QString& key, const QDBusVariant& value)
{
    if (group != kGroup || key != kKey)
        return;
    if (const auto dark = darkFromPortalValue(value.variant())) {
        portalAnswered_ = true;
        apply(*dark);
    }
}

bool ColorScheme::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && !portalAnswered_)
        applyPalette();
    return QObject::eventFilter(watched, event);
}

void ColorScheme::applyPalette()
{
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    apply(window.lightness() < 128);
}

void ColorScheme::apply(bool dark)
{
    Theme::setSystemPrefersDark(dark);
    if (dark == prefersDark_)
        return;
    prefersDark_ = dark;
    emit changed(dark);
}

} // namespace kestrune
