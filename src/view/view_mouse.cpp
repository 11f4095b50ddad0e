// The mouse in a view.
#include "view/view_operations.h"
