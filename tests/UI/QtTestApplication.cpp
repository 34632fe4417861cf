#include "Support/QtApplicationEnvironment.h"

KESTR_QT_TEST_APPLICATION
