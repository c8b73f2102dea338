#pragma once

#include <QByteArray>

#include <atomic>

namespace qm {

enum class IndexCheck {
    Fine,       // the index was read within the limits (whether or not it made sense)
    Oversized,  // reading it took more memory or time than the limits allow
    Cancelled,  // the user stopped it
    Failed,     // no child process could be started: nothing is known
};

// Reads the index of a 7z archive in a child process and watches it: a few hundred bytes of a
// hostile one can declare a billion entries, and the archive library would fill gigabytes and
// spend minutes on them in one call that nothing can interrupt. The child is stopped as soon as
// its memory grows by more than memoryBytes, after seconds, or when *cancel is set. Other kinds
// of archive, which are read an entry at a time, are Fine without a look.
IndexCheck checkIndexApart(const QByteArray& archive, qint64 memoryBytes, int seconds,
                           const std::atomic<bool>* cancel);

}  // namespace qm
