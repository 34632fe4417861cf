// Reaches the application shell from the user interface in quotes: the layer test must refuse it.
#pragma once

#include "App/MenuCommands.h"
