import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps
import Kestrune.Remapper
import Kestrune.Launcher

// "App Launcher Settings": the Hyper + key bindings, adding one (choose an
// application, press its key) and deleting one. Follows the store live.
Rectangle {
    id: view

    // The add flow's state: choosing, listening for the key, confirming.
    property bool isListeningForKey: false
    property url pendingAppURL
    property bool showingConflictAlert: false
    property int conflictingKeyCode: -1
    property url conflictingAppURL
    // The question asked: "arrow" (the key is Arrow Mode's) or "replace"
    // (the key opens another application now).
    property string conflictKind: "arrow"
    property url replacedAppURL

    // The name of the row deleted last, for the undo bar.
    property string removedName

    // "Done".
    signal closeRequested()

    width: 400
    height: 500
    color: Theme.windowBackground
    focus: true

    readonly property bool isChoosing: chooser.visible
    readonly property bool hasPendingApp: pendingAppURL.toString() !== ""

    Keys.onReturnPressed: closeRequested()
    Keys.onEnterPressed: closeRequested()

    function presentChooser() {
        if (Applications.hasCatalog)
            chooser.open()
        else
            browser.open()
    }
    function startListening(appURL) {
        pendingAppURL = appURL
        isListeningForKey = true
    }
    function stopListening() {
        isListeningForKey = false
        pendingAppURL = ""
        conflictingKeyCode = -1
        conflictingAppURL = ""
        showingConflictAlert = false
        view.forceActiveFocus()
    }
    function keySelected(keyCode, appURL) {
        ask(keyCode, appURL, false)
    }
    // Asks what must be asked before binding, one question at a time, then binds.
    function ask(keyCode, appURL, arrowAnswered) {
        conflictingKeyCode = keyCode
        conflictingAppURL = appURL
        if (!arrowAnswered && KeyRemapper.isArrowModeKey(keyCode)) {
            conflictKind = "arrow"
            showingConflictAlert = true
            return
        }
        for (const s of AppLauncherManager.shortcuts) {
            if (s.keyCode === keyCode && s.appURL.toString() !== appURL.toString()) {
                replacedAppURL = s.appURL
                conflictKind = "replace"
                showingConflictAlert = true
                return
            }
        }
        AppLauncherManager.addShortcut(appURL, keyCode)
        stopListening()
    }
    // The list stays where it was scrolled: the rows after the deleted one
    // move up, nothing jumps to the top under the pointer.
    function removeKeepingPlace(id, shownName) {
        const y = list.contentY
        removedName = shownName
        AppLauncherManager.removeShortcut(id)
        const restore = () => list.contentY = Math.max(list.originY, Math.min(y, list.originY + list.contentHeight - list.height))
        restore()
        Qt.callLater(restore)
    }
    // The application's own name, else its file's, as the store names it.
    function appName(url) {
        return Applications.displayName(url, decodeURIComponent(url.toString().split("/").pop()).replace(/\.[^.]*$/, ""))
    }
    // The footer's note: some binding's key belongs to Arrow Mode's layout.
    function hasConflict() {
        KeyRemapper.vimModeConfig // the layout decides too
        if (!KeyRemapper.isVimModeEnabled)
            return false
        for (const s of AppLauncherManager.shortcuts)
            if (KeyRemapper.isArrowModeKey(s.keyCode))
                return true
        return false
    }

    FileBrowser {
        id: browser
        onChosen: appURL => view.startListening(appURL)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0
        // Behind an open question nothing can be reached or pressed.
        enabled: !view.showingConflictAlert

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            spacing: 8
            Text {
                text: Symbols.glyph("square.grid.2x2")
                font.family: Theme.symbolFamily
                font.pixelSize: Theme.title2Size + 3
                color: Theme.primary
            }
            Text {
                text: qsTr("App Launcher Settings")
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

        // Bindings made while the App Launcher is off open nothing: said
        // here, with the switch at hand.
        Rectangle {
            objectName: "launcherOffNotice"
            Layout.fillWidth: true
            visible: !AppLauncherManager.isEnabled
            implicitHeight: offRow.implicitHeight + 16
            color: Theme.alpha(Theme.yellow, 0.12)
            RowLayout {
                id: offRow
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 14
                spacing: 8
                Text {
                    text: Symbols.glyph("exclamationmark.triangle.fill")
                    font.family: Theme.symbolFamily
                    font.pixelSize: Theme.captionSize + 2
                    color: Theme.warningSymbol
                }
                Text {
                    Layout.fillWidth: true
                    text: qsTr("The App Launcher is off: these keys open nothing until you turn it on.")
                    font.pixelSize: Theme.captionSize
                    color: Theme.primary
                    wrapMode: Text.Wrap
                }
                EditorButton {
                    objectName: "turnLauncherOnButton"
                    text: qsTr("Turn On")
                    onClicked: AppLauncherManager.isEnabled = true
                }
            }
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Rectangle {
                anchors.fill: parent
                color: Theme.controlBackground
            }

            ColumnLayout {
                objectName: "emptyState"
                anchors.centerIn: parent
                visible: AppLauncherManager.shortcuts.length === 0
                spacing: 12
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: Symbols.glyph("app.dashed")
                    font.family: Theme.symbolFamily
                    font.pixelSize: 40
                    color: Theme.secondary
                }
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("No shortcuts added.")
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
                objectName: "shortcutList"
                anchors.fill: parent
                anchors.margins: 10
                clip: true
                spacing: 2
                visible: count > 0
                boundsBehavior: Flickable.StopAtBounds
                model: AppLauncherManager.shortcuts
                delegate: Item {
                    id: row
                    required property var modelData
                    required property int index
                    objectName: "shortcutRow." + index
                    width: ListView.view.width
                    height: 52
                    readonly property bool conflicts: {
                        KeyRemapper.vimModeConfig // the layout decides too
                        return KeyRemapper.isVimModeEnabled && KeyRemapper.isArrowModeKey(modelData.keyCode)
                    }

                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 6
                        anchors.rightMargin: 6
                        spacing: 12
                        AppIcon {
                            appURL: row.modelData.appURL
                            side: 32
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 2
                            Text {
                                id: appName
                                Layout.fillWidth: true
                                text: Applications.displayName(row.modelData.appURL, row.modelData.appName)
                                textFormat: Text.PlainText // a .desktop file's Name, never markup
                                font.family: Theme.roundedFamily
                                font.pixelSize: 14
                                font.weight: Font.Medium
                                color: Theme.primary
                                elide: Text.ElideRight
                            }
                            RowLayout {
                                spacing: 4
                                Rectangle {
                                    implicitWidth: hyperLabel.implicitWidth + 8
                                    implicitHeight: hyperLabel.implicitHeight + 4
                                    radius: 4
                                    color: Theme.alpha(Theme.secondary, 0.1)
                                    Text {
                                        id: hyperLabel
                                        anchors.centerIn: parent
                                        text: qsTr("Hyper Key")
                                        font.pixelSize: Theme.captionSize
                                        color: Theme.primary
                                    }
                                }
                                Text {
                                    text: "+"
                                    font.pixelSize: Theme.captionSize
                                    color: Theme.primary
                                }
                                Rectangle {
                                    implicitWidth: keyLabel.implicitWidth + 12
                                    implicitHeight: keyLabel.implicitHeight + 4
                                    radius: 4
                                    color: Theme.alpha(Theme.secondary, 0.1)
                                    Text {
                                        id: keyLabel
                                        objectName: "keyBadge"
                                        anchors.centerIn: parent
                                        text: AppLauncherManager.keyName(row.modelData.keyCode)
                                        font.pixelSize: Theme.captionSize
                                        font.bold: true
                                        color: Theme.primary
                                    }
                                }
                                Text {
                                    objectName: "conflictMark"
                                    visible: row.conflicts
                                    text: Symbols.glyph("exclamationmark.triangle.fill")
                                    font.family: Theme.symbolFamily
                                    font.pixelSize: 13
                                    color: Theme.warningSymbol
                                }
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
            removed: AppLauncherManager.undoableRemoval !== "" ? view.removedName : ""
            onUndo: AppLauncherManager.undoRemoval()
            onExpired: AppLauncherManager.forgetRemoval()
        }
        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }
        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            spacing: 8
            RowLayout {
                objectName: "conflictNote"
                Layout.fillWidth: true
                visible: view.hasConflict()
                spacing: 4
                Text {
                    Layout.alignment: Qt.AlignTop
                    text: Symbols.glyph("exclamationmark.triangle.fill")
                    font.family: Theme.symbolFamily
                    font.pixelSize: Theme.captionSize + 2
                    color: Theme.warningText
                }
                Text {
                    Layout.fillWidth: true
                    text: qsTr("Keys conflicting with Arrow Mode will not trigger.") // the symbol is beside it
                    font.pixelSize: Theme.captionSize
                    font.bold: true
                    color: Theme.warningText
                    wrapMode: Text.Wrap
                }
            }
            Item { Layout.fillWidth: true; visible: !view.hasConflict() }
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
        onChosen: appURL => view.startListening(appURL)
        onDismissed: view.forceActiveFocus()
    }

    Loader {
        objectName: "keyListeningLoader"
        anchors.fill: parent
        active: view.isListeningForKey && view.hasPendingApp
        sourceComponent: KeyListeningOverlay {
            appURL: view.pendingAppURL
            appName: view.appName(view.pendingAppURL)
            capturing: !view.showingConflictAlert
            onCancelAction: view.stopListening()
            onKeySelectedAction: keyCode => view.keySelected(keyCode, view.pendingAppURL)
        }
    }

    ConflictAlert {
        id: conflictAlert
        visible: view.showingConflictAlert
        readonly property bool replacing: view.conflictKind === "replace"
        title: replacing ? qsTr("Key Already in Use") : qsTr("Key Conflict Warning")
        message: replacing ? qsTr("%1 already opens %2.\n\nReplace it with %3?")
                                 .arg(AppLauncherManager.keyName(view.conflictingKeyCode))
                                 .arg(view.appName(view.replacedAppURL))
                                 .arg(view.appName(view.conflictingAppURL))
                           : qsTr("The key you pressed is currently used by Arrow Mode.\n\nWhile Arrow Mode is enabled, it takes priority, meaning this app launcher shortcut will not work.\n\nDo you still want to register it?")
        confirmText: replacing ? qsTr("Replace") : qsTr("Register Anyway")
        cancelText: replacing ? qsTr("Choose Another Key") : qsTr("Cancel")
        onRegisterAnyway: {
            view.showingConflictAlert = false
            if (view.conflictingAppURL.toString() === "" || view.conflictingKeyCode < 0)
                view.stopListening()
            else if (replacing)
                view.replaceBinding()
            else
                view.ask(view.conflictingKeyCode, view.conflictingAppURL, true)
        }
        onCancelled: {
            if (!replacing) {
                view.stopListening()
                return
            }
            // Back to listening for another key for the same application.
            view.showingConflictAlert = false
            view.conflictingKeyCode = -1
        }
    }
    function replaceBinding() {
        AppLauncherManager.addShortcut(conflictingAppURL, conflictingKeyCode)
        stopListening()
    }
}
