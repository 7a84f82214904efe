#include "hud/QuickHudPanel.h"

#include "hud/HudViewModels.h"

#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSurfaceFormat>
#include <QtMath>

namespace kestrune {

namespace {
const QUrl kHyperView(QStringLiteral("qrc:/qt/qml/Kestrune/Hud/HUDContentView.qml"));
const QUrl kInputModeView(QStringLiteral("qrc:/qt/qml/Kestrune/Hud/HUDInputModeView.qml"));
// Room around the Hyper pill for its shadow; the input-mode square has none.
constexpr int kHyperShadowMargin = 8;

Qt::WindowFlags hudFlags()
{
    // A floating, click-through panel that never takes the keyboard: typing
    // goes on in the application underneath while a HUD is up.
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                            | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput;
    // On X11 the window manager would keep the panel on the workspace it
    // was mapped on and stack it below full-screen windows. Bypassing it
    // (override-redirect) leaves the panel where we put it, above
    // everything, on whichever workspace is showing.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        flags |= Qt::X11BypassWindowManagerHint;
    return flags;
}
} // namespace

QuickHudPanel::QuickHudPanel(std::shared_ptr<QQmlEngine> engine, const QUrl& view, QObject* viewModel,
                             QSize initialSize, int margin)
    : engine_(std::move(engine)), window_(std::make_unique<QQuickWindow>()), margin_(margin)
{
    window_->setFlags(hudFlags());
    window_->setTitle(QStringLiteral("Kestrune HUD"));
    window_->setColor(Qt::transparent);
    QSurfaceFormat format = window_->requestedFormat();
    format.setAlphaBufferSize(8);
    window_->setFormat(format);
    window_->resize(initialSize);
    // Hidden panels are fully transparent, so a hide before any show has
    // nothing to fade.
    window_->setOpacity(0);
    fade_ = new QPropertyAnimation(window_.get(), "opacity", window_.get());

    QQmlComponent component(engine_.get(), view);
    QObject* object = component.createWithInitialProperties({{QStringLiteral("viewModel"), QVariant::fromValue(viewModel)}});
    content_.reset(qobject_cast<QQuickItem*>(object));
    if (!content_) {
        delete object;
        qWarning("Kestrune: the HUD view %s did not load: %s", qPrintable(view.toString()),
                 qPrintable(component.errorString()));
        return;
    }
    content_->setParentItem(window_->contentItem());
    QObject::connect(window_.get(), &QWindow::widthChanged, content_.get(), [this] { centreContent(); });
    QObject::connect(window_.get(), &QWindow::heightChanged, content_.get(), [this] { centreContent(); });
    QObject::connect(content_.get(), &QQuickItem::widthChanged, content_.get(), [this] { centreContent(); });
    QObject::connect(content_.get(), &QQuickItem::heightChanged, content_.get(), [this] { centreContent(); });
    centreContent();
}

QuickHudPanel::~QuickHudPanel()
{
    if (fade_)
        fade_->stop();
    content_.reset();
}

void QuickHudPanel::centreContent()
{
    if (!content_)
        return;
    content_->setPosition({(window_->width() - content_->width()) / 2, (window_->height() - content_->height()) / 2});
}

QSizeF QuickHudPanel::contentSize() const
{
    if (!content_)
        return window_->size();
    return {content_->implicitWidth() + 2 * margin_, content_->implicitHeight() + 2 * margin_};
}

QSizeF QuickHudPanel::size() const
{
    return window_->size();
}

void QuickHudPanel::setSize(QSizeF size)
{
    window_->resize(qCeil(size.width()), qCeil(size.height()));
}

QPointF QuickHudPanel::position() const
{
    return window_->position();
}

void QuickHudPanel::setPosition(QPointF topLeft)
{
    window_->setPosition(qRound(topLeft.x()), qRound(topLeft.y()));
}

double QuickHudPanel::opacity() const
{
    return window_->opacity();
}

void QuickHudPanel::setOpacity(double value)
{
    fade_->stop();
    window_->setOpacity(value);
}

void QuickHudPanel::animateOpacity(double to, Millis duration)
{
    fade_->stop();
    fade_->setStartValue(window_->opacity());
    fade_->setEndValue(to);
    fade_->setDuration(int(duration.count()));
    fade_->start();
}

void QuickHudPanel::orderFront()
{
    // Never requestActivate(): the flags keep show() from taking the focus.
    // raise() because, bypassing the window manager on X11, the panel is
    // not restacked above windows mapped since it was last shown.
    window_->show();
    window_->raise();
}

void QuickHudPanel::orderOut()
{
    window_->hide();
}

bool QuickHudPanel::isShown() const
{
    return window_->isVisible();
}

// --- Factory -------------------------------------------------------------

QuickHudPanelFactory::QuickHudPanelFactory() = default;

QuickHudPanelFactory::QuickHudPanelFactory(QQmlEngine& shared)
    // Not owned: the application's engine outlives the panels.
    : engine_(&shared, [](QQmlEngine*) {})
{
}
QuickHudPanelFactory::~QuickHudPanelFactory() = default;

std::shared_ptr<QQmlEngine> QuickHudPanelFactory::engine()
{
    if (!engine_) {
        engine_ = std::make_shared<QQmlEngine>();
        engine_->addImportPath(QStringLiteral("qrc:/qt/qml"));
    }
    return engine_;
}

std::unique_ptr<HudPanel> QuickHudPanelFactory::makeHyperPanel(HyperViewModel& model)
{
    return std::make_unique<QuickHudPanel>(engine(), kHyperView, &model, QSize(220, 60), kHyperShadowMargin);
}

std::unique_ptr<HudPanel> QuickHudPanelFactory::makeInputModePanel(InputModeViewModel& model)
{
    return std::make_unique<QuickHudPanel>(engine(), kInputModeView, &model, QSize(56, 56), 0);
}

// --- Screen --------------------------------------------------------------

std::optional<HudScreenGeometry> PrimaryScreen::mainScreen() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return HudScreenGeometry{screen->geometry(), screen->availableGeometry()};
}

} // namespace kestrune
