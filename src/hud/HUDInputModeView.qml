// The input-mode square: "あ" for kana, "A" for eisu. It pops in (80% to
// full size on a spring) each time it appears; a mode switch while it is
// already up only changes the letter.
import QtQuick
import Kestrune.Style

Item {
    id: root

    property QtObject viewModel: null
    property bool isShowing: false

    implicitWidth: 56
    implicitHeight: 56

    Component.onCompleted: {
        if (root.viewModel && root.viewModel.isVisible)
            root.isShowing = true
    }

    Connections {
        target: root.viewModel
        function onIsVisibleChanged() { root.isShowing = root.viewModel.isVisible }
    }

    Rectangle {
        id: square
        objectName: "inputModeSquare"
        anchors.fill: parent
        radius: 16
        color: Theme.popoverMaterial
        border.width: 1
        border.color: Theme.alpha(Theme.primary, 0.1)
        clip: true
        transformOrigin: Item.Center
        scale: root.isShowing ? 1.0 : 0.8

        // Roughly a 0.25 s response at 0.7 damping: Qt steps its spring
        // every 16 ms with v += spring·Δ − damping·v, which these values
        // fit closely. Reduced motion makes the change instant; the binding
        // reads reduceMotion itself because a method call is not tracked.
        Behavior on scale {
            enabled: !Theme.reduceMotion && Theme.duration(250) > 0
            SpringAnimation {
                spring: 6.3
                damping: 0.39
                epsilon: 0.005
            }
        }

        Text {
            id: letter
            objectName: "inputModeCharacter"
            anchors.centerIn: parent
            text: root.viewModel ? root.viewModel.character : ""
            textFormat: Text.PlainText
            font.family: Theme.roundedFamily
            font.pixelSize: 28
            font.weight: Font.Medium
            color: Theme.primary
        }
    }
}
