// SPDX-License-Identifier: MIT
// Where the program reads and writes: the user's folders by the XDG Base Directory rules, resolved
// from concrete environments, the pictures folder from a real user-dirs.dirs, the data folder
// found among real folders, and whole-file replacement that loses nothing when it fails.
#include "ScratchFolder.h"

#include "platform/CUserFolders.h"
#include "platform/DataFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

namespace
{
namespace fs = std::filesystem;

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Each file the program reads, relative to its data folder, in three of them.
const std::vector<std::string> DataFiles = {"CG/VP_Underwater.cg", "norm.bmp", "skybox.bmp"};

void Populate(const ScratchFolder& root, const std::string& folder, const std::vector<std::string>& files)
{
    for (const std::string& file : files)
    {
        fs::create_directories(fs::path(root.PathOf(folder + "/" + file)).parent_path());
        root.Write(folder + "/" + file, "data");
    }
}
}

// Unset, empty and relative XDG variables all fall back to the home folder, as the rules say.
TEST(UserFolders, ConfigurationAndStateFoldersFollowTheXdgVariablesOrTheHomeFolder)
{
    struct Case
    {
        CUserFolders::Environment environment;
        std::string config, state;
    };
    const Case cases[] = {
        {{{"HOME", "/home/ann"}}, "/home/ann/.config/merrowind", "/home/ann/.local/state/merrowind"},
        {{{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_STATE_HOME", "/var/st"}},
         "/cfg/merrowind",
         "/var/st/merrowind"},
        {{{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_STATE_HOME", "./st"}},
         "/home/ann/.config/merrowind",
         "/home/ann/.local/state/merrowind"},
        {{{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", ""}, {"XDG_STATE_HOME", ""}},
         "/home/ann/.config/merrowind",
         "/home/ann/.local/state/merrowind"},
        {{{"XDG_CONFIG_HOME", "/cfg"}}, "/cfg/merrowind", "./.local/state/merrowind"},
    };
    for (const Case& c : cases)
    {
        const CUserFolders folders(c.environment);
        EXPECT_EQ(folders.Config(), c.config);
        EXPECT_EQ(folders.State(), c.state);
    }
}

namespace
{
// The pictures folder, or "refused: " and why not.
std::string PicturesOf(const CUserFolders& folders)
{
    std::string folder, error;
    return folders.Pictures(folder, error) ? folder : "refused: " + error;
}
}

// The pictures folder as user-dirs.dirs names it: "$HOME/..." or an absolute path, the last line
// that names it, backslash escapes undone; anything else leaves the home folder. A folder that no
// path can name (a NUL byte in it, longer than the system takes) is refused, and so is a file that
// is no user-dirs.dirs: read, a pipe would wait for ever and a device never end.
TEST(UserFolders, PicturesGoWhereUserDirsNamesThemElseIntoTheHomeFolder)
{
    const ScratchFolder config;
    const CUserFolders folders({{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", config.PathOf("")}});
    const std::string userDirs = config.PathOf("") + "/user-dirs.dirs";  // as the folders make it
    EXPECT_EQ(PicturesOf(folders), "/home/ann") << "without user-dirs.dirs";
    const std::pair<std::string, std::string> cases[] = {
        {"XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", "/home/ann/Pictures"},
        {"XDG_PICTURES_DIR=\"/data/pictures\"\n", "/data/pictures"},
        {"# XDG_PICTURES_DIR=\"$HOME/old\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"",
         "/home/ann/My \"Pics\""},
        {"XDG_PICTURES_DIR=\"$HOME/first\"\nXDG_PICTURES_DIR=\"$HOME/second\"\n", "/home/ann/second"},
        {"XDG_PICTURES_DIR=\"$HOME\"\n", "/home/ann"},
        {"XDG_PICTURES_DIR=\"Pictures\"\n", "/home/ann"},
        {"XDG_PICTURES_DIR=\"$HOMEWORK/p\"\n", "/home/ann"},
        {"XDG_PICTURES_DIR=\"$HOME/unterminated\n", "/home/ann"},
        {"XDG_PICTURES_DIRS=\"/elsewhere\"\n", "/home/ann"},
        {std::string("XDG_PICTURES_DIR=\"$HOME/Pictures\0\"\n", 35),
         "refused: the pictures folder that " + userDirs + " names cannot be used: the path holds a NUL byte"},
        {"XDG_PICTURES_DIR=\"/" + std::string(5000, 'p') + "\"\n",
         "refused: the pictures folder that " + userDirs +
             " names cannot be used: the path is 5001 bytes long; the system takes at most 4095"},
        {"XDG_PICTURES_DIR=\"$HOME/p\"\n" + std::string(MaxUserDirsBytes, '#'),
         "refused: " + userDirs + ", which names the pictures folder, is longer than 65536 bytes: it is not read"},
    };
    for (const auto& [text, pictures] : cases)
    {
        config.Write("user-dirs.dirs", text);
        EXPECT_EQ(PicturesOf(folders), pictures) << text.substr(0, 80);
    }

    const std::string notAFile = "refused: " + userDirs + ", which names the pictures folder, cannot be read: ";
    fs::remove(userDirs);
    ASSERT_EQ(mkfifo(userDirs.c_str(), 0600), 0);
    EXPECT_EQ(PicturesOf(folders), notAFile + "it is not a regular file") << "a named pipe";
    fs::remove(userDirs);
    fs::create_symlink("/dev/zero", userDirs);
    EXPECT_EQ(PicturesOf(folders), notAFile + "it is not a regular file") << "a link to /dev/zero";
    fs::remove(userDirs);
    fs::create_directory(userDirs);
    EXPECT_EQ(PicturesOf(folders), notAFile + "Is a directory");
}

// The saved file is whole or the old one stays: a folder that cannot be made, or a write that
// cannot be renamed into place, leaves the old file and no stray file beside it.
TEST(UserFolders, ReplaceFileCreatesItsFolderAndOnFailureKeepsTheOldFile)
{
    const ScratchFolder scratch;
    const std::string path = scratch.PathOf("state/merrowind/inspector.ini");
    std::string error;
    ASSERT_TRUE(ReplaceFile(path, "first", error)) << error;
    ASSERT_TRUE(ReplaceFile(path, "second", error)) << error;
    EXPECT_EQ(ReadAll(path), "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), fs::directory_iterator{}), 1);

    scratch.Write("file", "not a folder");
    EXPECT_FALSE(ReplaceFile(scratch.PathOf("file/merrowind/inspector.ini"), "x", error));
    EXPECT_NE(error.find(scratch.PathOf("file/merrowind")), std::string::npos) << error;
    EXPECT_EQ(ReadAll(scratch.PathOf("file")), "not a folder");

    fs::create_directories(scratch.PathOf("taken/inner"));
    EXPECT_FALSE(ReplaceFile(scratch.PathOf("taken"), "x", error));
    EXPECT_EQ(error, "Is a directory");
    EXPECT_TRUE(fs::is_directory(scratch.PathOf("taken/inner")));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.PathOf("")), fs::directory_iterator{}), 3);

    // A file kept elsewhere and linked into place is replaced where it is, and the link stays.
    fs::create_directories(scratch.PathOf("dotfiles"));
    scratch.Write("dotfiles/merrowind.settings", "old");
    const std::string link = scratch.PathOf("linked.settings");
    fs::create_symlink("dotfiles/merrowind.settings", link);
    ASSERT_TRUE(ReplaceFile(link, "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(scratch.PathOf("dotfiles/merrowind.settings")), "new");
}

TEST(DataFolder, CandidatesAreTheWorkingFolderThenTheExecutablesFolderAndTheShareFoldersAboveIt)
{
    EXPECT_EQ(DataFolderCandidates("/home/ann", "/usr/libexec/merrowind"),
              (std::vector<std::string>{"/home/ann", "/usr/libexec/merrowind", "/usr/libexec/share/merrowind",
                                        "/usr/share/merrowind"}));
    EXPECT_EQ(DataFolderCandidates("/opt/m/bin/", "/opt/m/bin"),
              (std::vector<std::string>{"/opt/m/bin", "/opt/m/share/merrowind", "/opt/share/merrowind"}));
    EXPECT_EQ(DataFolderCandidates("", ""), std::vector<std::string>{});
}

// Only a folder with every file counts; where none has them, the report names each folder tried
// and what it lacks.
TEST(DataFolder, TheFirstFolderWithEveryFileIsChosenElseEachFolderTriedIsReported)
{
    const ScratchFolder root;
    Populate(root, "work", {"norm.bmp"});
    Populate(root, "prefix/share/merrowind", DataFiles);
    fs::create_directories(root.PathOf("prefix/libexec/merrowind"));
    fs::create_symlink("nowhere", root.PathOf("work/skybox.bmp"));
    const std::vector<std::string> candidates =
        DataFolderCandidates(root.PathOf("work"), root.PathOf("prefix/libexec/merrowind"));
    std::string report;
    EXPECT_EQ(FindDataFolder(candidates, DataFiles, report), root.PathOf("prefix/share/merrowind"));

    fs::remove(root.PathOf("prefix/share/merrowind/norm.bmp"));
    EXPECT_EQ(FindDataFolder(candidates, DataFiles, report), "");
    const std::string expected = "The program's shaders (CG/) and images (*.bmp) are in none of the folders it "
                                 "looked in:\n" +
                                 root.PathOf("work") + ": lacks CG/VP_Underwater.cg\n" +
                                 root.PathOf("prefix/libexec/merrowind") + ": has none of them\n" +
                                 root.PathOf("prefix/libexec/share/merrowind") + ": no such folder\n" +
                                 root.PathOf("prefix/share/merrowind") + ": lacks norm.bmp";
    EXPECT_EQ(report, expected);

    Populate(root, "work", DataFiles);
    EXPECT_EQ(FindDataFolder(candidates, DataFiles, report), root.PathOf("work"));
}
