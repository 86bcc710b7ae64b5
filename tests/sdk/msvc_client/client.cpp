// The same client compiled as C++: the header's declarations must link from C++ too.
#include "client.c"
