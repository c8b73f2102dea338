#include "platform/desktopfile.h"

namespace qm {
namespace {

QString unescaped(const QString& value) {
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's') {
            text += u' ';
        } else if (next == u'n') {
            text += u'\n';
        } else if (next == u't') {
            text += u'\t';
        } else if (next == u'r') {
            text += u'\r';
        } else {
            text += next;
        }
    }
    return text;
}

QString localised(const QHash<QString, QString>& values, const QString& key,
                  const QString& language) {
    if (!language.isEmpty()) {
        const QString own = values.value(key + u'[' + language + u']');
        if (!own.isEmpty()) {
            return own;
        }
    }
    return values.value(key);
}

}  // namespace

QHash<QString, QString> desktopEntryValues(const QByteArray& bytes) {
    QHash<QString, QString> values;
    bool inEntry = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inEntry || line.startsWith('#') || equals <= 0) {
            continue;
        }
        const QString key = QString::fromUtf8(line.left(equals).trimmed());
        if (!values.contains(key)) {
            values.insert(key, unescaped(QString::fromUtf8(line.mid(equals + 1).trimmed())));
        }
    }
    return values;
}

ProgramDescription describedProgram(const QHash<QString, QString>& values,
                                    const QString& language) {
    ProgramDescription description;
    description.name = localised(values, QStringLiteral("Name"), language);
    description.comment = localised(values, QStringLiteral("Comment"), language);
    description.categories = values.value(QStringLiteral("Categories"));
    description.startupWmClass = values.value(QStringLiteral("StartupWMClass"));
    description.icon = values.value(QStringLiteral("Icon"));
    return description;
}

}  // namespace qm
