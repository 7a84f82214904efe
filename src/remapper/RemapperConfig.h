#pragma once
// The four configuration enumerations of the remapper: their stored raw
// values (the case names), display texts and the Hyper modifier masks.

#include "base/KeyCodes.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <array>
#include <optional>

namespace kestrune::config {
Q_NAMESPACE
QML_NAMED_ELEMENT(RemapperConfig)

// The modifier combination that a held Caps Lock adds to other keys.
enum class HyperKeyConfig : uint8_t {
    hyper, cmdOptCtrl, cmdOptShift, cmdCtrlShift, optCtrlShift,
    cmdOpt, cmdCtrl, cmdShift, optCtrl, optShift, ctrlShift,
};
Q_ENUM_NS(HyperKeyConfig)

// What a lone Caps Lock tap produces.
enum class SinglePressConfig : uint8_t { non, esc, fnDelete };
Q_ENUM_NS(SinglePressConfig)

// What lone taps of the left and right Command keys produce.
enum class CmdEisuKanaConfig : uint8_t { leftEisuRightKana, leftDelRightFnDel };
Q_ENUM_NS(CmdEisuKanaConfig)

// The Arrow Mode layout: H/J/K/L or W/A/S/D.
enum class VimModeConfig : uint8_t { vim, gamer };
Q_ENUM_NS(VimModeConfig)

inline constexpr std::array kAllHyperKeyConfigs = {
    HyperKeyConfig::hyper, HyperKeyConfig::cmdOptCtrl, HyperKeyConfig::cmdOptShift,
    HyperKeyConfig::cmdCtrlShift, HyperKeyConfig::optCtrlShift, HyperKeyConfig::cmdOpt,
    HyperKeyConfig::cmdCtrl, HyperKeyConfig::cmdShift, HyperKeyConfig::optCtrl,
    HyperKeyConfig::optShift, HyperKeyConfig::ctrlShift,
};
inline constexpr std::array kAllSinglePressConfigs = {
    SinglePressConfig::non, SinglePressConfig::esc, SinglePressConfig::fnDelete};
inline constexpr std::array kAllCmdEisuKanaConfigs = {
    CmdEisuKanaConfig::leftEisuRightKana, CmdEisuKanaConfig::leftDelRightFnDel};
inline constexpr std::array kAllVimModeConfigs = {VimModeConfig::vim, VimModeConfig::gamer};

// Event-flag mask added while Hyper is held (Shift 0x20000, Control 0x40000,
// Option 0x80000, Command 0x100000).
constexpr uint64_t modifierFlags(HyperKeyConfig c)
{
    using namespace kestrune::flags;
    switch (c) {
    case HyperKeyConfig::hyper: return kCommand | kOption | kControl | kShift;
    case HyperKeyConfig::cmdOptCtrl: return kCommand | kOption | kControl;
    case HyperKeyConfig::cmdOptShift: return kCommand | kOption | kShift;
    case HyperKeyConfig::cmdCtrlShift: return kCommand | kControl | kShift;
    case HyperKeyConfig::optCtrlShift: return kOption | kControl | kShift;
    case HyperKeyConfig::cmdOpt: return kCommand | kOption;
    case HyperKeyConfig::cmdCtrl: return kCommand | kControl;
    case HyperKeyConfig::cmdShift: return kCommand | kShift;
    case HyperKeyConfig::optCtrl: return kOption | kControl;
    case HyperKeyConfig::optShift: return kOption | kShift;
    case HyperKeyConfig::ctrlShift: return kControl | kShift;
    }
    return 0;
}

// Raw values as stored in the user defaults; parsing is exact (case-sensitive).
QString rawValue(HyperKeyConfig c);
QString rawValue(SinglePressConfig c);
QString rawValue(CmdEisuKanaConfig c);
QString rawValue(VimModeConfig c);
std::optional<HyperKeyConfig> hyperKeyConfigFromRaw(const QString& raw);
std::optional<SinglePressConfig> singlePressConfigFromRaw(const QString& raw);
std::optional<CmdEisuKanaConfig> cmdEisuKanaConfigFromRaw(const QString& raw);
std::optional<VimModeConfig> vimModeConfigFromRaw(const QString& raw);

// Display texts, translated where a translation exists, with the key names
// of the platform's table (base/KeyNames.h).
QString displayName(HyperKeyConfig c);
// What a closed picker shows: the display name, shortened where it must be.
QString shortDisplayName(HyperKeyConfig c);
QString displayName(SinglePressConfig c);
QString displayName(CmdEisuKanaConfig c);
// The left and the right key's result, without "Left:"/"Right:": what the
// card's narrow closed picker shows.
QString shortDisplayName(CmdEisuKanaConfig c);
QString displayName(VimModeConfig c);

} // namespace kestrune::config
