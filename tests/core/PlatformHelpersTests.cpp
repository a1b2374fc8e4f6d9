#include "core/base/PlatformHelpers.h"
#include "core/model/DawId.h"
#include "core/sync/ProcessState.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/CoreFixture.h"
#include <gtest/gtest.h>
#include <atomic>

using namespace NsZ9m;

namespace
{

/** Counts its ticks and remembers when the first and the last one came. */
struct TickRecorder : private juce::Timer
{
    explicit TickRecorder (int intervalMs)   { startTimer (intervalMs); }
    ~TickRecorder() override                 { stopTimer(); }

    int ticks = 0;
    juce::uint32 firstTick = 0, lastTick = 0;

private:
    void timerCallback() override
    {
        lastTick = juce::Time::getMillisecondCounter();

        if (ticks++ == 0)
            firstTick = lastTick;
    }
};

} // namespace

//==============================================================================
TEST (WaitWhileDispatching, TimersFireThroughoutALongPause)
{
    // The process's timer thread starts on the first timer and only once the
    // loop runs: let it tick once before the pause, so that the pause is
    // measured and not the thread's start on a busy machine.
    TickRecorder recorder (10);
    ASSERT_TRUE (z9test::waitUntil ([&] { return recorder.ticks > 0; }));
    recorder.ticks = 0;

    const auto start = juce::Time::getMillisecondCounter();
    waitWhileDispatching (250);
    const auto elapsed = juce::Time::getMillisecondCounter() - start;

    EXPECT_GE (elapsed, 245u);
    EXPECT_LT (elapsed, 1500u);

    // The loop ran from the first slice to the last (a pause that sleeps
    // through part of the time shows no tick in one half): ticks in the first
    // half and in the second, and more than a couple of them.
    EXPECT_GE (recorder.ticks, 5);
    EXPECT_LT (recorder.firstTick - start, elapsed / 2);
    EXPECT_GT (recorder.lastTick - start, elapsed / 2);
}

TEST (WaitWhileDispatching, ZeroAndNegativeTimesHandleWhatIsPendingAndReturn)
{
    for (int ms : { 0, -1, -250 })
    {
        std::atomic<bool> handled { false };
        juce::MessageManager::callAsync ([&handled] { handled = true; });

        const auto start = juce::Time::getMillisecondCounter();
        waitWhileDispatching (ms);

        EXPECT_LT (juce::Time::getMillisecondCounter() - start, 100u) << ms << " ms";
        EXPECT_TRUE (handled) << ms << " ms";
    }
}

//==============================================================================
TEST (CpuModel, TagOfEachProcessorBrand)
{
    const std::pair<const char*, const char*> cases[] = {
        { "Apple M1",                                  "M1" },
        { "Apple M1 Pro",                              "Pro" },
        { "Apple M1 Max",                              "Max" },
        { "Apple M1 Ultra",                            "Ultra" },
        { "Apple M2",                                  "M2" },
        { "Apple M2 Pro",                              "Pro" },
        { "Apple M2 Max",                              "Max" },
        { "Apple M2 Ultra",                            "Ultra" },
        { "VirtualApple 2.50GHz",                      "M1" },
        { "VirtualApple Pro",                          "" },      // neither M1 nor M2 for the variant tests
        { "AMD Ryzen 7 5800X",                         "AMD" },
        { "AuthenticAMD",                              "AMD" },
        { "amd ryzen",                                 "AMD" },   // the AMD test ignores case
        { "Intel(R) Core(TM) i7",                      "intel" },
        { "GenuineIntel",                              "intel" },
        { "INTEL Xeon AMD-V",                          "intel" }, // Intel is tested first
        { "apple m1",                                  "" },      // the Apple tests respect case
        { "Apple M3",                                  "" },
        { "",                                          "" },
    };

    for (auto [brand, tag] : cases)
        EXPECT_EQ (getCpuModelTag (brand), juce::String (tag)) << "brand \"" << brand << "\"";
}

TEST (CpuModel, EachTestOnItsOwn)
{
    // Bits: intel, AMD, M1, M2, Pro, Max, Ultra.
    const std::pair<const char*, int> cases[] = {
        { "Apple M1 Pro",           0b0000100 },
        { "Apple M2 Max",           0b0000010 },
        { "Apple M1 Ultra",         0b0000001 },
        { "Apple M1 M2 Pro Max",    0b0000110 },
        { "VirtualApple 2.50GHz",   0b0010000 },
        { "Apple M2",               0b0001000 },
        { "Intel AMD M1",           0b1110000 },
        { "",                       0 },
    };

    for (auto [brand, expected] : cases)
    {
        const juce::String b (brand);
        const int bits = (cpuIsIntel (b) ? 64 : 0) | (cpuIsAmd (b) ? 32 : 0) | (cpuIsAppleM1 (b) ? 16 : 0)
                       | (cpuIsAppleM2 (b) ? 8 : 0) | (cpuIsApplePro (b) ? 4 : 0) | (cpuIsAppleMax (b) ? 2 : 0)
                       | (cpuIsAppleUltra (b) ? 1 : 0);
        EXPECT_EQ (bits, expected) << "brand \"" << brand << "\"";
    }
}

TEST (CpuModel, WithoutArgumentTheMachinesOwnBrandIsTested)
{
    const auto brand = juce::SystemStats::getCpuModel();
    EXPECT_EQ (getCpuBrand(), brand);
    EXPECT_EQ (getCpuModelTag(), getCpuModelTag (brand));
    EXPECT_EQ (cpuIsAmd(), cpuIsAmd (brand));
}

