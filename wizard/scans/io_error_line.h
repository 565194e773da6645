#pragma once
// The log line of one failed seek or read that the engine reported.

#include <QString>

#include <cstdint>

#include "engine/records.h"

// The system's text of an error number ("Input/output error").
QString SystemErrorText(std::uint32_t error);

// "Error: <system text> (Retry Count = <attempt>; Current Position: <position>)", the
// position in full as a signed 64-bit number.
QString IoErrorLine(const IoErrorReport& report);
