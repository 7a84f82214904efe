<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>AboutView</name>
    <message>
        <source>Kestrune</source>
        <translation>Kestrune</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>バージョン %1</translation>
    </message>
    <message>
        <source>Turns Caps Lock into a Hyper key.</source>
        <translation>Caps Lock を Hyper キーに変えます。</translation>
    </message>
    <message>
        <source>Licence: %1</source>
        <translation>ライセンス: %1</translation>
    </message>
    <message>
        <source>Homepage: %1</source>
        <translation>ホームページ: %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About Kestrune</source>
        <translation>Kestrune について</translation>
    </message>
</context>
<context>
    <name>AppChooser</name>
    <message>
        <source>Choose an Application</source>
        <translation>アプリケーションを選択</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>No applications match.</source>
        <translation>一致するアプリケーションはありません。</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>参照…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
</context>
<context>
    <name>AppExclusionSettingsView</name>
    <message>
        <source>App-Specific Exclusions</source>
        <translation>アプリ別の除外</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Select applications where Kestrune should be completely disabled.</source>
        <translation>Kestrune を完全に無効にするアプリケーションを選択してください。</translation>
    </message>
    <message>
        <source>This session does not tell Kestrune which application is in front, so exclusions cannot take effect here.</source>
        <translation>このセッションでは最前面のアプリケーションを Kestrune が知ることができないため、除外はここでは機能しません。</translation>
    </message>
    <message>
        <source>No applications excluded.</source>
        <translation>除外されたアプリケーションはありません。</translation>
    </message>
    <message>
        <source>Click &apos;+&apos; to add an application.</source>
        <translation>「+」をクリックしてアプリケーションを追加します。</translation>
    </message>
    <message>
        <source>Add Application</source>
        <translation>アプリを追加</translation>
    </message>
    <message>
        <source>When these apps are active, all custom behaviors (Arrow Mode, L/R %1, Hyper key) will be bypassed.</source>
        <translation>これらのアプリがアクティブな間は、すべてのカスタム動作（矢印モード、左右 %1、Hyper キー）が無効になります。</translation>
    </message>
</context>
<context>
    <name>AppLauncherSettingsView</name>
    <message>
        <source>App Launcher Settings</source>
        <translation>アプリランチャー設定</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>No shortcuts added.</source>
        <translation>ショートカットはまだありません。</translation>
    </message>
    <message>
        <source>Click &apos;+&apos; to add an application.</source>
        <translation>「+」をクリックしてアプリケーションを追加します。</translation>
    </message>
    <message>
        <source>Hyper Key</source>
        <translation>Hyper キー</translation>
    </message>
    <message>
        <source>Keys conflicting with Arrow Mode will not trigger.</source>
        <translation>矢印モードと重なるキーは反応しません。</translation>
    </message>
    <message>
        <source>Add Application</source>
        <translation>アプリを追加</translation>
    </message>
    <message>
        <source>The App Launcher is off: these keys open nothing until you turn it on.</source>
        <translation>アプリランチャーはオフです。オンにするまで、これらのキーでは何も開きません。</translation>
    </message>
    <message>
        <source>Turn On</source>
        <translation>オンにする</translation>
    </message>
    <message>
        <source>Key Already in Use</source>
        <translation>使用中のキー</translation>
    </message>
    <message>
        <source>Key Conflict Warning</source>
        <translation>キーの競合</translation>
    </message>
    <message>
        <source>%1 already opens %2.

Replace it with %3?</source>
        <translation>%1 はすでに %2 を開くキーです。

%3 を開くキーに置き換えますか？</translation>
    </message>
    <message>
        <source>The key you pressed is currently used by Arrow Mode.

While Arrow Mode is enabled, it takes priority, meaning this app launcher shortcut will not work.

Do you still want to register it?</source>
        <translation>押したキーは現在、矢印モードで使われています。

矢印モードが有効な間はそちらが優先されるため、このアプリランチャーのショートカットは動作しません。

それでも登録しますか？</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>置き換える</translation>
    </message>
    <message>
        <source>Register Anyway</source>
        <translation>それでも登録</translation>
    </message>
    <message>
        <source>Choose Another Key</source>
        <translation>別のキーを選ぶ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
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
    <name>DeleteButton</name>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>%1 を削除</translation>
    </message>
