// The Windows loader's answers for the Linux loader's differential check
// (corpus_answers.cpp has the format). Nothing is recorded while no file is open.
#pragma once
#include "image/dib_loader.h"
#include "tests/image/dib_files.h"

#include <string>

bool OpenCorpusAnswers(const char *name);
// message: the one message the loader showed; null where it showed none or several.
void RecordCorpusAnswer(const Bytes &file, const RgbImage *image, const char *message, const std::string &path);
bool CloseCorpusAnswers();
