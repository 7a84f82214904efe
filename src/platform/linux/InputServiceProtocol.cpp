#include "platform/linux/InputServiceProtocol.h"

#include <QtEndian>

#include <algorithm>

namespace kestrune::inputd {

namespace {

class Writer {
public:
    void u8(uint8_t v) { bytes_.append(static_cast<char>(v)); }
    void raw(const QByteArray& bytes) { bytes_.append(bytes); }
    void flag(bool v) { u8(v ? 1 : 0); }
    void u16(uint16_t v)
    {
        char b[2];
        qToLittleEndian(v, b);
        bytes_.append(b, 2);
    }
    void u32(uint32_t v)
    {
        char b[4];
        qToLittleEndian(v, b);
        bytes_.append(b, 4);
    }
    void text(const QString& s, size_t limit = kMaxReasonBytes) { text(s.toUtf8(), limit); }
    void text(QByteArray utf8, size_t limit)
    {
        if (utf8.size() > static_cast<qsizetype>(limit)) {
            // Cut at a character boundary so that the text stays valid UTF-8.
            qsizetype cut = static_cast<qsizetype>(limit);
            while (cut > 0 && (static_cast<uint8_t>(utf8[cut]) & 0xC0) == 0x80)
                --cut;
            utf8.truncate(cut);
        }
        u16(static_cast<uint16_t>(utf8.size()));
        bytes_.append(utf8);
    }
    qsizetype size() const { return bytes_.size(); }
    QByteArray take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
};

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}
    bool u8(uint8_t& v)
    {
        if (pos_ + 1 > bytes_.size())
            return false;
        v = static_cast<uint8_t>(bytes_[pos_++]);
        return true;
    }
    bool flag(bool& v)
    {
        uint8_t b = 0;
        if (!u8(b) || b > 1)
            return false;
        v = b == 1;
        return true;
    }
    bool u16(uint16_t& v)
    {
        if (pos_ + 2 > bytes_.size())
            return false;
        v = static_cast<uint16_t>(byteAt(0) | byteAt(1) << 8);
        pos_ += 2;
        return true;
    }
    bool u32(uint32_t& v)
    {
        if (pos_ + 4 > bytes_.size())
            return false;
        v = byteAt(0) | byteAt(1) << 8 | byteAt(2) << 16 | byteAt(3) << 24;
        pos_ += 4;
        return true;
    }
    bool text(std::string& s, size_t limit)
    {
        QString q;
        if (!text(q, limit))
            return false;
        s = q.toStdString();
        return true;
    }
    bool text(QString& s, size_t limit = kMaxReasonBytes)
    {
        uint16_t size = 0;
        if (!u16(size) || size > limit || pos_ + size > bytes_.size())
            return false;
        const QByteArray utf8 = bytes_.mid(pos_, size);
        pos_ += size;
        s = QString::fromUtf8(utf8);
        // A text that does not survive the round trip was not valid UTF-8.
        return s.toUtf8() == utf8;
    }
    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    uint32_t byteAt(qsizetype offset) const { return static_cast<uint8_t>(bytes_.at(pos_ + offset)); }

    const QByteArray& bytes_;
    qsizetype pos_ = 0;
};

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>; // clang 14 deduces no aggregate

Type typeOf(const Message& message)
{
    return std::visit(
        Overloaded{
            [](const Settings&) { return Type::settings; },
            [](const LauncherKeys&) { return Type::launcherKeys; },
            [](const Excluded&) { return Type::excluded; },
            [](const Status&) { return Type::status; },
            [](const Hud&) { return Type::hud; },
            [](const InputModeRequest&) { return Type::inputMode; },
            [](const Launch&) { return Type::launch; },
            [](const KeyboardChoiceList&) { return Type::keyboardChoices; },
            [](const Keyboards&) { return Type::keyboards; },
        },
        message);
}

bool validKeyCode(uint16_t code) { return code < kKeyCodeLimit; }

} // namespace

bool isDown(const Message& message) { return static_cast<uint16_t>(typeOf(message)) < 64; }

