// The one QApplication of the user-interface tests, on the offscreen platform.
#include "Support/QtApplicationEnvironment.h"

KESTR_QT_TEST_APPLICATION