</context>
<context>
    <name>DesktopApplications</name>
    <message>
        <source>The application could not be started.</source>
        <translation>アプリケーションを起動できませんでした。</translation>
    </message>
    <message>
        <source>No application can open it.</source>
        <translation>これを開けるアプリケーションがありません。</translation>
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
    <message>
        <source>Turn on Kestrune&apos;s GNOME Shell extension. User extensions are off in GNOME Shell: turning this one on turns them all on again.</source>
        <translation>Kestrune の GNOME Shell 拡張機能をオンにしてください。GNOME Shell のユーザー拡張機能は現在すべてオフです。この拡張機能をオンにすると、ほかのユーザー拡張機能もすべてオンに戻ります。</translation>
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
    <name>HeaderRow</name>
    <message>
        <source>Kestrune</source>
        <translation>Kestrune</translation>
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
    <message>
        <source>Keys reset</source>
        <translation>キーをリセットしました</translation>
    </message>
    <message>
        <source>About Kestrune</source>
        <translation>Kestrune について</translation>
    </message>
    <message>
        <source>Keyboards…</source>
        <translation>キーボード…</translation>
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
        <translation>Caps Lock を押したまま別のキーを押すと、ここで選んだ修飾キーを加えてそのキーを送ります。Hyper は %1・%2・%3・%4 を一度に加えます。どのアプリも使わない組み合わせなので、自分用のショートカットが既存のものとぶつかりません。キーがおかしくなったときは %5 を同時に押し続けてください。Kestrune はすべてのキーを離し、キーボードを手放して一時停止します。</translation>
    </message>
    <message>
        <source>Single Press</source>
        <translation>単押し</translation>
    </message>
</context>
<context>
    <name>InfoButton</name>
    <message>
        <source>About %1</source>
        <translation>%1について</translation>
    </message>
</context>
<context>
    <name>InputAccessBlock</name>
    <message>
        <source>Granting Access…</source>
        <translation>アクセスを許可しています…</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>アクセスを許可</translation>
    </message>
    <message>
        <source>Run this in a terminal:</source>
        <translation>端末で次のコマンドを実行してください：</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>コピーしました</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <source>Run this in a terminal as root:</source>
        <translation>root として端末で次のコマンドを実行してください：</translation>
    </message>
</context>
<context>
    <name>InputAccessView</name>
    <message>
        <source>Permission Granted!</source>
        <translation>権限が許可されました！</translation>
    </message>
    <message>
        <source>Permission Required</source>
        <translation>権限が必要です</translation>
    </message>
    <message>
        <source>Kestrune needs access to your keyboards to remap keys.
We do not record or send your keystrokes anywhere.</source>
        <translation>キーを変換するには、Kestrune がキーボードにアクセスできる必要があります。
入力したキーを記録したり、どこかへ送信したりすることはありません。</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Input Access</source>
        <translation>入力へのアクセス</translation>
    </message>
    <message>
        <source>Check Again</source>
        <translation>もう一度確認</translation>
    </message>
</context>
<context>
    <name>KeyListeningOverlay</name>
    <message>
        <source>Assign a single key for &apos;%1&apos;</source>
        <translation>「%1」に割り当てるキーを1つ押してください</translation>
    </message>
    <message>
        <source>That key cannot start an application. Press another key.</source>
        <translation>そのキーではアプリを起動できません。別のキーを押してください。</translation>
    </message>
    <message>
        <source>Press any key (e.g., &apos;C&apos;).
Once registered, you can launch the app by pressing Hyper + that key.</source>
        <translation>任意のキーを押してください（例：「C」）。
登録すると、Hyper + そのキーでアプリを起動できます。</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>KeyNames</name>
    <message>
        <source>Delete</source>
        <comment>The macOS key that deletes backwards (Backspace elsewhere)</comment>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Del</source>
        <comment>Short for the macOS Delete key (Backspace elsewhere)</comment>
        <translation>Del</translation>
    </message>
    <message>
        <source>Fn+Del</source>
        <comment>Short for Fn + Delete, the forward delete of a Mac keyboard</comment>
        <translation>Fn+Del</translation>
    </message>
    <message>
        <source>Backspace</source>
        <comment>The key that deletes backwards</comment>
        <translation>Backspace</translation>
    </message>
    <message>
        <source>Delete</source>
        <comment>The PC keyboard&apos;s Delete key, which deletes forwards</comment>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>KeyRemapper</name>
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
        <translation>Fn + Delete</translation>
    </message>
    <message>
        <source>Left: Eisu, Right: Kana</source>
        <comment>Left Command to Eisu, Right Command to Kana</comment>
        <extracomment>Left Command to Eisu, Right Command to Kana</extracomment>
        <translation>左: 英数、右: かな</translation>
    </message>
    <message>
        <source>Hyper (%1)</source>
        <comment>Hyper Key</comment>
        <extracomment>Hyper Key: %1 names the four modifiers it adds</extracomment>
        <translation>Hyper (%1)</translation>
    </message>
    <message>
        <source>Hyper</source>
        <comment>Hyper Key, all four modifiers</comment>
        <translation>Hyper</translation>
    </message>
    <message>
        <source>Left: %1, Right: %2</source>
        <comment>Left and right Command key taps</comment>
        <extracomment>Left Command (Super) to %1 (Delete or Backspace), Right Command to %2 (Fn+Del or Delete)</extracomment>
        <translation>左: %1、右: %2</translation>
    </message>
    <message>
        <source>Eisu / Kana</source>
        <comment>Left and right Command key taps, short</comment>
        <extracomment>Left Command to Eisu, Right Command to Kana, in a narrow picker</extracomment>
        <translation>英数 / かな</translation>
    </message>
    <message>
        <source>Del</source>
        <comment>Delete key, short</comment>
        <extracomment>The PC keyboard&apos;s Delete key, shortened for a narrow picker</extracomment>
        <translation>Del</translation>
    </message>
