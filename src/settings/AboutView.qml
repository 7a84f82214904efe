import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Apps

// "About Kestrune": the version, the licence and the homepage.
Rectangle {
    id: view

    property string version
    property string licence
    property string homepage

    // "OK".
    signal closeRequested()

    width: 320
    height: column.implicitHeight + 48
    color: Theme.windowBackground
    focus: true
    Keys.onReturnPressed: closeRequested()
    Keys.onEscapePressed: closeRequested()

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 24
        spacing: 6

        // Drawn by the item itself: an SVG in an Image keeps its pixmap past
        // the process's end.
        AppIconItem {
            objectName: "aboutIcon"
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: 56
            implicitHeight: 56
            iconFile: ":/icons/com.kestrune.Kestrune.svg"
            Accessible.ignored: true
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Kestrune")
            font.family: Theme.roundedFamily
            font.pixelSize: 20
            font.bold: true
            color: Theme.primary
        }
        Text {
            objectName: "aboutVersion"
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Version %1").arg(view.version)
            textFormat: Text.PlainText
            font.pixelSize: Theme.bodySize
            color: Theme.secondary
        }
        Text {
            Layout.fillWidth: true
            Layout.topMargin: 6
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Turns Caps Lock into a Hyper key.")
            font.pixelSize: Theme.bodySize
            color: Theme.primary
            wrapMode: Text.Wrap
        }
        Text {
            objectName: "aboutLicence"
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Licence: %1").arg(view.licence)
            textFormat: Text.PlainText
            font.pixelSize: Theme.captionSize
            color: Theme.secondary
        }
        Text {
            objectName: "aboutHomepage"
            Layout.alignment: Qt.AlignHCenter
            text: view.homepage
            textFormat: Text.PlainText
            font.pixelSize: Theme.captionSize
            font.underline: homepageMouse.containsMouse
            color: Theme.accent
            Accessible.role: Accessible.Link
            Accessible.name: qsTr("Homepage: %1").arg(view.homepage)
            MouseArea {
                id: homepageMouse
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: Qt.openUrlExternally(view.homepage)
            }
        }
        PanelButton {
            objectName: "aboutOkButton"
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 10
            text: qsTr("OK")
            tint: Theme.accent
            textColor: Theme.onAccent
            onClicked: view.closeRequested()
        }
    }
}
