// The start-up's tidying of the stored kests for the displays of the moment: items that
// stand for the Finder desktop dropped, frames clipped to the visible areas, edges that
// nearly meet snapped together and the shared edges detected again. For this session
// only: the store keeps writing each kest as it was stored until the user changes it.
#pragma once

#include "Core/LayoutStore.h"

namespace kestr {

struct KestNormaliser {
    KestNormaliser() = delete;

    // `mainTopKept`: the strip along the main display's top edge that kestr's own status
    // button keeps clear once it shows (0: none); frames are clipped below it already.
    static void normalise(LayoutStore& store, double mainTopKept = 0);
};

}  // namespace kestr