</context>
<context>
    <name>KeyboardsModel</name>
    <message>
        <source>Built-in keyboard</source>
        <translation>内蔵キーボード</translation>
    </message>
    <message>
        <source>USB keyboard</source>
        <translation>USB キーボード</translation>
    </message>
    <message>
        <source>Bluetooth keyboard</source>
        <translation>Bluetooth キーボード</translation>
    </message>
    <message>
        <source>Another program&apos;s virtual keyboard</source>
        <translation>他のプログラムの仮想キーボード</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>キーボード</translation>
    </message>
</context>
<context>
    <name>KeyboardsView</name>
    <message>
        <source>Keyboards</source>
        <translation>キーボード</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Choose which keyboards Kestrune remaps. A keyboard left alone types as if Kestrune were not running.</source>
        <translation>Kestrune がリマップするキーボードを選びます。そのままにしたキーボードは、Kestrune が動いていないときと同じように入力します。</translation>
    </message>
    <message>
        <source>Another program&apos;s virtual keyboard is present. If another remapper is running, keys may be remapped twice.</source>
        <translation>他のプログラムの仮想キーボードがあります。別のリマップツールが動いていると、キーが二重にリマップされることがあります。</translation>
    </message>
    <message>
        <source>Kestrune cannot list the keyboards now: it has no input access.</source>
        <translation>入力アクセスがないため、Kestrune は今キーボードを一覧にできません。</translation>
    </message>
    <message>
        <source>No keyboards to show.</source>
        <translation>表示するキーボードはありません。</translation>
    </message>
    <message>
        <source>%1, not connected</source>
        <translation>%1、未接続</translation>
    </message>
    <message>
        <source>Shares its choice with an identical keyboard</source>
        <translation>同じ型のキーボードと設定を共有しています</translation>
    </message>
    <message>
        <source>Forget</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Forget %1</source>
        <translation>%1 を削除</translation>
    </message>
    <message>
        <source>Remap this keyboard</source>
        <translation>このキーボードをリマップ</translation>
    </message>
    <message>
        <source>New keyboards:</source>
        <translation>新しいキーボード:</translation>
    </message>
    <message>
        <source>Remap</source>
        <translation>リマップする</translation>
    </message>
    <message>
        <source>Leave alone</source>
        <translation>そのままにする</translation>
    </message>
</context>
<context>
    <name>LinuxTap</name>
    <message>
        <source>The tap&apos;s wake-up descriptor could not be made.</source>
        <translation>キー入力の監視に使う通知用ディスクリプタを作成できませんでした。</translation>
    </message>
    <message>
        <source>The event loop could not be made</source>
        <translation>イベントループを作成できませんでした</translation>
    </message>
    <message>
        <source>An earlier tap is still running.</source>
        <translation>以前のキー入力の監視がまだ動作しています。</translation>
    </message>
    <message>
        <source>The virtual keyboard could not be created through /dev/uinput.</source>
        <translation>/dev/uinput で仮想キーボードを作成できませんでした。</translation>
    </message>
    <message>
        <source>The virtual keyboard could not be watched</source>
        <translation>仮想キーボードを監視できませんでした</translation>
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
    <message>
        <source>Allow Kestrune to read your keyboards</source>
        <translation>キーボードの読み取りを許可してください</translation>
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
        <source>L/R Command Help</source>
        <translation>左右の %1 キーを単独で押して離すと、左で英数、右でかなに入力モードを切り替えます (または %2 と %3 を送ります)。ほかのキーと組み合わせた %1 はいつもどおりに働きます。</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>ログイン時に起動</translation>
    </message>
    <message>
        <source>Automatically launch at login</source>
        <translation>ログインするたびに Kestrune を起動するので、最初のキー入力から Caps Lock が Hyper キーとして働きます。オフにすると、Kestrune は自分で起動したときだけ動きます。</translation>
    </message>
    <message>
        <source>App Launcher</source>
        <translation>アプリランチャー</translation>
    </message>
    <message>
        <source>Launch applications using Hyper Key</source>
        <translation>Caps Lock を押しながらキーを押すと、アプリを開きます (開いていれば前面に出します)。キーとアプリは「設定...」で選びます。矢印モードが使うキーは矢印のままです。</translation>
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
        <translation>リストに加えたアプリが前面にある間、Kestrune は何もしません。そのアプリでは、すべてのキーが Kestrune がないときと同じように働きます。アプリは「設定...」で加えます。</translation>
    </message>
    <message>
        <source>L/R %1</source>
        <translation>左右 %1</translation>
    </message>
