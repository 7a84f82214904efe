import QtQuick
import QtQuick.Controls.Basic
import Kestrune.Style

// The panel's small push button: bordered and quiet by default, or filled
// with `tint` for the one action a card asks for.
Button {
    id: control

    // A fill colour makes the button prominent; transparent keeps it bordered.
    property color tint: "transparent"
    property color textColor: Theme.primary
    readonly property bool prominent: tint.a > 0

    font.pixelSize: 11
    font.weight: prominent ? Font.DemiBold : Font.Normal
    leftPadding: prominent ? 12 : 8
    rightPadding: leftPadding
    topPadding: 0
    bottomPadding: 0
    implicitHeight: Math.max(20, Math.ceil(font.pixelSize * 2))
    implicitWidth: Math.ceil(label.implicitWidth) + leftPadding + rightPadding

    Accessible.name: text
    // Space presses the button (its own binding); Return does too.
    Keys.onReturnPressed: event => { if (!event.isAutoRepeat) control.clicked() }
    Keys.onEnterPressed: event => { if (!event.isAutoRepeat) control.clicked() }

    contentItem: Text {
        id: label
        text: control.text
        font: control.font
        color: control.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        radius: 6
        color: control.prominent
            ? Qt.darker(control.tint, control.down ? 1.15 : control.hovered ? 1.05 : 1)
            : control.down ? Theme.alpha(Theme.primary, 0.14)
            : Theme.isDark ? Theme.alpha("white", control.hovered ? 0.14 : 0.10)
                           : Theme.alpha("white", control.hovered ? 0.95 : 0.8)
        border.width: control.prominent ? 0 : 1
        border.color: Theme.alpha(Theme.primary, 0.12)

        FocusRing {
            visible: control.visualFocus
        }
    }
}
