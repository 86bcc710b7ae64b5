#include "image/dib_loader.h"
