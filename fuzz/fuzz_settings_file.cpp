// The settings file as found on disk: whatever it holds, loading it, changing
// one setting and loading it again keeps every value that could be read and
// the change itself.

#include "FuzzCheck.h"

#include "base/Console.h"
#include "base/FileDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace kestrune;

namespace {

struct QuietConsole final : Console {
    void printLine(const QString& line) override { lines << line; }
    QStringList lines;
};

// Keys the seeds use, and a fixed few more.
const QStringList kKeys = {QStringLiteral("flag"),           QStringLiteral("name"),
                           QStringLiteral("blob"),           QStringLiteral("a"),
                           QStringLiteral("isHyperKeyEnabled"), QStringLiteral("hyperKeyConfig"),
                           QStringLiteral("launcherShortcuts"), QStringLiteral("")};

QString folder()
{
    // tmpfs where there is one: every write is fsynced.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/kestrune-fuzz-XXXXXX")
                                                                       : QDir::tempPath() + QStringLiteral("/kestrune-fuzz-XXXXXX"));
    return dir.path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString dir = folder();
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    {
        QFile file(dir + QStringLiteral("/settings.json"));
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    QuietConsole console;
    std::vector<std::optional<DefaultsValue>> before;
    {
        FileDefaults first(dir, &console);
        for (const QString& key : kKeys) {
            before.push_back(first.value(key));
            (void)first.boolValue(key);
            (void)first.stringValue(key);
        }
        first.setValue(QStringLiteral("fuzzChange"), true);
        first.removeValue(QStringLiteral("name"));
        first.setValue(QStringLiteral("name"), QStringLiteral("changed"));
    }
    // A newer file that cannot be read at all is left as it was: nothing was saved.
    const bool saved = !console.lines.join(QLatin1Char('\n')).contains(QStringLiteral("changes are not saved"));

    FileDefaults again(dir, &console);
    if (!saved)
        return 0;
    FUZZ_CHECK(again.boolValue(QStringLiteral("fuzzChange")) == true);
    FUZZ_CHECK(again.stringValue(QStringLiteral("name")) == QStringLiteral("changed"));
    for (qsizetype i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i] != QStringLiteral("name"))
            FUZZ_CHECK(again.value(kKeys[i]) == before[size_t(i)]);
    }
    // What was written is a whole file this version reads without complaint.
    QFile written(dir + QStringLiteral("/settings.json"));
    FUZZ_CHECK(written.open(QIODevice::ReadOnly));
    FUZZ_CHECK(QJsonDocument::fromJson(written.readAll()).isObject());
    return 0;
}