</context>
<context>
    <name>UndoBar</name>
    <message>
        <source>Removed %1.</source>
        <translation>%1 を削除しました。</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>元に戻す</translation>
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
        <source>Kestrune&apos;s updates come with your distribution&apos;s packages.</source>
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
    <name>WelcomeView</name>
    <message>
        <source>Welcome to Kestrune</source>
        <translation>Kestrune へようこそ</translation>
    </message>
    <message>
        <source>Permission Required</source>
        <translation>権限が必要です</translation>
    </message>
    <message>
        <source>Kestrune needs access to your keyboards to remap keys.
We do not record or send your keystrokes anywhere.</source>
        <translation>キーを変換するには、Kestrune がキーボードにアクセスできる必要があります。
入力したキーを記録したり、どこかへ送信したりすることはありません。</translation>
    </message>
    <message>
        <source>Kestrune needs Accessibility permission to remap keys.
We do not record or send your keystrokes anywhere.</source>
        <translation>キーを変換するには、Kestrune にアクセシビリティの権限が必要です。
入力したキーを記録したり、どこかへ送信したりすることはありません。</translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation>システム設定を開く</translation>
    </message>
    <message>
        <source>Go to: Privacy &amp; Security &gt; Accessibility
and enable Kestrune</source>
        <translation>「プライバシーとセキュリティ」&gt;「アクセシビリティ」で
Kestrune をオンにしてください</translation>
    </message>
    <message>
        <source>Permission Granted!</source>
        <translation>権限が許可されました！</translation>
    </message>
    <message>
        <source>Click &apos;Next&apos; to continue.</source>
        <translation>「次へ」をクリックして続けてください。</translation>
    </message>
    <message>
        <source>Meet the Hyper Key</source>
        <translation>Hyper キーのご紹介</translation>
    </message>
    <message>
        <source>Running out of easy shortcuts? Tired of pressing 4 keys?
One key to rule them all.</source>
        <translation>押しやすいショートカットが足りない？ 4つのキーを押すのに疲れた？
ひとつのキーですべてを。</translation>
    </message>
    <message>
        <source>Hyper Key</source>
        <translation>Hyper キー</translation>
    </message>
    <message>
        <source>You&apos;re All Set!</source>
        <translation>準備完了です！</translation>
    </message>
    <message>
        <source>Kestrune is running in your system tray.
You can customize settings at any time.</source>
        <translation>Kestrune はシステムトレイで動作しています。
設定はいつでも変更できます。</translation>
    </message>
    <message>
        <source>Kestrune is running in your menu bar.
You can customize settings at any time.</source>
        <translation>Kestrune はメニューバーで動作しています。
設定はいつでも変更できます。</translation>
    </message>
    <message>
        <source>Tip: Press &amp; Hold for Hyper Key</source>
        <translation>ヒント：長押しで Hyper キー</translation>
    </message>
    <message>
        <source>Get Started</source>
        <translation>はじめる</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>次へ</translation>
    </message>
    <message>
        <source>Step %1 of %2</source>
        <translation>ステップ %1 / %2</translation>
    </message>
    <message>
        <source>Tip: Choose in the settings what one tap of Caps Lock does</source>
        <translation>ヒント：Caps Lock を1回タップしたときの動作は設定で選べます</translation>
    </message>
    <message>
        <source>Tip: Tap Caps Lock once for Escape (Customizable)</source>
        <translation>ヒント：Caps Lock を1回タップで Escape（変更できます）</translation>
    </message>
    <message>
        <source>Tip: Tap Caps Lock once for %1 (Customizable)</source>
        <translation>ヒント：Caps Lock を1回タップで %1（変更できます）</translation>
    </message>
    <message>
        <source>One Step Left</source>
        <translation>あと 1 ステップです</translation>
    </message>
    <message>
        <source>Kestrune cannot read your keyboards yet, so no key is remapped. Go back to the first page to give it access.</source>
        <translation>Kestrune はまだキーボードを読めないため、キーは置き換えられません。最初のページに戻って、アクセスを許可してください。</translation>
    </message>
    <message>
        <source>Kestrune does not have Accessibility permission yet, so no key is remapped. Go back to the first page to grant it.</source>
        <translation>Kestrune にはまだアクセシビリティの権限がないため、キーは置き換えられません。最初のページに戻って、許可してください。</translation>
    </message>
    <message>
        <source>Back to Input Access</source>
        <translation>入力アクセスに戻る</translation>
    </message>
    <message>
        <source>Back to Permission</source>
        <translation>権限のページに戻る</translation>
    </message>
