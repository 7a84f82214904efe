// The stores kept in the settings (launcher shortcuts, excluded apps): what
// decodes, encodes and decodes again to the same list, and encoding that
// list again gives the same bytes.

#include "FuzzCheck.h"

#include "exclusions/ExcludedAppCodec.h"
#include "launcher/LauncherShortcutCodec.h"

#include <cstddef>
#include <cstdint>

using namespace kestrune;

namespace {

bool sameApps(const QList<ExcludedApp>& a, const QList<ExcludedApp>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].id != b[i].id || a[i].bundleID != b[i].bundleID || a[i].name != b[i].name || a[i].path != b[i].path)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const ShortcutDecodeResult shortcuts = decodeShortcuts(bytes);
    FUZZ_CHECK(shortcuts.error.isEmpty() || shortcuts.shortcuts.isEmpty());
    if (shortcuts.error.isEmpty()) {
        const QByteArray encoded = encodeShortcuts(shortcuts.shortcuts);
        const ShortcutDecodeResult again = decodeShortcuts(encoded);
        FUZZ_CHECK(again.error.isEmpty());
        FUZZ_CHECK(again.shortcuts == shortcuts.shortcuts);
        FUZZ_CHECK(encodeShortcuts(again.shortcuts) == encoded);
    }

    if (const std::optional<QList<ExcludedApp>> apps = decodeExcludedApps(bytes)) {
        const QByteArray encoded = encodeExcludedApps(*apps);
        const std::optional<QList<ExcludedApp>> again = decodeExcludedApps(encoded);
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(sameApps(*again, *apps));
        FUZZ_CHECK(encodeExcludedApps(*again) == encoded);
    }
    return 0;
}
