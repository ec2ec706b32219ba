// The results of the grid's operations, one named set per kind of answer.
// The numbers are part of the behaviour: derived grids compare with them.
#pragma once

// Result codes of grid operations.
enum GridResult { kGridOk = 0, kGridOutOfRange = 1, kGridRefused = 2 };
// FitColumnsToContent refuses each bad argument with a code of its own.
enum GridFitResult { kGridFitBadFirst = 1, kGridFitBadLast = 2, kGridFitReversed = 3 };
// FinishCellEdit: the text was refused and the edit goes on, or it ended.
enum GridEditEnd { kGridEditGoesOn = 0, kGridEditEnded = 1 };
// HandleFindReplace: found (or replaced), not found (the message was shown),
// or found where the current cell may not go (a hook refused the move).
enum GridFindResult { kGridFound = 0, kGridNotFound = 1, kGridFindRefused = 2 };
