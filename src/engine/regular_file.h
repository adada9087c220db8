#pragma once

#include <cstdio>
#include <string>

// Opens a file for binary reading only when it is a regular file: a FIFO or a
// device named as a clip would block the open or never end. Null otherwise.
std::FILE* OpenRegularFileForReading(const std::string& path);
