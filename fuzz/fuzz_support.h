#pragma once
// What every fuzz target shares: a desktop platform on a private temporary root, and a
// scratch file to hand file parsers their input.

#include <cstddef>
#include <cstdint>
#include <string>

// Sets up the desktop platform once; returns the temporary root.
const std::string& fuzzRoot();
// Writes the input to one scratch file under the root and returns its path.
std::string writeScratch(const char* name, const uint8_t* data, size_t size);
