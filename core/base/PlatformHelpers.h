#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/*  Small free helpers that the mapping core, the editor and the firmware
    upgrader share: the pause that keeps the message loop running, the
    processor tag, the executable's folder, the platform answers of this
    Windows build and a few text and bit helpers. None of them keeps state,
    except the test override of the Windows version and the count of pauses
    under way.
*/

//==============================================================================
/** Waits about ms milliseconds while running the message loop in slices of at
    most 100 ms, so timers, MIDI-driven updates, repaints and input go on
    inside the pause. 0 or a negative time handles what is pending and returns
    at once. It does not report whether the loop was asked to quit (then every
    slice returns at once).

    Message thread only.
*/
void waitWhileDispatching (int ms);

/** True while a waitWhileDispatching runs further down the call stack.
    Whatever the message loop delivers now runs in the middle of that
    pause's caller (a tick of the link, a mapping send, the opening of the
    surface's ports), which must not be deleted under it: the program's quit
    waits until this is false.

    Message thread only.
*/
bool isWaitingWhileDispatching() noexcept;

//==============================================================================
/** The processor brand text of this machine (juce::SystemStats::getCpuModel). */
juce::String getCpuBrand();

/** The processor tests behind getCpuModelTag, pure functions of the brand
    text. The Intel and AMD tests ignore case, the Apple tests respect it.
    Any thread. */
bool cpuIsIntel (const juce::String& cpuBrand = getCpuBrand());
bool cpuIsAmd (const juce::String& cpuBrand = getCpuBrand());
bool cpuIsAppleM1 (const juce::String& cpuBrand = getCpuBrand());
bool cpuIsAppleM2 (const juce::String& cpuBrand = getCpuBrand());
bool cpuIsApplePro (const juce::String& cpuBrand = getCpuBrand());
bool cpuIsAppleMax (const juce::String& cpuBrand = getCpuBrand());
bool cpuIsAppleUltra (const juce::String& cpuBrand = getCpuBrand());

/** "intel", "AMD", "M1", "M2", "Pro", "Max", "Ultra" or "": the tag of the
    first processor test above that holds, in that order. Without an argument
    it tests this machine's processor. Any thread. */
juce::String getCpuModelTag (const juce::String& cpuBrand = getCpuBrand());

//==============================================================================
/** Full path of the folder holding the running executable, followed by "/". */
juce::String getExecutableFolderPath();

/** This program is a Windows program: code that tests these keeps only its
    Windows branch, whatever system it is built on. */
constexpr bool isWindows() noexcept   { return true; }
constexpr bool isMacOS() noexcept     { return false; }

/** The Windows version as operating-system type minus the framework's Windows
    base value (7 is Windows 10, 6 Windows 8.1). This build always reports
    Windows 10, unless a test has set another value. windowsVersionIndex
    (ProcessState.h) takes its value from here. Message thread only. */
int getWindowsVersionIndex() noexcept;

/** Makes getWindowsVersionIndex report the given value, for tests (6 turns
    the packet pacing off). resetProcessWideState() puts it back. */
void setWindowsVersionIndexForTests (int index) noexcept;

//==============================================================================
/** The pieces of text between separators; leading, trailing and repeated
    separators give no empty pieces. An empty separator splits nothing: the
    text comes back as its only piece (none for an empty text). */
juce::StringArray splitString (const juce::String& text, const juce::String& separator);

/** The texts joined in order up to the first null pointer. */
juce::String concatCStrings (const char* first,
                             const char* second = nullptr,
                             const char* third = nullptr,
                             const char* fourth = nullptr);

/** The text centred in a field of width characters: floor of half the surplus
    of fill characters on the left, the rest on the right. A text longer than
    width is cut to its first width characters. */
juce::String centreText (const juce::String& text, int width, juce::juce_wchar fill);

/** The text padded on the right with fill to width x lines characters
    (a longer text is returned unchanged). */
juce::String padToField (const juce::String& text, int width, int lines, juce::juce_wchar fill);

juce::String joinTwoTexts (const juce::String& first, const juce::String& second);
int textLength (const juce::String& text) noexcept;
int largerInt (int a, int b) noexcept;
juce::String identityText (const juce::String& text);

/** The bits of v from position from up to position to - 1, counted from the
    most significant bit (bit 7 is position 0), as a number: 0x65 from 0 to 3
    gives 3, from 3 to 8 gives 5. Positions are limited to the byte (0 to 8);
    an empty or reversed range gives 0. */
int getBitField (juce::uint8 v, int from, int to) noexcept;

} // namespace NsZ9m
