#pragma once

#include <QStandardPaths>
#include <QString>
#include <QTest>

// Skips the rest of a test when a checking tool (desktop-file-validate, lnkinfo, gio) is not on
// the PATH. Where CI is set, test.sh has installed every tool, so a missing one is a failure.
#define QM_SKIP_WITHOUT_TOOL(tool)                                                               \
    do {                                                                                         \
        const QString toolName_ = QStringLiteral(tool);                                          \
        if (QStandardPaths::findExecutable(toolName_).isEmpty()) {                               \
            if (qEnvironmentVariableIsSet("CI")) {                                               \
                QFAIL(qPrintable(toolName_ + QStringLiteral(" is missing although CI is set"))); \
            }                                                                                    \
            QSKIP(qPrintable(toolName_ + QStringLiteral(" is not installed")));                  \
        }                                                                                        \
    } while (false)
