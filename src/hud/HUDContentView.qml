// The Hyper pill: the held modifier glyphs in a badge, then the caption.
// The implicit size is what its panel sizes to, so the pill grows with the
// glyph count and the translated caption; the shadow spills outside it.
import QtQuick
import Kestrune.Style

Item {
    id: root

    property QtObject viewModel: null

    implicitWidth: content.implicitWidth + 32
    implicitHeight: content.implicitHeight + 20

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

        Rectangle {
            id: badge
            objectName: "hyperBadge"
            width: 36
            height: 36
            radius: 18
            color: Theme.alpha(Theme.primary, 0.1)

            Text {
                id: glyphs
                objectName: "hyperGlyphs"
                anchors.centerIn: parent
                // 4 points of padding inside the circle; four glyphs shrink
                // to fit (down to half size) instead of being cut off.
                width: 28
                height: 28
                text: root.viewModel ? root.viewModel.glyphs : ""
                textFormat: Text.PlainText
                font.pixelSize: 14
                font.bold: true
                // The modifier glyphs are wide in most faces: a condensed
                // one, set tight, keeps four of them legible in the circle.
                font.family: "DejaVu Sans Condensed"
                font.letterSpacing: -0.5
                fontSizeMode: Text.Fit
                minimumPixelSize: 7
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
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
