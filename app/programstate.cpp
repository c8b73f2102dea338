#include "app/programstate.h"

namespace qm {

ProgramState& state() {
    static ProgramState s;
    return s;
}

}  // namespace qm
