#pragma once
// Drives a window the product built itself (an editor, the welcome window)
// as a person would: finds controls by objectName, clicks them where they
// are drawn, types keys (with the physical scan code a keyboard sends), and
// saves what the window shows. Main thread.

#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <string>

namespace kestrune::test {

class WindowDriver {
public:
    explicit WindowDriver(QQuickWindow* window = nullptr) : window_(window) {}
    void setWindow(QQuickWindow* window) { window_ = window; }
    QQuickWindow* window() const { return window_; }

    // The first item with this objectName that is visible (or, failing
    // that, any), anywhere under the window's content.
    QQuickItem* find(const QString& objectName) const;
    QQuickItem* findVisible(const QString& objectName) const;

    // Lays out, then clicks the item's centre.
    void click(QQuickItem* item);
    void doubleClick(QQuickItem* item);
    // A key press and release as a keyboard on X11 sends it: the Qt key, the
    // xkb keycode (evdev code + 8; 0 for none) and the text it types.
    void key(int qtKey, quint32 evdevCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = QString());
    void typeText(const QString& text);

    // Renders a frame (layouts settle only then) and lets queued work run.
    void settle();
    QImage grab();
    // Saves under the build's screenshots folder; returns the path.
    QString save(const QString& name);
    // The texts shown now that stand out less than they must, described
    // ("" when every one reads well), popups included.
    std::string illegibleTexts();

private:
    QQuickWindow* window_;
};

// Every item under `root` (depth first) whose objectName is `name`.
QList<QQuickItem*> itemsNamed(QQuickItem* root, const QString& name);
// Texts shown under `root`, for checking a translation took.
QStringList textsUnder(QQuickItem* root);

} // namespace kestrune::test
