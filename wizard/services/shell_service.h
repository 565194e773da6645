#pragma once
// Every hand-off to the desktop (a web address, a folder, a file's default program) goes
// through one shell service: the desktop's opener (xdg-open) by default, a recorder in
// tests.

#include <QString>

#include "wizard/services/service_slot.h"

// The desktop's opener, the program that opens a file with its type's application.
inline const QString kDesktopOpener = QStringLiteral("xdg-open");

class ShellService {
public:
    virtual ~ShellService();
    // Each returns whether the desktop accepted the request.
    // An absolute address with its scheme ("https://...").
    virtual bool openAddress(const QString& address) = 0;
    // A folder in the file manager.
    virtual bool openFolder(const QString& folder) = 0;
    // A file with the program the desktop associates with its type.
    virtual bool openFile(const QString& file) = 0;
    // Whether the desktop's opener is there, which the viewer of previews starts too.
    virtual bool hasOpener() = 0;

    // QDesktopServices.
    static ShellService& standard();
};

ShellService& shellService();
using ScopedShellService = ScopedService<ShellService>;
