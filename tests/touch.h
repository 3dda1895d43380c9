#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zorvik::test {

// Makes an empty file; a suite that cannot set up its folders cannot test anything.
inline void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
}

// Hides a file or folder whose name begins with a dot. Unix hides such a name by itself; Windows
// hides by an attribute alone, which some versions of Wine also set for a dot and others do not.
inline void hideDotName([[maybe_unused]] const QString &path)
{
#ifdef Q_OS_WIN
    const std::wstring native = path.toStdWString();
    if (!SetFileAttributesW(native.c_str(),
                            GetFileAttributesW(native.c_str()) | FILE_ATTRIBUTE_HIDDEN))
        qFatal("cannot hide %s", qPrintable(path));
#endif
}

} // namespace zorvik::test
