#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/config/general_dialog.h"
#include "framework/lullex.h"
#include "framework/services/services.h"
#include "framework/startup/prefs.h"
#include "support/framework_seams.h"

namespace {

const char *const Key = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

struct Stored {
    bool present;
    DWORD type;
    std::vector<BYTE> data;
};

void DeleteKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, Key);
    RegDeleteKeyA(HKEY_CURRENT_USER, Key);
}

// Every case starts with no stored values and the default preferences in force,
// whatever an earlier case declared through SetSupport.
void FreshState()
{
    ResetFramework();
    ScrEnsureInit();
    DeleteKey();
}

void Put(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void PutDword(const char *name, DWORD value)
{
    Put(name, REG_DWORD, &value, sizeof(value));
}

void PutString(const char *name, const char *text)
{
    Put(name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

Stored Get(const char *name)
{
    Stored stored = {false, 0, {}};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    BYTE data[64];
    DWORD size = sizeof(data);
    if (RegQueryValueExA(key, name, NULL, &stored.type, data, &size) == ERROR_SUCCESS) {
        stored.present = true;
        stored.data.assign(data, data + size);
    }
    RegCloseKey(key);
    return stored;
}

std::vector<BYTE> DwordBytes(DWORD value)
{
    return std::vector<BYTE>((BYTE *)&value, (BYTE *)&value + 4);
}

void SetSupport(LONG sound, LONG activeConfig)
{
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->supportsMuteSound = sound;
    prefs->supportsActiveConfig = activeConfig;
    ScrSetPrefs(prefs);
}

void SetCorners(GeneralDialog &g, BYTE a, BYTE b, BYTE c, BYTE d)
{
    g.corner[0] = a;
    g.corner[1] = b;
    g.corner[2] = c;
    g.corner[3] = d;
}

std::vector<int> Corners(const GeneralDialog &g)
{
    return {g.corner[0], g.corner[1], g.corner[2], g.corner[3]};
}

class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        FreshState();
    }
    void TearDown() override { DeleteKey(); }
};

}  // namespace

