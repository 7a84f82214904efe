import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps
import Kestrune.Launcher

// Over the whole editor while a key is awaited for an application: every
// key press goes to the capture area, which reports the physical key.
Item {
    id: overlay

    property url appURL
    property string appName
    // While another question is up (the conflict alert), keys wait.
    property bool capturing: true

    signal cancelAction()
    signal keySelectedAction(int keyCode)

    anchors.fill: parent

    onCapturingChanged: if (capturing) capture.forceActiveFocus()
    Component.onCompleted: capture.forceActiveFocus()

    KeyCaptureArea {
        id: capture
        objectName: "keyCapture"
        anchors.fill: parent
        enabled: overlay.capturing
        onKeyCaptured: code => overlay.keySelectedAction(code)
        onCancelled: overlay.cancelAction()
        onUnsupportedKey: hint.unsupported = true
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onPressed: capture.forceActiveFocus()
    }
    Rectangle {
        anchors.fill: parent
        color: Theme.alpha("black", 0.6)
    }

    Rectangle {
        id: card
        objectName: "keyListeningCard"
        anchors.centerIn: parent
        width: Math.min(parent.width - 40, column.implicitWidth + 80)
        height: column.implicitHeight + 80
        radius: 16
        color: Theme.windowBackground
        layer.enabled: true

        ColumnLayout {
            id: column
            anchors.centerIn: parent
            width: parent.width - 80
            spacing: 20

            AppIcon {
                Layout.alignment: Qt.AlignHCenter
                appURL: overlay.appURL
                side: 64
            }
            Text {
                Layout.fillWidth: true
                text: qsTr("Assign a single key for '%1'").arg(overlay.appName)
                textFormat: Text.PlainText // the name is the .desktop file's, never markup
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
            Text {
                id: hint
                property bool unsupported: false
                objectName: "keyHint"
                Layout.fillWidth: true
                Layout.preferredWidth: 260
                text: unsupported ? qsTr("That key cannot start an application. Press another key.")
                                  : qsTr("Press any key (e.g., 'C').\nOnce registered, you can launch the app by pressing Hyper + that key.")
                font.pixelSize: Theme.subheadlineSize + 1
                color: unsupported ? Theme.warningText : Theme.secondary
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
            EditorButton {
                objectName: "captureCancel"
                Layout.alignment: Qt.AlignHCenter
                Layout.topMargin: 10
                text: qsTr("Cancel")
                prominent: true
                // Grey, as a secondary action; deep enough on light that the
                // white label reads at 4.5:1.
                tint: Theme.isDark ? "#636366" : "#6e6e73"
                labelColor: "white"
                focusPolicy: Qt.NoFocus
                onClicked: overlay.cancelAction()
            }
        }
    }
}
