#pragma once
// Cursor numbers of the application's cursor table, shared by the slider
// and the button units.

inline constexpr int crDefault = 0;
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
inline constexpr int crSkHand = 5; // the slider library's hand cursor, registered at start-up
