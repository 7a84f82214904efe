#include "app/AppIconProvider.h"

#include "platform/AppBundle.h"

#include <QCoreApplication>
#include <QThread>

namespace kestrune {

AppIconProvider::AppIconProvider(Loader loader)
    : QQuickImageProvider(QQuickImageProvider::Image), loader_(std::move(loader))
{
}

QImage AppIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    QSize wanted = requestedSize;
    if (wanted.width() <= 0 && wanted.height() <= 0)
        wanted = QSize(kDefaultSize, kDefaultSize);
    else if (wanted.width() <= 0)
        wanted.setWidth(wanted.height());
    else if (wanted.height() <= 0)
        wanted.setHeight(wanted.width());

    const QString path = appIconPath(id);
    QImage image;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        image = loader_(path, wanted);
    } else {
        // The application's thread never waits for an image loader, so
        // waiting for it here cannot deadlock.
        QMetaObject::invokeMethod(app, [&] { image = loader_(path, wanted); }, Qt::BlockingQueuedConnection);
    }
    if (!image.isNull() && image.size() != wanted)
        image = image.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (size)
        *size = image.size();
    return image;
}

} // namespace kestrune
