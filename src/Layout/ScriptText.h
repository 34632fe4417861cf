// Pieces of the scripts kestr sends to other applications: string-literal escaping,
// shell quoting, the check that keeps a bundle identifier from carrying script, and
// whole-number edges for window bounds. Everyone who builds a script uses these.
#pragma once

#include <string>
#include <string_view>

namespace kestr::ScriptText {

// The text made safe for the inside of an AppleScript string literal: backslashes
// doubled first, then a backslash before each double quote. Nothing else changes.
std::string escaped(std::string_view text);

// The escaped text between double quotes.
std::string quoted(std::string_view text);

// One shell word: the text in single quotes, each single quote inside written '\''.
std::string shellQuoted(std::string_view text);

// Bundle identifiers go into scripts as they are, so only the reverse-DNS alphabet
// (ASCII letters, digits, "-" and ".") is accepted; anything else could end the
// literal and smuggle in commands from a kest file of unknown origin.
bool isSafeBundleID(std::string_view bundleID);

// A coordinate rounded to the nearest whole number, halves away from zero, in decimal.
std::string roundedWholeNumber(double value);

// One script line, ended by a line feed.
std::string line(std::string_view text);
// "try", the statement, "end try", each on its own line: a statement the target
// application may reject without failing the script.
std::string tryBlock(std::string_view statement);
// tell application id "‹bundle identifier›" (no line feed). The identifier goes in as
// it is: callers pass a constant or one that isSafeBundleID accepted.
std::string tellApplication(std::string_view bundleID);

// Removes leading and trailing spaces and tabs (line breaks stay).
std::string_view trimmedSpacesAndTabs(std::string_view text);

}  // namespace kestr::ScriptText
