#pragma once
// The seat of a program that runs with nobody at it (test helpers, benchmarks): every message
// gets its default button, a question with buttons of its own the answer given here, and the
// file pickers nothing. Messages are echoed on stderr when asked, for the test's failure output.
#include "platform/dialogs.h"

#include <cstdio>

class Unattended : public Dialogs {
public:
    explicit Unattended(bool echo = true, int customAnswer = 2) : m_echo(echo), m_custom(customAnswer) {}
    int show(const Message &m) override {
        if (m_echo) std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(m.text));
        return m.custom.isEmpty() ? m.defaultButton : m_custom;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }

private:
    bool m_echo;
    int m_custom;
};
