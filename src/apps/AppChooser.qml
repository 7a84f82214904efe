import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps

// Choosing an application: the installed ones with icon and name, filtered
// as the user types; arrows move the selection, Return takes it, Escape
// leaves. "Browse…" picks a .desktop file elsewhere; one that cannot be
// launched is refused here with its reason. Fills the window it sits in.
Item {
    id: chooser

    signal chosen(url appURL)
    signal dismissed()

    visible: false
    anchors.fill: parent
    z: 100

    function open() {
        search.text = ""
        problem.text = ""
        apps.reload()
        list.currentIndex = apps.count > 0 ? 0 : -1
        visible = true
        search.forceActiveFocus()
    }
    function close() {
        visible = false
        dismissed()
    }
    function take(appURL) {
        visible = false
        chosen(appURL)
    }
    // A file from "Browse…" (or dropped in by a test): taken, or refused with
    // the reason.
    function tryFile(fileURL) {
        const reason = Applications.problemWith(fileURL)
        if (reason !== "") {
            problem.text = reason
            return
        }
        take(fileURL)
    }
    readonly property bool hasSelection: list.currentIndex >= 0 && list.currentIndex < apps.count
    function chooseCurrent() {
        if (hasSelection)
            take(apps.urlAt(list.currentIndex))
    }

    InstalledApplicationsModel {
        id: apps
        filter: search.text
        onFilterChanged: list.currentIndex = count > 0 ? 0 : -1
    }

    FileBrowser {
        id: browser
        onChosen: fileURL => chooser.tryFile(fileURL)
    }

    // Clicks never fall through to the editor below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onWheel: wheel => wheel.accepted = true
    }
    Rectangle {
        anchors.fill: parent
        color: Theme.alpha("black", 0.45)
    }

    Rectangle {
        id: card
        objectName: "appChooser"
        anchors.fill: parent
        anchors.margins: 16
        radius: 12
        color: Theme.windowBackground
        border.width: 1
        border.color: Theme.separator

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 12
            spacing: 10

            Text {
                text: qsTr("Choose an Application")
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
            }

            TextField {
                id: search
                objectName: "chooserSearch"
                Layout.fillWidth: true
                placeholderText: qsTr("Search")
                Accessible.name: placeholderText
                font.pixelSize: 13
                color: Theme.primary
                placeholderTextColor: Theme.secondary
                leftPadding: 28
                background: Rectangle {
                    implicitHeight: 28
                    radius: 6
                    color: Theme.controlBackground
                    border.width: 1
                    border.color: search.activeFocus ? Theme.blue : Theme.separator
                    Text {
                        x: 7
                        anchors.verticalCenter: parent.verticalCenter
                        text: Symbols.glyph("magnifyingglass")
                        font.family: Theme.symbolFamily
                        font.pixelSize: 16
                        color: Theme.secondary
                    }
                }
                Keys.onUpPressed: if (apps.count > 0) list.currentIndex = Math.max(0, list.currentIndex - 1)
                Keys.onDownPressed: list.currentIndex = Math.min(apps.count - 1, list.currentIndex + 1)
                Keys.onReturnPressed: chooser.chooseCurrent()
                Keys.onEnterPressed: chooser.chooseCurrent()
                Keys.onEscapePressed: chooser.close()
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                radius: 6
                color: Theme.controlBackground
                border.width: 1
                border.color: Theme.separator
                clip: true

                ListView {
                    id: list
                    objectName: "chooserList"
                    anchors.fill: parent
                    anchors.margins: 4
                    model: apps
                    currentIndex: -1
                    highlightMoveDuration: 0
                    boundsBehavior: Flickable.StopAtBounds
                    delegate: Rectangle {
                        id: row
                        required property int index
                        required property url url
                        required property string name
                        objectName: "chooserRow." + index
                        width: ListView.view.width
                        height: 36
                        radius: 5
                        color: ListView.isCurrentItem ? Theme.accent : "transparent"
                        Accessible.role: Accessible.ListItem
                        Accessible.name: row.name
                        Accessible.selectable: true
                        Accessible.selected: ListView.isCurrentItem
                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: 8
                            anchors.rightMargin: 8
                            spacing: 10
                            AppIcon {
                                appURL: row.url
                                side: 24
                            }
                            Text {
                                Layout.fillWidth: true
                                text: row.name
                                // A .desktop file's Name is anyone's text, never markup.
                                textFormat: Text.PlainText
                                elide: Text.ElideRight
                                font.pixelSize: 13
                                color: row.ListView.isCurrentItem ? Theme.onAccent : Theme.primary
                            }
                        }
                        MouseArea {
                            anchors.fill: parent
                            onClicked: list.currentIndex = row.index
                            onDoubleClicked: chooser.take(row.url)
                        }
                    }

                    Text {
                        anchors.centerIn: parent
                        visible: apps.count === 0
                        text: qsTr("No applications match.")
                        color: Theme.secondary
                        font.pixelSize: 13
                    }
                }
            }

            Text {
                id: problem
                objectName: "chooserProblem"
                Layout.fillWidth: true
                textFormat: Text.PlainText // it quotes a file's name
                visible: text !== ""
                color: Theme.errorText
                font.pixelSize: Theme.captionSize + 1
                // Whole, however long: a path cut in the middle hides what is wrong.
                wrapMode: Text.WrapAtWordBoundaryOrAnywhere
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                EditorButton {
                    objectName: "browseButton"
                    text: qsTr("Browse…")
                    symbol: "folder"
                    onClicked: browser.open()
                }
                Item { Layout.fillWidth: true }
                EditorButton {
                    objectName: "chooserCancel"
                    text: qsTr("Cancel")
                    onClicked: chooser.close()
                }
                EditorButton {
                    objectName: "chooserAdd"
                    text: qsTr("Add")
                    prominent: true
                    enabled: chooser.hasSelection
                    onClicked: chooser.chooseCurrent()
                }
            }
        }
    }
}
