#pragma once

#include "results/results_table.h"

// Groups the changes of one command; the group ends also when the command
// leaves by an exception.
class UpdateGroup {
public:
    explicit UpdateGroup(ResultsTable& table) : m_table(table) { m_table.beginUpdate(); }
    ~UpdateGroup() { m_table.endUpdate(); }
    UpdateGroup(const UpdateGroup&) = delete;
    UpdateGroup& operator=(const UpdateGroup&) = delete;

private:
    ResultsTable& m_table;
};
