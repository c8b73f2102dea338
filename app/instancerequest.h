#pragma once

#include <QString>

namespace qm {

// Acts on the command line of a later start that the running program was handed: brings its
// window forward and opens what the command line asks for (an archive in the installer of the
// current working folder, "-l" or "-i" and a folder, a working folder) when the windows now open
// can be left; otherwise, or when a modal dialog is open, the window comes forward with the
// message that the program is running already. Relative paths are read against senderFolder.
void handleInstanceRequest(const QString& argumentText, const QString& senderFolder);

}  // namespace qm
