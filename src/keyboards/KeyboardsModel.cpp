#include "keyboards/KeyboardsModel.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace kestrune {

namespace {
const QString kKeyboardsKey = QStringLiteral("keyboards");
const QString kRemapNewKey = QStringLiteral("remapNewKeyboards");
// Keyboards remembered at most; the oldest absent ones are forgotten first.
constexpr size_t kRememberedLimit = 64;

QString kindName(KeyboardKind kind)
{
    switch (kind) {
    case KeyboardKind::builtIn: return QStringLiteral("builtIn");
    case KeyboardKind::usb: return QStringLiteral("usb");
    case KeyboardKind::bluetooth: return QStringLiteral("bluetooth");
    case KeyboardKind::otherVirtual: return QStringLiteral("virtual");
    case KeyboardKind::other: break;
    }
    return QStringLiteral("other");
}
} // namespace

KeyboardsModel::KeyboardsModel(UserDefaults& defaults, KeyboardRoster& roster, QObject* parent)
    : QAbstractListModel(parent)
    , defaults_(defaults)
    , roster_(roster)
{
    remapNew_ = defaults_.boolValue(kRemapNewKey).value_or(true);
    if (const std::optional<QByteArray> data = defaults_.dataValue(kKeyboardsKey)) {
        if (std::optional<std::vector<Remembered>> remembered = decode(*data)) {
            remembered_ = std::move(*remembered);
        } else {
            // Kept as it is until the list next changes, and kept aside then.
            storedListUnreadable_ = true;
            defaults_.noticeUndecodable(kKeyboardsKey);
        }
    }
    // The keyboards there when Kestrune first runs were not plugged in:
    // they are remembered without a word, whenever the roster first lists
    // them (the input service's list comes a little later).
    quietUntilListed_ = remembered_.empty();
    roster_.changed = [this] { refresh(); };
    pushChoices();
    refresh();
}

KeyboardsModel::~KeyboardsModel()
{
    roster_.changed = nullptr;
}

int KeyboardsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant KeyboardsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case NameRole: return row.name;
    case KindRole: return kindName(row.kind());
    case KindTextRole: return kindText(row.kind());
    case PresentRole: return row.present;
    case RemapRole: return row.remap;
    case SharedRole: return row.shared;
    case KeyRole: return row.key;
    default: return {};
    }
}

QHash<int, QByteArray> KeyboardsModel::roleNames() const
{
    return {{NameRole, "name"},   {KindRole, "kind"},     {KindTextRole, "kindText"}, {PresentRole, "present"},
            {RemapRole, "remap"}, {SharedRole, "shared"}, {KeyRole, "key"}};
}

QString KeyboardsModel::kindText(KeyboardKind kind)
{
    switch (kind) {
    case KeyboardKind::builtIn: return QCoreApplication::translate("KeyboardsModel", "Built-in keyboard");
    case KeyboardKind::usb: return QCoreApplication::translate("KeyboardsModel", "USB keyboard");
    case KeyboardKind::bluetooth: return QCoreApplication::translate("KeyboardsModel", "Bluetooth keyboard");
    case KeyboardKind::otherVirtual:
        return QCoreApplication::translate("KeyboardsModel", "Another program's virtual keyboard");
    case KeyboardKind::other: break;
    }
    return QCoreApplication::translate("KeyboardsModel", "Keyboard");
}

void KeyboardsModel::setRemapNewKeyboards(bool remap)
{
    if (remap == remapNew_)
        return;
    remapNew_ = remap;
    defaults_.setValue(kRemapNewKey, remap);
    emit remapNewKeyboardsChanged();
    pushChoices(); // every keyboard seen has a choice of its own: no row changes
}

bool KeyboardsModel::otherVirtualKeyboardPresent() const
{
    return std::any_of(present_.begin(), present_.end(), [](const PresentKeyboard& k) {
        return keyboardKind(k.identity) == KeyboardKind::otherVirtual;
    });
}

// A twin told apart by its physical path gets a choice of its own the first
// time the user makes one for it.
void KeyboardsModel::setRemap(int row, bool remap)
{
    if (row < 0 || row >= rowCount())
        return;
    const Row& shown = rows_[static_cast<size_t>(row)];
    if (shown.remap == remap)
        return;
    auto it = std::find_if(remembered_.begin(), remembered_.end(), [&](const Remembered& r) { return r.key == shown.key; });
    if (it != remembered_.end())
        it->remap = remap;
    else
        remembered_.push_back({shown.key, shown.name, shown.bus, remap});
    store();
    pushChoices();
    rebuildRows();
}

void KeyboardsModel::forget(int row)
{
    if (row < 0 || row >= rowCount() || rows_[static_cast<size_t>(row)].present)
        return;
    const QString key = rows_[static_cast<size_t>(row)].key;
    std::erase_if(remembered_, [&](const Remembered& r) { return r.key == key; });
    store();
    pushChoices();
    rebuildRows();
}

