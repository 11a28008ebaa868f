#pragma once

#include <QIcon>
#include <QList>

class QAbstractButton;
class QTimer;

// The Search button's turning picture: one eighth of a turn per tick of the
// window's timer, quickly for the first cycles after the window opens, then
// (the timer slowed down) one step a second. The frames are drawn once.
class SearchButtonAnimation
{
public:
    static constexpr int Frames = 8;
    static constexpr int FastCycles = 8;
    static constexpr int FastMilliseconds = 100;
    static constexpr int SlowMilliseconds = 1000;

    SearchButtonAnimation(QAbstractButton *button, QTimer *timer);

    // The next frame.
    void Step();

private:
    void DrawFrames();

    QAbstractButton *m_button;
    QTimer *m_timer;
    QList<QIcon> m_frames;
    int m_frame = 0;
    int m_cycles = 0;
};
