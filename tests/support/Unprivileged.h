#pragma once

#include <QString>

#include <sys/types.h>

#include <vector>

class QProcess;

// Permission faults show only for an ordinary user: root reads and writes whatever it likes. When
// the tests run as root these helpers act as the user "nobody"; otherwise as the current user.
namespace Unprivileged {

// False when running as root and there is no "nobody" to become, or that user cannot reach the
// folder (a private temporary folder above it, say).
bool Available(const QString& folder);

// As root: gives the folder and everything in it to that user, so it can work there.
bool HandOver(const QString& path);

// The process, once started, runs as that user.
void RunAs(QProcess& process);

// While alive, this process's file accesses are checked as that user's (the effective ids only,
// so the destructor can take root back).
class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    void Restore();

    bool FDropped = false;
    std::vector<gid_t> FGroups;
};

} // namespace Unprivileged
