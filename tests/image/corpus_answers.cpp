// What the Windows loader makes of each file it is given, for the Linux loader's
// differential check (tests/linux). For each file in the order given: its length
// and bytes, then either 1, width, height, the pixels' byte count and their 64-bit
// FNV-1a hash (low half first: the pixels of some corrupted files run to hundreds
// of megabytes), or 0, the length and text of the one message the loader showed,
// the file's name in it written as "<file>". All numbers are 32-bit little-endian.
#include "tests/image/corpus_answers.h"
#include "tests/image/pixel_hash.h"

#include <cstdio>

namespace {

FILE *answers;

void Put(uint32_t value)
{
    const unsigned char bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    std::fwrite(bytes, 1, 4, answers);
}

void PutBytes(const void *data, size_t size)
{
    Put(uint32_t(size));
    std::fwrite(data, 1, size, answers);
}

} // namespace

bool OpenCorpusAnswers(const char *name)
{
    answers = std::fopen(name, "wb");
    return answers != nullptr;
}

void RecordCorpusAnswer(const Bytes &file, const RgbImage *image, const char *message, const std::string &path)
{
    if (!answers) return;
    PutBytes(file.data(), file.size());
    if (image) {
        Put(1);
        Put(uint32_t(image->width));
        Put(uint32_t(image->height));
        const LONG rows = image->height < 0 ? -image->height : image->height;
        const size_t size = size_t(image->width) * size_t(rows) * 3;
        const uint64_t hash = PixelHash(image->pixels, size);
        Put(uint32_t(size));
        Put(uint32_t(hash));
        Put(uint32_t(hash >> 32));
        return;
    }
    Put(0);
    std::string text = message ? message : "(no single message)";
    const size_t at = text.find(path);
    if (at != std::string::npos) text.replace(at, path.size(), "<file>");
    PutBytes(text.data(), text.size());
}

bool CloseCorpusAnswers()
{
    const bool written = answers && std::fclose(answers) == 0;
    answers = nullptr;
    return written;
}
