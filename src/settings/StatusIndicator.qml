import QtQuick
import Kestrune.Style

// The small lamp at a card's top-trailing corner: blue and glowing while
// the feature is on, an empty ring while it is off.
Item {
    id: indicator

    property bool isActive: false

    implicitWidth: 8
    implicitHeight: 8

    // The glow: rings of fading blue out to 4 px around the lamp.
    Repeater {
        model: 4
        Rectangle {
            required property int index
            anchors.centerIn: parent
            width: 8 + 2 * (index + 1)
            height: width
            radius: width / 2
            color: Theme.alpha(Theme.blue, 0.6 * 0.3 * (1 - index / 4))
            opacity: indicator.isActive ? 1 : 0
            Behavior on opacity {
                NumberAnimation { duration: Theme.duration(200); easing.type: Easing.InOutQuad }
            }
        }
    }

    Rectangle {
        objectName: "lamp"
        anchors.fill: parent
        radius: width / 2
        // Fading to the same hue keeps the transition free of a grey midpoint.
        color: indicator.isActive ? Theme.blue : Theme.alpha(Theme.blue, 0)
        border.width: 1
        border.color: Theme.alpha(Theme.secondary, 0.2)
        Behavior on color {
            ColorAnimation { duration: Theme.duration(200); easing.type: Easing.InOutQuad }
        }
    }
}
