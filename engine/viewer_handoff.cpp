#include "engine/viewer_handoff.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <sstream>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/shared_memory.h"

namespace engine::viewer {

namespace {

constexpr std::uint64_t kSectorSize = 512;
constexpr std::uint64_t kBlockSizeLimit = 1ull << 32;
constexpr const char* kCaption = "Viewer error";
constexpr const char* kNoMemoryText = "Can't allocate memory! File too big to view.";
constexpr const char* kNoProcessText = "Can't create viewer process!";

// The block of the last hand-off.
std::mutex blockMutex;
std::optional<platform::SharedMemoryBlock>& keptBlock() {
    static std::optional<platform::SharedMemoryBlock> block;
    return block;
}

std::string freshBlockName() {
    static std::atomic<unsigned> counter{0};
    return std::string(kBlockNamePrefix) + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter.fetch_add(1));
}

void showError(const char* text) { MessageBoxA(0, text, kCaption, MB_ICONERROR); }

std::filesystem::path engineDirectory() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&viewerCommand), &info) == 0 || !info.dli_fname)
        return {};
    return std::filesystem::path(info.dli_fname).parent_path();
}

}  // namespace

std::vector<std::string> viewerCommand() {
    std::vector<std::string> command;
    if (const char* configured = std::getenv(kViewerCommandVariable)) {
        std::istringstream words(configured);
        for (std::string word; words >> word;) command.push_back(word);
        if (!command.empty()) return command;
    }
    const std::filesystem::path beside = engineDirectory() / kViewerProgramName;
    std::error_code error;
    if (!beside.parent_path().empty() && std::filesystem::is_regular_file(beside, error))
        return {beside.string()};
    return {kViewerProgramName};
}

int openViewer(const FoundFileRecord& record, const FileReader& read) {
    std::lock_guard lock(blockMutex);
    std::optional<platform::SharedMemoryBlock>& block = keptBlock();
    block.reset();  // unlinks the previous block; a viewer that opened it keeps its copy

    const std::uint64_t size = record.Size;
    if (size == 0 || size >= kBlockSizeLimit) {
        showError(kNoMemoryText);
        return 0;
    }
    const std::uint64_t blockSize = (size + kSectorSize - 1) / kSectorSize * kSectorSize;
    block = platform::SharedMemoryBlock::create(freshBlockName(), blockSize);
    if (!block) {
        showError(kNoMemoryText);
        return 0;
    }
    FoundFileRecord copy = record;
    read(copy, block->data(), size);  // what cannot be read stays zero
    block->unmap();

    std::vector<std::string> environment = platform::currentEnvironment({"FileSig", "FileSize"});
    environment.push_back("FileSig=" + std::to_string(record.TypeCode));
    environment.push_back("FileSize=" + std::to_string(static_cast<std::int32_t>(size)));
    std::vector<std::string> command = viewerCommand();
    command.push_back(block->name());
    // The viewer is neither waited for nor watched; it is reaped when it ends.
    if (!platform::ChildProcess::spawn(command, environment)) showError(kNoProcessText);
    return 0;
}

}  // namespace engine::viewer
