import QtQuick
import Kestrune.Apps

// An application's icon at a square size.
AppIconItem {
    property int side: 32

    implicitWidth: side
    implicitHeight: side
    width: side
    height: side
}
