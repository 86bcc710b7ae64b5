// An independent, byte-by-byte reading of a DIB file: what a correct loader must
// return for it, or that it must refuse it.
#pragma once
#include "tests/image/dib_files.h"

enum class ReferenceKind {
    Refused,          // the file is impossible or incomplete
    Image,            // the pixels below are the only right answer
    RunLength         // run-length data: only the size is predicted here
};

struct ReferenceImage {
    ReferenceKind kind = ReferenceKind::Refused;
    LONG width = 0;
    LONG height = 0;
    Bytes rgb;   // rows in file order
};

ReferenceImage DecodeReference(const Bytes &file);
