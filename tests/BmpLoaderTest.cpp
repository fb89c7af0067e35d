// SPDX-License-Identifier: MIT
#include "scene/BmpLoader.h"
#include "platform/MessageBox.h"
#include "platform/ReadableText.h"
#include "scene/DibHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<unsigned char>;

struct Rgb
{
    unsigned char red, green, blue;
};

const Rgb Black{0, 0, 0};
const std::vector<Rgb> Palette{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}, {200, 100, 50}};

void Put16(Bytes& bytes, unsigned value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(Bytes& bytes, std::uint32_t value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

void Append(Bytes& bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes bytes;
    for (const Bytes& part : parts)
        Append(bytes, part);
    return bytes;
}

struct Info
{
    std::int32_t width;
    std::int32_t height;
    unsigned bits;
    std::uint32_t compression = BI_RGB;
    std::uint32_t coloursUsed = 0;
    std::uint16_t planes = 1;
};

Bytes InfoHeader(const Info& info)
{
    Bytes header;
    Put32(header, 40);
    Put32(header, static_cast<std::uint32_t>(info.width));
    Put32(header, static_cast<std::uint32_t>(info.height));
    Put16(header, info.planes);
    Put16(header, info.bits);
    Put32(header, info.compression);
    for (int field = 0; field < 3; ++field)
        Put32(header, 0);
    Put32(header, info.coloursUsed);
    Put32(header, 0);
    return header;
}

Bytes CoreHeader(unsigned width, unsigned height, unsigned bits)
{
    Bytes header;
    Put32(header, 12);
    Put16(header, width);
    Put16(header, height);
    Put16(header, 1);
    Put16(header, bits);
    return header;
}

Bytes ColourTable(std::size_t count, std::size_t entryBytes = 4)
{
    Bytes table;
    for (std::size_t entry = 0; entry < count; ++entry)
    {
        const Rgb colour = Palette[entry % Palette.size()];
        table.insert(table.end(), {colour.blue, colour.green, colour.red});
        if (entryBytes == 4)
            table.push_back(0);
    }
    return table;
}

Bytes PackedDib(const Info& info, const Bytes& table, const Bytes& pixels)
{
    Bytes dib = InfoHeader(info);
    Append(dib, table);
    Append(dib, pixels);
    return dib;
}

// Puts a file header in front of a packed DIB whose pixels start `pixelOffset` bytes into it.
Bytes WithFileHeader(const Bytes& dib, std::size_t pixelOffset)
{
    Bytes file{'B', 'M'};
    Put32(file, static_cast<std::uint32_t>(14 + dib.size()));
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(14 + pixelOffset));
    Append(file, dib);
    return file;
}

Bytes Expected(const std::vector<Rgb>& pixels)
{
    Bytes rgb;
    for (const Rgb& pixel : pixels)
        rgb.insert(rgb.end(), {pixel.red, pixel.green, pixel.blue});
    return rgb;
}

class BmpLoader : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetMessageBoxSink([this](const MessageBoxRecord& box) { boxes.push_back(box); });
        std::string pattern = (std::filesystem::temp_directory_path() / "merrowind-bmp-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override
    {
        SetMessageBoxSink(nullptr);
        std::filesystem::remove_all(folder);
    }

    RGBImage* Load(const Bytes& file)
    {
        const std::string path = (folder / "image.bmp").string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
        return LoadBMPImage(path.c_str());
    }

    // Loads `file`, which must succeed with the given size and no message, and returns its pixels.
    Bytes LoadPixels(const Bytes& file, int width, int height)
    {
        RGBImage* image = Load(file);
        EXPECT_TRUE(boxes.empty()) << boxes.front().text;
        if (image == nullptr)
        {
            ADD_FAILURE() << "no image";
            return {};
        }
        EXPECT_EQ(image->width, width);
        EXPECT_EQ(image->height, height);
        Bytes pixels(image->data, image->data + static_cast<std::size_t>(width) * height * 3);
        FreeRGBImage(image);
        return pixels;
    }

    // The box names the file, then says why.
    void ExpectRefused(const Bytes& file, const std::string& message)
    {
        boxes.clear();
        EXPECT_EQ(Load(file), nullptr);
        ExpectOneBox((folder / "image.bmp").string() + ": " + message);
    }

    void ExpectOneBox(const std::string& message)
    {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, message);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].style, MB_OK);
    }

    std::filesystem::path folder;
    std::vector<MessageBoxRecord> boxes;
};

