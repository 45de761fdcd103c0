#include "inifile.h"

#include <QFile>
#include <QSaveFile>

namespace {
bool isSection(const QString &line) { return line.trimmed().startsWith('['); }
QString sectionName(const QString &line) {
    QString t = line.trimmed();
    int end = t.indexOf(']');
    return (end > 0 ? t.mid(1, end - 1) : t.mid(1)).trimmed();
}
} // namespace

IniFile::IniFile(const QString &path) : m_path(path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    QString text = QString::fromLatin1(f.readAll());
    text.replace("\r\n", "\n");
    m_lines = text.split('\n');
    while (!m_lines.isEmpty() && m_lines.last().isEmpty()) m_lines.removeLast();
}

int IniFile::findSection(const QString &section) const {
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSection(m_lines[i]) && sectionName(m_lines[i]).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::findKey(int sectionLine, const QString &key) const {
    for (int i = sectionLine + 1; i < m_lines.size() && !isSection(m_lines[i]); ++i) {
        const QString &l = m_lines[i];
        int eq = l.indexOf('=');
        if (eq > 0 && !l.trimmed().startsWith(';') &&
            l.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const {
    int s = findSection(section);
    int k = s >= 0 ? findKey(s, key) : -1;
    if (k < 0) return fallback;
    const QString &l = m_lines[k];
    return l.mid(l.indexOf('=') + 1).trimmed();
}

bool IniFile::contains(const QString &section, const QString &key) const {
    int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value) {
    int s = findSection(section);
    if (s < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty()) m_lines << QString();
        m_lines << "[" + section + "]" << key + "=" + value;
        return;
    }
    int k = findKey(s, key);
    if (k >= 0) {
        m_lines[k] = m_lines[k].left(m_lines[k].indexOf('=')) + "=" + value;
        return;
    }
    int end = s + 1;
    while (end < m_lines.size() && !isSection(m_lines[end])) ++end;
    while (end > s + 1 && m_lines[end - 1].trimmed().isEmpty()) --end;
    m_lines.insert(end, key + "=" + value);
}

bool IniFile::save() const {
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray out;
    for (const QString &l : m_lines) out += l.toLatin1() + "\r\n";
    f.write(out);
    return f.commit();
}

QString IniFile::get(const QString &path, const QString &section, const QString &key,
                     const QString &fallback) {
    return IniFile(path).value(section, key, fallback);
}

bool IniFile::put(const QString &path, const QString &section, const QString &key,
                  const QString &value) {
    IniFile ini(path);
    ini.setValue(section, key, value);
    return ini.save();
}
