#pragma once

namespace NsZ9m
{

/** The program's name and version as the editor shows them (window title,
    about box). */
namespace EditorVersion
{
    inline constexpr const char* programName       = "Z9-M/X Ostrik";
    inline constexpr const char* versionMark       = "V";
    inline constexpr const char* version           = "1.04";
    inline constexpr const char* buildCode         = "99C";

    /** The release's build date, in the compiler's date format. */
    inline constexpr const char* buildDate         = "Nov  2 2023";

    /** Where users manage their account with the maker. */
    inline constexpr const char* accountWebAddress = "https://account.vorlix.com";
}

} // namespace NsZ9m
