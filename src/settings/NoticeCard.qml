import QtQuick
import QtQuick.Layouts
import Kestrune.Style

// A problem the user should know about, in the panel: what happened, and
// below it what to do. Orange, as a warning, beside the yellow permission card.
Rectangle {
    id: card

    property string title
    property string detail

    implicitHeight: row.implicitHeight + 20
    radius: 12
    color: Theme.alpha(Theme.orange, 0.12)
    border.width: 1
    border.color: Theme.alpha(Theme.orange, 0.35)

    Accessible.role: Accessible.AlertMessage
    Accessible.name: title
    Accessible.description: detail

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: 10
        spacing: 12

        Text {
            Layout.alignment: Qt.AlignTop
            text: Symbols.glyph("exclamationmark.triangle.fill")
            font.family: Theme.symbolFamily
            font.pixelSize: Theme.title2Size
            color: Theme.warningText
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            Text {
                objectName: "noticeTitle"
                Layout.fillWidth: true
                text: card.title
                textFormat: Text.PlainText
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
                wrapMode: Text.Wrap
            }
            Text {
                objectName: "noticeDetail"
                Layout.fillWidth: true
                text: card.detail
                // Paths and the system's own words: never markup.
                textFormat: Text.PlainText
                font.pixelSize: Theme.captionSize
                color: Theme.secondary
                wrapMode: Text.Wrap
            }
        }
    }
}
