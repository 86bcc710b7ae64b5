// The saver program's command line: every spelling a daemon or a user may give.
#include "linux/saver_options.h"
#include "platform/linux/texture_folder.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct OptionsRow {
    std::vector<const char *> args;   // after the program's name
    const char *environment;          // $XSCREENSAVER_WINDOW
    bool accepted;
    SaverOptions::Target target;
    unsigned long windowId;
    long delay = 30000;
    bool fps = false;
    long long seed = -1;   // -1: none given
    bool fixedStep = false;
    SaverOptions::Request request = SaverOptions::Animate;
};

const OptionsRow optionRows[] = {
    {{}, nullptr, true, SaverOptions::OwnWindow, 0},
    {{}, "", true, SaverOptions::OwnWindow, 0},
    {{"-root"}, nullptr, true, SaverOptions::RootWindow, 0},
    {{"--root"}, nullptr, true, SaverOptions::RootWindow, 0},
    {{"-window-id", "4194311"}, nullptr, true, SaverOptions::GivenWindow, 4194311},
    {{"--window-id", "0x400007"}, nullptr, true, SaverOptions::GivenWindow, 0x400007},
    {{}, "0x600001", true, SaverOptions::GivenWindow, 0x600001},
    {{}, "12345", true, SaverOptions::GivenWindow, 12345},
    // The daemon's window is the root window of the saver; -window-id goes first.
    {{"--root"}, "0x600001", true, SaverOptions::GivenWindow, 0x600001},
    {{"-root"}, "", true, SaverOptions::RootWindow, 0},
    {{"-window-id", "77"}, "0x600001", true, SaverOptions::GivenWindow, 77},
    // The last of several choices holds.
    {{"-window-id", "77", "-root"}, nullptr, true, SaverOptions::RootWindow, 77},
    {{"-window-id", "77", "-root"}, "0x600001", true, SaverOptions::GivenWindow, 0x600001},
    {{"-root", "--window-id", "0x10"}, nullptr, true, SaverOptions::GivenWindow, 16},
    // The window id fits the X protocol's 29 bits.
    {{"-window-id", "0x1FFFFFFF"}, nullptr, true, SaverOptions::GivenWindow, 0x1FFFFFFF},
    {{"-window-id", "536870911"}, nullptr, true, SaverOptions::GivenWindow, 0x1FFFFFFF},
    // Pace, frame rate, seed and step; help and version end the parsing.
    {{"-delay", "0", "--fps"}, nullptr, true, SaverOptions::OwnWindow, 0, 0, true},
    {{"--delay", "10000000", "-seed", "4294967295"}, nullptr, true, SaverOptions::OwnWindow, 0, 10000000, false,
     4294967295LL},
    {{"-seed", "0", "--fixed-step"}, nullptr, true, SaverOptions::OwnWindow, 0, 30000, false, 0, true},
    {{"-root", "--help", "-bogus"}, nullptr, true, SaverOptions::RootWindow, 0, 30000, false, -1, false,
     SaverOptions::ShowHelp},
    {{"-version"}, nullptr, true, SaverOptions::OwnWindow, 0, 30000, false, -1, false, SaverOptions::ShowVersion},
    // Refused: unknown options, missing or malformed ids, a bad environment.
    {{"-fullscreen"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"root"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"---root"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "0"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "12ab"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "-5"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "0x1ffffffffffffffff"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "-root"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "0x20000000"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "0x1000009f9"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "536870912"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "99999999999999999999999"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "+5"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", " 5"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-window-id", "0x"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-delay"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-delay", "10000001"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-delay", "-1"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-delay", "0x10"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-delay", "30000us"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-seed", "4294967296"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-seed", "-1"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{"-fps", "1"}, nullptr, false, SaverOptions::OwnWindow, 0},
    {{}, "window", false, SaverOptions::OwnWindow, 0},
    {{"-root"}, "0x", false, SaverOptions::OwnWindow, 0},
};

TEST(SaverOptions, EveryCommandLineOfTheTableGivesItsTargetOrAReason)
{
    for (const OptionsRow &row : optionRows) {
        std::vector<const char *> argv = {"nimbra"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        std::string line;
        for (const char *arg : row.args) line += std::string(arg) + " ";
        SCOPED_TRACE("command line: " + line + "environment: " + (row.environment ? row.environment : "(none)"));
        SaverOptions options;
        std::string error;
        const bool accepted = ParseSaverOptions(int(argv.size()), argv.data(), row.environment, &options, &error);
        ASSERT_EQ(accepted, row.accepted);
        if (!accepted) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(options.target, row.target);
        if (row.target == SaverOptions::GivenWindow) {
            EXPECT_EQ(options.windowId, row.windowId);
        }
        EXPECT_EQ(options.delay, row.delay);
        EXPECT_EQ(options.showFrameRate, row.fps);
        EXPECT_EQ(options.seedGiven, row.seed >= 0);
        if (row.seed >= 0) {
            EXPECT_EQ(options.seed, static_cast<unsigned int>(row.seed));
        }
        EXPECT_EQ(options.fixedStep, row.fixedStep);
        EXPECT_EQ(options.request, row.request);
    }
}

TEST(TextureFolder, TheFolderBesideTheProgramGoesBeforeTheInstalledOne)
{
    char scratch[] = "/tmp/nimbra-folder-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const std::string dir = scratch;
    EXPECT_EQ(TextureFolderFor(dir + "/nimbra", "/usr/share/nimbra"), "/usr/share/nimbra/");
    EXPECT_EQ(TextureFolderFor(dir + "/nimbra", "/usr/share/nimbra/"), "/usr/share/nimbra/");
    ASSERT_EQ(mkdir((dir + "/NimbraData").c_str(), 0755), 0);
    EXPECT_EQ(TextureFolderFor(dir + "/nimbra", "/usr/share/nimbra"), dir + "/NimbraData/");
    EXPECT_EQ(TextureFolderFor("nimbra", "/usr/share/nimbra"), "/usr/share/nimbra/");
    rmdir((dir + "/NimbraData").c_str());
    rmdir(dir.c_str());
}

} // namespace
