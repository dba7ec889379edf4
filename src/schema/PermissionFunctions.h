#pragma once

#include <vector>

// The permission tree delivered with a new database: groups of two-digit codes, functions of
// four. Stored in code order, so the n-th row is permission slot n.
struct PermissionFunction
{
    const char *code;
    const char *name;
    bool grantedToOrdinaryUser;
};

const std::vector<PermissionFunction> &permissionFunctions();
