#pragma once

namespace kestrel {

// What the process knows of itself, one backend per platform (proceso_linux.cpp reads /proc).

/// Resident memory in bytes; negative when the system does not say.
double memoriaResidente();

/// When the process started, in seconds since the Unix epoch; negative when the system does not say.
double inicioProceso();

} // namespace kestrel
