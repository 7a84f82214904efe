import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps
import Kestrune.System

// "Input Access": the panel's "Fix" where access cannot be granted in one
// step: what is missing and the command that grants it.
Rectangle {
    id: view

    property QtObject inputAccess: null

    // "Done".
    signal closeRequested()

    width: 440
    height: Math.max(260, column.implicitHeight + 48)
    color: Theme.windowBackground
    focus: true
    Keys.onReturnPressed: closeRequested()
    Keys.onEscapePressed: closeRequested()

    Connections {
        target: PermissionManager
        enabled: view.inputAccess !== null
        function onIsTrustedChanged() { view.inputAccess.refresh() }
    }

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 24
        spacing: 14

        RowLayout {
            spacing: 8
            Text {
                text: Symbols.glyph("lock.shield")
                font.family: Theme.symbolFamily
                font.pixelSize: Theme.title2Size + 3
                color: PermissionManager.isTrusted ? Theme.green : Theme.warningSymbol
            }
            Text {
                Layout.fillWidth: true
                text: PermissionManager.isTrusted ? qsTr("Permission Granted!") : qsTr("Permission Required")
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
            }
        }
        Text {
            Layout.fillWidth: true
            text: qsTr("Kestrune needs access to your keyboards to remap keys.\nWe do not record or send your keystrokes anywhere.")
            font.pixelSize: Theme.bodySize - 1
            color: Theme.secondary
            wrapMode: Text.Wrap
        }
        InputAccessBlock {
            Layout.fillWidth: true
            visible: !PermissionManager.isTrusted
            access: view.inputAccess
        }
        Item { Layout.fillHeight: true }
        RowLayout {
            Layout.fillWidth: true
            EditorButton {
                objectName: "checkAgainButton"
                visible: view.inputAccess !== null && !PermissionManager.isTrusted
                text: qsTr("Check Again")
                onClicked: {
                    view.inputAccess.refresh()
                    PermissionManager.checkPermission()
                }
            }
            Item { Layout.fillWidth: true }
            EditorButton {
                objectName: "doneButton"
                text: qsTr("Done")
                prominent: true
                onClicked: view.closeRequested()
            }
        }
    }
}
