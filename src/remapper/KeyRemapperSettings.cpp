// Settings: loading at creation, the cached copies and the change handlers.

#include "remapper/KeyRemapper.h"

namespace kestrune {

namespace keys {
const QString isHyperKeyEnabled = QStringLiteral("isHyperKeyEnabled");
const QString hyperKeyConfig = QStringLiteral("hyperKeyConfig");
const QString isSinglePressEnabled = QStringLiteral("isSinglePressEnabled");
const QString isCmdEisuKanaEnabled = QStringLiteral("isCmdEisuKanaEnabled");
const QString cmdEisuKanaConfig = QStringLiteral("cmdEisuKanaConfig");
const QString singlePressConfig = QStringLiteral("singlePressConfig");
const QString isCapsLockDoubleTapEnabled = QStringLiteral("isCapsLockDoubleTapEnabled");
const QString isVimModeEnabled = QStringLiteral("isVimModeEnabled");
const QString vimModeConfig = QStringLiteral("vimModeConfig");
} // namespace keys

KeyRemapper::KeyRemapper(Platform& platform, Collaborators collaborators, QObject* parent)
    : QObject(parent), platform_(platform), with_(collaborators)
    , hudMailbox_(HudMailbox::create(platform.scheduler, collaborators.hud))
{
    downAs_.fill(kNotDown);
    loadSettings();
    status_ = new RemapperStatus(*this, this);
    if (platform_.session) {
        QPointer<KeyRemapper> self = weakSelf_;
        platform_.session->setActiveHandler([self](bool active) {
            if (self)
                self->handleSessionActiveChanged(active);
        });
    }
    if (platform_.inputMethod && with_.hud) {
        HudRequests* hud = with_.hud;
        platform_.inputMethod->setReachedHandler([hud](InputMode mode) { hud->showInputModeHUD(mode); });
    }
}

KeyRemapper::~KeyRemapper()
{
    // Observers and timers hold the remapper weakly; stopping here only
    // ends the tap thread, which must not outlive the object it calls.
    unwatchSystemSettingsActivation();
    stopHIDDeviceMonitoring();
    if (axCheckTimer_)
        axCheckTimer_->cancel();
    cancelTapRetry();
    if (platform_.session)
        platform_.session->setActiveHandler({});
    if (platform_.inputMethod)
        platform_.inputMethod->setReachedHandler({});
    tearDownTap();
    for (auto& t : retiredThreads_)
        if (t->thread.joinable())
            t->thread.join();
    hudMailbox_->retire(); // no tap thread is left to use it
}

void KeyRemapper::loadSettings()
{
    // Loading writes nothing back and starts nothing: a bad stored value
    // stays as it is until the setting is next changed.
    const UserDefaults& d = platform_.defaults;
    isEnabled_ = true;
    isHyperKeyEnabled_ = d.boolValue(keys::isHyperKeyEnabled).value_or(true);
    isSinglePressEnabled_ = d.boolValue(keys::isSinglePressEnabled).value_or(true);
    isCmdEisuKanaEnabled_ = d.boolValue(keys::isCmdEisuKanaEnabled).value_or(false);
    isCapsLockDoubleTapEnabled_ = d.boolValue(keys::isCapsLockDoubleTapEnabled).value_or(false);
    isVimModeEnabled_ = d.boolValue(keys::isVimModeEnabled).value_or(true);
    auto raw = [&](const QString& key) { return d.stringValue(key).value_or(QString()); };
    hyperKeyConfig_ = config::hyperKeyConfigFromRaw(raw(keys::hyperKeyConfig)).value_or(HyperKeyConfig::hyper);
    singlePressConfig_ = config::singlePressConfigFromRaw(raw(keys::singlePressConfig)).value_or(SinglePressConfig::non);
    cmdEisuKanaConfig_ = config::cmdEisuKanaConfigFromRaw(raw(keys::cmdEisuKanaConfig))
                             .value_or(CmdEisuKanaConfig::leftEisuRightKana);
    vimModeConfig_ = config::vimModeConfigFromRaw(raw(keys::vimModeConfig)).value_or(VimModeConfig::vim);
    isDebugEnabled_ = false;
    debugLog_ = QStringLiteral("Ready.\n");
    updateCache();
}

void KeyRemapper::updateCache()
{
    updateCached([&](Snapshot& c) {
        c.isEnabled = isEnabled_;
        c.isHyperKeyEnabled = isHyperKeyEnabled_;
        c.hyperKeyConfig = hyperKeyConfig_;
        c.isSinglePressEnabled = isSinglePressEnabled_;
        c.isCmdEisuKanaEnabled = isCmdEisuKanaEnabled_;
        c.cmdEisuKanaConfig = cmdEisuKanaConfig_;
        c.singlePressConfig = singlePressConfig_;
        c.isCapsLockDoubleTapEnabled = isCapsLockDoubleTapEnabled_;
        c.isVimModeEnabled = isVimModeEnabled_;
        c.vimModeConfig = vimModeConfig_;
    });
}

// Each setter: store the value, mirror it into the cache (the very next key
// event uses it), notify, then write the user default and trigger the effect.

void KeyRemapper::pauseForEmergency()
{
    if (!isEnabled_)
        return;
    pausedByEmergency_ = true;
    setIsEnabled(false);
}

void KeyRemapper::setIsEnabled(bool value)
{
    if (value == isEnabled_)
        return;
    isEnabled_ = value;
    if (value)
        pausedByEmergency_ = false;
    updateCached([&](Snapshot& c) { c.isEnabled = value; });
    emit isEnabledChanged();
    // Not stored: every launch starts enabled, so a pause lasts until quit.
    if (value)
        start();
    else
        stop();
}

void KeyRemapper::setIsHyperKeyEnabled(bool value)
{
    if (value == isHyperKeyEnabled_)
        return;
    isHyperKeyEnabled_ = value;
    updateCached([&](Snapshot& c) { c.isHyperKeyEnabled = value; });
    emit isHyperKeyEnabledChanged();
    platform_.defaults.setValue(keys::isHyperKeyEnabled, value);
    applyCapsLockMapping();
}

void KeyRemapper::setHyperKeyConfig(HyperKeyConfig value)
{
    if (value == hyperKeyConfig_)
        return;
    hyperKeyConfig_ = value;
    updateCached([&](Snapshot& c) { c.hyperKeyConfig = value; });
    emit hyperKeyConfigChanged();
    deferred([](KeyRemapper& self) {
        self.platform_.defaults.setValue(keys::hyperKeyConfig, config::rawValue(self.hyperKeyConfig_));
        if (self.with_.hud)
            self.with_.hud->setPendingHyperConfig(self.hyperKeyConfig_);
    });
}

void KeyRemapper::setIsSinglePressEnabled(bool value)
{
    if (value == isSinglePressEnabled_)
        return;
    isSinglePressEnabled_ = value;
    updateCached([&](Snapshot& c) { c.isSinglePressEnabled = value; });
    emit isSinglePressEnabledChanged();
    // The mapping follows at once, as for the Hyper switch: deferring it
    // would let F19 reach applications while both features are off.
    applyCapsLockMapping();
    deferred([](KeyRemapper& self) {
        self.platform_.defaults.setValue(keys::isSinglePressEnabled, self.isSinglePressEnabled_);
    });
}

void KeyRemapper::setIsCmdEisuKanaEnabled(bool value)
{
    if (value == isCmdEisuKanaEnabled_)
        return;
    isCmdEisuKanaEnabled_ = value;
    updateCached([&](Snapshot& c) { c.isCmdEisuKanaEnabled = value; });
    emit isCmdEisuKanaEnabledChanged();
    platform_.defaults.setValue(keys::isCmdEisuKanaEnabled, value);
}

void KeyRemapper::setCmdEisuKanaConfig(CmdEisuKanaConfig value)
{
    if (value == cmdEisuKanaConfig_)
        return;
    cmdEisuKanaConfig_ = value;
    updateCached([&](Snapshot& c) { c.cmdEisuKanaConfig = value; });
    emit cmdEisuKanaConfigChanged();
    platform_.defaults.setValue(keys::cmdEisuKanaConfig, config::rawValue(value));
}

void KeyRemapper::setSinglePressConfig(SinglePressConfig value)
{
    if (value == singlePressConfig_)
        return;
    singlePressConfig_ = value;
    updateCached([&](Snapshot& c) { c.singlePressConfig = value; });
    emit singlePressConfigChanged();
    deferred([](KeyRemapper& self) {
        self.platform_.defaults.setValue(keys::singlePressConfig, config::rawValue(self.singlePressConfig_));
    });
}

void KeyRemapper::setIsCapsLockDoubleTapEnabled(bool value)
{
    if (value == isCapsLockDoubleTapEnabled_)
        return;
    isCapsLockDoubleTapEnabled_ = value;
    updateCached([&](Snapshot& c) { c.isCapsLockDoubleTapEnabled = value; });
    emit isCapsLockDoubleTapEnabledChanged();
    platform_.defaults.setValue(keys::isCapsLockDoubleTapEnabled, value);
}

void KeyRemapper::setIsVimModeEnabled(bool value)
{
    if (value == isVimModeEnabled_)
        return;
    isVimModeEnabled_ = value;
    updateCached([&](Snapshot& c) { c.isVimModeEnabled = value; });
    emit isVimModeEnabledChanged();
    platform_.defaults.setValue(keys::isVimModeEnabled, value);
}

void KeyRemapper::setVimModeConfig(VimModeConfig value)
{
    if (value == vimModeConfig_)
        return;
    vimModeConfig_ = value;
    updateCached([&](Snapshot& c) { c.vimModeConfig = value; });
    emit vimModeConfigChanged();
    platform_.defaults.setValue(keys::vimModeConfig, config::rawValue(value));
}

void KeyRemapper::setIsDebugEnabled(bool value)
{
    if (value == isDebugEnabled_)
        return;
    isDebugEnabled_ = value;
    emit isDebugEnabledChanged();
}

void KeyRemapper::setDebugLog(const QString& value)
{
    if (value == debugLog_)
        return;
    debugLog_ = value;
    emit debugLogChanged();
}

} // namespace kestrune
