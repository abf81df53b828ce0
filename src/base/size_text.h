#pragma once
// Byte counts and speeds as a whole number and a unit ("15258M", "512KB").

#include <QString>

// Short ladder Byte, KB, M; moves on at 1024 and stops at M.
const char* adjust_unit(double* value);
// Long ladder Byte, KB, M, G, TB, PB; moves on at 10240.
const char* adjust_unit2(double* value);

QString getUnitAndValueString(double bytes);
QString getUnitAndValueString2(double bytes);
