#pragma once
// The "appicon" image provider: QML shows an application's icon with
//   Image { source: identity.iconName }   // "image://appicon/<encoded path>"
// and the provider asks the platform's loader for the picture of the
// application at that path. The loader always runs on the application's
// thread (platform icon services are used from there), even when Qt asks
// for the image from a loading thread.

#include <QQuickImageProvider>
#include <functional>

namespace kestrune {

class AppIconProvider final : public QQuickImageProvider {
public:
    // `path`: the application's plain path; `size`: the pixel size wanted.
    // Returns a null image when there is no icon.
    using Loader = std::function<QImage(const QString& path, const QSize& size)>;

    inline static const QString kProviderId = QStringLiteral("appicon");
    // Icons without a requested size are drawn this large.
    static constexpr int kDefaultSize = 64;

    explicit AppIconProvider(Loader loader);

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

private:
    Loader loader_;
};

} // namespace kestrune
