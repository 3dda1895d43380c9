#pragma once

#include <QString>
#include <QStringList>

namespace zorvik::platform {

// The separator between a folder and a name on this platform.
QString separator();

// A folder followed by a name, with no second separator after a folder that ends in one.
QString composePath(const QString &folder, const QString &name);

} // namespace zorvik::platform
