#pragma once
// An application's icon, drawn at the item's size: from the icon theme or
// the application's own icon file, or a plain placeholder when it has none,
// so rows keep their shape (QML type AppIconItem; AppIcon.qml sizes it); or
// any icon file. Drawn by the item itself rather than by an Image, whose
// pixmaps Qt kept past the process's end (an image provider's, or an SVG
// in a window still open at quit). Main thread.

#include <QImage>
#include <QQuickPaintedItem>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class AppIconItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl appURL READ appURL WRITE setAppURL NOTIFY appURLChanged)
    // Instead of an application, an icon file (a resource path works too).
    Q_PROPERTY(QString iconFile READ iconFile WRITE setIconFile NOTIFY iconFileChanged)
    // False when the icon file cannot be found.
    Q_PROPERTY(bool available READ available NOTIFY iconFileChanged)

public:
    explicit AppIconItem(QQuickItem* parent = nullptr);

    QUrl appURL() const { return appURL_; }
    void setAppURL(const QUrl& url);
    QString iconFile() const { return iconFile_; }
    void setIconFile(const QString& file);
    bool available() const;

    void paint(QPainter* painter) override;

    // The icon for a theme name or file (empty: the placeholder), `side`
    // pixels square.
    static QImage iconImage(const QString& iconName, int side);

signals:
    void appURLChanged();
    void iconFileChanged();

private:
    QUrl appURL_;
    QString iconFile_;
    QImage image_; // made for imageSide_ pixels, remade when that changes
    int imageSide_ = 0;
};

} // namespace kestrune
