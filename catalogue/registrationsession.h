#pragma once

#include <functional>

#include "catalogue/exchangerecord.h"
#include "catalogue/listfile.h"

namespace qm {

class CatalogueModel;

// Hands catalogue rows to the registration dialog one at a time through the exchange record:
// every unregistered row in turn, or the selected row with stepping to its neighbours.
class RegistrationSession {
public:
    struct Hooks {
        // Shows the registration dialog modally; false when the catalogue went away meanwhile.
        std::function<bool()> showDialog;
        // Marks the list as changed.
        std::function<void()> markChanged;
        // Selects a row of the list.
        std::function<void(int row)> select;
        // The rows in the order the list shows them; unset, the model's own order, every row.
        std::function<QList<int>()> shownOrder;
    };

    enum class Outcome {
        NothingOffered,  // no unregistered row
        Finished,        // every unregistered row was offered
        Cancelled,       // the dialog was cancelled
        Gone,            // the catalogue went away while the dialog was open
    };

    RegistrationSession(CatalogueModel& model, Hooks hooks);

    // Offers every unregistered row of the rows shown at the start, in the order shown, once.
    // Stops at the first Cancel; any other answer saves the row and goes on with the next one.
    Outcome registerUnregistered();

    // Edits a row; ">>>" and "<<<" save it and go on with the next or previous row shown, and
    // stop after the save at either end of the list.
    Outcome edit(int row);

    // The names of the rows registerUnregistered() offered that are still unregistered after it
    // (the user left them so, or chose no program).
    const QStringList& leftUnregistered() const { return m_leftUnregistered; }

private:
    // Shows the dialog for a row; the answer, or nothing when the catalogue went away.
    std::optional<qint16> offer(int row);
    QList<int> shownOrder() const;

    CatalogueModel& m_model;
    Hooks m_hooks;
    QStringList m_leftUnregistered;
};

}  // namespace qm