</context>
<context>
    <name>kestrune::Applications</name>
    <message>
        <source>This is not an application.</source>
        <translation>これはアプリケーションではありません。</translation>
    </message>
    <message>
        <source>“%1” could not be read.</source>
        <translation>「%1」を読み込めませんでした。</translation>
    </message>
    <message>
        <source>“%1” is not a .desktop file.</source>
        <translation>「%1」は .desktop ファイルではありません。</translation>
    </message>
    <message>
        <source>“%1” is a link or a folder entry, not an application.</source>
        <translation>「%1」はリンクまたはフォルダの項目で、アプリケーションではありません。</translation>
    </message>
    <message>
        <source>“%1” is marked hidden: it removes an application rather than starting one.</source>
        <translation>「%1」は非表示に指定されています。アプリを起動するのではなく、削除するための項目です。</translation>
    </message>
    <message>
        <source>“%1” names no program to run.</source>
        <translation>「%1」には実行するプログラムが書かれていません。</translation>
    </message>
    <message>
        <source>“%1” runs “%2”, which is not installed.</source>
        <translation>「%1」が実行する「%2」はインストールされていません。</translation>
    </message>
    <message>
        <source>“%1” belongs to another account, which could change it later.</source>
        <translation>「%1」は別のアカウントのファイルで、後から書き換えられるおそれがあります。</translation>
    </message>
    <message>
        <source>“%1” may be changed by other accounts (its group or everyone may write it).</source>
        <translation>「%1」は他のアカウントが書き換えられます（グループまたは全員に書き込み権限があります）。</translation>
    </message>
</context>
<context>
    <name>kestrune::CommandLine</name>
    <message>
        <source>Kestrune turns Caps Lock into a Hyper key. It lives in the system tray; starting it again shows the panel of the one already running.</source>
        <translation>Kestrune は Caps Lock を Hyper キーにします。システムトレイに常駐し、もう一度起動すると実行中の Kestrune のパネルを表示します。</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <source>show the settings panel of the running Kestrune (start it if none runs)</source>
        <translation>実行中の Kestrune の設定パネルを表示する (実行中でなければ起動する)</translation>
    </message>
    <message>
        <source>ask the running Kestrune to quit; it resets the keyboard as it goes</source>
        <translation>実行中の Kestrune を終了する (キーボードは元に戻る)</translation>
    </message>
    <message>
        <source>print the applications that come to the front, as exclusions see them (for 10 seconds)</source>
        <translation>前面に来たアプリケーションを除外機能から見た形で表示する (10 秒間)</translation>
    </message>
    <message>
        <source>show this help and exit</source>
        <translation>このヘルプを表示して終了する</translation>
    </message>
    <message>
        <source>show the version and exit</source>
        <translation>バージョンを表示して終了する</translation>
    </message>
    <message>
        <source>More in %1 and in the manual page (man kestrune).</source>
        <translation>詳しくは %1 とマニュアルページ (man kestrune) を参照してください。</translation>
    </message>
    <message>
        <source>Kestrune is not running.</source>
        <translation>Kestrune は実行されていません。</translation>
    </message>
    <message>
        <source>Kestrune is running but did not answer; it was not asked to quit.</source>
        <translation>Kestrune は実行中ですが応答がないため、終了を依頼できませんでした。</translation>
    </message>
    <message>
        <source>Kestrune was asked to quit but is still running after %1 seconds.</source>
        <translation>Kestrune に終了を依頼しましたが、%1 秒たっても実行中です。</translation>
    </message>
    <message>
        <source>Kestrune has quit.</source>
        <translation>Kestrune を終了しました。</translation>
    </message>
    <message>
        <source>unknown option “%1”</source>
        <translation>不明なオプション「%1」</translation>
    </message>
    <message>
        <source>unexpected argument “%1”</source>
        <translation>予期しない引数「%1」</translation>
    </message>
    <message>
        <source>give one option at a time: “%1”</source>
        <translation>オプションは一度に 1 つだけ指定してください:「%1」</translation>
    </message>
    <message>
        <source>pause the running Kestrune: every key passes untouched until resumed</source>
        <translation>実行中の Kestrune を一時停止します。再開するまで、すべてのキーはそのまま届きます</translation>
    </message>
    <message>
        <source>resume remapping in the running Kestrune</source>
        <translation>実行中の Kestrune のリマップを再開します</translation>
    </message>
    <message>
        <source>Kestrune is running but did not answer; it was not paused.</source>
        <translation>Kestrune は実行中ですが応答がありません。一時停止していません。</translation>
    </message>
    <message>
        <source>Kestrune is running but did not answer; it was not resumed.</source>
        <translation>Kestrune は実行中ですが応答がありません。再開していません。</translation>
    </message>
    <message>
        <source>Kestrune is paused: keys pass untouched.</source>
        <translation>Kestrune を一時停止しました。キーはそのまま届きます。</translation>
    </message>
    <message>
        <source>Kestrune is remapping.</source>
        <translation>Kestrune はリマップを再開しました。</translation>
    </message>
    <message>
        <source>Usage: kestrune [--show | --quit | --pause | --resume | --print-active-app [SECONDS] | --help | --version]</source>
        <translation>使い方: kestrune [--show | --quit | --pause | --resume | --print-active-app [秒数] | --help | --version]</translation>
    </message>
    <message>
        <source>Usage: kestrune [--show | --quit | --pause | --resume | --help | --version]</source>
        <translation>使い方: kestrune [--show | --quit | --pause | --resume | --help | --version]</translation>
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
    <name>kestrune::FileBrowser</name>
    <message>
        <source>Choose an Application</source>
        <translation>アプリケーションを選択</translation>
    </message>
    <message>
        <source>Applications (*.app)</source>
        <translation>アプリケーション (*.app)</translation>
    </message>
    <message>
        <source>Applications (*.desktop)</source>
        <translation>アプリケーション (*.desktop)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
