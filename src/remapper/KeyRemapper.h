#pragma once
// KeyRemapper: the engine. It owns every keyboard setting and its cached
// copy, the Caps Lock → F19 hardware mapping, the event tap and its thread,
// and the processing of each key event. Its code is split by concern:
//   KeyRemapperSettings.cpp  settings, loading, change handlers
//   HardwareMapping.cpp      the mapping commands, device and wake re-apply
//   TapLifecycle.cpp         start/stop, the tap thread, trust watching
//   KeyProcessing.cpp        handleEvent: Hyper, single press, Command keys, arrows
//
// Threads: the published settings, start/stop, timers and notifications
// belong to the main thread. handleEvent runs on the tap thread only; it
// reads the settings through their cached copy, one atomic word, and
// reaches the main thread only by posting to the scheduler.

#include "base/QmlSingleton.h"
#include "base/SharedInstance.h"
#include "platform/Platform.h"
#include "remapper/EngineQueries.h"
#include "remapper/HudMailbox.h"
#include "remapper/HudRequests.h"
#include "remapper/RemapperConfig.h"
#include "remapper/RemapperStatus.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <array>
#include <atomic>
#include <cstring>
#include <type_traits>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrune {

class PermissionManager;

using config::CmdEisuKanaConfig;
using config::HyperKeyConfig;
using config::SinglePressConfig;
using config::VimModeConfig;

class KeyRemapper : public QObject, public EventHandler, public SharedInstance<KeyRemapper> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setIsEnabled NOTIFY isEnabledChanged)
    Q_PROPERTY(bool isHyperKeyEnabled READ isHyperKeyEnabled WRITE setIsHyperKeyEnabled NOTIFY isHyperKeyEnabledChanged)
    Q_PROPERTY(kestrune::config::HyperKeyConfig hyperKeyConfig READ hyperKeyConfig WRITE setHyperKeyConfig NOTIFY hyperKeyConfigChanged)
    Q_PROPERTY(bool isSinglePressEnabled READ isSinglePressEnabled WRITE setIsSinglePressEnabled NOTIFY isSinglePressEnabledChanged)
    Q_PROPERTY(bool isCmdEisuKanaEnabled READ isCmdEisuKanaEnabled WRITE setIsCmdEisuKanaEnabled NOTIFY isCmdEisuKanaEnabledChanged)
    Q_PROPERTY(kestrune::config::CmdEisuKanaConfig cmdEisuKanaConfig READ cmdEisuKanaConfig WRITE setCmdEisuKanaConfig NOTIFY cmdEisuKanaConfigChanged)
    Q_PROPERTY(kestrune::config::SinglePressConfig singlePressConfig READ singlePressConfig WRITE setSinglePressConfig NOTIFY singlePressConfigChanged)
    Q_PROPERTY(bool isCapsLockDoubleTapEnabled READ isCapsLockDoubleTapEnabled WRITE setIsCapsLockDoubleTapEnabled NOTIFY isCapsLockDoubleTapEnabledChanged)
    Q_PROPERTY(bool isVimModeEnabled READ isVimModeEnabled WRITE setIsVimModeEnabled NOTIFY isVimModeEnabledChanged)
    Q_PROPERTY(kestrune::config::VimModeConfig vimModeConfig READ vimModeConfig WRITE setVimModeConfig NOTIFY vimModeConfigChanged)
    Q_PROPERTY(bool isDebugEnabled READ isDebugEnabled WRITE setIsDebugEnabled NOTIFY isDebugEnabledChanged)
    Q_PROPERTY(QString debugLog READ debugLog WRITE setDebugLog NOTIFY debugLogChanged)
    Q_PROPERTY(kestrune::RemapperStatus* status READ status CONSTANT)

