#pragma once

namespace zomi {

// The version the about box shows and the version notice compares against:
// four numbers separated by ".", of which the vendor counts only the last.
inline constexpr const char* kProgramVersion = "23.0.0.44";

}  // namespace zomi
