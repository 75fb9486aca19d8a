#pragma once

namespace quindorel {

// The one place that names where users send error reports.
inline constexpr const char* kSupportAddress = "support@quindorel.invalid";

}  // namespace quindorel
