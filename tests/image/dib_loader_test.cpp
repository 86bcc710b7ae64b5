// The DIB loader on every form it supports and every way a file can be wrong.
#include "image/dib_loader.h"
#include "tests/image/dib_files.h"
#include "tests/image/message_boxes.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

struct LoadedImage {
    RgbImage *image = nullptr;
    ~LoadedImage()
    {
        if (image) { free(image->pixels); free(image); }
    }
};

Bytes PixelsOf(const RgbImage *image)
{
    const LONG rows = image->height < 0 ? -image->height : image->height;
    return Bytes(image->pixels, image->pixels + size_t(rows) * image->width * 3);
}

// Every test runs with a focused window, which must own the loader's boxes. Each
// suite makes one such window and each test gives it the focus anew: destroying a
// window on a bare X server waits two seconds for a window manager that is not
// there, too long to pay for every test.
class DibLoader : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        focus = CreateWindowExA(0, "STATIC", "loader test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(focus);
        focus = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(focus, nullptr);
        SetFocus(focus);
        StartCatchingBoxes();
    }
    void TearDown() override
    {
        StopCatchingBoxes();
        DeleteFileA(path.c_str());
    }
    RgbImage *LoadBytes(const Bytes &bytes)
    {
        EXPECT_TRUE(WriteTestFile(path, bytes));
        return LoadImageFile(path.c_str());
    }
    // Exactly one box: the given text, caption "Error", an OK button, no icon,
    // owned by the window that has the focus.
    void ExpectOneErrorBox(const std::string &text)
    {
        ASSERT_EQ(CaughtBoxes().size(), 1u);
        const CaughtBox &box = CaughtBoxes()[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_FALSE(box.hasIcon);
        EXPECT_EQ(box.owner, focus);
    }
    void ExpectRefused(const Bytes &bytes, const char *text)
    {
        LoadedImage loaded{LoadBytes(bytes)};
        EXPECT_EQ(loaded.image, nullptr);
        ExpectOneErrorBox(text);
    }

    static inline HWND focus = nullptr;
    std::string path = TestFilePath("nimbra_loader_test.bmp");
};

// ---- Supported forms -------------------------------------------------------

struct FormCase {
    const char *name;
    DibRecipe recipe;
};

const FormCase formCases[] = {
    {"OneBitInfoHeader", Recipe(40, true, 13, 3, 1)},
    {"OneBitCoreHeaderPacked", Recipe(12, false, 33, 2, 1)},
    {"FourBitCoreHeader", Recipe(12, true, 9, 4, 4)},
    {"FourBitInfoHeaderPacked", Recipe(40, false, 7, 3, 4)},
    {"FourBitColoursUsedFive", Recipe(40, true, 6, 2, 4, 5)},
    {"EightBitColoursUsedZeroGivesFullTable", Recipe(40, true, 10, 3, 8)},
    {"EightBitColoursUsedSeventeen", Recipe(40, true, 11, 2, 8, 17)},
    {"EightBitColoursUsedSeventeenPackedPixelsFollowThem", Recipe(40, false, 11, 2, 8, 17)},
    {"EightBitCoreHeaderPacked", Recipe(12, false, 5, 5, 8)},
    {"TwentyFourBitWidthOne", Recipe(40, true, 1, 3, 24)},
    {"TwentyFourBitWidthTwo", Recipe(40, true, 2, 3, 24)},
    {"TwentyFourBitWidthThree", Recipe(40, true, 3, 3, 24)},
    {"TwentyFourBitWidthFour", Recipe(40, true, 4, 2, 24)},
    {"TwentyFourBitWidthFivePacked", Recipe(40, false, 5, 4, 24)},
    {"TwentyFourBitCoreHeader", Recipe(12, true, 7, 2, 24)},
    {"TwentyFourBitColoursUsedTwoSkipsTheTable", Recipe(40, false, 3, 2, 24, 2)},
    {"SixteenBitFiveFiveFive", Recipe(40, true, 5, 3, 16)},
    {"ThirtyTwoBit", Recipe(40, false, 3, 3, 32)},
    {"TopDownTwentyFourBit", Recipe(40, true, 5, -4, 24)},
    {"TopDownEightBit", Recipe(40, false, 3, -2, 8, 17)},
};

