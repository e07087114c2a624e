// Removing what a test made, by native names, which a removal going by text
// (QDir::removeRecursively) would miss when they are not UTF-8.
#pragma once

#include <QByteArray>

#include <cstdio>
#include <ftw.h>

inline void RemoveTree(const QByteArray& path)
{
    ::nftw(path.constData(), [](const char* p, const struct stat*, int, FTW*) { return std::remove(p); }, 16,
           FTW_DEPTH | FTW_PHYS);
}
