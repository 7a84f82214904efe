import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps

// A question the editor asks before it binds a key: the "Key Conflict
// Warning" (the key belongs to Arrow Mode's layout) or whether to take a key
// from the application it opens now. A dialog: it holds the keyboard until
// answered (Tab moves between its two buttons only, Return presses the one
// with focus, Escape cancels) and nothing behind it can be operated. Focus
// starts on the answer that changes nothing.
FocusScope {
    id: alert

    // Already translated, by the editor that asks.
    property string title
    property string message
    property string confirmText
    property string cancelText

    signal registerAnyway()
    signal cancelled()

    anchors.fill: parent
    focus: visible
    onVisibleChanged: if (visible) cancelButton.forceActiveFocus(Qt.TabFocusReason)
    Keys.onEscapePressed: cancelled()
    Keys.onTabPressed: (cancelButton.activeFocus ? confirmButton : cancelButton).forceActiveFocus(Qt.TabFocusReason)
    Keys.onBacktabPressed: (cancelButton.activeFocus ? confirmButton : cancelButton).forceActiveFocus(Qt.BacktabFocusReason)
    // Whatever the buttons leave (Return on none of them, any other key)
    // stops here: never the editor's Done behind.
    Keys.onPressed: event => event.accepted = true
    Accessible.role: Accessible.AlertMessage
    Accessible.name: title

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }
    Rectangle {
        anchors.fill: parent
        color: Theme.alpha("black", 0.25)
    }
    Rectangle {
        objectName: "conflictAlert"
        anchors.centerIn: parent
        width: 300
        height: body.implicitHeight + 40
        radius: 12
        color: Theme.windowBackground
        border.width: 1
        border.color: Theme.separator

        ColumnLayout {
            id: body
            anchors.centerIn: parent
            width: parent.width - 40
            spacing: 12

            Text {
                Layout.alignment: Qt.AlignHCenter
                text: Symbols.glyph("exclamationmark.triangle.fill")
                font.family: Theme.symbolFamily
                font.pixelSize: 36
                color: Theme.warningSymbol
            }
            Text {
                Layout.fillWidth: true
                objectName: "conflictTitle"
                text: alert.title
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
                horizontalAlignment: Text.AlignHCenter
            }
            Text {
                Layout.fillWidth: true
                objectName: "conflictMessage"
                text: alert.message
                textFormat: Text.PlainText // it may quote an application's name
                font.pixelSize: Theme.captionSize + 1
                color: Theme.primary
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
            EditorButton {
                id: confirmButton
                objectName: "registerAnywayButton"
                Layout.fillWidth: true
                text: alert.confirmText
                prominent: true
                // The error red reads at 4.5:1 with its label: white on the
                // deep red of light, a dark label on the light red of dark.
                tint: Theme.errorText
                labelColor: Theme.isDark ? "#3d0b08" : "white"
                focusPolicy: Qt.TabFocus // reached from the keyboard, never taken by a click
                onClicked: alert.registerAnyway()
            }
            EditorButton {
                id: cancelButton
                objectName: "conflictCancelButton"
                Layout.fillWidth: true
                text: alert.cancelText
                focusPolicy: Qt.TabFocus
                onClicked: alert.cancelled()
            }
        }
    }
}
