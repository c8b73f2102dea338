#include "folders/folderswindows.h"

#include "app/windowregistry.h"
#include "folders/movewindow.h"

namespace qm {

void registerFoldersWindows() {
    WindowRegistry::instance().setFactory(WindowKind::Move, [] { return new MoveWindow(); });
}

}  // namespace qm
