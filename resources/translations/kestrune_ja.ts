<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>AppcastParser</name>
    <message>
        <source>The feed is not valid XML (line %1: %2).</source>
        <translation>フィードが正しい XML ではありません (%1 行目: %2)。</translation>
    </message>
    <message>
        <source>The feed is not an RSS release feed.</source>
        <translation>フィードが RSS のリリースフィードではありません。</translation>
    </message>
    <message>
        <source>The feed lists no release with a version.</source>
        <translation>フィードにバージョン付きのリリースがありません。</translation>
    </message>
    <message>
        <source>The feed declares a document type, which release feeds never do.</source>
        <translation>フィードが文書型宣言 (DTD) を含んでいます。リリースフィードには含まれないものです。</translation>
    </message>
    <message>
        <source>The feed is too large to be a release feed.</source>
        <translation>フィードが大きすぎるため、リリースフィードとは見なせません。</translation>
    </message>
</context>
<context>
    <name>FooterSection</name>
    <message>
        <source>Clear Log</source>
        <translation>ログを消去</translation>
    </message>
</context>
<context>
    <name>HUDContentView</name>
    <message>
        <source>Hyper Active</source>
        <translation>Hyper 有効</translation>
    </message>
</context>
<context>
    <name>FrontmostNoticeCard</name>
    <message>
        <source>Exclusions can&apos;t follow the active window on this desktop.</source>
        <translation>このデスクトップでは、除外設定がアクティブなウインドウを追跡できません。</translation>
    </message>
    <message>
        <source>Turn on Kestrune&apos;s GNOME Shell extension.</source>
        <translation>Kestrune の GNOME Shell 拡張機能をオンにしてください。</translation>
    </message>
    <message>
        <source>Install Kestrune&apos;s package, which brings its GNOME Shell extension, then log out and back in.</source>
        <translation>GNOME Shell 拡張機能を含む Kestrune のパッケージをインストールしてから、ログアウトして再度ログインしてください。</translation>
    </message>
    <message>
        <source>KWin did not run Kestrune&apos;s script. Install Kestrune&apos;s package, then quit and reopen Kestrune.</source>
        <translation>KWin が Kestrune のスクリプトを実行しませんでした。Kestrune のパッケージをインストールしてから、Kestrune を終了して再度開いてください。</translation>
    </message>
    <message>
        <source>Kestrune sees the application in front on X11 desktops, GNOME, KDE Plasma and sway. Log in to one of them for exclusions to work.</source>
        <translation>Kestrune が最前面のアプリケーションを認識できるのは、X11 のデスクトップ、GNOME、KDE Plasma、sway です。除外設定を使うには、これらのいずれかでログインしてください。</translation>
    </message>
    <message>
        <source>Turn On</source>
        <translation>オンにする</translation>
    </message>
</context>
<context>
    <name>HeaderRow</name>
    <message>
        <source>Kestrune</source>
        <translation>Kestrune</translation>
    </message>
    <message>
        <source>Pause Kestrune</source>
        <translation>Kestrune を一時停止</translation>
    </message>
    <message>
        <source>Resume Kestrune</source>
        <translation>Kestrune を再開</translation>
    </message>
    <message>
        <source>More</source>
        <translation>その他</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>アップデートを確認...</translation>
    </message>
    <message>
        <source>Show HUD Notifications</source>
        <translation>HUD 通知を表示</translation>
    </message>
    <message>
        <source>Reset Keys</source>
        <translation>キーをリセット</translation>
    </message>
    <message>
        <source>Quit Kestrune</source>
        <translation>Kestrune を終了</translation>
    </message>
</context>
<context>
    <name>HyperKeyHeroModule</name>
    <message>
        <source>Hyper Key</source>
        <translation>Hyper キー</translation>
    </message>
    <message>
        <source>Long Press</source>
        <translation>長押し</translation>
    </message>
    <message>
        <source>Long Press Help</source>
        <translation>Caps Lock を押したまま別のキーを押すと、ここで選んだ修飾キーを加えてそのキーを送ります。Hyper は Command・Option・Control・Shift を一度に加えます。どのアプリも使わない組み合わせなので、自分用のショートカットが既存のものとぶつかりません。</translation>
    </message>
    <message>
        <source>Single Press</source>
        <translation>単押し</translation>
    </message>
</context>
<context>
    <name>KeyRemapper</name>
    <message>
        <source>Hyper (⌘⌥⌃⇧)</source>
        <comment>Hyper Key</comment>
        <extracomment>Hyper Key</extracomment>
        <translation>Hyper (⌘⌥⌃⇧)</translation>
    </message>
    <message>
        <source>None</source>
        <comment>No action</comment>
        <extracomment>No action</extracomment>
        <translation>なし</translation>
    </message>
    <message>
        <source>Esc</source>
        <comment>Escape key</comment>
        <extracomment>Escape key</extracomment>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Fn + Delete</source>
        <comment>Forward Delete key</comment>
        <extracomment>Forward Delete key</extracomment>
        <translation>Fn + Delete</translation>
    </message>
    <message>
        <source>Left: Eisu, Right: Kana</source>
        <comment>Left Command to Eisu, Right Command to Kana</comment>
        <extracomment>Left Command to Eisu, Right Command to Kana</extracomment>
        <translation>左: 英数、右: かな</translation>
    </message>
    <message>
        <source>Left: Del, Right: Fn+Del</source>
        <comment>Left Command to Delete, Right Command to Fn+Delete</comment>
        <extracomment>Left Command to Delete, Right Command to Fn+Delete</extracomment>
        <translation>左: Del、右: Fn+Del</translation>
    </message>
