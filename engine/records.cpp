#include "engine/records.h"

#include <cstring>

void resetFoundFileOnConstruction(FoundFileRecord& record) {
    resetFoundFileForFill(record);
    record.TypeCode = 0xFFFF;
}

void resetFoundFileForFill(FoundFileRecord& record) {
    std::memset(&record, 0, sizeof record);
    record.Size = kUnknownSize;
    record.Name = nullptr;
}
