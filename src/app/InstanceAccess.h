#pragma once

#include <QString>
#include <QtGlobal>

namespace quorvale {

// Who may reach the running instance: only this user, through a folder only this user can
// change, checked again at each end of every connection.
class InstanceAccess {
public:
    // $XDG_RUNTIME_DIR when it is ours and writable, else quorvale-<uid> in the temporary
    // folder.
    static QString socketFolder();
    // True when nobody else can replace what is in `folder`: a real folder (not a link)
    // owned by us that others cannot write to. With `create`, a missing folder is made
    // (mode 0700) and one of ours outside the session's runtime folder is closed to others.
    // Otherwise false with the reason.
    static bool secureFolder(const QString& folder, bool create, QString* error);
    // Whether the process at the other end of a connected local socket runs as this user.
    static bool peerIsThisUser(qintptr socketDescriptor);
};

} // namespace quorvale
