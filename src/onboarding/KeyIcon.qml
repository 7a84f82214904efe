import QtQuick
import Kestrune.Style

// A key cap with a symbol on it: the cap is 1.6 × size square with corners
// of 0.3 × size, a soft shadow below and a faint border.
Item {
    id: key

    property string icon
    // A word on the cap instead of the symbol (Linux names its modifiers).
    property string label: ""
    property color color: Theme.primary
    property real size: 24

    implicitWidth: 1.6 * size
    implicitHeight: 1.6 * size

    Rectangle {
        x: 0
        y: 1
        width: parent.width
        height: parent.height
        radius: 0.3 * key.size
        color: Theme.alpha("black", 0.2)
    }
    Rectangle {
        objectName: "keyCap"
        anchors.fill: parent
        radius: 0.3 * key.size
        color: Theme.controlBackground
        border.width: 1
        border.color: Theme.alpha("gray", 0.2)
    }
    Text {
        anchors.centerIn: parent
        text: key.label !== "" ? key.label : Symbols.glyph(key.icon)
        font.family: key.label !== "" ? Qt.application.font.family : Theme.symbolFamily
        font.pixelSize: key.label !== "" ? key.size * 0.42 : key.size
        font.weight: key.label !== "" ? Font.DemiBold : Font.Normal
        color: key.color
    }
}
