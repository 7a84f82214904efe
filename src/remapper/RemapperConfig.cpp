#include "remapper/RemapperConfig.h"

#include "base/KeyNames.h"

#include <QCoreApplication>

namespace kestrune::config {

namespace {
template <typename E, size_t N>
std::optional<E> fromRaw(const std::array<E, N>& all, const QString& raw)
{
    for (E e : all)
        if (rawValue(e) == raw)
            return e;
    return std::nullopt;
}

} // namespace

QString rawValue(HyperKeyConfig c)
{
    switch (c) {
    case HyperKeyConfig::hyper: return QStringLiteral("hyper");
    case HyperKeyConfig::cmdOptCtrl: return QStringLiteral("cmdOptCtrl");
    case HyperKeyConfig::cmdOptShift: return QStringLiteral("cmdOptShift");
    case HyperKeyConfig::cmdCtrlShift: return QStringLiteral("cmdCtrlShift");
    case HyperKeyConfig::optCtrlShift: return QStringLiteral("optCtrlShift");
    case HyperKeyConfig::cmdOpt: return QStringLiteral("cmdOpt");
    case HyperKeyConfig::cmdCtrl: return QStringLiteral("cmdCtrl");
    case HyperKeyConfig::cmdShift: return QStringLiteral("cmdShift");
    case HyperKeyConfig::optCtrl: return QStringLiteral("optCtrl");
    case HyperKeyConfig::optShift: return QStringLiteral("optShift");
    case HyperKeyConfig::ctrlShift: return QStringLiteral("ctrlShift");
    }
    return {};
}

QString rawValue(SinglePressConfig c)
{
    switch (c) {
    case SinglePressConfig::non: return QStringLiteral("non");
    case SinglePressConfig::esc: return QStringLiteral("esc");
    case SinglePressConfig::fnDelete: return QStringLiteral("fnDelete");
    }
    return {};
}

QString rawValue(CmdEisuKanaConfig c)
{
    return c == CmdEisuKanaConfig::leftEisuRightKana ? QStringLiteral("leftEisuRightKana")
                                                     : QStringLiteral("leftDelRightFnDel");
}

QString rawValue(VimModeConfig c)
{
    return c == VimModeConfig::vim ? QStringLiteral("vim") : QStringLiteral("gamer");
}

std::optional<HyperKeyConfig> hyperKeyConfigFromRaw(const QString& raw) { return fromRaw(kAllHyperKeyConfigs, raw); }
std::optional<SinglePressConfig> singlePressConfigFromRaw(const QString& raw) { return fromRaw(kAllSinglePressConfigs, raw); }
std::optional<CmdEisuKanaConfig> cmdEisuKanaConfigFromRaw(const QString& raw) { return fromRaw(kAllCmdEisuKanaConfigs, raw); }
std::optional<VimModeConfig> vimModeConfigFromRaw(const QString& raw) { return fromRaw(kAllVimModeConfigs, raw); }

QString displayName(HyperKeyConfig c)
{
    // The platform's table names the modifiers: "⌘ ⌥ ⌃" on macOS,
    // "Super+Alt+Ctrl" on Linux.
    const KeyNames names = keyNames();
    if (c == HyperKeyConfig::hyper) {
        //: Hyper Key: %1 names the four modifiers it adds
        return QCoreApplication::translate("KeyRemapper", "Hyper (%1)", "Hyper Key")
            .arg(names.combination(modifierFlags(c)));
    }
    return names.combination(modifierFlags(c), true);
}

QString shortDisplayName(HyperKeyConfig c)
{
    // On Linux the four names make the first option too wide for a closed
    // picker; its list and its help still name them.
    if (c == HyperKeyConfig::hyper && !keyNames().isMac())
        return QCoreApplication::translate("KeyRemapper", "Hyper", "Hyper Key, all four modifiers");
    return displayName(c);
}

QString displayName(SinglePressConfig c)
{
    switch (c) {
    case SinglePressConfig::non:
        //: No action
        return QCoreApplication::translate("KeyRemapper", "None", "No action");
    case SinglePressConfig::esc:
        //: Escape key
        return QCoreApplication::translate("KeyRemapper", "Esc", "Escape key");
    case SinglePressConfig::fnDelete:
        // Forward Delete: "Fn + Delete" on a Mac, "Delete" on a PC keyboard.
        return keyNames().forwardDelete;
    }
    return {};
}

QString displayName(CmdEisuKanaConfig c)
{
    if (c == CmdEisuKanaConfig::leftEisuRightKana) {
        //: Left Command to Eisu, Right Command to Kana
        return QCoreApplication::translate("KeyRemapper", "Left: Eisu, Right: Kana", "Left Command to Eisu, Right Command to Kana");
    }
    const KeyNames names = keyNames();
    //: Left Command (Super) to %1 (Delete or Backspace), Right Command to %2 (Fn+Del or Delete)
    return QCoreApplication::translate("KeyRemapper", "Left: %1, Right: %2", "Left and right Command key taps")
        .arg(names.backspaceShort, names.forwardDeleteShort);
}

QString shortDisplayName(CmdEisuKanaConfig c)
{
    if (c == CmdEisuKanaConfig::leftEisuRightKana) {
        //: Left Command to Eisu, Right Command to Kana, in a narrow picker
        return QCoreApplication::translate("KeyRemapper", "Eisu / Kana", "Left and right Command key taps, short");
    }
    const KeyNames names = keyNames();
    if (names.isMac())
        return QStringLiteral("%1 / %2").arg(names.backspaceShort, names.forwardDeleteShort);
    // "Backspace / Delete" is too wide for the card; "Del" is how Qt and KDE
    // write the Delete key in shortcuts.
    //: The PC keyboard's Delete key, shortened for a narrow picker
    return QStringLiteral("%1 / %2").arg(names.backspace, QCoreApplication::translate("KeyRemapper", "Del", "Delete key, short"));
}

QString displayName(VimModeConfig c)
{
    return c == VimModeConfig::vim ? QStringLiteral("H/J/K/L") : QStringLiteral("W/A/S/D");
}

} // namespace kestrune::config
