import QtQuick
import Kestrune.Apps

// An application's icon at a square size.
Image {
    property url appURL
    property int side: 32

    width: side
    height: side
    sourceSize: Qt.size(side * 2, side * 2)
    fillMode: Image.PreserveAspectFit
    smooth: true
    source: appURL.toString() === "" ? "" : Applications.iconSource(appURL)
}
