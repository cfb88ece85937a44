// Child processes of a test: their end awaited with a deadline, and none
// left running behind it.
#pragma once

#include <sys/types.h>

#include "tests/support/waiting.h"

namespace support {

// What WaitForExit gives besides a program's own exit status.
constexpr int StillRunning = -1;  // not ended once the patience had passed
constexpr int EndedBySignal = -2;

// The exit status of child `pid` once it has ended (and been reaped).
int WaitForExit(pid_t pid, Milliseconds patience = ProcessPatience);

// Kills `pid` if it still runs and, when it is a child, waits until it is gone.
void StopProcess(pid_t pid);

// Makes this process the reaper of its descendants: a program that a child
// starts detached becomes this process's child when its parent ends.
bool AdoptOrphanedDescendants();

// Waits until every child (adopted ones included) has ended and reaps them;
// false when some still run once `patience` has passed.
bool WaitForAllChildren(Milliseconds patience = ProcessPatience);

}  // namespace support
