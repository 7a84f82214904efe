import QtQuick
import QtQuick.Layouts
import Kestrune.Style

// Under an editor's list after a row was deleted: "Removed Foot." with Undo,
// for a while. Deleting acts at once; this is the way back.
Rectangle {
    id: bar

    // The removed row's name; empty hides the bar.
    property string removed
    signal undo()
    // The time to undo has passed.
    signal expired()

    visible: removed !== ""
    implicitHeight: row.implicitHeight + 12
    color: Theme.controlBackground

    Timer {
        interval: 10000
        running: bar.visible
        onTriggered: bar.expired()
    }
    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 8
        Text {
            objectName: "undoText"
            Layout.fillWidth: true
            text: qsTr("Removed %1.").arg(bar.removed)
            textFormat: Text.PlainText // an application's name
            elide: Text.ElideRight
            font.pixelSize: Theme.captionSize + 1
            color: Theme.primary
        }
        EditorButton {
            objectName: "undoButton"
            text: qsTr("Undo")
            onClicked: bar.undo()
        }
    }
}
