#pragma once

#include <QObject>
#include <QSet>

// Answers "is this key down now?" for virtual-key codes, from the key and mouse
// events the application has seen (installed as an application-wide filter).
class KeyState : public QObject
{
    Q_OBJECT
public:
    // Installs the tracker on the running application (once).
    static KeyState &instance();
    bool isKeyDown(int virtualKey) const;
    // Forgets every key held, as after the application lost the keyboard.
    void reset();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit KeyState(QObject *parent);
    QSet<int> m_keysDown;
    Qt::MouseButtons m_buttons;
};
