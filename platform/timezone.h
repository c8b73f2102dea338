#pragma once

namespace qm {

// With TZ unset, the C library looks at /etc/localtime again at every conversion of a local time:
// reading an archive of 100,000 entries cost 200,000 extra file look-ups, once per date. Naming
// the system's zone file in TZ keeps the same zone and reads it once. Call before any thread
// starts; a TZ the user set is left alone.
void readTimeZoneOnce();

}  // namespace qm
