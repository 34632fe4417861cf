// Where every item of a kest goes on the live displays: which live display stands in
// for each display the kest was saved on, the region of the saved display its frames
// are read against and the region of the live display they are laid into, and each
// frame scaled, grown to its window's minimum size and re-flowed to fit. Works from one
// snapshot of the displays (and of the windows' minimum sizes) and touches nothing else.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Core/LayoutItem.h"
#include "Core/ScreenFrame.h"
#include "Layout/ColumnReflow.h"
#include "Layout/DisplaySnapshot.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Displays.h"
#include "Platform/Geometry.h"

namespace kestr {

class PlacementPlanner {
public:
    PlacementPlanner() = delete;

    using FrameSource = LayoutApplier::FrameSource;
    using Placements = LayoutApplier::Placements;
    using KnownMinimums = ColumnReflow::KnownMinimums;

    // Saved display UUID string -> the rectangle (in that display's local coordinates)
    // against which its frames are read.
    static std::map<std::string, Rect> computeSourceRegions(const std::vector<LayoutItem>& items,
                                                            FrameSource frameSource, const DisplaySnapshot& displays);

    // Placements of every item with a usable frame, keyed by item identifier; only
    // `report.fellBackToMainDisplay` is changed, by one per item sent to the main
    // display because its saved display is gone.
    static Placements computeTargetFrames(const std::vector<LayoutItem>& items, FrameSource frameSource,
                                          const std::map<std::string, Rect>& sourceRegions,
                                          std::optional<DisplayID> anchorDisplay, const DisplaySnapshot& displays,
                                          LayoutApplier::ApplyReport& report, const KnownMinimums& minimums = {});

    // Why an item of a usable size gets no placement: its frame lies beyond the limits
    // of a frame read from a file, or overflowed to a value no window can take. None
    // for every other item.
    static std::optional<std::string> unplacedReason(const LayoutItem& item, FrameSource frameSource,
                                                     const Placements& placements);

    // Saved display UUID string -> the live display standing in for it; empty without
    // an anchor display.
    static std::map<std::string, DisplayID> displayMapping(const std::vector<LayoutItem>& items,
                                                           FrameSource frameSource,
                                                           std::optional<DisplayID> anchorDisplay,
                                                           const DisplaySnapshot& displays);

private:
    // The per-item result of display resolution.
    struct Resolved {
        LayoutItem item;
        ScreenFrame f;
        std::string savedUUID;
        std::optional<DisplayID> savedID;
        std::optional<DisplayID> mappedID;
        DisplayID targetID = 0;
        std::string targetUUID;
    };
    struct SubRegionEntry {
        DisplayID targetID = 0;
        std::string savedUUID;
        double originX = 0;
    };

    // For each saved display (sorted left to right), a position among the live displays.
    static std::vector<int> targetIndices(int sourceCount, int targetCount, int anchorIndex);
    // One Resolved per item with a usable frame, in item order; every item sent to the
    // main display adds one to `fellBackToMainDisplay`.
    static std::vector<Resolved> resolveDisplays(const std::vector<LayoutItem>& items, FrameSource frameSource,
                                                 const std::map<std::string, DisplayID>& mapping,
                                                 const DisplaySnapshot& displays, int& fellBackToMainDisplay);
    // Saved display UUID string -> its region on its target display: the whole visible
    // area, or an equal strip of it when several saved displays share that display.
    static std::map<std::string, Rect> targetSubRegions(const std::vector<SubRegionEntry>& entries,
                                                        const DisplaySnapshot& displays);
    // `count` strips of equal width, side by side from the left, each of full height.
    static std::vector<Rect> horizontalSlices(const Rect& rect, int count);
};

}  // namespace kestr
