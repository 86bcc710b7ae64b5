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
