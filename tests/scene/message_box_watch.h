// Records every message box this thread shows and answers it with OK.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
};

class MessageBoxWatch {
public:
    MessageBoxWatch();
    ~MessageBoxWatch();
    const std::vector<SeenMessageBox> &Seen() const;

private:
    HHOOK hook;
};
