// The names the platform interface uses for element attributes, roles and subroles, and
// the keys of a screen's device description and of a script's error. Their values are
// fixed: scenario files store some of them. README.md in this folder says what each
// means on X11.
#pragma once

#include <cstdint>
#include <string>

namespace kestr::ax {

// Attributes of an application or window element.
inline const std::string windows = "AXWindows";
inline const std::string position = "AXPosition";
inline const std::string size = "AXSize";
inline const std::string title = "AXTitle";
inline const std::string role = "AXRole";
inline const std::string subrole = "AXSubrole";
inline const std::string minimized = "AXMinimized";
inline const std::string fullScreen = "AXFullScreen";
// The directions in which the window manager holds a window maximised: an integer of
// `maximizedAcross` and `maximizedUpDown` bits, 0 for none; unsupported where a desktop
// has no such state.
inline const std::string maximized = "AXMaximized";
inline constexpr std::int64_t maximizedAcross = 1;
inline constexpr std::int64_t maximizedUpDown = 2;
inline const std::string children = "AXChildren";
// The steps in which a window takes its size (a size); absent for most windows.
inline const std::string sizeIncrement = "AXSizeIncrement";
// The smallest frame a window takes (a size); absent where the platform cannot tell.
inline const std::string minimumSize = "AXMinimumSize";
inline const std::string focusedWindow = "AXFocusedWindow";
inline const std::string mainWindow = "AXMainWindow";
inline const std::string enhancedUserInterface = "AXEnhancedUserInterface";
inline const std::string manualAccessibility = "AXManualAccessibility";
// Of the system-wide element.
inline const std::string focusedApplication = "AXFocusedApplication";

// Values of `role`.
inline const std::string applicationRole = "AXApplication";
inline const std::string windowRole = "AXWindow";
inline const std::string unknownRole = "AXUnknown";
inline const std::string scrollAreaRole = "AXScrollArea";
inline const std::string buttonRole = "AXButton";

// Values of `subrole`.
inline const std::string standardWindowSubrole = "AXStandardWindow";
inline const std::string dialogSubrole = "AXDialog";
inline const std::string floatingWindowSubrole = "AXFloatingWindow";

// The display identifier in a screen's device description.
inline const std::string screenNumberKey = "NSScreenNumber";
// The keys of a failed script's error information.
inline const std::string scriptErrorNumberKey = "NSAppleScriptErrorNumber";
inline const std::string scriptErrorMessageKey = "NSAppleScriptErrorMessage";

}  // namespace kestr::ax