TEST_F(Settings, WithoutTheKeyANewObjectHoldsTheDefaults)
{
    SetSupport(1, 1);
    GeneralDialog g;
    EXPECT_EQ(g.fillingControls, 0);
    EXPECT_EQ(Corners(g), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(g.muteSound, 0);
    EXPECT_EQ(g.mouseThreshold, 0);
    EXPECT_EQ(g.mouseThresholdIndex, 0);
    EXPECT_EQ(g.passwordDelay, 60);
    EXPECT_EQ(g.passwordDelayIndex, 0);
    EXPECT_EQ(g.activeConfig, 0);
    EXPECT_FALSE(g.Revert());
}

TEST_F(Settings, StoredValuesAreTakenAsStored)
{
    SetSupport(1, 1);
    PutDword("Password Delay", 600);
    PutDword("Password Delay Index", 1);
    PutDword("Mouse Threshold", 200);
    PutDword("Mouse Threshold Index", 2);
    PutString("Mouse Corners", "-YN-");
    PutDword("Mute Sound", 1);
    PutDword("Active Config", 1);
    GeneralDialog g;
    EXPECT_EQ(g.passwordDelay, 600);
    EXPECT_EQ(g.passwordDelayIndex, 1);
    EXPECT_EQ(g.mouseThreshold, 200);
    EXPECT_EQ(g.mouseThresholdIndex, 2);
    EXPECT_EQ(Corners(g), (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(g.muteSound, 1);
    EXPECT_EQ(g.activeConfig, 1);
    EXPECT_FALSE(g.Revert());
}

TEST_F(Settings, ValuesAreNotValidatedBeyondTheIndexes)
{
    SetSupport(1, 1);
    PutDword("Password Delay", 0xFFFFFFFF);
    PutDword("Mouse Threshold", 0x80000000);
    PutDword("Mute Sound", 77);
    PutDword("Active Config", 0xFFFFFFFE);
    GeneralDialog g;
    EXPECT_EQ(g.passwordDelay, -1);
    EXPECT_EQ(g.mouseThreshold, (LONG)0x80000000);
    EXPECT_EQ(g.muteSound, 77);
    EXPECT_EQ(g.activeConfig, -2);
}

struct IndexCase {
    const char *name;
    DWORD stored;
    LONG passwordDelayIndex;
    LONG mouseThresholdIndex;
};

class IndexClamp : public testing::TestWithParam<IndexCase> {
protected:
    void SetUp() override
    {
        FreshState();
    }
    void TearDown() override { DeleteKey(); }
};

TEST_P(IndexClamp, OutOfRangeIndexesAreClampedUnsigned)
{
    PutDword(GetParam().name, GetParam().stored);
    GeneralDialog g;
    EXPECT_EQ(g.passwordDelayIndex, GetParam().passwordDelayIndex);
    EXPECT_EQ(g.mouseThresholdIndex, GetParam().mouseThresholdIndex);
}

INSTANTIATE_TEST_SUITE_P(Settings, IndexClamp,
                         testing::Values(IndexCase{"Password Delay Index", 5, 1, 0},
                                         IndexCase{"Password Delay Index", 0xFFFFFFFF, 1, 0},
                                         IndexCase{"Password Delay Index", 1, 1, 0},
                                         IndexCase{"Mouse Threshold Index", 7, 0, 3},
                                         IndexCase{"Mouse Threshold Index", 0xFFFFFFFF, 0, 3},
                                         IndexCase{"Mouse Threshold Index", 0x80000000, 0, 3},
                                         IndexCase{"Mouse Threshold Index", 3, 0, 3}));

TEST_F(Settings, MouseThresholdIndexIsClampedEvenWhenNotStored)
{
    PutDword("Password Delay", 30);
    GeneralDialog g;
    g.mouseThresholdIndex = 9;
    g.ReadRegistry();
    EXPECT_EQ(g.mouseThresholdIndex, 3);
    EXPECT_EQ(g.passwordDelay, 30);
}

struct CornerCase {
    const char *label;
    DWORD type;
    std::string data;   // stored bytes, terminator included where wanted
    std::vector<int> corners;
};

class CornerReading : public testing::TestWithParam<CornerCase> {
protected:
    void SetUp() override
    {
        FreshState();
    }
    void TearDown() override { DeleteKey(); }
};

TEST_P(CornerReading, EachPositionGivesItsCornerState)
{
    const CornerCase &c = GetParam();
    Put("Mouse Corners", c.type, c.data.data(), (DWORD)c.data.size());
    GeneralDialog g;
    SetCorners(g, 2, 1, 2, 1);   // what an unreadable value must leave alone
    g.ReadRegistry();
    EXPECT_EQ(Corners(g), c.corners);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CornerReading,
    testing::Values(
        CornerCase{"TwoCharacters", REG_SZ, std::string("YN\0", 3), {1, 2, 0, 0}},
        CornerCase{"FourCharacters", REG_SZ, std::string("N-YN\0", 5), {2, 0, 1, 2}},
        CornerCase{"LowerCaseIsDefault", REG_SZ, std::string("yyyy\0", 5), {0, 0, 0, 0}},
        CornerCase{"OtherCharactersAreDefault", REG_SZ, std::string("x1 n\0", 5), {0, 0, 0, 0}},
        CornerCase{"Empty", REG_SZ, std::string("\0", 1), {0, 0, 0, 0}},
        CornerCase{"FiveCharactersDoNotRead", REG_SZ, std::string("YNYNY\0", 6), {2, 1, 2, 1}},
        CornerCase{"TextEndsAtItsTerminator", REG_BINARY, std::string("Y\0NN", 4), {1, 0, 0, 0}},
        CornerCase{"TypeIsNotChecked", REG_BINARY, std::string("NNNN", 4), {2, 2, 2, 2}}),
    [](const testing::TestParamInfo<CornerCase> &info) { return std::string(info.param.label); });

TEST_F(Settings, WritingStoresEveryValueWithItsTypeAndSize)
{
    SetSupport(1, 1);
    GeneralDialog g;
    SetCorners(g, 1, 2, 0, 1);
    g.passwordDelay = 300;
    g.passwordDelayIndex = 1;
    g.mouseThreshold = 400;
    g.mouseThresholdIndex = 2;
    g.muteSound = 1;
    g.activeConfig = 1;
    g.WriteRegistry();

    const struct {
        const char *name;
        DWORD value;
    } numbers[] = {{"Password Delay", 300}, {"Password Delay Index", 1}, {"Mouse Threshold", 400},
                   {"Mouse Threshold Index", 2}, {"Mute Sound", 1},      {"Active Config", 1}};
    for (const auto &n : numbers) {
        SCOPED_TRACE(n.name);
        Stored s = Get(n.name);
        ASSERT_TRUE(s.present);
        EXPECT_EQ(s.type, (DWORD)REG_DWORD);
        EXPECT_EQ(s.data, DwordBytes(n.value));
    }
    Stored corners = Get("Mouse Corners");
    ASSERT_TRUE(corners.present);
    EXPECT_EQ(corners.type, (DWORD)REG_SZ);
    EXPECT_EQ(std::string(corners.data.begin(), corners.data.end()), std::string("YN-Y\0", 5));
}

TEST_F(Settings, WrittenValuesReadBackIntoANewObject)
{
    SetSupport(1, 1);
    GeneralDialog g;
    SetCorners(g, 2, 0, 1, 2);
    g.passwordDelay = 120;
    g.mouseThreshold = 999999;
    g.mouseThresholdIndex = 3;
    g.muteSound = 1;
    g.activeConfig = 1;
    g.WriteRegistry();
    GeneralDialog h;
    EXPECT_EQ(Corners(h), Corners(g));
    EXPECT_EQ(h.passwordDelay, 120);
    EXPECT_EQ(h.mouseThreshold, 999999);
    EXPECT_EQ(h.mouseThresholdIndex, 3);
    EXPECT_EQ(h.muteSound, 1);
    EXPECT_EQ(h.activeConfig, 1);
}

TEST_F(Settings, WithoutSoundMuteSoundIsNeitherReadNorWritten)
{
    SetSupport(0, 0);
    PutDword("Mute Sound", 5);
    GeneralDialog g;
    EXPECT_EQ(g.muteSound, 0);
    g.muteSound = 1;
    g.WriteRegistry();
    EXPECT_EQ(Get("Mute Sound").data, DwordBytes(5));
}

TEST_F(Settings, WithoutActiveConfigurationActiveConfigIsNeitherReadNorWritten)
{
    PutDword("Active Config", 1);
    GeneralDialog g;   // the default preferences declare no active configuration
    EXPECT_EQ(g.activeConfig, 0);
    DeleteKey();
    g.activeConfig = 1;
    g.WriteRegistry();
    EXPECT_FALSE(Get("Active Config").present);
    EXPECT_TRUE(Get("Mute Sound").present);
    EXPECT_TRUE(Get("Password Delay").present);
}

TEST_F(Settings, FourByteBinaryPasswordDelayIsTakenLikeADword)
{
    const BYTE data[4] = {0x2C, 0x01, 0x00, 0x00};
    Put("Password Delay", REG_BINARY, data, sizeof(data));
    GeneralDialog g;
    EXPECT_EQ(g.passwordDelay, 300);
}

TEST_F(Settings, ShorterDataIsTakenAsASmallerNumber)
{
    const BYTE data[2] = {0x34, 0x12};
    Put("Mouse Threshold", REG_BINARY, data, sizeof(data));
    GeneralDialog g;
    EXPECT_EQ(g.mouseThreshold, 0x1234);
}

struct LongerCase {
    const char *name;
    DWORD type;
    std::string data;
};

class LongerData : public testing::TestWithParam<LongerCase> {
protected:
    void SetUp() override
    {
        FreshState();
        SetSupport(1, 1);
    }
    void TearDown() override { DeleteKey(); }
};

TEST_P(LongerData, LeavesEveryFieldAsItWas)
{
    Put(GetParam().name, GetParam().type, GetParam().data.data(), (DWORD)GetParam().data.size());
    GeneralDialog g;
    g.passwordDelay = 11;
    g.passwordDelayIndex = 1;
    g.mouseThreshold = 22;
    g.mouseThresholdIndex = 2;
    g.muteSound = 33;
    g.activeConfig = 44;
    g.ReadRegistry();
    EXPECT_EQ(g.passwordDelay, 11);
    EXPECT_EQ(g.passwordDelayIndex, 1);
    EXPECT_EQ(g.mouseThreshold, 22);
    EXPECT_EQ(g.mouseThresholdIndex, 2);
    EXPECT_EQ(g.muteSound, 33);
    EXPECT_EQ(g.activeConfig, 44);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LongerData,
    testing::Values(LongerCase{"Password Delay", REG_BINARY, std::string(8, '\x01')},
                    LongerCase{"Password Delay Index", REG_QWORD, std::string(8, '\0')},
                    LongerCase{"Mouse Threshold", REG_SZ, std::string("12345\0", 6)},
                    LongerCase{"Mouse Threshold Index", REG_BINARY, std::string(5, '\0')},
                    LongerCase{"Mute Sound", REG_SZ, std::string("yes please\0", 11)},
                    LongerCase{"Active Config", REG_BINARY, std::string(16, '\xFF')}));

TEST_F(Settings, RevertRightAfterConstructionChangesNothing)
{
    PutDword("Password Delay", 90);
    GeneralDialog g;
    EXPECT_FALSE(g.Revert());
    EXPECT_EQ(g.passwordDelay, 90);
}

TEST_F(Settings, RevertAfterOneCornerChangedRestoresEveryField)
{
    SetSupport(1, 1);
    PutString("Mouse Corners", "Y---");
    PutDword("Mouse Threshold", 200);
    PutDword("Mouse Threshold Index", 1);
    GeneralDialog g;
    g.corner[3] = 2;
    g.mouseThreshold = 400;
    g.mouseThresholdIndex = 2;
    g.passwordDelay = 5;
    g.passwordDelayIndex = 1;
    g.muteSound = 1;
    g.activeConfig = 1;
    EXPECT_TRUE(g.Revert());
    EXPECT_EQ(Corners(g), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(g.mouseThreshold, 200);
    EXPECT_EQ(g.mouseThresholdIndex, 1);
    EXPECT_EQ(g.passwordDelay, 60);
    EXPECT_EQ(g.passwordDelayIndex, 0);
    EXPECT_EQ(g.muteSound, 0);
    EXPECT_EQ(g.activeConfig, 0);
    EXPECT_FALSE(g.Revert());
}

TEST_F(Settings, EachValueAloneMakesRevertRestore)
{
    LONG GeneralDialog::*fields[] = {&GeneralDialog::muteSound,          &GeneralDialog::mouseThreshold,
                                     &GeneralDialog::mouseThresholdIndex, &GeneralDialog::passwordDelay,
                                     &GeneralDialog::passwordDelayIndex,  &GeneralDialog::activeConfig};
    for (LONG GeneralDialog::*field : fields) {
        GeneralDialog g;
        LONG before = g.*field;
        g.*field = before + 1;
        EXPECT_TRUE(g.Revert());
        EXPECT_EQ(g.*field, before);
    }
}

TEST_F(Settings, RememberMakesTheCurrentValuesTheOnesToReturnTo)
{
    GeneralDialog g;
    g.corner[1] = 1;
    g.passwordDelay = 240;
    g.Remember();
    EXPECT_FALSE(g.Revert());
    g.corner[1] = 2;
    EXPECT_TRUE(g.Revert());
    EXPECT_EQ(g.corner[1], 1);
    EXPECT_EQ(g.passwordDelay, 240);
}
