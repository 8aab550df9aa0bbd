#include "actions/action_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "project/object_kinds.h"

namespace {

TEST(ActionTables, EveryKindThatScriptsReachHasItsTable) {
    // The table of kinds names the action table of each kind scripts reach; a kind added there
    // without its table (or a table renamed) would leave scripts without it.
    for (const ObjectKindInfo& kind : ObjectKinds()) {
        if (!kind.scriptTable) continue;
        bool found = false;
        for (const ActionTable& table : ActionTables()) {
            if (std::string(table.name) == kind.scriptTable) found = table.functions != nullptr;
        }
        EXPECT_TRUE(found) << kind.name << ": no table " << kind.scriptTable;
    }
}

}  // namespace
