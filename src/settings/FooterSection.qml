import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Remapper

// The panel's last line: "Clear Log" in debug mode, and the version.
Item {
    id: footer

    // Kept at the button's height so the panel does not jump when debug
    // mode comes and goes.
    implicitHeight: 20

    RowLayout {
        anchors.fill: parent
        spacing: 8

        PanelButton {
            objectName: "clearLogButton"
            visible: KeyRemapper.isDebugEnabled
            text: qsTr("Clear Log")
            font.pixelSize: Theme.caption2Size
            onClicked: KeyRemapper.debugLog = ""
        }

        Item { Layout.fillWidth: true }

        Text {
            objectName: "versionText"
            // The application sets its version from the build.
            text: "v" + (Qt.application.version.length > 0 ? Qt.application.version : "1.0")
            font.pixelSize: Theme.caption2Size
            color: Theme.secondary
        }
    }
}