class DibLoaderForms : public DibLoader, public ::testing::WithParamInterface<FormCase> {};

TEST_P(DibLoaderForms, LoadsExactPixelsInFileRowOrderWithoutMessage)
{
    const DibRecipe &recipe = GetParam().recipe;
    LoadedImage loaded{LoadBytes(MakeDib(recipe))};
    ASSERT_NE(loaded.image, nullptr);
    EXPECT_EQ(loaded.image->width, recipe.width);
    EXPECT_EQ(loaded.image->height, recipe.height);
    EXPECT_EQ(PixelsOf(loaded.image), ExpectedRgb(recipe));
    EXPECT_TRUE(CaughtBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Forms, DibLoaderForms, ::testing::ValuesIn(formCases),
                         [](const ::testing::TestParamInfo<FormCase> &info) { return info.param.name; });

TEST_F(DibLoader, FirstOutputRowIsTheBottomRowOfABottomUpFile)
{
    DibRecipe recipe = Recipe(40, true, 1, 2, 24);
    recipe.pixelData = Bytes{0x03, 0x02, 0x01, 0, 0x06, 0x05, 0x04, 0};   // bottom row 010203, top row 040506
    LoadedImage loaded{LoadBytes(MakeDib(recipe))};
    ASSERT_NE(loaded.image, nullptr);
    EXPECT_EQ(PixelsOf(loaded.image), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(DibLoader, TopDownFileKeepsItsNegativeHeightAndGivesTheTopRowFirst)
{
    DibRecipe recipe = Recipe(40, true, 1, -2, 24);
    recipe.pixelData = Bytes{0x03, 0x02, 0x01, 0, 0x06, 0x05, 0x04, 0};   // top row 010203
    LoadedImage loaded{LoadBytes(MakeDib(recipe))};
    ASSERT_NE(loaded.image, nullptr);
    EXPECT_EQ(loaded.image->height, -2);
    EXPECT_EQ(PixelsOf(loaded.image), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(DibLoader, CoreHeaderSizesAreUnsignedSixteenBit)
{
    LoadedImage loaded{LoadBytes(MakeDib(Recipe(12, true, 40000, 1, 1)))};
    ASSERT_NE(loaded.image, nullptr);
    EXPECT_EQ(loaded.image->width, 40000);
    EXPECT_EQ(loaded.image->height, 1);
}

TEST_F(DibLoader, PaletteIndexBeyondColoursUsedIsBlack)
{
    DibRecipe recipe = Recipe(40, false, 3, 1, 8, 2);
    recipe.pixelData = Bytes{1, 2, 200, 0};
    LoadedImage loaded{LoadBytes(MakeDib(recipe))};
    ASSERT_NE(loaded.image, nullptr);
    uint8_t second[3];
    PaletteColor(1, second);
    EXPECT_EQ(PixelsOf(loaded.image), (Bytes{second[0], second[1], second[2], 0, 0, 0, 0, 0, 0}));
}

// A run of two pixels of index 1, a run of two of index 2, end of line; then a
// row of literal indices 3 0 0 1, end of bitmap.
Bytes RunLengthRows() { return {2, 1, 2, 2, 0, 0, 0, 4, 3, 0, 0, 1, 0, 1}; }

TEST_F(DibLoader, RunLengthEightDecodesThroughThePlatform)
{
    DibRecipe recipe = Recipe(40, true, 4, 2, 8, 4);
    recipe.compression = BI_RLE8;
    recipe.pixelData = RunLengthRows();
    LoadedImage loaded{LoadBytes(MakeDib(recipe))};
    ASSERT_NE(loaded.image, nullptr);
    Bytes expected;
    for (int index : {1, 1, 2, 2, 3, 0, 0, 1}) {
        uint8_t c[3];
        PaletteColor(index, c);
        expected.insert(expected.end(), c, c + 3);
    }
    EXPECT_EQ(PixelsOf(loaded.image), expected);
}

// ---- Files the loader refuses ---------------------------------------------

TEST_F(DibLoader, MissingFileGivesNullWithoutMessage)
{
    LoadedImage loaded{LoadImageFile(TestFilePath("nimbra_no_such_file.bmp").c_str())};
    EXPECT_EQ(loaded.image, nullptr);
    LoadedImage unnamed{LoadImageFile(nullptr)};
    EXPECT_EQ(unnamed.image, nullptr);
    EXPECT_TRUE(CaughtBoxes().empty());
}

TEST_F(DibLoader, EmptyFileCannotBeMappedAndSaysSoWithItsName)
{
    LoadedImage loaded{LoadBytes({})};
    EXPECT_EQ(loaded.image, nullptr);
    ExpectOneErrorBox("Failed to open DIB file " + path + ".\n");
}

TEST_F(DibLoader, FileLockedForWritingElsewhereFailsToOpen)
{
    ASSERT_TRUE(WriteTestFile(path, MakeDib(Recipe(40, true, 2, 2, 24))));
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    LoadedImage loaded{LoadDibImage(path.c_str())};
    CloseHandle(writer);
    EXPECT_EQ(loaded.image, nullptr);
    ExpectOneErrorBox("Failed to open DIB file " + path + ".\n");
}

struct RefusalCase {
    const char *name;
    Bytes (*file)();
    const char *text;
};

Bytes WithHeaderSize(DWORD size)
{
    DibRecipe s = Recipe(size, true, 4, 2, 24);
    return MakeDib(s);
}
Bytes Truncated(Bytes b, size_t keep) { b.resize(keep); return b; }
Bytes Patched(Bytes b, size_t at, uint32_t v) { Poke32(b, at, v); return b; }

const RefusalCase refusalCases[] = {
    {"HeaderOf108Bytes", [] { return WithHeaderSize(108); }, "Unknown DIB file format."},
    {"HeaderOf124Bytes", [] { return WithHeaderSize(124); }, "Unknown DIB file format."},
    {"HeaderOf64Bytes", [] { return WithHeaderSize(64); }, "Unknown DIB file format."},
    {"FileHeaderOnly", [] { return Truncated(MakeDib(Recipe(40, true, 4, 2, 24)), 14); }, "Unknown DIB file format."},
    {"InfoHeaderCutShort", [] { return Truncated(MakeDib(Recipe(40, true, 4, 2, 24)), 14 + 39); }, "Unknown DIB file format."},
    {"CoreHeaderCutShort", [] { return Truncated(MakeDib(Recipe(12, false, 4, 2, 24)), 11); }, "Unknown DIB file format."},
    {"ColourTableCutShort", [] { return Truncated(MakeDib(Recipe(40, true, 4, 2, 8)), 14 + 40 + 1023); }, "Image file conversion error."},
    {"CoreColourTableCutShort", [] { return Truncated(MakeDib(Recipe(12, false, 4, 2, 4)), 12 + 47); }, "Image file conversion error."},
    {"PixelDataCutShortByOneByte", [] { Bytes b = MakeDib(Recipe(40, true, 5, 3, 24)); b.pop_back(); return b; }, "Image file conversion error."},
    {"PackedPixelDataCutShort", [] { Bytes b = MakeDib(Recipe(40, false, 11, 2, 8, 17)); b.resize(b.size() - 5); return b; }, "Image file conversion error."},
    {"PixelOffsetBeyondTheEnd", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 10, 0x7FFFFFF0); }, "Image file conversion error."},
    {"PixelOffsetLeavingTooFewRows", [] { Bytes b = MakeDib(Recipe(40, true, 2, 2, 24)); return Patched(b, 10, uint32_t(b.size() - 8)); }, "Image file conversion error."},
    {"HeightClaimsMoreRows", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 22, 3); }, "Image file conversion error."},
    {"WidthOfTwoToTheThirtyOneMinusOne", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 18, 0x7FFFFFFF); }, "Image file conversion error."},
    {"HeightOfMinusTwoToTheThirtyOne", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 22, 0x80000000); }, "Image file conversion error."},
    {"CoreHeaderOf65535Squared", [] { Bytes b = MakeDib(Recipe(12, true, 4, 2, 1)); b[18] = b[19] = b[20] = b[21] = 0xFF; return b; }, "Image file conversion error."},
    {"ZeroWidth", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 18, 0); }, "Image file conversion error."},
    {"NegativeWidth", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 18, uint32_t(-2)); }, "Image file conversion error."},
    {"ZeroHeight", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 22, 0); }, "Image file conversion error."},
    {"ColoursUsedBeyondSixteenBits", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 8, 2)), 46, 0x10002); }, "Image file conversion error."},
    {"BitFieldsCompression", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 32)), 30, BI_BITFIELDS); }, "Image file conversion error."},
    {"JpegCompression", [] { return Patched(MakeDib(Recipe(40, true, 2, 2, 24)), 30, BI_JPEG); }, "Image file conversion error."},
    {"BitCountOfTwelve", [] { Bytes b = MakeDib(Recipe(40, true, 2, 2, 24)); b[28] = 12; return b; }, "Image file conversion error."},
    {"RunLengthImageSizeBeyondTheEnd", [] {
         DibRecipe s = Recipe(40, true, 4, 2, 8, 4); s.compression = BI_RLE8; s.pixelData = RunLengthRows(); s.imageSize = 15;
         return MakeDib(s); }, "Image file conversion error."},
    {"RunLengthWithNoData", [] {
         DibRecipe s = Recipe(40, true, 4, 2, 8, 4); s.compression = BI_RLE8; s.pixelData = RunLengthRows();
         return Truncated(MakeDib(s), 14 + 40 + 16); }, "Image file conversion error."},
    {"RunLengthTopDown", [] {
         DibRecipe s = Recipe(40, true, 4, -2, 8, 4); s.compression = BI_RLE8; s.pixelData = RunLengthRows();
         return MakeDib(s); }, "Image file conversion error."},
    // Run-length data declares a picture whose 24-bit copy exceeds 32-bit byte counts.
    {"RunLengthOf40000Squared", [] {
         DibRecipe s = Recipe(40, true, 40000, 40000, 8, 4); s.compression = BI_RLE8; s.pixelData = Bytes{0, 1};
         return MakeDib(s); }, "Out of memory."},
    {"RunLengthTooLargeForThisProcess", [] {
         DibRecipe s = Recipe(40, true, 30000, 30000, 8, 4); s.compression = BI_RLE8; s.pixelData = Bytes{0, 1};
         return MakeDib(s); }, "Out of memory."},
    // Pictures beyond the one bound both builds share (256 MiB decoded), refused
    // before anything is allocated: 20000 x 17000 is a gigabyte.
    {"RunLengthOf20000By17000", [] {
         DibRecipe s = Recipe(40, true, 20000, 17000, 8, 4); s.compression = BI_RLE8; s.pixelData = Bytes{0, 1};
         return MakeDib(s); }, "Out of memory."},
    {"RunLengthOf9500Squared", [] {
         DibRecipe s = Recipe(40, true, 9500, 9500, 8, 4); s.compression = BI_RLE8; s.pixelData = Bytes{0, 1};
         return MakeDib(s); }, "Out of memory."},
};

