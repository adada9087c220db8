#include <gtest/gtest.h>

#include "log/event_log.h"
#include "support/test_support.h"

TEST(EventLog, Placeholder) { SUCCEED(); }
