#pragma once
// Fixed-width text fields are compared and shown without their trailing blanks.
#include <QString>

inline QString clip(const QString &s) {
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' ')) --n;
    return s.left(n);
}
