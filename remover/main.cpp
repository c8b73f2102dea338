// qmornclean: removes the preferences Quillmorn keeps for the user.

#include <QApplication>

#include "remover/appearance.h"
#include "remover/portablefolder.h"
#include "remover/removerlanguage.h"
#include "remover/removerwindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qmornclean"));
    qmclean::installRemoverTranslations();
    qmclean::PortableFolder::apply(QApplication::arguments().mid(1),
                                   QApplication::applicationDirPath());
    qmclean::useProgramLook();
    qmclean::RemoverWindow window;
    window.show();
    return QApplication::exec();
}
