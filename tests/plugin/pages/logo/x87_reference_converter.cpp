// The reference converter compiled once more, for x87 arithmetic.
#include "tests/plugin/pages/logo/reference_converter.cpp"