const std::string UnknownFormat = "Unknown DIB file format.";
const std::string ConversionError = "Image file conversion error.";
const std::string OutOfMemory = "Out of memory.";
}

TEST_F(BmpLoader, TwentyFourBitRowsLoseTheirPaddingAndComeBottomFirstAsRgb)
{
    const Bytes pixels{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 13, 12, 11, 16, 15, 14, 19, 18, 17, 0, 0, 0};
    const Bytes dib = PackedDib({3, 2, 24}, {}, pixels);
    const Bytes expected{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    EXPECT_EQ(LoadPixels(WithFileHeader(dib, 40), 3, 2), expected);
    EXPECT_EQ(LoadPixels(dib, 3, 2), expected);
}

TEST_F(BmpLoader, EveryNarrowWidthGivesUnpaddedRows)
{
    for (int width = 1; width <= 4; ++width)
    {
        Bytes pixels;
        Bytes expected;
        for (int row = 0; row < 2; ++row)
        {
            for (int x = 0; x < width; ++x)
            {
                const auto value = static_cast<unsigned char>(10 * row + x);
                pixels.insert(pixels.end(), {value, 0, 100});
                expected.insert(expected.end(), {100, 0, value});
            }
            pixels.resize((pixels.size() + 3) / 4 * 4);
        }
        EXPECT_EQ(LoadPixels(WithFileHeader(PackedDib({width, 2, 24}, {}, pixels), 40), width, 2), expected)
            << "width " << width;
    }
}

TEST_F(BmpLoader, ColourTablePixelsOfEveryDepthUseTheirEntries)
{
    const Rgb r = Palette[0], g = Palette[1], b = Palette[2], d = Palette[3];
    // Nine 1-bit pixels cross a byte boundary: 1 0 1 1 0 0 0 1 | 1.
    const Bytes oneBit = PackedDib({9, 1, 1}, ColourTable(2), {0xB1, 0x80, 0, 0});
    EXPECT_EQ(LoadPixels(oneBit, 9, 1), Expected({g, r, g, g, r, r, r, g, g}));

    const Bytes fourBit = PackedDib({3, 1, 4}, ColourTable(16), {0x30, 0x20, 0, 0});
    EXPECT_EQ(LoadPixels(fourBit, 3, 1), Expected({d, r, b}));

    const Bytes eightBit = PackedDib({3, 2, 8}, ColourTable(256), {1, 2, 3, 0, 4, 0, 1, 0});
    EXPECT_EQ(LoadPixels(eightBit, 3, 2), Expected({g, b, d, Palette[4], r, g}));
}

TEST_F(BmpLoader, ColoursUsedSetsTheTableLengthAndIndicesPastItAreBlack)
{
    const Bytes pixels{4, 5, 255, 0};
    const Bytes expected = Expected({Palette[4], Black, Black});
    EXPECT_EQ(LoadPixels(PackedDib({3, 1, 8, BI_RGB, 5}, ColourTable(5), pixels), 3, 1), expected);
    // Only the low 16 bits of the count are used.
    EXPECT_EQ(LoadPixels(PackedDib({3, 1, 8, BI_RGB, 0x10005}, ColourTable(5), pixels), 3, 1), expected);
}

TEST_F(BmpLoader, CoreHeaderLoadsTheSamePictureAsItsInformationHeaderTwin)
{
    const Bytes pixels{0x12, 0x34, 0, 0, 0x43, 0x21, 0, 0};
    const Bytes info = WithFileHeader(PackedDib({4, 2, 4}, ColourTable(16), pixels), 40 + 64);
    Bytes core = CoreHeader(4, 2, 4);
    Append(core, ColourTable(16, 3));
    Append(core, pixels);

    const Bytes expected = LoadPixels(info, 4, 2);
    EXPECT_EQ(LoadPixels(core, 4, 2), expected);
    EXPECT_EQ(LoadPixels(WithFileHeader(core, 12 + 48), 4, 2), expected);
}

TEST_F(BmpLoader, SixteenAndThirtyTwoBitPixelsUseDefaultOrGivenMasks)
{
    // 5-5-5: full red, a middle green (16 of 31), full blue.
    const Bytes rgb555 = PackedDib({3, 1, 16}, {}, {0x00, 0x7C, 0x00, 0x02, 0x1F, 0x00, 0, 0});
    EXPECT_EQ(LoadPixels(rgb555, 3, 1), Expected({{255, 0, 0}, {0, 132, 0}, {0, 0, 255}}));

    const Bytes bgrx = PackedDib({2, 1, 32}, {}, {1, 2, 3, 99, 4, 5, 6, 99});
    EXPECT_EQ(LoadPixels(bgrx, 2, 1), Expected({{3, 2, 1}, {6, 5, 4}}));

    Bytes masks565;
    for (std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        Put32(masks565, mask);
    const Bytes rgb565 = PackedDib({2, 1, 16, BI_BITFIELDS}, masks565, {0xE0, 0x07, 0x1F, 0xF8});
    EXPECT_EQ(LoadPixels(rgb565, 2, 1), Expected({{0, 255, 0}, {255, 0, 255}}));

    Bytes masksRgba;
    for (std::uint32_t mask : {0xFF000000u, 0x00FF0000u, 0x0000FF00u})
        Put32(masksRgba, mask);
    const Bytes rgba = PackedDib({1, 1, 32, BI_BITFIELDS}, masksRgba, {0x44, 0x33, 0x22, 0x11});
    EXPECT_EQ(LoadPixels(rgba, 1, 1), Expected({{0x11, 0x22, 0x33}}));
    EXPECT_EQ(LoadPixels(WithFileHeader(rgba, 52), 1, 1), Expected({{0x11, 0x22, 0x33}}));
}

TEST_F(BmpLoader, TopDownFilesArriveBottomRowFirstWithAPositiveHeight)
{
    const Bytes topDown = PackedDib({1, -3, 8}, ColourTable(256), {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0});
    EXPECT_EQ(LoadPixels(topDown, 1, 3), Expected({Palette[2], Palette[1], Palette[0]}));
}

TEST_F(BmpLoader, RunLengthEightBitDecodesRunsLiteralsMovesAndLineEnds)
{
    const Rgb r = Palette[0], g = Palette[1], b = Palette[2], d = Palette[3], e = Palette[4];
    const Bytes data = Concat({
        {2, 1},             // two green
        {0, 3, 2, 3, 4, 0}, // three literal pixels, padded to a word
        {0, 0},             // end of line
        {0, 2, 1, 1},       // move one right and one up
        {1, 0},             // one red
        {0, 1},             // end of bitmap
    });
    const Bytes file = WithFileHeader(PackedDib({5, 3, 8, BI_RLE8}, ColourTable(256), data), 40 + 1024);
    EXPECT_EQ(LoadPixels(file, 5, 3), Concat({
                                          Expected({g, g, b, d, e}),
                                          Expected({Black, Black, Black, Black, Black}),
                                          Expected({Black, r, Black, Black, Black}),
                                      }));
}

TEST_F(BmpLoader, RunLengthFourBitAlternatesTheHalvesOfEachByte)
{
    const Rgb r = Palette[0], g = Palette[1], b = Palette[2], d = Palette[3];
    const Bytes data = Concat({
        {3, 0x01},                   // red green red
        {0, 3, 0x23, 0x10},          // literal blue, d, green: two bytes, already a whole word
        {0, 0},                      // end of line
        {0, 5, 0x01, 0x23, 0x00, 0}, // five literals in three bytes, padded
        {0, 1},                      // end of bitmap
    });
    const Bytes file = PackedDib({6, 2, 4, BI_RLE4}, ColourTable(16), data);
    EXPECT_EQ(LoadPixels(file, 6, 2), Expected({r, g, r, b, d, g, r, g, b, d, r, Black}));
}

TEST_F(BmpLoader, MissingFileIsReportedWithItsNameOnce)
{
    const std::string name = (folder / "absent.bmp").string();
    EXPECT_EQ(LoadBMPImage(name.c_str()), nullptr);
    ExpectOneBox("Failed to open DIB file " + name + ".\n");
}

TEST_F(BmpLoader, OpenFailureTextIsCutToItsBuffer)
{
    const std::string name = (folder / std::string(300, 'x')).string();
    EXPECT_EQ(LoadBMPImage(name.c_str()), nullptr);
    // The loader cuts its text to the buffer's 259 characters; the box then wraps it as it wraps
    // any long line.
    ExpectOneBox(ReadableText(("Failed to open DIB file " + name).substr(0, 259)));
}

TEST_F(BmpLoader, EmptyFilesAndFoldersCannotBeOpened)
{
    EXPECT_EQ(Load({}), nullptr);
    ExpectOneBox("Failed to open DIB file " + (folder / "image.bmp").string() + ".\n");
    boxes.clear();
    EXPECT_EQ(LoadBMPImage(folder.string().c_str()), nullptr);
    ExpectOneBox("Failed to open DIB file " + folder.string() + ".\n");
}

TEST_F(BmpLoader, HeadersOfOtherSizesOrCutShortAreUnknown)
{
    for (std::uint32_t size : {108u, 124u, 64u, 0u})
    {
        Bytes dib(size < 40 ? 40 : size, 0);
        dib[0] = static_cast<unsigned char>(size);
        ExpectRefused(WithFileHeader(dib, dib.size()), UnknownFormat);
        ExpectRefused(dib, UnknownFormat);
    }
    const Bytes info = InfoHeader({1, 1, 24});
    ExpectRefused(Bytes(info.begin(), info.begin() + 30), UnknownFormat);
    ExpectRefused(Bytes(info.begin(), info.begin() + 3), UnknownFormat);
    ExpectRefused({'B', 'M', 1, 2, 3}, UnknownFormat);
}

TEST_F(BmpLoader, DataPastTheEndOfTheFileIsAConversionError)
{
    const Bytes pixels{1, 2, 3, 0, 4, 5, 6, 0};
    const Bytes whole = PackedDib({1, 2, 24}, {}, pixels);
    ExpectRefused(Bytes(whole.begin(), whole.end() - 1), ConversionError);
    ExpectRefused(WithFileHeader(whole, 4096), ConversionError);
    ExpectRefused(PackedDib({1, 1, 8}, ColourTable(255), {0, 0, 0, 0}), ConversionError);
    ExpectRefused(PackedDib({1, 1, 16, BI_BITFIELDS}, {0, 0, 0, 0}, {}), ConversionError);
}

TEST_F(BmpLoader, PicturesWithoutPixelsOrInUnknownFormatsAreConversionErrors)
{
    const Bytes pixels(64, 0);
    for (const Info& info : std::vector<Info>{{0, 1, 24},
                                              {1, 0, 24},
                                              {-1, 1, 24},
                                              {2, 2, 2},
                                              {2, 2, 24, BI_RLE8},
                                              {2, 2, 8, BI_RLE4},
                                              {2, -2, 8, BI_RLE8},
                                              {2, 2, 24, BI_BITFIELDS},
                                              {2, 2, 24, 4},
                                              {2, 2, 24, BI_RGB, 0, 0},
                                              {2, 2, 24, BI_RGB, 0, 30000}})
        ExpectRefused(PackedDib(info, ColourTable(info.bits == 8 ? 256 : 0), pixels), ConversionError);
}

TEST_F(BmpLoader, MalformedRunLengthDataIsAConversionError)
{
    const std::vector<Bytes> streams{
        {5, 0, 0, 1},                                     // a run past the end of the row
        {0, 3, 1, 2, 3, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, // literals past the end of the row
        {0, 2, 5, 0, 0, 1},                               // a move past the row
        {0, 2, 0, 3, 0, 1},                               // a move past the last row
        {0, 0, 0, 0, 0, 0, 0, 1},                         // a line end past the last row
        {0, 0, 0, 0, 1, 0, 0, 1},                         // a run above the last row
        {2, 0},                                           // no end of bitmap
        {0, 4, 1, 2},                                     // literals cut short
        {0, 2, 1},                                        // a move cut short
    };
    for (std::size_t stream = 0; stream < streams.size(); ++stream)
    {
        SCOPED_TRACE(stream);
        ExpectRefused(PackedDib({4, 2, 8, BI_RLE8}, ColourTable(256), streams[stream]), ConversionError);
    }
}

TEST_F(BmpLoader, PicturesTooLargeToAllocateAreOutOfMemory)
{
    ExpectRefused(CoreHeader(65535, 65535, 24), OutOfMemory);
    ExpectRefused(PackedDib({0x7FFFFFFF, INT32_MIN, 32}, {}, {}), OutOfMemory);
    // 65536 x 21846 x 3 bytes is 2^32 + 131072: a 32-bit byte count would wrap to 128 KiB.
    ExpectRefused(PackedDib({65536, 21846, 24}, {}, Bytes(131072, 0)), OutOfMemory);
    ExpectRefused(PackedDib({60000, 60000, 8, BI_RLE8}, ColourTable(256), {0, 1}), OutOfMemory);
}
