#include "framework/services/services.h"
