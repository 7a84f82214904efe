import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps

// "Keyboards": which keyboards Kestrune remaps (those present, then those
// seen before and absent now) and what becomes of a keyboard not seen
// before. Follows the model live.
Rectangle {
    id: view

    // The KeyboardsModel, handed in by the window's controller.
    property QtObject keyboards: null

    readonly property bool otherVirtualKeyboardPresent: keyboards !== null && keyboards.otherVirtualKeyboardPresent
    readonly property bool listingUnavailable: keyboards !== null && keyboards.listingUnavailable
    readonly property bool remapNewKeyboards: keyboards === null || keyboards.remapNewKeyboards

    // "Done".
    signal closeRequested()

    width: 450
    height: 500
    color: Theme.windowBackground
    focus: true

    Keys.onReturnPressed: closeRequested()
    Keys.onEnterPressed: closeRequested()
    Keys.onEscapePressed: closeRequested()

    // Tab reaching a row out of sight scrolls it into view, focus ring
    // included.
    readonly property Item focusedItem: Window.activeFocusItem
    onFocusedItemChanged: reveal(focusedItem)
    function reveal(item) {
        let inside = item
        while (inside && inside !== rows)
            inside = inside.parent
        if (!inside)
            return
        const margin = 8
        const box = item.mapToItem(rows, 0, 0, item.width, item.height)
        const top = box.y + rows.y - margin
        const bottom = box.y + rows.y + box.height + margin
        if (top < list.contentY)
            list.contentY = Math.max(0, top)
        else if (bottom > list.contentY + list.height)
            list.contentY = Math.min(list.contentHeight - list.height, bottom - list.height)
    }

    // The row goes with its button: focus would be left nowhere, so the
    // window takes it and Tab starts again from the top.
    function forget(row, hadFocus) {
        const y = list.contentY
        keyboards.forget(row)
        list.contentY = Math.max(0, Math.min(y, list.contentHeight - list.height))
        if (hadFocus)
            view.forceActiveFocus()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            spacing: 8
            Text {
                text: Symbols.glyph("keyboard.fill")
                font.family: Theme.symbolFamily
                font.pixelSize: Theme.title2Size + 3
                color: Theme.primary
            }
            Text {
                text: qsTr("Keyboards")
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

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: explanation.implicitHeight + 28
            color: Theme.controlBackground
            ColumnLayout {
                id: explanation
                anchors.fill: parent
                anchors.margins: 14
                spacing: 8
                Text {
                    Layout.fillWidth: true
                    text: qsTr("Choose which keyboards Kestrune remaps. A keyboard left alone types as if Kestrune were not running.")
                    font.pixelSize: Theme.subheadlineSize + 1
                    color: Theme.secondary
                    wrapMode: Text.Wrap
                }
                Notice {
                    objectName: "otherVirtualKeyboardNotice"
                    Layout.fillWidth: true
                    visible: view.otherVirtualKeyboardPresent
                    text: qsTr("Another program's virtual keyboard is present. If another remapper is running, keys may be remapped twice.")
                }
                Notice {
                    objectName: "listingUnavailableNotice"
                    Layout.fillWidth: true
                    visible: view.listingUnavailable
                    text: qsTr("Kestrune cannot list the keyboards now: it has no input access.")
                }
            }
        }
        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Text {
                objectName: "emptyState"
                anchors.centerIn: parent
                visible: repeater.count === 0
                text: qsTr("No keyboards to show.")
                font.pixelSize: Theme.bodySize
                color: Theme.secondary
            }

            Flickable {
                id: list
                objectName: "keyboardList"
                anchors.fill: parent
                clip: true
                contentWidth: width
                contentHeight: rows.implicitHeight + 2 * rows.y
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {
                    id: scrollBar
                    objectName: "keyboardScrollBar"
                    policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
                    contentItem: Rectangle {
                        implicitWidth: 6
                        radius: 3
                        color: Theme.alpha(Theme.secondary, 0.45)
                    }
                }

                // Every row is made (a few dozen at most), so that Tab walks
                // them all in order.
                Column {
                    id: rows
                    x: 10
                    y: 6
                    // Clear of the scroll bar, where there is one.
                    width: list.width - 20 - (scrollBar.visible ? scrollBar.width : 0)

                    Repeater {
                        id: repeater
                        model: view.keyboards
                        // One keyboard: its name, what it is, and the choice.
                        // An absent one is greyed, its choice shown but fixed
                        // until it is back, and can be forgotten.
                        delegate: Item {
                            id: row
                            required property int index
                            required property string name
                            required property string kindText
                            required property bool present
                            required property bool remap
                            required property bool shared

                            objectName: "keyboardRow." + index
                            width: rows.width
                            height: Math.max(52, content.implicitHeight + 16)

                            RowLayout {
                                id: content
                                anchors.fill: parent
                                anchors.leftMargin: 6
                                anchors.rightMargin: 6
                                spacing: 12
                                Text {
                                    text: Symbols.glyph("keyboard.fill")
                                    font.family: Theme.symbolFamily
                                    font.pixelSize: 24
                                    color: row.present ? Theme.primary : Theme.secondary
                                }
                                ColumnLayout {
                                    Layout.fillWidth: true
                                    spacing: 2
                                    Text {
                                        objectName: "keyboardName"
                                        Layout.fillWidth: true
                                        text: row.name
                                        textFormat: Text.PlainText // as the driver names it, never markup
                                        font.family: Theme.roundedFamily
                                        font.pixelSize: 14
                                        font.weight: Font.Medium
                                        color: row.present ? Theme.primary : Theme.secondary
                                        elide: Text.ElideRight
                                    }
                                    Text {
                                        objectName: "keyboardKind"
                                        Layout.fillWidth: true
                                        text: row.present ? row.kindText : qsTr("%1, not connected").arg(row.kindText)
                                        font.pixelSize: Theme.captionSize
                                        color: Theme.secondary
                                        elide: Text.ElideRight
                                    }
                                    Text {
                                        objectName: "sharedNote"
                                        Layout.fillWidth: true
                                        visible: row.shared
                                        text: qsTr("Shares its choice with an identical keyboard")
                                        font.pixelSize: Theme.captionSize
                                        color: Theme.secondary
                                        wrapMode: Text.Wrap
                                    }
                                }
                                EditorButton {
                                    id: forgetButton
                                    objectName: "forgetButton"
                                    visible: !row.present
                                    text: qsTr("Forget")
                                    Accessible.name: qsTr("Forget %1").arg(row.name)
                                    onClicked: view.forget(row.index, forgetButton.activeFocus)
                                }
                                KeyboardSwitch {
                                    objectName: "remapSwitch"
                                    enabled: row.present
                                    checked: row.remap
                                    Accessible.name: qsTr("Remap this keyboard")
                                    Accessible.description: row.name
                                    // The model has the last word: the switch shows what it holds.
                                    onToggled: {
                                        view.keyboards.setRemap(row.index, checked)
                                        checked = Qt.binding(() => row.remap)
                                    }
                                }
                            }
                            Rectangle {
                                anchors.bottom: parent.bottom
                                x: 42
                                width: parent.width - 42
                                height: 1
                                color: Theme.separator
                                visible: row.index < repeater.count - 1
                            }
                        }
                    }
                }
            }
        }
        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 14
            spacing: 14
            Text {
                id: newLabel
                text: qsTr("New keyboards:")
                font.pixelSize: Theme.bodySize
                color: Theme.primary
            }
            ChoiceButton {
                objectName: "remapNewButton"
                text: qsTr("Remap")
                Accessible.description: newLabel.text
                checked: view.remapNewKeyboards
                onToggled: {
                    view.keyboards.remapNewKeyboards = true
                    checked = Qt.binding(() => view.remapNewKeyboards)
                }
            }
            ChoiceButton {
                objectName: "leaveNewAloneButton"
                text: qsTr("Leave alone")
                Accessible.description: newLabel.text
                checked: !view.remapNewKeyboards
                onToggled: {
                    view.keyboards.remapNewKeyboards = false
                    checked = Qt.binding(() => !view.remapNewKeyboards)
                }
            }
            Item { Layout.fillWidth: true }
        }
    }

    // On/off, drawn as the panel's card switches are.
    component KeyboardSwitch: Switch {
        id: control
        padding: 4
        spacing: 0
        // The track is all there is: no label beside it.
        implicitWidth: implicitIndicatorWidth + leftPadding + rightPadding
        implicitHeight: implicitIndicatorHeight + topPadding + bottomPadding
        contentItem: Item {}
        indicator: Rectangle {
            implicitWidth: 30
            implicitHeight: 18
            x: control.leftPadding
            y: (control.height - height) / 2
            radius: height / 2
            color: control.checked ? Theme.blue : Theme.alpha(Theme.secondary, 0.25)
            border.width: 1
            border.color: control.checked ? Theme.blue : Theme.alpha(Theme.secondary, 0.35)
            opacity: control.enabled ? 1 : 0.45

            Rectangle {
                width: parent.height - 4
                height: width
                radius: width / 2
                y: 2
                x: control.checked ? parent.width - width - 2 : 2
                color: "white"
                border.width: 1
                border.color: Theme.alpha("black", 0.12)
                Behavior on x {
                    NumberAnimation { duration: Theme.duration(200); easing.type: Easing.InOutQuad }
                }
            }
            FocusRing {
                cornerRadius: parent.radius
                visible: control.visualFocus
            }
        }
    }

    // One of two choices, a radio button in the theme's colours.
    component ChoiceButton: RadioButton {
        id: control
        padding: 2
        spacing: 6
        font.pixelSize: Theme.bodySize
        Accessible.name: text
        indicator: Rectangle {
            implicitWidth: 16
            implicitHeight: 16
            x: control.leftPadding
            y: (control.height - height) / 2
            radius: width / 2
            color: control.checked ? Theme.blue : Theme.isDark ? Theme.alpha("white", 0.12) : "white"
            border.width: control.checked ? 0 : 1
            border.color: Theme.alpha(Theme.primary, 0.3)
            Rectangle {
                anchors.centerIn: parent
                width: 6
                height: 6
                radius: 3
                color: "white"
                visible: control.checked
            }
            FocusRing {
                cornerRadius: parent.radius
                visible: control.visualFocus
            }
        }
        contentItem: Text {
            text: control.text
            font: control.font
            color: Theme.primary
            leftPadding: control.indicator.width + control.spacing
            verticalAlignment: Text.AlignVCenter
        }
    }

    // A warning under the explanation: what is wrong, in the warning colour.
    component Notice: RowLayout {
        id: notice
        property alias text: words.text
        spacing: 6
        Accessible.role: Accessible.AlertMessage
        Accessible.name: text
        Text {
            Layout.alignment: Qt.AlignTop
            text: Symbols.glyph("exclamationmark.triangle.fill")
            font.family: Theme.symbolFamily
            font.pixelSize: Theme.captionSize + 4
            color: Theme.warningText
        }
        Text {
            id: words
            Layout.fillWidth: true
            font.pixelSize: Theme.captionSize + 1
            color: Theme.warningText
            wrapMode: Text.Wrap
        }
    }
}
