// The viewer stand-in: takes the block that the engine filled with a found file, writes
// the file's bytes to a private temporary file named after its kind and opens that file
// with the desktop's default application. The file lies in a folder of its own, below the
// folder the program names for previews (preview_folder.h).
//
// Usage: undelete-viewer <block name>, with FileSig and FileSize in the environment.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "viewer/file_extension.h"
#include "viewer/preview_folder.h"

namespace {

constexpr const char* kCaption = "Viewer error";

int fail(const std::string& text) {
    MessageBoxA(0, text.c_str(), kCaption, MB_ICONERROR);
    return 1;
}

// FileSize holds the low 32 bits of the size as a signed number.
std::size_t announcedSize() {
    const char* text = std::getenv("FileSize");
    if (!text) return 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || value < INT32_MIN || value > UINT32_MAX) return 0;
    return static_cast<std::uint32_t>(value);
}

bool writeAll(int fd, const std::byte* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string temporaryFolder() {
    for (const char* variable : {viewer::kPreviewFolderVariable, "TMPDIR"}) {
        const char* folder = std::getenv(variable);
        if (folder && *folder) return folder;
    }
    return "/tmp";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return fail("No file to view.");
    const auto block = platform::SharedMemoryView::open(argv[argc - 1]);
    if (!block) return fail("Can't open the file to view.");
    const std::size_t size = std::min(announcedSize(), block->size());
    const std::span<const std::byte> data(block->data(), size);

    std::string folder = temporaryFolder() + "/undelete-view-XXXXXX";
    if (!::mkdtemp(folder.data())) return fail("Can't create a temporary folder.");
    const std::string path = folder + "/found file." + viewer::extensionFor(data);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return fail("Can't create " + path);
    const bool written = writeAll(fd, data.data(), data.size());
    if (::close(fd) != 0 || !written) return fail("Can't write " + path);

    auto opener = platform::ChildProcess::spawn({"xdg-open", path}, platform::currentEnvironment({}));
    if (!opener) return fail("Can't start xdg-open for " + path);
    return opener->wait() == 0 ? 0 : fail("xdg-open could not open " + path);
}
