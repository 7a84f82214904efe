import QtQuick
import Kestrune.Apps

// An application's icon at a square size.
Item {
    property url appURL
    property int side: 32

    implicitWidth: side
    implicitHeight: side

    Image {
        anchors.fill: parent
        sourceSize: Qt.size(parent.side * 2, parent.side * 2)
        fillMode: Image.PreserveAspectFit
        smooth: true
        source: parent.appURL.toString() === "" ? "" : Applications.iconSource(parent.appURL)
    }
}
