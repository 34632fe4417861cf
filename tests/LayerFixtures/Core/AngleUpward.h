// Reaches the user interface from the core in angle brackets: the layer test must refuse it.
#pragma once

#include <UI/Shell/StatusMenu.h>
