// The loader's corrupted-file corpus, the same files on every run: the mutation
// tests load them, and the corpus dump records what the Windows loader makes of
// them for the Linux loader's differential check.
#pragma once
#include "tests/image/dib_files.h"
#include <functional>

using FileVisitor = std::function<void(const Bytes &)>;

std::vector<Bytes> SeedFiles();                          // ten valid files of every kind
void ForEachTruncation(const FileVisitor &visit);         // every length of every seed
void ForEachSingleCorruption(const FileVisitor &visit);   // 4000 files
void ForEachSeveralCorruptions(const FileVisitor &visit); // 4500 files
