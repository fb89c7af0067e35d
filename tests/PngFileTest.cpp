// SPDX-License-Identifier: MIT
// Screenshot files without a window: the PNG writer read back through libpng's own decoder, the
// failures it must report instead of crashing or replacing a file, and the screenshot's name, which
// writers racing for it in one folder each get a number of their own.
#include "ScratchFolder.h"
#include "app/CScreenshots.h"
#include "platform/PngFile.h"

#include <gtest/gtest.h>

#include <png.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

// An odd width, so that rows are not a multiple of four bytes, and bytes that follow no pattern,
// so that a swapped channel, row or column shows and the encoder cannot squeeze them much.
std::vector<unsigned char> TestPicture(int width, int height)
{
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint32_t state = 12345;
    for (unsigned char& byte : rgb)
    {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return rgb;
}

std::string ReadText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct FailedWrite
{
    const char* name;
    const char* file;      // within the scratch folder, without ".png"
    const char* existing;  // a file there before the write, with the text "keep me"
    int error;             // the errno whose text is the reason
    rlim_t sizeLimit;      // how large files may grow, as on a full disk (EFBIG instead of ENOSPC)
    int width, height;
};

void PrintTo(const FailedWrite& test, std::ostream* out)
{
    *out << test.name;
}

const FailedWrite FailedWrites[] = {
    {"MissingFolder", "absent/shot", nullptr, ENOENT, RLIM_INFINITY, 21, 13},
    {"FolderIsAFile", "plain.txt/shot", "plain.txt", ENOTDIR, RLIM_INFINITY, 21, 13},
    // The last bytes fail when the file is closed; a larger picture fails while it is written.
    {"DiskFullAtTheEnd", "shot", nullptr, EFBIG, 100, 21, 13},
    {"DiskFullMidway", "shot", nullptr, EFBIG, 100, 300, 200},
};

class PngFileFailure : public ::testing::TestWithParam<FailedWrite>
{
};
}

TEST(PngFile, ReadsBackThroughLibpngAsTheSamePixelsTopRowFirst)
{
    ScratchFolder scratch;
    const std::vector<unsigned char> written = TestPicture(21, 13);
    std::string path, error = "stale";
    ASSERT_TRUE(WriteNewPngFile(scratch.PathOf("shot"), 21, 13, written, path, error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(path, scratch.PathOf("shot.png"));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, scratch.PathOf("shot.png").c_str())) << image.message;
    EXPECT_EQ(image.width, 21u);
    EXPECT_EQ(image.height, 13u);
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGB)) << "no alpha, no palette, 8 bits";
    std::vector<unsigned char> read(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr)) << image.message;
    EXPECT_EQ(read, written);
}

TEST_P(PngFileFailure, SaysWhyAndLeavesNoFileBehindNorReplacesOne)
{
    const FailedWrite& test = GetParam();
    ScratchFolder scratch;
    if (test.existing != nullptr)
        scratch.Write(test.existing, "keep me");
    const std::string path = scratch.PathOf(test.file) + ".png";
    const std::string before = ReadText(path);
    const std::vector<unsigned char> picture = TestPicture(test.width, test.height);

    // Only the write itself runs under the limit, with the signal for it ignored.
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit limited{std::min(test.sizeLimit, unlimited.rlim_max), unlimited.rlim_max};
    const sighandler_t signalHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    std::string error, tried;
    const bool written = WriteNewPngFile(scratch.PathOf(test.file), test.width, test.height, picture, tried, error);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    signal(SIGXFSZ, signalHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, std::strerror(test.error));
    EXPECT_EQ(ReadText(path), before) << "the file there before the write must stay as it was";
    EXPECT_EQ(fs::exists(path), !before.empty()) << "a half-written file stays behind";
}

INSTANTIATE_TEST_SUITE_P(Writes, PngFileFailure, ::testing::ValuesIn(FailedWrites),
                         [](const ::testing::TestParamInfo<FailedWrite>& info) { return info.param.name; });

