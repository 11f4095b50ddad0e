// Change records: grouping, the network side of each type, the undo stack and the history.
#include "shell/changes.h"
