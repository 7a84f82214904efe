#include "Script.h"

#include <QHash>
#include <QRegularExpression>

#include <set>

namespace kestrune::script {

namespace {

const QHash<QString, KeyCode>& keyNames()
{
    static const QHash<QString, KeyCode> names = [] {
        QHash<QString, KeyCode> n{
            {"a", 0}, {"s", 1}, {"d", 2}, {"f", 3}, {"h", 4}, {"g", 5}, {"z", 6}, {"x", 7}, {"c", 8},
            {"v", 9}, {"b", 11}, {"q", 12}, {"w", 13}, {"e", 14}, {"r", 15}, {"y", 16}, {"t", 17},
            {"o", 31}, {"u", 32}, {"i", 34}, {"p", 35}, {"l", 37}, {"j", 38}, {"k", 40}, {"n", 45},
            {"m", 46}, {"1", 18}, {"2", 19}, {"3", 20}, {"4", 21}, {"5", 23}, {"6", 22}, {"7", 26},
            {"8", 28}, {"9", 25}, {"0", 29},
            {"caps", kc::kVK_CapsLock}, {"f19", kc::kVK_F19}, {"esc", kc::kVK_Escape}, {"tab", kc::kVK_Tab},
            {"space", kc::kVK_Space}, {"return", kc::kVK_Return}, {"delete", kc::kVK_Delete},
            {"fwddelete", kc::kVK_ForwardDelete}, {"lcmd", kc::kVK_Command_L}, {"rcmd", kc::kVK_Command_R},
            {"lshift", kc::kVK_Shift_L}, {"rshift", kc::kVK_Shift_R}, {"lopt", kc::kVK_Option_L},
            {"ropt", kc::kVK_Option_R}, {"lctrl", kc::kVK_Control_L}, {"rctrl", kc::kVK_Control_R},
            {"left", kc::kVK_LeftArrow}, {"right", kc::kVK_RightArrow}, {"down", kc::kVK_DownArrow},
            {"up", kc::kVK_UpArrow}, {"eisu", kc::kVK_JIS_Eisu}, {"kana", kc::kVK_JIS_Kana},
        };
        return n;
    }();
    return names;
}

const QStringList kBoolSettings = {
    "isEnabled", "isHyperKeyEnabled", "isSinglePressEnabled", "isCmdEisuKanaEnabled",
    "isCapsLockDoubleTapEnabled", "isVimModeEnabled", "isAppLauncherEnabled", "isAppExclusionEnabled",
};

std::optional<bool> parseBool(const QString& v)
{
    if (v == QLatin1String("true"))
        return true;
    if (v == QLatin1String("false"))
        return false;
    return std::nullopt;
}

// Splits off the first word; the rest (which may hold spaces, as paths do).
std::pair<QString, QString> firstWord(const QString& text)
{
    const int space = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    if (space < 0)
        return {text, QString()};
    return {text.left(space), text.mid(space).trimmed()};
}

QString applySetting(SimHarness& h, const QString& name, const QString& value)
{
    if (applyRemapperSetting(h.remapper, name, value))
        return {};
    if (const auto b = parseBool(value)) {
        if (name == QLatin1String("isAppLauncherEnabled")) h.launcher.setEnabled(*b);
        else if (name == QLatin1String("isAppExclusionEnabled")) h.exclusions.setEnabled(*b);
    }
    return {};
}

} // namespace

bool applyRemapperSetting(KeyRemapper& r, const QString& name, const QString& value)
{
    if (const auto b = parseBool(value)) {
        if (name == QLatin1String("isEnabled")) r.setIsEnabled(*b);
        else if (name == QLatin1String("isHyperKeyEnabled")) r.setIsHyperKeyEnabled(*b);
        else if (name == QLatin1String("isSinglePressEnabled")) r.setIsSinglePressEnabled(*b);
        else if (name == QLatin1String("isCmdEisuKanaEnabled")) r.setIsCmdEisuKanaEnabled(*b);
        else if (name == QLatin1String("isCapsLockDoubleTapEnabled")) r.setIsCapsLockDoubleTapEnabled(*b);
        else if (name == QLatin1String("isVimModeEnabled")) r.setIsVimModeEnabled(*b);
        else return false;
        return true;
    }
    if (name == QLatin1String("hyperKeyConfig"))
        r.setHyperKeyConfig(*config::hyperKeyConfigFromRaw(value));
    else if (name == QLatin1String("singlePressConfig"))
        r.setSinglePressConfig(*config::singlePressConfigFromRaw(value));
    else if (name == QLatin1String("cmdEisuKanaConfig"))
        r.setCmdEisuKanaConfig(*config::cmdEisuKanaConfigFromRaw(value));
    else if (name == QLatin1String("vimModeConfig"))
        r.setVimModeConfig(*config::vimModeConfigFromRaw(value));
    else
        return false;
    return true;
}

std::optional<KeyCode> parseKey(const QString& name)
{
    const auto it = keyNames().constFind(name.toLower());
    if (it != keyNames().constEnd())
        return *it;
    bool ok = false;
    const int code = name.toInt(&ok, 10);
    if (ok && code >= 0 && code <= 255)
        return code;
    return std::nullopt;
}

std::optional<Millis> parseDuration(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(R"(^(\d+(?:\.\d+)?)(ms|s)?$)"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const double value = m.captured(1).toDouble();
    const double ms = m.captured(2) == QLatin1String("s") ? value * 1000.0 : value;
    if (ms > 365.0 * 24 * 3600 * 1000)
        return std::nullopt;
    const auto whole = static_cast<long long>(ms + 0.5);
    if (std::abs(ms - static_cast<double>(whole)) > 1e-6)
        return std::nullopt; // the clock counts whole milliseconds
    return Millis{whole};
}

QString checkSetting(const QString& name, const QString& value)
{
    if (kBoolSettings.contains(name)) {
        if (!parseBool(value))
            return QStringLiteral("%1 takes true or false, not \"%2\"").arg(name, value);
        return {};
    }
    bool known = true;
    bool fits = false;
    if (name == QLatin1String("hyperKeyConfig")) fits = config::hyperKeyConfigFromRaw(value).has_value();
    else if (name == QLatin1String("singlePressConfig")) fits = config::singlePressConfigFromRaw(value).has_value();
    else if (name == QLatin1String("cmdEisuKanaConfig")) fits = config::cmdEisuKanaConfigFromRaw(value).has_value();
    else if (name == QLatin1String("vimModeConfig")) fits = config::vimModeConfigFromRaw(value).has_value();
    else known = false;
    if (!known)
        return QStringLiteral("unknown setting \"%1\"").arg(name);
    if (!fits)
        return QStringLiteral("\"%1\" is not a value of %2").arg(value, name);
    return {};
}

QString scriptedApplicationPath(const QString& bundleId)
{
    return QStringLiteral("/Applications/Scripted/") + bundleId + QStringLiteral(".app");
}

QString scriptedApplicationName(const QString& bundleId)
{
    const QString last = bundleId.section(QLatin1Char('.'), -1);
    return last.isEmpty() ? bundleId : last;
}

ParseResult parse(const QString& text)
{
    ParseResult result;
    // Keys held at each point of the script, so that `repeat` can be checked
    // before anything runs.
    std::set<KeyCode> held;
    bool stalled = false;
    const QStringList rawLines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < rawLines.size(); ++i) {
        const int number = i + 1;
        QString line = rawLines[i];
        const int hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line = line.left(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        auto fail = [&](const QString& why) {
            result.error = QStringLiteral("line %1: %2").arg(number).arg(why);
            result.lines.clear();
            return result;
        };
        const auto [verb, rest] = firstWord(line);
        const auto [arg1, arg2] = firstWord(rest);
        auto needKey = [&](const QString& name) -> std::optional<KeyCode> { return parseKey(name); };

        static const QStringList whileStalled{QStringLiteral("down"), QStringLiteral("up"), QStringLiteral("tap"),
                                              QStringLiteral("repeat"), QStringLiteral("wait"), QStringLiteral("stall"),
                                              QStringLiteral("resume")};
        if (stalled && !whileStalled.contains(verb))
            return fail(QStringLiteral("only keys and wait while stalled (resume first)"));

        if (verb == QLatin1String("down") || verb == QLatin1String("up") || verb == QLatin1String("tap")) {
            if (arg1.isEmpty() || !arg2.isEmpty())
                return fail(QStringLiteral("%1 takes one key").arg(verb));
            const auto key = needKey(arg1);
            if (!key)
                return fail(QStringLiteral("unknown key \"%1\"").arg(arg1));
            const auto kind = verb == QLatin1String("down") ? KeyCommand::down
                            : verb == QLatin1String("up")   ? KeyCommand::up
                                                            : KeyCommand::tap;
            if (kind == KeyCommand::down)
                held.insert(*key);
            else
                held.erase(*key);
            result.lines.push_back({number, KeyCommand{kind, *key}});
        } else if (verb == QLatin1String("repeat")) {
            const auto key = needKey(arg1);
            if (!key)
                return fail(arg1.isEmpty() ? QStringLiteral("repeat takes a key and an optional count")
                                           : QStringLiteral("unknown key \"%1\"").arg(arg1));
            int count = 1;
            if (!arg2.isEmpty()) {
                bool ok = false;
                count = arg2.toInt(&ok, 10);
                if (!ok || count < 1 || count > 10000)
                    return fail(QStringLiteral("repeat takes a count from 1 to 10000, not \"%1\"").arg(arg2));
            }
            if (!held.count(*key))
                return fail(QStringLiteral("repeat needs %1 held (down %1 first)").arg(arg1));
            result.lines.push_back({number, Repeat{*key, count}});
        } else if (verb == QLatin1String("wait")) {
            const auto d = parseDuration(rest);
            if (!d)
                return fail(QStringLiteral("wait takes a duration such as 150, 150ms or 1.5s, not \"%1\"").arg(rest));
            result.lines.push_back({number, Wait{*d}});
        } else if (verb == QLatin1String("set")) {
            if (arg1.isEmpty() || arg2.isEmpty() || arg2.contains(QLatin1Char(' ')))
                return fail(QStringLiteral("set takes a setting name and a value"));
            if (const QString why = checkSetting(arg1, arg2); !why.isEmpty())
                return fail(why);
            result.lines.push_back({number, Set{arg1, arg2}});
        } else if (verb == QLatin1String("bind")) {
            const auto key = needKey(arg1);
            if (!key)
                return fail(QStringLiteral("unknown key \"%1\"").arg(arg1));
            if (arg2.isEmpty())
                return fail(QStringLiteral("bind takes a key and an application path"));
            result.lines.push_back({number, Bind{*key, arg2}});
        } else if (verb == QLatin1String("exclude") || verb == QLatin1String("front")) {
            if (arg1.isEmpty() || !arg2.isEmpty())
                return fail(QStringLiteral("%1 takes one application identifier").arg(verb));
            if (verb == QLatin1String("exclude"))
                result.lines.push_back({number, Exclude{arg1}});
            else
                result.lines.push_back({number, Front{arg1}});
        } else if (verb == QLatin1String("trust")) {
            if (rest != QLatin1String("yes") && rest != QLatin1String("no"))
                return fail(QStringLiteral("trust takes yes or no"));
            result.lines.push_back({number, Trust{rest == QLatin1String("yes")}});
        } else if (verb == QLatin1String("device") && rest.isEmpty()) {
            result.lines.push_back({number, Device{}});
        } else if (verb == QLatin1String("wake") && rest.isEmpty()) {
            result.lines.push_back({number, WakeUp{}});
        } else if (verb == QLatin1String("sleep") && rest.isEmpty()) {
            result.lines.push_back({number, Sleep{}});
        } else if (verb == QLatin1String("unplug") && rest.isEmpty()) {
            held.clear();
            result.lines.push_back({number, Unplug{}});
        } else if ((verb == QLatin1String("stall") || verb == QLatin1String("resume")) && rest.isEmpty()) {
            if ((verb == QLatin1String("stall")) == stalled)
                return fail(stalled ? QStringLiteral("stall while stalled (resume first)")
                                    : QStringLiteral("resume without a stall before it"));
            stalled = verb == QLatin1String("stall");
            result.lines.push_back({number, Stall{stalled}});
        } else if (verb == QLatin1String("session")) {
            if (rest != QLatin1String("active") && rest != QLatin1String("inactive"))
                return fail(QStringLiteral("session takes active or inactive"));
            result.lines.push_back({number, Session{rest == QLatin1String("active")}});
        } else {
            return fail(QStringLiteral("unknown command \"%1\"").arg(line));
        }
    }
    if (stalled) {
        result.error = QStringLiteral("the script ends stalled (resume at the end)");
        result.lines.clear();
    }
    return result;
}

QString run(SimHarness& h, const std::vector<Line>& lines)
{
    for (const Line& line : lines) {
        QString error;
        std::visit(
            [&](const auto& c) {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, KeyCommand>) {
                    if (c.kind != KeyCommand::up)
                        h.sim.keyboard().physicalDown(c.key);
                    if (c.kind != KeyCommand::down)
                        h.sim.keyboard().physicalUp(c.key);
                } else if constexpr (std::is_same_v<T, Wait>) {
                    h.advance(c.duration);
                } else if constexpr (std::is_same_v<T, Set>) {
                    error = applySetting(h, c.name, c.value);
                } else if constexpr (std::is_same_v<T, Bind>) {
                    h.launcher.addShortcut(QUrl::fromLocalFile(c.path), c.key);
                } else if constexpr (std::is_same_v<T, Exclude>) {
                    SimWorkspace& workspace = h.sim.workspace();
                    QString path = workspace.pathForBundleId(c.bundleId).value_or(QString());
                    if (path.isEmpty()) {
                        path = scriptedApplicationPath(c.bundleId);
                        workspace.addApplication(path, AppIdentity{c.bundleId, scriptedApplicationName(c.bundleId), {}});
                    }
                    h.exclusions.addExcludedApp(QUrl::fromLocalFile(path));
                } else if constexpr (std::is_same_v<T, Front>) {
                    h.sim.workspace().setFrontmost(c.bundleId);
                } else if constexpr (std::is_same_v<T, Trust>) {
                    h.sim.trust().setTrusted(c.trusted);
                } else if constexpr (std::is_same_v<T, Device>) {
                    h.sim.devices().arrive();
                } else if constexpr (std::is_same_v<T, WakeUp>) {
                    h.sim.wake().wake();
                } else if constexpr (std::is_same_v<T, Repeat>) {
                    for (int i = 0; i < c.count; ++i)
                        h.sim.keyboard().physicalRepeat(c.key);
                } else if constexpr (std::is_same_v<T, Sleep>) {
                    h.sim.wake().sleep();
                } else if constexpr (std::is_same_v<T, Unplug>) {
                    h.sim.keyboard().unplug();
                } else if constexpr (std::is_same_v<T, Stall>) {
                    if (c.stalled)
                        h.sim.keyboard().stall();
                    else
                        h.sim.keyboard().resume();
                } else if constexpr (std::is_same_v<T, Session>) {
                    h.sim.session().setActive(c.active);
                }
            },
            line.command);
        if (!error.isEmpty())
            return QStringLiteral("line %1: %2").arg(line.number).arg(error);
        h.settle();
    }
    return {};
}

} // namespace kestrune::script
