import QtQuick
import Kestrune.Style

// The card shared by the Hyper Key card and the feature cards: material,
// fill, border and glow, and the lift under the pointer. Only the card's
// CardSwitch turns it on or off with the pointer: a click meant for a picker
// or for closing a help text must never change a setting.
Item {
    id: card

    property bool isActive: false
    // The larger Hyper Key card: a stronger fill and glow.
    property bool hero: false
    readonly property bool isHovering: hoverHandler.hovered
    property bool isInfoHovering: false
    // Read out by assistive technology as the card's switch.
    property string accessibleName

    default property alias content: contentLayer.data

    signal toggled()

    implicitHeight: hero ? 130 : 110

    readonly property real cornerRadius: 20
    readonly property color fillColor: isActive
        ? Theme.alpha("white", Theme.isDark ? (hero ? 0.08 : 0.07) : (hero ? 0.25 : 0.20))
        : Theme.alpha(Theme.primary, 0.02)
    readonly property color borderColor: isActive
        ? Theme.alpha("white", 0.6)
        : Theme.alpha(Theme.primary, hero ? 0.10 : 0.08)
    readonly property real glowOpacity: isActive ? (hero ? 0.3 : 0.2) : 0
    readonly property int glowRadius: isHovering ? (hero ? 8 : 6) : (hero ? 4 : 2)

    scale: isHovering ? 1.04 : 1
    // Lifted above its neighbours, which its glow and scale would overlap.
    z: isHovering || activeFocus ? 1 : 0
    Behavior on scale {
        Spring { response: 0.35; dampingFraction: 0.6 }
    }

    // A stop of the Tab chain; Space or Return flips it as the switch does.
    // Only the keyboard gives the card focus (the switch takes none), so its
    // ring shows exactly while focus came from the keyboard.
    activeFocusOnTab: true
    Keys.onSpacePressed: event => { if (!event.isAutoRepeat) card.toggled() }
    Keys.onReturnPressed: event => { if (!event.isAutoRepeat) card.toggled() }
    Keys.onEnterPressed: event => { if (!event.isAutoRepeat) card.toggled() }

    Accessible.role: Accessible.CheckBox
    Accessible.name: accessibleName
    Accessible.checkable: true
    Accessible.checked: isActive
    Accessible.onToggleAction: card.toggled()
    Accessible.onPressAction: card.toggled()

    // The glow: 1 px rings outside the border, fading outwards.
    Repeater {
        model: 8
        Rectangle {
            required property int index
            readonly property int ring: index + 1
            anchors.fill: parent
            anchors.margins: -ring
            radius: card.cornerRadius + ring
            color: "transparent"
            border.width: 1
            border.color: Theme.alpha("white", card.glowOpacity * Math.pow(1 - ring / (card.glowRadius + 1), 2))
            visible: card.glowOpacity > 0 && ring <= card.glowRadius
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: card.cornerRadius
        color: Theme.regularMaterial
    }

    Rectangle {
        objectName: "fill"
        anchors.fill: parent
        radius: card.cornerRadius
        color: card.fillColor
        border.width: 1
        border.color: card.borderColor
        Behavior on color {
            ColorAnimation { duration: Theme.duration(200); easing.type: Easing.InOutQuad }
        }
        Behavior on border.color {
            ColorAnimation { duration: Theme.duration(200); easing.type: Easing.InOutQuad }
        }
    }

    Item {
        id: contentLayer
        anchors.fill: parent
    }

    HoverHandler {
        id: hoverHandler
    }

    FocusRing {
        cornerRadius: card.cornerRadius
        visible: card.activeFocus
    }
}
