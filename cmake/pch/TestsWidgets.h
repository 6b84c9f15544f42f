// The widgets set and GoogleTest, for tests of windows.
#pragma once

#include "cmake/pch/Widgets.h"

#include <gtest/gtest.h>
