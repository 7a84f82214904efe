import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Remapper

// The panel's title line: the name, the status lamp (working, paused, not
// working; a click pauses or resumes Kestrune), and the ⋯ menu.
Item {
    id: header

    // Set by the application; either may be null (its item then does nothing).
    property QtObject hud: null      // isHUDEnabled
    property QtObject updater: null  // checkForUpdates()
    // Where the platform tells keyboards apart: "Keyboards…" is offered.
    property bool offersKeyboards: false

    signal resetKeysRequested()
    signal quitRequested()
    signal aboutRequested()
    signal keyboardsRequested()

    implicitHeight: 24

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        spacing: 8

        Text {
            text: qsTr("Kestrune")
            font.family: Theme.roundedFamily
            font.pixelSize: 16
            font.bold: true
            color: Theme.primary
        }

        Item {
            id: statusDot
            objectName: "statusDot"

            readonly property int state: KeyRemapper.status.state
            readonly property bool running: state === RemapperStatus.Working
            readonly property color dotColor: running ? Theme.green
                                            : state === RemapperStatus.Paused ? Theme.orange : Theme.red
            readonly property string toolTipText: KeyRemapper.status.toolTip

            Layout.preferredWidth: 8
            Layout.preferredHeight: 8
            Layout.alignment: Qt.AlignVCenter

            // A little bounce each time the state changes, whoever changed it.
            onStateChanged: pulse.restart()
            SequentialAnimation {
                id: pulse
                NumberAnimation {
                    target: statusDot; property: "scale"; to: 1.5
                    duration: Theme.duration(80); easing.type: Easing.OutQuad
                }
                Spring { target: statusDot; property: "scale"; to: 1; response: 0.3; dampingFraction: 0.7 }
            }

            // The glow while running: fading green rings out to 4 px.
            Repeater {
                model: 4
                Rectangle {
                    required property int index
                    anchors.centerIn: parent
                    width: 8 + 2 * (index + 1)
                    height: width
                    radius: width / 2
                    color: Theme.alpha(Theme.green, 0.6 * 0.3 * (1 - index / 4))
                    opacity: statusDot.running ? 1 : 0
                    Behavior on opacity {
                        NumberAnimation { duration: Theme.duration(300); easing.type: Easing.OutCubic }
                    }
                }
            }

            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: statusDot.dotColor
                Behavior on color {
                    ColorAnimation { duration: Theme.duration(300); easing.type: Easing.OutCubic }
                }
            }

            MouseArea {
                id: dotMouse
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: KeyRemapper.isEnabled = !KeyRemapper.isEnabled
            }

            Accessible.role: Accessible.Button
            // Named by what pressing it does; the state and its reason follow.
            Accessible.name: KeyRemapper.status.actionText
            Accessible.description: KeyRemapper.status.detail.length > 0
                                    ? KeyRemapper.status.summary + ". " + KeyRemapper.status.detail
                                    : KeyRemapper.status.summary
            Accessible.onPressAction: KeyRemapper.isEnabled = !KeyRemapper.isEnabled

            // A Tab stop: Space or Return pauses or resumes, and the tooltip
            // shows while it has focus. Only the keyboard focuses it.
            activeFocusOnTab: true
            Keys.onSpacePressed: event => { if (!event.isAutoRepeat) KeyRemapper.isEnabled = !KeyRemapper.isEnabled }
            Keys.onReturnPressed: event => { if (!event.isAutoRepeat) KeyRemapper.isEnabled = !KeyRemapper.isEnabled }
            Keys.onEnterPressed: event => { if (!event.isAutoRepeat) KeyRemapper.isEnabled = !KeyRemapper.isEnabled }

            FocusRing {
                cornerRadius: statusDot.width / 2
                visible: statusDot.activeFocus
            }

            ToolTip {
                parent: statusDot
                visible: dotMouse.containsMouse || statusDot.activeFocus
                delay: 500
                text: statusDot.toolTipText
                // Below the dot: the panel's top edge leaves no room above.
                x: (statusDot.width - width) / 2
                y: statusDot.height + 6
                // Inside the panel, the reason wrapped to a readable width.
                margins: 6
                width: Math.min(implicitWidth, 260)
                padding: 6
                font.pixelSize: Theme.captionSize
                contentItem: Text {
                    text: statusDot.toolTipText
                    font.pixelSize: Theme.captionSize
                    color: Theme.primary
                    wrapMode: Text.Wrap
                }
                background: PopoverBackground {
                    radius: 6
                }
            }
        }

        // Brief word that "Reset Keys" ran.
        Row {
            id: resetFeedback
            objectName: "resetFeedback"
            spacing: 3
            opacity: 0
            visible: opacity > 0
            Accessible.role: Accessible.StaticText
            Accessible.name: resetText.text

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: Symbols.glyph("checkmark")
                font.family: Theme.symbolFamily
                font.pixelSize: Theme.captionSize + 1
                color: Theme.green
            }
            Text {
                id: resetText
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Keys reset")
                font.pixelSize: Theme.captionSize
                color: Theme.secondary
            }

            function flash() {
                fade.stop()
                opacity = 1
                hold.restart()
            }
            Timer {
                id: hold
                interval: 2500
                onTriggered: fade.start()
            }
            NumberAnimation {
                id: fade
                target: resetFeedback; property: "opacity"; to: 0
                duration: Theme.duration(400)
            }
        }

        Item { Layout.fillWidth: true }

        AbstractButton {
            id: ellipsis
            objectName: "ellipsisButton"
            Layout.preferredWidth: 24
            Layout.preferredHeight: 24
            hoverEnabled: true
            Accessible.name: qsTr("More")

            contentItem: Text {
                text: Symbols.glyph("ellipsis.circle")
                font.family: Theme.symbolFamily
                font.pixelSize: 20
                color: Theme.secondary
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            background: Rectangle {
                radius: 6
                color: ellipsis.down || menu.visible ? Theme.alpha(Theme.primary, 0.10)
                     : ellipsis.hovered ? Theme.alpha(Theme.primary, 0.05) : "transparent"

                FocusRing {
                    visible: ellipsis.visualFocus
                }
            }

            onClicked: menu.visible ? menu.close() : menu.open()
            // From the keyboard the menu opens on its first item, as a menu
            // button's does, and focus comes back here when it closes.
            Keys.onReturnPressed: event => { if (!event.isAutoRepeat) openFromKeyboard() }
            Keys.onEnterPressed: event => { if (!event.isAutoRepeat) openFromKeyboard() }
            Keys.onSpacePressed: event => { if (!event.isAutoRepeat) openFromKeyboard() }
            Keys.onDownPressed: openFromKeyboard()
            property bool openedFromKeyboard: false
            function openFromKeyboard() {
                openedFromKeyboard = true
                menu.open()
                menu.currentIndex = 0
            }

            Menu {
                id: menu
                objectName: "panelMenu"
                // Under the button, right edges aligned.
                x: ellipsis.width - width
                y: ellipsis.height + 4
                padding: 4
                margins: 6
                // The click that dismisses the menu goes no further: not to a
                // card beneath, nor to ⋯, which would open it again.
                modal: true
                dim: false
                onClosed: {
                    if (ellipsis.openedFromKeyboard)
                        ellipsis.forceActiveFocus(Qt.TabFocusReason)
                    ellipsis.openedFromKeyboard = false
                }

                background: PopoverBackground {
                    implicitWidth: 200
                }

                PanelMenuItem {
                    objectName: "checkForUpdatesItem"
                    text: qsTr("Check for Updates...")
                    enabled: header.updater !== null
                    onTriggered: header.updater.checkForUpdates()
                }
                PanelMenuSeparator {}
                PanelMenuItem {
                    objectName: "showHudItem"
                    text: qsTr("Show HUD Notifications")
                    checkable: true
                    // The item toggles its own check as it is chosen; the
                    // binding stays and agrees once the model has flipped.
                    checked: header.hud !== null && header.hud.isHUDEnabled
                    enabled: header.hud !== null
                    onTriggered: header.hud.isHUDEnabled = !header.hud.isHUDEnabled
                }
                PanelMenuSeparator {}
                PanelMenuItem {
                    objectName: "keyboardsItem"
                    text: qsTr("Keyboards…")
                    // Absent rather than dimmed: there is nothing to choose
                    // where keyboards cannot be told apart. Disabled too, so
                    // that the arrow keys pass over it.
                    visible: header.offersKeyboards
                    enabled: header.offersKeyboards
                    height: visible ? implicitHeight : 0
                    onTriggered: header.keyboardsRequested()
                }
                PanelMenuItem {
                    objectName: "resetKeysItem"
                    text: qsTr("Reset Keys")
                    onTriggered: {
                        header.resetKeysRequested()
                        resetFeedback.flash()
                    }
                }
                PanelMenuSeparator {}
                PanelMenuItem {
                    objectName: "aboutItem"
                    text: qsTr("About Kestrune")
                    onTriggered: header.aboutRequested()
                }
                PanelMenuItem {
                    objectName: "quitItem"
                    text: qsTr("Quit Kestrune")
                    onTriggered: header.quitRequested()
                }
            }
        }
    }

    component PanelMenuSeparator: MenuSeparator {
        topPadding: 4
        bottomPadding: 4
        leftPadding: 8
        rightPadding: 8
        contentItem: Rectangle {
            implicitHeight: 1
            color: Theme.alpha(Theme.primary, 0.1)
        }
    }
}
