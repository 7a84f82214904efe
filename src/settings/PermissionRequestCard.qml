import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.System

// Shown while Kestrune may not read the keyboard: what is missing and a
// button that asks for it.
Rectangle {
    id: card

    implicitHeight: row.implicitHeight + 20
    radius: 12
    color: Theme.alpha(Theme.yellow, 0.1)
    border.width: 1
    border.color: Theme.alpha(Theme.yellow, 0.3)

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: 10
        spacing: 12

        Text {
            text: Symbols.glyph("exclamationmark.triangle.fill")
            font.family: Theme.symbolFamily
            font.pixelSize: Theme.title2Size
            color: Theme.warningSymbol
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            Text {
                Layout.fillWidth: true
                text: qsTr("Permission Required")
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
                elide: Text.ElideRight
            }
            Text {
                Layout.fillWidth: true
                // macOS grants a permission; Linux opens the keyboards to us.
                text: PlatformWords.isMac ? qsTr("Grant Permission") : qsTr("Allow Kestrune to read your keyboards")
                font.pixelSize: Theme.captionSize
                color: Theme.secondary
                elide: Text.ElideRight

                id: advice
            }
        }

        PanelButton {
            objectName: "fixButton"
            text: qsTr("Fix")
            tint: Theme.yellow
            textColor: "black"
            // Read out with what it fixes.
            Accessible.description: advice.text
            onClicked: PermissionManager.requestPermission()
        }
    }
}
