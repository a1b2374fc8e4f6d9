#include "tests/support/TempFolder.h"
