#pragma once
// The engine's base class in the test build: the SDK-free test adapter.
#include "test_adapter.h"

namespace selvarin {
using SelvarinBase = TestAdapter;
}
