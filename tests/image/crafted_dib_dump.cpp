// Records what the Windows loader makes of the decoder's small crafted files, for
// the Linux loader's differential check (corpus_answers.cpp has the format; the
// corrupted-file corpus is recorded by dib_mutation_tests as it checks it):
//   crafted_dib_dump OUTPUT
#include "tests/image/corpus_answers.h"
#include "tests/image/fuzz/crafted_dibs.h"
#include "tests/image/message_boxes.h"

#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 2 || !OpenCorpusAnswers(argv[1])) {
        std::fprintf(stderr, "usage: crafted_dib_dump OUTPUT (a file it can write)\n");
        return 2;
    }
    const std::string path = TestFilePath("nimbra_crafted_dump.bmp");
    StartRecordingBoxes();
    for (const NamedDib &dib : SmallCraftedDibs()) {
        WriteTestFile(path, dib.bytes);
        RecordedBoxes().calls = 0;
        RgbImage *image = LoadImageFile(path.c_str());
        RecordCorpusAnswer(dib.bytes, image, RecordedBoxes().calls == 1 ? RecordedBoxes().text : nullptr, path);
        if (image) {
            std::free(image->pixels);
            std::free(image);
        }
    }
    StopRecordingBoxes();
    DeleteFileA(path.c_str());
    return CloseCorpusAnswers() ? 0 : 1;
}
