// The entry of every program of the kit. The Windows entry point calls it with the text of the
// command line after the program name; its result is the exit code.
#pragma once

int AppMain(const char* commandLine);
