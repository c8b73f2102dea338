#include "catalogue/catalogueloader.h"

#include <QHash>

#include "app/busycursor.h"
#include "app/helpers.h"
#include "app/workingfolder.h"
#include "catalogue/cataloguemodel.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "platform/paths.h"
#include "platform/programicon.h"
#include "platform/textfile.h"

namespace qm {
namespace {

constexpr int kSmallIconSize = 16;

// The file holds only 0, 1 and 2; a larger number is a registered entry, and a negative one
// keeps the row's state rather than giving it an icon number that does not exist.
qint16 mergedState(qint16 state) {
    if (state > 2) {
        return 1;
    }
    return state < 0 ? qint16(-1) : state;
}

bool isRegistered(qint16 state) {
    return state == 1 || state >= 3;
}

}  // namespace

bool programFileExists(const QString& exe) {
    return !programFileOnDisk(exe).isEmpty();
}

QString programFileOnDisk(const QString& exe) {
    if (!isAbsolutePath(exe)) {
        return QString();
    }
    // The exact name first, by its bytes, so that a name that is not text is found too.
    if (!lastPathPart(exe).startsWith(u'.') && fileSystem().status(exe).isFile()) {
        return exe;
    }
    if (!fileExists(exe)) {
        return QString();
    }
    const QString found = findFileNoCase(exe);
    return found.isEmpty() ? exe : found;
}

void scanWorkingFolder(CatalogueModel& model, const QString& workFolder, EventPump& pump) {
    model.clear();
    const QStringList names = subFolderNames(workFolder);
    QList<CatalogueEntry> rows;
    rows.reserve(names.size());
    for (const QString& name : names) {
        CatalogueEntry entry;
        entry.state = 2;
        // A name that is not text shows as read in CP932; the folder keeps the exact name.
        entry.name = readableName(name);
        entry.folder = name;
        entry.category = QString::fromUtf16(kNotSet);
        entry.exe = QString::fromUtf16(kUnknownExe);
        entry.description = QString::fromUtf16(kNotSet);
        rows.append(std::move(entry));
        pump.pump();
    }
    model.addRows(rows);
}

MergeResult mergeListFile(CatalogueModel& model, const QString& workFolder, const QString& listFile,
                          EventPump& pump) {
    MergeResult result;
    QString text;
    bool damaged = false;
    if (!readListText(listFile, &text, &damaged)) {
        return result;
    }
    result.misread = damaged;
    const CatalogueModel::ChangeBatch batch(model);
    ListFileReader reader(text);
    while (!reader.atEnd()) {
        const std::optional<CatalogueEntry> record = reader.next();
        if (!record) {
            break;
        }
        if (!reader.stateWasNumber()) {
            result.misread = true;
        }
        addCategory(record->category);
        const int row = model.findRowByFolder(record->folder);
        if (row >= 0) {
            // The row keeps the folder's spelling on disk.
            model.updateRowByFolder(model.entry(row).folder, mergedState(record->state),
                                    record->name, QString(), record->category, record->exe,
                                    record->description);
        } else if (!folderExists(joinPath(workFolder, record->folder))) {
            result.dropped = true;
            result.missingFolders.append(record->folder);
            // A name that is a listed folder while the folder text is none: the fields shifted.
            if (model.findRowByFolder(record->name) >= 0) {
                result.misread = true;
            }
        } else {
            result.unlisted.append(*record);
        }
        pump.pump();
    }
    if (reader.stoppedEarly()) {
        result.misread = true;
    }
    return result;
}

void RowIcons::load(int row) {
    if (row < 0 || row >= m_model.rowCount()) {
        return;
    }
    const CatalogueEntry& entry = m_model.entry(row);
    const QString onDisk = isRegistered(entry.state) ? programFileOnDisk(entry.exe) : QString();
    if (onDisk.isEmpty()) {
        return;
    }
    auto found = m_imageOfExe.constFind(entry.exe);
    int number = 0;
    if (found != m_imageOfExe.constEnd()) {
        number = *found;
    } else {
        const QPixmap icon = programIcon(onDisk, kSmallIconSize);
        number = icon.isNull() ? 0 : m_model.addImage(icon);
        m_imageOfExe.insert(entry.exe, number);
    }
    if (number > 0) {
        m_model.setState(row, static_cast<qint16>(number));
    }
}

std::vector<int> rowsInOrder(int rowCount, const std::vector<int>& first) {
    std::vector<int> order;
    order.reserve(rowCount);
    std::vector<bool> queued(rowCount, false);
    for (const int row : first) {
        if (row >= 0 && row < rowCount && !queued[row]) {
            queued[row] = true;
            order.push_back(row);
        }
    }
    for (int row = 0; row < rowCount; ++row) {
        if (!queued[row]) {
            order.push_back(row);
        }
    }
    return order;
}

void refreshIcons(CatalogueModel& model, const std::vector<int>& first, EventPump& pump) {
    // Many rows may name missing files in one big folder: each folder is listed once.
    const FileLookupCache lookups;
    RowIcons icons(model);
    for (const int row : rowsInOrder(model.rowCount(), first)) {
        icons.load(row);
        pump.pump();
    }
}

}  // namespace qm
