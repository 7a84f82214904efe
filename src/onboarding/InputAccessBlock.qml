import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps

// What stands between Kestrune and the keyboard, and its fix: one button
// where polkit can grant it in one step, else the exact command with a
// copy button. `access` is the application's InputAccess.
ColumnLayout {
    id: block

    property QtObject access: null

    spacing: 10

    Text {
        objectName: "accessProblem"
        Layout.fillWidth: true
        text: block.access ? block.access.problemText : ""
        visible: text !== ""
        font.pixelSize: Theme.captionSize + 1
        color: Theme.primary
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
    }

    EditorButton {
        objectName: "grantAccessButton"
        Layout.alignment: Qt.AlignHCenter
        visible: block.access !== null && block.access.canFixInOneStep
        enabled: block.access !== null && !block.access.isFixing
        prominent: true
        font.pixelSize: 15
        topPadding: 8
        bottomPadding: 8
        text: block.access && block.access.isFixing ? qsTr("Granting Access…") : qsTr("Grant Access")
        onClicked: block.access.fix()
    }

    Text {
        objectName: "fixError"
        Layout.fillWidth: true
        text: block.access ? block.access.fixError : ""
        visible: text !== ""
        font.pixelSize: Theme.captionSize
        color: Theme.warningText
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
    }

    ColumnLayout {
        Layout.fillWidth: true
        visible: block.access !== null && block.access.command !== ""
                 && (!block.access.canFixInOneStep || block.access.fixError !== "")
        spacing: 4
        Text {
            objectName: "commandCaption"
            Layout.fillWidth: true
            // Neither sudo nor pkexec here: the user becomes root their own way.
            text: block.access && block.access.commandNeedsRoot ? qsTr("Run this in a terminal as root:")
                                                                 : qsTr("Run this in a terminal:")
            font.pixelSize: Theme.captionSize
            color: Theme.secondary
        }
        Rectangle {
            Layout.fillWidth: true
            implicitHeight: commandRow.implicitHeight + 12
            radius: 6
            color: Theme.controlBackground
            border.width: 1
            border.color: Theme.separator
            RowLayout {
                id: commandRow
                anchors.fill: parent
                anchors.margins: 6
                spacing: 6
                Text {
                    objectName: "accessCommand"
                    Layout.fillWidth: true
                    readonly property string command: block.access ? block.access.command : ""
                    // One step a line; a long one breaks at a space or a slash,
                    // never at the hyphen of an option or a file name (shown
                    // non-breaking). Copy gives the command as it is.
                    text: command.replace(/-/g, "\u2011")
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    font.family: "monospace"
                    font.pixelSize: 10
                    color: Theme.primary
                }
                EditorButton {
                    id: copy
                    objectName: "copyCommandButton"
                    property bool copied: false
                    Layout.alignment: Qt.AlignTop
                    text: copied ? qsTr("Copied") : qsTr("Copy")
                    symbol: "doc.on.doc"
                    font.pixelSize: 11
                    onClicked: {
                        block.access.copyCommand()
                        copied = true
                    }
                }
            }
        }
    }
}
