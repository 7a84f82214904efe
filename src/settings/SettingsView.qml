import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Remapper
import Kestrune.Settings
import Kestrune.System
import Kestrune.Launcher
import Kestrune.Exclusions

// The panel that opens from the tray icon. Content taller than the panel
// scrolls; there are no scroll bars.
Item {
    id: view

    // Models the application hands in. Any may be null: its card or menu
    // item then shows off and does nothing.
    property QtObject launchAtLogin: null  // isEnabled
    property QtObject hud: null            // isHUDEnabled
    property QtObject updater: null        // checkForUpdates()
    property QtObject settingsFile: null   // hasProblem, title, detail
    // Linux: which input method Eisu and Kana drive, or what is missing.
    property QtObject inputMethod: null    // summary
    // Where the platform tells keyboards apart, the KeyboardsModel: the ⋯
    // menu then offers "Keyboards…".
    property QtObject keyboards: null

    signal resetKeysRequested()
    signal quitRequested()
    signal aboutRequested()
    signal launcherSettingsRequested()
    signal exclusionSettingsRequested()
    signal keyboardsRequested()
    // Escape with nothing open inside the panel: a tray panel closes, as a
    // menu does. An open picker, menu or popover takes the key first, and
    // so does a card's help shown under the pointer.
    signal closeRequested()

    focus: true
    Keys.onEscapePressed: {
        if (!dismissHoveredHelp(view))
            closeRequested()
    }
    function dismissHoveredHelp(item) {
        if (item.hovering === true && item.popoverVisible === true && typeof item.dismissHelp === "function")
            return item.dismissHelp()
        for (let i = 0; i < item.children.length; ++i) {
            if (dismissHoveredHelp(item.children[i]))
                return true
        }
        return false
    }

    // Keyboard focus moving to a control out of sight scrolls it into view,
    // its focus ring included. Tab walks the controls in reading order; the
    // arrow keys move between the cards.
    readonly property Item focusedItem: Window.activeFocusItem
    onFocusedItemChanged: revealFocused()
    function revealFocused() {
        const target = focusedItem
        let inside = target
        while (inside && inside !== column)
            inside = inside.parent
        if (!inside)
            return
        const rect = target.mapToItem(column, 0, 0, target.width, target.height)
        const margin = 8
        // Near either end, all the way, padding included.
        const end = Math.max(0, scroller.contentHeight - scroller.height)
        const top = rect.y - margin <= 0 ? 0 : column.y + rect.y - margin
        // Above the fade that says there is more below, unless that is the end.
        const bottom = Math.min(scroller.contentHeight, rect.y + rect.height + margin >= column.height
                                ? scroller.contentHeight : column.y + rect.y + rect.height + margin + moreBelow.height)
        if (top < scroller.contentY)
            scroller.contentY = Math.max(0, top)
        else if (bottom > scroller.contentY + scroller.height)
            scroller.contentY = Math.min(end, bottom - scroller.height)
    }

    // The card the arrow key leads to from `card`, or null: the grid's two
    // columns left and right, its rows up and down, the Hyper Key card above
    // the first row.
    function cardBeside(card, key) {
        const cards = []
        for (let n = 0; n < grid.children.length; ++n) {
            if (grid.children[n].visible && grid.children[n].activeFocusOnTab)
                cards.push(grid.children[n])
        }
        const i = cards.indexOf(card)
        if (card === hero)
            return key === Qt.Key_Down && cards.length > 0 ? cards[0] : null
        if (i < 0)
            return null
        switch (key) {
        case Qt.Key_Left: return i % 2 === 1 ? cards[i - 1] : null
        case Qt.Key_Right: return i % 2 === 0 && i + 1 < cards.length ? cards[i + 1] : null
        case Qt.Key_Up: return i < 2 ? hero : cards[i - 2]
        case Qt.Key_Down: return i + 2 < cards.length ? cards[i + 2] : null
        }
        return null
    }

    // The window calls this each time the panel opens: trust may have been
    // granted or withdrawn while it was closed.
    function panelShown() {
        PermissionManager.checkPermission()
        fileNoticeFloats = false
        // Every opening starts at the top, where the status and notices are.
        scroller.contentY = 0
        // Each opening starts afresh, as a menu does: no control focused,
        // no ring, and Tab begins at the first control.
        view.forceActiveFocus()
    }

    Component.onCompleted: panelShown()

    // A settings problem that arises while the panel is open (a save that
    // failed) floats over the panel's foot instead of taking its place at
    // the top, which would push the cards down under the pointer. The next
    // opening shows it at the top with the other notices.
    property bool fileNoticeFloats: false
    readonly property bool hasFileProblem: settingsFile !== null && settingsFile.hasProblem
    property bool fileHadProblem: false
    onSettingsFileChanged: fileHadProblem = hasFileProblem
    Connections {
        target: view.settingsFile
        function onChanged() {
            const has = view.settingsFile.hasProblem
            if (has && !view.fileHadProblem)
                view.fileNoticeFloats = true
            view.fileHadProblem = has
        }
    }

    width: 360
    height: 490

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Theme.panelBackground
        border.width: 1
        border.color: Theme.isDark ? Theme.alpha("white", 0.08) : Theme.alpha("black", 0.08)
    }

    Flickable {
        id: scroller
        objectName: "scroller"
        anchors.fill: parent
        clip: true
        contentWidth: width
        // Room below the content for a floating notice, so that nothing
        // stays hidden beneath it.
        contentHeight: column.implicitHeight + 2 * column.y
                       + (fileNoticeFloat.visible ? fileNoticeFloat.height + 12 : 0)
        flickableDirection: Flickable.VerticalFlick
        boundsBehavior: Flickable.StopAtBounds

        // The wheel and the touchpad move the content directly rather than
        // starting a flick that coasts on: in a panel this short, coasting
        // overshoots what the user was reaching for.
        WheelHandler {
            target: null
            onWheel: event => {
                const delta = event.pixelDelta.y !== 0 ? event.pixelDelta.y : event.angleDelta.y / 120 * 48
                const end = Math.max(0, scroller.contentHeight - scroller.height)
                scroller.contentY = Math.max(0, Math.min(end, scroller.contentY - delta))
            }
        }

        Column {
            id: column
            x: 16
            y: 16
            width: scroller.width - 2 * x
            spacing: 20

            // Arrow keys a focused card leaves unused move to its neighbour.
            Keys.onPressed: event => {
                const next = view.cardBeside(view.focusedItem, event.key)
                if (next) {
                    next.forceActiveFocus(Qt.TabFocusReason)
                    event.accepted = true
                }
            }

            HeaderRow {
                width: parent.width
                hud: view.hud
                updater: view.updater
                onResetKeysRequested: view.resetKeysRequested()
                onQuitRequested: view.quitRequested()
                onAboutRequested: view.aboutRequested()
                offersKeyboards: view.keyboards !== null
                onKeyboardsRequested: view.keyboardsRequested()
            }

            PermissionRequestCard {
                objectName: "permissionCard"
                width: parent.width
                visible: !PermissionManager.isTrusted
            }

            NoticeCard {
                objectName: "tapNotice"
                width: parent.width
                visible: KeyRemapper.status.showsTapNotice
                title: KeyRemapper.status.summary
                detail: KeyRemapper.status.detail
            }

            // The settings file's notice in its place at the top.
            Item {
                id: fileNoticeSlot
                width: parent.width
                height: fileNotice.implicitHeight
                visible: view.hasFileProblem && !view.fileNoticeFloats
            }

            // With the other notices at the top, where the panel opens: below
            // the cards it would sit out of sight.
            FrontmostNoticeCard {
                objectName: "frontmostNotice"
                width: parent.width
                visible: AppExclusionManager.isEnabled && !AppExclusionManager.canFollowFrontmostApplication
            }

            HyperKeyHeroModule {
                id: hero
                objectName: "heroCard"
                width: parent.width
            }

            GridLayout {
                id: grid
                width: parent.width
                columns: 2
                columnSpacing: 12
                rowSpacing: 12

                CompactFeatureModule {
                    id: arrowModeCard
                    objectName: "card.arrowMode"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("Arrow Mode")
                    symbol: "arrow.up.and.down.and.arrow.left.and.right"
                    helpText: qsTr("Vim Mode Help")
                    isActive: KeyRemapper.isVimModeEnabled
                    onToggled: KeyRemapper.isVimModeEnabled = !KeyRemapper.isVimModeEnabled
                    control: OptionPicker {
                        objectName: "arrowLayoutPicker"
                        label: arrowModeCard.title
                        options: ConfigOptions.vimMode
                        value: KeyRemapper.vimModeConfig
                        onPicked: v => KeyRemapper.vimModeConfig = v
                    }
                }

                CompactFeatureModule {
                    objectName: "card.doubleTap"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("Double Tap")
                    symbol: "hand.tap.fill"
                    helpText: qsTr("Double Tap Help")
                    isActive: KeyRemapper.isCapsLockDoubleTapEnabled
                    onToggled: KeyRemapper.isCapsLockDoubleTapEnabled = !KeyRemapper.isCapsLockDoubleTapEnabled
                }

                CompactFeatureModule {
                    id: cmdKeysCard
                    objectName: "card.cmdKeys"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    // "L/R Command" on macOS, "L/R Super" on Linux.
                    title: qsTr("L/R %1").arg(PlatformWords.command)
                    symbol: "keyboard.fill"
                    helpText: qsTr("L/R Command Help").arg(PlatformWords.command)
                              .arg(PlatformWords.backspace).arg(PlatformWords.forwardDelete)
                              + (view.inputMethod ? "\n\n" + view.inputMethod.summary : "")
                    isActive: KeyRemapper.isCmdEisuKanaEnabled
                    onToggled: KeyRemapper.isCmdEisuKanaEnabled = !KeyRemapper.isCmdEisuKanaEnabled
                    control: OptionPicker {
                        objectName: "cmdKeysPicker"
                        label: cmdKeysCard.title
                        // The text elides within this width; not clipped,
                        // which would cut off the focus ring.
                        width: 110
                        options: ConfigOptions.cmdEisuKana
                        value: KeyRemapper.cmdEisuKanaConfig
                        onPicked: v => KeyRemapper.cmdEisuKanaConfig = v
                    }
                }

                CompactFeatureModule {
                    objectName: "card.launchAtLogin"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("Launch at Login")
                    symbol: "arrow.turn.up.right"
                    helpText: qsTr("Automatically launch at login")
                    isActive: view.launchAtLogin !== null && view.launchAtLogin.isEnabled
                    onToggled: {
                        if (view.launchAtLogin)
                            view.launchAtLogin.isEnabled = !view.launchAtLogin.isEnabled
                    }
                }

                CompactFeatureModule {
                    id: appLauncherCard
                    objectName: "card.appLauncher"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("App Launcher")
                    symbol: "square.grid.2x2"
                    helpText: qsTr("Launch applications using Hyper Key")
                    isActive: AppLauncherManager.isEnabled
                    onToggled: AppLauncherManager.isEnabled = !AppLauncherManager.isEnabled
                    control: PanelButton {
                        objectName: "launcherSettingsButton"
                        Accessible.description: appLauncherCard.title
                        text: qsTr("Settings...")
                        onClicked: view.launcherSettingsRequested()
                    }
                }

                CompactFeatureModule {
                    id: exclusionsCard
                    objectName: "card.exclusions"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("App-Specific Exclusions")
                    symbol: "nosign"
                    helpText: qsTr("Disable Kestrune in specific apps")
                    isActive: AppExclusionManager.isEnabled
                    onToggled: AppExclusionManager.isEnabled = !AppExclusionManager.isEnabled
                    control: PanelButton {
                        objectName: "exclusionSettingsButton"
                        Accessible.description: exclusionsCard.title
                        text: qsTr("Settings...")
                        onClicked: view.exclusionSettingsRequested()
                    }
                }
            }

            FooterSection {
                width: parent.width
            }
        }
    }

    // More below: the foot of the panel fades out over a chevron, saying
    // that the panel scrolls. Only a sign: the wheel, the touchpad and Tab
    // scroll it.
    readonly property bool hasMoreBelow: scroller.contentY < scroller.contentHeight - scroller.height - 1
    Rectangle {
        id: moreBelow
        objectName: "moreBelow"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 1
        height: 36
        radius: 12
        visible: view.hasMoreBelow && !fileNoticeFloat.visible
        gradient: Gradient {
            GradientStop { position: 0; color: Theme.alpha(Theme.panelBackground, 0) }
            GradientStop { position: 0.7; color: Theme.panelBackground }
        }
        Accessible.ignored: true

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 2
            text: Symbols.glyph("chevron.down")
            font.family: Theme.symbolFamily
            font.pixelSize: 18
            color: Theme.secondary
        }
    }

    // The settings file's notice while it floats over the panel's foot: on
    // the panel's own colour, as the notice's tint is translucent.
    Rectangle {
        id: fileNoticeFloat
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 12
        height: fileNotice.implicitHeight
        radius: 12
        color: Theme.panelBackground
        visible: view.hasFileProblem && view.fileNoticeFloats
    }

    NoticeCard {
        id: fileNotice
        objectName: "settingsFileNotice"
        parent: view.fileNoticeFloats ? fileNoticeFloat : fileNoticeSlot
        width: parent.width
        title: view.settingsFile ? view.settingsFile.title : ""
        detail: view.settingsFile ? view.settingsFile.detail : ""
    }
}
