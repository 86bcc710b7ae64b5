// The program's messages: the Windows program's texts, one per line on standard
// error, after the program's name.
#pragma once

void PrintMessage(const char *text);
