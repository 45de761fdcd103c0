#include "splash.h"

#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace {
QPixmap moneyPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2e, 0x7d, 0x32));
    p.setPen(QPen(QColor(0x1b, 0x5e, 0x20), size / 16.0));
    p.drawEllipse(QRectF(size * 0.05, size * 0.05, size * 0.9, size * 0.9));
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(int(size * 0.62));
    p.setFont(f);
    p.setPen(QColor(0xff, 0xf1, 0x76));
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, "$");
    return pm;
}
} // namespace

QIcon moneyIcon() {
    QIcon icon;
    for (int s : {16, 32, 48, 64}) icon.addPixmap(moneyPixmap(s));
    return icon;
}

SplashScreen::SplashScreen(const QString &title, const QString &label, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("SPLASHSCREEN");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    auto *picture = new QLabel;
    picture->setPixmap(moneyPixmap(64));
    picture->setAlignment(Qt::AlignCenter);
    auto *titleLabel = new QLabel(title);
    titleLabel->setObjectName("title");
    QFont f = titleLabel->font();
    f.setPointSize(f.pointSize() + 10);
    f.setBold(true);
    titleLabel->setFont(f);
    titleLabel->setAlignment(Qt::AlignCenter);
    auto *localLabel = new QLabel(label);
    localLabel->setObjectName("local");
    QFont lf = localLabel->font();
    lf.setPointSize(lf.pointSize() + 4);
    localLabel->setFont(lf);
    localLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    layout->addWidget(titleLabel);
    layout->addWidget(localLabel);
    setStyleSheet("SplashScreen { background: #fffdf0; border: 2px solid #2e7d32; }");
    setAttribute(Qt::WA_StyledBackground);
    m_timer.start(TimerHundredths * 10, this);
}

void SplashScreen::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) close();
}

void SplashScreen::mouseDoubleClickEvent(QMouseEvent *) { close(); }

void SplashScreen::timerEvent(QTimerEvent *event) {
    if (event->timerId() == m_timer.timerId()) {
        m_timer.stop();
        close();
    }
}
