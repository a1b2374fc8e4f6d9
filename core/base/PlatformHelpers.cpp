#include "core/base/PlatformHelpers.h"

namespace NsZ9m
{

namespace
{
    int pauseDepth = 0;
}

bool isWaitingWhileDispatching() noexcept
{
    return pauseDepth > 0;
}

void waitWhileDispatching (int ms)
{
    auto* mm = juce::MessageManager::getInstance();
    jassert (mm->isThisTheMessageThread()); // only the message thread may run the loop: post the work to it instead

    ++pauseDepth;
    const juce::ScopeGuard pauseEnds { [] { --pauseDepth; } };

    constexpr int sliceMs = 100;

    while (ms > sliceMs)
    {
        mm->runDispatchLoopUntil (sliceMs);
        ms -= sliceMs;
    }

    // A negative time would make the loop run until it is told to quit; 0
    // makes it handle what is pending and return.
    mm->runDispatchLoopUntil (juce::jmax (0, ms));
}

//==============================================================================
juce::String getCpuBrand()
{
    return juce::SystemStats::getCpuModel();
}

static bool isAppleSilicon (const juce::String& brand)
{
    return brand.contains ("M1") || brand.contains ("M2");
}

static bool hasAppleVariant (const juce::String& brand)
{
    return brand.contains ("Pro") || brand.contains ("Max") || brand.contains ("Ultra");
}

bool cpuIsIntel (const juce::String& b)        { return b.containsIgnoreCase ("intel"); }
bool cpuIsAmd (const juce::String& b)          { return b.containsIgnoreCase ("AMD"); }
bool cpuIsAppleM1 (const juce::String& b)      { return (b.contains ("M1") || b.contains ("VirtualApple")) && ! hasAppleVariant (b); }
bool cpuIsAppleM2 (const juce::String& b)      { return b.contains ("M2") && ! hasAppleVariant (b); }
bool cpuIsApplePro (const juce::String& b)     { return isAppleSilicon (b) && b.contains ("Pro"); }
bool cpuIsAppleMax (const juce::String& b)     { return isAppleSilicon (b) && b.contains ("Max"); }
bool cpuIsAppleUltra (const juce::String& b)   { return isAppleSilicon (b) && b.contains ("Ultra"); }

juce::String getCpuModelTag (const juce::String& brand)
{
    if (cpuIsIntel (brand))        return "intel";
    if (cpuIsAmd (brand))          return "AMD";
    if (cpuIsAppleM1 (brand))      return "M1";
    if (cpuIsAppleM2 (brand))      return "M2";
    if (cpuIsApplePro (brand))     return "Pro";
    if (cpuIsAppleMax (brand))     return "Max";
    if (cpuIsAppleUltra (brand))   return "Ultra";
    return {};
}

//==============================================================================
juce::String getExecutableFolderPath()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile)
               .getParentDirectory()
               .getFullPathName() + "/";
}

static constexpr int windows10Index = juce::SystemStats::Windows10 - juce::SystemStats::Windows;
static int windowsVersionOverride = -1;

int getWindowsVersionIndex() noexcept
{
    return windowsVersionOverride >= 0 ? windowsVersionOverride : windows10Index;
}

void setWindowsVersionIndexForTests (int index) noexcept
{
    windowsVersionOverride = index;
}

// Called from resetOtherCoreState().
void resetPlatformHelpers() noexcept
{
    windowsVersionOverride = -1;
}

//==============================================================================
juce::StringArray splitString (const juce::String& text, const juce::String& separator)
{
    juce::StringArray pieces;

    if (separator.isEmpty())
    {
        // Nothing to split at; searching for the empty text would never advance.
        if (text.isNotEmpty())
            pieces.add (text);

        return pieces;
    }

    const auto sepLength = separator.length();
    auto rest = text;

    while (rest.isNotEmpty())
    {
        const auto p = rest.indexOf (separator);

        if (p < 0)
        {
            pieces.add (rest);
            break;
        }

        if (p > 0)
            pieces.add (rest.substring (0, p));

        rest = rest.substring (p + sepLength);
    }

    return pieces;
}

juce::String concatCStrings (const char* first, const char* second, const char* third, const char* fourth)
{
    juce::String result;

    for (auto* t : { first, second, third, fourth })
    {
        if (t == nullptr)
            break;

        result += t;
    }

    return result;
}

juce::String centreText (const juce::String& text, int width, juce::juce_wchar fill)
{
    const auto length = text.length();

    if (length > width)
        return text.substring (0, juce::jmax (0, width));

    return text.paddedLeft (fill, length + (width - length) / 2)
               .paddedRight (fill, width);
}

juce::String padToField (const juce::String& text, int width, int lines, juce::juce_wchar fill)
{
    return text.paddedRight (fill, juce::jmax (0, width * lines));
}

juce::String joinTwoTexts (const juce::String& first, const juce::String& second)   { return first + second; }
int textLength (const juce::String& text) noexcept                                  { return text.length(); }
int largerInt (int a, int b) noexcept                                               { return a < b ? b : a; }
juce::String identityText (const juce::String& text)                                { return text; }

int getBitField (juce::uint8 v, int from, int to) noexcept
{
    from = juce::jlimit (0, 8, from);
    to = juce::jlimit (0, 8, to);

    if (to <= from)
        return 0;

    return ((v << from) & 0xff) >> (8 - to + from);
}

} // namespace NsZ9m