</context>
<context>
    <name>kestrune::IBusSwitch</name>
    <message>
        <source>IBus is not running.</source>
        <translation>IBus が動いていません。</translation>
    </message>
    <message>
        <source>IBus has no Japanese input method set up.</source>
        <translation>IBus に日本語入力メソッドが設定されていません。</translation>
    </message>
    <message>
        <source>GNOME has no Japanese input source.</source>
        <translation>GNOME に日本語の入力ソースがありません。</translation>
    </message>
    <message>
        <source>IBus did not switch to %1.</source>
        <translation>IBus が %1 に切り替わりませんでした。</translation>
    </message>
    <message>
        <source>%1 has no input field to switch.</source>
        <translation>入力欄がないため %1 を切り替えられません。</translation>
    </message>
</context>
<context>
    <name>kestrune::InputAccess</name>
    <message>
        <source>The uinput module is not loaded, so Kestrune has no way to type the keys it changes.</source>
        <translation>uinput モジュールが読み込まれていないため、Kestrune は変換したキーを入力できません。</translation>
    </message>
    <message>
        <source>Kestrune&apos;s access rule is not installed, so it may not read your keyboard or type through /dev/uinput.</source>
        <translation>Kestrune のアクセス規則がインストールされていないため、キーボードの読み取りも /dev/uinput からの入力もできません。</translation>
    </message>
    <message>
        <source>You may not write to /dev/uinput, so Kestrune cannot type the keys it changes.</source>
        <translation>/dev/uinput への書き込みが許可されていないため、Kestrune は変換したキーを入力できません。</translation>
    </message>
    <message>
        <source>None of your keyboards may be read by Kestrune.</source>
        <translation>Kestrune はどのキーボードも読み取ることができません。</translation>
    </message>
    <message>
        <source>Access was not granted: the password prompt was cancelled.</source>
        <translation>アクセスは許可されませんでした。パスワードの入力がキャンセルされました。</translation>
    </message>
    <message>
        <source>The access helper failed. Run the command below in a terminal instead.</source>
        <translation>アクセス用ヘルパーが失敗しました。代わりに下のコマンドを端末で実行してください。</translation>
    </message>
    <message>
        <source>The helper ran, but access is still refused. Log out and back in, then check again.</source>
        <translation>ヘルパーは実行されましたが、まだアクセスできません。いったんログアウトして再度ログインしてから、もう一度確認してください。</translation>
    </message>
    <message>
        <source>The access helper could not be started. Run the command below in a terminal instead.</source>
        <translation>アクセス用ヘルパーを起動できませんでした。代わりに下のコマンドを端末で実行してください。</translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service is not running. It reads the keyboards for Kestrune, so that no other program of yours can.</source>
        <translation>Kestrune の入力サービスが動いていません。このサービスが Kestrune に代わってキーボードを読むので、あなたのほかのプログラムはキーボードを読めません。</translation>
    </message>
</context>
<context>
    <name>kestrune::InputService</name>
    <message>
        <source>The input service could not tell which user connected.</source>
        <translation>入力サービスは、接続してきたユーザーを確認できませんでした。</translation>
    </message>
    <message>
        <source>No local session is in front at the seat: Kestrune remaps only for the user at the keyboard.</source>
        <translation>このシートで前面にあるローカルセッションがありません。Kestrune はキーボードの前にいるユーザーのためにだけキーを変換します。</translation>
    </message>
    <message>
        <source>Another user&apos;s session is in front: Kestrune remaps only for the user at the keyboard.</source>
        <translation>別のユーザーのセッションが前面にあります。Kestrune はキーボードの前にいるユーザーのためにだけキーを変換します。</translation>
    </message>
    <message>
        <source>Another Kestrune of yours connected to the input service.</source>
        <translation>あなたの別の Kestrune が入力サービスに接続しました。</translation>
    </message>
    <message>
        <source>Another session is in front: Kestrune remaps only for the user at the keyboard.</source>
        <translation>別のセッションが前面にあります。Kestrune はキーボードの前にいるユーザーのためにだけキーを変換します。</translation>
    </message>
    <message>
        <source>The input service cannot read the keyboards or write /dev/uinput. Check its udev rule and its log: journalctl -u kestrune-inputd</source>
        <translation>入力サービスがキーボードを読めないか、/dev/uinput に書き込めません。udev ルールとログを確認してください: journalctl -u kestrune-inputd</translation>
    </message>
    <message>
        <source>The emergency chord was held: every key was released and the keyboards let go.</source>
        <translation>緊急用のキーの組み合わせが押されました。すべてのキーを離し、キーボードを手放しました。</translation>
    </message>
