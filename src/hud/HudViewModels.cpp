#include "hud/HudViewModels.h"

namespace kestrune {

QString hyperGlyphs(config::HyperKeyConfig config)
{
    using config::HyperKeyConfig;
    switch (config) {
    case HyperKeyConfig::hyper: return QStringLiteral("⌘⌥⌃⇧");
    case HyperKeyConfig::cmdOptCtrl: return QStringLiteral("⌘⌥⌃");
    case HyperKeyConfig::cmdOptShift: return QStringLiteral("⌘⌥⇧");
    case HyperKeyConfig::cmdCtrlShift: return QStringLiteral("⌘⌃⇧");
    case HyperKeyConfig::optCtrlShift: return QStringLiteral("⌥⌃⇧");
    case HyperKeyConfig::cmdOpt: return QStringLiteral("⌘⌥");
    case HyperKeyConfig::cmdCtrl: return QStringLiteral("⌘⌃");
    case HyperKeyConfig::cmdShift: return QStringLiteral("⌘⇧");
    case HyperKeyConfig::optCtrl: return QStringLiteral("⌥⌃");
    case HyperKeyConfig::optShift: return QStringLiteral("⌥⇧");
    case HyperKeyConfig::ctrlShift: return QStringLiteral("⌃⇧");
    }
    return {};
}

void HyperViewModel::setConfig(config::HyperKeyConfig config)
{
    if (config == config_)
        return;
    config_ = config;
    emit configChanged();
}

void HyperViewModel::setIsVisible(bool visible)
{
    if (visible == isVisible_)
        return;
    isVisible_ = visible;
    emit isVisibleChanged();
}

void InputModeViewModel::setMode(InputMode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    emit modeChanged();
}

QString InputModeViewModel::character() const
{
    return isKana() ? QStringLiteral("あ") : QStringLiteral("A");
}

void InputModeViewModel::setIsVisible(bool visible)
{
    if (visible == isVisible_)
        return;
    isVisible_ = visible;
    emit isVisibleChanged();
}

} // namespace kestrune
