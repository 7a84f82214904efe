import QtQuick
import Kestrune.Style

// The arrow and its caption in a dark bubble, bouncing 8 points towards
// the icon and back, one cycle every 1.2 s. `pointsUp` puts the arrow above
// the bubble (the tray at the top of the screen), else below it.
Item {
    id: pointer

    property string caption
    property bool pointsUp: true
    property bool shown: false
    // Drawn on a solid background where windows are not blended.
    property bool solid: false
    // Where the icon is, across the view.
    property real arrowX: width / 2

    width: 260
    height: 90
    opacity: shown ? 1 : 0
    Behavior on opacity {
        NumberAnimation { duration: Theme.duration(pointer.shown ? 500 : 300) }
    }

    Rectangle {
        anchors.fill: parent
        visible: pointer.solid
        color: "#2c2c2e"
    }

    Item {
        id: container
        width: parent.width
        height: parent.height

        Text {
            objectName: "arrow"
            x: Math.max(0, Math.min(parent.width - width, pointer.arrowX - width / 2))
            y: pointer.pointsUp ? 0 : bubble.y + bubble.height
            width: 30
            height: 30
            text: pointer.pointsUp ? "↑" : "↓"
            font.pixelSize: 24
            font.bold: true
            color: "white"
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
        Rectangle {
            id: bubble
            x: (parent.width - width) / 2
            y: pointer.pointsUp ? 38 : 10
            width: parent.width - 20
            height: 40
            radius: 14
            color: Qt.rgba(0, 0, 0, 0.6)
            Text {
                objectName: "caption"
                anchors.fill: parent
                anchors.leftMargin: 8
                anchors.rightMargin: 8
                text: pointer.caption
                font.pixelSize: 12
                font.weight: Font.Medium
                color: "white"
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.Wrap
                maximumLineCount: 2
                fontSizeMode: Text.Fit
                minimumPixelSize: 9
            }
        }

        SequentialAnimation on y {
            running: pointer.shown && !Theme.reduceMotion
            loops: Animation.Infinite
            NumberAnimation { to: pointer.pointsUp ? -8 : 8; duration: 600; easing.type: Easing.InOutQuad }
            NumberAnimation { to: 0; duration: 600; easing.type: Easing.InOutQuad }
        }
    }
}
