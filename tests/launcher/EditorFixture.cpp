#include "EditorFixture.h"

#include "../linux/DesktopFilesEnvironment.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QIcon>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QQuickView>

namespace kestrune::test {

EditorTest::EditorTest()
{
    PermissionManager::setShared(&permissions_);
    AppExclusionManager::setShared(&exclusions_);
    AppLauncherManager::setShared(&launcher_);
    KeyRemapper::setShared(&remapper_);
    Applications::setShared(&applications_);
    // The data folders point at the test's own applications; the icon
    // themes stay the system's.
    if (!QIcon::themeSearchPaths().contains(QStringLiteral("/usr/share/icons")))
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << QStringLiteral("/usr/share/icons"));
    engine_ = std::make_unique<QQmlEngine>();
    engine_->addImportPath(QStringLiteral("qrc:/qt/qml"));
    launcherWindow_ = std::make_unique<AppLauncherWindowController>(*engine_);
    exclusionWindow_ = std::make_unique<AppExclusionWindowController>(*engine_);
}

EditorTest::~EditorTest()
{
    launcherWindow_.reset();
    exclusionWindow_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    engine_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    remapper_.stop();
    remapper_.waitForTapThreadSettled();
}

void EditorTest::openLauncher()
{
    launcherWindow_->showWindow();
    ASSERT_TRUE(launcherWindow_->error().isEmpty()) << launcherWindow_->error().toStdString();
    d_.setWindow(launcherWindow_->window());
    d_.settle();
}

void EditorTest::openExclusions()
{
    exclusionWindow_->showWindow();
    ASSERT_TRUE(exclusionWindow_->error().isEmpty()) << exclusionWindow_->error().toStdString();
    d_.setWindow(exclusionWindow_->window());
    d_.settle();
}

QQuickItem* EditorTest::item(const QString& objectName)
{
    QQuickItem* found = d_.find(objectName);
    EXPECT_TRUE(found) << "no item " << objectName.toStdString();
    return found;
}

bool EditorTest::isShown(const QString& objectName)
{
    return d_.findVisible(objectName) != nullptr;
}

QUrl EditorTest::desktopFile(const QString& relative)
{
    return QUrl::fromLocalFile(desktopRoot() + QStringLiteral("/data/applications/") + relative);
}

void EditorTest::openChooser()
{
    d_.click(item(QStringLiteral("addApplicationButton")));
    ASSERT_TRUE(isShown(QStringLiteral("appChooser")));
}

void EditorTest::search(const QString& text)
{
    d_.typeText(text);
}

void EditorTest::startCapture(const QString& query)
{
    openChooser();
    search(query);
    d_.key(Qt::Key_Return, 28, Qt::NoModifier, QStringLiteral("\r"));
    ASSERT_TRUE(isShown(QStringLiteral("keyListeningCard")));
}

void EditorTest::browseTo(const QString& path)
{
    d_.click(item(QStringLiteral("browseButton")));
    QFileDialog* dialog = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* candidate = qobject_cast<QFileDialog*>(widget); candidate && candidate->isVisible())
            dialog = candidate;
    ASSERT_TRUE(dialog) << "Browse… opened no file dialog";
    // As a person does: the path typed into the name field, then Return.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(name);
    name->setText(path);
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    d_.settle();
}

} // namespace kestrune::test
