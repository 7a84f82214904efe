import QtQuick
import QtQuick.Controls.Basic
import Kestrune.Style

// A row's delete button: a red trash can in a pale red circle; acts at once.
Button {
    id: control

    // What the row holds (an application's name), so that a screen reader
    // says what goes.
    property string subject

    Accessible.name: subject.length > 0 ? qsTr("Delete %1").arg(subject) : qsTr("Delete")
    // Return as Space, once the keyboard brought focus here (see EditorButton).
    Keys.onReturnPressed: event => pressFromKeyboard(event)
    Keys.onEnterPressed: event => pressFromKeyboard(event)
    function pressFromKeyboard(event) {
        event.accepted = control.visualFocus && control.visible
        if (event.accepted && !event.isAutoRepeat)
            control.clicked()
    }
    padding: 8
    contentItem: Text {
        text: Symbols.glyph("trash")
        font.family: Theme.symbolFamily
        font.pixelSize: 16
        color: Theme.errorText
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        implicitWidth: 32
        implicitHeight: 32
        radius: width / 2
        color: Theme.alpha(Theme.red, control.down ? 0.25 : control.hovered ? 0.16 : 0.1)

        FocusRing {
            cornerRadius: parent.radius
            visible: control.visualFocus
        }
    }
}
