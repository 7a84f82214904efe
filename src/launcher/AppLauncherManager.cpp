#include "launcher/AppLauncherManager.h"
#include "launcher/LauncherShortcutCodec.h"
#include "base/KeyNames.h"
#include "base/Uuid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <optional>
#include <utility>

namespace kestrune {

namespace {

const QString kLogPrefix = QStringLiteral("AppLauncherManager: ");

// A plain absolute path given where a URL is expected names a local file.
QUrl asFileUrl(const QUrl& url)
{
    if (url.scheme().isEmpty() && url.path().startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(url.path());
    return url;
}

// Last path component without its extension: ".../Visual Studio Code.app/" → "Visual Studio Code".
QString applicationName(const QUrl& url)
{
    QString path = url.path(QUrl::FullyDecoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return name;
}

} // namespace

AppLauncherManager::AppLauncherManager(UserDefaults& defaults, Workspace& workspace, Scheduler& scheduler,
                                       Console& console, QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , workspace_(workspace)
    , scheduler_(scheduler)
    , console_(console)
    , self_(this)
    , snapshot_(std::make_shared<const Snapshot>())
{
    enabled_ = defaults_.boolValue(kEnabledKey).value_or(false);
    tapEnabled_.store(enabled_, std::memory_order_release);
    loadShortcuts();
}

AppLauncherManager::~AppLauncherManager()
{
}

void AppLauncherManager::setEnabled(bool enabled)
{
    enabled_ = enabled;
    tapEnabled_.store(enabled, std::memory_order_release);
    defaults_.setValue(kEnabledKey, enabled);
    emit isEnabledChanged();
}

void AppLauncherManager::setShortcuts(const QList<LauncherShortcut>& shortcuts)
{
    forgetRemoval();
    shortcuts_ = shortcuts;
    publishSnapshot();
    saveShortcuts();
    emit shortcutsChanged();
}

void AppLauncherManager::addShortcut(const QUrl& appURL, qint64 keyCode)
{
    // Two assignments, as a rebinding is a removal followed by an addition.
    QList<LauncherShortcut> list = shortcuts_;
    list.removeIf([&](const LauncherShortcut& s) { return s.keyCode == keyCode; });
    setShortcuts(list);

    const QUrl url = storableAppUrl(asFileUrl(appURL).toString(QUrl::FullyEncoded)); // as it reads back
    list.append(LauncherShortcut{QUuid::createUuid(), keyCode, url, applicationName(url)});
    setShortcuts(list);
}

void AppLauncherManager::removeShortcut(const QUuid& id)
{
    QList<LauncherShortcut> list = shortcuts_;
    std::optional<std::pair<qsizetype, LauncherShortcut>> removed;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].id == id) {
            removed = std::pair{i, list[i]};
            break;
        }
    }
    list.removeIf([&](const LauncherShortcut& s) { return s.id == id; });
    setShortcuts(list);
    removed_ = std::move(removed);
    emit undoableRemovalChanged();
}

void AppLauncherManager::undoRemoval()
{
    if (!removed_)
        return;
    const auto [index, shortcut] = *std::exchange(removed_, std::nullopt);
    QList<LauncherShortcut> list = shortcuts_;
    // A key bound again meanwhile keeps its newer binding. The key is copied
    // out because clang before 16 cannot capture a structured binding.
    const qint64 keyCode = shortcut.keyCode;
    if (std::none_of(list.begin(), list.end(), [keyCode](const LauncherShortcut& s) { return s.keyCode == keyCode; }))
        list.insert(std::min(index, list.size()), shortcut);
    setShortcuts(list);
    emit undoableRemovalChanged();
}

void AppLauncherManager::forgetRemoval()
{
    if (std::exchange(removed_, std::nullopt))
        emit undoableRemovalChanged();
}

bool AppLauncherManager::launchShortcut(KeyCode keyCode)
{
    if (!tapEnabled_.load(std::memory_order_acquire) || keyCode < 0 || keyCode >= 256)
        return false;
    const auto bit = static_cast<unsigned>(keyCode);
    if (!(boundKeys_[bit / 64].load(std::memory_order_acquire) & (uint64_t{1} << (bit % 64))))
        return false;
    std::shared_ptr<const Snapshot> snapshot;
    {
        std::lock_guard lock(snapshotMutex_);
        snapshot = snapshot_;
    }
    // Stored data may bind a key twice; the first binding wins.
    for (const Binding& binding : *snapshot) {
        if (binding.keyCode == keyCode) {
            scheduler_.post([self = self_, url = binding.appURL] {
                if (self)
                    self->launchApp(QUrl::fromEncoded(QByteArray::fromStdString(url)));
            });
            return true;
        }
    }
    return false;
}

void AppLauncherManager::launchApp(const QUrl& url)
{
    workspace_.openApplication(url, [self = self_, url](const QString& error) {
        if (self && !error.isEmpty())
            self->console_.printLine(kLogPrefix + QStringLiteral("Failed to launch app at ")
                                     + url.toString(QUrl::FullyEncoded) + QStringLiteral(": ") + error);
    });
}

void AppLauncherManager::publishSnapshot()
{
    auto next = std::make_shared<Snapshot>();
    next->reserve(static_cast<size_t>(shortcuts_.size()));
    for (const LauncherShortcut& s : shortcuts_)
        next->push_back({s.keyCode, s.appURL.toEncoded().toStdString()});
    std::array<uint64_t, 4> bound{};
    for (const Binding& b : *next)
        if (b.keyCode >= 0 && b.keyCode < 256)
            bound[static_cast<size_t>(b.keyCode) / 64] |= uint64_t{1} << (b.keyCode % 64);
    // A key being bound is in the set before the snapshot has it, and one
    // being unbound leaves the set only after: the set never says "not
    // bound" for a key the current snapshot binds.
    for (size_t i = 0; i < bound.size(); ++i)
        boundKeys_[i].fetch_or(bound[i], std::memory_order_release);
    std::shared_ptr<const Snapshot> previous = std::move(next);
    {
        std::lock_guard lock(snapshotMutex_);
        snapshot_.swap(previous);
    }
    for (size_t i = 0; i < bound.size(); ++i)
        boundKeys_[i].fetch_and(bound[i], std::memory_order_release);
    // The old copy is usually freed here; only when a lookup is still
    // walking it does the tap thread free it afterwards.
}

void AppLauncherManager::loadShortcuts()
{
    const std::optional<QByteArray> data = defaults_.dataValue(kShortcutsKey);
    if (!data)
        return;
    // Older versions embedded each application's icon in the record.
    const bool legacy = data->contains(QByteArrayLiteral("\"iconData\""));

    ShortcutDecodeResult decoded = decodeShortcuts(*data);
    if (!decoded.error.isEmpty()) {
        // The stored bytes stay as they are until the user next changes the
        // list, and are kept aside then.
        console_.printLine(kLogPrefix + QStringLiteral("Failed to decode shortcuts: ") + decoded.error);
        undecodable_ = *data;
        defaults_.noticeUndecodable(kShortcutsKey);
        return;
    }
    // The assignment saves, which stores fresh ids and drops icon data.
    setShortcuts(decoded.shortcuts);
    if (legacy)
        console_.printLine(kLogPrefix + QStringLiteral("Compacted legacy launcher shortcut data."));
}

void AppLauncherManager::saveShortcuts()
{
    if (undecodable_)
        defaults_.setValue(UserDefaults::keptAsideKey(kShortcutsKey), *std::exchange(undecodable_, std::nullopt));
    // Strings and integers always encode, so there is no failure to report.
    defaults_.setValue(kShortcutsKey, encodeShortcuts(shortcuts_));
}

QString AppLauncherManager::keyDisplayName(KeyCode keyCode)
{
    // Every key a binding can take (modifiers aside), by its legend: a PC
    // keyboard's on Linux, an Apple keyboard's on macOS where they differ.
    static constexpr struct {
        KeyCode code;
        const char* name;
        const char* macName; // null: the same
    } kNames[] = {
        {0x00, "A", nullptr}, {0x01, "S", nullptr}, {0x02, "D", nullptr}, {0x03, "F", nullptr},
        {0x04, "H", nullptr}, {0x05, "G", nullptr}, {0x06, "Z", nullptr}, {0x07, "X", nullptr},
        {0x08, "C", nullptr}, {0x09, "V", nullptr}, {0x0A, "<", "§"}, {0x0B, "B", nullptr},
        {0x0C, "Q", nullptr}, {0x0D, "W", nullptr}, {0x0E, "E", nullptr}, {0x0F, "R", nullptr},
        {0x10, "Y", nullptr}, {0x11, "T", nullptr}, {0x12, "1", nullptr}, {0x13, "2", nullptr},
        {0x14, "3", nullptr}, {0x15, "4", nullptr}, {0x16, "6", nullptr}, {0x17, "5", nullptr},
        {0x18, "=", nullptr}, {0x19, "9", nullptr}, {0x1A, "7", nullptr}, {0x1B, "-", nullptr},
        {0x1C, "8", nullptr}, {0x1D, "0", nullptr}, {0x1E, "]", nullptr}, {0x1F, "O", nullptr},
        {0x20, "U", nullptr}, {0x21, "[", nullptr}, {0x22, "I", nullptr}, {0x23, "P", nullptr},
        {0x24, "Enter", "Return"}, {0x25, "L", nullptr}, {0x26, "J", nullptr}, {0x27, "'", nullptr},
        {0x28, "K", nullptr}, {0x29, ";", nullptr}, {0x2A, "\\", nullptr}, {0x2B, ",", nullptr},
        {0x2C, "/", nullptr}, {0x2D, "N", nullptr}, {0x2E, "M", nullptr}, {0x2F, ".", nullptr},
        {0x30, "Tab", nullptr}, {0x31, "Space", nullptr}, {0x32, "`", nullptr}, {0x35, "Esc", nullptr},
        {0x40, "F17", nullptr}, {0x41, "Keypad .", nullptr}, {0x43, "Keypad *", nullptr},
        {0x45, "Keypad +", nullptr}, {0x47, "Num Lock", "Clear"}, {0x4B, "Keypad /", nullptr},
        {0x4C, "Keypad Enter", nullptr}, {0x4E, "Keypad -", nullptr}, {0x4F, "F18", nullptr},
        {0x50, "F19", nullptr}, {0x51, "Keypad =", nullptr}, {0x52, "Keypad 0", nullptr},
        {0x53, "Keypad 1", nullptr}, {0x54, "Keypad 2", nullptr}, {0x55, "Keypad 3", nullptr},
        {0x56, "Keypad 4", nullptr}, {0x57, "Keypad 5", nullptr}, {0x58, "Keypad 6", nullptr},
        {0x59, "Keypad 7", nullptr}, {0x5A, "F20", nullptr}, {0x5B, "Keypad 8", nullptr},
        {0x5C, "Keypad 9", nullptr}, {0x5D, "¥", nullptr}, {0x5E, "_", nullptr}, {0x5F, "Keypad ,", nullptr},
        {0x60, "F5", nullptr}, {0x61, "F6", nullptr}, {0x62, "F7", nullptr}, {0x63, "F3", nullptr},
        {0x64, "F8", nullptr}, {0x65, "F9", nullptr}, {0x66, "Eisu", "英数"}, {0x67, "F11", nullptr},
        {0x68, "Kana", "かな"}, {0x69, "F13", nullptr}, {0x6A, "F16", nullptr}, {0x6B, "F14", nullptr},
        {0x6D, "F10", nullptr}, {0x6E, "Menu", nullptr}, {0x6F, "F12", nullptr}, {0x71, "F15", nullptr},
        {0x72, "Insert", "Help"}, {0x73, "Home", nullptr}, {0x74, "Page Up", nullptr},
        {0x76, "F4", nullptr}, {0x77, "End", nullptr}, {0x78, "F2", nullptr}, {0x79, "Page Down", nullptr},
        {0x7A, "F1", nullptr}, {0x7B, "Left", nullptr}, {0x7C, "Right", nullptr}, {0x7D, "Down", nullptr},
        {0x7E, "Up", nullptr},
    };
    // The two delete keys go by the platform's names (Backspace and Delete
    // on a PC, Delete and Fn + Delete on a Mac).
    const KeyNames names = keyNames();
    if (keyCode == kc::kVK_Delete)
        return names.backspace;
    if (keyCode == kc::kVK_ForwardDelete)
        return names.forwardDelete;
    for (const auto& entry : kNames) {
        if (entry.code == keyCode)
            return QString::fromUtf8(names.isMac() && entry.macName ? entry.macName : entry.name);
    }
    return QStringLiteral("Key %1").arg(keyCode);
}

} // namespace kestrune
