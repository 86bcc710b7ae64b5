// Thousands of corrupted variants of valid files: every load returns the right
// image or null with exactly one error message, and nothing is leaked. What each
// load gave is kept in dib_corpus_answers.bin for the Linux loader's differential
// check (tests/linux).
#include "image/dib_loader.h"
#include "tests/image/corpus_answers.h"
#include "tests/image/dib_corpus.h"
#include "tests/image/dib_files.h"
#include "tests/image/message_boxes.h"
#include "tests/image/reference_dib.h"
#include "tests/image/resource_counts.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

struct RunTotals {
    int images = 0, refusals = 0, platformRefusals = 0, realBoxes = 0;
};

// The focused window that owns the loader's boxes is made once for the suite, so
// that every test counts with the same single window around it and none finds
// the windows of earlier tests (destroying one on a bare X server waits two
// seconds for a window manager that is not there).
class DibMutations : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        focus = CreateWindowExA(0, "STATIC", "mutations", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
        answersOpen = OpenCorpusAnswers("dib_corpus_answers.bin");
    }
    static void TearDownTestSuite()
    {
        CloseCorpusAnswers();
        DestroyWindow(focus);
        focus = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(focus, nullptr);
        ASSERT_TRUE(answersOpen);
        SetFocus(focus);
        failures.reserve(4096);
    }
    // A test that stopped half-way must not leave the next one answering boxes
    // its way.
    void TearDown() override
    {
        StopCatchingBoxes();
        StopRecordingBoxes();
        DeleteFileA(path.c_str());
    }

    // Loads one variant and checks the outcome against the reference reading.
    // Every realBoxEvery-th variant reports through a real message box.
    void Check(const Bytes &file, int number)
    {
        const bool realBox = number % realBoxEvery == 0;
        if (realBox) StopRecordingBoxes(), StartCatchingBoxes();
        else RecordedBoxes().calls = 0;
        WriteTestFile(path, file);
        RgbImage *image = LoadImageFile(path.c_str());
        if (realBox) StopCatchingBoxes(), StartRecordingBoxes();

        const size_t boxes = realBox ? CaughtBoxes().size() : size_t(RecordedBoxes().calls);
        RecordCorpusAnswer(file, image, boxes != 1 ? nullptr : realBox ? CaughtBoxes()[0].text.c_str() : RecordedBoxes().text,
                           path);
        if (image) {
            CheckImage(file, image, boxes, number);
            free(image->pixels);
            free(image);
            return;
        }
        ++totals.refusals;
        if (DecodeReference(file).kind != ReferenceKind::Refused) ++totals.platformRefusals;
        if (boxes != 1) return Fail(number, "refused with a message count other than one");
        std::string text, caption;
        HWND owner;
        if (realBox) {
            ++totals.realBoxes;
            const CaughtBox &box = CaughtBoxes()[0];
            text = box.text; caption = box.caption; owner = box.owner;
            if (box.buttons != std::vector<int>{IDOK} || box.hasIcon) return Fail(number, "box is not a plain OK box");
        } else {
            text = RecordedBoxes().text; caption = RecordedBoxes().caption; owner = RecordedBoxes().owner;
            if (RecordedBoxes().style != MB_OK) return Fail(number, "box style is not MB_OK");
        }
        const bool known = text == "Out of memory." || text == "Unknown DIB file format." ||
                           text == "Image file conversion error." ||
                           (file.empty() && text == "Failed to open DIB file " + path + ".\n");
        if (!known) return Fail(number, "unexpected message text: " + text);
        if (caption != "Error" || owner != focus) return Fail(number, "wrong caption or owner");
    }

    void CheckImage(const Bytes &file, const RgbImage *image, size_t boxes, int number)
    {
        ++totals.images;
        const ReferenceImage expected = DecodeReference(file);
        if (boxes != 0) return Fail(number, "an image came with a message");
        if (expected.kind == ReferenceKind::Refused) return Fail(number, "accepted a file that cannot be right");
        if (image->width != expected.width || image->height != expected.height)
            return Fail(number, "wrong size");
        if (expected.kind == ReferenceKind::Image &&
            memcmp(image->pixels, expected.rgb.data(), expected.rgb.size()) != 0)
            return Fail(number, "wrong pixels");
    }

    void Fail(int number, const std::string &what)
    {
        if (failures.size() < 4000) failures += "variant " + std::to_string(number) + ": " + what + "\n";
    }

    // Runs every variant, after one warm-up load of each seed, and compares what
    // the process holds before and after.
    void RunVariants(const std::function<void(const std::function<void(const Bytes &)> &)> &variants)
    {
        StartRecordingBoxes();
        for (const Bytes &seed : SeedFiles()) {
            Bytes cut = seed;
            cut.resize(cut.size() - 1);
            for (const Bytes *file : std::vector<const Bytes *>{&seed, &cut}) {
                WriteTestFile(path, *file);
                RgbImage *warm = LoadImageFile(path.c_str());
                if (warm) { free(warm->pixels); free(warm); }
            }
        }
        StartCatchingBoxes();   // the first real box sets up what every later one reuses
        MessageBoxA(focus, "warm-up", "Error", MB_OK);
        StopCatchingBoxes();
        const ResourceCounts before = CountResources();
        int number = 0;
        variants([&](const Bytes &file) { Check(file, ++number); });
        const ResourceCounts after = CountResources();
        StopRecordingBoxes();

        EXPECT_TRUE(failures.empty()) << failures;
        EXPECT_GE(number, minimumVariants);
        EXPECT_GT(totals.images, 0);
        EXPECT_GT(totals.refusals, 0);
        EXPECT_GT(totals.realBoxes, 0);
        EXPECT_EQ(after.guiGdiObjects, before.guiGdiObjects);
        EXPECT_EQ(after.processHandles, before.processHandles);
        EXPECT_EQ(after.liveGdiObjects, before.liveGdiObjects);
        EXPECT_EQ(after.liveHandles, before.liveHandles);
        // Message boxes may leave a little behind once; a leak per load would be
        // thousands of blocks.
        EXPECT_LT(after.heapBlocks, before.heapBlocks + 64);
        EXPECT_LT(after.heapBytes, before.heapBytes + 16384);
        printf("%d variants: %d images, %d refused (%d by the platform's conversion), %d real boxes; "
               "heap %+ld bytes in %+ld blocks, GDI objects %lu -> %lu, handles %lu -> %lu\n",
               number, totals.images, totals.refusals, totals.platformRefusals, totals.realBoxes,
               long(after.heapBytes) - long(before.heapBytes), long(after.heapBlocks) - long(before.heapBlocks),
               before.liveGdiObjects, after.liveGdiObjects, before.liveHandles, after.liveHandles);
    }

    static inline HWND focus = nullptr;
    static inline bool answersOpen = false;
    std::string path = TestFilePath("nimbra_mutation_test.bmp");
    std::string failures;
    RunTotals totals;
    int realBoxEvery = 500;
    int minimumVariants = 0;
};

TEST_F(DibMutations, EveryTruncationOfEveryValidFileIsRefusedOrExact)
{
    minimumVariants = 1500;
    RunVariants(ForEachTruncation);
}

TEST_F(DibMutations, SingleCorruptedHeaderFieldsAreRefusedOrExact)
{
    minimumVariants = 4000;
    RunVariants(ForEachSingleCorruption);
}

TEST_F(DibMutations, SeveralCorruptionsAndCutsTogetherAreRefusedOrExact)
{
    minimumVariants = 4500;
    RunVariants(ForEachSeveralCorruptions);
}

} // namespace
