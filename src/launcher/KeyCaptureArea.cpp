#include "launcher/KeyCaptureArea.h"

#include "launcher/PhysicalKey.h"

#include <QKeyEvent>

namespace kestrune {

namespace {
bool isModifierKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}
} // namespace

KeyCaptureArea::KeyCaptureArea(QQuickItem* parent) : QQuickItem(parent)
{
    setFlag(ItemAcceptsInputMethod, false);
    setActiveFocusOnTab(true);
}

void KeyCaptureArea::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    if (event->isAutoRepeat())
        return;
    const std::optional<KeyCode> code = physicalKeyCode(event->nativeScanCode(), event->nativeVirtualKey());
    if (event->key() == Qt::Key_Escape || code == kc::kVK_Escape) {
        emit cancelled();
        return;
    }
    if (isModifierKey(event->key()) || (code && isModifierKeyCode(*code)))
        return;
    if (!code) {
        emit unsupportedKey();
        return;
    }
    emit keyCaptured(*code);
}

void KeyCaptureArea::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

} // namespace kestrune
