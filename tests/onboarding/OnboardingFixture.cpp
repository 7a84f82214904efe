#include "OnboardingFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QQuickWindow>

namespace kestrune::test {

OnboardingTest::OnboardingTest()
{
    PermissionManager::setShared(&permissions_);
    AppExclusionManager::setShared(&exclusions_);
    AppLauncherManager::setShared(&launcher_);
    KeyRemapper::setShared(&remapper_);
    sim_.trust().setTrusted(false);
    engine_ = std::make_unique<QQmlEngine>();
    engine_->addImportPath(QStringLiteral("qrc:/qt/qml"));
    hud_.setProperty("isHUDEnabled", true);
}

OnboardingTest::~OnboardingTest()
{
    windows_.reset();
    panel_.reset();
    tray_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    engine_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    remapper_.stop();
    remapper_.waitForTapThreadSettled();
}

void OnboardingTest::build(bool linux)
{
    panel_ = std::make_unique<PanelWindow>(*engine_, QVariantMap{}, false);
    ASSERT_TRUE(panel_->error().isEmpty()) << panel_->error().toStdString();
    tray_ = std::make_unique<TrayIcon>(&hud_);
    ShellWindows::Parts parts;
    if (linux) {
        InputAccess::Paths paths;
        paths.uinputDevice = dir_.path() + QStringLiteral("/no-uinput");
        paths.ruleFolders = {dir_.path()};
        paths.ruleSource = dir_.path() + QStringLiteral("/share/70-kestrune.rules");
        paths.pkexec = dir_.path() + QStringLiteral("/pkexec");
        paths.sudo = dir_.path() + QStringLiteral("/no-sudo"); // the same on a machine that has it
        paths.helper = dir_.path() + QStringLiteral("/helper");
        paths.rootOnlyUpTo = dir_.path();
        if (canGrant_) {
            QDir(dir_.path()).mkpath(QStringLiteral("share"));
            QFile rule(paths.ruleSource);
            EXPECT_TRUE(rule.open(QIODevice::WriteOnly));
            for (const auto& [name, body] : {std::pair{QStringLiteral("pkexec"), QByteArray("exec \"$@\"\n")},
                                             std::pair{QStringLiteral("helper"),
                                                       "touch " + QFile::encodeName(paths.uinputDevice) + "\n"}}) {
                QFile file(dir_.path() + QLatin1Char('/') + name);
                EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("#!/bin/sh\n" + body);
                file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            }
        }
        parts.inputAccess = std::make_unique<InputAccess>(paths, [] { return InputAccess::KeyboardState{1, true}; });
    }
    parts.pointer.iconGeometry = [this] { return icon_; };
    parts.pointer.canPlaceWindows = [this] { return !wayland_; };
    parts.pointer.canBlendWindows = [this] { return blend_; };
    parts.pointer.notify = [this](const QString& caption) { notices_ << caption; };
    windows_ = std::make_unique<ShellWindows>(*engine_, platform_, *panel_, *tray_, std::move(parts));
}

QQuickWindow* OnboardingTest::welcomeWindow() const
{
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (auto* quick = qobject_cast<QQuickWindow*>(window);
            quick && quick->isVisible() && quick->contentItem()->findChild<QQuickItem*>(QStringLiteral("page.0")))
            return quick;
    return nullptr;
}

void OnboardingTest::advance(Millis by)
{
    remapper_.waitForTapThreadSettled();
    sim_.scheduler().advanceBy(by);
    sim_.scheduler().runDue();
    d_.settle();
}

} // namespace kestrune::test
