#pragma once

// Sets a speed that has no Bxxx constant (14400, 56000, ...) through termios2 and BOTHER.
// Returns 0 or an errno value. Kept in a file of its own: <asm/termbits.h> clashes with
// <termios.h>.
int setCustomBaudRate(int fd, int baud);
