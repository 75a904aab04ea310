#pragma once
// A backup's passphrase for revozi-backup, read from a file of its own: never from the command
// line or the environment (both can be read by other users of the machine), never echoed, logged
// or written anywhere. The file must be a regular file that neither its group nor others can read.
#include <QCoreApplication>
#include <QString>

#include <memory>

class Passphrase;

struct PassphraseFile {
    Q_DECLARE_TR_FUNCTIONS(PassphraseFile)

public:
    // The file's first line (without its line end) as the passphrase; nothing, with the reason in
    // `why`, when the file cannot be read, is not a regular file, can be read by group or others, or
    // holds an empty first line.
    static std::shared_ptr<const Passphrase> read(const QString& path, QString* why);
};
