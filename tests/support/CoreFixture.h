#pragma once

#include "core/sync/ProcessState.h"
#include <gtest/gtest.h>

namespace z9test
{

/** Base fixture of the core tests: every case starts and ends with the core's
    process-wide state at its start values. */
class CoreFixture : public ::testing::Test
{
protected:
    void SetUp() override      { NsZ9m::resetProcessWideState(); }
    void TearDown() override   { NsZ9m::resetProcessWideState(); }
};

} // namespace z9test
