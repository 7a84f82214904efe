import QtQuick
import QtQuick.Layouts
import Kestrune.Style
import Kestrune.Exclusions

// Shown under the exclusions card while exclusions are on but this desktop
// does not tell Kestrune which application is in front: says so, what
// would make it work, and turns Kestrune's GNOME Shell extension on where
// that is all it takes.
Rectangle {
    id: card

    // AppExclusionManager.frontmostBlocker: 1 desktop unsupported, 2 the
    // Shell extension is off, 3 it is missing, 4 KWin refused the script,
    // 5 the extension is off and so are user extensions as a whole.
    readonly property int blocker: AppExclusionManager.frontmostBlocker

    implicitHeight: row.implicitHeight + 20
    radius: 12
    color: Theme.alpha(Theme.yellow, 0.1)
    border.width: 1
    border.color: Theme.alpha(Theme.yellow, 0.3)

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
            color: Theme.warningSymbol
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            Text {
                objectName: "frontmostNoticeTitle"
                Layout.fillWidth: true
                text: qsTr("Exclusions can't follow the active window on this desktop.")
                font.pixelSize: Theme.headlineSize
                font.bold: true
                color: Theme.primary
                wrapMode: Text.WordWrap
            }
            Text {
                objectName: "frontmostNoticeAdvice"
                Layout.fillWidth: true
                text: card.blocker === 2
                      ? qsTr("Turn on Kestrune's GNOME Shell extension.")
                      : card.blocker === 5
                        ? qsTr("Turn on Kestrune's GNOME Shell extension. User extensions are off in GNOME Shell: turning this one on turns them all on again.")
                        : card.blocker === 3
                          ? qsTr("Install Kestrune's package, which brings its GNOME Shell extension, then log out and back in.")
                          : card.blocker === 4
                            ? qsTr("KWin did not run Kestrune's script. Install Kestrune's package, then quit and reopen Kestrune.")
                            : qsTr("Kestrune sees the application in front on X11 desktops, GNOME, KDE Plasma and sway. Log in to one of them for exclusions to work.")
                font.pixelSize: Theme.captionSize
                color: Theme.secondary
                wrapMode: Text.WordWrap
            }
        }

        PanelButton {
            objectName: "enableExtensionButton"
            Layout.alignment: Qt.AlignVCenter
            visible: card.blocker === 2 || card.blocker === 5
            text: qsTr("Turn On")
            tint: Theme.yellow
            textColor: "black"
            onClicked: AppExclusionManager.removeFrontmostBlocker()
        }
    }
}
