#pragma once
// An application's icon, drawn at the item's size: from the icon theme or
// the application's own icon file, or a plain placeholder when it has none,
// so rows keep their shape (QML type AppIconItem; AppIcon.qml sizes it).
// Drawn by the item itself rather than through an image provider, whose
// images Qt keeps past the engine. Main thread.

#include <QImage>
#include <QQuickPaintedItem>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class AppIconItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl appURL READ appURL WRITE setAppURL NOTIFY appURLChanged)

public:
    explicit AppIconItem(QQuickItem* parent = nullptr);

    QUrl appURL() const { return appURL_; }
    void setAppURL(const QUrl& url);

    void paint(QPainter* painter) override;

    // The icon for a theme name or file (empty: the placeholder), `side`
    // pixels square.
    static QImage iconImage(const QString& iconName, int side);

signals:
    void appURLChanged();

private:
    QUrl appURL_;
    QImage image_; // made for imageSide_ pixels, remade when that changes
    int imageSide_ = 0;
};

} // namespace kestrune
