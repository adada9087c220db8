#pragma once

#include <functional>
#include <string>

// Whether a window system can be reached, judged before the toolkit starts
// (which would otherwise abort). `variable` returns a variable's value, empty
// when unset; `x_server_reachable` tells whether an X display name (never
// empty) leads to a running X server.
bool DisplayAvailable(const std::function<std::string(const char*)>& variable,
                      const std::function<bool(const std::string&)>& x_server_reachable);