public:
    // QML reaches the process-wide instance only.
    static KeyRemapper* create(QQmlEngine*, QJSEngine* engine) { return qmlSharedInstance<KeyRemapper>(engine); }

    // The collaborators outlive the remapper. `exclusions`, `launcher`, `hud`
    // and `permissions` may be null (the feature is then absent).
    struct Collaborators {
        ExclusionVerdict* exclusions = nullptr;
        LaunchShortcuts* launcher = nullptr;
        HudRequests* hud = nullptr;
        PermissionManager* permissions = nullptr;
    };

    KeyRemapper(Platform& platform, Collaborators collaborators, QObject* parent = nullptr);
    ~KeyRemapper() override;

    // --- Settings (main thread) -------------------------------------------
    bool isEnabled() const { return isEnabled_; }
    bool isHyperKeyEnabled() const { return isHyperKeyEnabled_; }
    HyperKeyConfig hyperKeyConfig() const { return hyperKeyConfig_; }
    bool isSinglePressEnabled() const { return isSinglePressEnabled_; }
    bool isCmdEisuKanaEnabled() const { return isCmdEisuKanaEnabled_; }
    CmdEisuKanaConfig cmdEisuKanaConfig() const { return cmdEisuKanaConfig_; }
    SinglePressConfig singlePressConfig() const { return singlePressConfig_; }
    bool isCapsLockDoubleTapEnabled() const { return isCapsLockDoubleTapEnabled_; }
    bool isVimModeEnabled() const { return isVimModeEnabled_; }
    VimModeConfig vimModeConfig() const { return vimModeConfig_; }
    bool isDebugEnabled() const { return isDebugEnabled_; }
    QString debugLog() const { return debugLog_; }

    void setIsEnabled(bool value);
    void setIsHyperKeyEnabled(bool value);
    void setHyperKeyConfig(HyperKeyConfig value);
    void setIsSinglePressEnabled(bool value);
    void setIsCmdEisuKanaEnabled(bool value);
    void setCmdEisuKanaConfig(CmdEisuKanaConfig value);
    void setSinglePressConfig(SinglePressConfig value);
    void setIsCapsLockDoubleTapEnabled(bool value);
    void setIsVimModeEnabled(bool value);
    void setVimModeConfig(VimModeConfig value);
    void setIsDebugEnabled(bool value);
    void setDebugLog(const QString& value);

    // Main thread. Whether Hyper + this key is taken by Arrow Mode.
    Q_INVOKABLE bool isArrowModeKey(qint64 keyCode) const;

    // --- Hardware mapping (main thread) -------------------------------------
    // Runs one command line in the background; the last issued is in force.
    void runShellCommand(const QString& commandLine);
    // Issues the apply or reset command as the settings need it while a tap
    // is installed; otherwise nothing (Caps Lock stays a plain Caps Lock).
    void applyCapsLockMapping();
    void scheduleMappingReapply();
    void handleWake();

    // --- Tap lifecycle (main thread) ----------------------------------------
    void start();
    void stop();
    // Where the tap comes from changed (the input service came, went or
    // changed its state): any tap is ended and a new one made at once, so
    // that the status says what the source says now.
    void reconnectTap();
    void startAccessibilityPolling();
    void handleTapDisabledByUserInput();
    void handlePermissionRevoked();
    void handleAppActivation(const std::optional<QString>& bundleId);
    void handleAppDeactivation(const std::optional<QString>& bundleId);

    // Our login session became active or inactive (another user's session,
    // a text console). While it is inactive no tap exists: nothing of what
    // is typed there reaches the engine.
    void handleSessionActiveChanged(bool active);

    bool hasEventTap() const;
    // The way out that always works: these keys held together end the tap
    // at once, releasing every key and letting go of the keyboards, and
    // pause remapping. "Esc + Backspace + Enter" in the platform's words.
    static QString emergencyChordText();
    Q_INVOKABLE QString emergencyChord() const { return emergencyChordText(); }
    // The pause in force came from the chord (cleared on resuming).
    bool wasPausedByEmergency() const { return pausedByEmergency_; }
    // Main thread: pauses as the chord does (the input service's client
    // follows the service's chord with it).
    void pauseForEmergency();
    bool isPollingForTrust() const { return axCheckTimer_ != nullptr; }
    // The tap could not be created although access was granted: the next
    // attempt is scheduled, this far from the last (zero: none pending).
    Millis tapRetryDelay() const { return tapRetryTimer_ ? tapRetryDelay_ : Millis{0}; }
    bool isWatchingPermission() const { return permissionMonitorTimer_ != nullptr; }
    bool isMonitoringDevices() const { return isMonitoringDevices_; }
    // The last try to create the tap failed and no tap has been made since
    // (nor was remapping paused); the reason, in the user's words, may be empty.
    bool hasTapFailed() const { return tapFailed_; }
    QString tapFailureReason() const { return tapFailureReason_; }
    bool isSessionActive() const;
    // Whether remapping works, is paused or cannot work, and why; owned by the remapper.
    RemapperStatus* status() const { return status_; }
    // Main thread. Waits until no tap thread is being created or wound down,
    // so that a simulator or test sees a settled state. Never used by the product.
    void waitForTapThreadSettled();

    // --- Key processing (tap thread) ----------------------------------------
    bool handleEvent(KeyEvent& event) override;
    bool isEmergencyChord(const KeyEvent& event);
    void emergencyStop();
    void resetKeyState() override;

