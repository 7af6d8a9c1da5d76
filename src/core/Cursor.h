#pragma once
// Cursor numbers as the desk stores them (the application's cursor table).
// Plain numbers: the Qt cursor each one shows is the GUI layer's
// (base/Cursors.h).

inline constexpr int crDefault = 0;
inline constexpr int crNone = -1;
inline constexpr int crArrow = -2;
inline constexpr int crCross = -3;
inline constexpr int crIBeam = -4;
inline constexpr int crSizeNESW = -6;
inline constexpr int crSizeNS = -7;
inline constexpr int crSizeNWSE = -8;
inline constexpr int crSizeWE = -9;
inline constexpr int crUpArrow = -10;
inline constexpr int crHourGlass = -11;
inline constexpr int crNo = -18;
inline constexpr int crHandPoint = -21;
inline constexpr int crSizeAll = -22;
inline constexpr int crSkHand = 5; // the slider library's hand, registered at start-up
