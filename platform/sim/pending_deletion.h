// What Windows NT deletes at its next start (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT): the
// pairs of names of the value "PendingFileRenameOperations" under
// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager, each a "\??\" path
// followed by an empty name (deleted rather than renamed).
#pragma once

#include <string>
#include <vector>

namespace sim {

constexpr const char* kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingValue = "PendingFileRenameOperations";

// Adds `path` to the list. False when the registry cannot be written.
bool AddPendingDeletion(const std::string& path);
// The paths waiting to be deleted, without their "\??\" prefix.
std::vector<std::string> PendingDeletions();

}  // namespace sim
