// Loading the remapper's settings and what each change does.

#include "RemapperFixture.h"
#include "base/KeyNames.h"

#include <QFile>

namespace kestrune::testing {
namespace {

using config::CmdEisuKanaConfig;
using config::HyperKeyConfig;
using config::SinglePressConfig;
using config::VimModeConfig;

TEST_F(RemapperTest, EmptyDefaultsGiveTheDefaultsAndWriteNothing)
{
    KeyRemapper& r = make().remapper;
    EXPECT_TRUE(r.isEnabled());
    EXPECT_TRUE(r.isHyperKeyEnabled());
    EXPECT_EQ(r.hyperKeyConfig(), HyperKeyConfig::hyper);
    EXPECT_TRUE(r.isSinglePressEnabled());
    EXPECT_EQ(r.singlePressConfig(), SinglePressConfig::non);
    EXPECT_FALSE(r.isCmdEisuKanaEnabled());
    EXPECT_EQ(r.cmdEisuKanaConfig(), CmdEisuKanaConfig::leftEisuRightKana);
    EXPECT_FALSE(r.isCapsLockDoubleTapEnabled());
    EXPECT_TRUE(r.isVimModeEnabled());
    EXPECT_EQ(r.vimModeConfig(), VimModeConfig::vim);
    EXPECT_FALSE(r.isDebugEnabled());
    EXPECT_EQ(r.debugLog(), QStringLiteral("Ready.\n"));
    EXPECT_FALSE(QFile::exists(dir_.filePath("settings.json")));
}

TEST_F(RemapperTest, StoredValuesAreReadExactlyAndBadOnesFallBackUntouched)
{
    store("singlePressConfig", QStringLiteral("none")); // not a raw value: "non" is
    store("hyperKeyConfig", QStringLiteral("CTRLSHIFT")); // raw values are case-sensitive
    store("isHyperKeyEnabled", QStringLiteral("false")); // a string is no Boolean
    store("isVimModeEnabled", false);
    store("vimModeConfig", QStringLiteral("gamer"));
    store("cmdEisuKanaConfig", QStringLiteral("leftDelRightFnDel"));
    store("isCapsLockDoubleTapEnabled", QByteArray("1"));
    KeyRemapper& r = make().remapper;
    EXPECT_EQ(r.singlePressConfig(), SinglePressConfig::non);
    EXPECT_EQ(r.hyperKeyConfig(), HyperKeyConfig::hyper);
    EXPECT_TRUE(r.isHyperKeyEnabled());
    EXPECT_FALSE(r.isVimModeEnabled());
    EXPECT_EQ(r.vimModeConfig(), VimModeConfig::gamer);
    EXPECT_EQ(r.cmdEisuKanaConfig(), CmdEisuKanaConfig::leftDelRightFnDel);
    EXPECT_FALSE(r.isCapsLockDoubleTapEnabled());
    // The bad values stay stored until the settings are changed.
    UserDefaults& d = harness_->sim.defaults();
    EXPECT_EQ(d.stringValue("singlePressConfig"), QStringLiteral("none"));
    EXPECT_EQ(d.stringValue("isHyperKeyEnabled"), QStringLiteral("false"));

    harness_.reset();
    store("singlePressConfig", QStringLiteral("esc"));
    store("hyperKeyConfig", QStringLiteral("ctrlShift"));
    EXPECT_EQ(make().remapper.singlePressConfig(), SinglePressConfig::esc);
    EXPECT_EQ(harness_->remapper.hyperKeyConfig(), HyperKeyConfig::ctrlShift);
}

TEST_F(RemapperTest, ChangesAreStoredAndSurviveARelaunchButPausingIsNot)
{
    SimHarness& h = launched();
    h.remapper.setIsHyperKeyEnabled(false);
    h.remapper.setIsCmdEisuKanaEnabled(true);
    h.remapper.setCmdEisuKanaConfig(CmdEisuKanaConfig::leftDelRightFnDel);
    h.remapper.setIsCapsLockDoubleTapEnabled(true);
    h.remapper.setIsVimModeEnabled(false);
    h.remapper.setVimModeConfig(VimModeConfig::gamer);
    h.remapper.setSinglePressConfig(SinglePressConfig::fnDelete);
    h.remapper.setIsSinglePressEnabled(false);
    h.remapper.setHyperKeyConfig(HyperKeyConfig::optShift);
    h.remapper.setIsEnabled(false);
    h.settle();
    EXPECT_FALSE(h.sim.defaults().value("isEnabled").has_value());

    harness_.reset();
    KeyRemapper& r = make().remapper;
    EXPECT_TRUE(r.isEnabled());
    EXPECT_FALSE(r.isHyperKeyEnabled());
    EXPECT_TRUE(r.isCmdEisuKanaEnabled());
    EXPECT_EQ(r.cmdEisuKanaConfig(), CmdEisuKanaConfig::leftDelRightFnDel);
    EXPECT_TRUE(r.isCapsLockDoubleTapEnabled());
    EXPECT_FALSE(r.isVimModeEnabled());
    EXPECT_EQ(r.vimModeConfig(), VimModeConfig::gamer);
    EXPECT_EQ(r.singlePressConfig(), SinglePressConfig::fnDelete);
    EXPECT_FALSE(r.isSinglePressEnabled());
    EXPECT_EQ(r.hyperKeyConfig(), HyperKeyConfig::optShift);
}

TEST_F(RemapperTest, HyperConfigReachesTheNextKeyAtOnceAndTheStoreAMomentLater)
{
    SimHarness& h = launched();
    h.remapper.setHyperKeyConfig(HyperKeyConfig::cmdOpt);
    // Not yet stored, nor told to the HUD: that is deferred to the main queue.
    EXPECT_FALSE(h.sim.defaults().value("hyperKeyConfig").has_value());
    EXPECT_EQ(h.hud.pendingHyperConfig(), HyperKeyConfig::hyper);
    const int from = mark();
    h.sim.keyboard().physicalDown(kc::kVK_CapsLock);
    h.sim.keyboard().physicalPress(8);
    EXPECT_TRUE(effects(from).contains("out down 8 cmd+opt")) << effects(from).join('\n').toStdString();

    h.settle();
    EXPECT_EQ(h.sim.defaults().stringValue("hyperKeyConfig"), QStringLiteral("cmdOpt"));
    EXPECT_EQ(h.hud.pendingHyperConfig(), HyperKeyConfig::cmdOpt);
}

TEST_F(RemapperTest, DeferredWritesStoreTheLatestValue)
{
    SimHarness& h = launched();
    h.remapper.setSinglePressConfig(SinglePressConfig::esc);
    h.remapper.setSinglePressConfig(SinglePressConfig::fnDelete);
    h.settle();
    EXPECT_EQ(h.sim.defaults().stringValue("singlePressConfig"), QStringLiteral("fnDelete"));
}

TEST_F(RemapperTest, MappingFollowsTheTwoCapsLockFeatures)
{
    SimHarness& h = launched();
    int from = mark();
    h.remapper.setIsHyperKeyEnabled(false);
    h.remapper.setIsSinglePressEnabled(false);
    h.settle();
    EXPECT_EQ(effects(from), (QStringList{shell(kApply), shell(kReset)}));
    EXPECT_FALSE(h.sim.shell().isCapsLockMappedToF19());
    from = mark();
    h.remapper.setIsHyperKeyEnabled(true);
    EXPECT_EQ(effects(from), QStringList{shell(kApply)});
}

TEST_F(RemapperTest, ArrowModeKeysFollowTheLayoutAndTheSwitch)
{
    KeyRemapper& r = make().remapper;
    EXPECT_TRUE(r.isArrowModeKey(38));
    EXPECT_FALSE(r.isArrowModeKey(13));
    r.setVimModeConfig(VimModeConfig::gamer);
    EXPECT_FALSE(r.isArrowModeKey(38));
    EXPECT_TRUE(r.isArrowModeKey(13));
    r.setIsVimModeEnabled(false);
    EXPECT_FALSE(r.isArrowModeKey(13));
}

TEST(RemapperConfig, RawValuesRoundTripAndDisplayNamesSpeakThePlatform)
{
    for (auto c : config::kAllHyperKeyConfigs)
        EXPECT_EQ(config::hyperKeyConfigFromRaw(config::rawValue(c)), c);
    EXPECT_EQ(config::modifierFlags(HyperKeyConfig::hyper), 0x1E0000u);
    EXPECT_EQ(config::modifierFlags(HyperKeyConfig::optCtrlShift), 0xE0000u);
    EXPECT_EQ(config::singlePressConfigFromRaw("none"), std::nullopt);

    struct Names {
        KeyboardConvention convention;
        std::array<const char*, 11> hyper;
        const char* hyperClosed;
        const char* forwardDelete;
        const char* deleteKeys;
        const char* deleteKeysClosed;
    };
    const Names table[] = {
        {KeyboardConvention::macOS,
         {"Hyper (⌘⌥⌃⇧)", "⌘ ⌥ ⌃", "⌘ ⌥ ⇧", "⌘ ⌃ ⇧", "⌥ ⌃ ⇧", "⌘ ⌥", "⌘ ⌃", "⌘ ⇧", "⌥ ⌃", "⌥ ⇧", "⌃ ⇧"},
         "Hyper (⌘⌥⌃⇧)", "Fn + Delete", "Left: Del, Right: Fn+Del", "Del / Fn+Del"},
        {KeyboardConvention::linuxDesktop,
         {"Hyper (Super+Alt+Ctrl+Shift)", "Super+Alt+Ctrl", "Super+Alt+Shift", "Super+Ctrl+Shift", "Alt+Ctrl+Shift",
          "Super+Alt", "Super+Ctrl", "Super+Shift", "Alt+Ctrl", "Alt+Shift", "Ctrl+Shift"},
         "Hyper", "Delete", "Left: Backspace, Right: Delete", "Backspace / Del"},
    };
    for (const Names& names : table) {
        ScopedKeyboardConvention speaking(names.convention);
        SCOPED_TRACE(names.hyperClosed);
        for (size_t i = 0; i < config::kAllHyperKeyConfigs.size(); ++i) {
            const HyperKeyConfig c = config::kAllHyperKeyConfigs[i];
            EXPECT_EQ(config::displayName(c), QString::fromUtf8(names.hyper[i]));
            // Only the first option is shortened in a closed picker.
            EXPECT_EQ(config::shortDisplayName(c), i == 0 ? QString::fromUtf8(names.hyperClosed)
                                                          : config::displayName(c));
        }
        EXPECT_EQ(config::displayName(SinglePressConfig::fnDelete), QString::fromUtf8(names.forwardDelete));
        EXPECT_EQ(config::displayName(CmdEisuKanaConfig::leftDelRightFnDel), QString::fromUtf8(names.deleteKeys));
        EXPECT_EQ(config::displayName(CmdEisuKanaConfig::leftEisuRightKana), QStringLiteral("Left: Eisu, Right: Kana"));
        EXPECT_EQ(config::shortDisplayName(CmdEisuKanaConfig::leftDelRightFnDel), QString::fromUtf8(names.deleteKeysClosed));
        EXPECT_EQ(config::shortDisplayName(CmdEisuKanaConfig::leftEisuRightKana), QStringLiteral("Eisu / Kana"));
        EXPECT_EQ(config::displayName(SinglePressConfig::esc), QStringLiteral("Esc"));
    }
}

// Linux words on the screen, the same values in the file: a settings file
// moves between a Mac and a Linux desktop unchanged.
TEST_F(RemapperTest, ThePlatformsWordsLeaveTheStoredValuesAlone)
{
    ScopedKeyboardConvention speaking(KeyboardConvention::linuxDesktop);
    SimHarness& h = launched();
    h.remapper.setHyperKeyConfig(HyperKeyConfig::cmdCtrlShift);
    h.remapper.setSinglePressConfig(SinglePressConfig::fnDelete);
    h.remapper.setCmdEisuKanaConfig(CmdEisuKanaConfig::leftDelRightFnDel);
    h.settle();
    const auto stored = [&](const char* key) {
        return h.sim.defaults().stringValue(QString::fromLatin1(key)).value_or(QString());
    };
    EXPECT_EQ(stored("hyperKeyConfig"), QStringLiteral("cmdCtrlShift"));
    EXPECT_EQ(stored("singlePressConfig"), QStringLiteral("fnDelete"));
    EXPECT_EQ(stored("cmdEisuKanaConfig"), QStringLiteral("leftDelRightFnDel"));
}

} // namespace
} // namespace kestrune::testing
