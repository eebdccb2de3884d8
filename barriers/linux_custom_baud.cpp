#include "barriers/linux_custom_baud.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

int setCustomBaudRate(int fd, int baud)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return errno;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT);
    t.c_cflag |= BOTHER << IBSHIFT;
    t.c_ispeed = speed_t(baud);
    t.c_ospeed = speed_t(baud);
    if (ioctl(fd, TCSETS2, &t) != 0)
        return errno;
    return 0;
}
