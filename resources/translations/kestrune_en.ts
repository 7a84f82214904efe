<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name>AboutView</name>
    <message>
        <source>Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turns Caps Lock into a Hyper key.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Licence: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Homepage: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppChooser</name>
    <message>
        <source>Choose an Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No applications match.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppExclusionSettingsView</name>
    <message>
        <source>App-Specific Exclusions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select applications where Kestrune should be completely disabled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This session does not tell Kestrune which application is in front, so exclusions cannot take effect here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No applications excluded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click &apos;+&apos; to add an application.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When these apps are active, all custom behaviors (Arrow Mode, L/R %1, Hyper key) will be bypassed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppLauncherSettingsView</name>
    <message>
        <source>App Launcher Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No shortcuts added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click &apos;+&apos; to add an application.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hyper Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keys conflicting with Arrow Mode will not trigger.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The App Launcher is off: these keys open nothing until you turn it on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turn On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key Already in Use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key Conflict Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 already opens %2.

Replace it with %3?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The key you pressed is currently used by Arrow Mode.

While Arrow Mode is enabled, it takes priority, meaning this app launcher shortcut will not work.

Do you still want to register it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Register Anyway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Another Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppcastParser</name>
    <message>
        <source>The feed is not valid XML (line %1: %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The feed is not an RSS release feed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The feed lists no release with a version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The feed declares a document type, which release feeds never do.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The feed is too large to be a release feed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeleteButton</name>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DesktopApplications</name>
    <message>
        <source>The application could not be started.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No application can open it.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FooterSection</name>
    <message>
        <source>Clear Log</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrontmostNoticeCard</name>
    <message>
        <source>Exclusions can&apos;t follow the active window on this desktop.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turn on Kestrune&apos;s GNOME Shell extension.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install Kestrune&apos;s package, which brings its GNOME Shell extension, then log out and back in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>KWin did not run Kestrune&apos;s script. Install Kestrune&apos;s package, then quit and reopen Kestrune.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune sees the application in front on X11 desktops, GNOME, KDE Plasma and sway. Log in to one of them for exclusions to work.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turn On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turn on Kestrune&apos;s GNOME Shell extension. User extensions are off in GNOME Shell: turning this one on turns them all on again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HUDContentView</name>
    <message>
        <source>Hyper Active</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HeaderRow</name>
    <message>
        <source>Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show HUD Notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset Keys</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keys reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboards…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HyperKeyHeroModule</name>
    <message>
        <source>Hyper Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long Press</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long Press Help</source>
        <translation>Hold Caps Lock and press another key to send that key with the modifiers chosen here. Hyper adds %1, %2, %3 and %4 at once: a combination no application uses, so your own shortcuts never clash with existing ones. Should keys ever misbehave, hold %5 together: Kestrune releases every key, lets go of the keyboards and pauses.</translation>
    </message>
    <message>
        <source>Single Press</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InfoButton</name>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InputAccessBlock</name>
    <message>
        <source>Granting Access…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run this in a terminal:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run this in a terminal as root:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InputAccessView</name>
    <message>
        <source>Permission Granted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permission Required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune needs access to your keyboards to remap keys.
We do not record or send your keystrokes anywhere.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Input Access</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check Again</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyListeningOverlay</name>
    <message>
        <source>Assign a single key for &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>That key cannot start an application. Press another key.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press any key (e.g., &apos;C&apos;).
Once registered, you can launch the app by pressing Hyper + that key.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyNames</name>
    <message>
        <source>Delete</source>
        <comment>The macOS key that deletes backwards (Backspace elsewhere)</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Del</source>
        <comment>Short for the macOS Delete key (Backspace elsewhere)</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fn+Del</source>
        <comment>Short for Fn + Delete, the forward delete of a Mac keyboard</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backspace</source>
        <comment>The key that deletes backwards</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <comment>The PC keyboard&apos;s Delete key, which deletes forwards</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyRemapper</name>
    <message>
        <source>None</source>
        <comment>No action</comment>
        <extracomment>No action</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esc</source>
        <comment>Escape key</comment>
        <extracomment>Escape key</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fn + Delete</source>
        <comment>Forward Delete key</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left: Eisu, Right: Kana</source>
        <comment>Left Command to Eisu, Right Command to Kana</comment>
        <extracomment>Left Command to Eisu, Right Command to Kana</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hyper (%1)</source>
        <comment>Hyper Key</comment>
        <extracomment>Hyper Key: %1 names the four modifiers it adds</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hyper</source>
        <comment>Hyper Key, all four modifiers</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left: %1, Right: %2</source>
        <comment>Left and right Command key taps</comment>
        <extracomment>Left Command (Super) to %1 (Delete or Backspace), Right Command to %2 (Fn+Del or Delete)</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eisu / Kana</source>
        <comment>Left and right Command key taps, short</comment>
        <extracomment>Left Command to Eisu, Right Command to Kana, in a narrow picker</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Del</source>
        <comment>Delete key, short</comment>
        <extracomment>The PC keyboard&apos;s Delete key, shortened for a narrow picker</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyboardsModel</name>
    <message>
        <source>Built-in keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bluetooth keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program&apos;s virtual keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyboardsView</name>
    <message>
        <source>Keyboards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose which keyboards Kestrune remaps. A keyboard left alone types as if Kestrune were not running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program&apos;s virtual keyboard is present. If another remapper is running, keys may be remapped twice.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune cannot list the keyboards now: it has no input access.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No keyboards to show.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, not connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shares its choice with an identical keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remap this keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New keyboards:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave alone</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LinuxTap</name>
    <message>
        <source>The tap&apos;s wake-up descriptor could not be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The event loop could not be made</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An earlier tap is still running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The virtual keyboard could not be created through /dev/uinput.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The virtual keyboard could not be watched</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PermissionRequestCard</name>
    <message>
        <source>Permission Required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grant Permission</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Allow Kestrune to read your keyboards</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Arrow Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vim Mode Help</source>
        <translation>While Caps Lock is held, H/J/K/L (or W/A/S/D) become the arrow keys. Other modifiers you hold still apply, so Caps Lock + Shift + L selects to the right.</translation>
    </message>
    <message>
        <source>Double Tap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double Tap Help</source>
        <translation>Tap Caps Lock twice quickly to turn the real Caps Lock on or off. While this is on, a single tap waits 0.2 seconds for a possible second tap before doing its job.</translation>
    </message>
    <message>
        <source>L/R Command Help</source>
        <translation>Tap the left or right %1 key on its own to switch the input mode: left for English (Eisu), right for Japanese (Kana), or choose %2 and %3 instead. %1 used together with another key works as always.</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically launch at login</source>
        <translation>Starts Kestrune each time you log in, so that Caps Lock is a Hyper key from your first keystroke. Turned off, Kestrune runs only when you start it.</translation>
    </message>
    <message>
        <source>App Launcher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch applications using Hyper Key</source>
        <translation>Hold Caps Lock and press a key to open an application, or bring it to the front if it is open. Choose the keys and their applications with Settings...; a key Arrow Mode uses stays an arrow.</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>App-Specific Exclusions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disable Kestrune in specific apps</source>
        <translation>While an application you list is in front, Kestrune stands aside: every key works there as if Kestrune were not running. Add the applications with Settings....</translation>
    </message>
    <message>
        <source>L/R %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UndoBar</name>
    <message>
        <source>Removed %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateWindow</name>
    <message>
        <source>Software Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is up to date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune %1 is available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not check for updates.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune&apos;s updates come with your distribution&apos;s packages.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have version %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WelcomeView</name>
    <message>
        <source>Welcome to Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permission Required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune needs access to your keyboards to remap keys.
We do not record or send your keystrokes anywhere.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune needs Accessibility permission to remap keys.
We do not record or send your keystrokes anywhere.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go to: Privacy &amp; Security &gt; Accessibility
and enable Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permission Granted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click &apos;Next&apos; to continue.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Meet the Hyper Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Running out of easy shortcuts? Tired of pressing 4 keys?
One key to rule them all.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hyper Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You&apos;re All Set!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is running in your system tray.
You can customize settings at any time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is running in your menu bar.
You can customize settings at any time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip: Press &amp; Hold for Hyper Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get Started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip: Choose in the settings what one tap of Caps Lock does</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip: Tap Caps Lock once for Escape (Customizable)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip: Tap Caps Lock once for %1 (Customizable)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One Step Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune cannot read your keyboards yet, so no key is remapped. Go back to the first page to give it access.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune does not have Accessibility permission yet, so no key is remapped. Go back to the first page to grant it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to Input Access</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to Permission</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::Applications</name>
    <message>
        <source>This is not an application.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is not a .desktop file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is a link or a folder entry, not an application.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is marked hidden: it removes an application rather than starting one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” names no program to run.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” runs “%2”, which is not installed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” belongs to another account, which could change it later.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” may be changed by other accounts (its group or everyone may write it).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::CommandLine</name>
    <message>
        <source>Kestrune turns Caps Lock into a Hyper key. It lives in the system tray; starting it again shows the panel of the one already running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>show the settings panel of the running Kestrune (start it if none runs)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ask the running Kestrune to quit; it resets the keyboard as it goes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>print the applications that come to the front, as exclusions see them (for 10 seconds)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>show this help and exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>show the version and exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More in %1 and in the manual page (man kestrune).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is not running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is running but did not answer; it was not asked to quit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune was asked to quit but is still running after %1 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune has quit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unexpected argument “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>give one option at a time: “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pause the running Kestrune: every key passes untouched until resumed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resume remapping in the running Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is running but did not answer; it was not paused.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is running but did not answer; it was not resumed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is paused: keys pass untouched.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is remapping.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: kestrune [--show | --quit | --pause | --resume | --print-active-app [SECONDS] | --help | --version]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: kestrune [--show | --quit | --pause | --resume | --help | --version]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::FeedUpdateChecker</name>
    <message>
        <source>The update feed address must start with https://: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed redirected to an address that is not HTTPS: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed is too large to be a release feed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the server did not answer in time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed could not be reached: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::FileBrowser</name>
    <message>
        <source>Choose an Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applications (*.app)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applications (*.desktop)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::IBusSwitch</name>
    <message>
        <source>IBus is not running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IBus has no Japanese input method set up.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GNOME has no Japanese input source.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IBus did not switch to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has no input field to switch.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::InputAccess</name>
    <message>
        <source>The uinput module is not loaded, so Kestrune has no way to type the keys it changes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune&apos;s access rule is not installed, so it may not read your keyboard or type through /dev/uinput.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You may not write to /dev/uinput, so Kestrune cannot type the keys it changes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None of your keyboards may be read by Kestrune.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Access was not granted: the password prompt was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The access helper failed. Run the command below in a terminal instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The helper ran, but access is still refused. Log out and back in, then check again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The access helper could not be started. Run the command below in a terminal instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service is not running. It reads the keyboards for Kestrune, so that no other program of yours can.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::InputService</name>
    <message>
        <source>The input service could not tell which user connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No local session is in front at the seat: Kestrune remaps only for the user at the keyboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another user&apos;s session is in front: Kestrune remaps only for the user at the keyboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another Kestrune of yours connected to the input service.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another session is in front: Kestrune remaps only for the user at the keyboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The input service cannot read the keyboards or write /dev/uinput. Check its udev rule and its log: journalctl -u kestrune-inputd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emergency chord was held: every key was released and the keyboards let go.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::InputServiceClient</name>
    <message>
        <source>The input service sent a message it should not send.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The input service speaks another version of the protocol (%1). Install matching versions of Kestrune and its input service.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service is not running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service has not answered yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune&apos;s input service stopped.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::KeyRemapper</name>
    <message>
        <source>Esc + %1 + %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::LinuxInputMethod</name>
    <message>
        <source>%1 with %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No input method (fcitx5 or IBus) is running: Eisu and Kana are sent as the Hanja and Hangul keys, which an input method may read as other switches.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turn on Kestrune&apos;s GNOME Shell extension, so that Kana can select the Japanese input source.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has no Japanese input method set up: add Mozc or Anthy to it, so that Kana can turn Japanese input on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eisu and Kana switch %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The last switch failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IBus is not running.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::MenuBarPointerManager</name>
    <message>
        <source>Kestrune lives here — click to open its settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is in the system tray: click its icon to open its settings.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::RemapperStatus</name>
    <message>
        <source>Kestrune is paused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is not working</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune is working</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keys behave as usual until you resume it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It may not read the keyboard. Choose &quot;Fix&quot; in the panel to grant access.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It tries again by itself; if this lasts, reconnect the keyboard or restart Kestrune.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It could not start reading the keyboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another login session is in front; it resumes when you return to this one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You held %1 together: every key was released and the keyboards let go. Keys behave as usual until you resume it.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::SettingsFileStatus</name>
    <message>
        <source>Settings could not be saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings file could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings file could not be read whole</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings are not saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A setting could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your changes apply until Kestrune quits. Make sure %1 can be written and the disk has free space; the next change is saved again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Defaults are in use. %1 is left as it is until you change a setting; then it is kept aside next to the new file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n of its settings are in use, defaults for the rest. When you change a setting, %1 is kept aside next to the new file.</source>
        <translation>
            <numerusform>%n of its settings is in use, defaults for the rest. When you change a setting, %1 is kept aside next to the new file.</numerusform>
            <numerusform>%n of its settings are in use, defaults for the rest. When you change a setting, %1 is kept aside next to the new file.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 was written by a newer Kestrune that this one cannot read. Defaults are in use and changes are not saved; update Kestrune to use your settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The value of &quot;%1&quot; in %2 is not understood; its default is in use and the value is kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings are read-only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings cannot be saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is read-only, so Kestrune leaves it as it is. Your changes apply until Kestrune quits; make the file writable to keep them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a folder, so Kestrune cannot keep its settings there. Defaults are in use and changes apply until Kestrune quits; move it away, then restart Kestrune.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::SingleInstance</name>
    <message>
        <source>Kestrune cannot start: its folder %1 could not be created (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune cannot start: its folder %1 is not a private folder of yours (it must be owned by you with mode 0700). Remove it and start Kestrune again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another start of Kestrune cannot reach this one: %1 (%2).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kestrune::TrayIcon</name>
    <message>
        <source>Check for Updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show HUD Notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset Keys</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keys reset.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Kestrune</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboards…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New keyboard: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New keyboards: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune remaps it. Open Keyboards… to change this.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune leaves it alone. Open Keyboards… to change this.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune remaps them. Open Keyboards… to change this.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kestrune leaves them alone. Open Keyboards… to change this.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
