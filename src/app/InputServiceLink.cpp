#include "app/InputServiceLink.h"

#include "exclusions/AppExclusionManager.h"
#include "launcher/AppLauncherManager.h"
#include "platform/linux/InputServiceClient.h"
#include "remapper/KeyRemapper.h"

#include <algorithm>

namespace kestrune {

using namespace inputd;

InputServiceLink::InputServiceLink(InputServiceClient& client, Models models, QObject* parent)
    : QObject(parent), client_(client), m_(std::move(models))
{
    KeyRemapper& r = m_.remapper;
    for (auto signal : {&KeyRemapper::isEnabledChanged, &KeyRemapper::isHyperKeyEnabledChanged,
                        &KeyRemapper::hyperKeyConfigChanged, &KeyRemapper::isSinglePressEnabledChanged,
                        &KeyRemapper::singlePressConfigChanged, &KeyRemapper::isCmdEisuKanaEnabledChanged,
                        &KeyRemapper::cmdEisuKanaConfigChanged, &KeyRemapper::isCapsLockDoubleTapEnabledChanged,
                        &KeyRemapper::isVimModeEnabledChanged, &KeyRemapper::vimModeConfigChanged})
        connect(&r, signal, this, &InputServiceLink::sendSettings);
    connect(&m_.launcher, &AppLauncherManager::isEnabledChanged, this, &InputServiceLink::sendLauncherKeys);
    connect(&m_.launcher, &AppLauncherManager::shortcutsChanged, this, &InputServiceLink::sendLauncherKeys);
    connect(&m_.exclusions, &AppExclusionManager::isCurrentAppExcludedChanged, this, &InputServiceLink::sendExcluded);

    connect(&client_, &InputServiceClient::connected, this, &InputServiceLink::sendAll);
    connect(&client_, &InputServiceClient::stateChanged, this, &InputServiceLink::serviceStateChanged);
    connect(&client_, &InputServiceClient::hudRequested, this, [this](const Hud& hud) {
        switch (hud.action) {
        case Hud::Action::showHyper: m_.hud.showHyperHUD(Millis{hud.delayMs}); break;
        case Hud::Action::hideHyper: m_.hud.hideHyperHUD(); break;
        case Hud::Action::pendingHyper:
            m_.hud.setPendingHyperConfig(config::kAllHyperKeyConfigs.at(hud.value));
            break;
        case Hud::Action::showInputMode:
            m_.hud.showInputModeHUD(hud.value == 1 ? InputMode::kana : InputMode::eisu);
            break;
        }
    });
    connect(&client_, &InputServiceClient::inputModeRequested, this, [this](InputMode mode) {
        // Gone since the settings said otherwise: the HUD still answers.
        if (!m_.inputMethod || !m_.inputMethod->request(mode))
            m_.hud.showInputModeHUD(mode);
    });
    connect(&client_, &InputServiceClient::launchRequested, this,
            [this](int keyCode) { m_.launcher.launchShortcut(keyCode); });
    if (client_.state() == InputServiceClient::State::connected)
        sendAll();
    wasUsable_ = client_.isUsable();
}

void InputServiceLink::sendAll()
{
    sendLauncherKeys();
    sendExcluded();
    sendSettings(); // last: the service starts reading once it has them
}

void InputServiceLink::sendSettings()
{
    const KeyRemapper& r = m_.remapper;
    Settings s;
    s.isEnabled = r.isEnabled();
    s.isHyperKeyEnabled = r.isHyperKeyEnabled();
    s.isSinglePressEnabled = r.isSinglePressEnabled();
    s.isCmdEisuKanaEnabled = r.isCmdEisuKanaEnabled();
    s.isCapsLockDoubleTapEnabled = r.isCapsLockDoubleTapEnabled();
    s.isVimModeEnabled = r.isVimModeEnabled();
    s.hyperKeyConfig = static_cast<uint8_t>(r.hyperKeyConfig());
    s.singlePressConfig = static_cast<uint8_t>(r.singlePressConfig());
    s.cmdEisuKanaConfig = static_cast<uint8_t>(r.cmdEisuKanaConfig());
    s.vimModeConfig = static_cast<uint8_t>(r.vimModeConfig());
    s.hasInputMethod = m_.inputMethod && m_.canSwitchInputMethod && m_.canSwitchInputMethod();
    client_.send(s);
}

void InputServiceLink::sendLauncherKeys()
{
    LauncherKeys keys;
    if (m_.launcher.isEnabled()) {
        for (const LauncherShortcut& shortcut : m_.launcher.shortcuts())
            if (shortcut.keyCode >= 0 && shortcut.keyCode < kKeyCodeLimit)
                keys.keyCodes.push_back(static_cast<uint16_t>(shortcut.keyCode));
        std::sort(keys.keyCodes.begin(), keys.keyCodes.end());
        keys.keyCodes.erase(std::unique(keys.keyCodes.begin(), keys.keyCodes.end()), keys.keyCodes.end());
    }
    client_.send(keys);
}

void InputServiceLink::sendExcluded() { client_.send(Excluded{m_.exclusions.isCurrentAppExcluded()}); }

void InputServiceLink::serviceStateChanged()
{
    // The engine's tap stands for the service's: made again on each change,
    // so that the status and the notices say what the service says now.
    // The chord held on a keyboard the service reads pauses it there; the
    // application pauses with it, so that its status and its resume agree.
    const Status& status = client_.status();
    if (client_.state() == InputServiceClient::State::connected && status.state == Status::State::paused
        && !status.reason.isEmpty())
        m_.remapper.pauseForEmergency();
    const bool usable = client_.isUsable();
    const bool changed = usable != wasUsable_;
    wasUsable_ = usable;
    if (changed || !usable)
        m_.remapper.reconnectTap();
}

} // namespace kestrune
