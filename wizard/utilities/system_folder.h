#pragma once
// Places no recovery may write to, though the program runs as root to read the disks: the
// system's root folder, where the run would spread its folders and files among the
// system's own, and the file systems the kernel keeps of itself (proc, sysfs, devtmpfs,
// devpts, cgroup, ...), where files are processes, devices and kernel switches. Decided by
// the file system that holds the place, never by the path's text: a link or ".." to
// such a place is refused as well. Any other folder stays allowed, "/Recovered" too.

#include <string>

// Whether `folder` (absolute) is the root folder or lies on a kernel file system; a folder
// not made yet is judged by the nearest folder above it that exists. The file system's
// type comes from the mount table at `mountInfo`.
bool IsSystemFolder(const std::string& folder, const std::string& mountInfo = "/proc/self/mountinfo");
