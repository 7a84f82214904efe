// The Keyboards model over the sim roster and a real settings store: what is
// remembered, what the roster is told, and what survives a restart.

#include "keyboards/KeyboardsModel.h"

#include "base/FileDefaults.h"
#include "platform/sim/SimKeyboardRoster.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

const KeyboardIdentity kLaptop{0x11, 1, 1, "AT Translated Set 2 keyboard", "isa0060/serio0/input0"};
const KeyboardIdentity kPad{0x03, 0x1234, 0x5678, "Macro Pad", "usb-0000:00:14.0-2/input0"};
const KeyboardIdentity kPadTwin{0x03, 0x1234, 0x5678, "Macro Pad", "usb-0000:00:14.0-3/input0"};

class KeyboardsModelTest : public ::testing::Test {
protected:
    std::unique_ptr<KeyboardsModel> open()
    {
        return std::make_unique<KeyboardsModel>(*defaults, roster);
    }
    QStringList names(const KeyboardsModel& model, int role = KeyboardsModel::NameRole)
    {
        QStringList out;
        for (int row = 0; row < model.rowCount(); ++row)
            out << model.data(model.index(row), role).toString();
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<FileDefaults> defaults = std::make_unique<FileDefaults>(dir.path());
    SimKeyboardRoster roster;
};

TEST_F(KeyboardsModelTest, KeyboardsAreRememberedByIdentityAndTheirChoicesOutliveARestart)
{
    roster.setPresent({kLaptop});
    auto model = open();
    QSignalSpy firstSeen(model.get(), &KeyboardsModel::firstSeen);
    roster.plug(kPad);
    ASSERT_EQ(firstSeen.size(), 1);
    EXPECT_EQ(firstSeen[0][0].toString(), "Macro Pad");
    EXPECT_TRUE(firstSeen[0][1].toBool());
    model->setRemap(1, false);
    EXPECT_FALSE(roster.choices().remaps(roster.keyboards()[1]));

    // Its twin at another port is no new keyboard; it shares the choice
    // until the user gives it one of its own.
    roster.plug(kPadTwin);
    EXPECT_EQ(firstSeen.size(), 1);
    EXPECT_EQ(names(*model), (QStringList{"AT Translated Set 2 keyboard", "Macro Pad", "Macro Pad"}));
    EXPECT_FALSE(model->data(model->index(2), KeyboardsModel::RemapRole).toBool());
    model->setRemap(2, true);
    std::vector<PresentKeyboard> present = roster.keyboards();
    EXPECT_FALSE(roster.choices().remaps(present[1]));
    EXPECT_TRUE(roster.choices().remaps(present[2]));

    // Unplugged and restarted: listed greyed, the choice kept.
    roster.setPresent({kLaptop});
    model.reset();
    defaults = std::make_unique<FileDefaults>(dir.path());
    model = open();
    EXPECT_EQ(names(*model), (QStringList{"AT Translated Set 2 keyboard", "Macro Pad", "Macro Pad"}));
    EXPECT_EQ(names(*model, KeyboardsModel::PresentRole), (QStringList{"true", "false", "false"}));
    EXPECT_EQ(names(*model, KeyboardsModel::KindRole), (QStringList{"builtIn", "usb", "usb"}));
    roster.plug(kPad);
    EXPECT_FALSE(roster.choices().remaps(roster.keyboards()[1]));

    // Only an absent keyboard can be forgotten; then it is new again.
    model->forget(0);
    EXPECT_EQ(model->rowCount(), 3);
    model->forget(2);
    EXPECT_EQ(model->rowCount(), 2);
    roster.unplug("Macro Pad");
    model->forget(1);
    EXPECT_EQ(model->rowCount(), 1);
    QSignalSpy again(model.get(), &KeyboardsModel::firstSeen);
    roster.plug(kPad);
    EXPECT_EQ(again.size(), 1);
}

TEST_F(KeyboardsModelTest, NewKeyboardsFollowTheSettingAndAnUnreadableListIsKeptAside)
{
    defaults->setValue("keyboards", QByteArray("[{\"key\":\"x\"}]"));
    auto model = open();
    QSignalSpy firstSeen(model.get(), &KeyboardsModel::firstSeen);
    roster.setPresent({kLaptop}); // listed late, on a first run: no news
    EXPECT_EQ(firstSeen.size(), 0);
    model->setRemapNewKeyboards(false);
    EXPECT_FALSE(roster.choices().remapNew);
    roster.plug({0x06, 0, 0, "keyd virtual keyboard", ""});
    ASSERT_EQ(firstSeen.size(), 1);
    EXPECT_FALSE(firstSeen[0][1].toBool());
    EXPECT_TRUE(model->otherVirtualKeyboardPresent());
    EXPECT_FALSE(roster.keyboards()[1].remapped);
    EXPECT_EQ(defaults->dataValue(UserDefaults::keptAsideKey("keyboards")), QByteArray("[{\"key\":\"x\"}]"));
    EXPECT_EQ(defaults->boolValue("remapNewKeyboards"), false);

    for (const char* bad : {"{}", "[1]", "[{\"key\":\"\",\"name\":\"n\",\"bus\":3,\"remap\":true}]",
                            "[{\"key\":\"k\",\"name\":\"n\",\"bus\":70000,\"remap\":true}]",
                            "[{\"key\":\"k\",\"name\":\"n\",\"bus\":3,\"remap\":1}]"})
        EXPECT_FALSE(KeyboardsModel::decode(bad)) << bad;
    const std::vector<KeyboardsModel::Remembered> list{{"k", "名前", 5, false}};
    EXPECT_EQ(KeyboardsModel::decode(KeyboardsModel::encode(list)), list);
}

} // namespace
} // namespace kestrune
