// The one main() of every toolkit-free test program, on every platform.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>
