// The one QApplication of the application tests, on the offscreen platform.
#include "Support/QtApplicationEnvironment.h"

KESTR_QT_TEST_APPLICATION
