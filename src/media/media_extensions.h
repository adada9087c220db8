#pragma once

#include <string>
#include <string_view>
#include <vector>

// Extensions (lower case, without the dot) of the sound and video files this
// build's demuxers read, most common first.
const std::vector<std::string>& MediaExtensions();

// True when the file name ends in one of them, in any case.
bool HasMediaExtension(std::string_view path);
