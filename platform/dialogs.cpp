#include "dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {
const std::pair<Dlg::Button, QMessageBox::StandardButton> kButtons[] = {
    {Dlg::Ok, QMessageBox::Ok},       {Dlg::Yes, QMessageBox::Yes},
    {Dlg::No, QMessageBox::No},       {Dlg::Cancel, QMessageBox::Cancel},
    {Dlg::Abort, QMessageBox::Abort}, {Dlg::Retry, QMessageBox::Retry},
    {Dlg::Ignore, QMessageBox::Ignore}};

QMessageBox::Icon qtIcon(Dlg::Icon icon) {
    switch (icon) {
    case Dlg::Information: return QMessageBox::Information;
    case Dlg::Warning:
    case Dlg::Exclamation: return QMessageBox::Warning;
    case Dlg::Question: return QMessageBox::Question;
    case Dlg::Error: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
    }
}
// Filters written the Windows way, "Text|*.TXT|All Files|*.*", become Qt's "Text (*.TXT);;...".
QString qtFilter(const QString &filter) {
    if (!filter.contains('|') || filter.contains(";;")) return filter;
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return out.join(";;");
}
} // namespace

int QtDialogs::show(const Message &m) {
    QMessageBox box(qtIcon(m.icon), m.caption, m.displayText(), QMessageBox::NoButton,
                    m_parent ? m_parent : QApplication::activeWindow());
    QList<QPushButton *> custom;
    if (!m.custom.isEmpty()) {
        for (int i = 0; i < m.custom.size(); ++i) {
            QPushButton *b = box.addButton(m.custom[i], QMessageBox::AcceptRole);
            custom << b;
            if (i + 1 == m.defaultButton) box.setDefaultButton(b);
        }
        box.exec();
        int index = custom.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
        return index >= 0 ? index + 1 : m.custom.size(); // closing the box counts as the last button
    }
    for (auto [ours, qt] : kButtons) {
        if (m.buttons & ours) {
            box.addButton(qt);
            if (m.defaultButton == ours) box.setDefaultButton(qt);
        }
    }
    int pressed = box.exec();
    for (auto [ours, qt] : kButtons)
        if (pressed == qt) return ours;
    return m.buttons & Dlg::Cancel ? Dlg::Cancel : (m.buttons & Dlg::No ? Dlg::No : Dlg::Ok);
}

QString QtDialogs::openFileName(const QString &caption, const QString &dir, const QString &filter) {
    return QFileDialog::getOpenFileName(m_parent, caption, dir, qtFilter(filter));
}

QString QtDialogs::saveFileName(const QString &caption, const QString &dir, const QString &filter) {
    return QFileDialog::getSaveFileName(m_parent, caption, dir, qtFilter(filter));
}

QString QtDialogs::folderName(const QString &caption, const QString &dir) {
    return QFileDialog::getExistingDirectory(m_parent, caption, dir);
}

QString QtDialogs::secret(const QString &caption, const QString &prompt) {
    return QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Password);
}
