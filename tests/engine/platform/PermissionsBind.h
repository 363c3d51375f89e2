#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Makes file permissions bind this thread also when it runs as root, as tests do in CI: the
// capabilities that let root read and write past them leave the effective set (they stay
// permitted) and come back at the end. For any other user it changes nothing.
class PermissionsBind {
public:
    PermissionsBind() {
        ::syscall(SYS_capget, &_header, _saved);
        __user_cap_data_struct bound[2] = {_saved[0], _saved[1]};
        bound[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &_header, bound);
    }
    ~PermissionsBind() { ::syscall(SYS_capset, &_header, _saved); }

private:
    __user_cap_header_struct _header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct _saved[2]{};
};
