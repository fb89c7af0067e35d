// SPDX-License-Identifier: MIT
// Screenshot files without a window: the PNG writer read back through libpng's own decoder, the
// failures it must report instead of crashing or replacing a file, and the screenshot's name.
#include "ScratchFolder.h"
#include "app/CScreenshots.h"
#include "platform/PngFile.h"

#include <gtest/gtest.h>

#include <png.h>
#include <signal.h>
#include <sys/resource.h>

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
    const char* file;      // within the scratch folder
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
    {"MissingFolder", "absent/shot.png", nullptr, ENOENT, RLIM_INFINITY, 21, 13},
    {"FolderIsAFile", "plain.txt/shot.png", "plain.txt", ENOTDIR, RLIM_INFINITY, 21, 13},
    {"NameTaken", "shot.png", "shot.png", EEXIST, RLIM_INFINITY, 21, 13},
    // The last bytes fail when the file is closed; a larger picture fails while it is written.
    {"DiskFullAtTheEnd", "shot.png", nullptr, EFBIG, 100, 21, 13},
    {"DiskFullMidway", "shot.png", nullptr, EFBIG, 100, 300, 200},
};

class PngFileFailure : public ::testing::TestWithParam<FailedWrite>
{
};
}

TEST(PngFile, ReadsBackThroughLibpngAsTheSamePixelsTopRowFirst)
{
    ScratchFolder scratch;
    const std::vector<unsigned char> written = TestPicture(21, 13);
    std::string error = "stale";
    ASSERT_TRUE(WritePngFile(scratch.PathOf("shot.png"), 21, 13, written, error));
    EXPECT_EQ(error, "");

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
    const std::string path = scratch.PathOf(test.file);
    const std::string before = ReadText(path);
    const std::vector<unsigned char> picture = TestPicture(test.width, test.height);

    // Only the write itself runs under the limit, with the signal for it ignored.
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit limited{std::min(test.sizeLimit, unlimited.rlim_max), unlimited.rlim_max};
    const sighandler_t signalHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    std::string error;
    const bool written = WritePngFile(path, test.width, test.height, picture, error);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    signal(SIGXFSZ, signalHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, std::strerror(test.error));
    EXPECT_EQ(ReadText(path), before) << "the file there before the write must stay as it was";
    EXPECT_EQ(fs::exists(path), !before.empty()) << "a half-written file stays behind";
}

INSTANTIATE_TEST_SUITE_P(Writes, PngFileFailure, ::testing::ValuesIn(FailedWrites),
                         [](const ::testing::TestParamInfo<FailedWrite>& info) { return info.param.name; });

TEST(ScreenshotPath, DateAndTimeThenTheFirstFreeNumber)
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
    const std::time_t time = std::mktime(&noon);
    const std::string folder = scratch.PathOf("");
    EXPECT_EQ(ScreenshotPath(folder, time), scratch.PathOf("merrowind-2026-12-08-121530.png"));
    scratch.Write("merrowind-2026-12-08-121530.png", "taken");
    EXPECT_EQ(ScreenshotPath(folder, time), scratch.PathOf("merrowind-2026-12-08-121530-2.png"));
    scratch.Write("merrowind-2026-12-08-121530-2.png", "taken");
    EXPECT_EQ(ScreenshotPath(folder, time), scratch.PathOf("merrowind-2026-12-08-121530-3.png"));
}
