#include "app/PanelWindow.h"

#include "app/PanelPlacement.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>

namespace kestrune {

PanelWindow::PanelWindow(QQmlEngine& engine, const QVariantMap& models, bool standalone, QObject* parent)
    : QObject(parent), view_(std::make_unique<QQuickView>(&engine, nullptr))
{
    view_->setTitle(QStringLiteral("Kestrune"));
    view_->setColor(Qt::transparent);
    view_->setResizeMode(QQuickView::SizeViewToRootObject);
    setStandalone(standalone);
    view_->setInitialProperties(models);
    view_->setSource(QUrl(QStringLiteral("qrc:/qt/qml/Kestrune/Settings/SettingsView.qml")));
    if (view_->status() != QQuickView::Ready) {
        for (const QQmlError& e : view_->errors())
            error_ += e.toString() + QLatin1Char('\n');
    }
    if (QQuickItem* item = root()) {
        connect(item, SIGNAL(resetKeysRequested()), this, SIGNAL(resetKeysRequested()));
        connect(item, SIGNAL(quitRequested()), this, SIGNAL(quitRequested()));
        connect(item, SIGNAL(aboutRequested()), this, SIGNAL(aboutRequested()));
        connect(item, SIGNAL(launcherSettingsRequested()), this, SIGNAL(launcherSettingsRequested()));
        connect(item, SIGNAL(exclusionSettingsRequested()), this, SIGNAL(exclusionSettingsRequested()));
        connect(item, SIGNAL(closeRequested()), this, SLOT(closeIfPanel()));
        view_->setMinimumSize(view_->size());
        view_->setMaximumSize(view_->size());
    }
    connect(view_.get(), &QWindow::visibleChanged, this, &PanelWindow::visibleChanged);
    connect(view_.get(), &QWindow::activeChanged, this, [this] {
        // A click outside a menu-bar window closes it: the panel loses activation.
        if (!standalone_ && view_->isVisible() && !view_->isActive()) {
            view_->hide();
            sinceAutoHide_.start();
        }
    });
}

PanelWindow::~PanelWindow() = default;

void PanelWindow::setStandalone(bool standalone)
{
    standalone_ = standalone;
    if (standalone_) {
        view_->setFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    } else {
        // A tool window takes no taskbar entry; frameless, it is the panel.
        view_->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    }
}

QQuickItem* PanelWindow::root() const
{
    return view_->rootObject();
}

void PanelWindow::showAt(const QRect& iconGeometry)
{
    if (!standalone_) {
        QScreen* screen = iconGeometry.isEmpty() ? nullptr : QGuiApplication::screenAt(iconGeometry.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen)
            view_->setPosition(panelPosition(iconGeometry, view_->size(), screen->availableGeometry()));
    }
    if (QQuickItem* item = root())
        QMetaObject::invokeMethod(item, "panelShown");
    view_->show();
    view_->raise();
    view_->requestActivate();
    emit shown();
}

void PanelWindow::toggleAt(const QRect& iconGeometry)
{
    // Clicking the tray icon while the panel is open first takes activation
    // from the panel (which closes it), then arrives here: that click meant
    // "close", not "open again".
    if (sinceAutoHide_.isValid() && sinceAutoHide_.elapsed() < 300) {
        sinceAutoHide_.invalidate();
        return;
    }
    if (view_->isVisible())
        hide();
    else
        showAt(iconGeometry);
}

void PanelWindow::hide()
{
    view_->hide();
}

void PanelWindow::closeIfPanel()
{
    // Escape closes a tray panel like a menu; an ordinary window stays.
    if (!standalone_)
        hide();
}

void PanelWindow::setModel(const char* name, QObject* model)
{
    if (QQuickItem* item = root())
        item->setProperty(name, QVariant::fromValue(model));
}

} // namespace kestrune
