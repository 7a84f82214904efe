#pragma once
// Takes every key press while it has the focus and reports the physical
// key (see PhysicalKey.h): Escape cancels and can never be captured; a
// modifier alone is not captured; a key pressed with modifiers is captured
// by its own code, the modifiers ignored. Each press is consumed. Main thread.

#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class KeyCaptureArea : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit KeyCaptureArea(QQuickItem* parent = nullptr);

signals:
    void keyCaptured(qint64 keyCode);
    void cancelled();
    // A key with no code Kestrune can bind (a media key, for instance).
    void unsupportedKey();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

} // namespace kestrune
