import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps
import Kestrune.System
import Kestrune.Remapper

// The first-run guide in three pages: the permission Kestrune needs, the
// Hyper key, and where to find Kestrune afterwards. Return acts as the
// button at the bottom right. Permission monitoring runs while it is shown.
Rectangle {
    id: view

    // Linux: the input-access diagnosis and fix (null elsewhere, where the
    // page speaks of the system's Accessibility settings).
    property QtObject inputAccess: null
    // The page shown: 0 permission, 1 Hyper key, 2 the closing page.
    property int curretStep: 0

    // "Get Started": the window records it, closes and points at the tray.
    signal getStarted()

    readonly property bool isLinux: inputAccess !== null

    width: 500
    height: 520
    color: Theme.windowBackground
    focus: true

    // What one tap of Caps Lock does now (the default is nothing).
    function singleTapTip() {
        if (!KeyRemapper.isSinglePressEnabled || KeyRemapper.singlePressConfig === 0)
            return qsTr("Tip: Choose in the settings what one tap of Caps Lock does")
        return KeyRemapper.singlePressConfig === 1 ? qsTr("Tip: Tap Caps Lock once for Escape (Customizable)")
                                                   : qsTr("Tip: Tap Caps Lock once for %1 (Customizable)").arg(PlatformWords.forwardDelete)
    }

    function next() {
        if (curretStep < 2)
            curretStep += 1
    }
    function activateDefault() {
        if (curretStep > 1)
            getStarted()
        else
            next()
    }
    Keys.onReturnPressed: activateDefault()
    Keys.onEnterPressed: activateDefault()

    // The permission is watched while the guide is on screen. A guide closed
    // earlier and destroyed later must not stop a newer one's watch.
    readonly property bool isOnScreen: Window.window !== null && Window.window.visible
    property bool isMonitoring: false
    onIsOnScreenChanged: {
        if (isOnScreen === isMonitoring)
            return
        isMonitoring = isOnScreen
        if (isOnScreen)
            PermissionManager.startMonitoring()
        else
            PermissionManager.stopMonitoring()
    }
    Component.onDestruction: if (isMonitoring) PermissionManager.stopMonitoring()

    Connections {
        target: PermissionManager
        enabled: view.inputAccess !== null
        function onIsTrustedChanged() { view.inputAccess.refresh() }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 40
            Layout.bottomMargin: 20
            spacing: 8

            Item {
                Layout.alignment: Qt.AlignHCenter
                implicitWidth: 64
                implicitHeight: 64
                AppIconItem {
                    id: appIcon
                    objectName: "appIcon"
                    anchors.fill: parent
                    iconFile: ":/onboarding/com.kestrune.Kestrune.svg"
                }
                Text {
                    anchors.centerIn: parent
                    visible: !appIcon.available
                    text: Symbols.glyph("keyboard.fill")
                    font.family: Theme.symbolFamily
                    font.pixelSize: 48
                    color: Theme.blue
                }
            }
            Text {
                Layout.alignment: Qt.AlignHCenter
                text: qsTr("Welcome to Kestrune")
                font.pixelSize: 24
                font.bold: true
                color: Theme.primary
            }
        }

        Item {
            id: pageArea
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true

            // A page comes in from the trailing edge and leaves by the leading one.
            component Page: Item {
                property int step
                objectName: "page." + step
                width: pageArea.width
                height: pageArea.height
                x: view.curretStep === step ? 0
                   : (view.curretStep > step || (step === 2 && view.curretStep > 2)) ? -width : width
                visible: x > -width && x < width
                Behavior on x { NumberAnimation { duration: Theme.duration(350); easing.type: Easing.InOutQuad } }
            }

            Page {
                step: 0
                ColumnLayout {
                    anchors.centerIn: parent
                    width: parent.width - 60
                    spacing: 20

                    Text {
                        Layout.alignment: Qt.AlignHCenter
                        text: qsTr("Permission Required")
                        font.pixelSize: Theme.title2Size
                        font.weight: Theme.headingWeight
                        color: Theme.primary
                    }
                    Text {
                        Layout.fillWidth: true
                        text: view.isLinux
                              ? qsTr("Kestrune needs access to your keyboards to remap keys.\nWe do not record or send your keystrokes anywhere.")
                              : qsTr("Kestrune needs Accessibility permission to remap keys.\nWe do not record or send your keystrokes anywhere.")
                        font.pixelSize: Theme.bodySize
                        color: Theme.secondary
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.Wrap
                    }

                    Item {
                        objectName: "permissionStatus"
                        Layout.fillWidth: true
                        implicitHeight: Math.max(120, PermissionManager.isTrusted ? granted.implicitHeight
                                                                                   : request.implicitHeight)

                        ColumnLayout {
                            id: request
                            objectName: "permissionRequest"
                            anchors.centerIn: parent
                            width: parent.width
                            visible: !PermissionManager.isTrusted
                            spacing: 16

                            EditorButton {
                                objectName: "openSystemSettingsButton"
                                Layout.alignment: Qt.AlignHCenter
                                visible: !view.isLinux
                                prominent: true
                                font.pixelSize: 15
                                topPadding: 8
                                bottomPadding: 8
                                text: qsTr("Open System Settings")
                                onClicked: PermissionManager.requestPermission()
                            }
                            Text {
                                Layout.fillWidth: true
                                visible: !view.isLinux
                                text: qsTr("Go to: Privacy & Security > Accessibility\nand enable Kestrune")
                                font.pixelSize: Theme.captionSize
                                color: Theme.secondary
                                horizontalAlignment: Text.AlignHCenter
                            }
                            InputAccessBlock {
                                Layout.fillWidth: true
                                visible: view.isLinux
                                access: view.inputAccess
                            }
                        }

                        Rectangle {
                            id: granted
                            objectName: "permissionGranted"
                            anchors.centerIn: parent
                            width: parent.width
                            implicitHeight: grantedColumn.implicitHeight + 32
                            height: implicitHeight
                            visible: PermissionManager.isTrusted
                            radius: 12
                            color: Theme.alpha(Theme.green, 0.1)
                            ColumnLayout {
                                id: grantedColumn
                                anchors.centerIn: parent
                                spacing: 12
                                Text {
                                    Layout.alignment: Qt.AlignHCenter
                                    text: Symbols.glyph("checkmark.circle.fill")
                                    font.family: Theme.symbolFamily
                                    font.pixelSize: 48
                                    color: Theme.successText
                                }
                                Text {
                                    Layout.alignment: Qt.AlignHCenter
                                    text: qsTr("Permission Granted!")
                                    font.pixelSize: Theme.headlineSize
                                    font.bold: true
                                    color: Theme.successText
                                }
                                Text {
                                    Layout.alignment: Qt.AlignHCenter
                                    text: qsTr("Click 'Next' to continue.")
                                    font.pixelSize: Theme.captionSize
                                    color: Theme.secondary
                                }
                            }
                        }
                    }
                }
            }

            Page {
                step: 1
                ColumnLayout {
                    anchors.centerIn: parent
                    width: parent.width - 60
                    spacing: 24

                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 8
                        Text {
                            Layout.alignment: Qt.AlignHCenter
                            text: qsTr("Meet the Hyper Key")
                            font.pixelSize: Theme.title2Size
                            font.weight: Theme.headingWeight
                            color: Theme.primary
                        }
                        Text {
                            Layout.fillWidth: true
                            text: qsTr("Running out of easy shortcuts? Tired of pressing 4 keys?\nOne key to rule them all.")
                            font.pixelSize: Theme.bodySize
                            color: Theme.secondary
                            horizontalAlignment: Text.AlignHCenter
                            wrapMode: Text.Wrap
                        }
                    }

                    Rectangle {
                        objectName: "hyperDiagram"
                        Layout.alignment: Qt.AlignHCenter
                        implicitWidth: diagram.implicitWidth + 40
                        implicitHeight: diagram.implicitHeight + 40
                        radius: 16
                        color: Theme.alpha(Theme.controlBackground, 0.5)

                        ColumnLayout {
                            id: diagram
                            anchors.centerIn: parent
                            spacing: 12

                            RowLayout {
                                Layout.alignment: Qt.AlignHCenter
                                opacity: 0.6
                                spacing: 8
                                Repeater {
                                    // macOS draws its modifiers; Linux names them.
                                    model: PlatformWords.isMac
                                        ? [["command", ""], ["option", ""], ["control", ""], ["shift", ""]]
                                        : [["", PlatformWords.command], ["", PlatformWords.option],
                                           ["", PlatformWords.control], ["", PlatformWords.shift]]
                                    delegate: RowLayout {
                                        required property var modelData
                                        required property int index
                                        spacing: 8
                                        Text {
                                            visible: index > 0
                                            text: "+"
                                            font.pixelSize: Theme.title3Size
                                            color: Theme.secondary
                                        }
                                        KeyIcon {
                                            icon: modelData[0]
                                            label: modelData[1]
                                            color: Theme.primary
                                            size: 24
                                        }
                                    }
                                }
                            }
                            Text {
                                Layout.alignment: Qt.AlignHCenter
                                text: Symbols.glyph("arrow.down")
                                font.family: Theme.symbolFamily
                                font.pixelSize: Theme.title2Size + 4
                                color: Theme.blue
                            }
                            RowLayout {
                                Layout.alignment: Qt.AlignHCenter
                                spacing: 12
                                KeyIcon {
                                    objectName: "capsLockKey"
                                    icon: "capslock.fill"
                                    color: Theme.blue
                                    size: 40
                                }
                                Text {
                                    text: "="
                                    font.pixelSize: Theme.titleSize
                                    color: Theme.secondary
                                }
                                Text {
                                    text: qsTr("Hyper Key")
                                    font.pixelSize: Theme.title2Size
                                    font.bold: true
                                    color: Theme.accent
                                }
                            }
                        }
                    }
                }
            }

            Page {
                step: 2
                ColumnLayout {
                    anchors.centerIn: parent
                    width: parent.width - 60
                    spacing: 24

                    Text {
                        Layout.alignment: Qt.AlignHCenter
                        text: Symbols.glyph(PermissionManager.isTrusted ? "sparkles" : "exclamationmark.triangle.fill")
                        font.family: Theme.symbolFamily
                        font.pixelSize: 60
                        color: PermissionManager.isTrusted ? Theme.blue : Theme.warningSymbol
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 12
                        Text {
                            objectName: "finishTitle"
                            Layout.alignment: Qt.AlignHCenter
                            // Only once Kestrune can read the keyboard is all set.
                            text: PermissionManager.isTrusted ? qsTr("You're All Set!") : qsTr("One Step Left")
                            font.pixelSize: Theme.titleSize
                            font.bold: true
                            color: Theme.primary
                        }
                        Text {
                            objectName: "finishText"
                            Layout.fillWidth: true
                            text: !PermissionManager.isTrusted
                                  ? (view.isLinux
                                     ? qsTr("Kestrune cannot read your keyboards yet, so no key is remapped. Go back to the first page to give it access.")
                                     : qsTr("Kestrune does not have Accessibility permission yet, so no key is remapped. Go back to the first page to grant it."))
                                  : PlatformWords.isMac
                                    ? qsTr("Kestrune is running in your menu bar.\nYou can customize settings at any time.")
                                    : qsTr("Kestrune is running in your system tray.\nYou can customize settings at any time.")
                            font.pixelSize: Theme.bodySize
                            color: Theme.secondary
                            horizontalAlignment: Text.AlignHCenter
                            wrapMode: Text.Wrap
                        }
                        EditorButton {
                            objectName: "backToAccessButton"
                            Layout.alignment: Qt.AlignHCenter
                            visible: !PermissionManager.isTrusted
                            text: view.isLinux ? qsTr("Back to Input Access") : qsTr("Back to Permission")
                            onClicked: view.curretStep = 0
                        }
                    }
                    Rectangle {
                        Layout.alignment: Qt.AlignHCenter
                        implicitWidth: tips.implicitWidth + 28
                        implicitHeight: tips.implicitHeight + 28
                        radius: 12
                        color: Theme.alpha(Theme.blue, 0.1)
                        ColumnLayout {
                            id: tips
                            anchors.centerIn: parent
                            spacing: 8
                            Repeater {
                                // The tip tells what a tap does with the settings as they are.
                                model: [["lightbulb.fill", view.singleTapTip()],
                                        ["keyboard.fill", qsTr("Tip: Press & Hold for Hyper Key")]]
                                delegate: RowLayout {
                                    required property var modelData
                                    spacing: 8
                                    Text {
                                        text: Symbols.glyph(modelData[0])
                                        font.family: Theme.symbolFamily
                                        font.pixelSize: Theme.calloutSize + 4
                                        color: Theme.blue
                                    }
                                    Text {
                                        objectName: "tip"
                                        text: modelData[1]
                                        font.pixelSize: Theme.calloutSize
                                        color: Theme.primary
                                    }
                                }
                            }
                        }
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 20
            Row {
                objectName: "stepDots"
                spacing: 6
                // Screen readers hear where the guide is; the dots say it by colour only.
                Accessible.role: Accessible.Indicator
                Accessible.name: qsTr("Step %1 of %2").arg(view.curretStep + 1).arg(3)
                Repeater {
                    model: 3
                    Rectangle {
                        required property int index
                        objectName: "stepDot." + index
                        width: 8
                        height: 8
                        radius: 4
                        color: index === view.curretStep ? Theme.blue : Theme.alpha("gray", 0.3)
                    }
                }
            }
            Item { Layout.fillWidth: true }
            EditorButton {
                objectName: view.curretStep > 1 ? "getStartedButton" : "nextButton"
                text: view.curretStep > 1 ? qsTr("Get Started") : qsTr("Next")
                prominent: true
                // A Tab stop, so that a keyboard user who moved to another
                // button can still come back here; Return elsewhere in the
                // window (outside a button) activates it as before.
                implicitWidth: Math.max(60 + leftPadding + rightPadding, implicitContentWidth + leftPadding + rightPadding)
                onClicked: view.activateDefault()
            }
        }
    }
}
