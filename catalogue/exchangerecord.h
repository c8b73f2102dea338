#pragma once

#include "catalogue/listfile.h"

namespace qm {

// Fills the exchange record of the program state from an entry, and reads an entry back from it.
void fillExchangeRecord(const CatalogueEntry& entry);
CatalogueEntry entryFromExchangeRecord();

}  // namespace qm
