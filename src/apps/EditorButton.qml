import QtQuick
import QtQuick.Controls.Basic
import Kestrune.Style

// The editors' push button: prominent (filled with `tint`) for the action a
// window is about, bordered otherwise; an optional symbol before the label.
Button {
    id: control

    property bool prominent: false
    property color tint: Theme.accent
    // The label on a prominent button; a caller that sets `tint` sets this too.
    property color labelColor: Theme.onAccent
    property string symbol: ""

    font.pixelSize: 13
    leftPadding: 12
    rightPadding: 12
    topPadding: 5
    bottomPadding: 5
    Accessible.name: text
    // Space presses the button (its own binding). Return does too once the
    // keyboard brought focus here; after a click it still reaches the window
    // and acts as its default button, as it did before the click.
    Keys.onReturnPressed: event => pressFromKeyboard(event)
    Keys.onEnterPressed: event => pressFromKeyboard(event)
    function pressFromKeyboard(event) {
        event.accepted = control.visualFocus && control.visible
        if (event.accepted && !event.isAutoRepeat)
            control.clicked()
    }

    contentItem: Item {
        implicitWidth: content.implicitWidth
        implicitHeight: content.implicitHeight
        Row {
            id: content
            anchors.centerIn: parent
            spacing: 5
            Text {
                visible: control.symbol !== ""
                anchors.verticalCenter: parent.verticalCenter
                text: Symbols.glyph(control.symbol)
                font.family: Theme.symbolFamily
                font.pixelSize: 15
                color: label.color
            }
            Text {
                id: label
                anchors.verticalCenter: parent.verticalCenter
                text: control.text
                font: control.font
                color: control.prominent ? control.labelColor : Theme.primary
            }
        }
    }

    background: Rectangle {
        implicitHeight: 26
        radius: 6
        color: control.prominent
            ? Qt.darker(control.tint, control.down ? 1.2 : control.hovered ? 1.08 : 1)
            : control.down ? Theme.alpha(Theme.primary, 0.14)
            : Theme.isDark ? Theme.alpha("white", control.hovered ? 0.18 : 0.12) : Theme.alpha("white", 0.95)
        border.width: control.prominent ? 0 : 1
        border.color: Theme.alpha(Theme.primary, 0.15)

        FocusRing {
            visible: control.visualFocus
        }
    }
}
