#pragma once

#include "app/FMain.h"
#include "barriers/port_table.h"

// Dependencies of a main window under test: the given fakes and a port table that
// maps no port at all, so no test ever opens a real serial device (the machine's
// only UART is its console).
inline MainWindowDeps testDeps(const TickSource* ticks, GongPlayer* gong)
{
    static const PortTable noPorts;
    MainWindowDeps deps(ticks, gong);
    deps.portTable = &noPorts;
    return deps;
}
