import QtQuick
import Kestrune.Style

// The keyboard focus ring: an accent-coloured ring just outside the control
// it surrounds. The owner shows it only while focus came from the keyboard
// (Tab, Shift+Tab, the arrow keys), never after a click, so pointer users
// see no change.
Rectangle {
    // The surrounded control's corner radius; the ring follows its shape.
    property real cornerRadius: 6
    // Distance from the control's edge to the ring's outer edge.
    readonly property real offset: 4

    objectName: "focusRing"
    anchors.fill: parent
    anchors.margins: -offset
    radius: cornerRadius + offset
    color: "transparent"
    border.width: 2
    border.color: Theme.blue
    visible: false
}
