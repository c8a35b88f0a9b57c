// Reading a whole file into memory for the picture and sound checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// False with the system's reason in error when the file cannot be opened or
// read to its end (a directory in its place included).
bool kilnReadFileBytes(const std::string& file, std::vector<uint8_t>& bytes, std::string& error);