namespace
{
// Whether `path` holds `rgb` as a PNG of that size.
bool HoldsPicture(const std::string& path, const std::vector<unsigned char>& rgb, int width, int height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    if (image.width != static_cast<png_uint_32>(width) || image.height != static_cast<png_uint_32>(height))
    {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> read(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, read.data(), 0, nullptr) && read == rgb;
}
}

// Named after the date and time; a name taken (a file, even a link to nowhere) is passed over for
// the next number and left as it was; with every number taken the search ends and says so.
TEST(ScreenshotName, DateAndTimeThenTheFirstFreeNumberUpToTheLast)
{
    ScratchFolder scratch;
    std::tm noon{};
    noon.tm_year = 2026 - 1900;
    noon.tm_mon = 11;
    noon.tm_mday = 8;
    noon.tm_hour = 12;
    noon.tm_min = 15;
    noon.tm_sec = 30;
    noon.tm_isdst = -1;
    const std::string stem = ScreenshotStem(scratch.PathOf(""), std::mktime(&noon));
    ASSERT_EQ(stem, scratch.PathOf("merrowind-2026-12-08-121530"));
    scratch.Write("merrowind-2026-12-08-121530.png", "taken");
    fs::create_symlink("nowhere", scratch.PathOf("merrowind-2026-12-08-121530-2.png"));
    const std::vector<unsigned char> picture = TestPicture(3, 2);
    std::string path, error;
    ASSERT_TRUE(WriteNewPngFile(stem, 3, 2, picture, path, error)) << error;
    EXPECT_EQ(path, stem + "-3.png");
    EXPECT_TRUE(HoldsPicture(path, picture, 3, 2));
    EXPECT_EQ(ReadText(stem + ".png"), "taken");
    EXPECT_FALSE(fs::exists(scratch.PathOf("nowhere")));

    for (int number = 4; number <= MaxPngNames; ++number)
        scratch.Write("merrowind-2026-12-08-121530-" + std::to_string(number) + ".png", "");
    EXPECT_FALSE(WriteNewPngFile(stem, 3, 2, picture, path, error));
    EXPECT_EQ(error, "every name from " + stem + ".png to " + stem + "-1000.png is taken");
    EXPECT_FALSE(WriteNewPngFile(stem + std::string("\0", 1), 3, 2, picture, path, error));
    EXPECT_EQ(error, "the path holds a NUL byte");
}

// Two programs sharing a home take screenshots in the same second: several processes, released
// together, each write their shots under one stem. Every shot is a file of its own, whole.
TEST(ScreenshotName, WritersRacingForOneNameEachGetAFileOfTheirOwn)
{
    constexpr int Writers = 8, ShotsEach = 40;
    ScratchFolder scratch;
    const std::string stem = scratch.PathOf("merrowind-2026-12-08-121530");
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < Writers; ++writer)
    {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            close(start[1]);
            char go = 0;
            const bool released = read(start[0], &go, 1) == 0;  // every writer waits for the close
            const std::vector<unsigned char> picture = TestPicture(4 + writer, 3);
            int written = 0;
            for (int shot = 0; shot < ShotsEach; ++shot)
            {
                std::string path, error;
                written += WriteNewPngFile(stem, 4 + writer, 3, picture, path, error);
            }
            _exit(released && written == ShotsEach ? 0 : 1);
        }
        writers.push_back(child);
    }
    close(start[0]);
    close(start[1]);
    for (const pid_t writer : writers)
    {
        int status = -1;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer lost a shot";
    }
    int whole = 0;
    for (int number = 1; number <= Writers * ShotsEach; ++number)
    {
        const std::string path = stem + (number == 1 ? "" : "-" + std::to_string(number)) + ".png";
        for (int writer = 0; writer < Writers; ++writer)
            whole += HoldsPicture(path, TestPicture(4 + writer, 3), 4 + writer, 3);
    }
    EXPECT_EQ(whole, Writers * ShotsEach);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.PathOf("")), fs::directory_iterator()), Writers * ShotsEach);
}
