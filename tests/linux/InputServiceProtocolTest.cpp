#include "platform/linux/InputServiceProtocol.h"

#include <gtest/gtest.h>

#include <QtEndian>

namespace kestrune::inputd {
namespace {

QByteArray frame(uint16_t version, uint16_t type, const QByteArray& payload, uint32_t size)
{
    QByteArray out(8, '\0');
    qToLittleEndian(size, out.data());
    qToLittleEndian(version, out.data() + 4);
    qToLittleEndian(type, out.data() + 6);
    return out + payload;
}

QByteArray frame(uint16_t type, const QByteArray& payload)
{
    return frame(kVersion, type, payload, static_cast<uint32_t>(payload.size()));
}

TEST(InputServiceProtocol, EveryMessageSurvivesTheRoundTripByteByByte)
{
    const std::vector<Message> messages = {
        Settings{false, true, false, true, true, false, 10, 2, 1, 1, true},
        LauncherKeys{{0, 35, 122, 255}},
        LauncherKeys{},
        Excluded{true},
        Status{Status::State::failing, QStringLiteral("キーボードを読めません")},
        Hud{Hud::Action::showHyper, 250, 0},
        Hud{Hud::Action::showInputMode, 0, 1},
        InputModeRequest{InputMode::kana},
        Launch{35},
        KeyboardChoiceList{false, {{"0003:1234:5678:Macro Pad@usb-1/input0", false}, {"0011:0001:0001:AT", true}}},
        Keyboards{{{{0x03, 0x1234, 0x5678, "Macro Pad", "usb-1/input0"}, "0003:1234:5678:Macro Pad@usb-1/input0",
                    false, true},
                   {{0x11, 1, 1, "キーボード", ""}, "0011:0001:0001:キーボード", true, false}}},
    };
    QByteArray stream;
    for (const Message& m : messages)
        stream += encode(m);
    FrameDecoder decoder;
    std::vector<Message> decoded;
    for (char byte : stream) { // a stream may arrive a byte at a time
        ASSERT_TRUE(decoder.feed(&byte, 1));
        while (std::optional<Message> m = decoder.next())
            decoded.push_back(*m);
    }
    EXPECT_EQ(decoded, messages);
    EXPECT_FALSE(decoder.failed());
}

TEST(InputServiceProtocol, AnythingMalformedBreaksTheStream)
{
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"another version", frame(kVersion + 1, 3, QByteArray(1, '\1'), 1)},
        {"a size over the cap", frame(kVersion, 3, {}, kMaxPayload + 1)},
        {"an unknown type", frame(99, QByteArray(1, '\0'))},
        {"a flag that is not 0 or 1", frame(3, QByteArray(1, '\2'))},
        {"bytes after the payload", frame(3, QByteArray(2, '\0'))},
        {"a short payload", frame(67, QByteArray(1, '\0'))},
        {"an out-of-range enumeration", frame(1, QByteArray::fromHex("0101010101010111000000"))},
        {"launcher keys not in order", frame(2, QByteArray::fromHex("02002300" "0100"))},
        {"a launcher key out of range", frame(2, QByteArray::fromHex("01000001"))},
        {"a status reason that is not UTF-8", frame(64, QByteArray::fromHex("030200ffff"))},
        {"an input-mode HUD of a third mode", frame(65, QByteArray::fromHex("030000000002"))},
        {"an empty keyboard key", frame(4, QByteArray::fromHex("01" "0100" "00" "0000"))},
        {"a keyboard flag out of range", frame(68, QByteArray::fromHex("01" "0300" "0000" "0000" "08" "0000" "0000"))},
        {"more keyboards than allowed", frame(68, QByteArray::fromHex("11"))},
        {"told apart by a port it lacks", frame(68, QByteArray::fromHex("01" "0300" "0000" "0000" "04" "0000" "0000"))},
    };
    for (const auto& c : cases) {
        FrameDecoder decoder;
        decoder.feed(c.bytes);
        EXPECT_FALSE(decoder.next()) << c.what;
        EXPECT_TRUE(decoder.failed()) << c.what;
        // Nothing after a bad frame is read, even a good one.
        decoder.feed(encode(Excluded{true}));
        EXPECT_FALSE(decoder.next()) << c.what;
    }
}

TEST(InputServiceProtocol, ALongReasonIsCutAtACharacterBoundary)
{
    FrameDecoder decoder;
    decoder.feed(encode(Status{Status::State::refused, QString(700, QChar(0x3042))})); // 3 bytes each
    const std::optional<Message> m = decoder.next();
    ASSERT_TRUE(m);
    EXPECT_EQ(std::get<Status>(*m).reason, QString(341, QChar(0x3042)));
}

// What does not fit is left out whole: the choices keep their order and the
// frame its cap; a name too long is cut at a character boundary.
TEST(InputServiceProtocol, LongKeyboardListsAreCutToFit)
{
    KeyboardChoiceList many;
    for (int i = 0; i < 80; ++i)
        many.choices.emplace_back(std::string(150, 'a' + i % 26) + std::to_string(i), i % 2 == 0);
    FrameDecoder decoder;
    decoder.feed(encode(many));
    std::optional<Message> m = decoder.next();
    ASSERT_TRUE(m);
    const auto& kept = std::get<KeyboardChoiceList>(*m).choices;
    ASSERT_FALSE(kept.empty());
    EXPECT_LT(kept.size(), many.choices.size());
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), many.choices.begin()));

    std::string jp;
    for (int i = 0; i < 20; ++i)
        jp += "あ";
    Keyboards one{{{{0x03, 1, 2, std::string(40, 'x') + jp, ""}, "", false, true}}};
    decoder.feed(encode(one));
    m = decoder.next();
    ASSERT_TRUE(m);
    const std::string& name = std::get<Keyboards>(*m).keyboards[0].identity.name;
    EXPECT_EQ(name, std::string(40, 'x') + jp.substr(0, 18 * 3)); // 94 of the 96 bytes allowed
}

} // namespace
} // namespace kestrune::inputd
