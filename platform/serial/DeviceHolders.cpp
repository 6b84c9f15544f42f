#include "platform/serial/DeviceHolders.h"

#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <unistd.h>

namespace
{

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, CloseDirectory>;

Directory openDirectory(const QByteArray& path)
{
    return Directory(::opendir(path.constData()));
}

bool isNumber(const char* name)
{
    char* end = nullptr;
    std::strtol(name, &end, 10);
    return *name != '\0' && *end == '\0';
}

// Whether one of the process's descriptors names `target`.
bool processHolds(const QByteArray& fdFolder, const QByteArray& target)
{
    const Directory fds = openDirectory(fdFolder);
    if (!fds) {
        // Gone meanwhile, or another user's: nothing to tell.
        return false;
    }
    QByteArray link(target.size() + 1, '\0');
    while (const dirent* entry = ::readdir(fds.get())) {
        const QByteArray fd = fdFolder + '/' + entry->d_name;
        const ssize_t length = ::readlink(fd.constData(), link.data(), size_t(link.size()));
        if (length == target.size() && link.left(length) == target) {
            return true;
        }
    }
    return false;
}

} // namespace

bool openedByAnotherProcess(const QString& path)
{
    // The kernel names an open device by its real path, "/dev/ttyUSB2" or "/dev/pts/3", however
    // it was opened.
    const QByteArray target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    const Directory proc = openDirectory("/proc");
    if (target.isEmpty() || !proc) {
        return false;
    }
    const QByteArray self = QByteArray::number(::getpid());
    while (const dirent* entry = ::readdir(proc.get())) {
        if (isNumber(entry->d_name) && self != entry->d_name &&
            processHolds(QByteArray("/proc/") + entry->d_name + "/fd", target)) {
            return true;
        }
    }
    return false;
}
