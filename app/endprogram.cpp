#include "app/endprogram.h"

#include <QCoreApplication>

#include "app/windowregistry.h"

namespace qm {
namespace {

bool g_ended = false;
std::function<void()> g_handler;

}  // namespace

void endProgram() {
    if (g_ended) {
        return;
    }
    g_ended = true;
    if (g_handler) {
        g_handler();
        return;
    }
    WindowRegistry::instance().destroyAll();
    QCoreApplication::exit(0);
}

bool programEnded() {
    return g_ended;
}

void setEndProgramHandler(std::function<void()> handler) {
    g_handler = std::move(handler);
    g_ended = false;
}

}  // namespace qm
