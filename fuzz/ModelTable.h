#pragma once

#include "regmap/RegisterTable.h"

// The register table the models scale and name registers by, built once.
inline const quenlor::RegisterTable& Table() {
    static const quenlor::RegisterTable table = [] {
        quenlor::RegisterTable t;
        t.BuildRegisterTable();
        return t;
    }();
    return table;
}
