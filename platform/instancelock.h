#pragma once

#include <QLockFile>
#include <QString>

namespace qm {

// One running copy of the program per user: a lock file in the user's runtime folder. A lock
// left by a crashed run is taken over.
class InstanceLock {
public:
    InstanceLock();
    // True when this process now holds the lock; false when another running instance holds it.
    bool tryLock();
    static QString lockPath();

private:
    QLockFile m_lock;
};

}  // namespace qm
