#include "apps/AppIconProvider.h"

#include "apps/Applications.h"

#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace kestrune {

AppIconProvider::AppIconProvider() : QQuickImageProvider(QQuickImageProvider::Pixmap)
{
    // Outside a desktop that names its icon theme (a bare window manager,
    // the test platform), the common GNOME theme, which inherits hicolor,
    // still gives applications their icons.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

QPixmap AppIconProvider::iconPixmap(const QString& iconName, int side)
{
    QIcon icon;
    if (iconName.startsWith(QLatin1Char('/')) && QFileInfo::exists(iconName))
        icon = QIcon(iconName);
    else if (!iconName.isEmpty())
        icon = QIcon::fromTheme(iconName);
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    if (!icon.isNull()) {
        QPixmap pixmap = icon.pixmap(QSize(side, side));
        if (!pixmap.isNull())
            return pixmap;
    }
    // A grey rounded square with a window outline: an application, unnamed.
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(side * 0.06, side * 0.06, side * 0.88, side * 0.88);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8e, 0x8e, 0x93));
    p.drawRoundedRect(outer, side * 0.2, side * 0.2);
    p.setBrush(QColor(255, 255, 255, 220));
    const QRectF inner = outer.adjusted(side * 0.2, side * 0.24, -side * 0.2, -side * 0.2);
    p.drawRoundedRect(inner, side * 0.05, side * 0.05);
    p.setBrush(QColor(0x8e, 0x8e, 0x93));
    p.drawRect(QRectF(inner.left(), inner.top(), inner.width(), side * 0.08));
    return pixmap;
}

QPixmap AppIconProvider::requestPixmap(const QString& id, QSize* size, const QSize& requestedSize)
{
    const int side = requestedSize.isValid() ? std::max(requestedSize.width(), requestedSize.height()) : 64;
    const QUrl url = QUrl::fromEncoded(QByteArray::fromPercentEncoding(id.toUtf8()));
    Applications* apps = Applications::shared();
    const QPixmap pixmap = iconPixmap(apps ? apps->iconNameFor(url) : QString(), side);
    if (size)
        *size = pixmap.size();
    return pixmap;
}

} // namespace kestrune
