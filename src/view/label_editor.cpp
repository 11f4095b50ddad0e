// The in-place label editor of a view.
#include "view/view_operations.h"
