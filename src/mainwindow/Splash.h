#pragma once

#include <QDateTime>
#include <QDialog>
#include <functional>

class QLabel;
class QTimer;

// The splash window: a favourite verse, the version and contact lines and the
// product title drifting about the window while it swells and shrinks. It closes
// itself after ten seconds, or on Enter or Esc.
class Splash : public QDialog
{
    Q_OBJECT

public:
    Splash();

    // Opens the default instance modally. Callers (and tests) may replace how.
    static void ShowModal();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);
    // The source of random numbers in [0, 1) for the next windows; returns the
    // previous one. An empty function restores the default generator.
    static std::function<double()> setRandomSource(std::function<double()> random);

    static constexpr int LifetimeMilliseconds = 10000;
    static constexpr double TitleStep = 70; // twips a tick
    static constexpr float MaxTitleSize = 30;
    static constexpr float MinTitleSize = 2;

    void Timer1_Timer();
    // Enter (13) or Esc (27) closes the window.
    void Form_KeyPress(int keyAscii);

    // The title's motion: position and steps in twips, font size in points.
    double titleX() const { return m_x; }
    double titleY() const { return m_y; }
    double titleStepX() const { return m_dx; }
    double titleStepY() const { return m_dy; }
    float titleSize() const { return m_fontSize; }
    float titleSizeStep() const { return m_sizeStep; }
    // The inner size of the window in twips.
    double innerWidthTwips() const;
    double innerHeightTwips() const;

    QLabel *lblScripture = nullptr;
    QLabel *lblName = nullptr;
    QLabel *lblVerbanox = nullptr;
    QLabel *Image1 = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    void loadVerse();
    void layOut();
    void startTitle();
    void moveTitle();
    void setTitleSize(float points);

    double m_x = 0;
    double m_y = 0;
    double m_dx = TitleStep;
    double m_dy = TitleStep;
    float m_fontSize = 1;
    float m_sizeStep = 0.5F;
    QDateTime m_openedAt;
};
