#include "app/TrayIcon.h"

#include <QMenu>
#include <QMetaProperty>
#include <QPainter>
#include <QSvgRenderer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace kestrune {

namespace {

// A red disc with a white "!", in the lower right corner, over a gap cut out
// of the artwork, so that it reads on any panel.
void paintBadge(QPainter& painter, int size)
{
    const qreal d = size * 0.5;
    const QRectF disc(size - d, size - d, d, d);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(disc.adjusted(-size * 0.06, -size * 0.06, size * 0.06, size * 0.06));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBrush(QColor(0xff, 0x3b, 0x30));
    painter.drawEllipse(disc);
    painter.setBrush(Qt::white);
    const qreal w = std::max<qreal>(1.5, d * 0.16);
    const QPointF c = disc.center();
    painter.drawRect(QRectF(c.x() - w / 2, disc.top() + d * 0.2, w, d * 0.38));
    painter.drawRect(QRectF(c.x() - w / 2, disc.top() + d * 0.66, w, w));
    painter.restore();
}

} // namespace

QIcon menuBarIcon(const QColor& color, RemapperStatus::State state)
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
        QColor ink = color;
        // Paused: there, but quiet, as a disabled network applet is.
        if (state == RemapperStatus::Paused)
            ink.setAlphaF(0.4);
        painter.fillRect(pixmap.rect(), ink);
        if (state == RemapperStatus::NotWorking)
            paintBadge(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

TrayIcon::TrayIcon(QObject* hud, QObject* parent)
    : QObject(parent), hud_(hud), menu_(std::make_unique<QMenu>()), icon_(std::make_unique<QSystemTrayIcon>())
{
    icon_->setToolTip(QStringLiteral("Kestrune"));
    QAction* open = menu_->addAction(tr("Open Settings"));
    connect(open, &QAction::triggered, this, &TrayIcon::openSettingsRequested);
    pauseAction_ = menu_->addAction(tr("Pause"));
    pauseAction_->setVisible(false);
    connect(pauseAction_, &QAction::triggered, this, [this] {
        if (status_)
            status_->togglePaused();
    });
    menu_->addSeparator();
    // Then the panel's ellipsis menu: same commands, order and texts.
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
    resetAction_ = menu_->addAction(tr("Reset Keys"));
    connect(resetAction_, &QAction::triggered, this, [this] {
        emit resetKeysRequested();
        // The menu is gone by now: a brief word that it ran.
        showMessage(tr("Keys reset."));
    });
    menu_->addSeparator();
    QAction* about = menu_->addAction(tr("About Kestrune"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &TrayIcon::aboutRequested);
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

    connect(icon_.get(), &QSystemTrayIcon::messageClicked, this, &TrayIcon::onMessageClicked);
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
    showMessage(QStringLiteral("Kestrune"), text);
}

void TrayIcon::showMessage(const QString& title, const QString& text)
{
    keyboardsMessageShown_ = false;
    icon_->showMessage(title, text, QSystemTrayIcon::Information, 10000);
}

// A click on the word of a new keyboard opens the window where its choice
// is changed (where the tray reports clicks on its notifications).
void TrayIcon::onMessageClicked()
{
    if (std::exchange(keyboardsMessageShown_, false))
        emit keyboardsRequested();
}

void TrayIcon::offerKeyboards()
{
    if (keyboardsAction_)
        return;
    // In the panel's ⋯ menu it comes just before "Reset Keys".
    keyboardsAction_ = new QAction(tr("Keyboards…"), menu_.get());
    menu_->insertAction(resetAction_, keyboardsAction_);
    connect(keyboardsAction_, &QAction::triggered, this, &TrayIcon::keyboardsRequested);
}

void TrayIcon::announceNewKeyboard(const QString& name, bool remapped)
{
    if (newKeyboards_.isEmpty())
        QTimer::singleShot(0, this, &TrayIcon::showNewKeyboards);
    if (!newKeyboards_.contains(name))
        newKeyboards_ << name;
    newKeyboardsRemapped_ = remapped;
}

void TrayIcon::showNewKeyboards()
{
    const QStringList names = std::exchange(newKeyboards_, {});
    if (names.isEmpty())
        return;
    const QString title = names.size() == 1 ? tr("New keyboard: %1").arg(names.first())
                                            : tr("New keyboards: %1").arg(names.join(tr(", ")));
    const QString text = names.size() == 1
        ? (newKeyboardsRemapped_ ? tr("Kestrune remaps it. Open Keyboards… to change this.")
                                 : tr("Kestrune leaves it alone. Open Keyboards… to change this."))
        : (newKeyboardsRemapped_ ? tr("Kestrune remaps them. Open Keyboards… to change this.")
                                 : tr("Kestrune leaves them alone. Open Keyboards… to change this."));
    showMessage(title, text);
    keyboardsMessageShown_ = true;
}

QRect TrayIcon::geometry() const
{
    return icon_->geometry();
}

void TrayIcon::setDarkPanel(bool dark)
{
    darkPanel_ = dark;
    const RemapperStatus::State state = status_ ? status_->state() : RemapperStatus::Working;
    QIcon icon = menuBarIcon(dark ? QColor(0xf2, 0xf2, 0xf4) : QColor(0x26, 0x28, 0x2e), state);
#ifdef Q_OS_MACOS
    // A template image: the menu bar draws it in its own colour (the badge
    // of a template is drawn in that colour too, still telling the state).
    icon.setIsMask(true);
#endif
    icon_->setIcon(icon);
}

void TrayIcon::setStatus(RemapperStatus* status)
{
    if (status_)
        disconnect(status_, nullptr, this, nullptr);
    status_ = status;
    if (status_)
        connect(status_, &RemapperStatus::changed, this, &TrayIcon::syncStatus);
    syncStatus();
}

void TrayIcon::syncStatus()
{
    pauseAction_->setVisible(status_ != nullptr);
    QString tip = QStringLiteral("Kestrune");
    if (status_) {
        pauseAction_->setText(status_->state() == RemapperStatus::Paused ? tr("Resume") : tr("Pause"));
        tip = status_->summary();
        if (const QString detail = status_->detail(); !detail.isEmpty())
            tip += QLatin1Char('\n') + detail;
    }
    icon_->setToolTip(panelOpen_ ? QString() : tip);
    setDarkPanel(darkPanel_);
}

void TrayIcon::setPanelOpen(bool open)
{
    if (std::exchange(panelOpen_, open) != open)
        syncStatus();
}

QString TrayIcon::toolTip() const
{
    return icon_->toolTip();
}

QIcon TrayIcon::icon() const
{
    return icon_->icon();
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
