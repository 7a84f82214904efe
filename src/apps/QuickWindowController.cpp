#include "apps/QuickWindowController.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>

namespace kestrune {

QuickWindowController::QuickWindowController(QQmlEngine& engine, Options options, QObject* parent)
    : QObject(parent), engine_(engine), options_(std::move(options))
{
}

QuickWindowController::~QuickWindowController() = default;

bool QuickWindowController::isVisible() const
{
    return window_ && window_->isVisible();
}

QQuickItem* QuickWindowController::view() const
{
    return window_ ? window_->rootObject() : nullptr;
}

void QuickWindowController::build()
{
    // A closed window keeps nothing: the next one starts from a fresh view.
    if (window_)
        window_.release()->deleteLater();
    error_.clear();
    auto window = std::make_unique<QQuickView>(&engine_, nullptr);
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                            Qt::WindowMinimizeButtonHint;
    if (options_.floating)
        flags |= Qt::WindowStaysOnTopHint;
    window->setFlags(flags);
    window->setTitle(options_.titleContext
                         ? QCoreApplication::translate(options_.titleContext, options_.title.toUtf8().constData())
                         : options_.title);
    window->setResizeMode(QQuickView::SizeViewToRootObject);
    window->setInitialProperties(options_.initialProperties);
    window->setSource(options_.source);
    if (window->status() != QQuickView::Ready) {
        for (const QQmlError& e : window->errors())
            error_ += e.toString() + QLatin1Char('\n');
        qWarning("The window \"%s\" could not be built: %s", qPrintable(window->title()), qPrintable(error_));
    }
    if (QQuickItem* root = window->rootObject()) {
        if (root->metaObject()->indexOfSignal("closeRequested()") >= 0)
            connect(root, SIGNAL(closeRequested()), this, SLOT(close()));
        window->setMinimumSize(window->size());
        window->setMaximumSize(window->size());
    }
    connect(window.get(), &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible)
            emit closed();
    });
    // Centred on the primary screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->setPosition(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
    window_ = std::move(window);
}

void QuickWindowController::showWindow()
{
    if (!isVisible())
        build();
    window_->show();
    window_->raise();
    window_->requestActivate();
    emit shown();
}

void QuickWindowController::close()
{
    if (window_)
        window_->close();
}

} // namespace kestrune
