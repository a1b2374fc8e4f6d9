#include "tests/support/HostFixture.h"