KeyboardChoices KeyboardsModel::choices() const
{
    KeyboardChoices choices;
    choices.remapNew = remapNew_;
    for (const Remembered& r : remembered_)
        choices.remap.emplace(r.key.toStdString(), r.remap);
    return choices;
}

const KeyboardsModel::Remembered* KeyboardsModel::rememberedFor(const PresentKeyboard& keyboard) const
{
    for (const std::string& key : {keyboard.key, keyboardKey(keyboard.identity)}) {
        const QString k = QString::fromStdString(key);
        auto it = std::find_if(remembered_.begin(), remembered_.end(), [&](const Remembered& r) { return r.key == k; });
        if (it != remembered_.end())
            return &*it;
    }
    return nullptr;
}

bool KeyboardsModel::matchesPresent(const Remembered& remembered) const
{
    const std::string key = remembered.key.toStdString();
    return std::any_of(present_.begin(), present_.end(), [&](const PresentKeyboard& k) { return k.answersTo(key); });
}

// A keyboard seen for the first time is remembered by its identity alone,
// with the choice the roster made for it (the one for new keyboards), and
// the user is told.
void KeyboardsModel::refresh()
{
    present_ = roster_.keyboards();
    bool added = false;
    for (const PresentKeyboard& keyboard : present_) {
        if (rememberedFor(keyboard))
            continue;
        const QString name = QString::fromStdString(keyboard.identity.name);
        remembered_.push_back(
            {QString::fromStdString(keyboardKey(keyboard.identity)), name, keyboard.identity.bus, remapNew_});
        added = true;
        if (!quietUntilListed_)
            emit firstSeen(name, remapNew_);
    }
    if (!present_.empty())
        quietUntilListed_ = false;
    if (added) {
        // Over the limit, the oldest absent keyboards go.
        for (auto it = remembered_.begin(); remembered_.size() > kRememberedLimit && it != remembered_.end();)
            it = matchesPresent(*it) ? it + 1 : remembered_.erase(it);
        store();
        pushChoices();
    }
    rebuildRows();
}

void KeyboardsModel::rebuildRows()
{
    const KeyboardChoices current = choices();
    std::vector<Row> rows;
    for (const PresentKeyboard& keyboard : present_) {
        rows.push_back({QString::fromStdString(keyboard.key), QString::fromStdString(keyboard.identity.name),
                        keyboard.identity.bus, true, current.remaps(keyboard), keyboard.shared});
    }
    for (const Remembered& r : remembered_) {
        if (!matchesPresent(r))
            rows.push_back({r.key, r.name, r.bus, false, r.remap, false});
    }
    const bool sameShape = rows.size() == rows_.size();
    if (!sameShape)
        beginResetModel();
    rows_ = std::move(rows);
    if (sameShape && !rows_.empty())
        emit dataChanged(index(0), index(rowCount() - 1));
    if (!sameShape)
        endResetModel();
    emit keyboardsChanged();
}

void KeyboardsModel::store()
{
    if (std::exchange(storedListUnreadable_, false)) {
        if (const std::optional<QByteArray> data = defaults_.dataValue(kKeyboardsKey))
            defaults_.setValue(UserDefaults::keptAsideKey(kKeyboardsKey), *data);
    }
    defaults_.setValue(kKeyboardsKey, encode(remembered_));
}

void KeyboardsModel::pushChoices()
{
    roster_.setChoices(choices());
}

std::optional<std::vector<KeyboardsModel::Remembered>> KeyboardsModel::decode(const QByteArray& data)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    std::vector<Remembered> remembered;
    for (const QJsonValue& item : doc.array()) {
        const QJsonObject object = item.toObject();
        const QJsonValue key = object[QLatin1String("key")];
        const QJsonValue name = object[QLatin1String("name")];
        const QJsonValue bus = object[QLatin1String("bus")];
        const QJsonValue remap = object[QLatin1String("remap")];
        if (!item.isObject() || !key.isString() || key.toString().isEmpty() || !name.isString() || !bus.isDouble()
            || bus.toInt(-1) < 0 || bus.toInt() > 0xffff || !remap.isBool())
            return std::nullopt;
        remembered.push_back({key.toString(), name.toString(), bus.toInt(), remap.toBool()});
    }
    return remembered;
}

QByteArray KeyboardsModel::encode(const std::vector<Remembered>& remembered)
{
    QJsonArray array;
    for (const Remembered& r : remembered) {
        array.append(QJsonObject{{QStringLiteral("key"), r.key},
                                 {QStringLiteral("name"), r.name},
                                 {QStringLiteral("bus"), r.bus},
                                 {QStringLiteral("remap"), r.remap}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace kestrune
