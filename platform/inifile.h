#pragma once
// INI files as the program's settings use them: sections and keys compared case-insensitively,
// the file's order and comments kept on rewrite, written atomically with CR LF line ends.
#include <QString>
#include <QStringList>

class IniFile {
public:
    explicit IniFile(const QString &path);
    QString path() const { return m_path; }
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    bool contains(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    bool save() const; // rewrites the whole file
    // One-shot helpers: read a value / write a value and save.
    static QString get(const QString &path, const QString &section, const QString &key,
                       const QString &fallback = {});
    static bool put(const QString &path, const QString &section, const QString &key,
                    const QString &value);

private:
    int findSection(const QString &section) const; // line index of "[section]" or -1
    int findKey(int sectionLine, const QString &key) const;
    QString m_path;
    QStringList m_lines;
};
