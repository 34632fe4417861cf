// The built-in scenario: what the command-line program sees when it is given none.
#include "Platform/Sim/SimScenario.h"

namespace kestr {

nlohmann::json SimScenario::defaultScenario() {
    return nlohmann::json::parse(R"json({
  "version": 1,
  "displays": [
    {"id": 1, "uuid": "37D8832A-2D66-4B0F-9F3F-1234567890AB", "bounds": [0, 0, 1920, 1200],
     "insets": {"top": 25, "bottom": 70}},
    {"id": 2, "uuid": "5C1E9B40-7A3D-4E21-8F6B-ABCDEF012345", "bounds": [1920, 0, 2560, 1440],
     "insets": {"top": 25}}
  ],
  "pointer": [960, 600],
  "trusted": true,
  "currentSpace": 1,
  "nextPid": 800,
  "applications": [
    {"bundleID": "com.apple.finder", "name": "Finder", "path": "/System/Library/CoreServices/Finder.app",
     "launchDelay": 0.1, "firstWindowDelay": 0.3, "reopenDelay": 0.3,
     "windowTitle": "Recents", "windowFrame": [80, 120, 920, 560], "minimumSize": [316, 288]},
    {"bundleID": "com.apple.Terminal", "name": "Terminal", "path": "/System/Applications/Utilities/Terminal.app",
     "launchDelay": 0.2, "firstWindowDelay": 0.4, "reopenDelay": 0.3,
     "windowTitle": "user — -zsh — 80×24", "windowFrame": [200, 300, 568, 366], "minimumSize": [260, 212],
     "sizeRule": {"cell": [7, 14], "padding": [8, 30]}},
    {"bundleID": "com.google.Chrome", "name": "Google Chrome", "path": "/Applications/Google Chrome.app",
     "launchDelay": 0.3, "firstWindowDelay": 0.8, "reopenDelay": 0.5,
     "windowTitle": "New Tab", "windowFrame": [2000, 80, 1400, 1000]},
    {"bundleID": "com.apple.Safari", "name": "Safari", "path": "/Applications/Safari.app",
     "launchDelay": 0.2, "firstWindowDelay": 0.6, "reopenDelay": 0.4,
     "windowTitle": "Start Page", "windowFrame": [160, 90, 1280, 900]},
    {"bundleID": "com.mitchellh.ghostty", "name": "Ghostty", "path": "/Applications/Ghostty.app",
     "launchDelay": 0.2, "firstWindowDelay": 0.5, "reopenDelay": 0.3,
     "windowTitle": "~", "windowFrame": [300, 200, 900, 600]},
    {"bundleID": "com.googlecode.iterm2", "name": "iTerm2", "path": "/Applications/iTerm.app",
     "launchDelay": 0.3, "firstWindowDelay": 0.7, "reopenDelay": 0.4,
     "windowTitle": "Default", "windowFrame": [240, 160, 800, 560]},
    {"bundleID": "com.example.Notes", "name": "Notes", "path": "/Applications/Notes.app",
     "launchDelay": 0.1, "firstWindowDelay": 0.5, "reopenDelay": 0.3,
     "windowTitle": "Untitled", "windowFrame": [400, 200, 700, 500]},
    {"bundleID": "com.apple.exposelauncher", "name": "Mission Control",
     "path": "/System/Applications/Mission Control.app", "policy": "prohibited",
     "launchDelay": 0.1, "firstWindowDelay": null, "reopenDelay": null}
  ],
  "processes": [
    {"pid": 301, "bundleID": "com.apple.finder",
     "windows": [
       {"title": "Documents", "position": [60, 80], "size": [920, 560], "minimumSize": [316, 288],
        "children": [
          {"role": "AXSplitGroup", "position": [60, 132], "size": [920, 508], "children": [
            {"role": "AXScrollArea", "position": [60, 132], "size": [180, 508]},
            {"role": "AXScrollArea", "position": [241, 132], "size": [739, 508]}
          ]}
        ]}
     ]},
    {"pid": 412, "bundleID": "com.apple.Terminal",
     "windows": [
       {"title": "user — -zsh — 80×24", "position": [200, 660], "size": [568, 366],
        "minimumSize": [260, 212], "sizeRule": {"cell": [7, 14], "padding": [8, 30]}},
       {"title": "user — top — 120×40", "position": [1000, 420], "size": [848, 590],
        "minimumSize": [260, 212], "sizeRule": {"cell": [7, 14], "padding": [8, 30]}}
     ]},
    {"pid": 523, "bundleID": "com.google.Chrome", "manualAccessibility": false,
     "windows": [
       {"title": "Inbox - Gmail", "position": [1960, 60], "size": [1400, 1000]},
       {"title": "localhost:3000", "position": [640, 140], "size": [1180, 820]}
     ]},
    {"pid": 634, "bundleID": "com.mitchellh.ghostty",
     "windows": [
       {"title": "~/src", "position": [3400, 60], "size": [1000, 700],
        "children": [
          {"role": "AXScrollArea", "position": [3400, 88], "size": [499, 672]},
          {"role": "AXScrollArea", "position": [3901, 88], "size": [499, 672]}
        ]}
     ]},
    {"pid": 745, "bundleID": "com.example.Notes",
     "windows": [
       {"title": "Shopping list", "position": [1100, 100], "size": [700, 500]},
       {"title": "Old notes", "position": [420, 220], "size": [700, 500], "minimized": true}
     ]}
  ],
  "frontmost": 412
})json");
}

}  // namespace kestr
