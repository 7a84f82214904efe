#include "app/TrayIcon.h"

#include <QMenu>
#include <QMetaProperty>
#include <QPainter>
#include <QSvgRenderer>
#include <QSystemTrayIcon>

namespace kestrune {

QIcon menuBarIcon(const QColor& color)
{
    QSvgRenderer renderer(QStringLiteral(":/icons/MenuBarIcon.svg"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 44, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        // A template image: keep the artwork's alpha, take the panel's colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(pixmap.rect(), color);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

TrayIcon::TrayIcon(QObject* hud, QObject* parent)
    : QObject(parent), hud_(hud), menu_(std::make_unique<QMenu>()), icon_(std::make_unique<QSystemTrayIcon>())
{
    icon_->setToolTip(QStringLiteral("Kestrune"));
    // Same commands, same order and texts as the panel's ellipsis menu.
    QAction* check = menu_->addAction(tr("Check for Updates..."));
    connect(check, &QAction::triggered, this, &TrayIcon::checkForUpdatesRequested);
    menu_->addSeparator();
    hudAction_ = menu_->addAction(tr("Show HUD Notifications"));
    hudAction_->setCheckable(true);
    connect(hudAction_, &QAction::triggered, this, [this] {
        if (hud_)
            hud_->setProperty("isHUDEnabled", !hud_->property("isHUDEnabled").toBool());
        syncHudAction();
    });
    menu_->addSeparator();
    QAction* reset = menu_->addAction(tr("Reset Keys"));
    connect(reset, &QAction::triggered, this, &TrayIcon::resetKeysRequested);
    menu_->addSeparator();
    QAction* quit = menu_->addAction(tr("Quit Kestrune"));
    connect(quit, &QAction::triggered, this, &TrayIcon::quitRequested);
#ifndef Q_OS_MACOS
    // On macOS a status item that has a menu opens it on every click; there
    // a click opens the panel, whose header menu has the same commands.
    icon_->setContextMenu(menu_.get());
#endif

    if (hud_) {
        const QMetaObject* meta = hud_->metaObject();
        const int index = meta->indexOfProperty("isHUDEnabled");
        if (index >= 0 && meta->property(index).hasNotifySignal()) {
            const QMetaMethod slot = metaObject()->method(metaObject()->indexOfMethod("syncHudAction()"));
            connect(hud_, meta->property(index).notifySignal(), this, slot);
        }
    }
    syncHudAction();

    connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit panelToggleRequested(icon_->geometry());
    });
    setDarkPanel(true);
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::isAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show()
{
    icon_->show();
}

void TrayIcon::showMessage(const QString& text)
{
    icon_->showMessage(QStringLiteral("Kestrune"), text, QSystemTrayIcon::Information, 10000);
}

QRect TrayIcon::geometry() const
{
    return icon_->geometry();
}

void TrayIcon::setDarkPanel(bool dark)
{
    QIcon icon = menuBarIcon(dark ? QColor(0xf2, 0xf2, 0xf4) : QColor(0x26, 0x28, 0x2e));
#ifdef Q_OS_MACOS
    // A template image: the menu bar draws it in its own colour.
    icon.setIsMask(true);
#endif
    icon_->setIcon(icon);
}

bool TrayIcon::isPanelDark(bool schemeIsDark, const QString& currentDesktop)
{
    const QStringList desktops = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return schemeIsDark || desktops.contains(QLatin1String("GNOME"), Qt::CaseInsensitive);
}

void TrayIcon::syncHudAction()
{
    hudAction_->setChecked(hud_ && hud_->property("isHUDEnabled").toBool());
}

} // namespace kestrune
