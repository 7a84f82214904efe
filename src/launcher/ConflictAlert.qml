import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps

// "Key Conflict Warning": the key pressed belongs to Arrow Mode's layout.
// Escape cancels; registering takes a deliberate click.
Item {
    id: alert

    signal registerAnyway()
    signal cancelled()

    anchors.fill: parent
    focus: visible
    Keys.onEscapePressed: cancelled()
    onVisibleChanged: if (visible) forceActiveFocus()

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
                text: qsTr("Key Conflict Warning")
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
                horizontalAlignment: Text.AlignHCenter
            }
            Text {
                Layout.fillWidth: true
                text: qsTr("The key you pressed is currently used by Arrow Mode.\n\nWhile Arrow Mode is enabled, it takes priority, meaning this app launcher shortcut will not work.\n\nDo you still want to register it?")
                font.pixelSize: Theme.captionSize + 1
                color: Theme.primary
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
            EditorButton {
                objectName: "registerAnywayButton"
                Layout.fillWidth: true
                text: qsTr("Register Anyway")
                prominent: true
                // The error red reads at 4.5:1 with its label: white on the
                // deep red of light, a dark label on the light red of dark.
                tint: Theme.errorText
                labelColor: Theme.isDark ? "#3d0b08" : "white"
                focusPolicy: Qt.NoFocus
                onClicked: alert.registerAnyway()
            }
            EditorButton {
                objectName: "conflictCancelButton"
                Layout.fillWidth: true
                text: qsTr("Cancel")
                focusPolicy: Qt.NoFocus
                onClicked: alert.cancelled()
            }
        }
    }
}
