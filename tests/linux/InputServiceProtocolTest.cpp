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

} // namespace
} // namespace kestrune::inputd
