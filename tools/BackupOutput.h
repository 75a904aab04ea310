#pragma once
// What revozi-backup says and where: text lines for a person on stdout, one JSON object a line for
// a program (--json), failures on stderr whatever else is asked, notes and progress on stderr
// unless --quiet. Progress lines show up on a terminal, or anywhere with --progress.
#include <QJsonObject>
#include <QString>

namespace Say {
struct Mode {
    bool json = false;       // stdout carries JSON objects instead of text lines
    bool quiet = false;      // only failures (and the JSON asked for) are written
    bool progress = false;   // progress lines even when stderr is no terminal
};
Mode& mode();

// A text line on stdout; none under --json or --quiet.
void line(const QString& text);
// One compact JSON object on a line of its own on stdout, under --json only.
void object(const QJsonObject& o);
// A line on stderr that is no failure (what retention left alone); none under --quiet.
void note(const QString& text);
// A failure on stderr as one line, always; returns `status`.
int fail(const QString& text, int status);

// Whether progress is shown at all, and whether it is a terminal's (one line redrawn) or lines.
bool showsProgress();
bool progressOnTerminal();

// A size as a person reads it ("12.5 MB", 1024-based), and a duration ("3 分 05 秒").
QString size(qint64 bytes);
QString duration(qint64 seconds);
}

// How far one set's work has come: the bytes done of its total, the rate since it began and the
// time left at that rate. The caller says how long the work has run.
class Progress {
public:
    Progress(const QString& label, qint64 total);
    // "账套[003] 2026年度：12.5 MB / 48.0 MB，8.3 MB/s，剩余约 4 秒"; `done` is kept within the total
    // and never goes back.
    QString text(qint64 done, qint64 elapsedMs);
    // Shows the line now: redrawn in place on a terminal, a line of its own elsewhere.
    void show(qint64 done, qint64 elapsedMs);
    // The last line, with the whole total done; on a terminal the line is cleared instead.
    void finish(qint64 elapsedMs);

private:
    QString m_label;
    qint64 m_total;
    qint64 m_done = 0;
};

// Clears a progress line a terminal shows.
void endProgress();
