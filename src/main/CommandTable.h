#pragma once

#include <vector>

// The commands of the main window: one QAction each, named by objectName. Slot is the
// permission slot that enables the command at login, 0 for always enabled.
struct CommandDefinition
{
    const char *name;
    const char *caption;
    const char *shortcut;
    int slot;
    const char *icon = "";      // freedesktop icon name
};

const std::vector<CommandDefinition> &commandDefinitions();

// Submenus that a permission slot enables or disables as a whole.
struct GatedMenu
{
    const char *name;
    int slot;
};

const std::vector<GatedMenu> &gatedMenus();
