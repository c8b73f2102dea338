#pragma once

#include <QString>

class QWidget;

namespace qm {

// Extraction of LZH and ZIP archives through the archiver functions. Each checks that the
// archive is there, builds the command line, runs the archiver for window and reports a failure
// in a message box of its own. Result: 0 extracted, 1 failed.

// "e -x1m0 <archive> <folder>/ " for command "e" and switches "-x1m0"; paths quoted by
// quoteIfNeeded.
QString lzhCommandLine(const QString& archive, const QString& folder, const QString& command,
                       const QString& switches);
QString zipCommandLine(const QString& archive, const QString& folder, const QString& options);

// The archive is found whatever its attributes (a hidden one too).
qint32 lzhMelt(QWidget* window, const QString& archive, const QString& folder,
               const QString& command, const QString& switches);
// The archive must be a plain, visible file.
qint32 zipMelt(QWidget* window, const QString& archive, const QString& folder,
               const QString& options);

}  // namespace qm
