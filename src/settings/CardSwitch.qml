import QtQuick
import Kestrune.Style

// A card's on/off switch at its top-trailing corner, and the only place a
// click turns the feature on or off: a blue track with the knob to the right
// while on, a faint track with the knob to the left while off.
Item {
    id: control

    property bool isActive: false

    signal clicked()

    implicitWidth: 30
    implicitHeight: 18

    Rectangle {
        objectName: "track"
        anchors.fill: parent
        radius: height / 2
        color: control.isActive ? Theme.blue : Theme.alpha(Theme.secondary, 0.25)
        border.width: 1
        border.color: control.isActive ? Theme.blue : Theme.alpha(Theme.secondary, 0.35)
        Behavior on color {
            ColorAnimation { duration: Theme.duration(200); easing.type: Easing.InOutQuad }
        }
    }

    Rectangle {
        objectName: "knob"
        width: control.height - 4
        height: width
        radius: width / 2
        y: 2
        x: control.isActive ? control.width - width - 2 : 2
        color: "white"
        border.width: 1
        border.color: Theme.alpha("black", 0.12)
        Behavior on x {
            NumberAnimation { duration: Theme.duration(200); easing.type: Easing.InOutQuad }
        }
    }

    // A little larger than the track, so the switch is easy to hit.
    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        cursorShape: Qt.PointingHandCursor
        onClicked: control.clicked()
    }
}
