#pragma once
#include <QBasicTimer>
#include <QWidget>

// The splash window: the money picture, the fund's title and the local's label. It closes
// after 60 seconds, on any click, or when the frame asks it to.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    SplashScreen(const QString &title, const QString &label, QWidget *parent = nullptr);
    static constexpr int TimerHundredths = 6000;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QBasicTimer m_timer;
};

// The program's "MONEY.ICO" picture, drawn rather than shipped.
class QIcon;
QIcon moneyIcon();
