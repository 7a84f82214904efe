#include "hud/HudViewModels.h"

#include "base/KeyNames.h"

namespace kestrune {

QString hyperGlyphs(config::HyperKeyConfig config)
{
    return keyNames().combination(config::modifierFlags(config));
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
