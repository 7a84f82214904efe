#pragma once
// Renders Kestrune's QML views in a real window on the offscreen platform
// (or Xvfb), with the software scene graph, and drives them as a person
// would: clicks and hovers go to the window as mouse events at the control.
// Main thread; one harness per test.

#include <QImage>
#include <QPointF>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace kestrune::test {

class ViewHarness {
public:
    ViewHarness();
    ~ViewHarness();

    QQmlEngine& engine() { return *engine_; }

    // Builds `qml` (a QML document body, imports included) and shows it: an
    // Item is put in a window of its own size (or `size`); a Window is shown
    // as it is. Returns the root object, or null with the errors in `error()`.
    QObject* load(const QString& qml, QSize size = {});
    QString error() const { return error_; }
    QQuickWindow* window() const { return window_; }

    // The first object below the root with this objectName (null if none).
    QQuickItem* find(const QString& objectName) const;

    // Mouse events at the item's centre (or at `local`, in item coordinates).
    void click(QQuickItem* item, Qt::MouseButton button = Qt::LeftButton);
    void clickAt(QQuickItem* item, QPointF local, Qt::MouseButton button = Qt::LeftButton);
    void hover(QQuickItem* item);
    void hoverAway();

    // Lets queued work and the scene graph settle.
    void settle();
    // Runs the event loop until `done` holds or `timeoutMs` pass.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs = 3000);

    QImage grab();
    // Saves under $KESTRUNE_SCREENSHOT_DIR (default: ./screenshots beside the
    // test binary) and returns the path.
    QString savePng(const QImage& image, const QString& name);

private:
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<QObject> root_;
    QQuickWindow* window_ = nullptr;
    std::unique_ptr<QQuickWindow> ownWindow_;
    QString error_;
};

// Runs the event loop until `done` holds; false after `timeoutMs`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Colour at a point of an image, as a person would read it off a screenshot.
QColor pixel(const QImage& image, QPointF at);

// WCAG's contrast ratio of two colours (1 to 21), alpha ignored.
double contrastRatio(const QColor& a, const QColor& b);
// Whether the control's own focus ring (a FocusRing in its parts, not in a
// control inside it) is showing.
bool focusRingShown(QQuickItem* control);

// The texts shown under `root`: visible, not faded, not blank.
QList<QQuickItem*> shownTexts(QQuickItem* root);
// Whether a shown text, wholly inside `image`, stands out as it must: 4.5:1
// for words, 3:1 for large text and for a symbol of the symbol font. Its
// colour is laid over the colour the edges of its box show most (the
// background, as rendered) and measured against it. Empty when it reads
// well (or is not wholly in the image); else what it is and its ratio.
QString legibilityShortfall(const QImage& image, const QQuickItem* text);
// The shortfalls of every text shown under `root`, joined for one EXPECT:
// "" when every one reads well.
std::string illegibleTexts(const QImage& image, QQuickItem* root);

} // namespace kestrune::test