//==============================================================================
TEST (Platform, ExecutableFolderHoldsTheRunningProgram)
{
    const auto path = getExecutableFolderPath();
    ASSERT_TRUE (path.endsWith ("/"));

    const juce::File folder (path.dropLastCharacters (1));
    const auto exe = juce::File::getSpecialLocation (juce::File::currentExecutableFile);

    EXPECT_TRUE (folder.isDirectory());
    EXPECT_EQ (exe.getParentDirectory(), folder);
    EXPECT_TRUE (folder.getChildFile (exe.getFileName()).existsAsFile());
}

TEST (Platform, AnswersOfThisWindowsBuild)
{
    static_assert (isWindows(), "this build keeps its Windows behaviour");
    static_assert (! isMacOS(), "this build keeps its Windows behaviour");
}

class WindowsVersion : public z9test::CoreFixture {};

TEST_F (WindowsVersion, IsWindows10UnlessATestSetsIt)
{
    EXPECT_EQ (getWindowsVersionIndex(), 7);

    setWindowsVersionIndexForTests (6);
    EXPECT_EQ (getWindowsVersionIndex(), 6);

    windowsVersionIndex = getWindowsVersionIndex();
    EXPECT_EQ (windowsVersionIndex, 6);

    resetProcessWideState();
    EXPECT_EQ (getWindowsVersionIndex(), 7);
    EXPECT_EQ (windowsVersionIndex, 0);
}

//==============================================================================
TEST (TextHelpers, SplitString)
{
    struct Case { const char* text; const char* separator; juce::StringArray pieces; };
    const Case cases[] = {
        { "+a++b+",       "+",   { "a", "b" } },
        { "",             "+",   {} },
        { "abc",          "+",   { "abc" } },
        { "+",            "+",   {} },
        { "+++",          "+",   {} },
        { "a::b::::c::",  "::",  { "a", "b", "c" } },
        { "a:b",          "::",  { "a:b" } },
        { "ab",           "abc", { "ab" } },
        { "Fast Forward", " ",   { "Fast", "Forward" } },
        { "abc",          "",    { "abc" } },   // an empty separator splits nothing
        { "",             "",    {} },
    };

    for (auto& c : cases)
        EXPECT_EQ (splitString (c.text, c.separator), c.pieces)
            << "\"" << c.text << "\" at \"" << c.separator << "\"";
}

TEST (TextHelpers, CentreText)
{
    struct Case { const char* text; int width; char fill; const char* result; };
    const Case cases[] = {
        { "ab",      5, ' ', " ab  " },   // an odd surplus puts the extra fill on the right
        { "abcdef",  4, ' ', "abcd" },
        { "abcd",    4, ' ', "abcd" },
        { "a",       4, '.', ".a.." },
        { "ab",      6, '-', "--ab--" },
        { "",        3, '*', "***" },
        { "ab",      0, ' ', "" },
    };

    for (auto& c : cases)
        EXPECT_EQ (centreText (c.text, c.width, (juce::juce_wchar) c.fill), juce::String (c.result))
            << "\"" << c.text << "\" in " << c.width;
}

TEST (TextHelpers, PadConcatAndSmallHelpers)
{
    EXPECT_EQ (padToField ("ab", 8, 2, ' '), juce::String ("ab") + juce::String::repeatedString (" ", 14));
    EXPECT_EQ (padToField ("abc", 2, 1, '.'), juce::String ("abc"));
    EXPECT_EQ (padToField ("a", 2, 2, '.'), juce::String ("a..."));

    EXPECT_EQ (concatCStrings ("a"), juce::String ("a"));
    EXPECT_EQ (concatCStrings ("a", "", "", ""), juce::String ("a"));
    EXPECT_EQ (concatCStrings ("a", "b", "c", "d"), juce::String ("abcd"));
    EXPECT_EQ (concatCStrings ("a", "b", nullptr, "d"), juce::String ("ab"));   // stops at the first null
    EXPECT_EQ (concatCStrings ("", "b"), juce::String ("b"));
    EXPECT_EQ (concatCStrings (nullptr, "b"), juce::String());

    EXPECT_EQ (joinTwoTexts ("ab", "cd"), juce::String ("abcd"));
    EXPECT_EQ (textLength (juce::String::fromUTF8 ("caf\xc3\xa9")), 4);   // characters, not bytes
    EXPECT_EQ (largerInt (3, 5), 5);
    EXPECT_EQ (largerInt (5, 3), 5);
    EXPECT_EQ (largerInt (-2, -2), -2);
    EXPECT_EQ (identityText (" x "), juce::String (" x "));

    EXPECT_TRUE (isHuiDaw (3));
    EXPECT_FALSE (isHuiDaw (1));
    EXPECT_FALSE (isHuiDaw (0));
}

TEST (TextHelpers, GetBitField)
{
    struct Case { int v, from, to, result; };
    const Case cases[] = {
        { 0x65, 0, 3, 3 },      // the top three bits
        { 0x65, 3, 8, 5 },      // the low five bits
        { 0x65, 0, 8, 0x65 },
        { 0x80, 0, 1, 1 },
        { 0x7f, 0, 1, 0 },
        { 0x01, 7, 8, 1 },
        { 0x65, 1, 4, 6 },
        { 0x65, 4, 4, 0 },      // empty range
        { 0x65, 5, 3, 0 },      // reversed range
        // Positions outside the byte are limited to it, never shifted out of range.
        { 0xff, -3, 2, 3 },
        { 0xff, 6, 12, 3 },
        { 0xff, 9, 12, 0 },
        { 0xff, -20, 40, 0xff },
        { 0xff, -5, -1, 0 },
    };

    for (auto& c : cases)
        EXPECT_EQ (getBitField ((juce::uint8) c.v, c.from, c.to), c.result)
            << juce::String::toHexString (c.v) << " from " << c.from << " to " << c.to;
}
