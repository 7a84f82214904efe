// The Hyper pill: the held modifiers in a badge, then the caption.
// The implicit size is what its panel sizes to, so the pill grows with the
// glyph count and the translated caption; the shadow spills outside it.
import QtQuick
import Kestrune.Style

Item {
    id: root

    property QtObject viewModel: null

    // From the parts, not the Row: a Row sums its children only when next
    // polished, and the panel is sized before that, as soon as the
    // combination changes.
    implicitWidth: badge.width + content.spacing + caption.implicitWidth + 32
    implicitHeight: Math.max(badge.height, caption.implicitHeight) + 20

    // No blur in the software renderer: a few widening, faint rounded rects
    // under the pill read as a soft shadow (about 15% black at the edge).
    Repeater {
        model: 3
        Rectangle {
            required property int index
            readonly property real spread: 2 * (index + 1)
            x: -spread
            y: -spread + 2
            width: root.width + 2 * spread
            height: root.height + 2 * spread
            radius: 24 + spread
            color: Qt.rgba(0, 0, 0, 0.05)
        }
    }

    Rectangle {
        id: pill
        objectName: "hyperPill"
        anchors.fill: parent
        radius: 24
        color: Theme.popoverMaterial
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.1)
    }

    Row {
        id: content
        anchors.centerIn: parent
        spacing: 12

        // The held modifiers in a capsule that widens with them, at a size
        // read at a glance: the symbols on macOS, the names on Linux.
        Rectangle {
            id: badge
            objectName: "hyperBadge"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.max(36, glyphs.implicitWidth + 20)
            height: 36
            radius: 18
            color: Theme.alpha(Theme.primary, 0.1)

            Text {
                id: glyphs
                objectName: "hyperGlyphs"
                anchors.centerIn: parent
                text: root.viewModel ? root.viewModel.glyphs : ""
                textFormat: Text.PlainText
                font.pixelSize: PlatformWords.isMac ? 17 : 14
                font.bold: true
                font.letterSpacing: PlatformWords.isMac ? 1.5 : 0
                color: Theme.primary
            }
        }

        Text {
            id: caption
            objectName: "hyperCaption"
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Hyper Active")
            font.family: Theme.roundedFamily
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: Theme.alpha(Theme.primary, 0.9)
        }
    }
}
