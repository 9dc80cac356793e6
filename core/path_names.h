#pragma once
// What a name means to Windows' usual path rules, on Shift-JIS text: which
// component of a path names exactly the file or folder it spells, and which
// the rules turn into something else (the folder above, a shorter name, a
// device).

#include <string>
#include <string_view>

enum class NameProblem {
  None,
  Empty,               // between two separators, or after the last one
  DotsOrSpacesOnly,    // ".", "..", "...", " ": folded into this folder or the one above
  EndsWithDotOrSpace,  // "save.", "a ": Windows drops the ending and names another entry
  DeviceName,          // "CON", "aux.txt", "com1.log": a device, whatever the folder
  RefusedCharacter,    // one of : * ? " < > |
  ControlCharacter,    // a byte below 0x20
  MalformedSjis,       // a lead byte without its trail byte
};

// The characters Windows refuses in any file or folder name, besides the
// separators and control characters.
inline constexpr std::string_view kRefusedCharacters = ":*?\"<>|";

// The first problem of one component (no separators inside), in the order
// of the enumeration; NameProblem::None when it names what it spells.
NameProblem componentProblem(std::string_view component);

// True for the names Windows keeps for devices in every folder: CON, PRN,
// AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$ and CONOUT$, in any letter
// case, also with an extension or spaces before it ("aux.txt", "nul .sav").
bool isDeviceName(std::string_view component);

// The path with every "/" turned into "\", the separator the program's own
// scans look for. "/" (0x2F) is never the trail byte of a two-byte character.
std::string withBackslashes(std::string_view path);
