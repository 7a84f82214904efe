#include "platform/HidKeyMapping.h"

#include <QRegularExpression>

namespace kestrune {

namespace {
std::optional<uint64_t> parseNumber(const QString& text)
{
    bool ok = false;
    const QString t = text.trimmed();
    const uint64_t v = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toULongLong(&ok, 16)
                                                                              : t.toULongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}
} // namespace

std::optional<HidUsageMapping> parseUserKeyMappingCommand(const QString& commandLine)
{
    // hidutil accepts hexadecimal numbers, which JSON does not, so the
    // property is read with a small pattern instead of a JSON parser.
    static const QRegularExpression command(
        QStringLiteral(R"(^\s*hidutil\s+property\s+--set\s+'\s*\{\s*"UserKeyMapping"\s*:\s*\[(.*)\]\s*\}\s*'\s*$)"));
    const auto match = command.match(commandLine);
    if (!match.hasMatch())
        return std::nullopt;
    const QString body = match.captured(1).trimmed();
    HidUsageMapping mapping;
    if (body.isEmpty())
        return mapping;
    static const QRegularExpression entry(QStringLiteral(
        R"(^\{\s*"HIDKeyboardModifierMappingSrc"\s*:\s*(\w+)\s*,\s*"HIDKeyboardModifierMappingDst"\s*:\s*(\w+)\s*\}$)"));
    for (const QString& item : body.split(QLatin1Char('}'), Qt::SkipEmptyParts)) {
        QString text = item.trimmed();
        if (text.startsWith(QLatin1Char(',')))
            text = text.mid(1).trimmed();
        if (text.isEmpty())
            continue;
        const auto m = entry.match(text + QLatin1Char('}'));
        if (!m.hasMatch())
            return std::nullopt;
        const auto src = parseNumber(m.captured(1));
        const auto dst = parseNumber(m.captured(2));
        if (!src || !dst)
            return std::nullopt;
        mapping.emplace_back(*src, *dst);
    }
    return mapping;
}

bool mapsCapsLockToF19(const HidUsageMapping& mapping)
{
    for (const auto& [src, dst] : mapping)
        if (src == kHidUsageCapsLock && dst == kHidUsageF19)
            return true;
    return false;
}

} // namespace kestrune
