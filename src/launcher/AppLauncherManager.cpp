#include "launcher/AppLauncherManager.h"
#include "launcher/LauncherShortcutCodec.h"
#include "base/KeyNames.h"
#include "base/Uuid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
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
    list.removeIf([&](const LauncherShortcut& s) { return s.id == id; });
    setShortcuts(list);
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
    static constexpr struct {
        KeyCode code;
        const char* name;
    } kNames[] = {
        {0, "A"},      {1, "S"},       {2, "D"},      {3, "F"},        {4, "H"},    {5, "G"},      {6, "Z"},
        {7, "X"},      {8, "C"},       {9, "V"},      {11, "B"},       {12, "Q"},   {13, "W"},     {14, "E"},
        {15, "R"},     {16, "Y"},      {17, "T"},     {18, "1"},       {19, "2"},   {20, "3"},     {21, "4"},
        {22, "6"},     {23, "5"},      {25, "9"},     {26, "7"},       {28, "8"},   {29, "0"},     {31, "O"},
        {32, "U"},     {34, "I"},      {35, "P"},     {36, "Enter"},   {37, "L"},   {38, "J"},     {40, "K"},
        {45, "N"},     {46, "M"},      {49, "Space"}, {53, "Esc"},    {123, "Left"}, {124, "Right"},
        {125, "Down"}, {126, "Up"},
    };
    // The key that deletes backwards is Delete on a Mac, Backspace on a PC.
    if (keyCode == kc::kVK_Delete)
        return keyNames().backspace;
    for (const auto& entry : kNames)
        if (entry.code == keyCode)
            return QString::fromLatin1(entry.name);
    return QStringLiteral("Key %1").arg(keyCode);
}

} // namespace kestrune
