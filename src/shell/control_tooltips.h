#pragma once

#include <string_view>

// The tooltip of a control of the main dialog by its identifier; empty for
// controls without one.
std::string_view ControlTooltip(int control_id);
