#pragma once
// The format patterns of the slider's read-out and scale labels: "0" a
// required digit, "#" an optional digit, "." the decimal point, "," digit
// grouping, ";" between the positive, negative and zero sections. Other
// characters (or text in quotes) before or after the digits are copied.
// The last shown digit is rounded half away from zero, on the shortest
// decimal form of the number, so 0.15f shows as "0.2" with "0.0".

#include <QString>

QString FormatFloat(const QString& pattern, double value);
QString FormatFloat(const QString& pattern, float value);

// The text that stands for the widest read-out: the longer of the sections
// around the first ";" (the later one on a tie), or the whole pattern.
QString SampleTextOf(const QString& pattern);
