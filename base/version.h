// The program's version: shown in the log header and the about menu, and
// stored as the settings layout version ("Version").
#pragma once

inline constexpr const char kVantorVersion[] = "0.987";
