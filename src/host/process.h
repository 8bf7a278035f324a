// What a program takes from the operating system as it starts: its arguments and its standard
// streams. One file per operating system implements them.
#pragma once

#include <string>
#include <vector>

namespace cw {

// The arguments after the program's name, as UTF-8 (on Windows read from the wide command line:
// `argv` there holds only what the ANSI code page can spell).
std::vector<std::string> programArguments(int argc, char** argv);

// Makes standard input, output and error pass bytes unchanged (Windows' text mode would turn
// each line end into CR LF) and standard error unbuffered wherever it goes, and gives a program
// that has no console of its own (a Windows program of the GUI subsystem) that of the console it
// was started from, if any, unless its streams go elsewhere. Call it first thing in main().
void prepareStandardStreams();

}  // namespace cw
