#pragma once

#include <QByteArray>

#include <functional>

namespace qm {

// Runs work on a thread of its own whose current folder is folder, entered without following a
// link; the rest of the program keeps its current folder. Names relative to the current folder
// then resolve below folder, so a writer can be told to refuse every absolute name. False (and
// work not run) when the folder cannot be entered that way.
bool runInFolder(const QByteArray& folder, const std::function<void()>& work);

// True when name, relative to folder (itself entered without following a link), is a regular file
// reached without passing through a link: each folder on the way is a real folder and the file
// itself is no link. A name with an empty, "." or ".." part, or an absolute one, is refused.
bool isPlainFileBelow(const QByteArray& folder, const QByteArray& name);

// True when folder/name, resolved through every link on the way (a missing tail is taken as it
// is), ends inside folder or is folder itself.
bool leadsInside(const QByteArray& folder, const QByteArray& name);

// The bytes free for an unprivileged user on the file system that holds path; -1 when unknown.
qint64 freeBytesAt(const QByteArray& path);

}  // namespace qm
