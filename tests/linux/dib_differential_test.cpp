// The Linux loader against the Windows loader under Wine, file by file over the
// loader's corrupted-file corpus (thousands of files) and the decoder's small
// crafted files: the same pixels for every file Windows accepts, and the same one
// message for every file it refuses. Windows' answers for the corpus are those
// the Windows tree's dib_mutation_tests recorded as it checked the corpus (CTest
// runs it first); with-windows-output.sh records those for the crafted files
// (crafted_dib_dump) and names the Windows tree's test folder.
#include "image/dib_loader.h"
#include "tests/image/pixel_hash.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Reader {
    const Bytes &data;
    size_t at = 0;
    bool ok = true;
    uint32_t Number()
    {
        if (at + 4 > data.size()) { ok = false; return 0; }
        const uint32_t v = data[at] | data[at + 1] << 8 | data[at + 2] << 16 | uint32_t(data[at + 3]) << 24;
        at += 4;
        return v;
    }
    Bytes Block()
    {
        const uint32_t size = Number();
        if (!ok || size > data.size() - at) { ok = false; return {}; }
        Bytes block(data.begin() + long(at), data.begin() + long(at + size));
        at += size;
        return block;
    }
};

std::string lastMessage;
int messageCount;

int WINAPI RecordMessage(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    lastMessage = text;
    messageCount += std::string(caption) == "Error" && style == MB_OK ? 1 : 100;
    return 1;
}

Bytes ReadFile(const std::string &name)
{
    std::ifstream in(name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(DibDifferential, TheLinuxLoaderAnswersEveryCorpusFileAsTheWindowsLoaderDoes)
{
    const char *crafted = std::getenv("NIMBRA_CRAFTED_ANSWERS"), *windowsTests = std::getenv("NIMBRA_WINDOWS_TEST_BIN");
    ASSERT_TRUE(crafted && windowsTests) << "run through with-windows-output.sh";
    const std::string corpus = std::string(windowsTests) + "/dib_corpus_answers.bin";
    const std::string checker = std::string(windowsTests) + "/dib_mutation_tests.exe";
    struct stat answers = {}, program = {};
    ASSERT_TRUE(stat(corpus.c_str(), &answers) == 0 && stat(checker.c_str(), &program) == 0 &&
                answers.st_mtime >= program.st_mtime) << corpus << " is missing or older than " << checker;
    // Both files are sequences of the same records.
    Bytes data = ReadFile(corpus);
    const Bytes craftedData = ReadFile(crafted);
    ASSERT_FALSE(craftedData.empty());
    data.insert(data.end(), craftedData.begin(), craftedData.end());

    char name[] = "/tmp/nimbra-differential-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string path = name;
    const auto printMessage = LoaderMessageBox;
    LoaderMessageBox = RecordMessage;
    Reader reader{data};
    int files = 0, images = 0, refusals = 0;
    std::string differences;
    int differing = 0;
    while (reader.ok && reader.at < data.size()) {
        const Bytes file = reader.Block();
        const uint32_t accepted = reader.Number();
        int32_t width = 0, height = 0;
        uint32_t pixelBytes = 0;
        uint64_t pixelHash = 0;
        Bytes text;
        if (accepted) {
            width = int32_t(reader.Number());
            height = int32_t(reader.Number());
            pixelBytes = reader.Number();
            pixelHash = reader.Number();
            pixelHash |= uint64_t(reader.Number()) << 32;
        } else {
            text = reader.Block();
        }
        ASSERT_TRUE(reader.ok) << "the dump ends inside file " << files;
        ++files;
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(file.data()), long(file.size()));
        lastMessage.clear();
        messageCount = 0;
        RgbImage *image = LoadImageFile(path.c_str());
        std::string what;
        if (accepted) {
            ++images;
            if (!image) what = "refused (" + lastMessage + ") what Windows loads";
            else if (image->width != width || image->height != height) what = "another size";
            else if (PixelHash(image->pixels, pixelBytes) != pixelHash) what = "other pixels";
            else if (messageCount) what = "a message with the image";
        } else {
            ++refusals;
            std::string expected(text.begin(), text.end());
            // Linux messages name their file first; the one that names it already does not.
            const size_t at = expected.find("<file>");
            if (at != std::string::npos) expected.replace(at, 6, path);
            else expected = path + ": " + expected;
            if (image) what = "loads what Windows refuses with " + expected;
            else if (messageCount != 1 || lastMessage != expected) what = "says " + lastMessage + " where Windows says " + expected;
        }
        if (image) {
            std::free(image->pixels);
            std::free(image);
        }
        if (!what.empty() && ++differing <= 40) differences += "file " + std::to_string(files - 1) + ": " + what + "\n";
    }
    LoaderMessageBox = printMessage;
    unlink(path.c_str());
    std::printf("%d corpus files: %d images, %d refusals as Windows makes them; %d differ\n",
                files, images, refusals, differing);
    EXPECT_GE(files, 10000);
    EXPECT_EQ(differing, 0) << differences;
}

} // namespace
