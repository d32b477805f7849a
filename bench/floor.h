// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks measure against: the same bytes written to a new file, synced and renamed
// into place, with nothing else.

#include <QByteArray>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

inline double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size())));
    return values[index];
}

/// Writes bytes to folder/floor.ini.tmp, fdatasyncs it and renames it to folder/floor.ini.
inline bool replaceFile(const QByteArray& folder, const QByteArray& bytes)
{
    const QByteArray temporary = folder + "/floor.ini.tmp";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        data += n;
        left -= n;
    }
    const bool ok = ::fdatasync(fd) == 0
        && ::rename(temporary.constData(), (folder + "/floor.ini").constData()) == 0;
    ::close(fd);
    return ok;
}
