// The plug-in devmode's fields as readable text, for the demo host's report after OK.
// Portable: it only reads the record.
#pragma once

#include "core/records.h"

#include <string>

namespace cvhost {

// Several lines, each ending in '\n', UTF-8.
std::string DescribePluginDevmode(const cv::PluginDevmode& dm);

} // namespace cvhost
