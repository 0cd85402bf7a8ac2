// Whole files as byte strings, read and written with the standard library so
// that a test's view of a file never depends on the streams it tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace wordloom::testing_support {

// The bytes of the file at Path; std::runtime_error when it cannot be opened.
std::string ReadFile(const std::string& Path);
// Replaces the file at Path with Bytes; std::runtime_error when that fails.
void WriteFile(const std::string& Path, const std::string& Bytes);
// The names of the entries of Folder, sorted: a test sees what a save left.
std::vector<std::string> FileNames(const std::filesystem::path& Folder);

}  // namespace wordloom::testing_support
