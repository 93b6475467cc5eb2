// Arbitrary text through ParseInt, checked against the C runtime's reading of the same text.
#include "fuzz/fuzz_harness.h"
#include "tessel/parse_int_reading.h"

void Fuzz(const std::string& input) {
    Check(ParseIntReadsAsTheRuntime(input.c_str()));
}
