#include "wizard/utilities/disk_access.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::vector<gid_t> groupsFromProcStatus() {
    std::ifstream status("/proc/self/status");
    std::vector<gid_t> groups;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Groups:", 0) != 0) continue;
        std::istringstream numbers(line.substr(7));
        for (gid_t id; numbers >> id;) groups.push_back(id);
    }
    return groups;
}

// Runs the check in a child that has `groups` as its supplementary groups and an
// unprivileged effective user; 1 or 0 for its answer, -1 when the child could not be set
// up that way.
int answerInChildWithGroups(const std::vector<gid_t>& groups) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setegid(65534) != 0 ||
            ::seteuid(65534) != 0) {
            ::_exit(2);
        }
        ::_exit(IsUserAdministrator() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 2 ? -1 : WEXITSTATUS(status);
}

TEST(DiskAccess, ReadsEverySupplementaryGroup) {
    auto read = ReadSupplementaryGroups();
    auto listed = groupsFromProcStatus();
    std::sort(read.begin(), read.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(read, listed);
}

TEST(DiskAccess, DiskGroupCountsEvenAfterHundredsOfOthers) {
    if (::geteuid() != 0) GTEST_SKIP() << "changing groups needs root";
    const group* disk = ::getgrnam("disk");
    if (disk == nullptr) GTEST_SKIP() << "no group named disk";
    std::vector<gid_t> groups;
    for (gid_t id = 20000; groups.size() < 300; ++id) {
        if (id != disk->gr_gid) groups.push_back(id);
    }
    const int without = answerInChildWithGroups(groups);
    if (without < 0) GTEST_SKIP() << "this system refuses to change groups";
    EXPECT_EQ(without, 0);
    groups.push_back(disk->gr_gid);
    EXPECT_EQ(answerInChildWithGroups(groups), 1);
}

}  // namespace
