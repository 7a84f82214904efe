import QtQuick
import QtQuick.Controls.Basic
import Kestrune.Style

// The ⓘ on a card: hovering it shows the help text in a popover beside it.
// It takes its own clicks, so reaching for help never flips the card. From
// the keyboard it is a Tab stop that shows the help while focused; Escape
// puts the help away, shown by hover or focus, before it closes anything
// else, and Space or Return brings it back.
Item {
    id: info

    // The help text, already translated.
    property string text
    // What the help is about (the card's title), for its accessible name.
    property string topic
    readonly property bool hovering: hover.hovered
    readonly property bool popoverVisible: popover.visible
    readonly property string popoverText: popoverLabel.text
    // Put away with Escape: it stays away until asked for again (the pointer
    // comes back, focus comes back, Space or Return).
    property bool dismissed: false
    readonly property bool showsHelp: (hovering || activeFocus) && !dismissed && text.length > 0
    onHoveringChanged: dismissed = false

    implicitWidth: 14
    implicitHeight: 14

    activeFocusOnTab: true
    onActiveFocusChanged: dismissed = false
    Keys.onEscapePressed: event => {
        // With the help already away, Escape goes on to close the panel.
        event.accepted = dismissHelp()
    }
    // Puts the help away; false when it was not shown.
    function dismissHelp() {
        const shown = popover.visible
        dismissed = true
        return shown
    }
    Keys.onSpacePressed: dismissed = !dismissed
    Keys.onReturnPressed: dismissed = !dismissed
    Keys.onEnterPressed: dismissed = !dismissed

    Accessible.role: Accessible.Button
    Accessible.name: qsTr("About %1").arg(topic)
    Accessible.description: text
    Accessible.onPressAction: {
        info.forceActiveFocus(Qt.OtherFocusReason)
        dismissed = false
    }

    FocusRing {
        cornerRadius: info.width / 2
        visible: info.activeFocus
    }

    Text {
        anchors.centerIn: parent
        text: Symbols.glyph("info.circle")
        font.family: Theme.symbolFamily
        font.pixelSize: 14
        color: Theme.secondary
    }

    HoverHandler {
        id: hover
        cursorShape: Qt.WhatsThisCursor
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -3
        acceptedButtons: Qt.AllButtons
    }

    // Above the icon where the window has room, else below; never over the
    // icon itself, which would take the hover away from it.
    function popoverY(height) {
        const top = info.mapToItem(null, 0, 0).y
        return top - height - 6 >= 4 ? -height - 6 : info.height + 6
    }

    Popup {
        id: popover
        visible: info.showsHelp
        closePolicy: Popup.NoAutoClose
        width: 200
        padding: 10
        margins: 6
        x: (info.width - width) / 2
        y: info.showsHelp ? info.popoverY(height) : 0

        contentItem: Text {
            id: popoverLabel
            text: info.text
            wrapMode: Text.Wrap
            font.pixelSize: Theme.captionSize
            lineHeight: 1.15
            color: Theme.primary
        }

        background: PopoverBackground {}
    }
}
