#include "catalogue/registrationsession.h"

#include <numeric>

#include "app/busycursor.h"
#include "app/programstate.h"
#include "catalogue/cataloguemodel.h"
#include "catalogue/exchangerecord.h"

namespace qm {
namespace {

constexpr qint16 kResultCancelled = 1;
constexpr qint16 kResultNext = 2;
constexpr qint16 kResultPrevious = 3;
constexpr qint16 kUnregistered = 2;

}  // namespace

RegistrationSession::RegistrationSession(CatalogueModel& model, Hooks hooks)
    : m_model(model), m_hooks(std::move(hooks)) {}

std::optional<qint16> RegistrationSession::offer(int row) {
    fillExchangeRecord(m_model.entry(row));
    EventPump::runPending();
    state().editResult = 0;
    if (!m_hooks.showDialog()) {
        return std::nullopt;
    }
    return state().editResult;
}

QList<int> RegistrationSession::shownOrder() const {
    if (m_hooks.shownOrder) {
        return m_hooks.shownOrder();
    }
    QList<int> rows(m_model.rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

RegistrationSession::Outcome RegistrationSession::registerUnregistered() {
    bool any = false;
    // Rows are removed only by the user's own actions, never while the dialog is shown.
    for (const int row : shownOrder()) {
        if (row >= m_model.rowCount() || m_model.entry(row).state != kUnregistered) {
            continue;
        }
        any = true;
        m_hooks.markChanged();
        const std::optional<qint16> result = offer(row);
        if (!result) {
            return Outcome::Gone;
        }
        if (*result == kResultCancelled) {
            return Outcome::Cancelled;
        }
        if (row < m_model.rowCount()) {
            const CatalogueEntry saved = entryFromExchangeRecord();
            m_model.setEntry(row, saved);
            if (saved.state == kUnregistered) {
                m_leftUnregistered.append(saved.name);
            }
        }
    }
    if (any) {
        m_hooks.markChanged();
        return Outcome::Finished;
    }
    return Outcome::NothingOffered;
}

RegistrationSession::Outcome RegistrationSession::edit(int row) {
    m_hooks.markChanged();
    while (row >= 0 && row < m_model.rowCount()) {
        const std::optional<qint16> result = offer(row);
        if (!result) {
            return Outcome::Gone;
        }
        if (*result == kResultCancelled) {
            return Outcome::Cancelled;
        }
        if (row >= m_model.rowCount()) {
            break;
        }
        m_model.setEntry(row, entryFromExchangeRecord());
        const QList<int> order = shownOrder();
        const qsizetype at = order.indexOf(row);
        qsizetype next = -1;
        if (at >= 0 && *result == kResultNext) {
            next = at + 1;
        } else if (at >= 0 && *result == kResultPrevious) {
            next = at - 1;
        }
        if (next < 0 || next >= order.size() || order[next] >= m_model.rowCount()) {
            break;
        }
        row = order[next];
        m_hooks.select(row);
    }
    return Outcome::Finished;
}

}  // namespace qm
