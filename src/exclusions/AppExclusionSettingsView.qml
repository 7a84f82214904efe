import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps
import Kestrune.Exclusions

// "App-Specific Exclusions": the applications in which Kestrune stands
// aside, adding and removing them. Follows the store live; the list shows
// whether or not the feature is switched on.
Rectangle {
    id: view

    // The name of the row deleted last, for the undo bar.
    property string removedName

    // "Done".
    signal closeRequested()

    width: 450
    height: 500
    color: Theme.windowBackground
    focus: true

    Keys.onReturnPressed: closeRequested()
    Keys.onEnterPressed: closeRequested()

    // The list stays where it was scrolled (see the launcher editor).
    function removeKeepingPlace(id, shownName) {
        const y = list.contentY
        removedName = shownName
        AppExclusionManager.removeExcludedApp(id)
        const restore = () => list.contentY = Math.max(list.originY, Math.min(y, list.originY + list.contentHeight - list.height))
        restore()
        Qt.callLater(restore)
    }
    function presentChooser() {
        if (Applications.hasCatalog)
            chooser.open()
        else
            browser.open()
    }

    FileBrowser {
        id: browser
        onChosen: appURL => AppExclusionManager.addExcludedApp(appURL)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            spacing: 8
            Text {
                text: Symbols.glyph("nosign")
                font.family: Theme.symbolFamily
                font.pixelSize: Theme.title2Size + 3
                color: Theme.primary
            }
            Text {
                text: qsTr("App-Specific Exclusions")
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
            }
            Item { Layout.fillWidth: true }
            EditorButton {
                objectName: "doneButton"
                text: qsTr("Done")
                prominent: true
                onClicked: view.closeRequested()
            }
        }
        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: explanation.implicitHeight + 28
            color: Theme.controlBackground
            ColumnLayout {
                id: explanation
                anchors.fill: parent
                anchors.margins: 14
                spacing: 4
                Text {
                    Layout.fillWidth: true
                    text: qsTr("Select applications where Kestrune should be completely disabled.")
                    font.pixelSize: Theme.subheadlineSize + 1
                    color: Theme.secondary
                    wrapMode: Text.Wrap
                }
                Text {
                    Layout.fillWidth: true
                    // The features by the names the panel gives them.
                    text: qsTr("When these apps are active, all custom behaviors (Arrow Mode, L/R %1, Hyper key) will be bypassed.").arg(PlatformWords.command)
                    font.pixelSize: Theme.captionSize
                    color: Theme.secondary
                    wrapMode: Text.Wrap
                }
                Text {
                    objectName: "cannotFollowNote"
                    Layout.fillWidth: true
                    visible: !AppExclusionManager.canFollowFrontmostApplication
                    text: qsTr("This session does not tell Kestrune which application is in front, so exclusions cannot take effect here.")
                    font.pixelSize: Theme.captionSize
                    color: Theme.warningText
                    wrapMode: Text.Wrap
                }
            }
        }
        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            ColumnLayout {
                objectName: "emptyState"
                anchors.centerIn: parent
                visible: AppExclusionManager.excludedApps.length === 0
                spacing: 2
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("No applications excluded.")
                    font.pixelSize: Theme.bodySize
                    color: Theme.secondary
                }
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("Click '+' to add an application.")
                    font.pixelSize: Theme.captionSize
                    color: Theme.secondary
                }
            }

            ListView {
                id: list
                objectName: "exclusionList"
                anchors.fill: parent
                anchors.margins: 10
                clip: true
                spacing: 2
                visible: count > 0
                boundsBehavior: Flickable.StopAtBounds
                model: AppExclusionManager.excludedApps
                delegate: Item {
                    id: row
                    required property var modelData
                    required property int index
                    objectName: "exclusionRow." + index
                    width: ListView.view.width
                    height: 52

                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 6
                        anchors.rightMargin: 6
                        spacing: 12
                        AppIcon {
                            appURL: Applications.fileUrl(row.modelData.path)
                            side: 32
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 2
                            Text {
                                id: appName
                                Layout.fillWidth: true
                                text: Applications.displayName(Applications.fileUrl(row.modelData.path), row.modelData.name)
                                textFormat: Text.PlainText // a .desktop file's Name, never markup
                                font.family: Theme.roundedFamily
                                font.pixelSize: 14
                                font.weight: Font.Medium
                                color: Theme.primary
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.fillWidth: true
                                text: row.modelData.bundleID
                                textFormat: Text.PlainText // from a file's name
                                font.pixelSize: Theme.captionSize
                                color: Theme.secondary
                                elide: Text.ElideRight
                                maximumLineCount: 1
                            }
                        }
                        DeleteButton {
                            objectName: "deleteButton"
                            subject: appName.text
                            onClicked: view.removeKeepingPlace(row.modelData.id, appName.text)
                        }
                    }
                    Rectangle {
                        anchors.bottom: parent.bottom
                        x: 50
                        width: parent.width - 50
                        height: 1
                        color: Theme.separator
                        visible: row.index < list.count - 1
                    }
                }
            }
        }

        UndoBar {
            objectName: "undoBar"
            Layout.fillWidth: true
            // The name the row showed.
            removed: AppExclusionManager.undoableRemoval !== "" ? view.removedName : ""
            onUndo: AppExclusionManager.undoRemoval()
            onExpired: AppExclusionManager.forgetRemoval()
        }
        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }
        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            Item { Layout.fillWidth: true }
            EditorButton {
                objectName: "addApplicationButton"
                text: qsTr("Add Application")
                symbol: "plus"
                prominent: true
                onClicked: view.presentChooser()
            }
        }
    }

    AppChooser {
        id: chooser
        onChosen: appURL => AppExclusionManager.addExcludedApp(appURL)
        onDismissed: view.forceActiveFocus()
    }
}
