// The XDG autostart entry that starts the program with the user's session, in the tray and
// sweeping the pest chosen last: $XDG_CONFIG_HOME/autostart/ (~/.config/autostart/ when the
// variable is unset, empty or not an absolute path, as the base directory rules ask), under the
// desktop entry's own name so that the desktop sees the two as one program.
#pragma once

#include <filesystem>
#include <string>

// The entry's file for this process's environment; empty when neither variable gives a place.
std::filesystem::path AutostartFile();
// The entry's text for the program at Program.
std::string AutostartEntry(const std::filesystem::path& Program);
bool AutostartInstalled();
// Write or delete the entry; a failure throws Exception naming the file and the reason.
void InstallAutostart(const std::filesystem::path& Program);
void RemoveAutostart();
