import QtQuick
import QtQuick.Layouts
import Kestrune.Style

// One of the six feature cards: symbol and switch, title, and the feature's
// own control if it has one; the ⓘ sits in the bottom-trailing corner.
CardFrame {
    id: card

    property string title
    property string symbol
    // The help text, already translated.
    property string helpText
    // The card's own control (a picker or a button), under the title.
    property alias control: controlSlot.data

    isInfoHovering: info.hovering
    accessibleName: title
    Accessible.description: helpText

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            spacing: 0

            Item {
                implicitWidth: 24
                implicitHeight: 24
                Text {
                    anchors.centerIn: parent
                    text: Symbols.glyph(card.symbol)
                    font.family: Theme.symbolFamily
                    font.pixelSize: 18
                    color: card.isActive ? Theme.activeSymbol : Theme.secondary
                    Behavior on color { ColorAnimation { duration: Theme.duration(200) } }
                }
            }
            Item { Layout.fillWidth: true }
            CardSwitch {
                objectName: "switch"
                isActive: card.isActive
                onClicked: card.toggled()
            }
        }

        Text {
            Layout.fillWidth: true
            text: card.title
            font.pixelSize: 13
            font.weight: Font.Medium
            color: Theme.primary
            // Long titles (and longer translations) shrink rather than cut.
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 10
            elide: Text.ElideRight
        }

        Item {
            id: controlSlot
            Layout.fillWidth: true
            implicitHeight: childrenRect.height
        }

        Item { Layout.fillHeight: true }
    }

    InfoButton {
        id: info
        objectName: "info"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 12
        z: 2
        text: card.helpText
        topic: card.title
    }
}