</context>
<context>
    <name>kestrune::InputServiceClient</name>
    <message>
        <source>The input service sent a message it should not send.</source>
        <translation>入力サービスが送るはずのないメッセージを送ってきました。</translation>
    </message>
    <message>
        <source>The input service speaks another version of the protocol (%1). Install matching versions of Kestrune and its input service.</source>
        <translation>入力サービスのプロトコルのバージョンが違います (%1)。Kestrune と入力サービスを同じバージョンにそろえてください。</translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service is not running.</source>
        <translation>Kestrune の入力サービスが動いていません。</translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service has not answered yet.</source>
        <translation>Kestrune の入力サービスがまだ応答していません。</translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service stopped.</source>
        <translation>Kestrune の入力サービスが停止しました。</translation>
    </message>
</context>
<context>
    <name>kestrune::KeyRemapper</name>
    <message>
        <source>Esc + %1 + %2</source>
        <translation>Esc + %1 + %2</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Return</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Enter</translation>
    </message>
</context>
<context>
    <name>kestrune::LinuxInputMethod</name>
    <message>
        <source>%1 with %2</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>No input method (fcitx5 or IBus) is running: Eisu and Kana are sent as the Hanja and Hangul keys, which an input method may read as other switches.</source>
        <translation>入力メソッド (fcitx5 または IBus) が動いていません。英数とかなは Hanja キーと Hangul キーとして送られ、入力メソッドによっては別の切り替えとして扱われます。</translation>
    </message>
    <message>
        <source>Turn on Kestrune&apos;s GNOME Shell extension, so that Kana can select the Japanese input source.</source>
        <translation>かなで日本語の入力ソースを選べるように、Kestrune の GNOME Shell 拡張機能をオンにしてください。</translation>
    </message>
    <message>
        <source>%1 has no Japanese input method set up: add Mozc or Anthy to it, so that Kana can turn Japanese input on.</source>
        <translation>%1 に日本語入力メソッドが設定されていません。かなで日本語入力をオンにできるように、Mozc か Anthy を追加してください。</translation>
    </message>
    <message>
        <source>Eisu and Kana switch %1.</source>
        <translation>英数とかなで %1 を切り替えます。</translation>
    </message>
    <message>
        <source>The last switch failed: %1</source>
        <translation>前回の切り替えに失敗しました: %1</translation>
    </message>
    <message>
        <source>IBus is not running.</source>
        <translation>IBus が動いていません。</translation>
    </message>
</context>
<context>
    <name>kestrune::MenuBarPointerManager</name>
    <message>
        <source>Kestrune lives here — click to open its settings</source>
        <translation>Kestrune はここにあります — クリックで設定を開きます</translation>
    </message>
    <message>
        <source>Kestrune is in the system tray: click its icon to open its settings.</source>
        <translation>Kestrune はシステムトレイにあります。アイコンをクリックすると設定を開きます。</translation>
    </message>
</context>
<context>
    <name>kestrune::RemapperStatus</name>
    <message>
        <source>Kestrune is paused</source>
        <translation>Kestrune は一時停止中です</translation>
    </message>
    <message>
        <source>Kestrune is not working</source>
        <translation>Kestrune は動作していません</translation>
    </message>
    <message>
        <source>Kestrune is working</source>
        <translation>Kestrune は動作中です</translation>
    </message>
    <message>
        <source>Keys behave as usual until you resume it.</source>
        <translation>再開するまで、キーは通常どおりに動作します。</translation>
    </message>
    <message>
        <source>It may not read the keyboard. Choose &quot;Fix&quot; in the panel to grant access.</source>
        <translation>キーボードを読み取る権限がありません。パネルの「修正」からアクセスを許可してください。</translation>
    </message>
    <message>
        <source>It tries again by itself; if this lasts, reconnect the keyboard or restart Kestrune.</source>
        <translation>自動的に再試行します。解決しない場合は、キーボードを接続し直すか Kestrune を再起動してください。</translation>
    </message>
    <message>
        <source>It could not start reading the keyboard.</source>
        <translation>キーボードの読み取りを開始できませんでした。</translation>
    </message>
    <message>
        <source>Another login session is in front; it resumes when you return to this one.</source>
        <translation>別のログインセッションが使用中です。このセッションに戻ると再開します。</translation>
    </message>
    <message>
        <source>Resume Kestrune</source>
        <translation>Kestrune を再開</translation>
    </message>
    <message>
        <source>Pause Kestrune</source>
        <translation>Kestrune を一時停止</translation>
    </message>
    <message>
        <source>You held %1 together: every key was released and the keyboards let go. Keys behave as usual until you resume it.</source>
        <translation>%1 が同時に押されたため、すべてのキーを離し、キーボードを手放しました。再開するまでキーは通常どおりに動作します。</translation>
    </message>
