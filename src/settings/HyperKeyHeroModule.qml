import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Remapper
import Kestrune.Settings

// The large Hyper Key card. It is on while both the held Hyper key and the
// lone tap are on; a click turns both on unless both already are, then
// both off, so one click never leaves them split.
CardFrame {
    id: card

    hero: true
    isActive: KeyRemapper.isHyperKeyEnabled && KeyRemapper.isSinglePressEnabled
    isInfoHovering: info.hovering
    accessibleName: title.text
    Accessible.description: info.text

    onToggled: {
        const on = !(KeyRemapper.isHyperKeyEnabled && KeyRemapper.isSinglePressEnabled)
        KeyRemapper.isHyperKeyEnabled = on
        KeyRemapper.isSinglePressEnabled = on
    }

    // Centred in the card's fixed height.
    ColumnLayout {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        anchors.margins: 16
        spacing: 14

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Text {
                text: Symbols.glyph("capslock.fill")
                font.family: Theme.symbolFamily
                font.pixelSize: 18
                color: card.isActive ? Theme.activeSymbol : Theme.secondary
                Behavior on color { ColorAnimation { duration: Theme.duration(200) } }
            }
            Text {
                id: title
                text: qsTr("Hyper Key")
                font.pixelSize: 16
                font.bold: true
                color: Theme.primary
            }
            Item { Layout.fillWidth: true }
            CardSwitch {
                objectName: "switch"
                isActive: card.isActive
                onClicked: card.toggled()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.alpha(Theme.primary, 0.1)
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 20

            ColumnLayout {
                spacing: 4
                Text {
                    id: longPressLabel
                    text: qsTr("Long Press")
                    font.pixelSize: Theme.captionSize
                    font.weight: Font.Medium
                    color: Theme.secondary
                }
                RowLayout {
                    spacing: 6
                    OptionPicker {
                        objectName: "longPressPicker"
                        label: longPressLabel.text
                        options: ConfigOptions.hyperKey
                        value: KeyRemapper.hyperKeyConfig
                        onPicked: v => KeyRemapper.hyperKeyConfig = v
                    }
                    InfoButton {
                        id: info
                        objectName: "info"
                        text: qsTr("Long Press Help").arg(PlatformWords.command).arg(PlatformWords.option)
                              .arg(PlatformWords.control).arg(PlatformWords.shift).arg(KeyRemapper.emergencyChord())
                        topic: longPressLabel.text
                    }
                }
            }

            Rectangle {
                implicitWidth: 1
                implicitHeight: 24
                color: Theme.alpha(Theme.primary, 0.1)
            }

            ColumnLayout {
                spacing: 4
                Text {
                    id: singlePressLabel
                    text: qsTr("Single Press")
                    font.pixelSize: Theme.captionSize
                    font.weight: Font.Medium
                    color: Theme.secondary
                }
                OptionPicker {
                    objectName: "singlePressPicker"
                    label: singlePressLabel.text
                    options: ConfigOptions.singlePress
                    value: KeyRemapper.singlePressConfig
                    onPicked: v => KeyRemapper.singlePressConfig = v
                }
            }

            Item { Layout.fillWidth: true }
        }
    }
}
