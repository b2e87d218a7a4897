#pragma once
// Small helpers the sound tools share: recipe comments and whole-file reading and writing.
#include <string>

namespace soundgen {

// Cuts a comment off a recipe line: a '#' that begins a word ("C#3" is a note, not a comment).
void StripComment(std::string& line);

// The whole file; false when it cannot be read.
bool ReadFile(const std::string& path, std::string& bytes);
// Writes the whole file; false when it cannot be written.
bool WriteFile(const std::string& path, const std::string& bytes);

}  // namespace soundgen
