// The driver's first use, which the line family's functions make sure of.
#pragma once

namespace linkor {

/// The first use of the driver: file paths, and the optional auxiliary driver.
void ensureSetUp();

} // namespace linkor
