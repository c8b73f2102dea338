#include "catalogue/splashwindow.h"

#include <QLabel>

namespace qm {

SplashWindow::SplashWindow() : Form(WindowKind::Splash) {
    setObjectName(QStringLiteral("Form6"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Quillmorn"));
    setClientSizeTwips(5400, 2400);
    setStyleSheet(
        QStringLiteral("qm--SplashWindow { background: #fdfaf2; border: 1px solid #8a7f6a; }"));

    auto* title = new QLabel(QStringLiteral("Quillmorn"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = title->font();
    titleFont.setPointSize(28);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    placeTwips(title, 240, 240, 4920, 900);

    auto* subtitle = new QLabel(tr("小規模ソフトウェアフォルダ簡易管理ソフト"), this);
    subtitle->setObjectName(QStringLiteral("Label2"));
    subtitle->setAlignment(Qt::AlignCenter);
    placeTwips(subtitle, 240, 1200, 4920, 360);

    m_status = new QLabel(tr("起動中です・・・　　　リストを作成中"), this);
    m_status->setObjectName(QStringLiteral("Label3"));
    m_status->setAlignment(Qt::AlignCenter);
    placeTwips(m_status, 240, 1740, 4920, 360);
}

void SplashWindow::showProgress(qint64 done) {
    m_status->setText(tr("起動中です・・・　　　リストを作成中") +
                      QStringLiteral("  %1").arg(done));
}

}  // namespace qm
