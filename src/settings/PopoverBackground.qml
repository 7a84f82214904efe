import QtQuick
import Kestrune.Style

// The surface of the panel's popovers, menus and pop-up lists. Opaque: with
// no blur behind it, any translucency would let the text beneath show
// through the text on top. A soft shadow lifts it off the panel.
Item {
    id: surface

    property real radius: 8

    implicitWidth: 40
    implicitHeight: 24

    Repeater {
        model: 3
        Rectangle {
            required property int index
            readonly property int spread: index + 1
            x: -spread
            y: -spread + 2
            width: surface.width + 2 * spread
            height: surface.height + 2 * spread
            radius: surface.radius + spread
            color: "transparent"
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, Theme.isDark ? 0.16 - 0.04 * index : 0.07 - 0.02 * index)
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: surface.radius
        color: Qt.rgba(Theme.popoverMaterial.r, Theme.popoverMaterial.g, Theme.popoverMaterial.b, 1)
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.12)
    }
}
