#pragma once

#include <functional>
#include <string>

// Whether a window system can be reached, judged from the environment before
// the toolkit starts (which would otherwise abort). `variable` returns a
// variable's value, empty when unset.
bool DisplayAvailable(const std::function<std::string(const char*)>& variable);

// The same from the process environment.
bool DisplayAvailable();
