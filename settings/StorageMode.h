#pragma once

namespace harvina {

enum class StorageMode : int {
    Disk = 0,     // the file on disk, held for the store's lifetime
    Memory = 1,   // a copy in memory; the disk is touched only by SaveTo
    Registry = 2, // per-user value store; nothing loaded or held
};

} // namespace harvina
