#pragma once
// "image://appicon/<percent-encoded application URL>": the application's
// icon from the icon theme or its own file; a plain placeholder when it has
// none, so rows keep their shape. Register it on an engine under "appicon".
// Requests arrive on the main thread (a pixmap provider), where the
// workspace may be asked.

#include <QQuickImageProvider>

namespace kestrune {

class AppIconProvider : public QQuickImageProvider {
public:
    AppIconProvider();
    QPixmap requestPixmap(const QString& id, QSize* size, const QSize& requestedSize) override;

    // The icon for a theme name or file (empty: the placeholder).
    static QPixmap iconPixmap(const QString& iconName, int side);
};

} // namespace kestrune
