#pragma once

namespace Lunovex {

// Columns of the harvest list: the title, then its sub-items.
enum HarvestColumn { HarvestTitle = 0, HarvestType, HarvestStatus, HarvestSaveFolder, HarvestMarker };

} // namespace Lunovex