QByteArray encode(const Message& message)
{
    Writer w;
    std::visit(Overloaded{
                   [&](const Settings& s) {
                       for (bool b : {s.isEnabled, s.isHyperKeyEnabled, s.isSinglePressEnabled, s.isCmdEisuKanaEnabled,
                                      s.isCapsLockDoubleTapEnabled, s.isVimModeEnabled, s.hasInputMethod})
                           w.flag(b);
                       for (uint8_t v : {s.hyperKeyConfig, s.singlePressConfig, s.cmdEisuKanaConfig, s.vimModeConfig})
                           w.u8(v);
                   },
                   [&](const LauncherKeys& k) {
                       w.u16(static_cast<uint16_t>(k.keyCodes.size()));
                       for (uint16_t code : k.keyCodes)
                           w.u16(code);
                   },
                   [&](const Excluded& e) { w.flag(e.excluded); },
                   [&](const Status& s) {
                       w.u8(static_cast<uint8_t>(s.state));
                       w.text(s.reason);
                   },
                   [&](const Hud& h) {
                       w.u8(static_cast<uint8_t>(h.action));
                       w.u32(h.delayMs);
                       w.u8(h.value);
                   },
                   [&](const InputModeRequest& m) { w.u8(m.mode == InputMode::kana ? 1 : 0); },
                   [&](const Launch& l) { w.u16(l.keyCode); },
                   [&](const KeyboardChoiceList& c) {
                       w.flag(c.remapNew);
                       // Entries that would not fit are left out, with the count.
                       Writer entries;
                       uint16_t count = 0;
                       for (const auto& [key, remap] : c.choices) {
                           const QByteArray utf8 = QByteArray::fromStdString(key);
                           if (count == kMaxChoices || utf8.isEmpty() || utf8.size() > qsizetype(kMaxKeyBytes)
                               || QString::fromUtf8(utf8).toUtf8() != utf8)
                               continue;
                           if (3 + entries.size() + 3 + utf8.size() > qsizetype(kMaxPayload))
                               break;
                           entries.flag(remap);
                           entries.text(utf8, kMaxKeyBytes);
                           ++count;
                       }
                       w.u16(count);
                       w.raw(entries.take());
                   },
                   [&](const Keyboards& k) {
                       const size_t count = std::min(k.keyboards.size(), kMaxKeyboards);
                       w.u8(static_cast<uint8_t>(count));
                       for (size_t i = 0; i < count; ++i) {
                           const PresentKeyboard& p = k.keyboards[i];
                           w.u16(p.identity.bus);
                           w.u16(p.identity.vendor);
                           w.u16(p.identity.product);
                           const bool withPhys = !p.identity.phys.empty() && p.key != keyboardKey(p.identity);
                           w.u8(static_cast<uint8_t>((p.shared ? 1 : 0) | (p.remapped ? 2 : 0) | (withPhys ? 4 : 0)));
                           w.text(QString::fromStdString(p.identity.name), kMaxKeyboardText);
                           w.text(QString::fromStdString(p.identity.phys), kMaxKeyboardText);
                       }
                   },
               },
               message);
    const QByteArray payload = w.take();
    Writer frame;
    frame.u32(static_cast<uint32_t>(payload.size()));
    frame.u16(kVersion);
    frame.u16(static_cast<uint16_t>(typeOf(message)));
    QByteArray out = frame.take();
    out.append(payload);
    return out;
}

