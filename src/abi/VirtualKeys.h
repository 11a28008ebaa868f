#pragma once

#include <QtGlobal>
#include <qnamespace.h>

class QKeyEvent;

// Virtual-key codes and the Shift/Ctrl/Alt mask used throughout the program.
namespace VK {
constexpr int LButton = 0x01;
constexpr int RButton = 0x02;
constexpr int Cancel = 0x03;
constexpr int MButton = 0x04;
constexpr int Back = 0x08;
constexpr int Tab = 0x09;
constexpr int Return = 0x0D;
constexpr int Shift = 0x10;
constexpr int Control = 0x11;
constexpr int Menu = 0x12; // Alt
constexpr int Pause = 0x13;
constexpr int Capital = 0x14;
constexpr int Escape = 0x1B;
constexpr int Space = 0x20;
constexpr int Prior = 0x21; // Page Up
constexpr int Next = 0x22;  // Page Down
constexpr int End = 0x23;
constexpr int Home = 0x24;
constexpr int Left = 0x25;
constexpr int Up = 0x26;
constexpr int Right = 0x27;
constexpr int Down = 0x28;
constexpr int Insert = 0x2D;
constexpr int Delete = 0x2E;
constexpr int Key0 = 0x30; // '0'..'9' are 0x30..0x39
constexpr int KeyA = 0x41; // 'A'..'Z' are 0x41..0x5A
constexpr int Numpad0 = 0x60;
constexpr int Multiply = 0x6A;
constexpr int Add = 0x6B;
constexpr int Subtract = 0x6D;
constexpr int Decimal = 0x6E;
constexpr int Divide = 0x6F;
constexpr int F1 = 0x70; // F1..F24 are 0x70..0x87
constexpr int NumLock = 0x90;
constexpr int Scroll = 0x91;
constexpr int Oem1 = 0xBA;      // ;
constexpr int OemPlus = 0xBB;   // =
constexpr int OemComma = 0xBC;  // ,
constexpr int OemMinus = 0xBD;  // -
constexpr int OemPeriod = 0xBE; // .
constexpr int Oem2 = 0xBF;      // /
constexpr int Oem3 = 0xC0;      // `
constexpr int Oem4 = 0xDB;      // [
constexpr int Oem5 = 0xDC;      // backslash
constexpr int Oem6 = 0xDD;      // ]
constexpr int Oem7 = 0xDE;      // '
} // namespace VK

// Shift = 1, Ctrl = 2, Alt = 4.
namespace ShiftMask {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
} // namespace ShiftMask

namespace VirtualKeys {
// The virtual-key code of a Qt key (0 when it has none).
int fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The Qt key of a virtual-key code (0 when it has none).
int toQtKey(int virtualKey);
int fromEvent(const QKeyEvent *event);
int shiftMask(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers modifiersFromMask(int mask);
} // namespace VirtualKeys
