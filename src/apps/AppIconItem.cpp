#include "apps/AppIconItem.h"

#include "apps/Applications.h"

#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QQuickWindow>

namespace kestrune {

namespace {
// Outside a desktop that names its icon theme (a bare window manager, the
// test platform), the common GNOME theme, which inherits hicolor, still
// gives applications their icons.
void useCommonThemeWhereNoneIsNamed()
{
    static const bool done = [] {
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
            QIcon::setThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    Q_UNUSED(done);
}
} // namespace

AppIconItem::AppIconItem(QQuickItem* parent) : QQuickPaintedItem(parent)
{
    useCommonThemeWhereNoneIsNamed();
}

void AppIconItem::setAppURL(const QUrl& url)
{
    if (url == appURL_)
        return;
    appURL_ = url;
    image_ = QImage();
    emit appURLChanged();
    update();
}

void AppIconItem::setIconFile(const QString& file)
{
    if (file == iconFile_)
        return;
    iconFile_ = file;
    image_ = QImage();
    emit iconFileChanged();
    update();
}

bool AppIconItem::available() const
{
    return !iconFile_.isEmpty() && QFileInfo::exists(iconFile_);
}

QImage AppIconItem::iconImage(const QString& iconName, int side)
{
    QIcon icon;
    if (iconName.startsWith(QLatin1Char('/')) && QFileInfo::exists(iconName))
        icon = QIcon(iconName);
    else if (!iconName.isEmpty())
        icon = QIcon::fromTheme(iconName);
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    if (!icon.isNull()) {
        const QImage image = icon.pixmap(QSize(side, side)).toImage();
        if (!image.isNull())
            return image;
    }
    // A grey rounded square with a window outline: an application, unnamed.
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
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
    p.end();
    return image;
}

void AppIconItem::paint(QPainter* painter)
{
    if (appURL_.isEmpty() && !available())
        return;
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const int side = qCeil(std::min(width(), height()) * ratio);
    if (side <= 0)
        return;
    if (image_.isNull() || imageSide_ != side) {
        Applications* apps = Applications::shared();
        image_ = available() ? QIcon(iconFile_).pixmap(QSize(side, side)).toImage()
                             : iconImage(apps ? apps->iconNameFor(appURL_) : QString(), side);
        if (image_.isNull())
            return;
        imageSide_ = side;
    }
    // Centred, keeping its proportions.
    QSizeF size = image_.size().scaled(QSizeF(width(), height()).toSize(), Qt::KeepAspectRatio);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(target, image_);
}

} // namespace kestrune
