#pragma once
// The HID user key mapping that turns Caps Lock into F19, as the command
// lines that set it. The macOS backend hands them to `hidutil`; the other
// backends read the mapping they describe and apply it in-process.

#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace kestrune {

inline const QString kResetMappingCommand =
    QStringLiteral("hidutil property --set '{\"UserKeyMapping\":[]}'");
inline const QString kApplyMappingCommand = QStringLiteral(
    "hidutil property --set '{\"UserKeyMapping\":[{\"HIDKeyboardModifierMappingSrc\":0x700000039,"
    "\"HIDKeyboardModifierMappingDst\":0x70000006E}]}'");

inline constexpr uint64_t kHidUsageCapsLock = 0x700000039;
inline constexpr uint64_t kHidUsageF19 = 0x70000006E;

using HidUsageMapping = std::vector<std::pair<uint64_t, uint64_t>>; // source → destination

// Reads a "hidutil property --set '{"UserKeyMapping":[…]}'" command line.
// nullopt when the line is not such a command (it then changes no mapping).
std::optional<HidUsageMapping> parseUserKeyMappingCommand(const QString& commandLine);

// True when the mapping sends Caps Lock to F19.
bool mapsCapsLockToF19(const HidUsageMapping& mapping);

} // namespace kestrune
