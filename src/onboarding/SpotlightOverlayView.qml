import QtQuick
import Kestrune.Style

// The screen dimmed to 40 % black but for a soft hole of radius 30 at
// `spot`: clear at its centre, the full dim 30 points away.
Item {
    id: overlay

    property point spot: Qt.point(width - 120, 11)
    property bool shown: false

    opacity: shown ? 1 : 0
    Behavior on opacity {
        NumberAnimation { duration: Theme.duration(overlay.shown ? 500 : 300) }
    }

    Canvas {
        id: canvas
        objectName: "spotlight"
        anchors.fill: parent
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            ctx.globalCompositeOperation = "source-over"
            ctx.fillStyle = Qt.rgba(0, 0, 0, 0.4)
            ctx.fillRect(0, 0, width, height)
            ctx.globalCompositeOperation = "destination-out"
            const hole = ctx.createRadialGradient(overlay.spot.x, overlay.spot.y, 0,
                                                  overlay.spot.x, overlay.spot.y, 30)
            hole.addColorStop(0, Qt.rgba(0, 0, 0, 1))
            hole.addColorStop(1, Qt.rgba(0, 0, 0, 0))
            ctx.fillStyle = hole
            ctx.fillRect(overlay.spot.x - 31, overlay.spot.y - 31, 62, 62)
            ctx.globalCompositeOperation = "source-over"
        }
    }
    onSpotChanged: canvas.requestPaint()
    onWidthChanged: canvas.requestPaint()
    onHeightChanged: canvas.requestPaint()
}