class DibLoaderRefusals : public DibLoader, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(DibLoaderRefusals, GivesNullAndExactlyOneErrorBox)
{
    ExpectRefused(GetParam().file(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Refusals, DibLoaderRefusals, ::testing::ValuesIn(refusalCases),
                         [](const ::testing::TestParamInfo<RefusalCase> &info) { return info.param.name; });

// ---- Colour counts -----------------------------------------------------------

struct CountCase {
    DWORD headerSize;
    WORD bitCount;
    DWORD used;
    WORD expected;
};

TEST(CountDibColors, FollowsTheBitCountUnlessColoursUsedIsGiven)
{
    const CountCase cases[] = {
        {12, 1, 0, 2}, {12, 4, 0, 16}, {12, 8, 0, 256}, {12, 24, 0, 0},
        {40, 1, 0, 2}, {40, 4, 0, 16}, {40, 8, 0, 256}, {40, 16, 0, 0}, {40, 24, 0, 0}, {40, 32, 0, 0},
        {40, 8, 17, 17}, {40, 24, 3, 3}, {40, 4, 300, 300}, {40, 8, 0x10011, 0x11}, {40, 8, 0x10000, 0},
    };
    for (const CountCase &c : cases) {
        DibRecipe s = Recipe(c.headerSize, false, 1, 1, c.bitCount, c.used);
        s.paletteEntries = 0;
        s.pixelData = Bytes{0, 0, 0, 0};
        const Bytes dib = MakeDib(s);
        EXPECT_EQ(CountDibColors(dib.data()), c.expected)
            << "header " << c.headerSize << ", bit count " << c.bitCount << ", colours used " << c.used;
    }
}

} // namespace
