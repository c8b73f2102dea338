#include "platform/programtext.h"

#include "platform/appimage.h"
#include "platform/desktopfile.h"
#include "platform/peicon.h"
#include "platform/programkind.h"

namespace qm {

OfferedProgramText offeredProgramText(const QString& path, const QString& language) {
    OfferedProgramText offer;
    const ProgramKind kind = programKind(path);
    if (kind == ProgramKind::AppImage) {
        const ProgramDescription described =
            describedProgram(desktopEntryValues(readAppImage(path).desktopEntry), language);
        offer.name = described.name;
        offer.description = described.comment;
        offer.source = OfferedProgramText::Source::AppImage;
    } else if (kind == ProgramKind::Windows) {
        const PeVersionText version = peVersionTextFromFile(path, language);
        offer.name = version.product.isEmpty() ? version.description : version.product;
        offer.description = version.description != offer.name ? version.description : QString();
        offer.source = OfferedProgramText::Source::VersionResource;
    }
    // Texts on one line, as the fields hold them.
    for (QString* text : {&offer.name, &offer.description}) {
        *text = text->simplified();
    }
    if (offer.name.isEmpty() && offer.description.isEmpty()) {
        offer.source = OfferedProgramText::Source::None;
    }
    return offer;
}

}  // namespace qm
