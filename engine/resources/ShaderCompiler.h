#pragma once

#include <string>

namespace kit {

// Replaces every `#include "file"` of a GLSL text, in place, by the file's
// lines (read from baseDirectory + file), framed by #line directives so that
// compiler messages keep meaningful line numbers: the n-th included file's
// lines are reported as fileNumber * 10000 + n * 10000 + line (for a top-level
// text, fileNumber 0: 10001, 10002, ... for the first include, 20001 for the
// second), and the including text's own lines keep their numbers. A missing
// file is reported on standard error and its directive dropped; a directive
// without both quotes ends processing. Returns the number of files inserted.
int preprocessIncludes(std::string& text, int fileNumber, const std::string& baseDirectory);

// Inserts the #line directive that keeps line numbers right (after the
// #version line, or at the start when there is none) unless `name` is empty,
// preprocesses includes relative to the name's directory, compiles, and
// prints the driver's log on failure ("Errors compiling ...").
void compileShader(unsigned shaderId, const std::string& name, std::string source);

// The text compileShader hands to the driver (without compiling), for tests.
std::string prepareShaderSource(const std::string& name, std::string source, int* includes = nullptr);

} // namespace kit
