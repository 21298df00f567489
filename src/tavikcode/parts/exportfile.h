#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writes an export the operator asked for, whole or not at all: a failure,
// a cancelled job or a close leaves no half file. write fills the file and
// returns how many rows it wrote; a file that cannot be written throws
// TavikError naming it ("Cannot write FILE: why").
qint64 writeExportFile(const QString &fileName, const std::function<qint64(QIODevice &)> &write);
