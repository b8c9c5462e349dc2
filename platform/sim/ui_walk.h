// A scripted user for a program started on the simulated machine, where no test runs in the
// program's own process to drive its headless windows: the walk of a whole kit, whose programs
// start one another. When the environment variable SIMWIN_WALK names a folder holding
// <program>.walk (the program's file name in lower case, without ".exe"), that file's commands
// run one by one, each when the program's message loop has nothing else to do.
//
// Commands, one per line ("#" starts a comment line):
//   say TEXT            prints TEXT on its own line (the walk's progress)
//   window TITLE        the top-level window that the next commands act on, waited for
//   wait ID             waits until the control ID of that window is shown
//   click ID            clicks the button ID (waited for, shown and enabled)
//   type ID TEXT        replaces the text of the edit ID by TEXT (the rest of the line)
//   expect ID TEXT      the control's text must be TEXT
//   wait-file PATH      waits until the file exists (written by another program)
//   wait-text TEXT      waits until that file holds TEXT
//                       (both stop the walk, with a "walk: STOP" line and exit code 3, once
//                       SIMWIN_BOX_LOG holds a box: the other program gave up)
//   folder PATH         the next folder browser answers PATH
//   close               the close box of the window
//   press KEY ...       presses keys on the keyboard, through the program's message loop:
//                       tab, enter, escape, space, up, down, left, right, home, end,
//                       backspace, with "shift+" in front or not, and alt+LETTER
//   press-text TEXT     types TEXT into the control that has the focus
//   focus ID            waits until the control ID has the keyboard focus
//   checked ID 0|1      the button's check state must be that
// Waiting moves the virtual clock by 100 ms a time and lets the other programs of the machine
// run; a wait longer than 30 s of real time (SIMWIN_WALK_TIMEOUT seconds when set), or a
// command that cannot be done, ends the program with exit code 3 after a "walk: FAIL" line on
// the error output.
#pragma once

#include <string>

namespace sim::walk {

// Reads the walk of `programPath` (argv[0]) when there is one and queues its first command.
void InstallFromEnvironment(const std::string& programPath);

}  // namespace sim::walk
