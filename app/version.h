#pragma once

// Compiled-in version; the update check compares it with the server's.
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 6;
constexpr int kVersionBuild = 2;

inline const char *const kProductName = "Świadectwa 1-3";
