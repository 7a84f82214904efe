#include "app/ShellWindows.h"

#include "app/PanelWindow.h"
#include "app/TrayIcon.h"

#include "system/PermissionManager.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QQmlEngine>

namespace kestrune {

ShellWindows::ShellWindows(QQmlEngine& engine, Platform& platform, PanelWindow& panel, TrayIcon& tray, Parts parts)
    : applications_(platform.workspace, parts.catalog)
    , launcherWindow_(engine)
    , exclusionWindow_(engine)
    , inputAccess_(std::move(parts.inputAccess))
    , pointer_(engine, platform.scheduler, std::move(parts.pointer))
{
    Applications::setShared(&applications_);
    AppLauncherWindowController::setShared(&launcherWindow_);
    AppExclusionWindowController::setShared(&exclusionWindow_);
    MenuBarPointerManager::setShared(&pointer_);

    QObject::connect(&panel, &PanelWindow::launcherSettingsRequested, &launcherWindow_,
                     &QuickWindowController::showWindow);
    QObject::connect(&panel, &PanelWindow::exclusionSettingsRequested, &exclusionWindow_,
                     &QuickWindowController::showWindow);
    // The pointer goes as soon as the panel or the tray menu opens.
    QObject::connect(&panel, &PanelWindow::shown, &pointer_, &MenuBarPointerManager::hide);
    QObject::connect(&tray, &TrayIcon::panelToggleRequested, &pointer_, &MenuBarPointerManager::hide);
    if (QMenu* menu = tray.menu())
        QObject::connect(menu, &QMenu::aboutToShow, &pointer_, &MenuBarPointerManager::hide);

    QObject::connect(&tray, &TrayIcon::openSettingsRequested, &panel, [&panel, &tray] {
        panel.showAt(panel.isStandalone() ? QRect() : tray.geometry());
    });
    aboutWindow_ = std::make_unique<QuickWindowController>(
        engine, QuickWindowController::Options{
                    QUrl(QStringLiteral("qrc:/qt/qml/Kestrune/Settings/AboutView.qml")),
                    QStringLiteral(QT_TRANSLATE_NOOP("AboutView", "About Kestrune")), "AboutView",
                    {{QStringLiteral("version"), QCoreApplication::applicationVersion()},
                     {QStringLiteral("licence"), QStringLiteral(KESTRUNE_LICENSE)},
                     {QStringLiteral("homepage"), QStringLiteral(KESTRUNE_HOMEPAGE_URL)}},
                    false});
    QObject::connect(&tray, &TrayIcon::aboutRequested, aboutWindow_.get(), &QuickWindowController::showWindow);
    QObject::connect(&panel, &PanelWindow::aboutRequested, aboutWindow_.get(), &QuickWindowController::showWindow);

    // While the guide watches the permission, coming back to Kestrune
    // re-checks it at once (the user may have just granted it elsewhere).
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &pointer_, [](Qt::ApplicationState state) {
        if (PermissionManager* permissions = PermissionManager::shared(); permissions && state == Qt::ApplicationActive)
            permissions->handleAppDidBecomeActive();
    });

    if (inputAccess_) {
        inputAccessWindow_ = std::make_unique<QuickWindowController>(
            engine, QuickWindowController::Options{
                        QUrl(QStringLiteral("qrc:/qt/qml/Kestrune/Onboarding/InputAccessView.qml")),
                        QStringLiteral(QT_TRANSLATE_NOOP("InputAccessView", "Input Access")), "InputAccessView",
                        {{QStringLiteral("inputAccess"), QVariant::fromValue<QObject*>(inputAccess_.get())}},
                        false});
    }
    if (inputAccess_) {
        // A one-step fix that did not take shows what remains to be done.
        // Access granted shows at once, not at the next re-check; a fix that
        // did not take shows what remains to be done.
        QObject::connect(inputAccess_.get(), &InputAccess::fixFinished, inputAccessWindow_.get(),
                         [this](bool succeeded) {
                             if (PermissionManager* permissions = PermissionManager::shared())
                                 permissions->checkPermission();
                             if (!succeeded && !welcome_->isPresented())
                                 inputAccessWindow_->showWindow();
                         });
    }
    MenuBarPointerManager* pointer = &pointer_;
    welcome_ = std::make_unique<WelcomeWindowController>(engine, platform.defaults, platform.scheduler,
                                                         inputAccess_.get(), [pointer] { pointer->show(); });
}

ShellWindows::~ShellWindows() = default;

void ShellWindows::grantInputAccess()
{
    if (!inputAccess_)
        return;
    inputAccess_->refresh();
    if (inputAccess_->canFixInOneStep())
        inputAccess_->fix();
    else if (inputAccessWindow_)
        inputAccessWindow_->showWindow();
}

} // namespace kestrune
