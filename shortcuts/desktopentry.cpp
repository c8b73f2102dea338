#include "shortcuts/desktopentry.h"

#include "platform/launcher.h"
#include "platform/pathbytes.h"
#include "shortcuts/shortcutwriter.h"

namespace qm {
namespace {

// Characters an Exec word may hold without quotes.
bool isPlainExecChar(QChar c) {
    if (c.unicode() >= 0x80) {
        return false;
    }
    const char ascii = static_cast<char>(c.unicode());
    return (ascii >= 'a' && ascii <= 'z') || (ascii >= 'A' && ascii <= 'Z') ||
           (ascii >= '0' && ascii <= '9') || QByteArrayView("._/+,:@=-").contains(ascii);
}

// Line breaks and tabs are escaped; every other control character cannot be carried.
void checkCarriable(const QString& value, const char* what) {
    for (const QChar c : value) {
        if (c.unicode() < 0x20 && c != u'\n' && c != u'\t' && c != u'\r') {
            throw ShortcutError(std::string("control character in the ") + what);
        }
    }
}

bool isWindowsProgram(const QString& target) {
    return target.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
}

}  // namespace

QStringList splitArguments(const QString& arguments) {
    if (arguments.isEmpty()) {
        return {};
    }
    return arguments.split(u' ');
}

QString escapeDesktopValue(const QString& value) {
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\') {
            escaped += QLatin1String("\\\\");
        } else if (c == u'\n') {
            escaped += QLatin1String("\\n");
        } else if (c == u'\t') {
            escaped += QLatin1String("\\t");
        } else if (c == u'\r') {
            escaped += QLatin1String("\\r");
        } else if (c == u' ' && escaped.isEmpty()) {
            // Readers drop blanks before a value.
            escaped += QLatin1String("\\s");
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QString quoteExecWord(const QString& word) {
    const bool plain = !word.isEmpty() && std::all_of(word.begin(), word.end(),
                                                      [](QChar c) { return isPlainExecChar(c); });
    if (plain) {
        return word;
    }
    QString quoted;
    quoted.reserve(word.size() + 8);
    quoted += u'"';
    for (const QChar c : word) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
            quoted += c;
        } else if (c == u'%') {
            quoted += QLatin1String("%%");
        } else {
            quoted += c;
        }
    }
    quoted += u'"';
    return quoted;
}

QByteArray desktopEntry(const QString& name, const QString& target, const QString& arguments,
                        const QString& workingDirectory, const ShortcutExtras& extras) {
    checkCarriable(name, "name");
    checkCarriable(extras.icon, "icon");
    checkCarriable(extras.startupWmClass, "window class");
    checkCarriable(target, "target");
    checkCarriable(arguments, "arguments");
    checkCarriable(workingDirectory, "working directory");

    Command command{target, splitArguments(arguments)};
    QString tryExec = target;
    QString folder = workingDirectory;
    if (isWindowsProgram(target)) {
        // A Windows program runs through wine; the menu hides the entry when wine is missing
        // (an ".exe" rarely carries the execute bit a menu would look for).
        command = {QStringLiteral("wine"), QStringList{target} + command.arguments};
        tryExec = command.program;
    }
    if (holdsRawBytes(target) || holdsRawBytes(arguments) || holdsRawBytes(workingDirectory)) {
        // A Desktop Entry is UTF-8 text and cannot hold a name that is not: a short shell script
        // rebuilds such names byte for byte and changes to the folder itself.
        command = startableCommand(command, &folder);
        tryExec = command.program;
    } else if (target.contains(u'%') && !isWindowsProgram(target)) {
        // Readers look the first word up before they expand "%%", and would not find the
        // program: a shell in front starts it with its words as they are.
        command = {QStringLiteral("sh"),
                   QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\""), target} +
                       command.arguments};
    }
    const QStringList words = QStringList{command.program} + command.arguments;
    QString exec;
    for (const QString& word : std::as_const(words)) {
        if (!exec.isEmpty()) {
            exec += u' ';
        }
        exec += quoteExecWord(word);
    }

    QString text = QStringLiteral("[Desktop Entry]\nType=Application\n");
    text += QLatin1String("Name=") + escapeDesktopValue(readableName(name)) + u'\n';
    text += QLatin1String("Exec=") + escapeDesktopValue(exec) + u'\n';
    if (!folder.isEmpty()) {
        text += QLatin1String("Path=") + escapeDesktopValue(folder) + u'\n';
    }
    text += QLatin1String("TryExec=") + escapeDesktopValue(tryExec) + u'\n';
    if (!extras.icon.isEmpty()) {
        text += QLatin1String("Icon=") + escapeDesktopValue(extras.icon) + u'\n';
    }
    if (!extras.startupWmClass.isEmpty()) {
        // The panel groups the program's windows under the entry.
        text +=
            QLatin1String("StartupWMClass=") + escapeDesktopValue(extras.startupWmClass) + u'\n';
    }
    return text.toUtf8();
}

}  // namespace qm