signals:
    void isEnabledChanged();
    void isHyperKeyEnabledChanged();
    void hyperKeyConfigChanged();
    void isSinglePressEnabledChanged();
    void isCmdEisuKanaEnabledChanged();
    void cmdEisuKanaConfigChanged();
    void singlePressConfigChanged();
    void isCapsLockDoubleTapEnabledChanged();
    void isVimModeEnabledChanged();
    void vimModeConfigChanged();
    void isDebugEnabledChanged();
    void debugLogChanged();
    // Main thread: the tap came or went, could not be created, or the wait
    // for access began; status() has been brought up to date.
    void tapStateChanged();

private:
    // The cached copy of every setting the tap thread reads, packed into one
    // word so that an event takes its snapshot with a single atomic load
    // instead of a lock.
    struct Snapshot {
        bool isEnabled : 1 = true;
        bool isHyperKeyEnabled : 1 = true;
        bool isSinglePressEnabled : 1 = true;
        bool isCmdEisuKanaEnabled : 1 = false;
        bool isCapsLockDoubleTapEnabled : 1 = false;
        bool isVimModeEnabled : 1 = true;
        HyperKeyConfig hyperKeyConfig = HyperKeyConfig::hyper;
        CmdEisuKanaConfig cmdEisuKanaConfig = CmdEisuKanaConfig::leftEisuRightKana;
        SinglePressConfig singlePressConfig = SinglePressConfig::non;
        VimModeConfig vimModeConfig = VimModeConfig::vim;

        uint64_t pack() const
        {
            uint64_t word = 0;
            std::memcpy(&word, this, sizeof *this);
            return word;
        }
        static Snapshot unpack(uint64_t word)
        {
            Snapshot s;
            std::memcpy(static_cast<void*>(&s), &word, sizeof s); // trivially copyable
            return s;
        }
    };
    static_assert(sizeof(Snapshot) <= sizeof(uint64_t) && std::is_trivially_copyable_v<Snapshot>);

    // One tap thread. Shared by the main thread (which may ask it to stop)
    // and the thread itself; its fields are synchronised.
    struct TapThread {
        enum class State { starting, running, finished };
        std::thread thread;
        std::mutex mutex;
        std::condition_variable changed;
        State state = State::starting;        // guarded by mutex
        std::atomic<bool> stopRequested{false}; // set inside tapMutex_
        void setState(State s);
        bool isFinished();
    };

    // Settings
    void loadSettings();
    void updateCache();
    // Any thread: the cached settings as one consistent copy.
    Snapshot loadSnapshot() const { return Snapshot::unpack(cachedSettings_.load(std::memory_order_acquire)); }
    // Main thread (the only writer): changes the cached copy; the very next
    // key event sees the change.
    template <typename F> void updateCached(F&& change)
    {
        Snapshot s = loadSnapshot();
        change(s);
        cachedSettings_.store(s.pack(), std::memory_order_release);
    }
    // Runs f(*this) asynchronously on the main queue, if the remapper still exists.
    template <typename F> void deferred(F&& f)
    {
        QPointer<KeyRemapper> self = weakSelf_;
        platform_.scheduler.post([self, f = std::forward<F>(f)]() mutable {
            if (self)
                f(*self);
        });
    }

    // Tap lifecycle
    void runEventTap(const std::shared_ptr<TapThread>& thread, uint64_t mask);
    void tearDownTap();
    void retireTapThread();
    void reapFinishedThreads();
    void watchSystemSettingsActivation();
    void unwatchSystemSettingsActivation();
    void startPermissionMonitor();
    void stopPermissionMonitor();
    void startHIDDeviceMonitoring();
    void stopHIDDeviceMonitoring();
    void handleTapCreationFailure(const QString& reason);
    void cancelTapRetry();
    void retryTapNow();
    bool isRemapping();
    void issueCapsLockMapping();

    // Key processing
    bool handleOtherEvent(KeyEvent& event);
    bool processEvent(KeyEvent& event, const Snapshot& s);
    bool hyperSection(KeyEvent& event, const Snapshot& s, bool& handled);
    bool commandSection(KeyEvent& event, const Snapshot& s);
    void trackKeyState(KeyEvent& event, KeyCode physicalKey, bool& keep);
    void handleCapsLockTap();
    // Main thread: the double-tap window of tap `generation` has passed.
    void singlePressDue(uint64_t generation);
    // Tap thread: the key singlePressDue posted; false drops it (a second
    // tap read before it claimed its tap).
    bool letSinglePressOut(KeyEvent& event);
    void performSinglePress();
    void toggleCapsLockState();
    void postKeyPress(KeyCode keyCode);
    void releaseHeldKeysAndResetState();
    void cancelPendingSinglePress();
    bool isExcluded() const;
    bool launchShortcut(KeyCode keyCode);

    Platform& platform_;
    Collaborators with_;
    // Made once on the main thread, so that any thread may copy it to hold
    // the remapper weakly in deferred work.
    const QPointer<KeyRemapper> weakSelf_{this};
    // The Hyper HUD requests of the tap thread; retired in the destructor.
    HudMailbox* const hudMailbox_;

    // --- Cached settings (a packed Snapshot): written on the main thread by
    // the change handlers, read on the tap thread and by applyCapsLockMapping.
    std::atomic<uint64_t> cachedSettings_{Snapshot{}.pack()};

    // --- Published settings: main thread.
    bool isEnabled_ = true;
    bool pausedByEmergency_ = false;
    bool isHyperKeyEnabled_ = true;
    HyperKeyConfig hyperKeyConfig_ = HyperKeyConfig::hyper;
    bool isSinglePressEnabled_ = true;
    bool isCmdEisuKanaEnabled_ = false;
    CmdEisuKanaConfig cmdEisuKanaConfig_ = CmdEisuKanaConfig::leftEisuRightKana;
    SinglePressConfig singlePressConfig_ = SinglePressConfig::non;
    bool isCapsLockDoubleTapEnabled_ = false;
    bool isVimModeEnabled_ = true;
    VimModeConfig vimModeConfig_ = VimModeConfig::vim;
    bool isDebugEnabled_ = false;
    QString debugLog_ = QStringLiteral("Ready.\n");

    // --- Tap: eventTap_ is set by the tap thread once its tap exists and
    // cleared by whichever thread tears it down, under tapMutex_. The tap
    // object itself is owned by the tap thread and outlives this pointer.
    mutable std::mutex tapMutex_;
    EventTap* eventTap_ = nullptr;
    // Main thread: the current tap thread, and earlier ones still to be joined.
    std::shared_ptr<TapThread> tapThread_;
    std::vector<std::shared_ptr<TapThread>> retiredThreads_;
    // Owned by one tap thread at a time for its whole life, so that a new
    // thread never touches the key state while an old one is winding down. A
    // thread asked to stop while it waits gives up its turn.
    std::mutex ownershipMutex_;
    std::condition_variable ownershipFree_;
    bool tapOwned_ = false; // guarded by ownershipMutex_

    // --- Timers and observers: main thread.
    WorkItemPtr axCheckTimer_;
    WorkItemPtr permissionMonitorTimer_;
    WorkItemPtr hidDebounceTimer_;
    // Retries of a tap that could not be created although access was
    // granted: 1 s, doubling up to 30 s; the last failure printed.
    WorkItemPtr tapRetryTimer_;
    Millis tapRetryDelay_{0};
    std::optional<QString> reportedTapFailure_;
    bool tapFailed_ = false;
    QString tapFailureReason_;
    RemapperStatus* status_ = nullptr; // a child
    std::vector<int> workspaceObserverTokens_;
    bool isMonitoringDevices_ = false;

    // --- Key state: tap thread only (reset by the tap thread when its tap ends).
    EventTap* runningTap_ = nullptr;
    uint8_t emergencyKeys_ = 0; // the chord's keys physically down, a bit each
    bool isCapsLockDown_ = false;
    bool otherKeyPressedDuringCapsLock_ = false;
    bool isLeftCmdDown_ = false;
    bool otherKeyPressedDuringLeftCmd_ = false;
    bool isRightCmdDown_ = false;
    bool otherKeyPressedDuringRightCmd_ = false;
    // For each physical key whose key-down went out, the key code it went out
    // as, so its key-up always matches what the application saw; or one of:
    //   kNotDown          nothing of it is held;
    //   kTakenByLauncher  its press opened an application: its repeats open
    //                     nothing more;
    //   kHeldThroughReset held when the key state was reset (before sleep),
    //                     its release already sent: its repeats and its
    //                     release start nothing (F19 included).
    static constexpr int16_t kNotDown = -1;
    static constexpr int16_t kTakenByLauncher = -2;
    static constexpr int16_t kHeldThroughReset = -3;
    std::array<int16_t, 256> downAs_{};
    // Tap thread. True when the event belongs to a press already claimed
    // (kTakenByLauncher, kHeldThroughReset) and is dropped.
    bool swallowClaimed(const KeyEvent& event, int16_t& wentOutAs);

    // The delayed single press: set, claimed by a second tap, and claimed by
    // its own key on the tap thread; claimed by its work item on the main
    // thread when it types nothing. Guarded by singlePressMutex_.
    std::mutex singlePressMutex_;
    WorkItemPtr singlePressTimer_;
    uint64_t pendingSinglePress_ = 0;    // generation of the pending press; 0: none
    uint64_t singlePressGeneration_ = 0;
    // Tap thread: the tap whose key went down, so that its release follows.
    uint64_t singlePressGoingOut_ = 0;

    friend class KeyRemapperTestAccess;
};

} // namespace kestrune
