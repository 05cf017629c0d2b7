#include <gtest/gtest.h>

#include "base_cmp.h"

TEST(Smoke, Builds) { SUCCEED(); }
