// The demo printer model (host/models/corvane-cv9200.ppd), embedded in the host library.
#pragma once

namespace cvhost {

extern const char kDemoPpd[];
extern const char kDemoPpdFileName[];

} // namespace cvhost
