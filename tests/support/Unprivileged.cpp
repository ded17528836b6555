#include "Unprivileged.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

struct Ids {
    uid_t Uid;
    gid_t Gid;
};

std::optional<Ids> nobody() {
    if (geteuid() != 0)
        return std::nullopt;
    const passwd* pw = getpwnam("nobody");
    if (!pw)
        return std::nullopt;
    return Ids{pw->pw_uid, pw->pw_gid};
}

} // namespace

namespace Unprivileged {

bool Available(const QString& folder) {
    if (geteuid() != 0)
        return true;
    if (!nobody())
        return false;
    // Only its parent needs to be open to that user: the folder itself is handed over.
    const QByteArray parent = QFile::encodeName(QFileInfo(folder).absolutePath());
    const Scope user;
    return faccessat(AT_FDCWD, parent.constData(), X_OK, AT_EACCESS) == 0;
}

bool HandOver(const QString& path) {
    const std::optional<Ids> who = nobody();
    if (!who)
        return true;
    bool ok = chown(QFile::encodeName(path).constData(), who->Uid, who->Gid) == 0;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ok = lchown(QFile::encodeName(it.next()).constData(), who->Uid, who->Gid) == 0 && ok;
    return ok;
}

void RunAs(QProcess& process) {
    const std::optional<Ids> who = nobody();
    if (!who)
        return;
    const Ids ids = *who;
    // Runs in the child between fork and exec: only async-signal-safe calls.
    process.setChildProcessModifier([ids] {
        if (setgroups(0, nullptr) != 0 || setgid(ids.Gid) != 0 || setuid(ids.Uid) != 0)
            _exit(127);
    });
}

Scope::Scope() {
    const std::optional<Ids> who = nobody();
    if (!who)
        return;
    FGroups.resize(std::size_t(std::max(getgroups(0, nullptr), 0)));
    if (getgroups(int(FGroups.size()), FGroups.data()) < 0 || setgroups(0, nullptr) != 0)
        return;
    if (setegid(who->Gid) != 0 || seteuid(who->Uid) != 0) {
        Restore();
        return;
    }
    FDropped = true;
}

Scope::~Scope() {
    if (FDropped)
        Restore();
}

void Scope::Restore() {
    // Without root back the rest of the test run would fail in confusing ways.
    if (seteuid(0) != 0 || setegid(0) != 0 || setgroups(FGroups.size(), FGroups.data()) != 0)
        std::abort();
}

} // namespace Unprivileged
