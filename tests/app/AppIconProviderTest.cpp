// Application icons reach QML views through the "appicon" image provider,
// from any path, at the size the view asks for, with the platform's loader
// always called on the application's thread.

#include "app/AppIconProvider.h"
#include "platform/AppBundle.h"
#include "support/ViewHarness.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <atomic>

using namespace kestrune;
using namespace kestrune::test;

namespace {

struct LoaderRecord {
    QStringList paths;
    QList<QSize> sizes;
    std::atomic<bool> offThread{false};
};

AppIconProvider* recordingProvider(LoaderRecord& record, QColor colour)
{
    return new AppIconProvider([&record, colour](const QString& path, const QSize& size) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            record.offThread = true;
        record.paths << path;
        record.sizes << size;
        if (path.contains(QStringLiteral("Missing")))
            return QImage();
        QImage image(16, 16, QImage::Format_ARGB32_Premultiplied); // scaled up by the provider
        image.fill(colour);
        return image;
    });
}

QString imageQml(const QString& path, bool asynchronous)
{
    return QStringLiteral("import QtQuick\nRectangle { width: 100; height: 60; color: \"white\"\n"
                          "  Image { objectName: \"icon\"; x: 10; y: 10; width: 40; height: 40; sourceSize: Qt.size(40, 40);"
                          " asynchronous: %2; cache: false; source: \"%1\" } }")
        .arg(appIconUrl(path), asynchronous ? QStringLiteral("true") : QStringLiteral("false"));
}

TEST(AppIconProvider, ShowsTheIconOfTheApplicationAtAnyPath)
{
    const QString path = QStringLiteral("/Applications/My Tools/100% Ready #1 アプリ.app");
    for (bool asynchronous : {false, true}) {
        ViewHarness h;
        LoaderRecord record;
        h.engine().addImageProvider(AppIconProvider::kProviderId, recordingProvider(record, Qt::red));
        ASSERT_TRUE(h.load(imageQml(path, asynchronous))) << qPrintable(h.error());
        QQuickItem* icon = h.find(QStringLiteral("icon"));
        ASSERT_TRUE(icon);
        ASSERT_TRUE(h.waitUntil([&] { return icon->property("status").toInt() == 1; })); // Image.Ready
        const QImage shot = h.grab();
        h.savePng(shot, asynchronous ? QStringLiteral("app-icon-async") : QStringLiteral("app-icon"));
        EXPECT_EQ(pixel(shot, {30, 30}), QColor(Qt::red));
        EXPECT_EQ(pixel(shot, {80, 30}), QColor(Qt::white));
        ASSERT_EQ(record.paths.size(), 1);
        EXPECT_EQ(record.paths.first(), path);
        EXPECT_EQ(record.sizes.first(), QSize(40, 40));
        EXPECT_FALSE(record.offThread) << "asynchronous: " << asynchronous;
        // The image is let go while the window still renders, so that the
        // scene graph frees its texture before the window goes.
        icon->setProperty("source", QString());
        h.grab();
    }
}

TEST(AppIconProvider, SizesAndMissingIcons)
{
    LoaderRecord record;
    std::unique_ptr<AppIconProvider> provider(recordingProvider(record, Qt::blue));
    QSize size;
    const QString id = appIconUrl(QStringLiteral("/Applications/Safari.app")).mid(16);
    QImage image = provider->requestImage(id, &size, QSize());
    EXPECT_EQ(size, QSize(AppIconProvider::kDefaultSize, AppIconProvider::kDefaultSize));
    EXPECT_EQ(image.size(), size);
    image = provider->requestImage(id, &size, QSize(0, 32));
    EXPECT_EQ(size, QSize(32, 32));

    image = provider->requestImage(appIconUrl(QStringLiteral("/Applications/Missing.app")).mid(16), &size, QSize(20, 20));
    EXPECT_TRUE(image.isNull());
    EXPECT_TRUE(size.isEmpty());
}

} // namespace
