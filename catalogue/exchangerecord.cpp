#include "catalogue/exchangerecord.h"

#include "app/programstate.h"

namespace qm {

void fillExchangeRecord(const CatalogueEntry& entry) {
    ProgramState& s = state();
    s.editState = entry.state;
    s.editName = entry.name;
    s.editFolder = entry.folder;
    s.editCategory = entry.category;
    s.editExe = entry.exe;
    s.editDescription = entry.description;
}

CatalogueEntry entryFromExchangeRecord() {
    const ProgramState& s = state();
    CatalogueEntry entry;
    entry.state = s.editState;
    entry.name = s.editName;
    entry.folder = s.editFolder;
    entry.category = s.editCategory;
    entry.exe = s.editExe;
    entry.description = s.editDescription;
    return entry;
}

}  // namespace qm
