// The PC kitpreview draws on: a simulated Windows 98 machine seeded as a subscriber's PC, and
// changed into the PCs whose differences a kit's pages show (the browser, the system checks).
#pragma once

#include <string>

namespace kitpreview {

// A PC the kit can meet, as far as what the wizards show depends on it.
enum class Browser { kNone, kIe3, kIe4 };

// A Windows 98 PC with a logged-on user and Internet Explorer 4, whose settings the registry
// scripts copy, on the machine in use.
void SeedSubscriberPc();
// Internet Explorer's key as that browser leaves it (none: no key at all).
void SetBrowser(Browser browser);
// Whether Windows reports the Windows 95/98 family (false: Windows NT 4.0).
void SetWindows9x(bool windows9x);

// Every value that the registry script of `section` copies and that the machine lacks gets a
// stand-in of the copied kind (an empty text, a zero number, one zero byte): a script copies a
// subscriber's own settings, which the preview machine cannot know, and a copy of a missing
// value stops the wizard at that step.
void SeedScriptSources(const std::string& stepFile, const std::string& section);

}  // namespace kitpreview
