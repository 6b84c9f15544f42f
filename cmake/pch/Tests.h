// The core set and GoogleTest, for tests.
#pragma once

#include "cmake/pch/Core.h"

#include <gtest/gtest.h>
