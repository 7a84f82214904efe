import QtQuick
import QtQuick.Controls.Basic
import Kestrune.Style

// A compact pop-up picker over a list of {value, text} options (from
// ConfigOptions). It shows `value` and reports a choice through picked();
// the owner writes the model, and the model's change comes back as `value`.
ComboBox {
    id: control

    property var options: []
    property int value: 0
    // What the picker sets, as its label reads (the caption above it, or the
    // card's title): its name for assistive technology.
    property string label

    signal picked(int value)

    function indexOfOption(v) {
        for (let i = 0; i < options.length; ++i) {
            if (options[i].value === v)
                return i
        }
        return -1
    }

    model: options
    textRole: "text"
    valueRole: "value"
    currentIndex: indexOfOption(value)
    onActivated: index => control.picked(options[index].value)

    Accessible.name: label
    hoverEnabled: true
    // Space opens the list (the control's own binding); Return does too, as
    // it does a pop-up button's, on release like Space, so that the release
    // does not close the list again. With the list open, Return chooses.
    property bool openOnRelease: false
    Keys.onPressed: event => {
        const isReturn = event.key === Qt.Key_Return || event.key === Qt.Key_Enter
        event.accepted = isReturn && !popup.visible
        if (event.accepted && !event.isAutoRepeat)
            openOnRelease = true
    }
    Keys.onReleased: event => {
        event.accepted = openOnRelease
        if (openOnRelease)
            popup.open()
        openOnRelease = false
    }

    font.pixelSize: 11
    leftPadding: 8
    rightPadding: 8 + indicator.width + 4
    topPadding: 0
    bottomPadding: 0

    FontMetrics {
        id: metrics
        font: control.font
    }
    // The list shows the chosen option in bold: measure the options so.
    FontMetrics {
        id: boldMetrics
        font.family: control.font.family
        font.pixelSize: control.font.pixelSize
        font.weight: Font.DemiBold
    }
    readonly property real widestText: {
        let widest = 0
        for (const option of options)
            widest = Math.max(widest, boldMetrics.advanceWidth(option.text))
        return Math.ceil(widest)
    }
    // Closed, the picker shows an option's `shortText` where it has one:
    // the list names everything, the control stays narrow.
    function shortTextOf(option) {
        return option.shortText !== undefined ? option.shortText : option.text
    }
    readonly property real widestShortText: {
        let widest = 0
        for (const option of options)
            widest = Math.max(widest, metrics.advanceWidth(shortTextOf(option)))
        return Math.ceil(widest)
    }
    displayText: currentIndex >= 0 && currentIndex < options.length ? shortTextOf(options[currentIndex]) : ""

    implicitWidth: widestShortText + leftPadding + rightPadding
    implicitHeight: 22

    contentItem: Text {
        text: control.displayText
        font: control.font
        color: Theme.primary
        verticalAlignment: Text.AlignVCenter
        // A narrow picker (or a longer translation) shrinks a little before
        // it cuts.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 9
        elide: Text.ElideRight
    }

    // Closed, a shortened or cut name is given whole on hover and focus,
    // and to assistive technology.
    readonly property bool showsWholeName: displayText === currentText && !contentItem.truncated
    Accessible.description: showsWholeName ? "" : currentText
    ToolTip {
        objectName: control.objectName + ".toolTip"
        parent: control
        visible: !control.showsWholeName && !control.popup.visible && (control.hovered || control.visualFocus)
        delay: 500
        text: control.currentText
        y: control.height + 4
        margins: 6
        padding: 6
        font.pixelSize: Theme.captionSize
        contentItem: Text {
            text: control.currentText
            font.pixelSize: Theme.captionSize
            color: Theme.primary
        }
        background: PopoverBackground {
            radius: 6
        }
    }

    indicator: Canvas {
        id: chevrons
        x: control.width - width - 7
        y: (control.height - height) / 2
        width: 7
        height: 10
        readonly property color strokeColor: Theme.secondary
        onStrokeColorChanged: requestPaint()
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            ctx.strokeStyle = strokeColor
            ctx.lineWidth = 1.3
            ctx.lineCap = "round"
            ctx.lineJoin = "round"
            ctx.beginPath()
            ctx.moveTo(1, 4); ctx.lineTo(3.5, 1.5); ctx.lineTo(6, 4)
            ctx.moveTo(1, 6); ctx.lineTo(3.5, 8.5); ctx.lineTo(6, 6)
            ctx.stroke()
        }
    }

    background: Rectangle {
        radius: 6
        color: control.pressed || control.popup.visible
            ? Theme.alpha(Theme.primary, 0.12)
            : Theme.isDark ? Theme.alpha("white", control.hovered ? 0.14 : 0.10)
                           : Theme.alpha("white", control.hovered ? 0.95 : 0.8)
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.12)

        FocusRing {
            visible: control.visualFocus
        }
    }

    delegate: ItemDelegate {
        id: option
        required property int index
        required property var modelData
        objectName: control.objectName + ".option." + index
        width: ListView.view.width
        height: 22
        leftPadding: 22
        rightPadding: 10
        topPadding: 0
        bottomPadding: 0
        highlighted: control.highlightedIndex === index
        hoverEnabled: true

        contentItem: Text {
            text: option.modelData.text
            font.pixelSize: 11
            font.weight: control.currentIndex === option.index ? Font.DemiBold : Font.Normal
            color: option.highlighted ? Theme.onAccent : Theme.primary
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }

        // The check mark in front of the chosen option.
        Text {
            x: 6
            anchors.verticalCenter: parent.verticalCenter
            visible: control.currentIndex === option.index
            text: Symbols.glyph("checkmark")
            font.family: Theme.symbolFamily
            font.pixelSize: 12
            color: option.highlighted ? Theme.onAccent : Theme.primary
        }

        background: Rectangle {
            x: 4
            width: option.width - 8
            radius: 4
            color: option.highlighted ? Theme.accent : "transparent"
        }
    }

    popup: Popup {
        // Modal without a dimmer: the click that dismisses the list must
        // not also land on the card beneath and flip it.
        modal: true
        dim: false
        y: control.height + 2
        // Room for the widest option in bold (the chosen one), its check
        // mark and the list's insets.
        width: Math.max(control.width, control.widestText + 22 + 10 + 8)
        height: Math.min(contentItem.implicitHeight + topPadding + bottomPadding,
                         control.Window.height - topMargin - bottomMargin)
        topMargin: 6
        bottomMargin: 6
        padding: 4

        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.delegateModel
            currentIndex: control.highlightedIndex
            highlightMoveDuration: 0
            boundsBehavior: Flickable.StopAtBounds
        }

        background: PopoverBackground {}
    }
}
