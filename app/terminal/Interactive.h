// The interactive lesson in the terminal.
#pragma once

#include "Options.h"

// Opens the history, lets the learner choose a lesson when none is named, runs it in the
// terminal, records and saves it, and shows its figures. 0 on success; 2 for a refused lesson;
// 1 when the history cannot be opened or saved.
int RunInteractive(const Options& options, const Profile& profile);
