#pragma once

#include <string>
#include <string_view>

// Values as JSON text, for the reports and the live lines.

// Nine significant digits, so the text reads back as the same 32-bit float;
// null when not finite.
std::string JsonFloat(float value);

// Quoted and escaped; invalid UTF-8 becomes U+FFFD so the line stays valid
// JSON.
std::string JsonString(std::string_view text);
