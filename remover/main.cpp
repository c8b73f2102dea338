// qmornclean: removes the preferences Quillmorn keeps for the user.

#include <QApplication>

#include "remover/appearance.h"
#include "remover/removerwindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qmornclean"));
    qmclean::loadQtTranslation();
    qmclean::useProgramLook();
    qmclean::RemoverWindow window;
    window.show();
    return QApplication::exec();
}
