// Keeps the dock layout bytes in a file between runs, stamped with the program version.
#pragma once

#include <QString>
#include <QVariant>

// Keeps the dock layout bytes in a file between runs, stamped with the
// program version: a layout written by another version is never applied.
//
// File: u16 0x2011 (array of bytes), u16 dimensions (1), u32 element count
// N, u32 lower bound (0), then N bytes of property-bag data holding
// "Version" and, when there is one, "Layout".
class clsLayout
{
public:
    // The program's own version unless a test gives another.
    clsLayout();
    explicit clsLayout(const QString &programVersion);

    // "01.00.0350" for 1.0.350.
    static QString versionText(int major, int minor, int revision);
    static QString programVersionText();

    QVariant Layout() const { return m_layout; }
    void setLayout(const QVariant &NewVal) { m_layout = NewVal; }
    QString versionRead() const { return m_versionRead; }

    // Sets Layout when the file holds one of this version. A missing file is
    // created empty; a damaged one leaves Layout as it was.
    void Load(const QString &datafile);
    // False when the file could not be written; the old one is then kept.
    bool Save(const QString &datafile);

    // The property-bag bytes of a layout file, or nullopt when the header is
    // wrong or promises more bytes than the file has.
    static std::optional<QByteArray> bagBytes(const QByteArray &file);

private:
    QString m_programVersion;
    QString m_versionRead;
    QVariant m_layout;
};
