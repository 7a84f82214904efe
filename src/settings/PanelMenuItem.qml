import QtQuick
import QtQuick.Controls.Basic
import Kestrune.Style

// A row of the panel's menu: compact, highlighted in the accent colour, with
// a check mark in front when checkable and checked.
MenuItem {
    id: item

    implicitWidth: Math.max(200, Math.ceil(label.implicitWidth) + leftPadding + rightPadding)
    implicitHeight: 24
    leftPadding: 24
    rightPadding: 12
    topPadding: 0
    bottomPadding: 0
    font.pixelSize: Theme.bodySize
    Accessible.name: text
    Accessible.checkable: checkable
    Accessible.checked: checked

    contentItem: Text {
        id: label
        text: item.text
        font: item.font
        color: !item.enabled ? Theme.secondary : item.highlighted ? Theme.onAccent : Theme.primary
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: Text {
        x: 6
        anchors.verticalCenter: parent.verticalCenter
        visible: item.checkable && item.checked
        text: Symbols.glyph("checkmark")
        font.family: Theme.symbolFamily
        font.pixelSize: 14
        color: item.highlighted ? Theme.onAccent : Theme.primary
    }

    background: Rectangle {
        x: 4
        width: item.width - 8
        radius: 4
        color: item.highlighted && item.enabled ? Theme.accent : "transparent"
    }
}
