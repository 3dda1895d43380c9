#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>

namespace zorvik::test {

// Makes an empty file; a suite that cannot set up its folders cannot test anything.
inline void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
}

} // namespace zorvik::test
