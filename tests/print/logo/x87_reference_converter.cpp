// The reference converter compiled once more, for x87 arithmetic.
#include "tests/print/logo/reference_converter.cpp"
