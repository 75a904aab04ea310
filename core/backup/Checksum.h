#pragma once
// The checksum of a backup set's data file: XXH3-128, computed while the file is copied, so it
// costs no pass of its own.
#include <QString>

#include <memory>

// A file's size and checksum: what a manifest records and what a copy reports of its own bytes.
struct FileSum {
    qint64 bytes = -1;
    QString checksum;   // XXH3-128, 32 lowercase hex digits
};

// A streaming XXH3-128 of everything added.
class Checksum {
public:
    Checksum();
    ~Checksum();
    Checksum(const Checksum&) = delete;
    Checksum& operator=(const Checksum&) = delete;

    void add(const char* data, qint64 size);
    qint64 bytes() const { return m_bytes; }
    // 32 lowercase hex digits of what was added so far.
    QString hex() const;

    // The checksum of a whole file; empty when it cannot be read.
    static QString ofFile(const QString& path, qint64* bytes = nullptr);

private:
    struct State;
    std::unique_ptr<State> m_state;
    qint64 m_bytes = 0;
};
