// handleEvent: the per-event logic on the tap thread. Caps Lock arrives as
// F19 and becomes the Hyper key; lone taps give the single press or, with
// double tap, toggle Caps Lock; Arrow Mode and launcher keys are claimed
// while Hyper is held; lone Command taps switch the input mode.
//
// Nothing here blocks or allocates: an ordinary key takes a short path that
// reads no settings at all; other events read the cached settings as one
// atomic word, and the main thread is reached only through the HUD mailbox
// and the single press's work item.

#include "base/KeyNames.h"
#include "remapper/KeyProcessingConstants.h"
#include "remapper/KeyRemapper.h"

namespace kestrune {

namespace {

// Arrow Mode: the letter keys of a layout and the arrows they become.
constexpr KeyCode arrowFor(VimModeConfig layout, KeyCode key)
{
    if (layout == VimModeConfig::vim) {
        switch (key) {
        case kc::kVK_ANSI_H: return kc::kVK_LeftArrow;
        case kc::kVK_ANSI_J: return kc::kVK_DownArrow;
        case kc::kVK_ANSI_K: return kc::kVK_UpArrow;
        case kc::kVK_ANSI_L: return kc::kVK_RightArrow;
        default: return -1;
        }
    }
    switch (key) {
    case kc::kVK_ANSI_A: return kc::kVK_LeftArrow;
    case kc::kVK_ANSI_S: return kc::kVK_DownArrow;
    case kc::kVK_ANSI_W: return kc::kVK_UpArrow;
    case kc::kVK_ANSI_D: return kc::kVK_RightArrow;
    default: return -1;
    }
}

constexpr bool isKeyEvent(EventType t)
{
    return t == EventType::KeyDown || t == EventType::KeyUp || t == EventType::FlagsChanged;
}
} // namespace

bool KeyRemapper::isArrowModeKey(qint64 keyCode) const
{
    return isVimModeEnabled_ && arrowFor(vimModeConfig_, keyCode) >= 0;
}

bool KeyRemapper::isExcluded() const
{
    return with_.exclusions && with_.exclusions->isCurrentAppExcluded();
}

bool KeyRemapper::launchShortcut(KeyCode keyCode)
{
    return with_.launcher && with_.launcher->launchShortcut(keyCode);
}

QString KeyRemapper::emergencyChordText()
{
    const KeyNames names = keyNames();
    return tr("Esc + %1 + %2").arg(names.backspace, names.isMac() ? tr("Return") : tr("Enter"));
}

bool KeyRemapper::isEmergencyChord(const KeyEvent& event)
{
    // Escape, Delete (Backspace) and Return held together: never typed so
    // in earnest. Physical keys, before any remapping, whatever the settings.
    const KeyCode code = event.keyCode;
    const uint8_t bit = code == kc::kVK_Escape ? 1 : code == kc::kVK_Delete ? 2 : code == kc::kVK_Return ? 4 : 0;
    if (bit == 0 || isOwnEvent(event.userData))
        return false;
    if (event.type == EventType::KeyUp) {
        emergencyKeys_ &= static_cast<uint8_t>(~bit);
        return false;
    }
    if (event.type != EventType::KeyDown)
        return false;
    emergencyKeys_ |= bit;
    return emergencyKeys_ == 7 && !event.autorepeat;
}

void KeyRemapper::emergencyStop()
{
    // Everything that went out is released here, on the tap thread, and the
    // tap ends without waiting for the main thread; its end lets go of the
    // keyboards. The pause that keeps it ended follows on the main thread,
    // after the releases.
    releaseHeldKeysAndResetState();
    if (runningTap_)
        runningTap_->stop();
    QPointer<KeyRemapper> self = weakSelf_;
    platform_.scheduler.post([self] {
        if (!self)
            return;
        self->platform_.console.printLine(
            QStringLiteral("%1 held together: every key released, the keyboards let go, Kestrune paused.")
                .arg(emergencyChordText()));
        self->pauseForEmergency();
    });
}

bool KeyRemapper::handleEvent(KeyEvent& event)
{
    if (isEmergencyChord(event)) [[unlikely]] {
        emergencyStop();
        return false;
    }
    // The short path: an ordinary key (not Caps Lock, not a Command key)
    // while neither Hyper nor a Command key is held. Nothing of the settings
    // or the exclusion can change such a key then; only what it went out as
    // is kept, so that its release matches.
    const KeyCode code = event.keyCode;
    if (static_cast<uint32_t>(code) < downAs_.size() && (event.type == EventType::KeyDown || event.type == EventType::KeyUp)
        && !(isCapsLockDown_ | isLeftCmdDown_ | isRightCmdDown_) && code != kc::kVK_F19 && code != kc::kVK_Command_L
        && code != kc::kVK_Command_R && !isOwnEvent(event.userData)) {
        int16_t& wentOutAs = downAs_[static_cast<size_t>(code)];
        if (wentOutAs < kNotDown && swallowClaimed(event, wentOutAs))
            return false;
        if (event.type == EventType::KeyDown) {
            if (wentOutAs >= 0) {
                event.keyCode = wentOutAs; // a repeat goes out as the key the application holds
                return true;
            }
            wentOutAs = static_cast<int16_t>(code);
            return true;
        }
        if (wentOutAs >= 0)
            event.keyCode = wentOutAs;
        wentOutAs = kNotDown;
        return true;
    }
    return handleOtherEvent(event);
}

bool KeyRemapper::swallowClaimed(const KeyEvent& event, int16_t& wentOutAs)
{
    if (event.type == EventType::KeyDown) {
        if (event.autorepeat)
            return true;
        wentOutAs = kNotDown; // a new press after a release we never saw
        return false;
    }
    if (event.type == EventType::KeyUp && wentOutAs == kHeldThroughReset) {
        wentOutAs = kNotDown;
        return true;
    }
    return false;
}

bool KeyRemapper::handleOtherEvent(KeyEvent& event)
{
    if (event.type == EventType::TapDisabledByUserInput) {
        QPointer<KeyRemapper> self = weakSelf_;
        platform_.scheduler.post([self] {
            if (self)
                self->handleTapDisabledByUserInput();
        });
        return true;
    }
    if (event.type == EventType::TapDisabledByTimeout) {
        // The system gave up on a slow callback; simply resume.
        if (runningTap_)
            runningTap_->setEnabled(true);
        return true;
    }

    if (isSinglePressMarker(event.userData)) [[unlikely]]
        return letSinglePressOut(event);

    const KeyCode physicalKey = event.keyCode;
    const bool isOwnEvent = event.userData == kSelfGeneratedEventMarker;
    if (!isOwnEvent && physicalKey >= 0 && physicalKey < static_cast<KeyCode>(downAs_.size())) {
        int16_t& wentOutAs = downAs_[static_cast<size_t>(physicalKey)];
        if (wentOutAs < kNotDown && swallowClaimed(event, wentOutAs))
            return false;
    }
    bool keep = processEvent(event, loadSnapshot());
    if (!isOwnEvent)
        trackKeyState(event, physicalKey, keep);
    return keep;
}

bool KeyRemapper::processEvent(KeyEvent& event, const Snapshot& s)
{
    if (!s.isEnabled)
        return true; // in flight while pausing

    if (isExcluded()) {
        // Stand aside; Caps Lock gets its own key code back.
        if (event.keyCode == kc::kVK_F19) {
            event.keyCode = kc::kVK_CapsLock;
            // A Caps Lock held as Hyper when the application became excluded
            // is released here, or Hyper would stay held once it is not.
            if (event.type == EventType::KeyUp && isCapsLockDown_) {
                isCapsLockDown_ = false;
                hudMailbox_->hideHyperHUD();
            }
        }
        return true;
    }
    if (!isKeyEvent(event.type))
        return true;
    if (event.userData == kSelfGeneratedEventMarker)
        return true;

    if (s.isHyperKeyEnabled || s.isSinglePressEnabled) {
        bool handled = false;
        const bool keep = hyperSection(event, s, handled);
        if (handled)
            return keep;
    } else if (event.keyCode == kc::kVK_F19 && event.type == EventType::KeyUp && isCapsLockDown_) {
        // Both features were switched off while Caps Lock was held: its
        // press was taken, so its release is too, and Hyper ends here.
        isCapsLockDown_ = false;
        hudMailbox_->hideHyperHUD();
        return false;
    }
    return commandSection(event, s);
}

// Returns the verdict when `handled` is set; otherwise the event goes on to
// the Command section (possibly with the Hyper modifiers added).
bool KeyRemapper::hyperSection(KeyEvent& event, const Snapshot& s, bool& handled)
{
    const KeyCode code = event.keyCode;
    if (code == kc::kVK_F19) {
        if (event.type == EventType::KeyDown) {
            handled = true;
            // A repeat never starts a hold: either Caps Lock is held already,
            // or its press was not taken as one (made before the tap existed,
            // or held through a reset).
            if (isCapsLockDown_ || event.autorepeat)
                return false;
            isCapsLockDown_ = true;
            otherKeyPressedDuringCapsLock_ = false;
            hudMailbox_->showHyperHUD();
            return false;
        }
        if (event.type == EventType::KeyUp) {
            handled = true;
            // A release whose press this tap never saw (pressed before the
            // tap was there) goes on: if the application got that press, it
            // must get the release too, and an unmatched key-up is ignored.
            // (One held through a reset was dropped before it came here.)
            if (!isCapsLockDown_)
                return true;
            isCapsLockDown_ = false;
            hudMailbox_->hideHyperHUD();
            // A keyboard that vanished with Caps Lock held ends the hold;
            // the key was never let go, so it is no tap.
            if (!otherKeyPressedDuringCapsLock_ && !event.deviceGone)
                handleCapsLockTap();
            return false;
        }
        return true; // flags changed: on to the Command section
    }
    if (!isCapsLockDown_)
        return true;

    const uint64_t hyperFlags = s.isHyperKeyEnabled ? config::modifierFlags(s.hyperKeyConfig) : 0;
    if (event.type == EventType::FlagsChanged) {
        // A modifier pressed or released during Hyper; not another key.
        event.flags |= hyperFlags;
        return true;
    }
    otherKeyPressedDuringCapsLock_ = true;
    if (s.isVimModeEnabled) {
        const KeyCode arrow = arrowFor(s.vimModeConfig, code);
        if (arrow >= 0) {
            // Flags stay as they came, so Shift selects and Option steps words.
            event.keyCode = arrow;
            handled = true;
            return true;
        }
    }
    if (event.type == EventType::KeyDown && launchShortcut(code)) {
        // Its repeats open nothing more (each would start another copy of
        // the application) and are dropped until the key comes up.
        if (code >= 0 && code < static_cast<KeyCode>(downAs_.size()))
            downAs_[static_cast<size_t>(code)] = kTakenByLauncher;
        handled = true;
        return false;
    }
    event.flags |= hyperFlags;
    return true;
}

bool KeyRemapper::commandSection(KeyEvent& event, const Snapshot& s)
{
    if (!s.isCmdEisuKanaEnabled)
        return true;
    const KeyCode code = event.keyCode;
    const bool isLeft = code == kc::kVK_Command_L;
    if (!isLeft && code != kc::kVK_Command_R) {
        otherKeyPressedDuringLeftCmd_ |= isLeftCmdDown_;
        otherKeyPressedDuringRightCmd_ |= isRightCmdDown_;
        return true;
    }
    if (event.type != EventType::FlagsChanged)
        return true;

    bool& isDown = isLeft ? isLeftCmdDown_ : isRightCmdDown_;
    bool& otherKeyPressed = isLeft ? otherKeyPressedDuringLeftCmd_ : otherKeyPressedDuringRightCmd_;
    // The Command flag covers both keys: releasing one while the other is
    // held reads as a press, and is not a lone tap.
    if (event.flags & flags::kCommand) {
        if (!isDown) {
            isDown = true;
            otherKeyPressed = false;
        }
        return true;
    }
    if (!isDown)
        return true;
    isDown = false;
    // A keyboard that vanished with the key held: never a lone tap.
    if (otherKeyPressed || event.deviceGone)
        return true;

    // A lone tap; the release itself still reaches the application.
    if (s.cmdEisuKanaConfig == CmdEisuKanaConfig::leftEisuRightKana) {
        const InputMode mode = isLeft ? InputMode::eisu : InputMode::kana;
        // An input method driven directly reports the mode it reached to
        // the HUD itself; otherwise the JIS key is the switch.
        if (platform_.inputMethod && platform_.inputMethod->request(mode))
            return true;
        if (with_.hud)
            with_.hud->showInputModeHUD(mode);
        postKeyPress(isLeft ? kc::kVK_JIS_Eisu : kc::kVK_JIS_Kana);
    } else {
        postKeyPress(isLeft ? kc::kVK_Delete : kc::kVK_ForwardDelete);
    }
    return true;
}

void KeyRemapper::trackKeyState(KeyEvent& event, KeyCode physicalKey, bool& keep)
{
    if (physicalKey < 0 || physicalKey >= static_cast<KeyCode>(downAs_.size()))
        return;
    int16_t& wentOutAs = downAs_[static_cast<size_t>(physicalKey)];
    if (event.type == EventType::KeyDown) {
        if (!keep)
            return;
        if (wentOutAs >= 0) {
            event.keyCode = wentOutAs; // a repeat goes out as the key the application holds
        } else {
            // A repeat of a press this tap never saw (made while paused or
            // before the tap existed): the application holds the key itself.
            if (event.autorepeat && physicalKey != kc::kVK_F19)
                event.keyCode = physicalKey;
            wentOutAs = static_cast<int16_t>(event.keyCode);
        }
    } else if (event.type == EventType::KeyUp) {
        if (wentOutAs == kTakenByLauncher)
            wentOutAs = kNotDown;
        if (wentOutAs >= 0) {
            // Whatever changed since the key went down (Hyper released, the
            // application excluded, a setting), the application gets the
            // key-up of the key it saw go down.
            event.keyCode = wentOutAs;
            keep = true;
            wentOutAs = kNotDown;
        } else if (physicalKey != kc::kVK_F19) {
            // The press never went through this tap (it came while paused or
            // before the tap existed): the application saw the key itself.
            event.keyCode = physicalKey;
        }
    }
}

void KeyRemapper::releaseHeldKeysAndResetState()
{
    emergencyKeys_ = 0;
    for (int16_t& wentOutAs : downAs_) {
        if (wentOutAs >= 0)
            platform_.keyboard.post(KeyEvent{EventType::KeyUp, wentOutAs, 0, kSelfGeneratedEventMarker});
        wentOutAs = kNotDown;
    }
    if (isCapsLockDown_)
        hudMailbox_->hideHyperHUD();
    isCapsLockDown_ = false;
    otherKeyPressedDuringCapsLock_ = false;
    isLeftCmdDown_ = false;
    otherKeyPressedDuringLeftCmd_ = false;
    isRightCmdDown_ = false;
    otherKeyPressedDuringRightCmd_ = false;
}

void KeyRemapper::resetKeyState()
{
    // The keys may still be held when they come back (after the wake): what
    // was held is marked, so that its repeats and release start nothing.
    std::array<bool, 256> held{};
    for (size_t k = 0; k < downAs_.size(); ++k)
        held[k] = downAs_[k] != kNotDown;
    held[kc::kVK_F19] = held[kc::kVK_F19] || isCapsLockDown_; // as Hyper, or as Caps Lock where excluded
    cancelPendingSinglePress();
    releaseHeldKeysAndResetState();
    for (size_t k = 0; k < downAs_.size(); ++k)
        if (held[k])
            downAs_[k] = kHeldThroughReset;
}

void KeyRemapper::cancelPendingSinglePress()
{
    WorkItemPtr pending;
    {
        std::lock_guard lock(singlePressMutex_);
        pendingSinglePress_ = 0;
        pending = std::move(singlePressTimer_);
    }
    if (pending)
        pending->cancel();
}

void KeyRemapper::handleCapsLockTap()
{
    if (!loadSnapshot().isCapsLockDoubleTapEnabled) {
        performSinglePress();
        return;
    }

    // The pending single press is claimed by exactly one side: this second
    // tap (which cancels it and toggles Caps Lock) or its own work item.
    WorkItemPtr pending;
    uint64_t generation = 0;
    {
        std::lock_guard lock(singlePressMutex_);
        if (pendingSinglePress_ != 0) {
            pendingSinglePress_ = 0;
            pending = std::move(singlePressTimer_);
        } else {
            // Its key carries the low 32 bits, never all zero.
            if ((++singlePressGeneration_ & 0xFFFFFFFFu) == 0)
                ++singlePressGeneration_;
            generation = pendingSinglePress_ = singlePressGeneration_;
        }
    }
    if (generation == 0) {
        if (pending)
            pending->cancel();
        toggleCapsLockState();
        return;
    }

    QPointer<KeyRemapper> self = weakSelf_;
    WorkItemPtr item = platform_.scheduler.postAfter(kDoubleTapThreshold, [self, generation] {
        if (self)
            self->singlePressDue(generation);
    });
    std::lock_guard lock(singlePressMutex_);
    if (pendingSinglePress_ == generation)
        singlePressTimer_ = std::move(item);
}

// When the tap thread lags (a loaded machine), the second tap may already
// wait in the keyboard's queue as the window closes here. So the key is not
// claimed here but posted with its tap's number, and the tap thread, which
// reads the keyboards before what was posted, claims it as it passes, unless
// that second tap came first. A single press that types nothing is claimed
// here: there is no key to carry it.
void KeyRemapper::singlePressDue(uint64_t generation)
{
    const Snapshot s = loadSnapshot();
    if (s.isSinglePressEnabled && s.singlePressConfig != SinglePressConfig::non) {
        const KeyCode key = s.singlePressConfig == SinglePressConfig::esc ? kc::kVK_Escape : kc::kVK_ForwardDelete;
        const int64_t marker = kSinglePressMarker | static_cast<int64_t>(generation & 0xFFFFFFFFu);
        platform_.keyboard.post(KeyEvent{EventType::KeyDown, key, 0, marker});
        platform_.keyboard.post(KeyEvent{EventType::KeyUp, key, 0, marker});
        return;
    }
    std::lock_guard lock(singlePressMutex_);
    if (pendingSinglePress_ == generation) {
        pendingSinglePress_ = 0;
        singlePressTimer_.reset();
    }
}

bool KeyRemapper::letSinglePressOut(KeyEvent& event)
{
    const uint64_t tap = static_cast<uint64_t>(event.userData) & 0xFFFFFFFFu;
    event.userData = kSelfGeneratedEventMarker;
    if (event.type == EventType::KeyUp)
        return std::exchange(singlePressGoingOut_, 0) == tap;
    WorkItemPtr done;
    std::lock_guard lock(singlePressMutex_);
    if (pendingSinglePress_ == 0 || (pendingSinglePress_ & 0xFFFFFFFFu) != tap)
        return false;
    pendingSinglePress_ = 0;
    done = std::move(singlePressTimer_);
    singlePressGoingOut_ = tap;
    return true;
}

void KeyRemapper::performSinglePress()
{
    const Snapshot s = loadSnapshot();
    if (!s.isSinglePressEnabled || s.singlePressConfig == SinglePressConfig::non)
        return;
    postKeyPress(s.singlePressConfig == SinglePressConfig::esc ? kc::kVK_Escape : kc::kVK_ForwardDelete);
}

void KeyRemapper::toggleCapsLockState()
{
    if (const auto state = platform_.capsLock.lockState())
        platform_.capsLock.setLockState(!*state);
}

void KeyRemapper::postKeyPress(KeyCode keyCode)
{
    platform_.keyboard.post(KeyEvent{EventType::KeyDown, keyCode, 0, kSelfGeneratedEventMarker});
    platform_.keyboard.post(KeyEvent{EventType::KeyUp, keyCode, 0, kSelfGeneratedEventMarker});
}

} // namespace kestrune
