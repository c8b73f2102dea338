#include "catalogue/registrationreport.h"

#include <QCoreApplication>

#include "platform/prompt.h"

namespace qm {

// The messages belong to the catalogue window, which shows them.
void reportRegistration(const RegistrationSession& session, RegistrationSession::Outcome outcome,
                        bool sayNothingAdded) {
    switch (outcome) {
        case RegistrationSession::Outcome::Finished:
            if (session.leftUnregistered().isEmpty()) {
                messageBox(
                    QCoreApplication::translate("qm::CatalogueWindow", "全て登録されました。"));
            } else {
                // Never a success while rows stay unregistered: say how many, and which.
                messageBox(QCoreApplication::translate("qm::CatalogueWindow",
                                                       "%1 件が未設定のままです：\n")
                                   .arg(session.leftUnregistered().size()) +
                               session.leftUnregistered().join(u'\n'),
                           MsgExclamation);
            }
            break;
        case RegistrationSession::Outcome::NothingOffered:
            if (sayNothingAdded) {
                messageBox(
                    QCoreApplication::translate("qm::CatalogueWindow", "追加はありませんでした。"));
            }
            break;
        case RegistrationSession::Outcome::Cancelled:
        case RegistrationSession::Outcome::Gone:
            break;
    }
}

}  // namespace qm