namespace {

// The message's fields; the caller checks that nothing follows them.
std::optional<Message> decodeFields(Type type, Reader& r)
{
    switch (type) {
    case Type::settings: {
        Settings s;
        for (bool* b : {&s.isEnabled, &s.isHyperKeyEnabled, &s.isSinglePressEnabled, &s.isCmdEisuKanaEnabled,
                        &s.isCapsLockDoubleTapEnabled, &s.isVimModeEnabled, &s.hasInputMethod})
            if (!r.flag(*b))
                return std::nullopt;
        if (!r.u8(s.hyperKeyConfig) || !r.u8(s.singlePressConfig) || !r.u8(s.cmdEisuKanaConfig)
            || !r.u8(s.vimModeConfig))
            return std::nullopt;
        if (s.hyperKeyConfig >= kHyperKeyConfigCount
            || s.singlePressConfig >= kSinglePressConfigCount
            || s.cmdEisuKanaConfig >= kCmdEisuKanaConfigCount
            || s.vimModeConfig >= kVimModeConfigCount)
            return std::nullopt;
        return Message(s);
    }
    case Type::launcherKeys: {
        uint16_t count = 0;
        if (!r.u16(count) || count > kKeyCodeLimit)
            return std::nullopt;
        LauncherKeys k;
        k.keyCodes.reserve(count);
        for (uint16_t i = 0; i < count; ++i) {
            uint16_t code = 0;
            // Sorted and unique: one spelling per set of keys.
            if (!r.u16(code) || !validKeyCode(code) || (!k.keyCodes.empty() && code <= k.keyCodes.back()))
                return std::nullopt;
            k.keyCodes.push_back(code);
        }
        return Message(k);
    }
    case Type::excluded: {
        Excluded e;
        if (!r.flag(e.excluded))
            return std::nullopt;
        return Message(e);
    }
    case Type::status: {
        Status s;
        uint8_t state = 0;
        if (!r.u8(state) || state > static_cast<uint8_t>(Status::State::refused) || !r.text(s.reason))
            return std::nullopt;
        s.state = static_cast<Status::State>(state);
        return Message(s);
    }
    case Type::hud: {
        Hud h;
        uint8_t action = 0;
        if (!r.u8(action) || action > static_cast<uint8_t>(Hud::Action::showInputMode) || !r.u32(h.delayMs)
            || !r.u8(h.value))
            return std::nullopt;
        h.action = static_cast<Hud::Action>(action);
        const uint8_t limit = h.action == Hud::Action::showInputMode ? 2 : kHyperKeyConfigCount;
        if (h.value >= limit)
            return std::nullopt;
        return Message(h);
    }
    case Type::inputMode: {
        uint8_t mode = 0;
        if (!r.u8(mode) || mode > 1)
            return std::nullopt;
        return Message(InputModeRequest{mode == 1 ? InputMode::kana : InputMode::eisu});
    }
    case Type::launch: {
        Launch l;
        if (!r.u16(l.keyCode) || !validKeyCode(l.keyCode))
            return std::nullopt;
        return Message(l);
    }
    case Type::keyboardChoices: {
        KeyboardChoiceList c;
        uint16_t count = 0;
        if (!r.flag(c.remapNew) || !r.u16(count) || count > kMaxChoices)
            return std::nullopt;
        for (uint16_t i = 0; i < count; ++i) {
            bool remap = false;
            std::string key;
            if (!r.flag(remap) || !r.text(key, kMaxKeyBytes) || key.empty())
                return std::nullopt;
            c.choices.emplace_back(std::move(key), remap);
        }
        return Message(c);
    }
    case Type::keyboards: {
        Keyboards k;
        uint8_t count = 0;
        if (!r.u8(count) || count > kMaxKeyboards)
            return std::nullopt;
        for (uint8_t i = 0; i < count; ++i) {
            PresentKeyboard p;
            uint8_t flags = 0;
            if (!r.u16(p.identity.bus) || !r.u16(p.identity.vendor) || !r.u16(p.identity.product) || !r.u8(flags)
                || flags > 7 || !r.text(p.identity.name, kMaxKeyboardText)
                || !r.text(p.identity.phys, kMaxKeyboardText) || ((flags & 4) && p.identity.phys.empty()))
                return std::nullopt;
            p.shared = flags & 1;
            p.remapped = flags & 2;
            p.key = keyboardKey(p.identity, flags & 4);
            k.keyboards.push_back(std::move(p));
        }
        return Message(k);
    }
    }
    return std::nullopt;
}

} // namespace

std::optional<Message> decodePayload(Type type, const QByteArray& payload)
{
    Reader r(payload);
    std::optional<Message> message = decodeFields(type, r);
    if (message && !r.atEnd())
        return std::nullopt;
    return message;
}

bool FrameDecoder::feed(const char* data, size_t size)
{
    if (failed())
        return false;
    buffer_.append(data, static_cast<qsizetype>(size));
    return checkHeader();
}

// The header's fields, from a buffer holding at least kHeaderSize bytes;
// byte by byte, which is also what keeps the optimiser's bounds checks quiet.
uint32_t FrameDecoder::headerField(size_t at, size_t width) const
{
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;)
        value = (value << 8) | static_cast<uint8_t>(buffer_.at(static_cast<qsizetype>(at + i)));
    return value;
}

bool FrameDecoder::checkHeader()
{
    if (buffer_.size() < static_cast<qsizetype>(kHeaderSize))
        return true;
    const uint32_t size = headerField(0, 4);
    const uint32_t version = headerField(4, 2);
    if (version != kVersion)
        error_ = QStringLiteral("protocol version %1, expected %2").arg(version).arg(kVersion);
    else if (size > kMaxPayload)
        error_ = QStringLiteral("a message of %1 bytes, over the limit of %2").arg(size).arg(kMaxPayload);
    if (failed()) {
        buffer_.clear();
        return false;
    }
    return true;
}

std::optional<Message> FrameDecoder::next()
{
    if (failed() || !checkHeader() || buffer_.size() < static_cast<qsizetype>(kHeaderSize))
        return std::nullopt;
    const uint32_t size = headerField(0, 4);
    const auto type = static_cast<uint16_t>(headerField(6, 2));
    if (buffer_.size() < static_cast<qsizetype>(kHeaderSize + size))
        return std::nullopt;
    const QByteArray payload = buffer_.mid(static_cast<qsizetype>(kHeaderSize), static_cast<qsizetype>(size));
    buffer_.remove(0, static_cast<qsizetype>(kHeaderSize + size));
    std::optional<Message> message = decodePayload(static_cast<Type>(type), payload);
    if (!message) {
        error_ = QStringLiteral("a malformed message of type %1").arg(type);
        buffer_.clear();
    }
    return message;
}

} // namespace kestrune::inputd
