#include "tests/support/TempFolder.h"
#include <atomic>
#include <unistd.h>

namespace z9test
{

juce::String TempFolder::uniquePrefix()
{
    static std::atomic<int> count { 0 };
    return "z9test_" + juce::String ((int) getpid()) + "_" + juce::String (++count);
}

} // namespace z9test
