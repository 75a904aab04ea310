#pragma once
// Reading and writing whole files in the suites that look at backup sets byte by byte.
#include <QByteArray>
#include <QString>

// The file's bytes, found whatever the case of its name; empty when it cannot be read.
QByteArray readAll(const QString& path);
// Replaces the file with `bytes`; a file that cannot be opened fails the running test.
void writeFile(const QString& path, const QByteArray& bytes);
