// One copy of each program per user, and each program's question whether the
// other one runs. A program's "main window class" is a lock file and a local
// socket named after it in the user's runtime folder: the lock says a copy
// runs (a lock left by a crashed copy is stale and taken over), the socket
// lets a later copy ask the running one to come to the front, and answers the
// other program's question.
#pragma once

#include <string>

class QWidget;

// Run first at start-up. True when no other copy runs: the name (the title
// string when none is given) is then this program's main window class and
// the icon its windows' icon. False when another copy runs, after asking it
// to come to the front, and when the guard cannot be set up.
[[nodiscard]] bool CheckSingleInstance(int iconId, const std::string& className = {});
// Gives the class up again (at exit, also after a refused start).
void UnregisterMainWindowClass();
// The class registered by CheckSingleInstance; empty before and after.
std::string MainWindowClassName();
// Whether the program whose main window class has that name runs: its socket answers.
[[nodiscard]] bool FindProgramWindow(const std::string& className);

namespace fw {
// The folder of the locks and sockets: the user's runtime folder.
std::string InstanceFolder();
// The window a later copy's request brings to the front. Without one, the
// first visible top-level window that is not a dialog.
void SetInstanceWindow(QWidget* window);
// What a request does: the window is restored when minimised, then the
// dialog running on top of it (or the window itself) is raised and activated.
void BringInstanceToFront();
}  // namespace fw
