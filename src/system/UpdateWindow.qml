// The Software Update window: what a check of the release feed found, and
// the way to the new release's page. Bound to a FeedUpdateChecker.

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kestrune.System
import Kestrune.Style

ApplicationWindow {
    id: root

    property FeedUpdateChecker checker

    readonly property int checkState: checker ? checker.state : FeedUpdateChecker.Idle
    readonly property bool checking: checkState === FeedUpdateChecker.Checking || checkState === FeedUpdateChecker.Idle
    readonly property bool updateAvailable: checkState === FeedUpdateChecker.UpdateAvailable

    objectName: "updateWindow"
    // The desktop's light or dark appearance, like the panel.
    color: Theme.isDark ? "#2a2a2e" : "#f4f4f6"
    palette.window: color
    palette.windowText: Theme.primary
    palette.text: Theme.primary
    palette.base: Theme.isDark ? "#3a3a40" : "#ffffff"
    palette.button: Theme.isDark ? "#4a4a50" : "#ffffff"
    palette.buttonText: Theme.primary
    palette.highlight: Theme.blue
    palette.mid: Theme.isDark ? "#5a5a60" : "#c8c8cc"
    palette.dark: Theme.isDark ? "#6a6a70" : "#a0a0a6"
    title: qsTr("Software Update")
    flags: Qt.Dialog
    width: 360
    height: 160
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    function headline() {
        switch (checkState) {
        case FeedUpdateChecker.UpToDate:
            return qsTr("Kestrune is up to date.")
        case FeedUpdateChecker.UpdateAvailable:
            return qsTr("Kestrune %1 is available.").arg(checker.latestVersion)
        case FeedUpdateChecker.Failed:
            return qsTr("Could not check for updates.")
        case FeedUpdateChecker.NotConfigured:
            return qsTr("Kestrune's updates come with your distribution's packages.")
        default:
            return qsTr("Checking for updates...")
        }
    }

    function detail() {
        switch (checkState) {
        case FeedUpdateChecker.UpToDate:
        case FeedUpdateChecker.UpdateAvailable:
        case FeedUpdateChecker.NotConfigured:
            return qsTr("You have version %1.").arg(checker.currentVersion)
        case FeedUpdateChecker.Failed:
            return checker.errorText
        default:
            return ""
        }
    }

    // The default button's fill and label, Theme.accent and onAccent. The style's own highlighted
    // button washed its label out to about 2.6:1 and barely stood out from
    // the window. Light: white on a deep blue, 5.7:1, the fill 5:1 against
    // the window. Dark: a deep blue label on a light blue, 6.8:1, the fill
    // 5.9:1 against the window (white on any blue that stands out from a
    // dark window stays under 4.5:1).

    // The window's push button: the default one filled with the accent,
    // the others quiet, each looking enabled or not at a glance.
    component WindowButton: Button {
        id: button
        palette.buttonText: highlighted ? Theme.onAccent : Theme.primary
        background: Rectangle {
            implicitWidth: 80
            implicitHeight: 26
            radius: 4
            opacity: button.enabled ? 1 : 0.45
            color: button.highlighted
                   ? (button.down ? Qt.darker(Theme.accent, 1.25) : button.hovered ? Qt.darker(Theme.accent, 1.1) : Theme.accent)
                   : (button.down ? root.palette.mid : root.palette.button)
            border.width: button.visualFocus ? 2 : 1
            border.color: button.visualFocus ? Theme.blue : button.highlighted ? Qt.darker(Theme.accent, 1.2) : root.palette.mid
        }
    }

    Shortcut {
        sequences: [StandardKey.Cancel]
        onActivated: root.close()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 6

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            BusyIndicator {
                objectName: "updateBusyIndicator"
                visible: root.checking
                running: visible
                Layout.preferredWidth: 24
                Layout.preferredHeight: 24
            }
            Label {
                objectName: "updateStatusText"
                text: root.headline()
                // The version comes from the feed: never read as markup.
                textFormat: Text.PlainText
                font.bold: true
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }

        Label {
            objectName: "updateDetailText"
            text: root.detail()
            textFormat: Text.PlainText
            visible: text.length > 0
            wrapMode: Text.Wrap
            elide: Text.ElideRight
            maximumLineCount: 3
            Layout.fillWidth: true
        }

        Item {
            Layout.fillHeight: true
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Item {
                Layout.fillWidth: true
            }
            WindowButton {
                objectName: "laterButton"
                text: qsTr("Later")
                visible: root.updateAvailable
                onClicked: root.close()
            }
            WindowButton {
                objectName: "downloadButton"
                text: qsTr("Download...")
                visible: root.updateAvailable
                enabled: root.checker && root.checker.downloadUrl.toString().length > 0
                highlighted: true
                onClicked: {
                    root.checker.openDownloadPage()
                    root.close()
                }
            }
            WindowButton {
                objectName: "closeButton"
                text: root.checking ? qsTr("Close") : qsTr("OK")
                visible: !root.updateAvailable
                highlighted: !root.checking
                onClicked: root.close()
            }
        }
    }
}
