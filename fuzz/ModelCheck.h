#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A harness's model disagreeing with the code is a finding: say what and stop.
inline void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "model mismatch: %s\n", what);
        std::abort();
    }
}

inline void Check(bool ok, const char* what, const std::string& detail) {
    if (!ok) {
        std::fprintf(stderr, "model mismatch: %s (%s)\n", what, detail.c_str());
        std::abort();
    }
}
