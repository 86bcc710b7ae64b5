#include "platform/linux/messages.h"

#include <cstdio>
#include <cstring>

void PrintMessage(const char *text)
{
    const size_t length = std::strlen(text);
    const bool endsLine = length > 0 && text[length - 1] == '\n';
    std::fprintf(stderr, "nimbra: %s%s", text, endsLine ? "" : "\n");
}