</context>
<context>
    <name>kestrune::SettingsFileStatus</name>
    <message>
        <source>Settings could not be saved</source>
        <translation>設定を保存できませんでした</translation>
    </message>
    <message>
        <source>Settings file could not be read</source>
        <translation>設定ファイルを読み込めませんでした</translation>
    </message>
    <message>
        <source>Settings file could not be read whole</source>
        <translation>設定ファイルの一部を読み込めませんでした</translation>
    </message>
    <message>
        <source>Settings are not saved</source>
        <translation>設定は保存されません</translation>
    </message>
    <message>
        <source>A setting could not be read</source>
        <translation>読み込めない設定があります</translation>
    </message>
    <message>
        <source>Your changes apply until Kestrune quits. Make sure %1 can be written and the disk has free space; the next change is saved again.</source>
        <translation>変更は Kestrune を終了するまで有効です。%1 に書き込めること、ディスクに空きがあることを確認してください。次に変更したときに改めて保存します。</translation>
    </message>
    <message>
        <source>Defaults are in use. %1 is left as it is until you change a setting; then it is kept aside next to the new file.</source>
        <translation>既定の設定を使用しています。%1 は設定を変更するまでそのまま残し、変更時には新しいファイルの隣に退避します。</translation>
    </message>
    <message numerus="yes">
        <source>%n of its settings are in use, defaults for the rest. When you change a setting, %1 is kept aside next to the new file.</source>
        <translation>
            <numerusform>%n 件の設定を使用し、残りは既定値を使用しています。設定を変更すると、%1 は新しいファイルの隣に退避します。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 was written by a newer Kestrune that this one cannot read. Defaults are in use and changes are not saved; update Kestrune to use your settings.</source>
        <translation>%1 はこのバージョンでは読み込めない新しい Kestrune で書かれています。既定の設定を使用し、変更は保存されません。設定を使うには Kestrune を更新してください。</translation>
    </message>
    <message>
        <source>The value of &quot;%1&quot; in %2 is not understood; its default is in use and the value is kept.</source>
        <translation>%2 の「%1」の値を解釈できません。既定値を使用し、保存されている値はそのまま残します。</translation>
    </message>
    <message>
        <source>Settings are read-only</source>
        <translation>設定は読み取り専用です</translation>
    </message>
    <message>
        <source>Settings cannot be saved</source>
        <translation>設定を保存できません</translation>
    </message>
    <message>
        <source>%1 is read-only, so Kestrune leaves it as it is. Your changes apply until Kestrune quits; make the file writable to keep them.</source>
        <translation>%1 は読み取り専用なので、Kestrune は変更しません。変更は Kestrune を終了するまで有効です。残すには、ファイルを書き込めるようにしてください。</translation>
    </message>
    <message>
        <source>%1 is not a folder, so Kestrune cannot keep its settings there. Defaults are in use and changes apply until Kestrune quits; move it away, then restart Kestrune.</source>
        <translation>%1 はフォルダではないため、Kestrune はそこに設定を保存できません。既定の設定を使っており、変更は Kestrune を終了するまで有効です。これを移動してから Kestrune を起動し直してください。</translation>
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
    <message>
        <source>Open Settings</source>
        <translation>設定を開く</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Keys reset.</source>
        <translation>キーをリセットしました。</translation>
    </message>
    <message>
        <source>About Kestrune</source>
        <translation>Kestrune について</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>再開</translation>
    </message>
    <message>
        <source>Keyboards…</source>
        <translation>キーボード…</translation>
    </message>
    <message>
        <source>New keyboard: %1</source>
        <translation>新しいキーボード: %1</translation>
    </message>
    <message>
        <source>New keyboards: %1</source>
        <translation>新しいキーボード: %1</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>Kestrune remaps it. Open Keyboards… to change this.</source>
        <translation>Kestrune がリマップします。変更するには「キーボード…」を開いてください。</translation>
    </message>
    <message>
        <source>Kestrune leaves it alone. Open Keyboards… to change this.</source>
        <translation>Kestrune はそのままにします。変更するには「キーボード…」を開いてください。</translation>
    </message>
    <message>
        <source>Kestrune remaps them. Open Keyboards… to change this.</source>
        <translation>Kestrune がリマップします。変更するには「キーボード…」を開いてください。</translation>
    </message>
    <message>
        <source>Kestrune leaves them alone. Open Keyboards… to change this.</source>
        <translation>Kestrune はそのままにします。変更するには「キーボード…」を開いてください。</translation>
    </message>
</context>
</TS>
