// Records what the Windows loader makes of every file of the corrupted-file
// corpus and of the decoder's small crafted files, for the Linux loader's
// differential check (tests/linux):
//   dib_corpus_dump OUTPUT
// OUTPUT holds, for each file in corpus order: its length and bytes, then either
// 1, width, height, the pixels' byte count and their 64-bit FNV-1a hash (low half
// first: the pixels of some corrupted files run to hundreds of megabytes), or 0,
// the length and text of the one message the loader showed, the file's name in it
// written as "<file>". All numbers are 32-bit little-endian.
#include "image/dib_loader.h"
#include "tests/image/dib_corpus.h"
#include "tests/image/fuzz/crafted_dibs.h"
#include "tests/image/message_boxes.h"
#include "tests/image/pixel_hash.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FILE *output;
std::string path = TestFilePath("nimbra_corpus_dump.bmp");
int files = 0, images = 0;

void Put(uint32_t value)
{
    const unsigned char bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    std::fwrite(bytes, 1, 4, output);
}

void PutBytes(const void *data, size_t size)
{
    Put(uint32_t(size));
    std::fwrite(data, 1, size, output);
}

void Record(const Bytes &file)
{
    ++files;
    PutBytes(file.data(), file.size());
    WriteTestFile(path, file);
    RecordedBoxes().calls = 0;
    RecordedBoxes().text[0] = 0;
    RgbImage *image = LoadImageFile(path.c_str());
    if (image) {
        ++images;
        Put(1);
        Put(uint32_t(image->width));
        Put(uint32_t(image->height));
        const LONG rows = image->height < 0 ? -image->height : image->height;
        const size_t size = size_t(image->width) * size_t(rows) * 3;
        const uint64_t hash = PixelHash(image->pixels, size);
        Put(uint32_t(size));
        Put(uint32_t(hash));
        Put(uint32_t(hash >> 32));
        std::free(image->pixels);
        std::free(image);
        return;
    }
    Put(0);
    std::string text = RecordedBoxes().calls == 1 ? RecordedBoxes().text : "(no single message)";
    const size_t at = text.find(path);
    if (at != std::string::npos) text.replace(at, path.size(), "<file>");
    PutBytes(text.data(), text.size());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dib_corpus_dump OUTPUT\n");
        return 2;
    }
    output = std::fopen(argv[1], "wb");
    if (!output) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    StartRecordingBoxes();
    ForEachTruncation(Record);
    ForEachSingleCorruption(Record);
    ForEachSeveralCorruptions(Record);
    for (const NamedDib &dib : SmallCraftedDibs()) Record(dib.bytes);
    StopRecordingBoxes();
    DeleteFileA(path.c_str());
    const bool written = std::fclose(output) == 0;
    std::printf("%d files recorded, %d of them images\n", files, images);
    return written ? 0 : 1;
}
