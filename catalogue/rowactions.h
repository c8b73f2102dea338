#pragma once

#include <functional>

class QAbstractItemView;

namespace qm {

// The operations on the selected row, as the list offers them from the keyboard and in its
// context menu.
struct RowHandlers {
    std::function<void()> launch;  // Enter
    std::function<void()> open;
    std::function<void()> move;
    std::function<void()> remove;  // Delete
    std::function<void()> edit;    // F2
};

// Gives the list its keys and its context menu; the keys act only while the list has the focus,
// so that typing a name in place keeps Enter and Delete for the text.
void addRowActions(QAbstractItemView* list, const RowHandlers& handlers);

}  // namespace qm
