#include "FileModes.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {
bool g_group = false;
} // namespace

namespace FileModes {
void applyFor(const QString& root)
{
    QFileInfo fi(root);
    while (!fi.exists() && !fi.absolutePath().isEmpty() && fi.absoluteFilePath() != fi.absolutePath())
        fi = QFileInfo(fi.absolutePath());
    struct stat st {};
    g_group = ::stat(QFile::encodeName(fi.absoluteFilePath()).constData(), &st) == 0 && (st.st_mode & S_IWGRP);
    ::umask(g_group ? 007 : 077);
}

void applyForServer()
{
    g_group = false;
    ::umask(077);
}

bool groupShares()
{
    return g_group;
}

QFileDevice::Permissions filePermissions()
{
    QFileDevice::Permissions p = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (g_group)
        p |= QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    return p;
}

bool restrict(const QString& path)
{
    return QFile::setPermissions(path, filePermissions());
}
}