</context>
<context>
    <name>PermissionRequestCard</name>
    <message>
        <source>Permission Required</source>
        <translation>権限が必要です</translation>
    </message>
    <message>
        <source>Grant Permission</source>
        <translation>アクセスを許可してください</translation>
    </message>
    <message>
        <source>Fix</source>
        <translation>修正</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Arrow Mode</source>
        <translation>矢印モード</translation>
    </message>
    <message>
        <source>Vim Mode Help</source>
        <translation>Caps Lock を押している間、H/J/K/L (または W/A/S/D) が矢印キーになります。一緒に押した Shift などの修飾キーはそのまま効くので、Caps Lock + Shift + L で右へ選択できます。</translation>
    </message>
    <message>
        <source>Double Tap</source>
        <translation>ダブルタップ</translation>
    </message>
    <message>
        <source>Double Tap Help</source>
        <translation>Caps Lock を素早く 2 回押すと、本来の Caps Lock のオン/オフを切り替えます。オンの間、単押しの動作は 2 回目の押下を待つため 0.2 秒遅れて実行されます。</translation>
    </message>
    <message>
        <source>L/R Command</source>
        <translation>左右 Command</translation>
    </message>
    <message>
        <source>L/R Command Help</source>
        <translation>左右の Command キーを単独で押して離すと、左で英数、右でかなに入力モードを切り替えます (または Delete と Fn + Delete を送ります)。ほかのキーと組み合わせた Command はいつもどおりに働きます。</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>ログイン時に起動</translation>
    </message>
    <message>
        <source>Automatically launch at login</source>
        <translation>ログイン時に自動的に起動します</translation>
    </message>
    <message>
        <source>App Launcher</source>
        <translation>アプリランチャー</translation>
    </message>
    <message>
        <source>Launch applications using Hyper Key</source>
        <translation>Hyper キーでアプリを起動します</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>設定...</translation>
    </message>
    <message>
        <source>App-Specific Exclusions</source>
        <translation>アプリ別の除外</translation>
    </message>
    <message>
        <source>Disable Kestrune in specific apps</source>
        <translation>特定のアプリで Kestrune を無効にします</translation>
    </message>
</context>
<context>
    <name>UpdateWindow</name>
    <message>
        <source>Software Update</source>
        <translation>ソフトウェア・アップデート</translation>
    </message>
    <message>
        <source>Kestrune is up to date.</source>
        <translation>Kestrune は最新です。</translation>
    </message>
    <message>
        <source>Kestrune %1 is available.</source>
        <translation>Kestrune %1 を利用できます。</translation>
    </message>
    <message>
        <source>Could not check for updates.</source>
        <translation>アップデートを確認できませんでした。</translation>
    </message>
    <message>
        <source>Kestrune's updates come with your distribution's packages.</source>
        <translation>Kestrune のアップデートはディストリビューションのパッケージで提供されます。</translation>
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation>アップデートを確認しています...</translation>
    </message>
    <message>
        <source>You have version %1.</source>
        <translation>お使いのバージョンは %1 です。</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>後で</translation>
    </message>
    <message>
        <source>Download...</source>
        <translation>ダウンロード...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>kestrune::FeedUpdateChecker</name>
    <message>
        <source>The update feed address must start with https://: %1</source>
        <translation>アップデートフィードのアドレスは https:// で始まる必要があります: %1</translation>
    </message>
    <message>
        <source>The update feed redirected to an address that is not HTTPS: %1</source>
        <translation>アップデートフィードが HTTPS ではないアドレスへ転送されました: %1</translation>
    </message>
    <message>
        <source>The update feed is too large to be a release feed.</source>
        <translation>アップデートフィードが大きすぎるため、リリースフィードとは見なせません。</translation>
    </message>
    <message>
        <source>the server did not answer in time</source>
        <translation>サーバーが時間内に応答しませんでした</translation>
    </message>
    <message>
        <source>The update feed could not be reached: %1</source>
        <translation>アップデートフィードに接続できませんでした: %1</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>アップデートフィードを読み取れませんでした: %1</translation>
    </message>
</context>
<context>
    <name>kestrune::SingleInstance</name>
    <message>
        <source>Kestrune cannot start: its folder %1 could not be created (%2).</source>
        <translation>Kestrune を起動できません: フォルダ %1 を作成できませんでした (%2)。</translation>
    </message>
    <message>
        <source>Kestrune cannot start: its folder %1 is not a private folder of yours (it must be owned by you with mode 0700). Remove it and start Kestrune again.</source>
        <translation>Kestrune を起動できません: フォルダ %1 があなた専用のフォルダではありません (所有者があなたで、モードが 0700 である必要があります)。このフォルダを削除してから Kestrune をもう一度起動してください。</translation>
    </message>
    <message>
        <source>Another start of Kestrune cannot reach this one: %1 (%2).</source>
        <translation>この Kestrune には、あとから起動した Kestrune から接続できません: %1 (%2)。</translation>
    </message>
</context>
<context>
    <name>kestrune::TrayIcon</name>
    <message>
        <source>Check for Updates...</source>
        <translation>アップデートを確認...</translation>
    </message>
    <message>
        <source>Show HUD Notifications</source>
        <translation>HUD 通知を表示</translation>
    </message>
    <message>
        <source>Reset Keys</source>
        <translation>キーをリセット</translation>
    </message>
    <message>
        <source>Quit Kestrune</source>
        <translation>Kestrune を終了</translation>
    </message>
</context>
</TS>